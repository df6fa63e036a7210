// The application page against the device simulator: module discovery and its grouping, start,
// stop and uninstall changing the devices, the Trend Micro signature, mode and upload, the
// configuration uploads, exports into folders on disk, and discovery over a large fleet with a
// bounded number of threads.

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSortFilterModel.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSetDevicesCtrl.h"
#include "CZAPKDevicesCtrl.h"
#include "CZAPKLeftModel.h"
#include "CZAPKPageCtrl.h"
#include "CZAPKPageModel.h"
#include "CameraAppsFixture.h"
#include "Worker.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

namespace {

// Devices 0-4 carry the simulator's fixed mix: VCA; Trend Micro; nothing; Rureru Revevaz (off)
// and VCA at index 2; ANPR 3.2.6.5. Device 5 is offline.
const int kDevices = 6;

int threadCount()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    }
    return -1;
}

} // namespace

class TestZapkModules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void parsesModuleReplies_data();
    void parsesModuleReplies();
    void discoveryGroupsModules();
    void startStopAndUninstallChangeTheDevices();
    void trendMicroSignatureModeAndUpload();
    void configurationUpload_data();
    void configurationUpload();
    void exportWritesTheDevicesFiles_data();
    void exportWritesTheDevicesFiles();
    void trendMicroLogExport();
    void discoveryOfAFleetUsesBoundedThreads();

private:
    // Enters the page over the given devices and waits for discovery.
    bool enter(CMainDeviceChain& chain, CZAPKPageCtrl& page, const QList<int>& devices,
               CameraAppsFixture* fleet = nullptr);
    // Shows module and selects all of its rows.
    void showAndSelect(CZAPKPageCtrl& page, const QString& module);
    int rowOf(CZAPKPageCtrl& page, const QString& ip, const QString& module) const;
    int codeAt(CZAPKPageCtrl& page, int row) const;
    QString moduleStatus(const QString& ip, const QString& module);

    CameraAppsFixture m_fleet;
    QTemporaryDir m_files;
};

void TestZapkModules::initTestCase()
{
    QVERIFY(m_files.isValid());
    QVERIFY2(m_fleet.start(QStringLiteral("127.0.171.1"), kDevices),
             qPrintable(m_fleet.sim().errorString()));
    QVERIFY(m_fleet.sim().setFault(m_fleet.ip(5), "offline"));
}

void TestZapkModules::cleanup()
{
    for (int i = 0; i < kDevices - 1; ++i) {
        m_fleet.sim().setFault(m_fleet.ip(i), "none");
        m_fleet.sim().setState(m_fleet.ip(i), {{"exportFileName", ""}});
    }
}

bool TestZapkModules::enter(CMainDeviceChain& chain, CZAPKPageCtrl& page, const QList<int>& devices,
                            CameraAppsFixture* fleet)
{
    (fleet ? fleet : &m_fleet)->select(chain, devices);
    page.SetMainDeviceList(chain.sortFilterModel());
    QSignalSpy searchEnd(&page, &CZAPKPageCtrl::searchEnd);
    page.enterPage();
    return searchEnd.wait(40000);
}

void TestZapkModules::showAndSelect(CZAPKPageCtrl& page, const QString& module)
{
    page.itemClicked(page.ButtonModel()->RowOf(module));
    page.PageModelCtrl()->selectAll();
    page.setup();
}

int TestZapkModules::rowOf(CZAPKPageCtrl& page, const QString& ip, const QString& module) const
{
    QAbstractItemModel* top = page.OperationModel();
    for (int row = 0; row < top->rowCount(); ++row) {
        const QModelIndex index = top->index(row, 0);
        if (index.data(CDeviceInfo::ipRole).toString() == ip &&
            index.data(CDeviceInfo::zapkNameRole).toString() == module)
            return row;
    }
    return -1;
}

int TestZapkModules::codeAt(CZAPKPageCtrl& page, int row) const
{
    return CSetDevicesCtrl::StatusOf(page.OperationModel()->index(row, 0), page.statusKey());
}

