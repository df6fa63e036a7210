// The reboot, restore and CGI pages end to end against the device simulator: from the main
// selection through the device controllers to row statuses, progress and page results.

#include "CAppendedDataModel.h"
#include "CCgiGetPageCtrl.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CRebootDevicesCtrl.h"
#include "CRebootPageCtrl.h"
#include "CRestoreDevicesCtrl.h"
#include "CRestorePageCtrl.h"
#include "CSetParamCtrl.h"
#include "Settings.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFirstIp = QStringLiteral("127.0.30.1");
const int kDevices = 6;
const int kRestartMs = 800;

QString deviceIp(int i)
{
    return QStringLiteral("127.0.30.%1").arg(i + 1);
}

} // namespace

class TestMaintenancePages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void rebootWaitsForDevicesToComeBack();
    void leavingDuringRebootEndsTheRun();
    void restoreSendsMaskBody_data();
    void restoreSendsMaskBody();
    void cgiAnswersGoToOneFile();

private:
    // Selects devices first..first+count-1 of the simulator on a fresh main list.
    void selectDevices(CMainDeviceChain& chain, const QList<int>& devices,
                       const QString& password = QStringLiteral("ardmere1"));
    static int statusOf(CPageCtrl& page, int row);

    CDeviceSimulator m_sim;
    quint16 m_httpPort = 0;
    QTemporaryDir m_workDir;
    QString m_previousDir;
};

void TestMaintenancePages::selectDevices(CMainDeviceChain& chain, const QList<int>& devices,
                                         const QString& password)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (int i : devices) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = deviceIp(i);
        device->model = QStringLiteral("QD8182");
        device->firmwareInfo = QStringLiteral("QD8182-QXOR-0104a");
        device->username = QStringLiteral("root");
        device->password = password;
        device->httpPort = m_httpPort;
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.modelCtrl()->selectAll();
}

int TestMaintenancePages::statusOf(CPageCtrl& page, int row)
{
    const QModelIndex index = page.StatusLayer()->index(row, 0);
    return index.data(CDeviceInfo::statusRole).toMap().value(page.statusKey(), -2).toInt();
}

void TestMaintenancePages::initTestCase()
{
    QVERIFY(m_workDir.isValid());
    m_previousDir = QDir::currentPath();
    // The CGI answer file is written to the working directory.
    QDir::setCurrent(m_workDir.path());
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    settings.setValue("restartTimeoutMs", 3000);
    // Longer than a device keeps answering after it accepted the restart.
    settings.setValue("verifyRestartSleepMs", 500);
    settings.setValue("verifyRestartTimeoutMS", 1000);
    settings.setValue("verifyRestartRetryTimes", 5);
    settings.setValue("cgiGetUATTest", true);
    settings.sync();

    m_httpPort = CFreePort::tcp(QHostAddress(kFirstIp));
    QVERIFY2(m_sim.start({"--count", QString::number(kDevices), "--first-ip", kFirstIp,
                          "--http-port", QString::number(m_httpPort), "--https-port",
                          QString::number(CFreePort::tcp(QHostAddress(kFirstIp))),
                          "--discovery-port", QString::number(CFreePort::udp()), "--restart-ms",
                          QString::number(kRestartMs)}),
             qPrintable(m_sim.errorString()));
}

void TestMaintenancePages::cleanupTestCase()
{
    QFile::remove(settingsFilePath());
    QDir::setCurrent(m_previousDir);
}

void TestMaintenancePages::cleanup()
{
    for (int i = 0; i < kDevices; ++i) {
        m_sim.waitForState(deviceIp(i), "online", 5000);
        m_sim.setFault(deviceIp(i), "none");
        // A factory restore leaves a device waiting for its first password.
        m_sim.setState(deviceIp(i), {{"firstUse", false}, {"password", "ardmere1"}});
        m_sim.clearReceived(deviceIp(i));
    }
}

void TestMaintenancePages::rebootWaitsForDevicesToComeBack()
{
    // Device 1 accepts the restart but never answers a getparam again.
    QVERIFY(m_sim.setFault(deviceIp(1), "status", {{"path", "/cgi-bin/admin/getparam.cgi"}}));
    CMainDeviceChain chain;
    selectDevices(chain, {0, 1, 2});
    // Device 2 is given the wrong password.
    chain.listModel()->setData(chain.listModel()->index(2, 0), "wrong", CDeviceInfo::passwordRole);

    CRebootPageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QElapsedTimer clock;
    qint64 backAfterMs = -1;
    bool sawHalfway = false;
    connect(page.StatusLayer(), &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex& index) {
                if (index.row() == 0 && statusOf(page, 0) == 802)
                    backAfterMs = clock.elapsed();
                if (page.progress() == 50)
                    sawHalfway = true;
            });
    clock.start();
    page.start();
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QCOMPARE(statusOf(page, 0), 800);
    const int restartsBefore = m_sim.device(deviceIp(0)).value("restarts").toInt();
    QVERIFY(completed.wait(20000));

    QCOMPARE(statusOf(page, 0), 802);
    QCOMPARE(statusOf(page, 1), 806);
    QCOMPARE(statusOf(page, 2), 805);
    // Device 0 really was away for its restart before it counted as back.
    QVERIFY2(backAfterMs >= kRestartMs, qPrintable(QString::number(backAfterMs)));
    QCOMPARE(m_sim.device(deviceIp(0)).value("restarts").toInt(), restartsBefore + 1);
    QVERIFY(sawHalfway);
    // The device that never came back was polled for the whole budget.
    QCOMPARE(page.DevicesCtrl()->VerifyPasses(), 5);
    QCOMPARE(page.errorCount(), 2);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QCOMPARE(page.progress(), 66);
    QCOMPARE(page.FailedModel()->rowCount(), 2);
    const QJsonArray received = m_sim.lastReceived(deviceIp(0));
    bool reset = false;
    for (const QJsonValue& entry : received)
        reset = reset || entry.toObject().value("body").toString() == "system_reset=1";
    QVERIFY(reset);

    // A retry sends only the failed devices again.
    for (int i = 0; i < 3; ++i)
        m_sim.clearReceived(deviceIp(i));
    QVERIFY(m_sim.waitForState(deviceIp(0), "online", 5000));
    page.startOnFailed();
    QCOMPARE(statusOf(page, 0), 802);
    QCOMPARE(statusOf(page, 1), 800);
    page.leavePage();
    QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 2, 10000);
    QVERIFY(m_sim.lastReceived(deviceIp(0)).isEmpty());
}

