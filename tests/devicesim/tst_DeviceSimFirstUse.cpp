// The first-use state: every ordinary request is sent to the first-password page, factory mode
// answers the password policy, and editaccount sets the root password and ends the state.
#include "CCurl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QtTest>

namespace {
const QString kDevice = QStringLiteral("127.0.13.1");
const QString kCustomPolicy = QStringLiteral("127.0.13.2");

QString url(const QString& ip, const QString& path, bool https = false)
{
    return QStringLiteral("%1://%2:%3%4")
        .arg(https ? "https" : "http", ip, https ? "18443" : "18080", path);
}
} // namespace

class tst_DeviceSimFirstUse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ordinaryRequestsRedirect_data();
    void ordinaryRequestsRedirect();
    void factoryModeAnswersPolicy_data();
    void factoryModeAnswersPolicy();
    void malformedAccountRequestsChangeNothing_data();
    void malformedAccountRequestsChangeNothing();
    void editAccountEndsFirstUse();
    void restoreReturnsToFirstUse();

private:
    CDeviceSimulator m_sim;
};

void tst_DeviceSimFirstUse::initTestCase()
{
    QVERIFY2(m_sim.start({"--count", "2", "--factory-new", "2", "--first-ip", kDevice,
                          "--http-port", "18080", "--https-port", "18443", "--restart-ms", "300",
                          "--discovery-port", QString::number(CFreePort::udp())}),
             qPrintable(m_sim.errorString()));
    QVERIFY(m_sim.setState(kCustomPolicy,
                           {{"params", QJsonObject{{"layout_defaultpassword_type", "31"},
                                                   {"layout_defaultpassword_length", "10~32"}}}}));
}

void tst_DeviceSimFirstUse::ordinaryRequestsRedirect_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("https");
    QTest::addColumn<QString>("user");

    QTest::newRow("getparam, no credentials")
        << "/cgi-bin/admin/getparam.cgi?system_info" << false << "";
    QTest::newRow("getparam, pre-test credentials")
        << "/cgi-bin/admin/getparam.cgi?system_info" << false << "root";
    QTest::newRow("setparam over https") << "/cgi-bin/admin/setparam.cgi" << true << "root";
    QTest::newRow("unknown script") << "/cgi-bin/admin/nosuch.cgi" << false << "";
}

void tst_DeviceSimFirstUse::ordinaryRequestsRedirect()
{
    QFETCH(QString, path);
    QFETCH(bool, https);
    QFETCH(QString, user);
    const CCurl::SResult r = user.isEmpty() ? CCurl::get(url(kDevice, path, https))
                                            : CCurl::get(url(kDevice, path, https), user, "");
    QCOMPARE(r.status, 302);
    const QByteArray location = r.header("Location");
    QVERIFY2(location.contains("factorymode/configure_password"), location.constData());
    QVERIFY2(location.startsWith((https ? "https://" : "http://") + kDevice.toLatin1() + ":"),
             location.constData());
}

void tst_DeviceSimFirstUse::factoryModeAnswersPolicy_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("default policy")
        << kDevice
        << QByteArray("layout_defaultpassword_type='5'\r\n"
                      "layout_defaultpassword_length='8~64'\r\n"
                      "layout_defaultpassword_specialcharacter='!\\%\\-\\.@\\^_~'\r\n");
    QTest::newRow("device's own policy")
        << kCustomPolicy
        << QByteArray("layout_defaultpassword_type='31'\r\n"
                      "layout_defaultpassword_length='10~32'\r\n"
                      "layout_defaultpassword_specialcharacter='!\\%\\-\\.@\\^_~'\r\n");
}

void tst_DeviceSimFirstUse::factoryModeAnswersPolicy()
{
    QFETCH(QString, ip);
    QFETCH(QByteArray, expected);
    const CCurl::SResult r =
        CCurl::get(url(ip, "/factorymode/cgi-bin/admin/getparam.cgi?"
                           "layout_defaultpassword_type&layout_defaultpassword_length&"
                           "layout_defaultpassword_specialcharacter"));
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body, expected);
}

void tst_DeviceSimFirstUse::malformedAccountRequestsChangeNothing_data()
{
    QTest::addColumn<QString>("query");
    QTest::newRow("no password") << "method=edit&username=root";
    QTest::newRow("empty password") << "method=edit&userpass=&username=root";
    QTest::newRow("other user") << "method=edit&userpass=Abcdef12&username=admin";
    QTest::newRow("other method") << "method=add&userpass=Abcdef12&username=root";
}

void tst_DeviceSimFirstUse::malformedAccountRequestsChangeNothing()
{
    QFETCH(QString, query);
    QCOMPARE(CCurl::get(url(kCustomPolicy, "/factorymode/cgi-bin/admin/editaccount.cgi?" + query))
                 .status,
             400);
    QCOMPARE(m_sim.device(kCustomPolicy)["firstUse"].toBool(), true);
}

void tst_DeviceSimFirstUse::editAccountEndsFirstUse()
{
    // A password with characters that need encoding arrives decoded.
    const CCurl::SResult set =
        CCurl::get(url(kDevice, "/factorymode/cgi-bin/admin/"
                                "editaccount.cgi?method=edit&userpass=Ab1%26x%25y!&username=root"));
    QCOMPARE(set.status, 200);
    const QJsonObject state = m_sim.device(kDevice);
    QCOMPARE(state["firstUse"].toBool(), false);
    QCOMPARE(state["password"].toString(), QStringLiteral("Ab1&x%y!"));

    QCOMPARE(CCurl::get(url(kDevice, "/cgi-bin/admin/getparam.cgi?system_info_modelname"), "root",
                        "Ab1&x%y!")
                 .status,
             200);
    QCOMPARE(
        CCurl::get(url(kDevice, "/cgi-bin/admin/getparam.cgi?system_info_modelname"), "root", "")
            .status,
        401);
    // Factory mode is gone once the password is set.
    QCOMPARE(CCurl::get(url(kDevice, "/factorymode/cgi-bin/admin/"
                                     "editaccount.cgi?method=edit&userpass=Other123&username=root"))
                 .status,
             404);
    QCOMPARE(m_sim.device(kDevice)["password"].toString(), QStringLiteral("Ab1&x%y!"));
}

void tst_DeviceSimFirstUse::restoreReturnsToFirstUse()
{
    QVERIFY(m_sim.setState(kDevice, {{"firstUse", false}, {"password", "Secret99"}}));
    QCOMPARE(CCurl::run({"--digest", "-u", "root:Secret99", "--data", "system_restoreexceptnet=1",
                         url(kDevice, "/cgi-bin/admin/setparam.cgi")})
                 .status,
             200);
    QVERIFY(m_sim.waitForState(kDevice, "restarting", 5000));
    QVERIFY(m_sim.waitForState(kDevice, "online", 5000));
    QCOMPARE(m_sim.device(kDevice)["firstUse"].toBool(), true);
    QCOMPARE(CCurl::get(url(kDevice, "/cgi-bin/admin/getparam.cgi?system_info"), "root", "Secret99")
                 .status,
             302);
}

QTEST_GUILESS_MAIN(tst_DeviceSimFirstUse)
#include "tst_DeviceSimFirstUse.moc"
