#include "CAliasIpCtrl.h"
#include "CInterfaceList.h"
#include "CNetnsFixture.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

const QString kNeighbour = QStringLiteral("169.254.0.0 lladdr ff:ff:ff:ff:ff:ff PERMANENT");

// The signals in the order they reached this thread. Worker signals arrive queued, as in QML.
class SignalLog : public QObject
{
public:
    explicit SignalLog(CAliasIpCtrl& ctrl)
    {
        const auto record = [this](const char* name) { return [this, name] { names << name; }; };
        connect(&ctrl, &CAliasIpCtrl::aliasIpAdded, this, record("added"), Qt::QueuedConnection);
        connect(&ctrl, &CAliasIpCtrl::aliasIpAddFailed, this, record("failed"),
                Qt::QueuedConnection);
        connect(&ctrl, &CAliasIpCtrl::addAliasIpFinished, this, record("finished"),
                Qt::QueuedConnection);
        connect(&ctrl, &CAliasIpCtrl::aliasIpDeleted, this, record("deleted"),
                Qt::QueuedConnection);
    }
    QStringList names;
};

// Holds the address count of a running add until released, so that a test can act while the add
// is certainly still running.
struct Gate
{
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;

    void release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
    void pass()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return open; });
    }
};

CNetworkControl::Options quickOptions()
{
    CNetworkControl::Options options;
    options.checkInterval = std::chrono::milliseconds(10);
    return options;
}

QString recorded(const QString& name)
{
    return QSettings("Ardmere", "Ardmere")
        .value(CNetworkControl::settingsKey(CNetnsFixture::interfaceIndex(name)))
        .toString();
}

void record(const QString& name, const QString& value)
{
    QSettings settings("Ardmere", "Ardmere");
    settings.setValue(CNetworkControl::settingsKey(CNetnsFixture::interfaceIndex(name)), value);
}

QStringList linkLocal(const QString& name)
{
    return CNetnsFixture::addresses(name).filter(QRegularExpression("^169\\.254\\."));
}

bool run(const QStringList& commands)
{
    for (const QString& command : commands) {
        if (!CNetnsFixture::ip(command))
            return false;
    }
    return true;
}

} // namespace

