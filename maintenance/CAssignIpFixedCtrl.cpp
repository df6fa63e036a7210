#include "CAssignIpFixedCtrl.h"

#include "AddressHelpers.h"

#include <QStringList>

CAssignIpFixedCtrl::CAssignIpFixedCtrl(QObject* parent) : CAssignIpCtrl(parent) {}

bool CAssignIpFixedCtrl::SetParameters(const QString& ip, const QString& subnet,
                                       const QString& router, const QString& dns1,
                                       const QString& dns2, bool isRangedDRM, int rangedDRMTime)
{
    const auto validOrEmpty = [](const QString& text) {
        return text.isEmpty() || isValidIPv4(text);
    };
    if (!isValidIPv4(ip) || !isValidIPv4(subnet) || !isValidIPv4(router) || !validOrEmpty(dns1) ||
        !validOrEmpty(dns2))
        return false;
    m_ip = ip;
    m_subnet = subnet;
    m_router = router;
    m_dns1 = dns1;
    m_dns2 = dns2;
    SetVerifyRange(isRangedDRM, ip, ip, rangedDRMTime);
    return true;
}

QByteArray CAssignIpFixedCtrl::Body(const QString& ip, const QString& subnet, const QString& router,
                                    const QString& dns1, const QString& dns2)
{
    QStringList items{QStringLiteral("network_type=lan"), QStringLiteral("network_ipaddress=") + ip,
                      QStringLiteral("network_subnet=") + subnet,
                      QStringLiteral("network_router=") + router};
    if (!dns1.isEmpty() && dns1 != QLatin1String("0.0.0.0"))
        items << QStringLiteral("network_dns1=") + dns1;
    if (!dns2.isEmpty() && dns2 != QLatin1String("0.0.0.0"))
        items << QStringLiteral("network_dns2=") + dns2;
    items << QStringLiteral("network_resetip=0");
    return items.join(QLatin1Char('&')).toUtf8();
}

void CAssignIpFixedCtrl::StartRun()
{
    const QByteArray body = Body(m_ip, m_subnet, m_router, m_dns1, m_dns2);
    QVariantList contexts = BuildList();
    for (QVariant& value : contexts) {
        QVariantMap context = value.toMap();
        context.insert(QStringLiteral("data"), body);
        value = context;
    }
    RunList(contexts);
}
