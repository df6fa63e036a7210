// Discovery answers in the project's wire protocol: broadcast and unicast probes, answers from
// each device's own address, silence while a device is away and for anything but a probe.
#include "CCurl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include "pyxera_wire.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

namespace {
const QString kFirst = QStringLiteral("127.0.16.1");

struct SAnswer
{
    QString source;
    pxw_answer answer;
};
} // namespace

class tst_DeviceSimDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probes_data();
    void probes();
    void answerCarriesTheDevice();
    void silentWhileAway_data();
    void silentWhileAway();
    void ignoresWhatIsNotAProbe();

private:
    QList<SAnswer> probe(const QString& destination, uint32_t probeId, int listenMs,
                         const QByteArray& datagram = QByteArray());

    CDeviceSimulator m_sim;
    quint16 m_port = 0;
};

void tst_DeviceSimDiscovery::initTestCase()
{
    m_port = CFreePort::udp();
    QVERIFY2(m_sim.start({"--count", "5", "--recorders", "1", "--first-ip", kFirst, "--http-port",
                          "18080", "--https-port", "18443", "--discovery-port",
                          QString::number(m_port), "--restart-ms", "3000"}),
             qPrintable(m_sim.errorString()));
    // An address that looks like a broadcast address can still be one device's own.
    QVERIFY(!m_sim.addDevice({{"ip", "127.0.16.255"}}).isEmpty());
}

QList<SAnswer> tst_DeviceSimDiscovery::probe(const QString& destination, uint32_t probeId,
                                             int listenMs, const QByteArray& datagram)
{
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    QByteArray out = datagram;
    if (out.isEmpty()) {
        pxw_probe p{};
        p.probe_id = probeId;
        p.spread_ms = 200;
        out.resize(PXW_PROBE_SIZE);
        size_t length = 0;
        pxw_encode_probe(&p, out.data(), static_cast<size_t>(out.size()), &length);
    }
    socket.writeDatagram(out, QHostAddress(destination), m_port);
    QList<SAnswer> answers;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < listenMs) {
        socket.waitForReadyRead(50);
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = socket.receiveDatagram();
            SAnswer a;
            a.source = d.senderAddress().toString();
            if (pxw_decode_answer(d.data().constData(), static_cast<size_t>(d.data().size()),
                                  &a.answer) == PXW_OK &&
                a.answer.probe_id == probeId)
                answers << a;
        }
    }
    return answers;
}

void tst_DeviceSimDiscovery::probes_data()
{
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QStringList>("answering");

    QTest::newRow("loopback broadcast")
        << "127.255.255.255" << QStringList{"127.0.16.1", "127.0.16.2", "127.0.16.255",
                                            "127.0.16.3", "127.0.16.4", "127.0.16.5"};
    QTest::newRow("unicast to a device") << "127.0.16.3" << QStringList{"127.0.16.3"};
    QTest::newRow("unicast to a .255 device") << "127.0.16.255" << QStringList{"127.0.16.255"};
    QTest::newRow("unicast to no device") << "127.0.16.77" << QStringList{};
}

void tst_DeviceSimDiscovery::probes()
{
    QFETCH(QString, destination);
    QFETCH(QStringList, answering);
    const QList<SAnswer> answers = probe(destination, 0x1234u, 700);
    QStringList sources;
    for (const SAnswer& a : answers) {
        // Each answer leaves from the device's own address and names it.
        QCOMPARE(QString::fromLatin1(a.answer.ipv4), a.source);
        sources << a.source;
    }
    sources.sort();
    QCOMPARE(sources, answering);
}

void tst_DeviceSimDiscovery::answerCarriesTheDevice()
{
    const QList<SAnswer> answers = probe("127.0.16.5", 77, 600);
    QCOMPARE(answers.size(), 1);
    const pxw_answer& a = answers.first().answer;
    const QJsonObject device = m_sim.device("127.0.16.5");
    QCOMPARE(QString::fromLatin1(a.info), device["firmware"].toString());
    QCOMPARE(QString::fromLatin1(a.info), QStringLiteral("NR9782-QXOR-0104a"));
    QCOMPARE(QString::fromLatin1(a.model), QStringLiteral("NR9782"));
    const QByteArray mac(reinterpret_cast<const char*>(a.mac), 6);
    QCOMPARE(QString::fromLatin1(mac.toHex('-').toUpper()), device["mac"].toString());
    QCOMPARE(int(a.http_port), 18080);
    QCOMPARE(int(a.https_port), 18443);
}

void tst_DeviceSimDiscovery::silentWhileAway_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("restarting") << "restart";
    QTest::newRow("offline") << "offline";
}

void tst_DeviceSimDiscovery::silentWhileAway()
{
    QFETCH(QString, how);
    const QString ip = "127.0.16.2";
    if (how == "restart") {
        QCOMPARE(CCurl::run({"--digest", "-u", "root:ardmere1", "--data", "system_reset=1",
                             "http://" + ip + ":18080/cgi-bin/admin/setparam.cgi"})
                     .status,
                 200);
        QVERIFY(m_sim.waitForState(ip, "restarting", 3000));
    } else {
        QVERIFY(m_sim.setFault(ip, "offline"));
    }
    QVERIFY(probe(ip, 5, 500).isEmpty());
    QCOMPARE(probe("127.255.255.255", 6, 600).size(), 5);
    if (how == "restart")
        QVERIFY(m_sim.waitForState(ip, "online", 8000));
    else
        QVERIFY(m_sim.setFault(ip, "none"));
    QCOMPARE(probe(ip, 7, 500).size(), 1);
}

void tst_DeviceSimDiscovery::ignoresWhatIsNotAProbe()
{
    pxw_answer a{};
    a.probe_id = 9;
    std::snprintf(a.info, sizeof a.info, "QD8182-QXOR-0104a");
    std::snprintf(a.ipv4, sizeof a.ipv4, "127.0.16.1");
    QByteArray answer(PXW_ANSWER_MAX_SIZE, '\0');
    size_t length = 0;
    QCOMPARE(pxw_encode_answer(&a, answer.data(), answer.size(), &length), PXW_OK);
    answer.resize(static_cast<int>(length));
    const QByteArray wrongVersion = QByteArray("PYXR\x02\x01\0\0\x09\0\0\0\0\0\0\0", 16);
    for (const QByteArray& datagram :
         {answer, wrongVersion, QByteArray("PYXR"), QByteArray("hello devices")})
        QVERIFY(probe("127.255.255.255", 9, 400, datagram).isEmpty());
}

QTEST_GUILESS_MAIN(tst_DeviceSimDiscovery)
#include "tst_DeviceSimDiscovery.moc"
