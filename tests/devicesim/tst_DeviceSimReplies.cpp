// Reply forms of the simulated devices' scripts, checked with curl as an independent client.
#include "CCgiHandler.h"
#include "CCurl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QRegularExpression>
#include <QtTest>

namespace {
const QString kPort = QStringLiteral("18080");
// Devices 0-4 are cameras with the default applications (0 VCA, 1 Trend Micro, 2 none,
// 3 Rureru Revevaz and VCA, 4 ANPR); device 5 is a recorder.
const QString kVca = QStringLiteral("127.0.11.1");
const QString kTrend = QStringLiteral("127.0.11.2");
const QString kBare = QStringLiteral("127.0.11.3");
const QString kStereo = QStringLiteral("127.0.11.4");
const QString kAnpr = QStringLiteral("127.0.11.5");
const QString kRecorder = QStringLiteral("127.0.11.6");

QString url(const QString& ip, const QString& pathAndQuery)
{
    return QStringLiteral("http://%1:%2%3").arg(ip, kPort, pathAndQuery);
}

CCurl::SResult authed(const QStringList& args)
{
    return CCurl::run(QStringList{"--digest", "-u", "root:ardmere1"} + args);
}

QTemporaryFile* tempFile(QObject* parent, const QByteArray& content)
{
    auto* file = new QTemporaryFile(parent);
    file->open();
    file->write(content);
    file->flush();
    return file;
}
} // namespace

class tst_DeviceSimReplies : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void getParam_data();
    void getParam();
    void setParamStoresAndEchoes();
    void sdCardReportReadsAsItems();
    void downloadsNameTheirFile_data();
    void downloadsNameTheirFile();
    void missingScriptsAnswer404_data();
    void missingScriptsAnswer404();
    void modulesStartStopAndRemove();
    void packageUploadInstallsModule();
    void licenceBelongsToOneDevice_data();
    void licenceBelongsToOneDevice();
    void configUploadReportsFailureText_data();
    void configUploadReportsFailureText();
    void firmwareVersionFromFileName_data();
    void firmwareVersionFromFileName();
    void reportSizeAndReplyOverrides();

private:
    CDeviceSimulator m_sim;
};

void tst_DeviceSimReplies::initTestCase()
{
    QVERIFY2(m_sim.start({"--count", "6", "--recorders", "1", "--first-ip", kVca, "--http-port",
                          kPort, "--https-port", "18443", "--discovery-port",
                          QString::number(CFreePort::udp())}),
             qPrintable(m_sim.errorString()));
}

void tst_DeviceSimReplies::getParam_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("full names in order asked")
        << kBare << "system_info_serialnumber&system_info_modelname"
        << QByteArray("system_info_serialnumber='02A57F000B03'\r\n"
                      "system_info_modelname='QF8360'\r\n");
    QTest::newRow("unknown name absent") << kBare << "no_such_param&system_info_modelname&nosuch"
                                         << QByteArray("system_info_modelname='QF8360'\r\n");
    QTest::newRow("only unknown names") << kBare << "bogus&bogus_two" << QByteArray();
    QTest::newRow("group name answers the group")
        << kBare << "layout"
        << QByteArray("layout_defaultpassword_length='8~64'\r\n"
                      "layout_defaultpassword_specialcharacter='!\\%\\-\\.@\\^_~'\r\n"
                      "layout_defaultpassword_type='5'\r\n");
    QTest::newRow("prefix at a _ boundary") << kVca << "zapk_module"
                                            << QByteArray("zapk_module_i0_extendedname=''\r\n"
                                                          "zapk_module_i0_license='none'\r\n"
                                                          "zapk_module_i0_name='VCA'\r\n"
                                                          "zapk_module_i0_status='on'\r\n"
                                                          "zapk_module_i0_version='2.1.0'\r\n"
                                                          "zapk_module_number='1'\r\n"
                                                          "zapk_module_save2sd='1'\r\n");
    QTest::newRow("prefix inside a word is no group") << kBare << "layout_default" << QByteArray();
    QTest::newRow("recorder identity")
        << kRecorder << "system_info_firmwareversion&system_servername"
        << QByteArray("system_info_firmwareversion='NR9782-QXOR-0104a'\r\n"
                      "system_servername='QXOR-NVR'\r\n");
    QTest::newRow("percent-encoded name")
        << kBare << "system%5Finfo%5Fmodelname" << QByteArray("system_info_modelname='QF8360'\r\n");
}

void tst_DeviceSimReplies::getParam()
{
    QFETCH(QString, ip);
    QFETCH(QString, query);
    QFETCH(QByteArray, expected);
    const CCurl::SResult r = authed({url(ip, "/cgi-bin/admin/getparam.cgi?" + query)});
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body, expected);
}

