#pragma once

#include "CDeviceSimulator.h"

#include <QJsonArray>
#include <QList>
#include <QString>

class CMainDeviceChain;
class CPageCtrl;

// A simulated fleet on a loopback range of its own and the main list that "discovered" it.
class CameraAppsFixture
{
public:
    // Starts count cameras from firstIp on; extra arguments go to the simulator as they are.
    bool start(const QString& firstIp, int count, const QStringList& extra = {});
    CDeviceSimulator& sim() { return m_sim; }
    quint16 httpPort() const { return m_httpPort; }
    QString ip(int i) const;

    // Fills the main list with the given devices (as listed by the simulator) and selects them.
    void select(CMainDeviceChain& chain, const QList<int>& devices,
                const QString& password = QStringLiteral("ardmere1"));
    // The requests of one kind (method and path) a device received, oldest first.
    QJsonArray received(const QString& ip, const QString& method, const QString& path);
    // The names and versions of the modules a device lists, as "name version" texts.
    QStringList modules(const QString& ip);

    // The page row (status layer) of the device at ip, and its code under key.
    static int pageRow(CPageCtrl& page, const QString& ip);
    static int statusOf(CPageCtrl& page, int row, const QString& key);

private:
    CDeviceSimulator m_sim;
    QList<quint32> m_ips;
    quint16 m_httpPort = 0;
};
