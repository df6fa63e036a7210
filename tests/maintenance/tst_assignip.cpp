// IP assignment against the device simulator: allotment from a range in view order, the
// request bodies, start errors, devices really moving and being found again by discovery, and
// what goes back to the main list.

#include "CAssignIpCtrl.h"
#include "CAssignIpDhcpCtrl.h"
#include "CAssignIpFixedCtrl.h"
#include "CAssignIpPageCtrl.h"
#include "CAssignIpRangeCtrl.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFreePort.h"
#include "CIpPool.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "DeviceSearchRunner.h"
#include "Settings.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Devices of the simulator answer at 127.0.120.x; addresses handed out lie in 127.0.121.x.
// Nothing listens at 127.0.122.x: a request there is refused at once.
const QString kFirstIp = QStringLiteral("127.0.120.1");
const int kDevices = 40;
const int kRestartMs = 300;

QString simIp(int i)
{
    return QStringLiteral("127.0.120.%1").arg(i + 1);
}

} // namespace

class TestAssignIp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void poolHandsOutLowestFree_data();
    void poolHandsOutLowestFree();
    void rangeAllotsInViewOrder_data();
    void rangeAllotsInViewOrder();
    void startErrors_data();
    void startErrors();
    void bodies_data();
    void bodies();
    void devicesMoveAndAreFoundAgain_data();
    void devicesMoveAndAreFoundAgain();
    void onlyFailedKeepsConfirmedAddresses();
    void viewFindsAndSortsNewAddresses();
    void leavingDuringARunAbortsIt();

private:
    // A main list of the given simulator devices (by index) or of plain addresses where nothing
    // answers, all selected.
    void fillMainList(CMainDeviceChain& chain, const QList<int>& devices);
    void fillMainList(CMainDeviceChain& chain, const QStringList& addresses);
    void prepare(CAssignIpPageCtrl& page);
    static int status(CAssignIpPageCtrl& page, int row);
    static QString newIp(CAssignIpPageCtrl& page, int row);
    static QString ip(CAssignIpPageCtrl& page, int row);
    QString setParamBody(const QString& ip);

    CDeviceSimulator m_sim;
    quint16 m_httpPort = 0;
    quint16 m_discoveryPort = 0;
};

void TestAssignIp::initTestCase()
{
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    settings.setValue("assignDeviceIPTimeoutMS", 3000);
    settings.setValue("restartTimeoutMs", 3000);
    settings.sync();
    m_httpPort = CFreePort::tcp(QHostAddress(kFirstIp));
    m_discoveryPort = CFreePort::udp();
    QVERIFY2(m_sim.start({"--count", QString::number(kDevices), "--first-ip", kFirstIp,
                          "--http-port", QString::number(m_httpPort), "--https-port",
                          QString::number(CFreePort::tcp(QHostAddress(kFirstIp))),
                          "--discovery-port", QString::number(m_discoveryPort), "--restart-ms",
                          QString::number(kRestartMs)}),
             qPrintable(m_sim.errorString()));
}

void TestAssignIp::cleanupTestCase()
{
    QFile::remove(settingsFilePath());
}

void TestAssignIp::fillMainList(CMainDeviceChain& chain, const QList<int>& devices)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (int i : devices) {
        const QJsonObject d = m_sim.device(simIp(i));
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = d.value("ip").toString();
        const QString extended = d.value("extendedModel").toString();
        device->model = extended.isEmpty() ? d.value("model").toString() : extended;
        device->mac = d.value("mac").toString();
        device->firmwareInfo = d.value("firmware").toString();
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = quint16(d.value("httpPort").toInt());
        device->httpsPort = quint16(d.value("httpsPort").toInt());
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.modelCtrl()->selectAll();
}

