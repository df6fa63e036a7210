// Firmware upgrades end to end against the device simulator: from the main selection through the
// model groups and the queue to uploads, restarts, verification and the rows' final codes.

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFirmwarePageCtrl.h"
#include "CFirmwarePageModel.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSelectableRoleModel.h"
#include "CSetDevicesCtrl.h"
#include "CUpgradeFirmwareCtrl.h"
#include "Settings.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFirstIp = QStringLiteral("127.0.150.1");
// Cameras QD8182, QB9365 in turn (devices 0-7), then two recorders NR9782 and ND9541 (8, 9).
const int kCameras = 8;
const int kDevices = 10;
const int kRestartMs = 400;
const int kRetries = 30;

QString deviceIp(int i)
{
    return QStringLiteral("127.0.150.%1").arg(i + 1);
}

} // namespace

class TestFirmwareUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void queueUpgradesEveryModel();
    void failuresEndAtTheirCodes_data();
    void failuresEndAtTheirCodes();
    void slowRestartIsNotReportedEarly();
    void scriptUploadNeedsNoNewFirmware();

private:
    // A main list holding the given simulator devices as discovery found them, all selected.
    void selectDevices(CMainDeviceChain& chain, const QList<int>& devices,
                       const QString& password = QStringLiteral("ardmere1"));
    // A firmware file of ours for model at version, padded to some size.
    QString firmwareFile(const QString& model, const QString& version);
    // The page row (status layer) of the simulator device at ip.
    static int pageRow(CPageCtrl& page, const QString& ip);
    static int statusOf(CPageCtrl& page, int row);
    int groupRow(CFirmwarePageCtrl& page, const QString& model) const;
    QJsonArray uploadsTo(const QString& ip);

    CDeviceSimulator m_sim;
    quint16 m_httpPort = 0;
    QTemporaryDir m_files;
    QJsonArray m_listing;
};

void TestFirmwareUpgrade::initTestCase()
{
    QVERIFY(m_files.isValid());
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    settings.setValue("uploadFirmwareTimeoutMs", 20000);
    settings.setValue("verifyFirmwareSleepMs", 100);
    settings.setValue("verifyFirmwareTimeoutMS", 1000);
    settings.setValue("verifyFirmwareRetryTimes", kRetries);
    settings.sync();

    m_httpPort = CFreePort::tcp(QHostAddress(kFirstIp));
    QVERIFY2(m_sim.start({"--count", QString::number(kDevices), "--first-ip", kFirstIp,
                          "--http-port", QString::number(m_httpPort), "--https-port",
                          QString::number(CFreePort::tcp(QHostAddress(kFirstIp))),
                          "--discovery-port", "0", "--models", "QD8182,QB9365", "--recorders",
                          QString::number(kDevices - kCameras), "--restart-ms",
                          QString::number(kRestartMs), "--no-modules"}),
             qPrintable(m_sim.errorString()));
    m_listing = m_sim.devices();
    QCOMPARE(m_listing.size(), kDevices);
}

void TestFirmwareUpgrade::cleanup()
{
    for (int i = 0; i < kDevices; ++i) {
        m_sim.setFault(deviceIp(i), "none");
        // A device left in a restart that never ends stays away; no later case uses it.
        if (!m_sim.waitForState(deviceIp(i), "online", 3000))
            continue;
        QVERIFY(m_sim.setState(
            deviceIp(i),
            {{"firmwareVersion", "0104a"}, {"upgradeGoDownMs", 300}, {"password", "ardmere1"}}));
        m_sim.clearReceived(deviceIp(i));
    }
}

void TestFirmwareUpgrade::selectDevices(CMainDeviceChain& chain, const QList<int>& devices,
                                        const QString& password)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (int i : devices) {
        const QJsonObject listed = m_sim.device(deviceIp(i));
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = deviceIp(i);
        device->model = listed.value("model").toString();
        device->firmwareInfo = listed.value("firmware").toString();
        device->firmware = listed.value("firmwareVersion").toString();
        device->username = QStringLiteral("root");
        device->password = password;
        device->httpPort = m_httpPort;
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    // Recorders are selectable on the main page's recorder tab only.
    chain.selectableModel()->setNVRSelectable(true);
    chain.modelCtrl()->selectAll();
}