void TestMaintenancePages::leavingDuringRebootEndsTheRun()
{
    QVERIFY(m_sim.setFault(deviceIp(3), "silent"));
    CMainDeviceChain chain;
    selectDevices(chain, {3});
    CRebootPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy errors(&page, &CPageCtrl::errorCountChanged);
    page.start();
    QTest::qWait(100);
    page.leavePage();
    QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, 5000);
    QCOMPARE(statusOf(page, 0), 806);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Nothing));
    QCOMPARE(errors.count(), 0);
    QVERIFY(!page.DevicesCtrl()->IsWorking());
}

void TestMaintenancePages::restoreSendsMaskBody_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("body");
    QTest::newRow("everything") << 0 << "system_restore=1";
    QTest::newRow("keep network and language")
        << 5 << "system_restoreexceptnet=1&system_restoreexceptlang=1";
}

void TestMaintenancePages::restoreSendsMaskBody()
{
    QFETCH(int, mask);
    QFETCH(QString, body);
    QVERIFY(m_sim.setFault(deviceIp(5), "silent"));
    CMainDeviceChain chain;
    selectDevices(chain, {4, 5});
    CRestorePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExcludeGroup(mask);
    page.DevicesCtrl()->CommandRunner()->SetTimeout(1500);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start();
    QVERIFY(completed.wait(10000));
    QCOMPARE(statusOf(page, 0), 701);
    QCOMPARE(statusOf(page, 1), 705);
    QCOMPARE(page.progress(), 50);
    QCOMPARE(page.errorCount(), 1);
    bool found = false;
    for (const QJsonValue& entry : m_sim.lastReceived(deviceIp(4))) {
        const QJsonObject object = entry.toObject();
        if (object.value("path").toString() == "/cgi-bin/admin/setparam.cgi")
            found = found || object.value("body").toString() == body;
    }
    QVERIFY(found);
}

void TestMaintenancePages::cgiAnswersGoToOneFile()
{
    QFile::remove("cgiUAT.txt");
    QVERIFY(m_sim.setFault(deviceIp(2), "status", {{"status", 404}}));
    CMainDeviceChain chain;
    selectDevices(chain, {0, 1, 2});
    CCgiGetPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setCgiCmd("/cgi-bin/admin/getparam.cgi?system_hostname&system_info_modelname");
    page.setToFile(true);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start();
    QVERIFY(completed.wait(10000));
    QCOMPARE(statusOf(page, 0), 1101);
    QCOMPARE(statusOf(page, 1), 1101);
    QCOMPARE(statusOf(page, 2), 1102);
    QCOMPARE(page.errorCount(), 1);
    QCOMPARE(page.progress(), 66);
    QCOMPARE(m_sim.lastReceived(deviceIp(0)).last().toObject().value("query").toString(),
             QStringLiteral("system_hostname&system_info_modelname"));

    QFile answers("cgiUAT.txt");
    QVERIFY(answers.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(answers.readAll()).split('\n');
    // Two devices, each: hostname, blank, model name, blank.
    QCOMPARE(lines.size(), 9);
    for (int device = 0; device < 2; ++device) {
        QVERIFY(!lines.at(device * 4).isEmpty());
        QVERIFY(lines.at(device * 4 + 1).isEmpty());
        QVERIFY(!lines.at(device * 4 + 2).isEmpty());
        QVERIFY(!lines.at(device * 4 + 2).contains('\''));
        QVERIFY(lines.at(device * 4 + 3).isEmpty());
    }

    // A command without a query right after one with it is sent without one; only the failed
    // device is asked again.
    m_sim.setFault(deviceIp(2), "none");
    page.setCgiCmd("/cgi-bin/admin/getparam.cgi");
    page.setToFile(false);
    page.startOnFailed();
    QVERIFY(completed.wait(10000));
    QCOMPARE(statusOf(page, 2), 1101);
    QCOMPARE(m_sim.lastReceived(deviceIp(2)).last().toObject().value("query").toString(),
             QString());
    QCOMPARE(page.errorCount(), 0);
}

QTEST_MAIN(TestMaintenancePages)
#include "tst_maintenancepages.moc"