void TestAssignIp::fillMainList(CMainDeviceChain& chain, const QStringList& addresses)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    int n = 0;
    for (const QString& address : addresses) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = address;
        device->model = QStringLiteral("QD8182");
        device->mac = QStringLiteral("02-A5-00-00-00-%1").arg(++n, 2, 10, QLatin1Char('0'));
        device->firmwareInfo = QStringLiteral("QD8182-QXOR-0104a");
        device->httpPort = m_httpPort;
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.modelCtrl()->selectAll();
}

void TestAssignIp::prepare(CAssignIpPageCtrl& page)
{
    const QList<CAssignIpCtrl*> ctrls{page.DhcpCtrl(), page.FixedCtrl(), page.RangeCtrl()};
    for (CAssignIpCtrl* ctrl : ctrls) {
        DeviceSearchRunner* runner = ctrl->VerifyRunner();
        runner->setPort(m_discoveryPort);
        runner->setWaitMs(kRestartMs * 2);
        // Devices spread their answers to a broadcast over about a second.
        runner->setSearchMs(1500);
        runner->setMaxPasses(4);
    }
}

int TestAssignIp::status(CAssignIpPageCtrl& page, int row)
{
    return page.DevicesModel()->index(row, 0).data(CDeviceInfo::statusRole).toInt();
}

QString TestAssignIp::newIp(CAssignIpPageCtrl& page, int row)
{
    return page.DevicesModel()->index(row, 0).data(CDeviceInfo::newIpRole).toString();
}

QString TestAssignIp::ip(CAssignIpPageCtrl& page, int row)
{
    return page.DevicesModel()->index(row, 0).data(CDeviceInfo::ipRole).toString();
}

QString TestAssignIp::setParamBody(const QString& address)
{
    // The first setparam a device received carries the new settings; the restart comes after.
    for (const QJsonValue& entry : m_sim.lastReceived(address)) {
        const QJsonObject object = entry.toObject();
        if (object.value("path").toString() == "/cgi-bin/admin/setparam.cgi" &&
            object.value("body").toString() != "system_reset=1")
            return object.value("body").toString();
    }
    return QString();
}

void TestAssignIp::poolHandsOutLowestFree_data()
{
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("last");
    QTest::addColumn<QList<quint32>>("removed");
    QTest::addColumn<QList<quint32>>("expected");
    QTest::addColumn<quint64>("sizeAfter");
    QTest::newRow("plain") << 10u << 12u << QList<quint32>{} << QList<quint32>{10, 11, 12}
                           << quint64(0);
    QTest::newRow("middle taken") << 10u << 13u << QList<quint32>{11} << QList<quint32>{10, 12, 13}
                                  << quint64(0);
    QTest::newRow("first taken twice")
        << 10u << 12u << QList<quint32>{10, 10} << QList<quint32>{11, 12} << quint64(0);
    QTest::newRow("outside ignored")
        << 10u << 11u << QList<quint32>{9, 12} << QList<quint32>{10, 11} << quint64(0);
    QTest::newRow("end below start")
        << 12u << 10u << QList<quint32>{} << QList<quint32>{} << quint64(0);
    QTest::newRow("whole address space") << 0u << 0xffffffffu << QList<quint32>{0, 2, 0xffffffffu}
                                         << QList<quint32>{1, 3} << quint64(0xffffffffu) - 4;
}

void TestAssignIp::poolHandsOutLowestFree()
{
    QFETCH(quint32, first);
    QFETCH(quint32, last);
    QFETCH(QList<quint32>, removed);
    QFETCH(QList<quint32>, expected);
    QFETCH(quint64, sizeAfter);
    CIpPool pool(first, last);
    for (quint32 address : removed)
        pool.remove(address);
    for (quint32 want : expected) {
        quint32 got = 0;
        QVERIFY(pool.takeLowest(&got));
        QCOMPARE(got, want);
        QVERIFY(!pool.contains(got));
    }
    QCOMPARE(pool.size(), sizeAfter);
    if (sizeAfter == 0) {
        quint32 got = 0;
        QVERIFY(!pool.takeLowest(&got));
    }
}

