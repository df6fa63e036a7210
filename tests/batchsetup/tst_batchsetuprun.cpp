// The batch-setup run against simulated cameras: a template read from a camera or a file, applied
// through the page controller to cameras of several models, with failures, retries, restarts,
// long bodies and the model aliases.
#include "CAppendedDataModel.h"
#include "CBatchSetupCtrl.h"
#include "CBatchSetupPageCtrl.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDevicePack.h"
#include "CDevicePackInstaller.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFreePort.h"
#include "CGetParamValueCtrl.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "COptionList.h"
#include "CSetDevicesParamsCtrl.h"
#include "CSetupContentManager.h"
#include "PackFixture.h"
#include "Settings.h"
#include "SetupContentUids.h"

#include <QAuthenticator>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

namespace {

// This area's own loopback range.
const QString kFirstIp = QStringLiteral("127.0.61.1");
// Cameras 0-5; the template is camera 0.
const QStringList kModels{"QD8182", "QB9365", "QF8360", "QZ9185", "QD8182", "QB9365"};
const int kRestartMs = 2500;
const int kRunTimeoutMs = 3000;

QString ipOf(int i)
{
    return QStringLiteral("127.0.61.%1").arg(i + 1);
}

using Status = CCorvaneTableStatus;

} // namespace

class TestBatchSetupRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void readTemplateFromCamera_data();
    void readTemplateFromCamera();
    void everyOfferedSettingReadsBack_data();
    void everyOfferedSettingReadsBack();
    void runChangesEveryModel();
    void oneCameraFails_data();
    void oneCameraFails();
    void restartUidRestartsCameras();
    void longBodiesAreSplit();
    void restartAfterSplitBodiesKeepsEverySetting();
    void templateFileRoundTrip();
    void exportPaths_data();
    void exportPaths();
    void modelAliasesPickTheirTable();
    void sameModel_data();
    void sameModel();
    void leavingAbortsTheRun();

private:
    // Fills a fresh main list with the given cameras, selects them all and enters the page.
    void enter(CBatchSetupPageCtrl& page, CMainDeviceChain& chain, const QList<int>& cameras,
               const QString& password = QStringLiteral("ardmere1"));
    // Chooses camera row as template and waits for the read's result.
    int readTemplate(CBatchSetupPageCtrl& page, int row, int waitMs = 15000);
    // Starts (or retries) a run and waits for completed().
    bool run(CBatchSetupPageCtrl& page, bool onFailed = false, int waitMs = 20000);
    static int statusOf(CBatchSetupPageCtrl& page, int row);
    static void setOption(CBatchSetupPageCtrl& page, const QString& uid, const QString& value);
    static QVariantList uidList(const QStringList& uids);
    QMap<QString, QString> getParams(const QString& ip, const QStringList& names);
    // The distinct bodies POSTed to path, oldest first.
    QStringList postsTo(const QString& ip, const QString& path);

    QTemporaryDir m_appDir;
    QTemporaryDir m_tempDir;
    QString m_workDir;
    CDeviceSimulator m_sim;
    quint16 m_httpPort = 0;
    quint16 m_httpsPort = 0;
    QNetworkAccessManager m_network;
};

void TestBatchSetupRun::initTestCase()
{
    const QDir source(QStringLiteral(ARDMERE_SAMPLE_PACK_DIR));
    const QStringList packs = source.entryList({"DevicePack-*.vdp"}, QDir::Files);
    QCOMPARE(packs.size(), 1);
    QVERIFY(
        QFile::copy(source.filePath(packs.first()), QDir(m_appDir.path()).filePath(packs.first())));
    const CDevicePackInstaller installer(m_appDir.path(), m_tempDir.path());
    QVERIFY(!installer.prepareDevicePack().isEmpty());
    m_workDir = installer.workDirectory();

    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    settings.setValue("batchSetDevicesTimeoutMS", kRunTimeoutMs);
    settings.sync();

    connect(&m_network, &QNetworkAccessManager::authenticationRequired,
            [](QNetworkReply*, QAuthenticator* auth) {
                auth->setUser("root");
                auth->setPassword("ardmere1");
            });
    m_httpPort = CFreePort::tcp(QHostAddress(kFirstIp));
    m_httpsPort = CFreePort::tcp(QHostAddress(kFirstIp));
    QVERIFY2(m_sim.start({"--count", QString::number(kModels.size()), "--first-ip", kFirstIp,
                          "--http-port", QString::number(m_httpPort), "--https-port",
                          QString::number(m_httpsPort), "--models", kModels.join(','),
                          "--discovery-port", QString::number(CFreePort::udp()), "--restart-ms",
                          QString::number(kRestartMs)}),
             qPrintable(m_sim.errorString()));
}