QString TestZapkModules::moduleStatus(const QString& ip, const QString& module)
{
    for (const QJsonValue& value : m_fleet.sim().device(ip).value("modules").toArray()) {
        if (value.toObject().value("name").toString() == module)
            return value.toObject().value("status").toString();
    }
    return QStringLiteral("absent");
}

void TestZapkModules::parsesModuleReplies_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("slots found by scanning, not by number")
        << QByteArray("zapk_module_number='2'\r\nzapk_module_i3_name='VCA'\r\n"
                      "zapk_module_i3_version='2.1'\r\nzapk_module_i3_status='on'\r\n"
                      "zapk_module_i7_name='ANPR'\r\nzapk_module_i7_status='off'\r\n"
                      "zapk_module_i12_name='Cloud'\r\n")
        << QStringList{"1.2.3.4", "VCA", "2.1", "on", "3", "1.2.3.4", "ANPR", "", "off", "7"};
    QTest::newRow("extended name first, plain name otherwise, neither skipped")
        << QByteArray("zapk_module_number='3'\r\nzapk_module_i0_name='VCA'\r\n"
                      "zapk_module_i0_extendedname='Zovu Rorevazu ZAV'\r\n"
                      "zapk_module_i1_extendedname=''\r\nzapk_module_i1_name='ANPR'\r\n"
                      "zapk_module_i2_version='1.0'\r\n")
        << QStringList{"1.2.3.4", "Zovu Rorevazu ZAV", "", "", "0", "1.2.3.4", "ANPR", "", "", "1"};
    QTest::newRow("a second = cuts the value, quotes go, later lines win")
        << QByteArray("zapk_module_number='1'\r\nzapk_module_i0_name='V'C'A'\r\n"
                      "zapk_module_i0_version='1.0=beta'\r\nzapk_module_i0_status='on'\r\n"
                      "zapk_module_i0_status='off'\r\n")
        << QStringList{"1.2.3.4", "VCA", "1.0", "off", "0"};
    QTest::newRow("no modules") << QByteArray("zapk_module_number='0'\r\nzapk_module_i0_name='VCA'")
                                << QStringList{};
    QTest::newRow("not a reply") << QByteArray("\x01\x02garbage") << QStringList{};
}

void TestZapkModules::parsesModuleReplies()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, records);
    QCOMPARE(Worker::ParseModules("1.2.3.4", body), records);
}

void TestZapkModules::discoveryGroupsModules()
{
    CMainDeviceChain chain;
    CZAPKPageCtrl page;
    QVERIFY(enter(chain, page, {0, 1, 2, 3, 4, 5}));
    QCOMPARE(page.numDevices(), 6);
    CZAPKLeftModel* left = page.ButtonModel();
    QStringList names;
    QList<int> counts;
    for (int row = 0; row < left->rowCount(); ++row) {
        names << left->NameAt(row);
        counts << left->index(row, 0).data(CZAPKLeftModel::devicecount).toInt();
    }
    // The offline device and the one without applications contribute nothing.
    QCOMPARE(names, (QStringList{"ANPR", "Rureru Revevaz", "Trend Micro IoT Security", "VCA"}));
    QCOMPARE(counts, (QList<int>{1, 1, 1, 2}));
    QCOMPARE(page.OperationModel()->rowCount(), 5);
    const int rureru = rowOf(page, m_fleet.ip(3), "Rureru Revevaz");
    QVERIFY(rureru >= 0);
    const QModelIndex index = page.OperationModel()->index(rureru, 0);
    QCOMPARE(index.data(CDeviceInfo::zapkStatusRole).toString(), QString("off"));
    QCOMPARE(index.data(CDeviceInfo::zapkVerRole).toString(), QString("1.0.8"));
    QCOMPARE(index.data(CDeviceInfo::zapkIdxRole).toString(), QString("0"));
    QCOMPARE(index.data(CDeviceInfo::zapkSignatureRole).toString(), QString("N/A"));
    QCOMPARE(index.data(CDeviceInfo::macRole).toString(),
             chain.listModel()->index(3, 0).data(CDeviceInfo::macRole).toString());
    QCOMPARE(page.OperationModel()
                 ->index(rowOf(page, m_fleet.ip(3), "VCA"), 0)
                 .data(CDeviceInfo::zapkIdxRole)
                 .toString(),
             QString("2"));
    // The table shows one module at a time.
    page.itemClicked(left->RowOf("VCA"));
    QCOMPARE(page.currModule(), QString("VCA"));
    QCOMPARE(page.PageModel()->rowCount(), 2);
    page.PageModel()->setFilterWords(m_fleet.ip(3));
    QCOMPARE(page.PageModel()->rowCount(), 1);
}