void TestAssignIp::rangeAllotsInViewOrder_data()
{
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("statuses");
    const int refused = CAssignIpCtrl::ConnFail;
    const int kept = CAssignIpCtrl::Success;
    QTest::newRow("unrelated addresses")
        << QStringList{"127.0.122.1", "127.0.122.2", "127.0.122.3"} << "10.0.0.10"
        << "10.0.0.12" << QStringList{"10.0.0.10", "10.0.0.11", "10.0.0.12"}
        << QList<int>{refused, refused, refused};
    QTest::newRow("device inside keeps its address")
        << QStringList{"127.0.122.1", "127.0.122.11", "127.0.122.2"} << "127.0.122.10"
        << "127.0.122.12" << QStringList{"127.0.122.10", "127.0.122.11", "127.0.122.12"}
        << QList<int>{refused, kept, refused};
    QTest::newRow("earlier row took the inside address")
        << QStringList{"127.0.122.1", "127.0.122.10", "127.0.122.2"} << "127.0.122.10"
        << "127.0.122.12" << QStringList{"127.0.122.10", "127.0.122.11", "127.0.122.12"}
        << QList<int>{refused, refused, refused};
    QTest::newRow("row without an address left alone")
        << QStringList{"", "127.0.122.1"} << "10.0.0.10"
        << "10.0.0.10" << QStringList{"", "10.0.0.10"}
        << QList<int>{int(CAssignIpCtrl::Nothing), refused};
    QTest::newRow("sixteen million addresses")
        << QStringList{"127.0.122.1", "10.200.0.5", "127.0.122.2"} << "10.0.0.0"
        << "10.255.255.255" << QStringList{"10.0.0.0", "10.200.0.5", "10.0.0.1"}
        << QList<int>{refused, kept, refused};
}

void TestAssignIp::rangeAllotsInViewOrder()
{
    QFETCH(QStringList, addresses);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, statuses);
    CMainDeviceChain chain;
    fillMainList(chain, addresses);
    CAssignIpPageCtrl page;
    prepare(page);
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QCOMPARE(page.numDevices(), addresses.size());
    QSignalSpy completed(&page, &CAssignIpPageCtrl::completed);
    QSignalSpy failed(&page, &CAssignIpPageCtrl::startFailed);
    page.assignIpRange(first, last, "255.255.0.0", "10.0.0.1", "", "", false, 0);
    QCOMPARE(failed.count(), 0);
    QVERIFY(page.working());
    QVERIFY(completed.wait(15000));
    QVERIFY(!page.working());
    for (int row = 0; row < addresses.size(); ++row) {
        QCOMPARE(newIp(page, row), expected.at(row));
        QCOMPARE(status(page, row), statuses.at(row));
    }
    QCOMPARE(page.numFailed(), int(statuses.count(CAssignIpCtrl::ConnFail)));
}

void TestAssignIp::startErrors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("error");
    QTest::newRow("end below start")
        << "range" << QStringList{"127.0.122.12", "127.0.122.10", "255.255.0.0", "10.0.0.1", "", ""}
        << int(CAssignIpPageCtrl::RangeIpRangeInvalid);
    QTest::newRow("too few addresses")
        << "range" << QStringList{"127.0.122.10", "127.0.122.11", "255.255.0.0", "10.0.0.1", "", ""}
        << int(CAssignIpPageCtrl::RangeIpRangeNotEnough);
    QTest::newRow("start not an address")
        << "range" << QStringList{"127.0.122", "127.0.122.12", "255.255.0.0", "10.0.0.1", "", ""}
        << int(CAssignIpPageCtrl::RangeIpFormatInvalid);
    QTest::newRow("range dns not an address")
        << "range"
        << QStringList{"127.0.122.10", "127.0.122.12", "255.255.0.0", "10.0.0.1", "x", ""}
        << int(CAssignIpPageCtrl::RangeIpFormatInvalid);
    QTest::newRow("fixed router missing")
        << "fixed" << QStringList{"127.0.122.10", "255.255.0.0", "", "", ""}
        << int(CAssignIpPageCtrl::FixedIpInvalid);
    QTest::newRow("fixed group above 255")
        << "fixed" << QStringList{"127.0.122.256", "255.255.0.0", "10.0.0.1", "", ""}
        << int(CAssignIpPageCtrl::FixedIpInvalid);
    QTest::newRow("fixed dns not an address")
        << "fixed" << QStringList{"127.0.122.10", "255.255.0.0", "10.0.0.1", "", "1.2.3"}
        << int(CAssignIpPageCtrl::FixedIpInvalid);
}

