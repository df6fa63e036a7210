#pragma once

#include "CAssignIpCtrl.h"

// Gives every device of the run the same fixed address and network settings.
class CAssignIpFixedCtrl : public CAssignIpCtrl
{
    Q_OBJECT
public:
    explicit CAssignIpFixedCtrl(QObject* parent = nullptr);

    // Stores the settings when the address, subnet mask and router are IPv4 addresses and each
    // DNS server is empty or one; false (nothing stored) otherwise.
    bool SetParameters(const QString& ip, const QString& subnet, const QString& router,
                       const QString& dns1, const QString& dns2, bool isRangedDRM,
                       int rangedDRMTime);

    QString Ip() const { return m_ip; }
    QString Subnet() const { return m_subnet; }
    QString Router() const { return m_router; }
    QString Dns1() const { return m_dns1; }
    QString Dns2() const { return m_dns2; }

    // The body of a fixed assignment; a DNS server that is empty or "0.0.0.0" is left out.
    static QByteArray Body(const QString& ip, const QString& subnet, const QString& router,
                           const QString& dns1, const QString& dns2);

protected:
    void StartRun() override;

private:
    QString m_ip = QStringLiteral("192.168.1.1");
    QString m_subnet = QStringLiteral("255.255.0.0");
    QString m_router = QStringLiteral("192.168.0.1");
    QString m_dns1 = QStringLiteral("192.168.0.1");
    QString m_dns2 = QStringLiteral("192.168.0.1");
};