QString TestFirmwareUpgrade::firmwareFile(const QString& model, const QString& version)
{
    const QString path = m_files.filePath(model + "-QXOR-" + version + ".pkg");
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) {
        file.write("ARDMERE-FIRMWARE model=" + model.toUtf8() + " version=" + version.toUtf8() +
                   "\n");
        file.write(QByteArray(256 * 1024, '\x5a'));
    }
    return path;
}

int TestFirmwareUpgrade::pageRow(CPageCtrl& page, const QString& ip)
{
    for (int row = 0; row < page.StatusLayer()->rowCount(); ++row) {
        if (page.StatusLayer()->index(row, 0).data(CDeviceInfo::ipRole).toString() == ip)
            return row;
    }
    return -1;
}

int TestFirmwareUpgrade::statusOf(CPageCtrl& page, int row)
{
    return CSetDevicesCtrl::StatusOf(page.StatusLayer()->index(row, 0), page.statusKey());
}

int TestFirmwareUpgrade::groupRow(CFirmwarePageCtrl& page, const QString& model) const
{
    CFirmwarePageModel* groups = page.PageModel();
    for (int row = 0; row < groups->rowCount(); ++row) {
        if (groups->index(row, 0).data(CFirmwarePageModel::modelRole).toString() == model)
            return row;
    }
    return -1;
}

QJsonArray TestFirmwareUpgrade::uploadsTo(const QString& ip)
{
    QJsonArray uploads;
    for (const QJsonValue& entry : m_sim.lastReceived(ip)) {
        if (entry.toObject().value("method").toString() == "POST")
            uploads.append(entry);
    }
    return uploads;
}

void TestFirmwareUpgrade::queueUpgradesEveryModel()
{
    // Two QD8182, two QB9365 and one recorder, upgraded group after group from one queue.
    const QList<int> devices{0, 2, 1, 3, 8};
    CMainDeviceChain chain;
    selectDevices(chain, devices);
    CFirmwarePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.setNeedRemoveAfter(false);
    page.enterPage();
    QCOMPARE(page.PageModel()->rowCount(), 3);
    const QString recorderModel = m_sim.device(deviceIp(8)).value("model").toString();
    const QMap<QString, QString> versions{
        {"QD8182", "0205a"}, {"QB9365", "0311c"}, {recorderModel, "0402b"}};
    for (auto it = versions.constBegin(); it != versions.constEnd(); ++it) {
        const int row = groupRow(page, it.key());
        QVERIFY2(row >= 0, qPrintable(it.key()));
        page.setFirmwarePath(row, QUrl::fromLocalFile(firmwareFile(it.key(), it.value())));
    }
    QVERIFY(page.isApplyButtonAvailable());

    QSignalSpy started(&page, &CFirmwarePageCtrl::started);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy startFailed(&page, &CPageCtrl::startFailed);
    page.startAll();
    QCOMPARE(started.count(), 3);
    // Groups wait in the order they were started; the first is already running.
    QCOMPARE(page.WaitingQueue(), (QStringList{"1", "3", "5"}));
    QCOMPARE(page.PageModel()->index(0, 0).data(CFirmwarePageModel::statusRole).toInt(),
             int(CPageCtrl::Working));
    QCOMPARE(page.PageModel()->index(1, 0).data(CFirmwarePageModel::statusRole).toInt(),
             int(CPageCtrl::Waiting));
    QVERIFY(!page.isApplyButtonAvailable());
    // Starting a queued or running group again is refused.
    page.start(1);
    page.start(0);
    QCOMPARE(startFailed.count(), 2);
    QCOMPARE(page.WaitingQueue().size(), 3);

    QVERIFY(completed.wait(60000));
    QCOMPARE(completed.count(), 1);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QVERIFY(page.WaitingQueue().isEmpty());
    for (int row = 0; row < 3; ++row) {
        const QModelIndex group = page.PageModel()->index(row, 0);
        QCOMPARE(group.data(CFirmwarePageModel::statusRole).toInt(), int(CPageCtrl::Finished));
        QCOMPARE(group.data(CFirmwarePageModel::errorCountRole).toInt(), 0);
        QCOMPARE(group.data(CFirmwarePageModel::progressRole).toInt(), 100);
    }
    QCOMPARE(page.PageModel()->numFailedGroup(), 0);

    for (int i : devices) {
        const QJsonObject device = m_sim.device(deviceIp(i));
        const QString model = device.value("model").toString();
        const QString version = versions.value(model);
        const int row = pageRow(page, deviceIp(i));
        QCOMPARE(statusOf(page, row), int(CCorvaneTableStatus::FirmwarePage_Success));
        const QModelIndex index = page.StatusLayer()->index(row, 0);
        QCOMPARE(index.data(CDeviceInfo::firmwareInfoRole).toString(), model + "-QXOR-" + version);
        QCOMPARE(index.data(CDeviceInfo::firmwareRole).toString(), version);
        // The device really took the file and restarted once.
        QCOMPARE(device.value("firmwareVersion").toString(), version);
        QCOMPARE(device.value("restarts").toInt(), 1);
        const QJsonArray uploads = uploadsTo(deviceIp(i));
        QCOMPARE(uploads.size(), 1);
        const QJsonObject upload = uploads.at(0).toObject();
        const bool recorder = i >= kCameras;
        QCOMPARE(upload.value("path").toString(), QString(recorder ? "/cgi-bin/admin/system.upgrade"
                                                                   : "/cgi-bin/admin/upgrade.cgi"));
        const QJsonObject part = upload.value("parts").toArray().at(0).toObject();
        QCOMPARE(part.value("name").toString(), QString(recorder ? "file" : "fimage"));
        QCOMPARE(part.value("fileName").toString(), model + "-QXOR-" + version + ".pkg");
    }
    // The main list shows the new firmware.
    for (int row = 0; row < chain.listModel()->rowCount(); ++row) {
        const QModelIndex index = chain.listModel()->index(row, 0);
        const QString model = index.data(CDeviceInfo::modelRole).toString();
        QCOMPARE(index.data(CDeviceInfo::firmwareRole).toString(), versions.value(model));
    }
}