void TestAssignIp::startErrors()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, input);
    QFETCH(int, error);
    CMainDeviceChain chain;
    fillMainList(chain, QStringList{"127.0.122.1", "127.0.122.2", "127.0.122.3"});
    CAssignIpPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy failed(&page, &CAssignIpPageCtrl::startFailed);
    if (kind == "range")
        page.assignIpRange(input[0], input[1], input[2], input[3], input[4], input[5], false, 0);
    else
        page.assignFixedIp(input[0], input[1], input[2], input[3], input[4], false, 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), error);
    QVERIFY(!page.working());
    // Nothing was touched.
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(status(page, row), int(CAssignIpCtrl::Nothing));
        QVERIFY(newIp(page, row).isEmpty());
    }
}

void TestAssignIp::bodies_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("dns1");
    QTest::addColumn<QString>("dns2");
    QTest::addColumn<QString>("body");
    QTest::newRow("dhcp") << "dhcp"
                          << ""
                          << ""
                          << "network_type=lan&network_resetip=1";
    QTest::newRow("fixed with both dns")
        << "fixed"
        << "10.0.0.53"
        << "10.0.0.54"
        << "network_type=lan&network_ipaddress=127.0.121.200&network_subnet=255.255.0.0"
           "&network_router=10.0.0.1&network_dns1=10.0.0.53&network_dns2=10.0.0.54"
           "&network_resetip=0";
    QTest::newRow("fixed with dns 0.0.0.0 and empty")
        << "fixed"
        << "0.0.0.0"
        << ""
        << "network_type=lan&network_ipaddress=127.0.121.200&network_subnet=255.255.0.0"
           "&network_router=10.0.0.1&network_resetip=0";
    QTest::newRow("range leaves 0.0.0.0 out")
        << "range"
        << "10.0.0.53"
        << "0.0.0.0"
        << "network_type=lan&network_ipaddress=127.0.121.200&network_subnet=255.255.0.0"
           "&network_router=10.0.0.1&network_dns1=10.0.0.53&network_resetip=0";
}

void TestAssignIp::bodies()
{
    QFETCH(QString, kind);
    QFETCH(QString, dns1);
    QFETCH(QString, dns2);
    QFETCH(QString, body);
    // The device records what it was sent and refuses it, so it stays where it is.
    const int device = 30;
    QVERIFY(m_sim.clearReceived(simIp(device)));
    QVERIFY(m_sim.setFault(simIp(device), "status",
                           {{"status", 500}, {"path", "/cgi-bin/admin/setparam.cgi"}}));
    CMainDeviceChain chain;
    fillMainList(chain, QList<int>{device});
    CAssignIpPageCtrl page;
    prepare(page);
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CAssignIpPageCtrl::completed);
    if (kind == "dhcp")
        page.assignDhcp();
    else if (kind == "fixed")
        page.assignFixedIp("127.0.121.200", "255.255.0.0", "10.0.0.1", dns1, dns2, false, 0);
    else
        page.assignIpRange("127.0.121.200", "127.0.121.201", "255.255.0.0", "10.0.0.1", dns1, dns2,
                           false, 0);
    QVERIFY(completed.wait(15000));
    QCOMPARE(setParamBody(simIp(device)), body);
    QCOMPARE(status(page, 0), int(CAssignIpCtrl::ConnFail));
    QCOMPARE(page.numFailed(), 1);
    QVERIFY(m_sim.setFault(simIp(device), "none"));
}

