#include "CAssignIpDhcpCtrl.h"

CAssignIpDhcpCtrl::CAssignIpDhcpCtrl(QObject* parent) : CAssignIpCtrl(parent) {}

QByteArray CAssignIpDhcpCtrl::Body()
{
    return QByteArrayLiteral("network_type=lan&network_resetip=1");
}

void CAssignIpDhcpCtrl::StartRun()
{
    // Nobody knows the new addresses beforehand, so only plain discovery can find the devices.
    SetVerifyRange(false, QString(), QString(), 0);
    QVariantList contexts = BuildList();
    for (QVariant& value : contexts) {
        QVariantMap context = value.toMap();
        context.insert(QStringLiteral("data"), Body());
        value = context;
    }
    RunList(contexts);
}
