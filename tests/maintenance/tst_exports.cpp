// The device-list and debug-report exports against the device simulator: the CSV as a standard
// CSV reader sees it, retries, empty and failed runs, the folders and files of a debug export,
// and downloads whose names try to leave their folder.

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CExportDebugCtrl.h"
#include "CExportDebugPageCtrl.h"
#include "CExportDevicesCtrl.h"
#include "CExportDevicesPageCtrl.h"
#include "CFreePort.h"
#include "CGetParamCtrl.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSelectableRoleModel.h"
#include "ExportNames.h"

#include <QDateTime>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFirstIp = QStringLiteral("127.0.123.1");
const int kDevices = 24;
// The last two devices are recorders.
const int kRecorder = kDevices - 2;
const int kReportBytes = 300 * 1000;

QString simIp(int i)
{
    return QStringLiteral("127.0.123.%1").arg(i + 1);
}

using Rows = QList<QStringList>;

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void deviceListColumns_data();
    void deviceListColumns();
    void recorderLeavesNetworkTypeOut();
    void retryRewritesWithBothRuns();
    void deviceListRunsThatSendNothing_data();
    void deviceListRunsThatSendNothing();

    void safeNames_data();
    void safeNames();
    void debugFoldersAndFiles();
    void debugResults_data();
    void debugResults();
    void recorderGetsOnlyTheBackup();
    void hostileNamesStayInside_data();
    void hostileNamesStayInside();
    void runsInOneMinuteShareTheFolder();
    void debugRunsThatSendNothing();
    void leavingEndsADebugRun();

private:
    void fillMainList(CMainDeviceChain& chain, const QList<int>& devices);
    // The file as Python's csv module reads it.
    static Rows readCsv(const QString& path);
    static QStringList pathsReceived(CDeviceSimulator& sim, const QString& ip);
    template <class Page> static int statusOf(Page& page, int row)
    {
        return page.StatusLayer()
            ->index(row, 0)
            .data(CDeviceInfo::statusRole)
            .toMap()
            .value(page.statusKey(), -2)
            .toInt();
    }
    // Files below root, relative to it.
    static QStringList filesBelow(const QString& root);

    CDeviceSimulator m_sim;
    QTemporaryDir m_dir;
};

void TestExports::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_sim.start(
                 {"--count", QString::number(kDevices), "--recorders", "2", "--first-ip", kFirstIp,
                  "--http-port", QString::number(CFreePort::tcp(QHostAddress(kFirstIp))),
                  "--https-port", QString::number(CFreePort::tcp(QHostAddress(kFirstIp))),
                  "--discovery-port", "0", "--report-bytes", QString::number(kReportBytes)}),
             qPrintable(m_sim.errorString()));
}

void TestExports::cleanup()
{
    for (int i = 0; i < kDevices; ++i) {
        m_sim.setFault(simIp(i), "none");
        m_sim.setState(
            simIp(i),
            {{"replyOverrides", QJsonObject()}, {"exportFileName", ""}, {"clearReceived", true}});
    }
}

void TestExports::fillMainList(CMainDeviceChain& chain, const QList<int>& devices)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (int i : devices) {
        const QJsonObject d = m_sim.device(simIp(i));
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = d.value("ip").toString();
        device->model = d.value("model").toString();
        device->mac = d.value("mac").toString();
        device->firmwareInfo = d.value("firmware").toString();
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = quint16(d.value("httpPort").toInt());
        device->httpsPort = quint16(d.value("httpsPort").toInt());
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.selectableModel()->setNVRSelectable(true);
    chain.modelCtrl()->selectAll();
}

Rows TestExports::readCsv(const QString& path)
{
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                             "    print(json.dumps(list(csv.reader(f, strict=True))))\n",
                             path});
    if (!python.waitForFinished(10000) || python.exitCode() != 0) {
        qWarning() << "python3:" << python.readAllStandardError();
        return {};
    }
    Rows rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue& field : row.toArray())
            fields << field.toString();
        rows << fields;
    }
    return rows;
}