void tst_DeviceSimReplies::setParamStoresAndEchoes()
{
    const CCurl::SResult set =
        authed({"--data", "system_hostname=Gate+cam%26co&videoin_c0_color=0&new_thing=1",
                url(kBare, "/cgi-bin/admin/setparam.cgi")});
    QCOMPARE(set.status, 200);
    QCOMPARE(set.body, QByteArray("system_hostname='Gate cam&co'\r\nvideoin_c0_color='0'\r\n"
                                  "new_thing='1'\r\n"));
    const CCurl::SResult get = authed(
        {url(kBare, "/cgi-bin/admin/getparam.cgi?system_hostname&videoin_c0_color&new_thing")});
    QCOMPARE(get.body, QByteArray("system_hostname='Gate cam&co'\r\nvideoin_c0_color='0'\r\n"
                                  "new_thing='1'\r\n"));
}

void tst_DeviceSimReplies::sdCardReportReadsAsItems()
{
    QVERIFY(m_sim.setState(
        kBare,
        {{"sdCards",
          QJsonArray{QJsonObject{{"cond", "detached"}},
                     QJsonObject{{"cond", "ready"}, {"totalSize", 2048}, {"usedSpace", 512}}}}}));
    const CCurl::SResult r = authed({url(kBare, "/cgi-bin/admin/lsctrl.cgi?cmd=queryStatus")});
    QCOMPARE(r.status, 200);
    // The program reads items with this expression; "." must not have to cross a line break.
    QRegularExpression item("<i\\d>(.+?)<\\/i\\d>");
    QStringList conds, sizes;
    auto it = item.globalMatch(QString::fromLatin1(r.body));
    while (it.hasNext()) {
        const QString text = it.next().captured(0);
        conds << QRegularExpression("<cond>(.+?)<\\/cond>").match(text).captured(1);
        sizes << QRegularExpression("<totalsize>(\\d+)<\\/totalsize>").match(text).captured(1) +
                     "/" +
                     QRegularExpression("<usedspace>(\\d+)<\\/usedspace>").match(text).captured(1);
    }
    QCOMPARE(conds, (QStringList{"detached", "ready"}));
    QCOMPARE(sizes.last(), QStringLiteral("2048/512"));
    QCOMPARE(authed({url(kBare, "/cgi-bin/admin/lsctrl.cgi?cmd=format")}).status, 400);
}

void tst_DeviceSimReplies::downloadsNameTheirFile_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("pathAndQuery");
    QTest::addColumn<QString>("namePattern");

    QTest::newRow("camera backup") << kBare << "/cgi-bin/admin/export_backup.cgi?backup"
                                   << "^backup_QF8360_02A57F000B03\\.tar$";
    QTest::newRow("recorder backup") << kRecorder << "/cgi-bin/admin/export_backup.cgi?backup"
                                     << "^backup_NR9782_\\w+\\.tar$";
    QTest::newRow("camera report") << kBare << "/cgi-bin/admin/export_report.cgi?serverreport"
                                   << "^serverreport_QF8360_\\w+\\.txt$";
    QTest::newRow("VCA config") << kVca << "/VCA/cgi-bin/export_file.cgi?backup"
                                << "^VCA_config_\\w+\\.json$";
    QTest::newRow("VCA log") << kVca << "/VCA/cgi-bin/export_log.cgi?backup"
                             << "^VCA_log_\\w+\\.txt$";
    QTest::newRow("stereo config") << kStereo << "/Stereo-Counting/cgi-bin/export_file.cgi?backup"
                                   << "^StereoCounting_config_\\w+\\.json$";
    QTest::newRow("trend log") << kTrend << "/Trend-Micro-IoT-Security/cgi-bin/ExportLog.cgi?Log"
                               << "^TMIS_log_\\w+\\.txt$";
    QTest::newRow("ANPR config")
        << kAnpr << "/NEVRA/cgi-bin/nevrcgi.cgi?computerid=1&oper=exportgeneralconfig"
        << "^ANPR_generalconfig_\\w+\\.xls$";
}

void tst_DeviceSimReplies::downloadsNameTheirFile()
{
    QFETCH(QString, ip);
    QFETCH(QString, pathAndQuery);
    QFETCH(QString, namePattern);
    const CCurl::SResult r = authed({url(ip, pathAndQuery)});
    QCOMPARE(r.status, 200);
    QVERIFY(!r.body.isEmpty());
    const QByteArray disposition = r.header("Content-Disposition");
    // The program drops exactly 21 characters before the name.
    QCOMPARE(disposition.left(21), QByteArray("attachment; filename="));
    const QString name = QString::fromLatin1(disposition.mid(21));
    QVERIFY2(QRegularExpression(namePattern).match(name).hasMatch(), qPrintable(name));
}