void TestZapkModules::startStopAndUninstallChangeTheDevices()
{
    CMainDeviceChain chain;
    CZAPKPageCtrl page;
    QVERIFY(enter(chain, page, {0, 3, 5}));
    showAndSelect(page, "VCA");
    QVERIFY(page.onoff());
    QSignalSpy completed(&page, &CPageCtrl::completed);

    page.turnOnOff(false);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QVERIFY(completed.wait(20000));
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QCOMPARE(page.errorCount(), 0);
    QVERIFY(!page.onoff());
    QCOMPARE(moduleStatus(m_fleet.ip(0), "VCA"), QString("off"));
    QCOMPARE(moduleStatus(m_fleet.ip(3), "VCA"), QString("off"));
    // The other module of that device was left alone.
    QCOMPARE(moduleStatus(m_fleet.ip(3), "Rureru Revevaz"), QString("off"));
    QCOMPARE(page.OperationModel()
                 ->index(rowOf(page, m_fleet.ip(0), "VCA"), 0)
                 .data(CDeviceInfo::zapkStatusRole)
                 .toString(),
             QString("off"));

    page.turnOnOff(true);
    QVERIFY(completed.wait(20000));
    QVERIFY(page.onoff());
    QCOMPARE(moduleStatus(m_fleet.ip(0), "VCA"), QString("on"));
    QCOMPARE(moduleStatus(m_fleet.ip(3), "VCA"), QString("on"));

    // One device refuses: it counts as failed and is not taken for "on".
    QVERIFY(m_fleet.sim().setFault(m_fleet.ip(3), "status", {{"status", 500}}));
    page.turnOnOff(true);
    QVERIFY(completed.wait(20000));
    QCOMPARE(page.errorCount(), 1);
    QVERIFY(page.onoff());
    QVERIFY(m_fleet.sim().setFault(m_fleet.ip(3), "none"));

    page.remove();
    QVERIFY(completed.wait(20000));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(moduleStatus(m_fleet.ip(0), "VCA"), QString("absent"));
    QCOMPARE(moduleStatus(m_fleet.ip(3), "VCA"), QString("absent"));
    QCOMPARE(moduleStatus(m_fleet.ip(3), "Rureru Revevaz"), QString("off"));
    QCOMPARE(page.OperationModel()->rowCount(), 1);
    QCOMPARE(page.ButtonModel()->RowOf("VCA"), -1);
    QCOMPARE(page.ButtonModel()->count(), 1);

    // Put the devices back the way the other cases expect them.
    m_fleet.sim().setState(
        m_fleet.ip(0),
        {{"modules", QJsonArray{QJsonObject{
                         {"index", 0}, {"name", "VCA"}, {"version", "2.1.0"}, {"status", "on"}}}}});
    m_fleet.sim().setState(
        m_fleet.ip(3),
        {{"modules",
          QJsonArray{QJsonObject{{"index", 0},
                                 {"name", "Rureru Revevaz"},
                                 {"version", "1.0.8"},
                                 {"status", "off"}},
                     QJsonObject{
                         {"index", 2}, {"name", "VCA"}, {"version", "2.1.0"}, {"status", "on"}}}}});
}