QStringList TestExports::pathsReceived(CDeviceSimulator& sim, const QString& ip)
{
    QStringList paths;
    for (const QJsonValue& entry : sim.lastReceived(ip))
        paths << entry.toObject().value("path").toString();
    paths.removeDuplicates();
    paths.sort();
    return paths;
}

QStringList TestExports::filesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

void TestExports::deviceListColumns_data()
{
    QTest::addColumn<QJsonObject>("overrides");
    QTest::addColumn<QJsonObject>("params");
    QTest::addColumn<QString>("firmwareInfo");
    // Column name to expected value; columns not named are not checked.
    QTest::addColumn<QVariantMap>("expected");
    const int device = 0;
    const QString ip = simIp(device);
    QTest::newRow("plain camera") << QJsonObject() << QJsonObject() << QString()
                                  << QVariantMap{{"Brand", "QXOR"},
                                                 {"Host name", "QD8182-7B01"},
                                                 {"IP", ip},
                                                 {"Network type", "Fixed"},
                                                 {"Model name", "QD8182"},
                                                 {"MAC", "02-A5-7F-00-7B-01"},
                                                 {"Firmware version", "QD8182-QXOR-0104a"}};
    QTest::newRow("missing keys filled from the row")
        << QJsonObject{{"network_ipaddress", QJsonValue()},
                       {"network_http_port", QJsonValue()},
                       {"network_https_port", QJsonValue()},
                       {"system_info_extendedmodelname", QJsonValue()}}
        << QJsonObject() << QString() << QVariantMap{{"IP", ip}, {"Model name", "QD8182"}};
    QTest::newRow("model from the row when the device names none")
        << QJsonObject{{"system_info_extendedmodelname", QJsonValue()},
                       {"system_info_modelname", QJsonValue()}}
        << QJsonObject() << QString() << QVariantMap{{"Model name", "QD8182"}};
    QTest::newRow("server name as host name")
        << QJsonObject() << QJsonObject{{"system_servername", "lobby-01"}} << QString()
        << QVariantMap{{"Host name", "lobby-01"}};
    QTest::newRow("colon serial number")
        << QJsonObject{{"system_info_serialnumber", "00:02:D1:A1:B2:C3"}} << QJsonObject()
        << QString() << QVariantMap{{"MAC", "00-02-D1-A1-B2-C3"}};
    QTest::newRow("plain serial number")
        << QJsonObject{{"system_info_serialnumber", "0002D1A1B2C3"}} << QJsonObject() << QString()
        << QVariantMap{{"MAC", "00-02-D1-A1-B2-C3"}};
    QTest::newRow("DHCP") << QJsonObject{{"network_resetip", "1"}} << QJsonObject() << QString()
                          << QVariantMap{{"Network type", "DHCP"}};
    QTest::newRow("unknown network type unchanged")
        << QJsonObject{{"network_resetip", "2"}} << QJsonObject() << QString()
        << QVariantMap{{"Network type", "2"}};
    QTest::newRow("other brand") << QJsonObject() << QJsonObject() << "QD8182-ACME-0104a"
                                 << QVariantMap{{"Brand", ""}};
    QTest::newRow("identification without brand")
        << QJsonObject() << QJsonObject() << "QD8182" << QVariantMap{{"Brand", "QXOR"}};
    QTest::newRow("quotes and commas in a value")
        << QJsonObject{{"system_hostname", "cam \"lobby\", east"}} << QJsonObject() << QString()
        << QVariantMap{{"Host name", "cam \"lobby\", east"}};
}