void TestBatchSetupRun::cleanupTestCase()
{
    m_sim.stop();
    QFile::remove(settingsFilePath());
}

void TestBatchSetupRun::cleanup()
{
    for (int i = 0; i < kModels.size(); ++i) {
        m_sim.waitForState(ipOf(i), "online", 10000);
        m_sim.setFault(ipOf(i), "none");
        m_sim.setState(ipOf(i), {{"firstUse", false}, {"password", "ardmere1"}});
        m_sim.clearReceived(ipOf(i));
    }
}

void TestBatchSetupRun::enter(CBatchSetupPageCtrl& page, CMainDeviceChain& chain,
                              const QList<int>& cameras, const QString& password)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (int i : cameras) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = ipOf(i);
        device->model = kModels.at(i);
        device->cameraModelName = kModels.at(i);
        device->firmwareInfo = kModels.at(i) + "-QXOR-0104a";
        device->username = QStringLiteral("root");
        device->password = password;
        device->httpPort = m_httpPort;
        device->httpsPort = m_httpsPort;
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.modelCtrl()->selectAll();
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
}

int TestBatchSetupRun::readTemplate(CBatchSetupPageCtrl& page, int row, int waitMs)
{
    auto* layer = page.TemplateSelectionLayer();
    for (int r = 0; r < layer->rowCount(); ++r)
        layer->setData(layer->index(r, 0), r == row, CDeviceInfo::selectedRole);
    QSignalSpy done(&page, &CBatchSetupPageCtrl::readCurrentOptionFromCameraCompleted);
    if (!page.readCurrentOptionFromCamera())
        return -100;
    if (!done.wait(waitMs))
        return -101;
    return done.first().first().toInt();
}

bool TestBatchSetupRun::run(CBatchSetupPageCtrl& page, bool onFailed, int waitMs)
{
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy failed(&page, &CPageCtrl::startFailed);
    if (onFailed)
        page.startOnFailed();
    else
        page.start();
    if (!failed.isEmpty())
        return false;
    return completed.wait(waitMs);
}

int TestBatchSetupRun::statusOf(CBatchSetupPageCtrl& page, int row)
{
    const QModelIndex index = page.StatusLayer()->index(row, 0);
    return index.data(CDeviceInfo::statusRole).toMap().value(page.statusKey(), -2).toInt();
}

void TestBatchSetupRun::setOption(CBatchSetupPageCtrl& page, const QString& uid,
                                  const QString& value)
{
    auto* set = qobject_cast<COptionList*>(page.GetUISet(0, uid));
    QVERIFY2(set, qPrintable(uid));
    set->setCurrentOpt(value);
}

QVariantList TestBatchSetupRun::uidList(const QStringList& uids)
{
    QVariantList list;
    for (const QString& uid : uids)
        list.append(QVariantMap{{"uid", uid}, {"channel", 0}});
    return list;
}

QMap<QString, QString> TestBatchSetupRun::getParams(const QString& ip, const QStringList& names)
{
    QUrl url(QStringLiteral("http://%1:%2/cgi-bin/admin/getparam.cgi").arg(ip).arg(m_httpPort));
    url.setQuery(names.join('&'));
    QNetworkReply* reply = m_network.get(QNetworkRequest(url));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    finished.wait(10000);
    QMap<QString, QString> values;
    for (const QByteArray& line : reply->readAll().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        const int eq = trimmed.indexOf('=');
        if (eq <= 0)
            continue;
        QByteArray value = trimmed.mid(eq + 1);
        if (value.size() >= 2 && value.startsWith('\'') && value.endsWith('\''))
            value = value.mid(1, value.size() - 2);
        values.insert(QString::fromUtf8(trimmed.left(eq)), QString::fromUtf8(value));
    }
    reply->deleteLater();
    return values;
}

