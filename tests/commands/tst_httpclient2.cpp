// The device HTTP clients against the device simulator on loopback: every result a real device
// behaviour produces, redirects, uploads, batch cancellation, the reply cap and the response log.

#include "CDeviceSimulator.h"
#include "CFreePort.h"
#include "CHttpClient.h"
#include "CHttpClient2.h"
#include "CHttpResponseLog.h"
#include "Settings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(CHttpClient::EResult)

namespace {

const QString kFirstIp = QStringLiteral("127.0.20.1");
const int kDevices = 12;

QString deviceIp(int i)
{
    return QStringLiteral("127.0.20.%1").arg(i + 1);
}

struct Reply
{
    QVariant context;
    CHttpClient2::ENetworkError result;
    QVariant response;
};

Reply replyAt(const QSignalSpy& spy, int i)
{
    return {spy.at(i).at(0), spy.at(i).at(1).value<CHttpClient2::ENetworkError>(), spy.at(i).at(2)};
}

} // namespace

class TestHttpClient2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void urlAndHeaders_data();
    void urlAndHeaders();
    void deviceBehaviour_data();
    void deviceBehaviour();
    void redirectOnceAsksTheTarget();
    void newBatchTimesOutTheOldOne();
    void abortAllReportsTimeouts();
    void clearAccessCacheForgetsCredentials();
    void clearAccessCacheAnswersWhatWasPending();
    void clearAccessCacheFromAReplyListener();
    void uploadSkipsMissingFileAndStreamsTheRest();
    void redirectedUploadResendsWholeFile();
    void postDeviceBodiesResendFromStart();
    void endlessBodyStopsAtCap();
    void responseLog_data();
    void responseLog();
    void responseLogFollowsSettingsBetweenBatches_data();
    void responseLogFollowsSettingsBetweenBatches();
    void blockingClient_data();
    void blockingClient();

private:
    QVariantMap context(int device, const QVariant& tag = QVariant()) const;
    void setSetting(const QString& key, const QVariant& value);
    int loggedHostnameReplies();

    CDeviceSimulator m_sim;
    quint16 m_httpPort = 0;
    quint16 m_httpsPort = 0;
    QTemporaryDir m_workDir;
    QString m_previousDir;
};

QVariantMap TestHttpClient2::context(int device, const QVariant& tag) const
{
    return {{"ip", deviceIp(device)},   {"httpPort", m_httpPort},
            {"httpsPort", m_httpsPort}, {"username", "root"},
            {"password", "ardmere1"},   {"context", tag.isValid() ? tag : QVariant(device)}};
}

void TestHttpClient2::setSetting(const QString& key, const QVariant& value)
{
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    if (value.isValid())
        settings.setValue(key, value);
    else
        settings.remove(key);
}

void TestHttpClient2::initTestCase()
{
    QVERIFY(m_workDir.isValid());
    m_previousDir = QDir::currentPath();
    // The response log and upload files live in the working directory.
    QDir::setCurrent(m_workDir.path());
    QFile::remove(settingsFilePath());
    m_httpPort = CFreePort::tcp(QHostAddress(kFirstIp));
    m_httpsPort = CFreePort::tcp(QHostAddress(kFirstIp));
    QVERIFY2(
        m_sim.start({"--count", QString::number(kDevices), "--first-ip", kFirstIp, "--http-port",
                     QString::number(m_httpPort), "--https-port", QString::number(m_httpsPort),
                     "--discovery-port", QString::number(CFreePort::udp()), "--restart-ms", "500"}),
        qPrintable(m_sim.errorString()));
}

void TestHttpClient2::cleanupTestCase()
{
    QFile::remove(settingsFilePath());
    QDir::setCurrent(m_previousDir);
}

void TestHttpClient2::init()
{
    for (int i = 0; i < kDevices; ++i)
        m_sim.clearReceived(deviceIp(i));
}