// The alias controller against the kernel, inside a private network namespace: veth interfaces
// with the addresses of each case, the settings record in a private folder.
class TestAliasIpCtrl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!CNetnsFixture::insideTestNamespace())
            QSKIP("needs the private network namespace of run-in-netns.sh");
        QVERIFY(CNetnsFixture::addVeth("ardm0"));
        QVERIFY(CNetnsFixture::addVeth("ardm1"));
    }

    void init()
    {
        CNetnsFixture::ip("-4 addr flush dev ardm0");
        CNetnsFixture::ip("-4 addr flush dev ardm1");
        for (const char* name : {"ardm0", "ardm0p", "ardm1", "ardm1p"}) {
            CNetnsFixture::ip(QString("-4 neigh flush dev %1 nud permanent").arg(name));
            CNetnsFixture::ip(QString("-4 route flush dev %1").arg(name));
        }
        CNetnsFixture::removeLink("ardtun0");
        if (!CNetnsFixture::addresses("lo").contains("127.0.0.1/8"))
            CNetnsFixture::ip("addr add 127.0.0.1/8 dev lo");
        QSettings("Ardmere", "Ardmere").remove("aliasip");
    }

    void aliasesOnUsableInterfaces_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QStringList>("aliased");
        QTest::addColumn<QStringList>("untouched");
        QTest::newRow("address without gateway") << QStringList{"addr add 10.77.0.2/24 dev ardm0"}
                                                 << QStringList{"ardm0"} << QStringList{"ardm1"};
        QTest::newRow("address in the gateway's subnet")
            << QStringList{"addr add 10.77.0.2/24 dev ardm0",
                           "route add default via 10.77.0.1 dev ardm0"}
            << QStringList{"ardm0"} << QStringList{"ardm1"};
        QTest::newRow("two interfaces")
            << QStringList{"addr add 10.77.0.2/24 dev ardm0", "addr add 10.78.0.2/24 dev ardm1"}
            << QStringList{"ardm0", "ardm1"} << QStringList{};
        QTest::newRow("interface with a link-local address already")
            << QStringList{"addr add 10.77.0.2/24 dev ardm0", "addr add 169.254.5.5/16 dev ardm0",
                           "addr add 10.78.0.2/24 dev ardm1"}
            << QStringList{"ardm1"} << QStringList{"ardm0"};
        // A tunnel is point-to-point like PPP: nobody answers at a link-local address behind it.
        QTest::newRow("point-to-point link")
            << QStringList{"addr add 10.77.0.2/24 dev ardm0", "tuntap add dev ardtun0 mode tun",
                           "link set ardtun0 up", "addr add 10.90.0.2/24 dev ardtun0"}
            << QStringList{"ardm0"} << QStringList{"ardtun0"};
        // Loopback's address is part of the table the interfaces are counted from; without it a
        // single entry counts no interface at all.
        QTest::newRow("single entry in the address table")
            << QStringList{"-4 addr flush dev lo", "addr add 10.77.0.2/24 dev ardm0"}
            << QStringList{} << QStringList{"ardm0", "ardm1"};
    }

    void aliasesOnUsableInterfaces()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, aliased);
        QFETCH(QStringList, untouched);
        QVERIFY(run(setup));
        QMap<QString, QStringList> before;
        for (const QString& name : untouched)
            before[name] = CNetnsFixture::addresses(name);

        auto ctrl = std::make_unique<CAliasIpCtrl>(quickOptions());
        QCOMPARE(ctrl->constuctionErr(), CAliasIpCtrl::Ok);
        SignalLog log(*ctrl);
        QVERIFY(ctrl->addAliasIp());
        QTRY_COMPARE(log.names, (QStringList{"added", "finished"}));

        const QRegularExpression alias("^169\\.254\\.([0-9]+)\\.([0-9]+)/16$");
        for (const QString& name : aliased) {
            const QStringList added = linkLocal(name);
            QCOMPARE(added.size(), 1);
            const QRegularExpressionMatch match = alias.match(added[0]);
            QVERIFY2(match.hasMatch(), qPrintable(added[0]));
            for (int octet = 1; octet <= 2; ++octet) {
                QVERIFY(match.captured(octet).toInt() >= 1);
                QVERIFY(match.captured(octet).toInt() <= 253);
            }
            QCOMPARE(recorded(name) + "/16", added[0]);
            QVERIFY(CNetnsFixture::neighbours(name).contains(kNeighbour));
        }
        for (const QString& name : untouched) {
            QCOMPARE(CNetnsFixture::addresses(name), before[name]);
            QCOMPARE(recorded(name), QString());
        }
        // Every interface gets the neighbour entry, aliased or not.
        QVERIFY(CNetnsFixture::neighbours("ardm1p").contains(kNeighbour));

        ctrl.reset();
        for (const QString& name : aliased) {
            QCOMPARE(linkLocal(name), QStringList());
            QCOMPARE(recorded(name), QString());
            QVERIFY(!CNetnsFixture::neighbours(name).contains(kNeighbour));
        }
        for (const QString& name : untouched)
            QCOMPARE(CNetnsFixture::addresses(name), before[name]);
    }

    void noUsableAddress_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::newRow("no IPv4 address") << QStringList{};
        QTest::newRow("only outside the gateway's subnet") << QStringList{
            "addr add 10.77.0.2/24 dev ardm0", "route add default via 10.99.0.1 dev ardm0 onlink"};
    }

    void noUsableAddress()
    {
        QFETCH(QStringList, setup);
        QVERIFY(run(setup));
        CAliasIpCtrl ctrl(quickOptions());
        QCOMPARE(ctrl.constuctionErr(), CAliasIpCtrl::InternetErr);
        QVERIFY(!ctrl.isValid());
        SignalLog log(ctrl);
        QVERIFY(!ctrl.addAliasIp());
        QTRY_COMPARE(log.names, (QStringList{"failed", "finished"}));
        QVERIFY(!ctrl.deleteAliasIp());
        QTest::qWait(20);
        QCOMPARE(log.names, (QStringList{"failed", "finished"}));
        QCOMPARE(linkLocal("ardm0"), QStringList());
    }

    // A run that crashed or was killed left an alias and its record; the next start removes it,
    // even if it never adds aliases itself.
    void aliasOfAnEndedRunRemovedAtConstruction()
    {
        QVERIFY(run({"addr add 10.77.0.2/24 dev ardm0", "addr add 169.254.7.9/16 dev ardm0"}));
        record("ardm0", "169.254.7.9");
        record("ardm1", "169.254.8.8"); // already gone from its interface
        CAliasIpCtrl ctrl(quickOptions());
        QCOMPARE(CNetnsFixture::addresses("ardm0"), QStringList{"10.77.0.2/24"});
        QCOMPARE(recorded("ardm0"), QString());
        QCOMPARE(recorded("ardm1"), QString());
        QVERIFY(
            QSettings("Ardmere", "Ardmere")
                .contains(CNetworkControl::settingsKey(CNetnsFixture::interfaceIndex("ardm0"))));
    }

    // The record names an address the interface held when the table was built: the add removes
    // it first, and the interface then counts as one without a link-local address.
    void staleRecordedAliasRemovedBeforeAdding()
    {
        QVERIFY(run({"addr add 10.77.0.2/24 dev ardm0", "addr add 169.254.7.9/16 dev ardm0"}));
        CAliasIpCtrl ctrl(quickOptions());
        record("ardm0", "169.254.7.9");
        SignalLog log(ctrl);
        QVERIFY(ctrl.addAliasIp());
        QTRY_COMPARE(log.names, (QStringList{"added", "finished"}));
        const QStringList now = linkLocal("ardm0");
        QCOMPARE(now.size(), 1);
        QVERIFY(now[0] != "169.254.7.9/16");
        QCOMPARE(recorded("ardm0") + "/16", now[0]);
    }

    void requestsWhileAnAddRuns()
    {
        QVERIFY(run({"addr add 10.77.0.2/24 dev ardm0"}));
        auto gate = std::make_shared<Gate>();
        CNetworkControl::Options options = quickOptions();
        options.countAddresses = [gate](int& count) {
            gate->pass();
            return CInterfaceList::countIpv4Addresses(count);
        };
        CAliasIpCtrl ctrl(options);
        SignalLog log(ctrl);
        QVERIFY(ctrl.addAliasIp());
        QVERIFY(!ctrl.deleteAliasIp());
        QVERIFY(!ctrl.addAliasIp());
        QTRY_COMPARE(log.names, (QStringList{"failed", "finished"}));
        QCOMPARE(linkLocal("ardm0"), QStringList());

        gate->release();
        QTRY_COMPARE(log.names, (QStringList{"failed", "finished", "added", "finished"}));
        QCOMPARE(linkLocal("ardm0").size(), 1);

        QVERIFY(ctrl.deleteAliasIp());
        QTRY_COMPARE(log.names.size(), 5);
        QCOMPARE(log.names.last(), QString("deleted"));
        QCOMPARE(linkLocal("ardm0"), QStringList());
        QCOMPARE(recorded("ardm0"), QString());
        QVERIFY(!CNetnsFixture::neighbours("ardm0").contains(kNeighbour));
    }

    void addThatCannotBeConfirmed_data()
    {
        QTest::addColumn<int>("countResult");
        QTest::newRow("address never shows up") << 0;
        QTest::newRow("address count unreadable") << -EIO;
    }

    // Each address that does not show up is withdrawn; after the last attempt the add fails and
    // nothing is left on the interface or in the record.
    void addThatCannotBeConfirmed()
    {
        QFETCH(int, countResult);
        QVERIFY(run({"addr add 10.77.0.2/24 dev ardm0"}));
        auto calls = std::make_shared<std::atomic<int>>(0);
        CNetworkControl::Options options = quickOptions();
        options.attempts = 3;
        options.checks = 2;
        options.countAddresses = [calls, countResult](int& count) {
            ++*calls;
            count = 1;
            return countResult;
        };
        auto ctrl = std::make_unique<CAliasIpCtrl>(options);
        SignalLog log(*ctrl);
        QVERIFY(ctrl->addAliasIp());
        QTRY_COMPARE(log.names, (QStringList{"failed", "finished"}));
        QCOMPARE(linkLocal("ardm0"), QStringList());
        QCOMPARE(recorded("ardm0"), QString());
        // Before each attempt, and each check of it; an unreadable count ends the first attempt.
        QCOMPARE(calls->load(), countResult == 0 ? 3 * (1 + 2) : 1);
        ctrl.reset();
        QVERIFY(!CNetnsFixture::neighbours("ardm0").contains(kNeighbour));
    }
};

QTEST_GUILESS_MAIN(TestAliasIpCtrl)
#include "tst_aliasipctrl.moc"