QStringList TestBatchSetupRun::postsTo(const QString& ip, const QString& path)
{
    // Digest turns away a first attempt, which is then sent again as it was: each body once.
    QStringList bodies;
    for (const QJsonValue& value : m_sim.lastReceived(ip)) {
        const QJsonObject request = value.toObject();
        const QString body = request.value("body").toString();
        if (request.value("method").toString() == "POST" &&
            request.value("path").toString() == path && !bodies.contains(body))
            bodies.append(body);
    }
    return bodies;
}

void TestBatchSetupRun::readTemplateFromCamera_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("expected");

    QTest::newRow("success") << "none"
                             << "ardmere1" << int(Status::BatchSetupPage_ImportSuccess);
    QTest::newRow("connection refused") << "offline"
                                        << "ardmere1" << int(Status::BatchSetupPage_ImportConnFail);
    QTest::newRow("wrong password") << "none"
                                    << "wrong" << int(Status::BatchSetupPage_ImportAuthFail);
    // The reader waits its full minute for a camera that never answers.
    QTest::newRow("time-out") << "silent"
                              << "ardmere1" << int(Status::BatchSetupPage_ImportTimeout);
}

void TestBatchSetupRun::readTemplateFromCamera()
{
    QFETCH(QString, fault);
    QFETCH(QString, password);
    QFETCH(int, expected);

    // The template camera (a QB9365) brings one DI, two DOs and the second smart stream.
    QVERIFY(m_sim.setState(ipOf(1),
                           {{"params", QJsonObject{{"capability_ndi", "1"},
                                                   {"capability_ndo", "2"},
                                                   {"capability_smartstream_support", "1"}}}}));
    QVERIFY(m_sim.setFault(ipOf(1), fault));
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {0, 1}, password);
    QSignalSpy infoChanged(&page, &CBatchSetupPageCtrl::currentTemplateInfoChanged);

    // Nothing chosen: no read, no signal.
    QSignalSpy done(&page, &CBatchSetupPageCtrl::readCurrentOptionFromCameraCompleted);
    QVERIFY(!page.readCurrentOptionFromCamera());
    QVERIFY(done.isEmpty());

    QCOMPARE(readTemplate(page, 1, 75000), expected);
    QCOMPARE(page.currentTemplateInfo(), QString("QB9365  ") + ipOf(1));
    QCOMPARE(infoChanged.count(), 1);
    QCOMPARE(page.getDevicePackDynamicJSFilename(), QString("qrc:///js/DevicePack/QB9365.js"));
    if (expected != Status::BatchSetupPage_ImportSuccess) {
        QCOMPARE(page.digitalInputCounts(), 0);
        QCOMPARE(page.supportSmartStream2(), false);
        return;
    }
    QCOMPARE(page.numChannel(), 1);
    QCOMPARE(page.digitalInputCounts(), 1);
    QCOMPARE(page.digitalOutputCounts(), 2);
    QCOMPARE(page.supportSmartStream2(), true);
    QVERIFY(!page.isOptionListDirty());
    auto* color = qobject_cast<COptionList*>(page.GetUISet(0, "uid_color"));
    QVERIFY(color);
    QCOMPARE(color->currentOpt(), QString("Color"));
    color->setCurrentOpt("B/W");
    QVERIFY(page.isOptionListDirty());
    page.resetOptionListDirtyBit();
    QVERIFY(!page.isOptionListDirty());
    // The password policy came with the read.
    QVERIFY(!page.getPasswordPolcyRule().isEmpty());
}

void TestBatchSetupRun::everyOfferedSettingReadsBack_data()
{
    QTest::addColumn<int>("camera");
    for (int i = 0; i < 4; ++i)
        QTest::newRow(qPrintable(kModels.at(i))) << i;
}

