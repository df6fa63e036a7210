// The verification runner of IP assignment against the device simulator (127.0.48.x): devices
// moved to new addresses are confirmed with them, the rest time out after the last pass.
#include "CDeviceInfo.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"
#include "DeviceSearchRunner.h"
#include "TestResponder.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMutex>
#include <QStandardItemModel>
#include <QtTest>

namespace {

constexpr int Verifying = 301;
constexpr int Success = 302;
constexpr int Skipped = 303;
constexpr int Timeout = 306;

struct RowSpec
{
    QString model;
    QString mac;
    QString firmwareInfo;
    int httpPort = 0;
    int status = Verifying;
};

// A fleet on free HTTP and HTTPS ports, answering discovery on discoveryPort.
QStringList fleetArguments(int count, const QString& firstIp, quint16 discoveryPort)
{
    return {"--count",          QString::number(count),
            "--first-ip",       firstIp,
            "--http-port",      QString::number(CFreePort::tcp()),
            "--https-port",     QString::number(CFreePort::tcp()),
            "--discovery-port", QString::number(discoveryPort)};
}

} // namespace

class tst_DeviceSearchRunner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void movedDevicesAreConfirmed_data();
    void movedDevicesAreConfirmed();
    void endsEarlyWhenEveryRowIsConfirmed();
    void stopEndsWithoutSignal();
    void linkLocalAnswersAreIgnored();

private:
    void addRow(const RowSpec& spec);
    QList<QVariantMap> contexts() const;
    int status(int row) const { return m_model.item(row)->data(CDeviceInfo::statusRole).toInt(); }
    QString newIp(int row) const
    {
        return m_model.item(row)->data(CDeviceInfo::newIpRole).toString();
    }
    RowSpec rowOf(const QJsonObject& device) const;
    void runToEnd(DeviceSearchRunner& runner, int* verified, int timeoutMs);

    QStandardItemModel m_model;
    QMutex m_mutex;
};

void tst_DeviceSearchRunner::initTestCase()
{
    qputenv("PYXERA_LOOPBACK_ONLY", "1");
}

void tst_DeviceSearchRunner::addRow(const RowSpec& spec)
{
    auto* item = new QStandardItem;
    item->setData(spec.model, CDeviceInfo::modelRole);
    item->setData(spec.mac, CDeviceInfo::macRole);
    item->setData(spec.firmwareInfo, CDeviceInfo::firmwareInfoRole);
    item->setData(spec.httpPort, CDeviceInfo::httpPortRole);
    item->setData(spec.status, CDeviceInfo::statusRole);
    m_model.appendRow(item);
}

QList<QVariantMap> tst_DeviceSearchRunner::contexts() const
{
    QList<QVariantMap> out;
    for (int row = 0; row < m_model.rowCount(); ++row)
        out << QVariantMap{{"context", QVariant::fromValue(m_model.index(row, 0))},
                           {"ip", QString("unused")}};
    return out;
}

RowSpec tst_DeviceSearchRunner::rowOf(const QJsonObject& device) const
{
    RowSpec spec;
    const QString extended = device.value("extendedModel").toString();
    spec.model = extended.isEmpty() ? device.value("model").toString() : extended;
    spec.mac = device.value("mac").toString().toLower(); // the row's case does not matter
    spec.firmwareInfo = device.value("firmware").toString();
    spec.httpPort = device.value("httpPort").toInt();
    return spec;
}

void tst_DeviceSearchRunner::runToEnd(DeviceSearchRunner& runner, int* verified, int timeoutMs)
{
    connect(
        &runner, &DeviceSearchRunner::allVerified, this, [verified] { ++*verified; },
        Qt::QueuedConnection);
    runner.start();
    QTRY_VERIFY_WITH_TIMEOUT(runner.isFinished(), timeoutMs);
    QCoreApplication::processEvents(); // queued row writes and the signal
}

void tst_DeviceSearchRunner::movedDevicesAreConfirmed_data()
{
    QTest::addColumn<bool>("ranged");
    QTest::newRow("plain") << false;
    QTest::newRow("range") << true;
}