void TestFirmwareUpgrade::failuresEndAtTheirCodes_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QJsonObject>("state"); // simulator state set before the run
    QTest::addColumn<QString>("fileModel"); // empty: a file that does not exist
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("verified"); // whether any verification request went out

    QTest::newRow("file for another model refused")
        << 0 << QJsonObject() << "QB9365"
        << "ardmere1" << int(CCorvaneTableStatus::FirmwarePage_Fail) << false;
    QTest::newRow("recorder refuses a camera file")
        << 9 << QJsonObject() << "QD8182"
        << "ardmere1" << int(CCorvaneTableStatus::FirmwarePage_Fail) << false;
    QTest::newRow("missing file") << 2 << QJsonObject() << QString() << "ardmere1"
                                  << int(CCorvaneTableStatus::FirmwarePage_CannotOpenFile) << false;
    QTest::newRow("wrong password")
        << 4 << QJsonObject() << "QD8182"
        << "wrong" << int(CCorvaneTableStatus::FirmwarePage_AuthFail) << false;
    // Accepts the file but never goes down to apply it: it keeps reporting its old firmware.
    QTest::newRow("keeps the old firmware")
        << 6 << QJsonObject{{"upgradeGoDownMs", 600000}} << "QD8182"
        << "ardmere1" << int(CCorvaneTableStatus::FirmwarePage_Fail) << true;
    QTest::newRow("never comes back")
        << 7 << QJsonObject{{"restartMs", 600000}} << "QB9365"
        << "ardmere1" << int(CCorvaneTableStatus::FirmwarePage_Timeout) << true;
}

