#include "CInterfaceList.h"
#include "CNetlinkRoute.h"
#include "CNetnsFixture.h"

#include <QTest>
#include <arpa/inet.h>
#include <cerrno>
#include <linux/capability.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

uint32_t parse(const char* text)
{
    in_addr address{};
    inet_pton(AF_INET, text, &address);
    return ntohl(address.s_addr);
}

const uint8_t kBroadcast[6] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff};

bool listed(const std::vector<Ipv4AddressEntry>& table, int index, uint32_t address, int prefix)
{
    for (const Ipv4AddressEntry& entry : table) {
        if (entry.interfaceIndex == index && entry.address == address &&
            entry.prefixLength == prefix)
            return true;
    }
    return false;
}

} // namespace

// The rtnetlink and getifaddrs layer against the kernel itself, inside a private namespace; what
// it did is read back with iproute2.
class TestNetlinkRoute : public QObject
{
    Q_OBJECT

    int m_index = 0;

private slots:
    void initTestCase()
    {
        if (!CNetnsFixture::insideTestNamespace())
            QSKIP("needs the private network namespace of run-in-netns.sh");
    }

    void init()
    {
        QVERIFY(CNetnsFixture::addVeth("ardm0"));
        m_index = CNetnsFixture::interfaceIndex("ardm0");
        QVERIFY(m_index > 0);
    }

    void cleanup()
    {
        CNetnsFixture::removeLink("ardm0");
        CNetnsFixture::removeLink("ardm1");
    }