void TestExports::deviceListColumns()
{
    QFETCH(QJsonObject, overrides);
    QFETCH(QJsonObject, params);
    QFETCH(QString, firmwareInfo);
    QFETCH(QVariantMap, expected);
    const int device = 0;
    QVERIFY(m_sim.setState(simIp(device), {{"replyOverrides", overrides}, {"params", params}}));
    CMainDeviceChain chain;
    fillMainList(chain, {device});
    if (!firmwareInfo.isEmpty())
        chain.listModel()->setData(chain.listModel()->index(0, 0), firmwareInfo,
                                   CDeviceInfo::firmwareInfoRole);
    CExportDevicesPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CPageCtrl::completed);
    const QString file = m_dir.filePath("columns.csv");
    page.start(QUrl::fromLocalFile(file));
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QVERIFY(completed.wait(10000));
    QCOMPARE(statusOf(page, 0), int(CCorvaneTableStatus::ExportDevicesPage_Success));
    QCOMPARE(page.progress(), 100);
    QCOMPARE(page.errorCount(), 0);

    const Rows rows = readCsv(file);
    QCOMPARE(rows.size(), 2);
    // Every field is followed by a comma, the last one too: the reader sees an empty last field.
    const QStringList header{"Brand",        "Host name",  "IP",  "HTTP port",        "HTTPS port",
                             "Network type", "Model name", "MAC", "Firmware version", ""};
    QCOMPARE(rows.at(0), header);
    QCOMPARE(rows.at(1).size(), header.size());
    const QJsonObject sim = m_sim.device(simIp(device));
    QCOMPARE(rows.at(1).at(3), QString::number(sim.value("httpPort").toInt()));
    QCOMPARE(rows.at(1).at(4), QString::number(sim.value("httpsPort").toInt()));
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
        QCOMPARE(rows.at(1).at(header.indexOf(it.key())), it.value().toString());
    if (params.contains("system_servername"))
        QVERIFY(m_sim.setState(simIp(device),
                               {{"params", QJsonObject{{"system_servername", QJsonValue()}}}}));
}

void TestExports::recorderLeavesNetworkTypeOut()
{
    CMainDeviceChain chain;
    fillMainList(chain, {1, kRecorder});
    CExportDevicesPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CPageCtrl::completed);
    const QString file = m_dir.filePath("recorder.csv");
    page.start(QUrl::fromLocalFile(file));
    QVERIFY(completed.wait(10000));
    const Rows rows = readCsv(file);
    QCOMPARE(rows.size(), 3);
    const QStringList header{"Brand",     "Host name",        "IP",
                             "HTTP port", "HTTPS port",       "Model name",
                             "MAC",       "Firmware version", ""};
    QCOMPARE(rows.at(0), header);
    for (int row = 1; row < 3; ++row)
        QCOMPARE(rows.at(row).size(), header.size());
    // The recorder's own server name is its host name.
    QStringList hostNames{rows.at(1).at(1), rows.at(2).at(1)};
    hostNames.sort();
    QCOMPARE(hostNames, (QStringList{"QB9365-7B02", "QXOR-NVR"}));
}

void TestExports::retryRewritesWithBothRuns()
{
    CMainDeviceChain chain;
    fillMainList(chain, {2, 3, 4});
    // Device 3 is given the wrong password, device 4 does not answer in time.
    chain.listModel()->setData(chain.listModel()->index(1, 0), "wrong", CDeviceInfo::passwordRole);
    QVERIFY(m_sim.setFault(simIp(4), "silent"));
    CExportDevicesPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.DevicesCtrl()->Runner()->SetTimeout(1500);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    const QString file = m_dir.filePath("retry.csv");
    page.start(QUrl::fromLocalFile(file));
    QVERIFY(completed.wait(10000));
    QCOMPARE(statusOf(page, 0), int(CCorvaneTableStatus::ExportDevicesPage_Success));
    QCOMPARE(statusOf(page, 1), int(CCorvaneTableStatus::ExportDevicesPage_AuthFail));
    QCOMPARE(statusOf(page, 2), int(CCorvaneTableStatus::ExportDevicesPage_Timeout));
    QCOMPARE(page.errorCount(), 2);
    QCOMPARE(page.progress(), 33);
    QCOMPARE(page.FailedModel()->rowCount(), 2);
    QCOMPARE(page.lastFilename(), QString("retry.csv"));
    QCOMPARE(page.lastDirPath(), QUrl::fromLocalFile(m_dir.path()));
    Rows rows = readCsv(file);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(1).at(2), simIp(2));

    page.PageList()->setData(page.PageList()->index(1, 0), "ardmere1", CDeviceInfo::passwordRole);
    QVERIFY(m_sim.setFault(simIp(4), "none"));
    QVERIFY(m_sim.clearReceived(simIp(2)));
    page.startOnFailed();
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QVERIFY(completed.wait(10000));
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    // The device that answered the first time was not asked again.
    QVERIFY(m_sim.lastReceived(simIp(2)).isEmpty());
    rows = readCsv(file);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.at(1).at(2), simIp(2));
    QStringList later{rows.at(2).at(2), rows.at(3).at(2)};
    later.sort();
    QCOMPARE(later, (QStringList{simIp(3), simIp(4)}));
}

