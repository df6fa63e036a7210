// Authentication of the simulated devices: Basic and Digest (MD5, qop=auth), over HTTP and
// HTTPS; wrong credentials are refused every time.
#include "CCurl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QCryptographicHash>
#include <QtTest>

namespace {
const QString kDigestDevice = QStringLiteral("127.0.12.1");
const QString kBasicDevice = QStringLiteral("127.0.12.2");
const QString kPath = QStringLiteral("/cgi-bin/admin/getparam.cgi?system_info_modelname");

QString url(const QString& ip, bool https = false, const QString& path = kPath)
{
    return QStringLiteral("%1://%2:%3%4")
        .arg(https ? "https" : "http", ip, https ? "18443" : "18080", path);
}

QByteArray md5(const QByteArray& text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

QByteArray param(const QByteArray& header, const QByteArray& name)
{
    const int at = header.indexOf(name + "=\"");
    if (at < 0)
        return {};
    const int start = at + name.size() + 2;
    return header.mid(start, header.indexOf('"', start) - start);
}
} // namespace

class tst_DeviceSimAuth : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void credentials_data();
    void credentials();
    void wrongCredentialsAreRefusedEveryTime();
    void digestIsBoundToNonceAndUri_data();
    void digestIsBoundToNonceAndUri();
    void passwordChangedBySetParam();

private:
    CDeviceSimulator m_sim;
};

void tst_DeviceSimAuth::initTestCase()
{
    QVERIFY2(m_sim.start({"--count", "1", "--first-ip", kDigestDevice, "--http-port", "18080",
                          "--https-port", "18443", "--password", "Pass1234", "--discovery-port",
                          QString::number(CFreePort::udp())}),
             qPrintable(m_sim.errorString()));
    QVERIFY(!m_sim.addDevice({{"ip", kBasicDevice}, {"auth", "basic"}, {"password", "Pass1234"}})
                 .isEmpty());
}

void tst_DeviceSimAuth::credentials_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("https");
    QTest::addColumn<QString>("scheme"); // curl's option: digest or basic; empty: none
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("challenge");

    QTest::newRow("digest right") << kDigestDevice << false << "digest"
                                  << "root"
                                  << "Pass1234" << 200 << QByteArray();
    QTest::newRow("digest right over https") << kDigestDevice << true << "digest"
                                             << "root"
                                             << "Pass1234" << 200 << QByteArray();
    QTest::newRow("digest wrong password") << kDigestDevice << false << "digest"
                                           << "root"
                                           << "Pass12345" << 401 << QByteArray("Digest ");
    QTest::newRow("digest wrong user") << kDigestDevice << false << "digest"
                                       << "admin"
                                       << "Pass1234" << 401 << QByteArray("Digest ");
    QTest::newRow("digest empty password") << kDigestDevice << false << "digest"
                                           << "root"
                                           << "" << 401 << QByteArray("Digest ");
    QTest::newRow("basic offered to digest device") << kDigestDevice << false << "basic"
                                                    << "root"
                                                    << "Pass1234" << 401 << QByteArray("Digest ");
    QTest::newRow("no credentials") << kDigestDevice << false << ""
                                    << ""
                                    << "" << 401 << QByteArray("Digest ");
    QTest::newRow("basic right") << kBasicDevice << false << "basic"
                                 << "root"
                                 << "Pass1234" << 200 << QByteArray();
    QTest::newRow("basic right over https") << kBasicDevice << true << "basic"
                                            << "root"
                                            << "Pass1234" << 200 << QByteArray();
    QTest::newRow("basic wrong password") << kBasicDevice << false << "basic"
                                          << "root"
                                          << "pass1234" << 401 << QByteArray("Basic realm=");
    QTest::newRow("basic password with colon") << kBasicDevice << false << "basic"
                                               << "root"
                                               << "Pass1234:" << 401 << QByteArray("Basic realm=");
}