void TestBatchSetupRun::everyOfferedSettingReadsBack()
{
    // Every setting the pages offer for a simulated model is answered by the camera with a value
    // the table knows, so a template read from it shows a choice for each.
    QFETCH(int, camera);
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {camera});
    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
    CDevicePack pack;
    QVERIFY(pack.Load(m_workDir + "/csv"));
    QVERIFY(pack.LoadModel(kModels.at(camera)));
    QStringList unanswered;
    int checked = 0;
    for (const QString& uid : AllUids()) {
        // The DI/DO settings follow the camera's counts; write-only settings have nothing to show.
        if (uid.startsWith("uid_di") || uid.startsWith("uid_do") || !pack.ContainsUid(uid) ||
            pack.GetReadPath(uid).isEmpty())
            continue;
        auto* set = qobject_cast<COptionList*>(page.GetUISet(0, uid));
        if (!set || set->opts().isEmpty())
            continue;
        ++checked;
        const QVector<UidOption> options = pack.GetOptions(uid);
        // A free text may well be empty; it must be answered all the same.
        const bool freeText = options.size() == 1 && options.first().first == "%s";
        const QString name = options.value(0).second.section('=', 0, 0);
        if (freeText ? !page.Reader()->values().contains(name) : set->currentOpt().isEmpty())
            unanswered.append(uid);
    }
    QVERIFY(checked > 50);
    QVERIFY2(unanswered.isEmpty(), qPrintable(unanswered.join(' ')));
}

void TestBatchSetupRun::runChangesEveryModel()
{
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {0, 1, 2, 3, 4, 5});
    QVERIFY(!page.isSameModel());
    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));

    setOption(page, "uid_system_hostname", "Lobby & gate=2");
    setOption(page, "uid_color", "B/W");
    setOption(page, "uid_s0_h264_max_frame_rate", "15");
    setOption(page, "uid_freq", "50");
    setOption(page, "uid_di0_normal_state", "low");
    page.setUidList(uidList({"uid_system_hostname", "uid_color", "uid_s0_h264_max_frame_rate",
                             "uid_freq", "uid_di0_normal_state"}));
    QSignalSpy restarting(&page, &CBatchSetupPageCtrl::devicesRestartingAfterApplied);
    QVERIFY(run(page));

    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(page.progress(), 100);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QCOMPARE(page.FailedModel()->rowCount(), 0);
    QCOMPARE(restarting.count(), 1);
    QCOMPARE(restarting.first().first().toBool(), false);
    for (int i = 0; i < kModels.size(); ++i) {
        QCOMPARE(statusOf(page, i), int(Status::BatchSetupPage_SetupSuccess));
        const auto after = getParams(ipOf(i), {"system_hostname", "videoin_c0_color",
                                               "videoin_c0_s0_h264_maxframe", "videoin_c0_freq",
                                               "videoin_c0_maxexposure", "di_i0_normalstate"});
        QCOMPARE(after.value("system_hostname"), QString("Lobby & gate=2"));
        QCOMPARE(after.value("videoin_c0_color"), QString("0"));
        QCOMPARE(after.value("videoin_c0_s0_h264_maxframe"), QString("15"));
        QCOMPARE(after.value("videoin_c0_freq"), QString("50"));
        // A choice that writes more than one parameter writes all of them.
        QCOMPARE(after.value("videoin_c0_maxexposure"), QString("25"));
        QCOMPARE(after.value("di_i0_normalstate"), QString("low"));
        const QStringList posts = postsTo(ipOf(i), CSetDevicesParamsCtrl::kSetParamPath);
        QCOMPARE(posts.size(), 1);
        QVERIFY(!posts.first().contains("system_reset"));
    }
}

void TestBatchSetupRun::oneCameraFails_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("firstUse");
    QTest::addColumn<int>("expected");

    QTest::newRow("refused") << "offline" << false << int(Status::BatchSetupPage_SetupNetworkError);
    QTest::newRow("credentials refused")
        << "auth-reject" << false << int(Status::BatchSetupPage_SetupAuthFail);
    QTest::newRow("no answer") << "silent" << false << int(Status::BatchSetupPage_SetupTimeout);
    QTest::newRow("waits for its first password")
        << "none" << true << int(Status::BatchSetupPage_SetupFail);
}