void TestExports::deviceListRunsThatSendNothing_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("empty page") << "empty";
    QTest::newRow("url without a file name") << "noname";
    QTest::newRow("file that cannot be written") << "unwritable";
    QTest::newRow("retry after every device answered") << "retry";
}

void TestExports::deviceListRunsThatSendNothing()
{
    QFETCH(QString, what);
    CMainDeviceChain chain;
    fillMainList(chain, what == "empty" ? QList<int>{} : QList<int>{5});
    CExportDevicesPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy failed(&page, &CPageCtrl::startFailed);
    QSignalSpy writeFailed(&page, &CExportDevicesPageCtrl::writeFileFailed);
    if (what == "empty" || what == "noname") {
        page.start(what == "empty" ? QUrl::fromLocalFile(m_dir.filePath("empty.csv"))
                                   : QUrl::fromLocalFile(m_dir.path() + "/"));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toInt(), 0);
        QVERIFY(!completed.wait(300));
        QVERIFY(!page.DevicesCtrl()->IsWorking());
        QVERIFY(m_sim.lastReceived(simIp(5)).isEmpty());
        return;
    }
    if (what == "unwritable") {
        page.start(QUrl::fromLocalFile(m_dir.filePath("no/such/folder/list.csv")));
        QVERIFY(completed.wait(10000));
        QCOMPARE(writeFailed.count(), 1);
        QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
        QVERIFY(!page.DevicesCtrl()->IsWorking());
        return;
    }
    const QString file = m_dir.filePath("again.csv");
    page.start(QUrl::fromLocalFile(file));
    QVERIFY(completed.wait(10000));
    QFile::remove(file);
    QVERIFY(m_sim.clearReceived(simIp(5)));
    page.startOnFailed();
    QVERIFY(completed.wait(5000));
    QCOMPARE(completed.count(), 2);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QCOMPARE(page.errorCount(), 0);
    QVERIFY(m_sim.lastReceived(simIp(5)).isEmpty());
    // The file still lists the device that answered before.
    QCOMPARE(readCsv(file).size(), 2);
}

void TestExports::safeNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << "report.txt"
                           << "report.txt"
                           << "report.txt";
    QTest::newRow("parent folders") << "../../escape.txt"
                                    << "escape.txt"
                                    << ".._.._escape.txt";
    QTest::newRow("absolute") << "/etc/passwd"
                              << "passwd"
                              << "_etc_passwd";
    QTest::newRow("backslashes") << "..\\..\\win.txt"
                                 << "win.txt"
                                 << ".._.._win.txt";
    QTest::newRow("control characters") << QString("a\x01"
                                                   "b\x7f\n.txt")
                                        << "ab.txt"
                                        << "a_b__.txt";
    QTest::newRow("quoted") << "\"quoted name.txt\""
                            << "quoted name.txt"
                            << "\"quoted name.txt\"";
    QTest::newRow("dot dot") << ".."
                             << ""
                             << "_";
    QTest::newRow("dot") << "."
                         << ""
                         << "_";
    QTest::newRow("separator only") << "/"
                                    << ""
                                    << "_";
    QTest::newRow("ends in a separator") << "logs/"
                                         << ""
                                         << "logs_";
    QTest::newRow("empty") << ""
                           << ""
                           << "_";
}

void TestExports::safeNames()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QString, folder);
    QCOMPARE(safeFileName(name), file);
    QCOMPARE(safeFolderName(name), folder);
}