void tst_DeviceSearchRunner::movedDevicesAreConfirmed()
{
    QFETCH(bool, ranged);
    m_model.clear();
    const quint16 port = CFreePort::udp();
    CDeviceSimulator sim;
    QVERIFY2(sim.start(fleetArguments(5, "127.0.48.1", port)), qPrintable(sim.errorString()));
    const QJsonArray devices = sim.devices();
    QCOMPARE(devices.size(), 5);
    for (int i = 0; i < 4; ++i)
        addRow(rowOf(devices.at(i).toObject()));
    RowSpec skipped = rowOf(devices.at(4).toObject());
    skipped.status = Skipped;
    addRow(skipped);
    RowSpec otherFirmware = rowOf(devices.at(4).toObject());
    otherFirmware.firmwareInfo += "x";
    addRow(otherFirmware);
    RowSpec otherPort = rowOf(devices.at(4).toObject());
    otherPort.httpPort += 1;
    addRow(otherPort);

    QVERIFY(sim.setState("127.0.48.1", {{"ip", "127.0.48.101"}}));
    QVERIFY(sim.setState("127.0.48.2", {{"ip", "127.0.48.102"}}));
    QVERIFY(sim.setFault("127.0.48.4", "offline"));

    DeviceSearchRunner runner;
    runner.setContexts(contexts());
    runner.setMutex(&m_mutex);
    runner.setModel(&m_model);
    runner.setPort(port);
    runner.setWaitMs(100);
    // Devices spread their answers to a broadcast probe over one second: a shorter window would
    // miss a device now and then, in every pass.
    runner.setSearchMs(ranged ? 700 : 1500);
    runner.setMaxPasses(3);
    if (ranged)
        runner.setRange(true, "127.0.48.0", "127.0.48.255", 1);
    int verified = 0;
    runToEnd(runner, &verified, 15000);

    QCOMPARE(verified, 1);
    const QList<int> expected{Success, Success, Success, Timeout, Skipped, Timeout, Timeout};
    for (int row = 0; row < expected.size(); ++row)
        QCOMPARE(status(row), expected.at(row));
    QCOMPARE(newIp(0), QString("127.0.48.101"));
    QCOMPARE(newIp(1), QString("127.0.48.102"));
    QCOMPARE(newIp(2), QString("127.0.48.3"));
    QVERIFY(newIp(3).isEmpty());
    QVERIFY(newIp(4).isEmpty());
}

void tst_DeviceSearchRunner::endsEarlyWhenEveryRowIsConfirmed()
{
    m_model.clear();
    const quint16 port = CFreePort::udp();
    CDeviceSimulator sim;
    QVERIFY2(sim.start(fleetArguments(3, "127.0.48.21", port)), qPrintable(sim.errorString()));
    for (const QJsonValue& d : sim.devices())
        addRow(rowOf(d.toObject()));
    DeviceSearchRunner runner;
    runner.setContexts(contexts());
    runner.setModel(&m_model); // no mutex: the runner works without one
    runner.setPort(port);
    runner.setWaitMs(100);
    runner.setSearchMs(1500);
    runner.setMaxPasses(30); // 48 s if every pass ran; the first one confirms everything
    int verified = 0;
    runToEnd(runner, &verified, 15000);
    QCOMPARE(verified, 1);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(status(row), Success);
}

void tst_DeviceSearchRunner::stopEndsWithoutSignal()
{
    m_model.clear();
    addRow({"Q2710", "00-1a-07-41-00-01", "Q2710-QXOR-1", 80, Verifying});
    DeviceSearchRunner runner;
    runner.setContexts(contexts());
    runner.setModel(&m_model);
    runner.setPort(CFreePort::udp());
    runner.setWaitMs(60000); // stopped while waiting, long before the first pass
    int verified = 0;
    connect(
        &runner, &DeviceSearchRunner::allVerified, this, [&verified] { ++verified; },
        Qt::QueuedConnection);
    runner.start();
    QTest::qWait(100);
    runner.requestStop();
    QTRY_VERIFY_WITH_TIMEOUT(runner.isFinished(), 3000);
    QCoreApplication::processEvents();
    QCOMPARE(verified, 0);
    QCOMPARE(status(0), Verifying);
}

// The simulator lives on loopback only, so a device stating a link-local address comes from the
// scripted responder: its answer matches the row in every attribute and must still be ignored.
void tst_DeviceSearchRunner::linkLocalAnswersAreIgnored()
{
    m_model.clear();
    const quint16 port = TestResponder::freePort();
    pxw_answer linkLocal = TestResponder::makeAnswer("169.254.48.31", 31);
    pxw_answer normal = TestResponder::makeAnswer("127.0.48.32", 32);
    TestResponder responder(port, {{"127.0.48.31", linkLocal}, {"127.0.48.32", normal}});
    addRow({"Q2710", "00-1A-07-41-00-1F", "Q2710-QXOR-4.12.7", 80, Verifying});
    addRow({"Q2710", "00-1a-07-41-00-20", "Q2710-QXOR-4.12.7", 80, Verifying});
    DeviceSearchRunner runner;
    runner.setContexts(contexts());
    runner.setMutex(&m_mutex);
    runner.setModel(&m_model);
    runner.setPort(port);
    runner.setWaitMs(50);
    runner.setSearchMs(500);
    runner.setMaxPasses(2);
    int verified = 0;
    runToEnd(runner, &verified, 10000);
    QCOMPARE(verified, 1);
    QCOMPARE(status(0), Timeout);
    QVERIFY(newIp(0).isEmpty());
    QCOMPARE(status(1), Success);
    QCOMPARE(newIp(1), QString("127.0.48.32"));
}

QTEST_GUILESS_MAIN(tst_DeviceSearchRunner)
#include "tst_devicesearchrunner.moc"
