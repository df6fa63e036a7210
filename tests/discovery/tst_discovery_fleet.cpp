// Discovery of a simulated fleet (127.0.40.x) through the controller, the real library and the
// device simulator, into the device list the way the main page fills it.
#include "CDeviceListModel.h"
#include "CDeviceSearcherCtrl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class tst_DiscoveryFleet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fleetIsFoundCompletely_data();
    void fleetIsFoundCompletely();
    void sameMacAtTwoAddressesGivesOneRow();

private:
    bool startFleet(CDeviceSimulator& sim, quint16 discoveryPort, const QStringList& extra);
};

void tst_DiscoveryFleet::initTestCase()
{
    qputenv("PYXERA_LOOPBACK_ONLY", "1");
    registerDeviceMetaTypes();
}

bool tst_DiscoveryFleet::startFleet(CDeviceSimulator& sim, quint16 discoveryPort,
                                    const QStringList& extra)
{
    QStringList args{"--http-port",      QString::number(CFreePort::tcp()),
                     "--https-port",     QString::number(CFreePort::tcp()),
                     "--discovery-port", QString::number(discoveryPort)};
    if (!sim.start(args + extra)) {
        qWarning().noquote() << sim.errorString();
        return false;
    }
    return true;
}

void tst_DiscoveryFleet::fleetIsFoundCompletely_data()
{
    QTest::addColumn<bool>("ranged");
    QTest::newRow("plain") << false;
    QTest::newRow("range") << true;
}

// Every device is listed before the search ends, and the end comes after the search time; a
// range search reports progress about once a second on the way.
void tst_DiscoveryFleet::fleetIsFoundCompletely()
{
    QFETCH(bool, ranged);
    const int count = 40;
    const quint16 port = CFreePort::udp();
    CDeviceSimulator sim;
    QVERIFY(startFleet(
        sim, port,
        {"--count", QString::number(count), "--first-ip", "127.0.40.1", "--recorders", "5"}));

    CDeviceSearcherCtrl ctrl;
    ctrl.setPort(port);
    ctrl.setSearchTime(3000);
    CDeviceListModel list;
    connect(&ctrl, &CDeviceSearcherCtrl::deviceFound, &list, &CDeviceListModel::appendDevice,
            Qt::QueuedConnection);
    int rowsAtStop = -1;
    connect(&ctrl, &CDeviceSearcherCtrl::searchStopped, this,
            [&] { rowsAtStop = list.rowCount(); });
    QSignalSpy stopped(&ctrl, &CDeviceSearcherCtrl::searchStopped);
    QSignalSpy progress(&ctrl, &CDeviceSearcherCtrl::progressChanged);
    QElapsedTimer clock;
    clock.start();
    if (ranged)
        QVERIFY(ctrl.startRange("127.0.40.0", "127.0.40.255", 3));
    else
        QVERIFY(ctrl.start());
    QVERIFY(stopped.wait(10000));
    QVERIFY(clock.elapsed() >= 2900);
    QCOMPARE(stopped.count(), 1);
    QCoreApplication::processEvents(); // answers queued before the stop
    QCOMPARE(rowsAtStop, count);
    QCOMPARE(list.rowCount(), count);

    QSet<QString> ips;
    for (int row = 0; row < list.rowCount(); ++row) {
        const QModelIndex index = list.index(row);
        ips << list.data(index, CDeviceInfo::ipRole).toString();
        QVERIFY(list.data(index, CDeviceInfo::drmSearchedRole).toBool());
        QVERIFY(!list.data(index, CDeviceInfo::firmwareInfoRole).toString().isEmpty());
        QCOMPARE(list.data(index, CDeviceInfo::macRole).toString().size(), 17);
    }
    QCOMPARE(ips.size(), count);
    QVERIFY(ips.contains("127.0.40.1") && ips.contains("127.0.40.40"));
    if (ranged)
        QVERIFY2(progress.count() >= 3 && progress.count() <= 4,
                 qPrintable(QString::number(progress.count())));
    else
        QCOMPARE(progress.count(), 0);
}

void tst_DiscoveryFleet::sameMacAtTwoAddressesGivesOneRow()
{
    QTemporaryDir dir;
    QFile fleet(dir.filePath("fleet.json"));
    QVERIFY(fleet.open(QIODevice::WriteOnly));
    fleet.write(R"([{"ip": "127.0.40.201", "mac": "02-A5-7F-00-28-C9"},
                    {"ip": "127.0.40.202", "mac": "02-A5-7F-00-28-C9"},
                    {"ip": "127.0.40.203", "mac": "02-A5-7F-00-28-CB"}])");
    fleet.close();
    const quint16 port = CFreePort::udp();
    CDeviceSimulator sim;
    QVERIFY(startFleet(
        sim, port, {"--count", "0", "--first-ip", "127.0.40.200", "--fleet", fleet.fileName()}));
    QCOMPARE(sim.deviceCount(), 3);

    CDeviceSearcherCtrl ctrl;
    ctrl.setPort(port);
    ctrl.setSearchTime(2500);
    CDeviceListModel list;
    connect(&ctrl, &CDeviceSearcherCtrl::deviceFound, &list, &CDeviceListModel::appendDevice,
            Qt::QueuedConnection);
    QSignalSpy stopped(&ctrl, &CDeviceSearcherCtrl::searchStopped);
    QVERIFY(ctrl.start());
    QVERIFY(stopped.wait(10000));
    QCoreApplication::processEvents();
    QCOMPARE(list.rowCount(), 2);
    QStringList macs;
    for (int row = 0; row < 2; ++row)
        macs << list.data(list.index(row), CDeviceInfo::macRole).toString();
    macs.sort();
    QCOMPARE(macs, QStringList({"02-A5-7F-00-28-C9", "02-A5-7F-00-28-CB"}));
}

QTEST_GUILESS_MAIN(tst_DiscoveryFleet)
#include "tst_discovery_fleet.moc"