void TestBatchSetupRun::oneCameraFails()
{
    QFETCH(QString, fault);
    QFETCH(bool, firstUse);
    QFETCH(int, expected);

    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {0, 2, 3});
    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
    setOption(page, "uid_color", "B/W");
    page.setUidList(uidList({"uid_color"}));

    QVERIFY(m_sim.setFault(ipOf(2), fault));
    if (firstUse)
        QVERIFY(m_sim.setState(ipOf(2), {{"firstUse", true}}));
    QSignalSpy restarting(&page, &CBatchSetupPageCtrl::devicesRestartingAfterApplied);
    QVERIFY(run(page));
    QCOMPARE(statusOf(page, 0), int(Status::BatchSetupPage_SetupSuccess));
    QCOMPARE(statusOf(page, 1), expected);
    QCOMPARE(statusOf(page, 2), int(Status::BatchSetupPage_SetupSuccess));
    QCOMPARE(page.errorCount(), 1);
    QCOMPARE(page.progress(), 66);
    QCOMPARE(restarting.count(), 0);
    QCOMPARE(page.FailedModel()->rowCount(), 1);
    QCOMPARE(page.FailedModel()->index(0, 0).data(CDeviceInfo::ipRole).toString(), ipOf(2));

    // The retry goes to the failed camera alone.
    QVERIFY(m_sim.setFault(ipOf(2), "none"));
    QVERIFY(m_sim.setState(ipOf(2), {{"firstUse", false}, {"password", "ardmere1"}}));
    for (int i : {0, 2, 3})
        QVERIFY(m_sim.clearReceived(ipOf(i)));
    QVERIFY(run(page, true));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(restarting.count(), 1);
    QCOMPARE(statusOf(page, 1), int(Status::BatchSetupPage_SetupSuccess));
    QCOMPARE(postsTo(ipOf(0), CSetDevicesParamsCtrl::kSetParamPath).size(), 0);
    QCOMPARE(postsTo(ipOf(3), CSetDevicesParamsCtrl::kSetParamPath).size(), 0);
    QCOMPARE(postsTo(ipOf(2), CSetDevicesParamsCtrl::kSetParamPath).size(), 1);
    QCOMPARE(getParams(ipOf(2), {"videoin_c0_color"}).value("videoin_c0_color"), QString("0"));

    // With every camera done a retry has nothing to send and still ends.
    QVERIFY(run(page, true));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
}

void TestBatchSetupRun::restartUidRestartsCameras()
{
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {0, 1, 2});
    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
    QVERIFY(page.Manager()->IsRestartUid("uid_network_http_port"));
    // The template's own port: the cameras restart and stay where they are.
    auto* port = qobject_cast<COptionList*>(page.GetUISet(0, "uid_network_http_port"));
    QVERIFY(port);
    QCOMPARE(port->currentOpt(), QString::number(m_httpPort));
    setOption(page, "uid_color", "B/W");
    page.setUidList(uidList({"uid_network_http_port", "uid_color"}));

    QMap<int, int> restartsBefore;
    for (int i : {0, 1, 2})
        restartsBefore[i] = m_sim.device(ipOf(i)).value("restarts").toInt();
    QSignalSpy restarting(&page, &CBatchSetupPageCtrl::devicesRestartingAfterApplied);
    QVERIFY(run(page));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(restarting.count(), 1);
    QCOMPARE(restarting.first().first().toBool(), true);
    for (int i : {0, 1, 2}) {
        const QStringList posts = postsTo(ipOf(i), CSetDevicesParamsCtrl::kSetParamPath);
        QCOMPARE(posts.size(), 1);
        const QUrlQuery body(posts.first());
        QCOMPARE(body.queryItemValue("system_reset"), QString("1"));
        QCOMPARE(body.queryItemValue("network_http_port"), QString::number(m_httpPort));
    }
    for (int i : {0, 1, 2}) {
        QTRY_VERIFY_WITH_TIMEOUT(
            m_sim.device(ipOf(i)).value("restarts").toInt() == restartsBefore.value(i) + 1, 10000);
        QVERIFY(m_sim.waitForState(ipOf(i), "online", 10000));
        QCOMPARE(getParams(ipOf(i), {"videoin_c0_color"}).value("videoin_c0_color"), QString("0"));
    }
}