void TestZapkModules::trendMicroSignatureModeAndUpload()
{
    CMainDeviceChain chain;
    CZAPKPageCtrl page;
    QVERIFY(enter(chain, page, {0, 1}));
    showAndSelect(page, CZAPKDevicesCtrl::kTrendMicro);
    const int row = rowOf(page, m_fleet.ip(1), CZAPKDevicesCtrl::kTrendMicro);
    const QModelIndex index = page.OperationModel()->index(row, 0);

    page.getSignature(true);
    QTRY_COMPARE_WITH_TIMEOUT(index.data(CDeviceInfo::zapkSignatureRole).toString(),
                              QString("1.0.0"), 10000);

    QSignalSpy mode(&page, &CZAPKPageCtrl::setModeResult);
    page.setAutoUpdate(true);
    QVERIFY(mode.wait(10000));
    QCOMPARE(mode.last().at(0).toBool(), true);
    QCOMPARE(m_fleet.sim()
                 .device(m_fleet.ip(1))
                 .value("modules")
                 .toArray()
                 .at(0)
                 .toObject()
                 .value("updateMode"),
             QJsonValue("Auto"));
    // Anything but "ok" is a failure of the mode change.
    m_fleet.sim().setFault(m_fleet.ip(1), "garbage");
    page.setAutoUpdate(false);
    QVERIFY(mode.wait(10000));
    QCOMPARE(mode.last().at(0).toBool(), false);
    m_fleet.sim().setFault(m_fleet.ip(1), "none");

    const QString sig = m_files.filePath("sig_1.2.4.bin");
    {
        QFile file(sig);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("signature payload");
    }
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.uploadTrendMicroConfig(QUrl::fromLocalFile(sig).toString());
    QVERIFY(completed.wait(20000));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(codeAt(page, row), int(CCorvaneTableStatus::ZAPKPage_Success));
    // The signature query after the upload shows what the device now runs.
    QCOMPARE(index.data(CDeviceInfo::zapkSignatureRole).toString(), QString("1.2.4"));
}

void TestZapkModules::configurationUpload_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("sent");

    QTest::newRow("VCA accepts") << "VCA" << 0 << "" << QByteArray("{\"zones\":3}")
                                 << int(CCorvaneTableStatus::ZAPKPage_Success) << true;
    // Answered with 200 and the failure text.
    QTest::newRow("VCA refuses an empty file")
        << "VCA" << 0 << "" << QByteArray() << int(CCorvaneTableStatus::ZAPKPage_UnknownFail)
        << true;
    QTest::newRow("counting refuses an empty file")
        << "Rureru Revevaz" << 3 << "" << QByteArray()
        << int(CCorvaneTableStatus::ZAPKPage_UnknownFail) << true;
    QTest::newRow("ANPR at 3.2.6.5") << "ANPR" << 4 << "3.2.6.5" << QByteArray("cfg")
                                     << int(CCorvaneTableStatus::ZAPKPage_Success) << true;
    QTest::newRow("ANPR at 3.10") << "ANPR" << 4 << "3.10" << QByteArray("cfg")
                                  << int(CCorvaneTableStatus::ZAPKPage_Success) << true;
    QTest::newRow("ANPR at 3.2.6.4 is too old")
        << "ANPR" << 4 << "3.2.6.4" << QByteArray("cfg")
        << int(CCorvaneTableStatus::ZAPKPage_UnsupportedVersion) << false;
}