void tst_DeviceSimReplies::missingScriptsAnswer404_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("post");

    QTest::newRow("unknown script") << kBare << "/cgi-bin/admin/nosuch.cgi" << false;
    QTest::newRow("recorder report") << kRecorder << "/cgi-bin/admin/export_report.cgi" << false;
    QTest::newRow("recorder camera upgrade") << kRecorder << "/cgi-bin/admin/upgrade.cgi" << true;
    QTest::newRow("camera recorder upgrade") << kBare << "/cgi-bin/admin/system.upgrade" << true;
    QTest::newRow("recorder zapkctrl") << kRecorder << "/cgi-bin/admin/zapkctrl.cgi" << true;
    QTest::newRow("VCA script without VCA") << kBare << "/VCA/cgi-bin/export_file.cgi" << false;
    QTest::newRow("Trend script on a VCA camera")
        << kVca << "/Trend-Micro-IoT-Security/cgi-bin/GetVersion.cgi" << false;
    QTest::newRow("unknown app script") << kVca << "/VCA/cgi-bin/nosuch.cgi" << false;
}

void tst_DeviceSimReplies::missingScriptsAnswer404()
{
    QFETCH(QString, ip);
    QFETCH(QString, path);
    QFETCH(bool, post);
    QStringList args;
    if (post)
        args << "--data"
             << "x=1";
    const CCurl::SResult r = authed(args << url(ip, path));
    QCOMPARE(r.status, 404);
}

void tst_DeviceSimReplies::modulesStartStopAndRemove()
{
    auto status = [](const QString& ip) {
        return authed({url(ip, "/cgi-bin/admin/getparam.cgi?zapk_module_i2_status")}).body;
    };
    auto control = [](const QString& ip, const QString& body) {
        return authed({"--data", body, url(ip, "/cgi-bin/admin/zapkctrl.cgi")});
    };
    QCOMPARE(control(kStereo, "cmd=stop&idx=2").status, 200);
    QCOMPARE(status(kStereo), QByteArray("zapk_module_i2_status='off'\r\n"));
    QCOMPARE(control(kStereo, "cmd=start&idx=2").status, 200);
    QCOMPARE(status(kStereo), QByteArray("zapk_module_i2_status='on'\r\n"));
    QCOMPARE(control(kStereo, "cmd=start&idx=5").status, 400);
    QCOMPARE(control(kStereo, "cmd=launch&idx=2").status, 400);
    QCOMPARE(control(kStereo, "cmd=remove&idx=2").status, 200);
    QCOMPARE(status(kStereo), QByteArray());
    QCOMPARE(authed({url(kStereo, "/cgi-bin/admin/getparam.cgi?zapk_module_number")}).body,
             QByteArray("zapk_module_number='1'\r\n"));
    // Its scripts went with it; the other module's stay.
    QCOMPARE(authed({url(kStereo, "/VCA/cgi-bin/export_log.cgi?backup")}).status, 404);
    QCOMPARE(authed({url(kStereo, "/Stereo-Counting/cgi-bin/export_log.cgi?backup")}).status, 200);
}

void tst_DeviceSimReplies::packageUploadInstallsModule()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Trend-Micro-IoT-Security_1.4.2.zapk");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("package");
    file.close();
    const CCurl::SResult r =
        authed({"-F", "uploadZapk=@" + path, url(kBare, "/cgi-bin/admin/upload_zapk.cgi")});
    QCOMPARE(r.status, 200);
    QCOMPARE(authed({url(kBare, "/cgi-bin/admin/getparam.cgi?zapk_module_i0_name&"
                                "zapk_module_i0_version&zapk_module_number")})
                 .body,
             QByteArray("zapk_module_i0_name='Trend Micro IoT Security'\r\n"
                        "zapk_module_i0_version='1.4.2'\r\nzapk_module_number='1'\r\n"));
    QCOMPARE(authed({url(kBare, "/Trend-Micro-IoT-Security/cgi-bin/StartTMIS.cgi?Auto")}).body,
             QByteArray("ok"));
}

void tst_DeviceSimReplies::licenceBelongsToOneDevice_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("accepted");

    // kVca's MAC is 02-A5-7F-00-0B-01.
    QTest::newRow("MAC element") << "licence.xml"
                                 << QByteArray("<License><MAC>02a57f000b01</MAC></License>")
                                 << true;
    QTest::newRow("MAC in the file name") << "VCA_02A57F000B01.lic" << QByteArray("key") << true;
    QTest::newRow("another device's MAC")
        << "licence.xml" << QByteArray("<License><MAC>02A57F000B02</MAC></License>") << false;
    QTest::newRow("thirteen digits in the name")
        << "VCA_02A57F000B01F.lic" << QByteArray("key") << false;
    QTest::newRow("no MAC at all") << "licence.xml" << QByteArray("<License/>") << false;
}

