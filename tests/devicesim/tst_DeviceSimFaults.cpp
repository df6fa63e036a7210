// Faults on request: each one seen from curl, over HTTP and HTTPS, and a device that recovers
// when its fault is cleared.
#include "CCurl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QtTest>

namespace {
const QString kDevice = QStringLiteral("127.0.15.1");
const QString kPath = QStringLiteral("/cgi-bin/admin/getparam.cgi?system_info_modelname");

QString url(bool https, const QString& path = kPath)
{
    return https ? QStringLiteral("https://%1:18443%2").arg(kDevice, path)
                 : QStringLiteral("http://%1:18080%2").arg(kDevice, path);
}

// curl's exit codes (man curl).
enum ECurlExit
{
    Ok = 0,
    CouldNotConnect = 7,
    PartialFile = 18,
    TimedOut = 28,
    TooManyRedirects = 47,
    EmptyReply = 52,
    RecvError = 56,
};
} // namespace

class tst_DeviceSimFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void faults_data();
    void faults();
    void pathLimitsTheFault();
    void deviceRecoversWhenFaultIsCleared();

private:
    CDeviceSimulator m_sim;
};

void tst_DeviceSimFaults::initTestCase()
{
    QVERIFY2(
        m_sim.start({"--count", "1", "--first-ip", kDevice, "--http-port", "18080", "--https-port",
                     "18443", "--discovery-port", QString::number(CFreePort::udp())}),
        qPrintable(m_sim.errorString()));
}

void tst_DeviceSimFaults::init()
{
    QVERIFY(m_sim.setFault(kDevice, "none"));
}

void tst_DeviceSimFaults::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QJsonObject>("params");
    QTest::addColumn<bool>("https");
    QTest::addColumn<QStringList>("curlArgs");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("bodyStart");

    const QStringList plain;
    const QStringList follow{"-L", "--max-redirs", "5"};
    const QStringList shortWait{"--max-time", "1"};
    for (bool https : {false, true}) {
        const char* s = https ? " https" : "";
        QTest::addRow("none%s", s) << "none" << QJsonObject() << https << plain << int(Ok) << 200
                                   << QByteArray("system_info_modelname='QD8182'");
        QTest::addRow("offline%s", s) << "offline" << QJsonObject() << https << plain
                                      << int(CouldNotConnect) << 0 << QByteArray();
        QTest::addRow("silent%s", s) << "silent" << QJsonObject() << https << shortWait
                                     << int(TimedOut) << 0 << QByteArray();
        QTest::addRow("slow, patient client%s", s)
            << "slow" << QJsonObject{{"delayMs", 1500}} << https << QStringList{"--max-time", "10"}
            << int(Ok) << 200 << QByteArray("system_info_modelname=");
        QTest::addRow("slow, hasty client%s", s)
            << "slow" << QJsonObject{{"delayMs", 3000}} << https << shortWait << int(TimedOut) << 0
            << QByteArray();
        QTest::addRow("status 503%s", s) << "status" << QJsonObject{{"status", 503}} << https
                                         << plain << int(Ok) << 503 << QByteArray("Error 503");
        QTest::addRow("redirect once, not followed%s", s)
            << "redirect-once" << QJsonObject() << https << plain << int(Ok) << 302 << QByteArray();
        QTest::addRow("redirect once, followed%s", s)
            << "redirect-once" << QJsonObject() << https << follow << int(Ok) << 200
            << QByteArray("system_info_modelname='QD8182'");
        QTest::addRow("redirect loop%s", s) << "redirect-loop" << QJsonObject() << https << follow
                                            << int(TooManyRedirects) << 302 << QByteArray();
        QTest::addRow("reset%s", s)
            << "reset" << QJsonObject() << https << plain << int(RecvError) << 0 << QByteArray();
        QTest::addRow("garbage%s", s) << "garbage" << QJsonObject() << https << plain << int(Ok)
                                      << 200 << QByteArray("\x00\x01\xff\xfe", 4);
        QTest::addRow("truncated%s", s)
            << "truncated" << QJsonObject() << https << plain << int(PartialFile) << 200
            << QByteArray("system_info_firmwareversion='");
        QTest::addRow("endless%s", s) << "endless" << QJsonObject() << https << shortWait
                                      << int(TimedOut) << 200 << QByteArray("xxxxxxxx");
        QTest::addRow("auth reject%s", s) << "auth-reject" << QJsonObject() << https << plain
                                          << int(Ok) << 401 << QByteArray("401");
    }
}

void tst_DeviceSimFaults::faults()
{
    QFETCH(QString, fault);
    QFETCH(QJsonObject, params);
    QFETCH(bool, https);
    QFETCH(QStringList, curlArgs);
    QFETCH(int, exitCode);
    QFETCH(int, status);
    QFETCH(QByteArray, bodyStart);
    QVERIFY2(m_sim.setFault(kDevice, fault, params), qPrintable(m_sim.errorString()));
    const CCurl::SResult r =
        CCurl::run(curlArgs + QStringList{"--digest", "-u", "root:ardmere1", url(https)});
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.status, status);
    QVERIFY2(r.body.startsWith(bodyStart), r.body.left(64).toHex().constData());
    if (fault == "endless")
        QVERIFY(r.body.size() > 64 * 1024); // it kept coming until the client gave up
    if (fault == "garbage")
        QVERIFY(!r.body.contains("='"));
    if (fault.startsWith("redirect") && !curlArgs.contains("-L"))
        QVERIFY(r.header("Location").contains("/redirected/cgi-bin/admin/getparam.cgi?"));
}

void tst_DeviceSimFaults::pathLimitsTheFault()
{
    QVERIFY(m_sim.setFault(kDevice, "status",
                           {{"status", 500}, {"path", "/cgi-bin/admin/setparam.cgi"}}));
    QCOMPARE(CCurl::get(url(false), "root", "ardmere1").status, 200);
    QCOMPARE(CCurl::run({"--digest", "-u", "root:ardmere1", "--data", "a=1",
                         url(false, "/cgi-bin/admin/setparam.cgi")})
                 .status,
             500);
}

void tst_DeviceSimFaults::deviceRecoversWhenFaultIsCleared()
{
    for (const char* fault : {"silent", "offline", "reset", "endless"}) {
        QVERIFY(m_sim.setFault(kDevice, fault));
        CCurl::run({"--max-time", "1", url(false)});
        QVERIFY(m_sim.setFault(kDevice, "none"));
        const CCurl::SResult r = CCurl::get(url(true), "root", "ardmere1");
        QCOMPARE(r.status, 200);
    }
    QCOMPARE(m_sim.device(kDevice)["state"].toString(), QStringLiteral("online"));
}

QTEST_GUILESS_MAIN(tst_DeviceSimFaults)
#include "tst_DeviceSimFaults.moc"