void TestBatchSetupRun::longBodiesAreSplit()
{
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {1, 3});
    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
    const QString hostname(3000, QLatin1Char('h'));
    const QString ntp = QString(2990, QLatin1Char('n')) + ".example";
    setOption(page, "uid_system_hostname", hostname);
    setOption(page, "uid_ntp_server", ntp);
    setOption(page, "uid_color", "B/W");
    setOption(page, "uid_freq", "50");
    page.setUidList(uidList({"uid_system_hostname", "uid_ntp_server", "uid_color", "uid_freq"}));
    QVERIFY(run(page));
    QCOMPARE(page.errorCount(), 0);

    for (int i : {1, 3}) {
        const QStringList posts = postsTo(ipOf(i), CSetDevicesParamsCtrl::kSetParamPath);
        QCOMPARE(posts.size(), 2);
        // The first body closes after the parameter that passes the limit; each body is whole.
        QSet<QString> names;
        for (const QString& post : posts) {
            const QUrlQuery body(post);
            for (const auto& item : body.queryItems()) {
                QVERIFY2(!item.first.isEmpty() && !item.second.isEmpty(), qPrintable(item.first));
                names.insert(item.first);
            }
        }
        QVERIFY(names.contains("system_hostname"));
        QVERIFY(names.contains("ntp_server"));
        QVERIFY(names.contains("videoin_c0_color"));
        const auto after = getParams(
            ipOf(i), {"system_hostname", "ntp_server", "videoin_c0_color", "videoin_c0_freq"});
        QCOMPARE(after.value("system_hostname"), hostname);
        QCOMPARE(after.value("ntp_server"), ntp);
        QCOMPARE(after.value("videoin_c0_color"), QString("0"));
        QCOMPARE(after.value("videoin_c0_freq"), QString("50"));
    }
}

void TestBatchSetupRun::restartAfterSplitBodiesKeepsEverySetting()
{
    // The restart rides in the last body, which may reach the camera first: the other body must
    // still land.
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {2, 3});
    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
    const QString hostname(3000, QLatin1Char('r'));
    const QString ntp = QString(2990, QLatin1Char('t')) + ".example";
    setOption(page, "uid_system_hostname", hostname);
    setOption(page, "uid_ntp_server", ntp);
    setOption(page, "uid_color", "B/W");
    page.setUidList(
        uidList({"uid_system_hostname", "uid_ntp_server", "uid_network_http_port", "uid_color"}));
    QSignalSpy restarting(&page, &CBatchSetupPageCtrl::devicesRestartingAfterApplied);
    QVERIFY(run(page));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(restarting.count(), 1);
    QVERIFY(restarting.first().first().toBool());
    for (int i : {2, 3}) {
        const QStringList posts = postsTo(ipOf(i), CSetDevicesParamsCtrl::kSetParamPath);
        QCOMPARE(posts.size(), 2);
        // Both bodies go out at once; the restart is in one of them only.
        QCOMPARE(posts.filter("system_reset=1").size(), 1);
        QVERIFY(m_sim.waitForState(ipOf(i), "online", 10000));
        const auto after =
            getParams(ipOf(i), {"system_hostname", "ntp_server", "videoin_c0_color"});
        QCOMPARE(after.value("system_hostname"), hostname);
        QCOMPARE(after.value("ntp_server"), ntp);
        QCOMPARE(after.value("videoin_c0_color"), QString("0"));
    }
}

