// Where the server listens, and the timer that runs delayed messages. The protocol itself is
// exercised against the real program in the end-to-end tests.
#include "MyTimer.h"
#include "UIRemoteControl.h"

#include <QTcpServer>
#include <QtTest>

class TestUIRemoteControl : public QObject
{
    Q_OBJECT

private slots:
    void listenPort_data();
    void listenPort();
    void busyPortLeavesServerIdle();
    void timerRunsEachActionOnce();
};

namespace {

// A port nobody listens on right now.
quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool defaultPortFree()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::Any, UIRemoteControl::kDefaultPort);
}

} // namespace

void TestUIRemoteControl::listenPort_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("fallback");
    QTest::newRow("in range") << int(freePort()) << false;
    QTest::newRow("zero") << 0 << true;
    QTest::newRow("negative") << -1 << true;
    QTest::newRow("above range") << 65536 << true;
}

void TestUIRemoteControl::listenPort()
{
    QFETCH(int, port);
    QFETCH(bool, fallback);
    if (fallback && !defaultPortFree())
        QSKIP("the default port is in use on this machine");
    UIRemoteControl server(nullptr, nullptr, port);
    QVERIFY(server.isListening());
    QCOMPARE(int(server.serverPort()), fallback ? UIRemoteControl::kDefaultPort : port);
}

void TestUIRemoteControl::busyPortLeavesServerIdle()
{
    QTcpServer occupant;
    QVERIFY(occupant.listen(QHostAddress::Any, 0));
    UIRemoteControl server(nullptr, nullptr, occupant.serverPort());
    QVERIFY(!server.isListening());
}

void TestUIRemoteControl::timerRunsEachActionOnce()
{
    MyTimer timer;
    QStringList ran;
    QVERIFY(timer.start(30, [&] { ran << "late"; }));
    QVERIFY(timer.start(1, [&] {
        ran << "early";
        // An action may start the next one, as a delayed message leads to the next message.
        timer.start(1, [&] { ran << "chained"; });
    }));
    QTRY_COMPARE(ran.size(), 3);
    QVERIFY(ran.indexOf("early") < ran.indexOf("chained"));
    ran.sort();
    QCOMPARE(ran, (QStringList{"chained", "early", "late"}));
    QCOMPARE(timer.pendingCount(), 0);
}

QTEST_GUILESS_MAIN(TestUIRemoteControl)
#include "tst_uiremotecontrol.moc"