    void addAndDeleteAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<QString>("mask");
        QTest::newRow("link-local /16") << "169.254.23.7" << 16 << "255.255.0.0";
        QTest::newRow("private /24") << "10.77.0.2" << 24 << "255.255.255.0";
        QTest::newRow("host /32") << "192.0.2.9" << 32 << "255.255.255.255";
    }

    void addAndDeleteAddress()
    {
        QFETCH(QString, address);
        QFETCH(int, prefix);
        QFETCH(QString, mask);
        const uint32_t value = parse(address.toLatin1().constData());
        const QString shown = address + "/" + QString::number(prefix);
        int before = 0;
        QCOMPARE(CInterfaceList::countIpv4Addresses(before), 0);

        CNetlinkRoute netlink;
        QCOMPARE(netlink.addIpv4Address(m_index, value, prefix), 0);
        QCOMPARE(CNetnsFixture::addresses("ardm0"), QStringList{shown});
        std::vector<Ipv4AddressEntry> table;
        QCOMPARE(netlink.ipv4Addresses(table), 0);
        QVERIFY(listed(table, m_index, value, prefix));
        int after = 0;
        QCOMPARE(CInterfaceList::countIpv4Addresses(after), 0);
        QCOMPARE(after, before + 1);

        std::vector<InterfaceInfo> interfaces;
        QCOMPARE(CInterfaceList::list(interfaces), 0);
        bool seen = false;
        for (const InterfaceInfo& info : interfaces) {
            if (info.name != "ardm0")
                continue;
            QCOMPARE(info.index, m_index);
            QCOMPARE(info.ipv4.size(), size_t(1));
            QCOMPARE(info.ipv4[0].address, value);
            QCOMPARE(info.ipv4[0].netmask, parse(mask.toLatin1().constData()));
            seen = true;
        }
        QVERIFY(seen);

        QCOMPARE(netlink.addIpv4Address(m_index, value, prefix), -EEXIST);
        QCOMPARE(netlink.deleteIpv4Address(m_index, value, prefix), 0);
        QVERIFY(CNetnsFixture::addresses("ardm0").isEmpty());
        QCOMPARE(netlink.deleteIpv4Address(m_index, value, prefix), -EADDRNOTAVAIL);
    }

    void refusedRequests()
    {
        CNetlinkRoute netlink;
        const int missing = 999999;
        QCOMPARE(netlink.addIpv4Address(missing, parse("169.254.1.1"), 16), -ENODEV);
        QCOMPARE(netlink.addNeighbour(missing, parse("169.254.0.0"), kBroadcast, 6), -ENODEV);
        QCOMPARE(netlink.deleteNeighbour(m_index, parse("169.254.0.0")), -ENOENT);
    }

    void permanentNeighbourEntry()
    {
        CNetlinkRoute netlink;
        QCOMPARE(netlink.addNeighbour(m_index, parse("169.254.0.0"), kBroadcast, 6), 0);
        const QStringList entries = CNetnsFixture::neighbours("ardm0");
        QCOMPARE(entries.size(), 1);
        QVERIFY2(entries[0].contains("169.254.0.0 lladdr ff:ff:ff:ff:ff:ff PERMANENT"),
                 qPrintable(entries[0]));
        QCOMPARE(netlink.addNeighbour(m_index, parse("169.254.0.0"), kBroadcast, 6), -EEXIST);
        QCOMPARE(netlink.deleteNeighbour(m_index, parse("169.254.0.0")), 0);
        QVERIFY(CNetnsFixture::neighbours("ardm0").isEmpty());
    }

    // The alias step counts interfaces by where the table changes from one interface to the next,
    // which holds only when each interface's addresses come together.
    void addressTableGroupsEachInterface()
    {
        QVERIFY(CNetnsFixture::addVeth("ardm1"));
        const int other = CNetnsFixture::interfaceIndex("ardm1");
        CNetlinkRoute netlink;
        QCOMPARE(netlink.addIpv4Address(m_index, parse("10.77.0.2"), 24), 0);
        QCOMPARE(netlink.addIpv4Address(other, parse("10.78.0.2"), 24), 0);
        QCOMPARE(netlink.addIpv4Address(m_index, parse("10.79.0.2"), 24), 0);
        QCOMPARE(netlink.addIpv4Address(other, parse("10.80.0.2"), 24), 0);
        std::vector<Ipv4AddressEntry> table;
        QCOMPARE(netlink.ipv4Addresses(table), 0);
        std::vector<int> order;
        for (const Ipv4AddressEntry& entry : table) {
            if (order.empty() || order.back() != entry.interfaceIndex)
                order.push_back(entry.interfaceIndex);
        }
        std::vector<int> sortedUnique = order;
        std::sort(sortedUnique.begin(), sortedUnique.end());
        sortedUnique.erase(std::unique(sortedUnique.begin(), sortedUnique.end()),
                           sortedUnique.end());
        QCOMPARE(order.size(), sortedUnique.size());
    }

    void defaultGatewayOfTheMainTableOnly()
    {
        QVERIFY(CNetnsFixture::ip("addr add 10.77.0.2/24 dev ardm0"));
        QVERIFY(CNetnsFixture::ip("route add default via 10.77.0.1 dev ardm0"));
        QVERIFY(CNetnsFixture::ip("route add default via 10.77.0.9 dev ardm0 table 100"));
        std::vector<Ipv4Gateway> gateways;
        QCOMPARE(CNetlinkRoute().ipv4DefaultGateways(gateways), 0);
        QCOMPARE(gateways.size(), size_t(1));
        QCOMPARE(gateways[0].interfaceIndex, m_index);
        QCOMPARE(gateways[0].gateway, parse("10.77.0.1"));
        QVERIFY(CNetnsFixture::ip("route flush table 100"));
    }

    void interfaceDetails()
    {
        QString shown;
        QVERIFY(CNetnsFixture::ip("-o link show dev ardm0", &shown));
        std::vector<InterfaceInfo> interfaces;
        QCOMPARE(CInterfaceList::list(interfaces), 0);
        bool sawVeth = false;
        bool sawLoopback = false;
        for (const InterfaceInfo& info : interfaces) {
            if (info.name == "ardm0") {
                sawVeth = true;
                QCOMPARE(info.hardwareType, static_cast<unsigned short>(ARPHRD_ETHER));
                QCOMPARE(info.hardwareAddress.size(), size_t(6));
                QString mac;
                for (uint8_t byte : info.hardwareAddress)
                    mac += QString::asprintf("%s%02x", mac.isEmpty() ? "" : ":", byte);
                QVERIFY2(shown.contains("link/ether " + mac), qPrintable(shown));
                QVERIFY(info.flags & IFF_UP);
            } else if (info.name == "lo") {
                sawLoopback = (info.flags & IFF_LOOPBACK) != 0;
            }
        }
        QVERIFY(sawVeth);
        QVERIFY(sawLoopback);
    }

    // Without CAP_NET_ADMIN the kernel refuses, and the refusal comes back as -EPERM.
    void refusedWithoutNetAdmin()
    {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct data[2] = {};
            if (syscall(SYS_capget, &header, data) != 0)
                _exit(100);
            data[CAP_NET_ADMIN / 32].effective &= ~(1u << (CAP_NET_ADMIN % 32));
            if (syscall(SYS_capset, &header, data) != 0)
                _exit(101);
            const int result = CNetlinkRoute().addIpv4Address(m_index, parse("169.254.3.3"), 16);
            _exit(result == -EPERM ? 0 : 102);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(CNetnsFixture::addresses("ardm0").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNetlinkRoute)
#include "tst_netlinkroute.moc"