void TestBatchSetupRun::templateFileRoundTrip()
{
    QTemporaryDir dir;
    {
        CBatchSetupPageCtrl page(m_workDir);
        CMainDeviceChain chain;
        // A template camera without the second smart stream.
        QVERIFY(m_sim.setState(ipOf(0),
                               {{"params", QJsonObject{{"capability_smartstream_support", "0"}}}}));
        enter(page, chain, {0});
        QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
        QVERIFY(!page.supportSmartStream2());
        setOption(page, "uid_system_hostname", "From a file");
        setOption(page, "uid_color", "B/W");
        QVERIFY(page.exportCurrentOptionsToUrl(QUrl::fromLocalFile(dir.filePath("t 1.csv"))));
        QCOMPARE(page.lastExportOptionFilename(), QString("t 1.csv"));
        QCOMPARE(page.lastExportOptionPath(), QUrl::fromLocalFile(QDir(dir.path()).absolutePath()));
    }
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {2, 3, 5});
    QSignalSpy fileRead(&page, &CBatchSetupPageCtrl::readCurrentOptionFromFileCompleted);
    QVERIFY(!page.importCurrentOptions(dir.filePath("missing.csv")));
    QCOMPARE(fileRead.count(), 1);
    QCOMPARE(fileRead.takeFirst().first().toInt(), 0);
    QVERIFY(!page.importCurrentOptions(QString()));
    QCOMPARE(fileRead.count(), 0);

    QSignalSpy info(&page, &CBatchSetupPageCtrl::currentTemplateInfoChanged);
    QVERIFY(page.importCurrentOptionsFromUrl(QUrl::fromLocalFile(dir.filePath("t 1.csv"))));
    QCOMPARE(fileRead.count(), 1);
    QCOMPARE(fileRead.first().first().toInt(), int(Status::BatchSetupPage_ImportSuccess));
    // The model is shown while the signal goes out, then cleared.
    QCOMPARE(info.count(), 2);
    QCOMPARE(page.currentTemplateInfo(), QString());
    QVERIFY(page.supportSmartStream2());
    QVERIFY(!page.isOptionListDirty());
    QCOMPARE(qobject_cast<COptionList*>(page.GetUISet(0, "uid_color"))->currentOpt(),
             QString("B/W"));

    page.setUidList(uidList({"uid_system_hostname", "uid_color"}));
    QVERIFY(run(page));
    QCOMPARE(page.errorCount(), 0);
    for (int i : {2, 3, 5}) {
        const auto after = getParams(ipOf(i), {"system_hostname", "videoin_c0_color"});
        QCOMPARE(after.value("system_hostname"), QString("From a file"));
        QCOMPARE(after.value("videoin_c0_color"), QString("0"));
    }
}

void TestBatchSetupRun::exportPaths_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("written");

    QTest::newRow("dir and file") << "sub"
                                  << "a.csv"
                                  << "sub/a.csv";
    QTest::newRow("dir ending in a slash") << "sub/"
                                           << "a.csv"
                                           << "sub/a.csv";
    QTest::newRow("no dir") << ""
                            << "a.csv"
                            << "a.csv";
    QTest::newRow("default name") << "sub"
                                  << ""
                                  << "sub/ArdmereBatchSetupExport.csv";
    QTest::newRow("no file name") << "sub"
                                  << "-"
                                  << "";
}