void TestAssignIp::devicesMoveAndAreFoundAgain_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QList<int>>("devices");
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("newIps");
    QTest::addColumn<QList<int>>("statuses");
    // Where the main list points afterwards: a device that did not move keeps its address there.
    QTest::addColumn<QStringList>("mainIps");
    const int ok = CAssignIpCtrl::Success;
    QTest::newRow("range")
        << "range" << QList<int>{0, 1, 2}
        << QStringList{"127.0.121.10", "127.0.121.19", "255.0.0.0", "127.0.0.1", "", ""}
        << QStringList{"127.0.121.10", "127.0.121.11", "127.0.121.12"} << QList<int>{ok, ok, ok}
        << QStringList{"127.0.121.10", "127.0.121.11", "127.0.121.12"};
    QTest::newRow("dhcp") << "dhcp" << QList<int>{3} << QStringList{} << QStringList{"127.0.121.13"}
                          << QList<int>{ok} << QStringList{"127.0.121.13"};
    QTest::newRow("fixed, verified by range discovery")
        << "fixed" << QList<int>{4}
        << QStringList{"127.0.121.14", "255.0.0.0", "127.0.0.1", "", "", "ranged"}
        << QStringList{"127.0.121.14"} << QList<int>{ok} << QStringList{"127.0.121.14"};
    QTest::newRow("refused and unreachable devices")
        << "range" << QList<int>{5, 6, 7}
        << QStringList{"127.0.121.15", "127.0.121.19", "255.0.0.0", "127.0.0.1", "", ""}
        << QStringList{"127.0.121.15", "127.0.121.16", "127.0.121.17"}
        << QList<int>{ok, int(CAssignIpCtrl::AuthFail), int(CAssignIpCtrl::ConnFail)}
        << QStringList{"127.0.121.15", simIp(6), simIp(7)};
}

void TestAssignIp::devicesMoveAndAreFoundAgain()
{
    QFETCH(QString, kind);
    QFETCH(QList<int>, devices);
    QFETCH(QStringList, input);
    QFETCH(QStringList, newIps);
    QFETCH(QList<int>, statuses);
    QFETCH(QStringList, mainIps);
    if (kind == "dhcp")
        QVERIFY(m_sim.setState(simIp(devices[0]), {{"dhcpAddress", newIps[0]}}));
    CMainDeviceChain chain;
    fillMainList(chain, devices);
    if (QTest::currentDataTag() == QLatin1String("refused and unreachable devices")) {
        chain.listModel()->setData(chain.listModel()->index(1, 0), "wrong",
                                   CDeviceInfo::passwordRole);
        QVERIFY(m_sim.setFault(simIp(devices[2]), "offline"));
    }
    CAssignIpPageCtrl page;
    prepare(page);
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CAssignIpPageCtrl::completed);
    QSignalSpy failed(&page, &CAssignIpPageCtrl::startFailed);
    if (kind == "range")
        page.assignIpRange(input[0], input[1], input[2], input[3], input[4], input[5], false, 0);
    else if (kind == "fixed")
        page.assignFixedIp(input[0], input[1], input[2], input[3], input[4], true, 1);
    else
        page.assignDhcp();
    QCOMPARE(failed.count(), 0);
    QVERIFY(completed.wait(30000));

    for (int row = 0; row < devices.size(); ++row) {
        QCOMPARE(status(page, row), statuses.at(row));
        QCOMPARE(newIp(page, row), newIps.at(row));
        if (statuses.at(row) == CAssignIpCtrl::Success) {
            // The device itself answers at its new address now.
            QCOMPARE(m_sim.device(simIp(devices[row])).value("ip").toString(), QString());
            QCOMPARE(m_sim.device(newIps.at(row)).value("ip").toString(), newIps.at(row));
        }
    }
    page.leavePage();
    for (int row = 0; row < devices.size(); ++row)
        QCOMPARE(chain.listModel()->index(row, 0).data(CDeviceInfo::ipRole).toString(),
                 mainIps.at(row));
    if (QTest::currentDataTag() == QLatin1String("refused and unreachable devices"))
        QVERIFY(m_sim.setFault(simIp(devices[2]), "none"));
}