void TestExports::debugFoldersAndFiles()
{
    // Device 6 runs VCA; device 7 runs nothing, so it answers 404 to both application exports.
    QVERIFY(m_sim.setState(simIp(6), {{"modules", QJsonArray{QJsonObject{{"name", "VCA"}}}}}));
    QVERIFY(m_sim.setState(simIp(7), {{"modules", QJsonArray()}}));
    CMainDeviceChain chain;
    fillMainList(chain, {6, 7, 8});
    // A row without MAC and model still gets a folder of its own.
    chain.listModel()->setData(chain.listModel()->index(2, 0), "", CDeviceInfo::macRole);
    chain.listModel()->setData(chain.listModel()->index(2, 0), "", CDeviceInfo::modelRole);
    QTemporaryDir root;
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QVERIFY(page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path())));
    // Groups of two devices: the third goes in a second group.
    page.DevicesCtrl()->SetDevicesInFlight(2);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy writeFailed(&page, &CExportDebugPageCtrl::writeFileFailed);
    const QString cwd = QDir::currentPath();
    page.start();
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QVERIFY(!page.setExportRootDirToUrl(QUrl::fromLocalFile(m_dir.path())));
    QVERIFY(completed.wait(15000));
    QCOMPARE(QDir::currentPath(), cwd);
    QCOMPARE(writeFailed.count(), 0);
    QCOMPARE(page.errorCount(), 0);
    QCOMPARE(page.progress(), 100);
    QCOMPARE(statusOf(page, 0), int(CCorvaneTableStatus::ExportDebugPage_Success));
    QVERIFY(QList<int>({CCorvaneTableStatus::ExportDebugPage_Success,
                        CCorvaneTableStatus::ExportDebugPage_Unsupported})
                .contains(statusOf(page, 1)));

    const QString runName = page.getLastExportDir();
    QVERIFY2(QRegularExpression("^Debug_report_\\d{8}_\\d{4}$").match(runName).hasMatch(),
             qPrintable(runName));
    QCOMPARE(page.getLastExportDirUrl(), QUrl::fromLocalFile(QDir(root.path()).filePath(runName)));
    const QString mac6 = m_sim.device(simIp(6)).value("mac").toString();
    const QString mac7 = m_sim.device(simIp(7)).value("mac").toString();
    const QString serial6 = QString(mac6).remove('-');
    const QString serial7 = QString(mac7).remove('-');
    const QString serial8 = m_sim.device(simIp(8)).value("mac").toString().remove('-');
    const QString model6 = m_sim.device(simIp(6)).value("model").toString();
    const QString model7 = m_sim.device(simIp(7)).value("model").toString();
    const QString model8 = m_sim.device(simIp(8)).value("model").toString();
    const QString dir6 = runName + "/" + mac6 + "_" + model6;
    const QString dir7 = runName + "/" + mac7 + "_" + model7;
    const QString dir8 = runName + "/unknownMAC_unknownModel";
    QStringList expected{dir6 + "/backup_" + model6 + "_" + serial6 + ".tar",
                         dir6 + "/serverreport_" + model6 + "_" + serial6 + ".txt",
                         dir7 + "/backup_" + model7 + "_" + serial7 + ".tar",
                         dir7 + "/serverreport_" + model7 + "_" + serial7 + ".txt",
                         dir8 + "/backup_" + model8 + "_" + serial8 + ".tar",
                         dir8 + "/serverreport_" + model8 + "_" + serial8 + ".txt"};
    const QStringList files = filesBelow(root.path());
    for (const QString& file : expected)
        QVERIFY2(files.contains(file), qPrintable(file + " not in " + files.join(' ')));
    // Device 6 also gave its two application files; device 7 had none to give.
    QCOMPARE(files.filter(dir6 + "/").size(), 4);
    QCOMPARE(files.filter(dir7 + "/").size(), 2);
    QCOMPARE(
        QFileInfo(root.path() + "/" + dir6 + "/serverreport_" + model6 + "_" + serial6 + ".txt")
            .size(),
        qint64(kReportBytes));
}

