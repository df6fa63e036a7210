// The simulator against Qt's network stack, which the program's HTTP clients are built on:
// Digest and Basic challenges answered through authenticationRequired, HTTPS with the
// simulator's self-signed certificate, the first-use redirect, and the program's multipart form.
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QAuthenticator>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString kCamera = QStringLiteral("127.0.17.1");
const QString kFirstUse = QStringLiteral("127.0.17.2");
const QString kBasic = QStringLiteral("127.0.17.3");
} // namespace

class tst_DeviceSimQtClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void getWithCredentials_data();
    void getWithCredentials();
    void firstUseRedirectTarget();
    void multipartUploadWithTheProgramsBoundary();

private:
    QNetworkReply* finished(QNetworkReply* reply);

    CDeviceSimulator m_sim;
    QNetworkAccessManager m_nam;
    QString m_user, m_password;
    int m_challenges = 0;
};

void tst_DeviceSimQtClient::initTestCase()
{
    QVERIFY2(m_sim.start({"--count", "2", "--factory-new", "0", "--first-ip", kCamera,
                          "--http-port", "18080", "--https-port", "18443", "--discovery-port",
                          QString::number(CFreePort::udp())}),
             qPrintable(m_sim.errorString()));
    QVERIFY(m_sim.setState(kFirstUse, {{"firstUse", true}, {"password", ""}}));
    QVERIFY(!m_sim.addDevice({{"ip", kBasic}, {"auth", "basic"}}).isEmpty());
    // Offer the credentials once per challenge sequence, as the program does.
    connect(&m_nam, &QNetworkAccessManager::authenticationRequired, this,
            [this](QNetworkReply*, QAuthenticator* auth) {
                ++m_challenges;
                if (auth->user() == m_user && auth->password() == m_password)
                    return;
                auth->setUser(m_user);
                auth->setPassword(m_password);
            });
    connect(&m_nam, &QNetworkAccessManager::sslErrors, this,
            [](QNetworkReply* reply, const QList<QSslError>&) { reply->ignoreSslErrors(); });
}

QNetworkReply* tst_DeviceSimQtClient::finished(QNetworkReply* reply)
{
    QSignalSpy spy(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        spy.wait(20000);
    return reply;
}

void tst_DeviceSimQtClient::getWithCredentials_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("https");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("error"); // QNetworkReply::NetworkError

    QTest::newRow("digest") << kCamera << false << "ardmere1" << int(QNetworkReply::NoError);
    QTest::newRow("digest https") << kCamera << true << "ardmere1" << int(QNetworkReply::NoError);
    QTest::newRow("digest wrong") << kCamera << false << "nope"
                                  << int(QNetworkReply::AuthenticationRequiredError);
    QTest::newRow("basic") << kBasic << false << "ardmere1" << int(QNetworkReply::NoError);
    QTest::newRow("basic wrong https")
        << kBasic << true << "nope" << int(QNetworkReply::AuthenticationRequiredError);
}

void tst_DeviceSimQtClient::getWithCredentials()
{
    QFETCH(QString, ip);
    QFETCH(bool, https);
    QFETCH(QString, password);
    QFETCH(int, error);
    m_nam.clearAccessCache();
    m_user = "root";
    m_password = password;
    QUrl url(QStringLiteral("%1://%2:%3/cgi-bin/admin/getparam.cgi")
                 .arg(https ? "https" : "http", ip, https ? "18443" : "18080"));
    url.setQuery("system_info_firmwareversion&capability_ndi");
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, "Corvane");
    QScopedPointer<QNetworkReply> reply(finished(m_nam.get(request)));
    QCOMPARE(int(reply->error()), error);
    if (error == QNetworkReply::NoError)
        QVERIFY(QRegularExpression("^system_info_firmwareversion='Q\\w+-QXOR-0104a'\r\n"
                                   "capability_ndi='1'\r\n$")
                    .match(QString::fromLatin1(reply->readAll()))
                    .hasMatch());
}

void tst_DeviceSimQtClient::firstUseRedirectTarget()
{
    m_user = "root";
    m_password = "";
    QNetworkRequest request(
        QUrl("http://" + kFirstUse + ":18080/cgi-bin/admin/getparam.cgi?system_info_modelname"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QScopedPointer<QNetworkReply> reply(finished(m_nam.get(request)));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 302);
    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    QVERIFY(target.isValid());
    QVERIFY(target.toString().contains("factorymode/configure_password"));
}

void tst_DeviceSimQtClient::multipartUploadWithTheProgramsBoundary()
{
    m_user = "root";
    m_password = "ardmere1";
    QVERIFY(m_sim.clearReceived(kCamera));
    const QByteArray boundary(26, '-');
    auto* multi = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    multi->setBoundary(boundary);
    QHttpPart file;
    file.setHeader(QNetworkRequest::ContentTypeHeader, "application/octet-stream");
    file.setHeader(QNetworkRequest::ContentDispositionHeader,
                   "form-data; name=\"fimage\"; filename=\"QD8182-QXOR-0300.pkg\"");
    // Content that holds the boundary's hyphens and CRLFs must come through whole.
    QByteArray content = QByteArray(100000, 'z') + "\r\n" + QByteArray(26, '-') + "\r\n" + "end";
    file.setBody(content);
    multi->append(file);
    QNetworkRequest request(QUrl("https://" + kCamera + ":18443/cgi-bin/admin/upgrade.cgi"));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      "multipart/form-data; boundary=" + boundary);
    QScopedPointer<QNetworkReply> reply(finished(m_nam.post(request, multi)));
    multi->setParent(reply.data());
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QVERIFY(reply->readAll().startsWith("OK"));
    bool seen = false;
    for (const QJsonValue& v : m_sim.lastReceived(kCamera))
        for (const QJsonValue& p : v.toObject()["parts"].toArray())
            seen = seen || (p.toObject()["name"] == "fimage" &&
                            p.toObject()["size"].toInt() == content.size());
    QVERIFY(seen);
}

QTEST_GUILESS_MAIN(tst_DeviceSimQtClient)
#include "tst_DeviceSimQtClient.moc"