void TestHttpClient2::cleanup()
{
    for (int i = 0; i < kDevices; ++i) {
        m_sim.setFault(deviceIp(i), "none");
        m_sim.setState(deviceIp(i), {{"firstUse", false}, {"password", "ardmere1"}});
    }
    QFile::remove(settingsFilePath());
}

void TestHttpClient2::urlAndHeaders_data()
{
    QTest::addColumn<QVariantMap>("context");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("referer");

    QTest::newRow("http with query")
        << QVariantMap{{"ip", "10.1.2.3"}, {"httpPort", 80}, {"httpsPort", 443}}
        << "/cgi-bin/admin/getparam.cgi" << QStringList{"system_hostname", "cmd=queryStatus"}
        << "http://10.1.2.3:80/cgi-bin/admin/getparam.cgi?system_hostname&cmd=queryStatus"
        << "http://10.1.2.3:80/";
    QTest::newRow("http port 0 selects https")
        << QVariantMap{{"ip", "10.1.2.3"}, {"httpPort", 0}, {"httpsPort", 443}}
        << "/cgi-bin/admin/setparam.cgi" << QStringList()
        << "https://10.1.2.3:443/cgi-bin/admin/setparam.cgi"
        << "https://10.1.2.3:443/";
    QTest::newRow("ports taken as 16 bits")
        << QVariantMap{{"ip", "cam.local"}, {"httpPort", 65536 + 8080}, {"httpsPort", 1}}
        << "/x.cgi" << QStringList() << "http://cam.local:8080/x.cgi"
        << "http://cam.local:8080/";
    QTest::newRow("empty parameter list has no ?")
        << QVariantMap{{"ip", "10.0.0.1"}, {"httpPort", 8000}} << "/a.cgi" << QStringList()
        << "http://10.0.0.1:8000/a.cgi"
        << "http://10.0.0.1:8000/";
    QTest::newRow("key=value items stay as written")
        << QVariantMap{{"ip", "10.0.0.1"}, {"httpPort", 80}} << "/a.cgi"
        << QStringList{"a=1", "b=x%20y"} << "http://10.0.0.1:80/a.cgi?a=1&b=x%20y"
        << "http://10.0.0.1:80/";
}

void TestHttpClient2::urlAndHeaders()
{
    QFETCH(QVariantMap, context);
    QFETCH(QString, path);
    QFETCH(QStringList, parameters);
    QFETCH(QString, url);
    QFETCH(QString, referer);
    const QUrl built = CHttpClient2::BuildUrl(context, path, parameters);
    QCOMPARE(built.toString(QUrl::FullyEncoded), url);
    const QNetworkRequest request = CHttpClient2::BuildRequest(built);
    QCOMPARE(QString::fromUtf8(request.rawHeader("Referer")), referer);
    QCOMPARE(request.rawHeader("User-Agent"), QByteArray("Corvane"));
}