void TestAssignIp::onlyFailedKeepsConfirmedAddresses()
{
    // Device 10 moves in the first run; device 11 refuses it (wrong password) and is retried
    // alone with the right one: it must not be given device 10's address again.
    CMainDeviceChain chain;
    fillMainList(chain, QList<int>{10, 11});
    chain.listModel()->setData(chain.listModel()->index(1, 0), "wrong", CDeviceInfo::passwordRole);
    CAssignIpPageCtrl page;
    prepare(page);
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CAssignIpPageCtrl::completed);
    QSignalSpy failed(&page, &CAssignIpPageCtrl::startFailed);
    page.assignIpRange("127.0.121.30", "127.0.121.31", "255.0.0.0", "127.0.0.1", "", "", false, 0);
    QVERIFY(completed.wait(30000));
    QCOMPARE(status(page, 0), int(CAssignIpCtrl::Success));
    QCOMPARE(newIp(page, 0), QString("127.0.121.30"));
    QCOMPARE(status(page, 1), int(CAssignIpCtrl::AuthFail));
    QCOMPARE(newIp(page, 1), QString("127.0.121.31"));
    QCOMPARE(page.numFailed(), 1);

    page.PageList()->setData(page.PageList()->index(1, 0), "ardmere1", CDeviceInfo::passwordRole);
    page.applyOnlyToFailed(true);
    // A one-address range already given away is too small now.
    page.assignIpRange("127.0.121.30", "127.0.121.30", "255.0.0.0", "127.0.0.1", "", "", false, 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), int(CAssignIpPageCtrl::RangeIpRangeNotEnough));
    QVERIFY(m_sim.clearReceived("127.0.121.30"));
    page.assignIpRange("127.0.121.30", "127.0.121.32", "255.0.0.0", "127.0.0.1", "", "", false, 0);
    QCOMPARE(failed.count(), 1);
    QVERIFY(completed.wait(30000));
    QCOMPARE(status(page, 0), int(CAssignIpCtrl::Success));
    QCOMPARE(newIp(page, 0), QString("127.0.121.30"));
    // The confirmed address was not committed by the retry, and its device was not asked again.
    QCOMPARE(ip(page, 0), simIp(10));
    QVERIFY(m_sim.lastReceived("127.0.121.30").isEmpty());
    QCOMPARE(status(page, 1), int(CAssignIpCtrl::Success));
    QCOMPARE(newIp(page, 1), QString("127.0.121.31"));
    QCOMPARE(page.numFailed(), 0);

    // A full run first makes the confirmed addresses the rows' own: both devices already sit in
    // the range now, so nothing is sent.
    page.applyOnlyToFailed(false);
    QVERIFY(m_sim.clearReceived("127.0.121.31"));
    page.assignIpRange("127.0.121.30", "127.0.121.31", "255.0.0.0", "127.0.0.1", "", "", false, 0);
    QCOMPARE(failed.count(), 1);
    QVERIFY(completed.wait(10000));
    QCOMPARE(ip(page, 0), QString("127.0.121.30"));
    QCOMPARE(ip(page, 1), QString("127.0.121.31"));
    QCOMPARE(status(page, 0), int(CAssignIpCtrl::Success));
    QCOMPARE(status(page, 1), int(CAssignIpCtrl::Success));
    QVERIFY(m_sim.lastReceived("127.0.121.30").isEmpty());
    QVERIFY(m_sim.lastReceived("127.0.121.31").isEmpty());
    page.leavePage();
    QCOMPARE(chain.listModel()->index(0, 0).data(CDeviceInfo::ipRole).toString(),
             QString("127.0.121.30"));
    QCOMPARE(chain.listModel()->index(1, 0).data(CDeviceInfo::ipRole).toString(),
             QString("127.0.121.31"));
}

