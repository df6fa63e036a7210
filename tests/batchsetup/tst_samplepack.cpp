// The sample device pack against simulated cameras: a template read from one camera, edited and
// applied to cameras of other models really changes their parameters.
#include "CDevicePackInstaller.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"
#include "CSetupContentManager.h"
#include "SetupContentUids.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QResource>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// This area's own loopback range.
const QString kFirstIp = QStringLiteral("127.0.50.1");
const QStringList kModels{"QD8182", "QB9365", "QF8360", "QZ9185"};

QString ipOf(int i)
{
    return QStringLiteral("127.0.50.%1").arg(i + 1);
}

} // namespace

class TestSamplePack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tablesAreConsistent();
    void scriptsAreRegistered();
    void templateFromCameraChangesOthers();

private:
    // One blocking HTTP exchange with a simulated camera (Digest as root).
    QByteArray request(const QString& ip, const QString& path, const QByteArray& query,
                       const QByteArray& postBody = QByteArray());
    CSetupContentManager::ParamValues readParams(const QString& ip,
                                                 const QMap<QString, QSet<QString>>& requests);

    QTemporaryDir m_appDir;
    QTemporaryDir m_tempDir;
    QString m_workDir;
    QString m_version;
    CDeviceSimulator m_sim;
    quint16 m_httpPort = 0;
    QNetworkAccessManager m_network;
};

void TestSamplePack::initTestCase()
{
    const QDir source(QStringLiteral(ARDMERE_SAMPLE_PACK_DIR));
    const QStringList packs = source.entryList({"DevicePack-*.vdp"}, QDir::Files);
    QCOMPARE(packs.size(), 1);
    QVERIFY(
        QFile::copy(source.filePath(packs.first()), QDir(m_appDir.path()).filePath(packs.first())));
    const CDevicePackInstaller installer(m_appDir.path(), m_tempDir.path());
    m_version = installer.prepareDevicePack();
    QFile versionFile(source.filePath("pack/VERSION"));
    QVERIFY(versionFile.open(QIODevice::ReadOnly));
    QCOMPARE(m_version, QString::fromUtf8(versionFile.readAll()).trimmed());
    QVERIFY(installer.registerResource());
    m_workDir = installer.workDirectory();

    connect(&m_network, &QNetworkAccessManager::authenticationRequired,
            [](QNetworkReply*, QAuthenticator* auth) {
                auth->setUser("root");
                auth->setPassword("ardmere1");
            });
    m_httpPort = CFreePort::tcp(QHostAddress(kFirstIp));
    QVERIFY2(
        m_sim.start({"--count", "4", "--first-ip", kFirstIp, "--http-port",
                     QString::number(m_httpPort), "--https-port",
                     QString::number(CFreePort::tcp(QHostAddress(kFirstIp))), "--models",
                     kModels.join(','), "--discovery-port", QString::number(CFreePort::udp())}),
        qPrintable(m_sim.errorString()));
}

void TestSamplePack::cleanupTestCase()
{
    m_sim.stop();
}

void TestSamplePack::tablesAreConsistent()
{
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(m_workDir, m_appDir.path()));
    manager.SetNumChannel(8);
    const QSet<QString> known(AllUids().cbegin(), AllUids().cend());
    QStringList tables = QDir(m_workDir + "/csv").entryList({"*.csv"}, QDir::Files);
    QVERIFY(tables.removeAll("base.csv") == 1);
    QCOMPARE(tables.size(), kModels.size());
    for (const QString& table : tables) {
        const QString model = QFileInfo(table).completeBaseName();
        QVERIFY2(manager.LoadModel(model), qPrintable(model));
        // Every setting the table offers is one the pages know, and it has a read path.
        for (const UISetEntry& entry : manager.Entries()) {
            if (entry.channel != 0 || !entry.set || entry.set->opts().isEmpty())
                continue;
            QVERIFY2(known.contains(entry.uid) || entry.uid.startsWith("uid_d"),
                     qPrintable(entry.uid));
        }
    }
    QVERIFY(manager.ReadRequests().contains("/cgi-bin/admin/getparam.cgi"));
}

void TestSamplePack::scriptsAreRegistered()
{
    for (const QString& model : kModels) {
        QFile script(":/js/DevicePack/" + model + ".js");
        QVERIFY2(script.open(QIODevice::ReadOnly), qPrintable(model));
        const QByteArray text = script.readAll();
        QVERIFY(text.contains("function checkInteract(ctrl, channel)"));
        QVERIFY(text.contains("function limitFrameRate("));
    }
}

QByteArray TestSamplePack::request(const QString& ip, const QString& path, const QByteArray& query,
                                   const QByteArray& postBody)
{
    QUrl url(QStringLiteral("http://%1:%2%3").arg(ip).arg(m_httpPort).arg(path));
    if (!query.isEmpty())
        url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    QNetworkRequest req(url);
    QNetworkReply* reply = nullptr;
    if (postBody.isNull()) {
        reply = m_network.get(req);
    } else {
        req.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        reply = m_network.post(req, postBody);
    }
    QSignalSpy finished(reply, &QNetworkReply::finished);
    const bool done = finished.wait(10000);
    const QByteArray body = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->deleteLater();
    if (!done || status != 200) {
        qWarning() << "request failed" << url << status << body.left(200);
        return QByteArray();
    }
    return body;
}

