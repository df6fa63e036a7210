#include "CAssignIpRangeCtrl.h"

#include "AddressHelpers.h"
#include "CAssignIpFixedCtrl.h"
#include "CDeviceInfo.h"
#include "CSetDevicesCtrl.h"

#include <QAbstractItemModel>
#include <QMutexLocker>

CAssignIpRangeCtrl::CAssignIpRangeCtrl(QObject* parent) : CAssignIpCtrl(parent) {}

QString CAssignIpRangeCtrl::Text(const char* key) const
{
    const QVariant value = m_parameters.value(QLatin1String(key));
    // An empty DNS server is stored as an invalid value and stays empty in the body.
    return value.isValid() ? uintToIPv4(value.toUInt()) : QString();
}

CAssignIpRangeCtrl::E_Input_Check_State
CAssignIpRangeCtrl::CheckInput(const QString& ipStart, const QString& ipEnd, const QString& subnet,
                               const QString& router, const QString& dns1, const QString& dns2,
                               bool isRangedDRM, int rangedDRMTime)
{
    const auto validOrEmpty = [](const QString& text) {
        return text.isEmpty() || isValidIPv4(text);
    };
    if (!isValidIPv4(ipStart) || !isValidIPv4(ipEnd) || !isValidIPv4(subnet) ||
        !isValidIPv4(router) || !validOrEmpty(dns1) || !validOrEmpty(dns2))
        return WrongInputParam;
    const auto number = [](const QString& text) {
        return text.isEmpty() ? QVariant() : QVariant(ipv4ToUInt(text));
    };
    m_parameters = {
        {QStringLiteral("ipStart"), number(ipStart)}, {QStringLiteral("ipEnd"), number(ipEnd)},
        {QStringLiteral("subnet"), number(subnet)},   {QStringLiteral("router"), number(router)},
        {QStringLiteral("dns1"), number(dns1)},       {QStringLiteral("dns2"), number(dns2)}};
    const quint32 first = ipv4ToUInt(ipStart);
    const quint32 last = ipv4ToUInt(ipEnd);
    if (last < first)
        return WrongIpRange;
    if (!m_model)
        return NotAvailable;

    QMutexLocker locker(&m_mutex);
    m_pool = CIpPool(first, last);
    if (OnlyFailed()) {
        // Addresses confirmed by an earlier run stay with their devices.
        for (const QPersistentModelIndex& index : ViewRows()) {
            if (StatusOf(index) != Success)
                continue;
            quint32 address = 0;
            if (parseIPv4(index.data(CDeviceInfo::newIpRole).toString(), &address))
                m_pool.remove(address);
        }
    }
    quint64 wanted = 0;
    for (const QPersistentModelIndex& index : ViewRows()) {
        if (TakesPart(StatusOf(index)) && isValidIPv4(index.data(CDeviceInfo::ipRole).toString()))
            ++wanted;
    }
    if (m_pool.size() < wanted)
        return NotEnoughIp;
    SetVerifyRange(isRangedDRM, ipStart, ipEnd, rangedDRMTime);
    return Ok;
}

QVariantList CAssignIpRangeCtrl::BuildList()
{
    QMutexLocker locker(&m_mutex);
    QVariantList contexts;
    const QString subnet = Text("subnet");
    const QString router = Text("router");
    const QString dns1 = Text("dns1");
    const QString dns2 = Text("dns2");
    for (const QPersistentModelIndex& index : ViewRows()) {
        if (!index.isValid() || !TakesPart(StatusOf(index)))
            continue;
        quint32 current = 0;
        if (!parseIPv4(index.data(CDeviceInfo::ipRole).toString(), &current))
            continue;
        if (m_pool.remove(current)) {
            // Already inside the range: nothing to change.
            m_model->setData(index, uintToIPv4(current), CDeviceInfo::newIpRole);
            WriteStatus(index, Success);
            continue;
        }
        quint32 address = 0;
        if (!m_pool.takeLowest(&address))
            continue;
        const QString newIp = uintToIPv4(address);
        m_model->setData(index, newIp, CDeviceInfo::newIpRole);
        WriteStatus(index, Loading);
        QVariantMap context = CSetDevicesCtrl::RowContext(index);
        context.insert(QStringLiteral("data"),
                       CAssignIpFixedCtrl::Body(newIp, subnet, router, dns1, dns2));
        contexts << context;
    }
    return contexts;
}

void CAssignIpRangeCtrl::StartRun()
{
    RunList(BuildList());
}