void TestHttpClient2::deviceBehaviour_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QJsonObject>("faultParams");
    QTest::addColumn<QJsonObject>("state");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("https");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<int>("result");

    const QString getparam = QStringLiteral("/cgi-bin/admin/getparam.cgi");
    const QJsonObject none;
    QTest::newRow("success") << 0 << "none" << none << none << getparam << "ardmere1" << false
                             << 10000 << int(CHttpClient2::eSuccess);
    QTest::newRow("https when the http port is 0")
        << 1 << "none" << none << none << getparam << "ardmere1" << true << 10000
        << int(CHttpClient2::eSuccess);
    QTest::newRow("no such script")
        << 2 << "none" << none << none << "/cgi-bin/admin/nosuch.cgi"
        << "ardmere1" << false << 10000 << int(CHttpClient2::eUnsupported);
    QTest::newRow("wrong password") << 3 << "none" << none << none << getparam << "wrong" << false
                                    << 10000 << int(CHttpClient2::eAuthFail);
    QTest::newRow("device rejects every login")
        << 4 << "auth-reject" << none << none << getparam << "ardmere1" << false << 10000
        << int(CHttpClient2::eAuthFail);
    QTest::newRow("silent device") << 5 << "silent" << none << none << getparam << "ardmere1"
                                   << false << 800 << int(CHttpClient2::eTimeout);
    QTest::newRow("redirect loop") << 6 << "redirect-loop" << none << none << getparam << "ardmere1"
                                   << false << 10000 << int(CHttpClient2::eMoved);
    QTest::newRow("first use") << 7 << "none" << none << QJsonObject{{"firstUse", true}} << getparam
                               << "ardmere1" << false << 10000
                               << int(CHttpClient2::eNeedToSetPassword);
    QTest::newRow("nothing listens") << 8 << "offline" << none << none << getparam << "ardmere1"
                                     << false << 10000 << int(CHttpClient2::eNetworkError);
    QTest::newRow("server error") << 9 << "status" << QJsonObject{{"status", 500}} << none
                                  << getparam << "ardmere1" << false << 10000
                                  << int(CHttpClient2::eNetworkError);
    QTest::newRow("forbidden") << 10 << "status" << QJsonObject{{"status", 403}} << none << getparam
                               << "ardmere1" << false << 10000 << int(CHttpClient2::eNetworkError);
    QTest::newRow("connection reset") << 11 << "reset" << none << none << getparam << "ardmere1"
                                      << false << 10000 << int(CHttpClient2::eNetworkError);
}

void TestHttpClient2::deviceBehaviour()
{
    QFETCH(int, device);
    QFETCH(QString, fault);
    QFETCH(QJsonObject, faultParams);
    QFETCH(QJsonObject, state);
    QFETCH(QString, path);
    QFETCH(QString, password);
    QFETCH(bool, https);
    QFETCH(int, timeoutMs);
    QFETCH(int, result);

    QVERIFY(m_sim.setFault(deviceIp(device), fault, faultParams));
    if (!state.isEmpty())
        QVERIFY(m_sim.setState(deviceIp(device), state));
    CHttpClient2 client;
    client.SetTimeout(timeoutMs);
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    QVariantMap ctx = context(device, QStringLiteral("tag-%1").arg(device));
    ctx["password"] = password;
    if (https)
        ctx["httpPort"] = 0;
    client.SendGet({ctx}, path, {"system_info_firmwareversion"});
    QVERIFY(replies.wait(15000));
    QCOMPARE(replies.count(), 1);
    const Reply reply = replyAt(replies, 0);
    QCOMPARE(reply.context.toString(), QStringLiteral("tag-%1").arg(device));
    QCOMPARE(int(reply.result), result);
    if (result == CHttpClient2::eSuccess) {
        QVERIFY(reply.response.toMap().value("message").toByteArray().contains(
            "system_info_firmwareversion='"));
        const QJsonArray received = m_sim.lastReceived(deviceIp(device));
        QVERIFY(!received.isEmpty());
        QCOMPARE(received.last().toObject().value("scheme").toString(),
                 https ? QStringLiteral("https") : QStringLiteral("http"));
    }
    if (result == CHttpClient2::eMoved || result == CHttpClient2::eNeedToSetPassword)
        QVERIFY(!reply.response.isValid());
    QCOMPARE(client.PendingCount(), 0);
}

void TestHttpClient2::redirectOnceAsksTheTarget()
{
    QVERIFY(m_sim.setFault(deviceIp(0), "redirect-once"));
    CHttpClient2 client;
    QSignalSpy sent(&client, &CHttpClient2::cmdSent);
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    QVariantMap ctx = context(0);
    ctx["data"] = QByteArray("system_hostname=moved");
    client.SendPost({ctx}, "/cgi-bin/admin/setparam.cgi");
    QVERIFY(replies.wait(10000));
    QCOMPARE(replyAt(replies, 0).result, CHttpClient2::eSuccess);
    QCOMPARE(sent.count(), 1); // the follow-up is not announced
    // The body was posted again, whole, to the target.
    const QJsonArray received = m_sim.lastReceived(deviceIp(0));
    QVERIFY(received.size() >= 2);
    const QJsonObject last = received.last().toObject();
    QVERIFY(last.value("path").toString().startsWith("/redirected/"));
    QCOMPARE(last.value("body").toString(), QStringLiteral("system_hostname=moved"));
}