void TestAssignIp::viewFindsAndSortsNewAddresses()
{
    CMainDeviceChain chain;
    fillMainList(chain, QStringList{"127.0.122.1", "127.0.122.2", "127.0.122.3"});
    CAssignIpPageCtrl page;
    prepare(page);
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CAssignIpPageCtrl::completed);
    page.assignIpRange("127.0.122.8", "127.0.122.10", "255.0.0.0", "127.0.0.1", "", "", false, 0);
    QVERIFY(completed.wait(15000));
    auto* ctrl = qobject_cast<CModelCtrl*>(page.DevicesModelCtrl());
    QVERIFY(ctrl);
    // As addresses, .10 comes after .9; as text it would come first.
    ctrl->sortByRole("newIpRole", Qt::DescendingOrder);
    QCOMPARE(newIp(page, 0), QString("127.0.122.10"));
    QCOMPARE(newIp(page, 1), QString("127.0.122.9"));
    QCOMPARE(newIp(page, 2), QString("127.0.122.8"));
    // Only the new address holds "122.9".
    ctrl->setFilter("122.9");
    QCOMPARE(page.DevicesModel()->rowCount(), 1);
    QCOMPARE(ip(page, 0), QString("127.0.122.2"));
}

void TestAssignIp::leavingDuringARunAbortsIt()
{
    // Device 20 never answers; device 21 moves while the run is still waiting for 20.
    const int silent = 20;
    QVERIFY(m_sim.setFault(simIp(silent), "silent"));
    CMainDeviceChain chain;
    fillMainList(chain, QList<int>{silent, 21});
    CAssignIpPageCtrl page;
    prepare(page);
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CAssignIpPageCtrl::completed);
    QSignalSpy working(&page, &CAssignIpPageCtrl::workingChanged);
    page.assignIpRange("127.0.121.40", "127.0.121.41", "255.0.0.0", "127.0.0.1", "", "", false, 0);
    QVERIFY(page.working());
    QTRY_COMPARE_WITH_TIMEOUT(status(page, 1), int(CAssignIpCtrl::Verifying), 5000);
    page.leavePage();
    QVERIFY(!page.working());
    QCOMPARE(working.count(), 2);
    // Neither row is left looking busy, and neither address was confirmed.
    QCOMPARE(status(page, 0), int(CAssignIpCtrl::Timeout));
    QCOMPARE(status(page, 1), int(CAssignIpCtrl::Timeout));
    QCOMPARE(chain.listModel()->index(0, 0).data(CDeviceInfo::ipRole).toString(), simIp(silent));
    QCOMPARE(chain.listModel()->index(1, 0).data(CDeviceInfo::ipRole).toString(), simIp(21));
    QVERIFY(!completed.wait(500));
    // The page can start again straight away.
    QSignalSpy failed(&page, &CAssignIpPageCtrl::startFailed);
    QTRY_VERIFY_WITH_TIMEOUT(!page.RangeCtrl()->IsVerifying(), 2000);
    page.enterPage();
    page.assignIpRange("127.0.122.40", "127.0.122.41", "255.0.0.0", "127.0.0.1", "", "", false, 0);
    QCOMPARE(failed.count(), 0);
    page.leavePage();
    QVERIFY(m_sim.setFault(simIp(silent), "none"));
}

QTEST_GUILESS_MAIN(TestAssignIp)
#include "tst_assignip.moc"
