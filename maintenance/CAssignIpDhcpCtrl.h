#pragma once

#include "CAssignIpCtrl.h"

// Switches the devices to DHCP; the verification learns the addresses they were given.
class CAssignIpDhcpCtrl : public CAssignIpCtrl
{
    Q_OBJECT
public:
    explicit CAssignIpDhcpCtrl(QObject* parent = nullptr);

    static QByteArray Body();

protected:
    void StartRun() override;
};