void TestExports::debugResults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QJsonObject>("params");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("status");
    QTest::newRow("wrong password") << "none" << QJsonObject() << "wrong"
                                    << "" << int(CCorvaneTableStatus::ExportDebugPage_AuthFail);
    QTest::newRow("server error on the report")
        << "status" << QJsonObject{{"status", 500}, {"path", "/cgi-bin/admin/export_report.cgi"}}
        << "ardmere1"
        << "" << int(CCorvaneTableStatus::ExportDebugPage_UnknownFail);
    QTest::newRow("silent") << "silent" << QJsonObject() << "ardmere1"
                            << "" << int(CCorvaneTableStatus::ExportDebugPage_Timeout);
    QTest::newRow("name that names no file")
        << "none" << QJsonObject() << "ardmere1"
        << ".." << int(CCorvaneTableStatus::ExportDebugPage_WriteFailed);
}

void TestExports::debugResults()
{
    QFETCH(QString, fault);
    QFETCH(QJsonObject, params);
    QFETCH(QString, password);
    QFETCH(QString, fileName);
    QFETCH(int, status);
    const int device = 9;
    QVERIFY(m_sim.setFault(simIp(device), fault, params));
    QVERIFY(m_sim.setState(simIp(device), {{"exportFileName", fileName}}));
    CMainDeviceChain chain;
    fillMainList(chain, {device, 10});
    chain.listModel()->setData(chain.listModel()->index(0, 0), password, CDeviceInfo::passwordRole);
    QTemporaryDir root;
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path()));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy writeFailed(&page, &CExportDebugPageCtrl::writeFileFailed);
    page.start();
    // The runner's own time-out (30 s) ends the silent device.
    QVERIFY(completed.wait(45000));
    QCOMPARE(statusOf(page, 0), status);
    QVERIFY(QList<int>({CCorvaneTableStatus::ExportDebugPage_Success,
                        CCorvaneTableStatus::ExportDebugPage_Unsupported})
                .contains(statusOf(page, 1)));
    QCOMPARE(page.errorCount(), 1);
    QCOMPARE(page.progress(), 50);
    QCOMPARE(page.FailedModel()->rowCount(), 1);
    QCOMPARE(writeFailed.count(),
             status == CCorvaneTableStatus::ExportDebugPage_WriteFailed ? 1 : 0);
}

void TestExports::recorderGetsOnlyTheBackup()
{
    CMainDeviceChain chain;
    fillMainList(chain, {11, kRecorder + 1});
    QTemporaryDir root;
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path()));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start();
    QVERIFY(completed.wait(15000));
    QCOMPARE(page.errorCount(), 0);
    for (int device : {11, kRecorder + 1})
        QCOMPARE(pathsReceived(m_sim, simIp(device)),
                 QStringList{"/cgi-bin/admin/export_backup.cgi"});
    QCOMPARE(filesBelow(root.path()).size(), 2);
}

void TestExports::hostileNamesStayInside_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("expected"); // below the run folder; empty: nothing written
    QTest::newRow("parent folders") << "../../../escape.txt"
                                    << "M"
                                    << "X"
                                    << "M_X/escape.txt";
    QTest::newRow("absolute path") << "/tmp/ardmere-export-escape.txt"
                                   << "M"
                                   << "X"
                                   << "M_X/ardmere-export-escape.txt";
    QTest::newRow("windows path") << "..\\..\\win.txt"
                                  << "M"
                                  << "X"
                                  << "M_X/win.txt";
    QTest::newRow("control characters") << QString("re\x01port\x1b.txt") << "M"
                                        << "X"
                                        << "M_X/report.txt";
    QTest::newRow("empty remainder") << "/"
                                     << "M"
                                     << "X"
                                     << "";
    QTest::newRow("folder from hostile MAC and model") << "ok.txt"
                                                       << "../.."
                                                       << "../../../tmp"
                                                       << ".._.._.._.._.._tmp/ok.txt";
}