void tst_DeviceSimReplies::licenceBelongsToOneDevice()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(bool, accepted);
    QVERIFY(m_sim.setState(kVca, {{"modules", QJsonArray{QJsonObject{{"name", "VCA"}}}}}));
    QTemporaryFile* file = tempFile(this, content);
    const CCurl::SResult r =
        authed({"-F", "uploadZapkLicense=@" + file->fileName() + ";filename=" + fileName,
                url(kVca, "/cgi-bin/admin/upload_zapklicense.cgi")});
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body.startsWith("OK"), accepted);
    QCOMPARE(authed({url(kVca, "/cgi-bin/admin/getparam.cgi?zapk_module_i0_license")}).body,
             accepted ? QByteArray("zapk_module_i0_license='valid'\r\n")
                      : QByteArray("zapk_module_i0_license='none'\r\n"));
}

void tst_DeviceSimReplies::configUploadReportsFailureText_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("VCA usable") << kVca << "/VCA/cgi-bin/upload_file.cgi" << QByteArray("{}")
                                << true;
    QTest::newRow("VCA empty") << kVca << "/VCA/cgi-bin/upload_file.cgi" << QByteArray() << false;
    QTest::newRow("stereo empty") << kStereo << "/Stereo-Counting/cgi-bin/upload_file.cgi"
                                  << QByteArray() << false;
}

void tst_DeviceSimReplies::configUploadReportsFailureText()
{
    QFETCH(QString, ip);
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    QFETCH(bool, accepted);
    QTemporaryFile* file = tempFile(this, content);
    const CCurl::SResult r =
        authed({"-F", "uploadConfig=@" + file->fileName() + ";filename=conf.json", url(ip, path)});
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body.contains("Upgrade configuration file failed"), !accepted);
}

void tst_DeviceSimReplies::firmwareVersionFromFileName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("version");

    QTest::newRow("identification form") << "QD8182-QXOR-0205a.pkg"
                                         << "0205a";
    QTest::newRow("model and version") << "qd8182-0300.bin"
                                       << "0300";
    QTest::newRow("bare name") << "firmware0400.flash"
                               << "firmware0400";
    QTest::newRow("windows path") << "C:\\fw\\QD8182-QXOR-0206.pkg"
                                  << "0206";
    QTest::newRow("other model") << "QB9365-QXOR-0205a.pkg"
                                 << "";
    QTest::newRow("dash at the end") << "QD8182-.pkg"
                                     << "";
}

void tst_DeviceSimReplies::firmwareVersionFromFileName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, version);
    QCOMPARE(QString::fromStdString(devsim::CCgiHandler::firmwareVersionFromFileName(
                 fileName.toStdString(), "QD8182", nullptr)),
             version);
}

void tst_DeviceSimReplies::reportSizeAndReplyOverrides()
{
    QVERIFY(m_sim.setState(
        kBare, {{"reportBytes", 100000},
                {"replyOverrides", QJsonObject{{"system_info_serialnumber", "00:02:D1:A1:B2:C3"},
                                               {"network_ipaddress", QJsonValue()},
                                               {"no_such_param", "x"}}}}));
    const CCurl::SResult report =
        authed({url(kBare, "/cgi-bin/admin/export_report.cgi?serverreport")});
    QCOMPARE(report.status, 200);
    QCOMPARE(report.body.size(), 100000);
    QVERIFY(report.body.startsWith("System report of QF8360-QXOR-"));
    const QString query = "/cgi-bin/admin/getparam.cgi?system_info_serialnumber&network_ipaddress"
                          "&no_such_param&system_info_modelname";
    QCOMPARE(authed({url(kBare, query)}).body,
             QByteArray("system_info_serialnumber='00:02:D1:A1:B2:C3'\r\n"
                        "system_info_modelname='QF8360'\r\n"));
    // The table itself is untouched: clearing the overrides brings the generated values back.
    QVERIFY(m_sim.setState(kBare, {{"reportBytes", 0}, {"replyOverrides", QJsonObject()}}));
    QCOMPARE(authed({url(kBare, query)}).body,
             QByteArray("system_info_serialnumber='02A57F000B03'\r\n"
                        "network_ipaddress='127.0.11.3'\r\nsystem_info_modelname='QF8360'\r\n"));
    QVERIFY(authed({url(kBare, "/cgi-bin/admin/export_report.cgi?serverreport")}).body.size() <
            1000);
}

QTEST_GUILESS_MAIN(tst_DeviceSimReplies)
#include "tst_DeviceSimReplies.moc"