CSetupContentManager::ParamValues
TestSamplePack::readParams(const QString& ip, const QMap<QString, QSet<QString>>& requests)
{
    CSetupContentManager::ParamValues values;
    for (auto it = requests.cbegin(); it != requests.cend(); ++it) {
        QStringList names = it.value().values();
        names.sort();
        const QByteArray reply = request(ip, it.key(), names.join('&').toLatin1());
        for (const QByteArray& line : reply.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            const int eq = trimmed.indexOf('=');
            if (eq <= 0)
                continue;
            QByteArray value = trimmed.mid(eq + 1);
            if (value.size() >= 2 && value.startsWith('\'') && value.endsWith('\''))
                value = value.mid(1, value.size() - 2);
            values.insert(QString::fromUtf8(trimmed.left(eq)), QString::fromUtf8(value));
        }
    }
    return values;
}

void TestSamplePack::templateFromCameraChangesOthers()
{
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(m_workDir, m_appDir.path()));
    manager.SetNumChannel(8);

    // Read the template camera (a QD8182) as the batch-setup page does.
    QVERIFY(manager.LoadModel(kModels[0]));
    const auto requests = manager.ReadRequests();
    const CSetupContentManager::ParamValues values = readParams(ipOf(0), requests);
    QVERIFY(values.size() > 100);
    manager.ApplyCurrentValues(values);
    manager.ApplyDigitalInputs(values);
    manager.ApplyDigitalOutputs(values);
    QCOMPARE(manager.NumChannel(), 1);
    auto current = [&](const QString& uid) { return manager.GetContent(uid, 0).set->currentOpt(); };
    QCOMPARE(current("uid_system_hostname"), values.value("system_hostname"));
    QCOMPARE(current("uid_color"), QString("Color"));
    QCOMPARE(current("uid_s0_frame_size"), QString("1920x1080"));
    QCOMPARE(current("uid_s0_video_codec"), QString("H.264"));
    QCOMPARE(current("uid_di0_normal_state"), QString("high"));

    // The user edits a few settings, one with characters that mean something in a request.
    auto set = [&](const QString& uid, const QString& value) {
        manager.GetContent(uid, 0).set->setCurrentOpt(value);
    };
    set("uid_system_hostname", "Lobby & gate=2");
    set("uid_color", "B/W");
    set("uid_s0_h264_max_frame_rate", "15");
    set("uid_freq", "50");
    set("uid_motion_enable", "1");
    set("uid_di0_normal_state", "low");
    const QVector<CSetupContentManager::UidChannel> items{
        {"uid_system_hostname", 0},        {"uid_color", 0},
        {"uid_s0_h264_max_frame_rate", 0}, {"uid_freq", 0},
        {"uid_motion_enable", 0},          {"uid_di0_normal_state", 0}};

    // A template file carries the same choices to another manager.
    QTemporaryDir dir;
    const QString file = dir.filePath("ArdmereBatchSetupExport.csv");
    QVERIFY(manager.WriteToFile(file));
    CSetupContentManager imported(nullptr);
    QVERIFY(imported.Init(m_workDir, m_appDir.path()));
    imported.SetNumChannel(8);
    QVERIFY(imported.ReadFromFile(file));

    const QMap<QString, QSet<QString>> polygon{
        {"/cgi-bin/admin/getparam.cgi", {"motion_c0_win_i0_polygonstd"}}};
    for (int i = 1; i < kModels.size(); ++i) {
        QVERIFY(m_sim.setState(ipOf(i), {{"params", QJsonObject{{"motion_c0_win_i0_polygonstd",
                                                                 "10,10,10,20,20,20,20,10"}}}}));
        QCOMPARE(readParams(ipOf(i), polygon).value("motion_c0_win_i0_polygonstd"),
                 QString("10,10,10,20,20,20,20,10"));
        const auto sets = manager.BuildSetRequests(kModels[i], items);
        QCOMPARE(imported.BuildSetRequests(kModels[i], items), sets);
        for (auto it = sets.cbegin(); it != sets.cend(); ++it)
            QVERIFY(!request(ipOf(i), it.key(), {}, it.value().join('&').toUtf8()).isNull());

        const auto after = readParams(ipOf(i), requests);
        QCOMPARE(after.value("system_hostname"), QString("Lobby & gate=2"));
        QCOMPARE(after.value("videoin_c0_color"), QString("0"));
        QCOMPARE(after.value("videoin_c0_s0_h264_maxframe"), QString("15"));
        QCOMPARE(after.value("videoin_c0_freq"), QString("50"));
        QCOMPARE(after.value("videoin_c0_maxexposure"), QString("25"));
        QCOMPARE(after.value("videoin_c0_profile_i0_maxexposure"), QString("25"));
        QCOMPARE(after.value("motion_c0_enable"), QString("1"));
        QCOMPARE(after.value("motion_c0_win_i0_enable"), QString("1"));
        QCOMPARE(after.value("di_i0_normalstate"), QString("low"));
        if (kModels[i] == "QB9365") // polygon windows on the whole picture
            QCOMPARE(readParams(ipOf(i), polygon).value("motion_c0_win_i0_polygonstd"),
                     QString("0,0,0,9999,9999,9999,9999,0"));
        else
            QCOMPARE(after.value("motion_c0_win_i0_width"), QString("320"));
    }
    // The template camera itself was not written to.
    QCOMPARE(readParams(ipOf(0), requests).value("videoin_c0_color"), QString("1"));
}

QTEST_GUILESS_MAIN(TestSamplePack)
#include "tst_samplepack.moc"
