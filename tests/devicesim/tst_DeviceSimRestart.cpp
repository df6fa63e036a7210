// Restarts: the downtime after system_reset, network settings applied at the restart, firmware
// upgrades that bring a new version, and factory restores.
#include "CCurl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QtTest>

namespace {
const QString kPassword = QStringLiteral("ardmere1");

QString url(const QString& ip, const QString& path, int port = 18080)
{
    return QStringLiteral("http://%1:%2%3").arg(ip).arg(port).arg(path);
}

CCurl::SResult authed(const QStringList& args)
{
    return CCurl::run(QStringList{"--digest", "-u", "root:" + kPassword} + args);
}

QByteArray firmwareOf(const QString& ip, int port = 18080)
{
    return authed({url(ip, "/cgi-bin/admin/getparam.cgi?system_info_firmwareversion", port)}).body;
}

// Restarts are short in these tests, so they are seen through the device's restart count
// rather than by catching the "restarting" state.
bool waitForRestart(CDeviceSimulator& sim, const QString& ip, int restartsBefore)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        const QJsonObject d = sim.device(ip);
        if (d["restarts"].toInt() > restartsBefore && d["state"] == "online")
            return true;
        QThread::msleep(50);
    }
    return false;
}

CCurl::SResult setParam(const QString& ip, const QString& body)
{
    return authed({"--data", body, url(ip, "/cgi-bin/admin/setparam.cgi")});
}
} // namespace

class tst_DeviceSimRestart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resetGoesAwayAndComesBack();
    void networkSettingsTakeEffectAtRestart_data();
    void networkSettingsTakeEffectAtRestart();
    void addressOutsideLoopbackIsUnreachable();
    void firmwareUpload_data();
    void firmwareUpload();
    void restore_data();
    void restore();

private:
    CDeviceSimulator m_sim;
};

void tst_DeviceSimRestart::initTestCase()
{
    QVERIFY2(
        m_sim.start({"--count", "8", "--recorders", "1", "--first-ip", "127.0.14.1", "--http-port",
                     "18080", "--https-port", "18443", "--restart-ms", "400", "--dhcp-first",
                     "127.0.14.101", "--discovery-port", QString::number(CFreePort::udp())}),
        qPrintable(m_sim.errorString()));
}

void tst_DeviceSimRestart::resetGoesAwayAndComesBack()
{
    const QString ip = "127.0.14.1";
    // Long enough to be seen away for certain.
    QVERIFY(m_sim.setState(ip, {{"restartMs", 3000}}));
    const CCurl::SResult reply = setParam(ip, "system_reset=1");
    QCOMPARE(reply.status, 200);
    QVERIFY(m_sim.waitForState(ip, "restarting", 3000));
    // Nothing listens while it restarts: curl's "could not connect".
    QCOMPARE(
        CCurl::get(url(ip, "/cgi-bin/admin/getparam.cgi?system_info_firmwareversion")).exitCode, 7);
    QVERIFY(m_sim.waitForState(ip, "online", 5000));
    QCOMPARE(firmwareOf(ip), QByteArray("system_info_firmwareversion='QD8182-QXOR-0104a'\r\n"));
    QCOMPARE(m_sim.device(ip)["restarts"].toInt(), 1);
}

void tst_DeviceSimRestart::networkSettingsTakeEffectAtRestart_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("newIp");
    QTest::addColumn<int>("newPort");

    QTest::newRow("fixed address") << "127.0.14.2"
                                   << "network_type=lan&network_ipaddress=127.0.14.52&"
                                      "network_subnet=255.255.255.0&network_router=127.0.14.254&"
                                      "network_resetip=0"
                                   << "127.0.14.52" << 18080;
    QTest::newRow("dhcp") << "127.0.14.3"
                          << "network_type=lan&network_resetip=1"
                          << "127.0.14.103" << 18080;
    QTest::newRow("http port") << "127.0.14.4"
                               << "network_http_port=18081"
                               << "127.0.14.4" << 18081;
}

void tst_DeviceSimRestart::networkSettingsTakeEffectAtRestart()
{
    QFETCH(QString, ip);
    QFETCH(QString, body);
    QFETCH(QString, newIp);
    QFETCH(int, newPort);
    QCOMPARE(setParam(ip, body).status, 200);
    // Stored, not yet applied: the device still answers where it was.
    QCOMPARE(
        CCurl::get(url(ip, "/cgi-bin/admin/getparam.cgi?system_info_modelname"), "root", kPassword)
            .status,
        200);
    const int restartsBefore = m_sim.device(ip)["restarts"].toInt();
    QCOMPARE(setParam(ip, "system_reset=1").status, 200);
    QVERIFY(waitForRestart(m_sim, newIp, restartsBefore));
    QVERIFY(!firmwareOf(newIp, newPort).isEmpty());
    const CCurl::SResult address =
        authed({url(newIp, "/cgi-bin/admin/getparam.cgi?network_ipaddress", newPort)});
    QCOMPARE(address.body, QStringLiteral("network_ipaddress='%1'\r\n").arg(newIp).toLatin1());
    if (newIp != ip)
        QCOMPARE(CCurl::get(url(ip, "/")).exitCode, 7);
    if (newPort != 18080)
        QCOMPARE(CCurl::get(url(newIp, "/", 18080)).exitCode, 7);
}