void TestFirmwareUpgrade::failuresEndAtTheirCodes()
{
    QFETCH(int, device);
    QFETCH(QJsonObject, state);
    QFETCH(QString, fileModel);
    QFETCH(QString, password);
    QFETCH(int, code);
    QFETCH(bool, verified);
    if (!state.isEmpty())
        QVERIFY(m_sim.setState(deviceIp(device), state));
    const QString before = m_sim.device(deviceIp(device)).value("firmware").toString();

    CMainDeviceChain chain;
    selectDevices(chain, {device}, password);
    CFirmwarePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QCOMPARE(page.PageModel()->rowCount(), 1);
    const QString path =
        fileModel.isEmpty() ? m_files.filePath("missing.pkg") : firmwareFile(fileModel, "0999z");
    page.setFirmwarePath(0, QUrl::fromLocalFile(path));
    QList<int> seen;
    connect(page.StatusLayer(), &QAbstractItemModel::dataChanged, this,
            [&]() { seen.append(statusOf(page, 0)); });
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start(0);
    QVERIFY(completed.wait(30000));

    QCOMPARE(statusOf(page, 0), code);
    // A device that did not take the file is never shown upgraded, not even for a moment.
    QVERIFY2(!seen.contains(CCorvaneTableStatus::FirmwarePage_Success),
             qPrintable(QString::number(seen.size())));
    QCOMPARE(page.StatusLayer()->index(0, 0).data(CDeviceInfo::firmwareInfoRole).toString(),
             before);
    QCOMPARE(page.PageModel()->index(0, 0).data(CFirmwarePageModel::errorCountRole).toInt(), 1);
    QCOMPARE(page.PageModel()->numFailedGroup(), 1);
    auto* failed =
        qobject_cast<QAbstractItemModel*>(page.PageModel()
                                              ->index(0, 0)
                                              .data(CFirmwarePageModel::failedDevicesModelRole)
                                              .value<QObject*>());
    QCOMPARE(failed->rowCount(), 1);
    QCOMPARE(page.UpgradeCtrl()->AttemptCount(), verified ? kRetries : 0);
}

void TestFirmwareUpgrade::slowRestartIsNotReportedEarly()
{
    // The device keeps running (and reporting) its old firmware for a while after it took the
    // file; every poll in that time must leave it at "uploaded".
    const int device = 5;
    QVERIFY(m_sim.setState(deviceIp(device), {{"upgradeGoDownMs", 1000}}));
    CMainDeviceChain chain;
    selectDevices(chain, {device});
    CFirmwarePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setFirmwarePath(0, QUrl::fromLocalFile(firmwareFile("QB9365", "0500a")));
    QString infoWhenUpgraded;
    int restartsWhenUpgraded = -1;
    connect(page.StatusLayer(), &QAbstractItemModel::dataChanged, this, [&]() {
        if (statusOf(page, 0) == CCorvaneTableStatus::FirmwarePage_Success &&
            restartsWhenUpgraded < 0) {
            infoWhenUpgraded =
                page.StatusLayer()->index(0, 0).data(CDeviceInfo::firmwareInfoRole).toString();
            restartsWhenUpgraded = m_sim.device(deviceIp(device)).value("restarts").toInt();
        }
    });
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start(0);
    QVERIFY(completed.wait(30000));
    QCOMPARE(statusOf(page, 0), int(CCorvaneTableStatus::FirmwarePage_Success));
    QCOMPARE(infoWhenUpgraded, QStringLiteral("QB9365-QXOR-0500a"));
    QCOMPARE(restartsWhenUpgraded, 1);
    // It was polled while it still ran the old firmware.
    QVERIFY(page.UpgradeCtrl()->AttemptCount() > 2);
}

void TestFirmwareUpgrade::scriptUploadNeedsNoNewFirmware()
{
    // An event script is applied without a restart: the device's answer is all there is.
    const int device = 4;
    CMainDeviceChain chain;
    selectDevices(chain, {device});
    CFirmwarePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.setScript(true);
    page.enterPage();
    const QString script = m_files.filePath("event.script");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("on motion: record 10s\n");
    file.close();
    page.setFirmwarePath(0, QUrl::fromLocalFile(script));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start(0);
    QVERIFY(completed.wait(30000));
    QCOMPARE(statusOf(page, 0), int(CCorvaneTableStatus::FirmwarePage_Success));
    const QJsonArray uploads = uploadsTo(deviceIp(device));
    QCOMPARE(uploads.size(), 1);
    QCOMPARE(uploads.at(0).toObject().value("path").toString(),
             QStringLiteral("/cgi-bin/admin/eventscript.cgi"));
    QCOMPARE(m_sim.device(deviceIp(device)).value("restarts").toInt(), 0);
}

QTEST_MAIN(TestFirmwareUpgrade)
#include "tst_firmwareupgrade.moc"