void TestZapkModules::configurationUpload()
{
    QFETCH(QString, module);
    QFETCH(int, device);
    QFETCH(QString, version);
    QFETCH(QByteArray, content);
    QFETCH(int, code);
    QFETCH(bool, sent);

    const QString ip = m_fleet.ip(device);
    if (!version.isEmpty())
        m_fleet.sim().setState(
            ip, {{"modules",
                  QJsonArray{QJsonObject{
                      {"index", 1}, {"name", "ANPR"}, {"version", version}, {"status", "on"}}}}});
    CMainDeviceChain chain;
    CZAPKPageCtrl page;
    QVERIFY(enter(chain, page, {device}));
    showAndSelect(page, module);
    const QString path = m_files.filePath(QString("config_%1.json").arg(QTest::currentDataTag()));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    m_fleet.sim().clearReceived(ip);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.uploadStereoConfig(QUrl::fromLocalFile(path).toString(), module);
    QVERIFY(completed.wait(20000));
    const int row = rowOf(page, ip, module);
    QCOMPARE(codeAt(page, row), code);
    QCOMPARE(page.errorCount(), code == int(CCorvaneTableStatus::ZAPKPage_Success) ? 0 : 1);
    bool posted = false;
    for (const QJsonValue& entry : m_fleet.sim().lastReceived(ip))
        posted = posted || entry.toObject().value("method").toString() == "POST";
    QCOMPARE(posted, sent);
    if (module == "ANPR" && sent) {
        const QJsonObject upload =
            m_fleet.received(ip, "POST", "/NEVRA/cgi-bin/nevrcgi.cgi").last().toObject();
        QCOMPARE(upload.value("query").toString(),
                 QString("computerid=1&oper=importgeneralconfig"));
        const QJsonArray parts = upload.value("parts").toArray();
        QCOMPARE(parts.at(0).toObject().value("name").toString(), QString("blob"));
        QCOMPARE(parts.at(1).toObject().value("name").toString(), QString("chunkMetadata"));
        QCOMPARE(parts.at(1).toObject().value("text").toString(),
                 QString("{\"FileName\":\"config_ANPR at %1.json\",\"Index\":0,\"TotalCount\":1,"
                         "\"FileType\":\"application/vnd.ms-excel\"}")
                     .arg(version));
    }
    if (code == int(CCorvaneTableStatus::ZAPKPage_Success) && module != "ANPR") {
        const QJsonArray modules = m_fleet.sim().device(ip).value("modules").toArray();
        QCOMPARE(modules.at(0).toObject().value("configSize").toInt(), content.size());
    }
    if (!version.isEmpty())
        m_fleet.sim().setState(
            ip, {{"modules",
                  QJsonArray{QJsonObject{
                      {"index", 1}, {"name", "ANPR"}, {"version", "3.2.6.5"}, {"status", "on"}}}}});
}

void TestZapkModules::exportWritesTheDevicesFiles_data()
{
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<QString>("savedAs");

    QTest::newRow("the device's own names") << ""
                                            << "";
    QTest::newRow("climbing out") << "../../escape.txt"
                                  << "escape.txt";
    QTest::newRow("absolute path") << "/tmp/ardmere-zapk-abs.txt"
                                   << "ardmere-zapk-abs.txt";
    QTest::newRow("backslashes") << "..\\..\\win.txt"
                                 << "win.txt";
    QTest::newRow("only dots") << ".."
                               << "-";
}

void TestZapkModules::exportWritesTheDevicesFiles()
{
    QFETCH(QString, deviceName);
    QFETCH(QString, savedAs);

    const QString ip = m_fleet.ip(0);
    if (!deviceName.isEmpty())
        QVERIFY(m_fleet.sim().setState(ip, {{"exportFileName", deviceName}}));
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString cwd = QDir::currentPath();
    CMainDeviceChain chain;
    CZAPKPageCtrl page;
    QVERIFY(enter(chain, page, {0}));
    showAndSelect(page, "VCA");
    page.exportClicked();
    page.setZAPKExportDir(QUrl::fromLocalFile(base.path()));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy result(&page, &CZAPKPageCtrl::exportResult);
    page.exportStereo("VCA", 0, ip);
    QVERIFY(completed.wait(20000));
    QCOMPARE(QDir::currentPath(), cwd);

    QStringList files;
    QDirIterator it(base.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(base.path()).relativeFilePath(it.next());
    const QString mac = chain.listModel()->index(0, 0).data(CDeviceInfo::macRole).toString();
    const QString model = chain.listModel()->index(0, 0).data(CDeviceInfo::modelRole).toString();
    const QString deviceFolder = "VCA_" + model + "_" + mac;
    if (savedAs == "-") {
        // Nothing usable is left of the name: nothing is written, and the device counts as failed.
        QVERIFY2(files.isEmpty(), qPrintable(files.join(',')));
        QCOMPARE(result.last().at(0).toString(), QString("unknown fail"));
        return;
    }
    QCOMPARE(result.last().at(0).toString(), QString("success"));
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Nothing));
    for (const QString& file : files) {
        QVERIFY2(file.startsWith("ZAPK-Config_"), qPrintable(file));
        QCOMPARE(file.section('/', 1, 1), deviceFolder);
        QCOMPARE(file.count('/'), 2);
    }
    if (savedAs.isEmpty()) {
        QCOMPARE(files.size(), 2);
        const QString config = files.filter("VCA_config_").value(0);
        QVERIFY2(!config.isEmpty(), qPrintable(files.join(',')));
        QFile saved(QDir(base.path()).filePath(config));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("{\"zones\":3}"));
        QVERIFY(page.stereoExportPath().startsWith("file:///"));
        QVERIFY(QDir(QUrl(page.stereoExportPath()).toLocalFile()).exists());
    } else {
        // Both downloads carry the same hostile name: one file, inside the device's folder.
        QCOMPARE(files.size(), 1);
        QCOMPARE(files.first().section('/', 2), savedAs);
        QVERIFY(!QFile::exists("/tmp/ardmere-zapk-abs.txt") || savedAs != "ardmere-zapk-abs.txt");
    }
}