void tst_DeviceSimRestart::addressOutsideLoopbackIsUnreachable()
{
    const QString ip = "127.0.14.5";
    QCOMPARE(setParam(ip, "network_ipaddress=10.0.0.11&network_resetip=0&system_reset=1").status,
             200);
    QVERIFY(m_sim.waitForState("10.0.0.11", "unreachable", 5000));
    QVERIFY(m_sim.device("10.0.0.11")["lastError"].toString().contains("127.0.0.0/8"));
    QCOMPARE(CCurl::get(url(ip, "/")).exitCode, 7);
    // Moving it back through the control interface brings it home.
    QVERIFY(m_sim.setState("10.0.0.11", {{"ip", ip}}));
    QCOMPARE(m_sim.device(ip)["state"].toString(), QStringLiteral("online"));
}

void tst_DeviceSimRestart::firmwareUpload_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("firmwareAfter"); // empty: refused

    QTest::newRow("camera upgrade")
        << "127.0.14.6"
        << "/cgi-bin/admin/upgrade.cgi"
        << "fimage"
        << "QB9365-QXOR-0205c.pkg" << QByteArray(20000, 'x') << QByteArray("QB9365-QXOR-0205c");
    QTest::newRow("recorder upgrade")
        << "127.0.14.8"
        << "/cgi-bin/admin/system.upgrade"
        << "file"
        << "NR9782-QXOR-0300.bin" << QByteArray("firmware") << QByteArray("NR9782-QXOR-0300");
    QTest::newRow("another model's file")
        << "127.0.14.7"
        << "/cgi-bin/admin/upgrade.cgi"
        << "fimage"
        << "QB9365-QXOR-0205c.pkg" << QByteArray("firmware") << QByteArray();
    QTest::newRow("empty file") << "127.0.14.7"
                                << "/cgi-bin/admin/upgrade.cgi"
                                << "fimage"
                                << "QZ9185-QXOR-0205c.pkg" << QByteArray() << QByteArray();
    QTest::newRow("wrong part name")
        << "127.0.14.7"
        << "/cgi-bin/admin/upgrade.cgi"
        << "file"
        << "QZ9185-QXOR-0205c.pkg" << QByteArray("firmware") << QByteArray();
}

void tst_DeviceSimRestart::firmwareUpload()
{
    QFETCH(QString, ip);
    QFETCH(QString, path);
    QFETCH(QString, part);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, firmwareAfter);
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(content);
    file.flush();
    const QByteArray before = firmwareOf(ip);
    const int restartsBefore = m_sim.device(ip)["restarts"].toInt();
    const CCurl::SResult r =
        authed({"-F", part + "=@" + file.fileName() + ";filename=" + fileName, url(ip, path)});
    if (firmwareAfter.isEmpty()) {
        QVERIFY2(r.body.contains("Upgrade firmware failed"), r.body.constData());
        QCOMPARE(m_sim.device(ip)["state"].toString(), QStringLiteral("online"));
        QCOMPARE(firmwareOf(ip), before);
        return;
    }
    QCOMPARE(r.status, 200);
    QVERIFY2(r.body.startsWith("OK"), r.body.constData());
    QVERIFY(waitForRestart(m_sim, ip, restartsBefore));
    QCOMPARE(firmwareOf(ip), "system_info_firmwareversion='" + firmwareAfter + "'\r\n");
    const QJsonArray received = m_sim.lastReceived(ip);
    bool seen = false;
    for (const QJsonValue& v : received)
        for (const QJsonValue& p : v.toObject()["parts"].toArray())
            seen = seen || (p.toObject()["fileName"] == fileName &&
                            p.toObject()["size"].toInt() == content.size());
    QVERIFY(seen);
}

void tst_DeviceSimRestart::restore_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("keepsNetwork");

    QTest::newRow("everything") << "system_restore=1" << false;
    QTest::newRow("except network and language")
        << "system_restoreexceptnet=1&system_restoreexceptlang=1" << true;
}

void tst_DeviceSimRestart::restore()
{
    QFETCH(QString, body);
    QFETCH(bool, keepsNetwork);
    const QJsonObject added = m_sim.addDevice({{"ip", "127.0.14.30"}});
    QVERIFY(!added.isEmpty());
    const QString ip = "127.0.14.30";
    QCOMPARE(setParam(ip, "system_hostname=Changed&system_language=Deutsch&"
                          "network_ipaddress=127.0.14.31&network_resetip=0&"
                          "zapk_module_save2sd=0")
                 .status,
             200);
    QCOMPARE(setParam(ip, body).status, 200);
    const QString after = keepsNetwork ? "127.0.14.31" : ip;
    QVERIFY(waitForRestart(m_sim, after, 0));
    const QJsonObject device = m_sim.device(after);
    QCOMPARE(device["firstUse"].toBool(), true);
    // Factory mode is open again; its getparam shows which values survived.
    const CCurl::SResult r = CCurl::get(url(after, "/factorymode/cgi-bin/admin/getparam.cgi?"
                                                   "system_hostname&system_language&"
                                                   "zapk_module_save2sd"));
    QCOMPARE(r.status, 200);
    QVERIFY2(
        r.body.contains(keepsNetwork ? "system_language='Deutsch'" : "system_language='English'"),
        r.body.constData());
    QVERIFY(!r.body.contains("Changed"));
    QVERIFY(r.body.contains("zapk_module_save2sd='1'"));
    QVERIFY(m_sim.removeDevice(after));
}

QTEST_GUILESS_MAIN(tst_DeviceSimRestart)
#include "tst_DeviceSimRestart.moc"