void TestBatchSetupRun::exportPaths()
{
    QFETCH(QString, dir);
    QFETCH(QString, file);
    QFETCH(QString, written);

    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir("sub"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(base.path());
    CBatchSetupPageCtrl page(m_workDir);
    bool ok = false;
    if (file == "-")
        ok = page.exportCurrentOptions(dir, QString());
    else if (file.isEmpty())
        ok = page.exportCurrentOptions(dir);
    else
        ok = page.exportCurrentOptions(dir, file);
    QDir::setCurrent(previous);
    QCOMPARE(ok, !written.isEmpty());
    QDir all(base.path());
    const QStringList files =
        all.entryList(QDir::Files) + QDir(all.filePath("sub")).entryList(QDir::Files);
    if (written.isEmpty()) {
        QVERIFY(files.isEmpty());
        return;
    }
    QVERIFY(QFileInfo::exists(all.filePath(written)));
    QCOMPARE(files.size(), 1);
}

void TestBatchSetupRun::modelAliasesPickTheirTable()
{
    // A pack of our own: each full-name table, the family table and the base table write a
    // parameter of their own for the same choice.
    QTemporaryDir pack;
    QVERIFY(QDir(pack.path()).mkpath("csv"));
    const QByteArray head = "Version=1.0.0,test\nUID,Read path,Write path,Option,Parameters,"
                            "Option,Parameters\n";
    const auto table = [&](const QString& name, const QByteArray& param) {
        return PackFixture::writeFile(pack.filePath("csv/" + name + ".csv"),
                                      head +
                                          "uid_color,/cgi-bin/admin/getparam.cgi,"
                                          "/cgi-bin/admin/setparam.cgi,Color," +
                                          param + "=1,B/W," + param + "=0\n");
    };
    QVERIFY(table("base", "videoin_c0_color"));
    QVERIFY(table("KX5120", "family_c0_color"));
    QVERIFY(table("KX5120-HQ-RC(Yard)", "yard_c0_color"));
    QVERIFY(table("KX5120-HQ-RC(Lane)", "lane_c0_color"));

    CBatchSetupPageCtrl page(pack.path());
    CMainDeviceChain chain;
    enter(page, chain, {0, 1, 2});
    // Cameras 0 and 1 report the short names; camera 2 another model of the family.
    auto* list = page.PageList();
    QVERIFY(list->setData(list->index(0, 0), "KX5120-RC(Yard)", CDeviceInfo::cameraModelNameRole));
    QVERIFY(list->setData(list->index(1, 0), "KX5120-RC(Lane)", CDeviceInfo::cameraModelNameRole));
    QVERIFY(list->setData(list->index(2, 0), "KX5120-LP", CDeviceInfo::cameraModelNameRole));
    QVERIFY(m_sim.setState(ipOf(0), {{"params", QJsonObject{{"yard_c0_color", "1"}}}}));

    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
    QCOMPARE(page.Manager()->CurrentModel(), QString("KX5120-HQ-RC(Yard)"));
    QCOMPARE(page.getDevicePackDynamicJSFilename(),
             QString("qrc:///js/DevicePack/KX5120-HQ-RC(Yard).js"));
    QCOMPARE(qobject_cast<COptionList*>(page.GetUISet(0, "uid_color"))->currentOpt(),
             QString("Color"));
    setOption(page, "uid_color", "B/W");
    page.setUidList(uidList({"uid_color"}));
    QVERIFY(run(page));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(postsTo(ipOf(0), CSetDevicesParamsCtrl::kSetParamPath),
             QStringList{"yard_c0_color=0"});
    QCOMPARE(postsTo(ipOf(1), CSetDevicesParamsCtrl::kSetParamPath),
             QStringList{"lane_c0_color=0"});
    QCOMPARE(postsTo(ipOf(2), CSetDevicesParamsCtrl::kSetParamPath),
             QStringList{"family_c0_color=0"});
}

void TestBatchSetupRun::sameModel_data()
{
    QTest::addColumn<QList<int>>("cameras");
    QTest::addColumn<bool>("same");

    QTest::newRow("one camera") << QList<int>{1} << true;
    QTest::newRow("two of one model") << QList<int>{0, 4} << true;
    QTest::newRow("models differ") << QList<int>{0, 4, 1} << false;
}

void TestBatchSetupRun::sameModel()
{
    QFETCH(QList<int>, cameras);
    QFETCH(bool, same);
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, cameras);
    QCOMPARE(page.isSameModel(), same);
    QCOMPARE(page.TemplateDevicesModel()->rowCount(), cameras.size());
}

void TestBatchSetupRun::leavingAbortsTheRun()
{
    CBatchSetupPageCtrl page(m_workDir);
    CMainDeviceChain chain;
    enter(page, chain, {0, 1});
    QCOMPARE(readTemplate(page, 0), int(Status::BatchSetupPage_ImportSuccess));
    page.setUidList(uidList({"uid_color"}));
    QVERIFY(m_sim.setFault(ipOf(1), "silent"));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start();
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QSignalSpy failed(&page, &CPageCtrl::startFailed);
    page.start();
    QCOMPARE(failed.count(), 1);
    page.leavePage();
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Nothing));
    QVERIFY(completed.wait(kRunTimeoutMs / 2));
    QVERIFY(!page.SetCtrl()->IsWorking());
    QVERIFY(statusOf(page, 1) != Status::BatchSetupPage_SetupLoading);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Nothing));
}

QTEST_GUILESS_MAIN(TestBatchSetupRun)
#include "tst_batchsetuprun.moc"