void TestZapkModules::trendMicroLogExport()
{
    CMainDeviceChain chain;
    CZAPKPageCtrl page;
    QVERIFY(enter(chain, page, {1}));
    showAndSelect(page, CZAPKDevicesCtrl::kTrendMicro);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    // Without a chosen folder nothing is written anywhere, and the device fails.
    page.exportTrendMicroLog();
    QVERIFY(completed.wait(10000));
    QCOMPARE(page.errorCount(), 1);

    QTemporaryDir base;
    page.setZAPKExportDir(QUrl::fromLocalFile(base.path()));
    page.exportTrendMicroLog();
    QVERIFY(completed.wait(20000));
    QCOMPARE(page.errorCount(), 0);
    QVERIFY2(page.trendExportPath().startsWith(base.path() + "/Log-Report_"),
             qPrintable(page.trendExportPath()));
    const QString mac = chain.listModel()->index(0, 0).data(CDeviceInfo::macRole).toString();
    const QString model = chain.listModel()->index(0, 0).data(CDeviceInfo::modelRole).toString();
    const QDir folder(page.trendExportPath() + "/" + mac + "_" + model);
    const QStringList files = folder.entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QFile log(folder.filePath(files.first()));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().startsWith("Trend Micro IoT Security log"));
}

void TestZapkModules::discoveryOfAFleetUsesBoundedThreads()
{
    const int fleet = 300;
    CameraAppsFixture big;
    QVERIFY2(big.start(QStringLiteral("127.0.184.1"), fleet), qPrintable(big.sim().errorString()));
    QList<int> all;
    for (int i = 0; i < fleet; ++i)
        all << i;
    const int before = threadCount();
    std::atomic<bool> sampling{true};
    std::atomic<int> peak{before};
    std::thread sampler([&] {
        while (sampling) {
            const int now = threadCount();
            if (now > peak)
                peak = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    CMainDeviceChain chain;
    CZAPKPageCtrl page;
    const bool ended = enter(chain, page, all, &big);
    sampling = false;
    sampler.join();
    QVERIFY(ended);
    QCOMPARE(page.numDevices(), fleet);
    // The fixed mix: 4 of every 5 cameras carry applications, one of them two.
    QCOMPARE(page.OperationModel()->rowCount(), fleet / 5 * 5);
    int devices = 0;
    for (int row = 0; row < page.ButtonModel()->rowCount(); ++row)
        devices += page.ButtonModel()->index(row, 0).data(CZAPKLeftModel::devicecount).toInt();
    QCOMPARE(devices, fleet / 5 * 5);
    // Each pool thread and the network thread of its client, the sampler, and a few of Qt's.
    const int allowed = before + 2 * CZAPKPageCtrl::kMaxDiscoveryThreads + 1 + 4;
    QVERIFY2(peak <= allowed,
             qPrintable(QString("peak %1 threads, %2 before").arg(peak).arg(before)));
}

QTEST_GUILESS_MAIN(TestZapkModules)
#include "tst_zapkmodules.moc"