void tst_DeviceSimAuth::credentials()
{
    QFETCH(QString, ip);
    QFETCH(bool, https);
    QFETCH(QString, scheme);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(int, status);
    QFETCH(QByteArray, challenge);
    const CCurl::SResult r = scheme.isEmpty() ? CCurl::get(url(ip, https))
                                              : CCurl::get(url(ip, https), user, password, scheme);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.status, status);
    if (status == 200)
        QVERIFY(r.body.startsWith("system_info_modelname='"));
    else
        QVERIFY2(r.header("WWW-Authenticate").startsWith(challenge), r.headers.constData());
}

void tst_DeviceSimAuth::wrongCredentialsAreRefusedEveryTime()
{
    QByteArray previousNonce;
    for (int i = 0; i < 3; ++i) {
        const CCurl::SResult r = CCurl::get(url(kDigestDevice), "root", "nope");
        QCOMPARE(r.status, 401);
        const QByteArray nonce = param(r.header("WWW-Authenticate"), "nonce");
        QVERIFY(!nonce.isEmpty());
        QVERIFY(nonce != previousNonce);
        previousNonce = nonce;
    }
    // The right password still works afterwards: nothing locks the account.
    QCOMPARE(CCurl::get(url(kDigestDevice), "root", "Pass1234").status, 200);
}

void tst_DeviceSimAuth::digestIsBoundToNonceAndUri_data()
{
    QTest::addColumn<bool>("forgeNonce");
    QTest::addColumn<QString>("signedUri");
    QTest::addColumn<int>("status");

    QTest::newRow("genuine") << false << kPath << 200;
    QTest::newRow("forged nonce") << true << kPath << 401;
    QTest::newRow("digest for another uri")
        << false << "/cgi-bin/admin/getparam.cgi?system_info_serialnumber" << 401;
}

void tst_DeviceSimAuth::digestIsBoundToNonceAndUri()
{
    QFETCH(bool, forgeNonce);
    QFETCH(QString, signedUri);
    QFETCH(int, status);
    const CCurl::SResult challenge = CCurl::get(url(kDigestDevice));
    const QByteArray header = challenge.header("WWW-Authenticate");
    const QByteArray realm = param(header, "realm");
    QByteArray nonce = param(header, "nonce");
    if (forgeNonce)
        nonce = QByteArray(nonce.size(), 'a');
    const QByteArray cnonce = "0a4f113b", nc = "00000001";
    const QByteArray ha1 = md5("root:" + realm + ":Pass1234");
    const QByteArray ha2 = md5("GET:" + signedUri.toLatin1());
    const QByteArray response = md5(ha1 + ":" + nonce + ":" + nc + ":" + cnonce + ":auth:" + ha2);
    const QByteArray authorization = "Authorization: Digest username=\"root\", realm=\"" + realm +
                                     "\", nonce=\"" + nonce + "\", uri=\"" + signedUri.toLatin1() +
                                     "\", qop=auth, nc=" + nc + ", cnonce=\"" + cnonce +
                                     "\", response=\"" + response + "\", algorithm=MD5";
    const CCurl::SResult r =
        CCurl::run({"-H", QString::fromLatin1(authorization), url(kDigestDevice)});
    QCOMPARE(r.status, status);
}

void tst_DeviceSimAuth::passwordChangedBySetParam()
{
    QCOMPARE(
        CCurl::run({"--basic", "-u", "root:Pass1234", "--data", "security_user_i0_pass=New%26Pass1",
                    url(kBasicDevice, false, "/cgi-bin/admin/setparam.cgi")})
            .status,
        200);
    QCOMPARE(CCurl::get(url(kBasicDevice), "root", "Pass1234", "basic").status, 401);
    QCOMPARE(CCurl::get(url(kBasicDevice), "root", "New&Pass1", "basic").status, 200);
    // The password is an account, never a readable parameter.
    QVERIFY(!CCurl::get(url(kBasicDevice, false, "/cgi-bin/admin/getparam.cgi?security"), "root",
                        "New&Pass1", "basic")
                 .body.contains("New&Pass1"));
}

QTEST_GUILESS_MAIN(tst_DeviceSimAuth)
#include "tst_DeviceSimAuth.moc"