void TestExports::hostileNamesStayInside()
{
    QFETCH(QString, fileName);
    QFETCH(QString, mac);
    QFETCH(QString, model);
    QFETCH(QString, expected);
    const int device = 12;
    QVERIFY(m_sim.setState(simIp(device), {{"exportFileName", fileName}}));
    CMainDeviceChain chain;
    fillMainList(chain, {device});
    chain.listModel()->setData(chain.listModel()->index(0, 0), mac, CDeviceInfo::macRole);
    chain.listModel()->setData(chain.listModel()->index(0, 0), model, CDeviceInfo::modelRole);
    QTemporaryDir outer;
    const QString rootPath = outer.filePath("a/b/c/root");
    QVERIFY(QDir().mkpath(rootPath));
    QFile::remove("/tmp/ardmere-export-escape.txt");
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(rootPath));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start();
    QVERIFY(completed.wait(15000));
    const QString run = page.getLastExportDir();
    // Nothing anywhere outside the run folder, not even further up.
    QStringList files = filesBelow(outer.path());
    const QString prefix = "a/b/c/root/" + run + "/";
    for (const QString& file : files)
        QVERIFY2(file.startsWith(prefix), qPrintable(file));
    QVERIFY(!QFile::exists("/tmp/ardmere-export-escape.txt"));
    if (expected.isEmpty()) {
        QVERIFY(files.isEmpty());
        QCOMPARE(statusOf(page, 0), int(CCorvaneTableStatus::ExportDebugPage_WriteFailed));
    } else {
        // Every download bore the same name here.
        QCOMPARE(files, QStringList{prefix + expected});
        // The device has no camera applications: its last reply may be a 404.
        QVERIFY(QList<int>({CCorvaneTableStatus::ExportDebugPage_Success,
                            CCorvaneTableStatus::ExportDebugPage_Unsupported})
                    .contains(statusOf(page, 0)));
    }
}

void TestExports::runsInOneMinuteShareTheFolder()
{
    CMainDeviceChain chain;
    fillMainList(chain, {13});
    QTemporaryDir root;
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path()));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    // Two attempts at most: the minute can turn during one pair of runs, not during two.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QString before = QDateTime::currentDateTime().toString("yyyyMMdd_hhmm");
        page.start();
        QVERIFY(completed.wait(15000));
        const QString first = page.getLastExportDir();
        page.start();
        QVERIFY(completed.wait(15000));
        const QString second = page.getLastExportDir();
        if (QDateTime::currentDateTime().toString("yyyyMMdd_hhmm") != before)
            continue;
        QCOMPARE(second, first);
        QCOMPARE(QDir(root.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{first});
        return;
    }
    QFAIL("the minute turned during both attempts");
}

void TestExports::debugRunsThatSendNothing()
{
    CMainDeviceChain chain;
    fillMainList(chain, QList<int>{});
    QTemporaryDir root;
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path()));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy failed(&page, &CPageCtrl::startFailed);
    page.start();
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), 0);

    // A retry when every device has succeeded ends at once without a request.
    fillMainList(chain, {14});
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path()));
    page.start();
    QVERIFY(completed.wait(15000));
    QVERIFY(m_sim.clearReceived(simIp(14)));
    page.startOnFailed();
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QVERIFY(completed.wait(5000));
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QCOMPARE(page.errorCount(), 0);
    QVERIFY(m_sim.lastReceived(simIp(14)).isEmpty());
}

void TestExports::leavingEndsADebugRun()
{
    for (int device : {15, 16, 17})
        QVERIFY(m_sim.setFault(simIp(device), "slow", {{"delayMs", 20000}}));
    CMainDeviceChain chain;
    fillMainList(chain, {15, 16, 17});
    QTemporaryDir root;
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path()));
    page.DevicesCtrl()->SetDevicesInFlight(1);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start();
    QTRY_VERIFY_WITH_TIMEOUT(!m_sim.lastReceived(simIp(15)).isEmpty(), 5000);
    page.leavePage();
    QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, 3000);
    QVERIFY(!page.DevicesCtrl()->IsWorking());
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Nothing));
    for (int row = 0; row < 3; ++row)
        QCOMPARE(statusOf(page, row), int(CCorvaneTableStatus::ExportDebugPage_Timeout));
    // The later groups were never sent.
    QVERIFY(m_sim.lastReceived(simIp(16)).isEmpty());
    QVERIFY(m_sim.lastReceived(simIp(17)).isEmpty());
    QVERIFY(page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path())));
}

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