void TestHttpClient2::newBatchTimesOutTheOldOne()
{
    QVERIFY(m_sim.setFault(deviceIp(0), "silent"));
    QVERIFY(m_sim.setFault(deviceIp(1), "silent"));
    CHttpClient2 client;
    QList<QPair<int, int>> order; // (context, result) in arrival order
    int sentWhenFirstTimedOut = -1;
    QSignalSpy sent(&client, &CHttpClient2::cmdSent);
    connect(&client, &CHttpClient2::cmdReply, this,
            [&](const QVariant& tag, CHttpClient2::ENetworkError result, const QVariant&) {
                if (order.isEmpty())
                    sentWhenFirstTimedOut = sent.count();
                order.append({tag.toInt(), int(result)});
            });
    client.SendGet({context(0), context(1)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QCOMPARE(client.PendingCount(), 2);
    client.SendGet({context(2)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    // Both old devices were settled before the new request went out.
    QCOMPARE(sentWhenFirstTimedOut, 2);
    QCOMPARE(order.size(), 2);
    QCOMPARE(QSet<int>({order.at(0).first, order.at(1).first}), QSet<int>({0, 1}));
    QCOMPARE(order.at(0).second, int(CHttpClient2::eTimeout));
    QCOMPARE(order.at(1).second, int(CHttpClient2::eTimeout));
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), 3, 10000);
    QCOMPARE(order.at(2), qMakePair(2, int(CHttpClient2::eSuccess)));
}

void TestHttpClient2::abortAllReportsTimeouts()
{
    QVERIFY(m_sim.setFault(deviceIp(0), "silent"));
    QVERIFY(m_sim.setFault(deviceIp(1), "slow", {{"delayMs", 5000}}));
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    client.SendGet({context(0), context(1)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTest::qWait(200);
    client.AbortAll();
    QCOMPARE(replies.count(), 2);
    for (int i = 0; i < 2; ++i)
        QCOMPARE(replyAt(replies, i).result, CHttpClient2::eTimeout);
    QCOMPARE(client.PendingCount(), 0);
}

void TestHttpClient2::clearAccessCacheForgetsCredentials()
{
    // Credentials that worked once are cached by the connection layer; after a clear, a wrong
    // password must be judged wrong, or a user who mistyped would see devices authorized.
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    client.SendGet({context(2)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 1, 15000);
    QCOMPARE(replyAt(replies, 0).result, CHttpClient2::eSuccess);

    client.ClearAccessCache();
    QVariantMap wrong = context(2);
    wrong["password"] = QStringLiteral("not-the-password");
    client.SendGet({wrong}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 2, 15000);
    QCOMPARE(replyAt(replies, 1).result, CHttpClient2::eAuthFail);

    // And the client goes on working with the right ones.
    client.SendGet({context(2)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 3, 15000);
    QCOMPARE(replyAt(replies, 2).result, CHttpClient2::eSuccess);
}

void TestHttpClient2::clearAccessCacheAnswersWhatWasPending()
{
    QVERIFY(m_sim.setFault(deviceIp(3), "silent"));
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    client.SendGet({context(3)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTest::qWait(300);
    QCOMPARE(client.PendingCount(), 1);
    client.ClearAccessCache();
    QCOMPARE(replies.count(), 1);
    QCOMPARE(replyAt(replies, 0).result, CHttpClient2::eTimeout);
    QCOMPARE(client.PendingCount(), 0);
}

void TestHttpClient2::clearAccessCacheFromAReplyListener()
{
    // A listener that clears when a run ends does so inside the manager's own report of the
    // last reply; the client must survive that and go on working.
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    connect(&client, &CHttpClient2::cmdReply, &client, [&client] { client.ClearAccessCache(); });
    client.SendGet({context(4)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 1, 15000);
    QCOMPARE(replyAt(replies, 0).result, CHttpClient2::eSuccess);
    client.SendGet({context(4)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 2, 15000);
    QCOMPARE(replyAt(replies, 1).result, CHttpClient2::eSuccess);
}

void TestHttpClient2::uploadSkipsMissingFileAndStreamsTheRest()
{
    QFile package(QStringLiteral("VCA_2.1.0.zapk"));
    QVERIFY(package.open(QIODevice::WriteOnly));
    const QByteArray content(300 * 1024, 'z');
    package.write(content);
    package.close();

    QVariantList contexts;
    for (int i = 0; i < 3; ++i) {
        QVariantMap ctx = context(i);
        ctx["filePath"] = i == 1 ? QStringLiteral("missing.zapk") : package.fileName();
        ctx["fileName"] = i == 2 ? QString() : QStringLiteral("VCA_2.1.0.zapk");
        contexts.append(ctx);
    }
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    client.SendUpload(contexts, "/cgi-bin/admin/upload_zapk.cgi", "uploadZapk");
    // The missing file is reported at once, before any reply.
    QCOMPARE(replies.count(), 1);
    QCOMPARE(replyAt(replies, 0).context.toInt(), 1);
    QCOMPARE(replyAt(replies, 0).result, CHttpClient2::eCannotOpenFile);
    QVERIFY(!replyAt(replies, 0).response.isValid());
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 3, 15000);
    for (int i = 1; i < 3; ++i)
        QCOMPARE(replyAt(replies, i).result, CHttpClient2::eSuccess);

    for (int device : {0, 2}) {
        const QJsonArray received = m_sim.lastReceived(deviceIp(device));
        QVERIFY(!received.isEmpty());
        const QJsonArray parts = received.last().toObject().value("parts").toArray();
        QCOMPARE(parts.size(), 1);
        QCOMPARE(parts.at(0).toObject().value("name").toString(), QStringLiteral("uploadZapk"));
        QCOMPARE(parts.at(0).toObject().value("size").toInt(), content.size());
        QCOMPARE(parts.at(0).toObject().value("fileName").toString(),
                 QStringLiteral("VCA_2.1.0.zapk"));
    }
    QVERIFY(m_sim.lastReceived(deviceIp(1)).isEmpty());
}

void TestHttpClient2::redirectedUploadResendsWholeFile()
{
    QFile package(QStringLiteral("VCA_3.0.0.zapk"));
    QVERIFY(package.open(QIODevice::WriteOnly));
    const QByteArray content(200 * 1024, 'r');
    package.write(content);
    package.close();
    QVERIFY(m_sim.setFault(deviceIp(0), "redirect-once"));
    QVariantMap ctx = context(0);
    ctx["filePath"] = package.fileName();
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    client.SendUpload({ctx}, "/cgi-bin/admin/upload_zapk.cgi", "uploadZapk");
    QVERIFY(replies.wait(15000));
    QCOMPARE(replyAt(replies, 0).result, CHttpClient2::eSuccess);
    const QJsonArray received = m_sim.lastReceived(deviceIp(0));
    QVERIFY(received.size() >= 2);
    const QJsonObject last = received.last().toObject();
    QVERIFY(last.value("path").toString().startsWith("/redirected/"));
    const QJsonArray parts = last.value("parts").toArray();
    QCOMPARE(parts.size(), 1);
    QCOMPARE(parts.at(0).toObject().value("size").toInt(), content.size());
}

void TestHttpClient2::postDeviceBodiesResendFromStart()
{
    QVERIFY(m_sim.setFault(deviceIp(0), "redirect-once"));
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    auto* first = new QBuffer();
    first->setData("system_hostname=first");
    first->open(QIODevice::ReadOnly);
    auto* second = new QBuffer();
    second->setData("system_hostname=second");
    second->open(QIODevice::ReadOnly);
    // Requests added one by one do not cancel each other.
    client.SendPostDevice(context(0, "a"), "/cgi-bin/admin/setparam.cgi", first);
    client.SendPostDevice(context(1, "b"), "/cgi-bin/admin/setparam.cgi", second);
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 2, 10000);
    QCOMPARE(replyAt(replies, 0).result, CHttpClient2::eSuccess);
    QCOMPARE(replyAt(replies, 1).result, CHttpClient2::eSuccess);
    QCOMPARE(m_sim.lastReceived(deviceIp(0)).last().toObject().value("body").toString(),
             QStringLiteral("system_hostname=first"));
    QCOMPARE(m_sim.lastReceived(deviceIp(1)).last().toObject().value("body").toString(),
             QStringLiteral("system_hostname=second"));
}

void TestHttpClient2::endlessBodyStopsAtCap()
{
    QVERIFY(m_sim.setFault(deviceIp(0), "endless"));
    CHttpClient2 client;
    client.SetMaxReplyBytes(2 * 1024 * 1024);
    // A time-out would report eTimeout; the cap must end the request well before it.
    client.SetTimeout(60000);
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    client.SendGet({context(0), context(1)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 2, 20000);
    for (int i = 0; i < 2; ++i) {
        const Reply reply = replyAt(replies, i);
        QCOMPARE(reply.result,
                 reply.context.toInt() == 0 ? CHttpClient2::eNetworkError : CHttpClient2::eSuccess);
        QVERIFY(reply.response.toMap().value("message").toByteArray().size() < 2 * 1024 * 1024);
    }

    // The blocking client has the same guard.
    CHttpClient blocking;
    blocking.SetMaxReplyBytes(1024 * 1024);
    blocking.SetTimeout(60000);
    blocking.Get(CHttpClient2::BuildUrl(context(0), "/cgi-bin/admin/getparam.cgi", {"x"}), "root",
                 "ardmere1");
    QCOMPARE(blocking.Result(), CHttpClient::eReplyError);
    QVERIFY(blocking.ReadBody().isEmpty());
}

void TestHttpClient2::responseLog_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("logged");
    QTest::newRow("unset") << "LogHTTPResponse" << QVariant() << false;
    QTest::newRow("false") << "LogHTTPResponse" << QVariant(false) << false;
    QTest::newRow("asynchronous spelling") << "LogHTTPResponse" << QVariant(true) << true;
    QTest::newRow("other spelling, any case") << "LOGHTTPRESPONSE" << QVariant(true) << true;
}

void TestHttpClient2::responseLog()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(bool, logged);
    QFile::remove(CHttpResponseLog::FileName());
    setSetting(key, value);

    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    QVariantMap missing = context(1);
    missing["filePath"] = QStringLiteral("no-such-file.bin");
    client.SendUpload({missing}, "/cgi-bin/admin/upload_zapk.cgi", "uploadZapk");
    client.SendGet({context(0)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    QVERIFY(replies.wait(10000));

    CHttpClient blocking;
    blocking.Get(CHttpClient2::BuildUrl(context(2), "/cgi-bin/admin/getparam.cgi",
                                        {"system_info_modelname"}),
                 "root", "ardmere1");
    QCOMPARE(blocking.Result(), CHttpClient::eReplyOk);
    const QByteArray body = blocking.ReadBody();
    QVERIFY(body.contains("system_info_modelname="));

    QFile log(CHttpResponseLog::FileName());
    QCOMPARE(log.exists(), logged);
    if (!logged)
        return;
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    const QList<QByteArray> records = text.split('\n');
    // One record per reply: time, a space, the URL with its query, CRLF, the body, CRLF.
    QRegularExpression stamp(
        QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    QVERIFY(stamp.match(QString::fromUtf8(records.first())).hasMatch());
    QVERIFY(text.contains(" \r\nUpload file error: "));
    QVERIFY(
        text.contains(QStringLiteral(" http://%1:%2/cgi-bin/admin/getparam.cgi?system_hostname\r\n"
                                     "system_hostname='")
                          .arg(deviceIp(0))
                          .arg(m_httpPort)
                          .toUtf8()));
    QVERIFY(text.contains(QStringLiteral("getparam.cgi?system_info_modelname\r\n").toUtf8() + body +
                          "\r\n"));
}

int TestHttpClient2::loggedHostnameReplies()
{
    CHttpClient2 client;
    QSignalSpy replies(&client, &CHttpClient2::cmdReply);
    client.SendGet({context(0)}, "/cgi-bin/admin/getparam.cgi", {"system_hostname"});
    if (!replies.wait(10000))
        return -1;
    QFile log(CHttpResponseLog::FileName());
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    return log.readAll().count("getparam.cgi?system_hostname\r\n");
}

void TestHttpClient2::responseLogFollowsSettingsBetweenBatches_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("settled");
    // Rewritten through a save file (a new file on disk), or overwritten in place with a value of
    // the same length; the first version either old enough for its answer to be kept, or changed
    // again within the same tick of the file clock.
    QTest::newRow("rewritten, settled") << false << true;
    QTest::newRow("in place, same size, settled") << true << true;
    QTest::newRow("in place, same size, at once") << true << false;
}

void TestHttpClient2::responseLogFollowsSettingsBetweenBatches()
{
    QFETCH(bool, inPlace);
    QFETCH(bool, settled);
    QFile::remove(CHttpResponseLog::FileName());
    auto write = [&](const QByteArray& value) {
        if (!inPlace) {
            setSetting("LogHTTPResponse", QString::fromLatin1(value));
            return;
        }
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(0));
        QCOMPARE(file.write("[General]\nLogHTTPResponse=" + value + "\n"), qint64(28));
    };
    auto age = [&]() {
        // The answer for a file is kept only once its times lie safely behind the file clock.
        if (settled)
            QTest::qWait(300);
    };

    write("1");
    age();
    QCOMPARE(loggedHostnameReplies(), 1);
    QCOMPARE(loggedHostnameReplies(), 2);
    write("0");
    age();
    QCOMPARE(loggedHostnameReplies(), 2);
    QCOMPARE(loggedHostnameReplies(), 2);
    write("1");
    QCOMPARE(loggedHostnameReplies(), 3);
    QFile::remove(settingsFilePath());
    QCOMPARE(loggedHostnameReplies(), 3);
}

void TestHttpClient2::blockingClient_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("result");
    const QString getparam = QStringLiteral("/cgi-bin/admin/getparam.cgi");
    QTest::newRow("ok") << 0 << "none" << getparam << "ardmere1" << int(CHttpClient::eReplyOk);
    QTest::newRow("wrong password")
        << 1 << "none" << getparam << "bad" << int(CHttpClient::eReplyAuthFail);
    QTest::newRow("redirect is not followed")
        << 2 << "redirect-once" << getparam << "ardmere1" << int(CHttpClient::eReplyMoved);
    QTest::newRow("no such script") << 3 << "none"
                                    << "/cgi-bin/nosuch.cgi"
                                    << "ardmere1" << int(CHttpClient::eReplyError);
    QTest::newRow("silent") << 4 << "silent" << getparam << "ardmere1"
                            << int(CHttpClient::eReplyTimeout);
}

void TestHttpClient2::blockingClient()
{
    QFETCH(int, device);
    QFETCH(QString, fault);
    QFETCH(QString, path);
    QFETCH(QString, password);
    QFETCH(int, result);
    QVERIFY(m_sim.setFault(deviceIp(device), fault));
    CHttpClient client;
    QCOMPARE(client.Result(), CHttpClient::eNoReply);
    client.SetTimeout(800);
    client.Get(CHttpClient2::BuildUrl(context(device), path, {"system_hostname"}), "root",
               password);
    QCOMPARE(int(client.Result()), result);
    if (result == CHttpClient::eReplyMoved)
        QVERIFY(client.RedirectUrl().toString().contains("/redirected/"));
}

QTEST_MAIN(TestHttpClient2)
#include "tst_httpclient2.moc"
