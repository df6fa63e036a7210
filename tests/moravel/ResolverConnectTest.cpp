// The DNS client against dnsmasq from Debian and scripted UDP servers on loopback, and the
// connect operation (address, "localhost", refused port, a name with only an AAAA record).
#include "MoravelTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <memory>
#include <unistd.h>

using namespace mvtest;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> kRecords = {
    "host-record=cam1.test,10.1.2.3",
    "host-record=v6only.test,::1",
    "host-record=both.test,10.4.5.6,2001:db8::42",
    "host-record=short.corp.test,10.9.8.7",
    "cname=alias.test,cam1.test",
    "cname=alias2.test,alias.test",
};

struct ResolveCase
{
    const char* name;
    const char* host;
    int32_t status;
    const char* ipv4;
    const char* ipv6;
};

// One dnsmasq serving kRecords for every case of a suite.
template <typename Param> class WithDnsmasq : public ::testing::TestWithParam<Param>
{
protected:
    static void SetUpTestSuite() { dns = new Dnsmasq(kRecords); }
    static void TearDownTestSuite()
    {
        delete dns;
        dns = nullptr;
    }
    static Dnsmasq* dns;
};
template <typename Param> Dnsmasq* WithDnsmasq<Param>::dns = nullptr;

class DnsmasqResolve : public WithDnsmasq<ResolveCase>
{
};

TEST_P(DnsmasqResolve, AnswersFromARealServer)
{
    ASSERT_TRUE(dns->ready()) << "dnsmasq did not start";
    const ResolveCase& c = GetParam();
    ResolvConf conf({dns->server()}, "corp.test");
    AgentHolder agent(true);
    Collector collector;
    MoravelResolveRequest req{};
    std::strncpy(req.host, c.host, sizeof(req.host) - 1);
    MoravelResolveResult res;
    std::memset(&res, 0x5A, sizeof(res));
    MoravelToken t{0, 500, 0, 0};
    STATOKEN_TouchToken(&t);
    ASSERT_EQ(SMO_ResolveIP_Init(agent.get(), &t, Collector::callback, &collector, &req, &res), 0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 10000ms));
    EXPECT_EQ(collector.calls()[0].status, c.status);
    EXPECT_EQ(collector.calls()[0].token, &t);
    if (c.status == 0) {
        // Whichever query answered first fills its own fields; the other stays empty.
        std::string v4 = res.ipv4Text, v6 = res.ipv6Text;
        EXPECT_TRUE(v4 == c.ipv4 || v6 == c.ipv6) << v4 << " / " << v6;
        if (!v4.empty()) {
            EXPECT_EQ(v4, c.ipv4);
            in_addr_t expect = inet_addr(c.ipv4);
            EXPECT_EQ(res.ipv4, expect);
        }
        if (!v6.empty()) {
            EXPECT_EQ(v6, c.ipv6);
        }
    }
    agent.until([] { return false; }, 20ms);
    EXPECT_EQ(collector.count(), 1u); // exactly one callback
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), 0);
}

const ResolveCase kResolveCases[] = {
    {"A", "cam1.test", 0, "10.1.2.3", ""},
    {"CnameThenA", "alias.test", 0, "10.1.2.3", ""},
    {"TwoCnamesThenA", "alias2.test", 0, "10.1.2.3", ""},
    {"AaaaOnly", "v6only.test", 0, "", "0000:0000:0000:0000:0000:0000:0000:0001"},
    {"Both", "both.test", 0, "10.4.5.6", "2001:0db8:0000:0000:0000:0000:0000:0042"},
    {"DomainAppended", "short", 0, "10.9.8.7", ""},
    // dnsmasq without upstream refuses unknown names: two failed answers from one server.
    {"Unknown", "nothing.invalid", MORAVEL_E_IDLE_TIMEOUT, "", ""},
};

INSTANTIATE_TEST_SUITE_P(Resolver, DnsmasqResolve, ::testing::ValuesIn(kResolveCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Scripted servers: how the failures of several servers are counted.
using Behaviour = std::function<std::vector<uint8_t>(const std::vector<uint8_t>&, int,
                                                     std::chrono::milliseconds&)>;

std::vector<uint8_t> garbage(const std::vector<uint8_t>&, int, std::chrono::milliseconds&)
{
    return {0xde, 0xad, 0xbe, 0xef, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
}

// Garbage to the AAAA query at once, a good A answer 300 ms later.
std::vector<uint8_t> lateGoodA(const std::vector<uint8_t>& q, int, std::chrono::milliseconds& d)
{
    if (queryType(q) == 28) {
        return garbage(q, 0, d);
    }
    d = 300ms;
    return dnsAnswer(q, {{1, {192, 0, 2, 7}}});
}

std::vector<uint8_t> formatError(const std::vector<uint8_t>& q, int, std::chrono::milliseconds&)
{
    return dnsAnswer(q, {}, 1);
}

// A good answer cut short in the middle of its address.
std::vector<uint8_t> truncatedA(const std::vector<uint8_t>& q, int, std::chrono::milliseconds&)
{
    auto a = dnsAnswer(q, {{1, {192, 0, 2, 7}}});
    a.resize(a.size() - 2);
    return a;
}

// An answer whose record owner is a compression pointer to itself.
std::vector<uint8_t> pointerLoop(const std::vector<uint8_t>& q, int, std::chrono::milliseconds&)
{
    auto a = dnsAnswer(q, {{1, {192, 0, 2, 7}}});
    a[q.size()] = 0xC0;
    a[q.size() + 1] = static_cast<uint8_t>(q.size());
    return a;
}

std::vector<uint8_t> silent(const std::vector<uint8_t>&, int, std::chrono::milliseconds&)
{
    return {};
}

struct CountCase
{
    const char* name;
    std::vector<Behaviour> servers;
    uint32_t idleMs;
    int32_t status;
    int answered; // datagrams the servers must have answered before the end
};

class FailureCounting : public ::testing::TestWithParam<CountCase>
{
};

TEST_P(FailureCounting, FailsOnlyAfterTwiceAsManyFailedAnswersAsServers)
{
    const CountCase& c = GetParam();
    std::vector<std::unique_ptr<ScriptedDns>> servers;
    std::vector<std::string> names;
    for (const auto& b : c.servers) {
        servers.push_back(std::make_unique<ScriptedDns>(b));
        names.push_back(servers.back()->server());
    }
    ResolvConf conf(names);
    AgentHolder agent(true);
    Collector collector;
    MoravelResolveRequest req{};
    std::strcpy(req.host, "camera.example");
    MoravelResolveResult res{};
    MoravelToken t{0, c.idleMs, 0, 0};
    STATOKEN_TouchToken(&t);
    ASSERT_EQ(SMO_ResolveIP_Init(agent.get(), &t, Collector::callback, &collector, &req, &res), 0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 10000ms));
    EXPECT_EQ(collector.calls()[0].status, c.status);
    if (c.status == 0) {
        EXPECT_STREQ(res.ipv4Text, "192.0.2.7");
    }
    int total = 0;
    for (const auto& s : servers) {
        total += s->queries();
    }
    EXPECT_GE(total, c.answered);
}

const CountCase kCountCases[] = {
    {"OneGarbageServerFailsAfterTwo", {garbage}, 0, MORAVEL_E_IDLE_TIMEOUT, 2},
    {"TwoGarbageServersFailAfterFour", {garbage, garbage}, 0, MORAVEL_E_IDLE_TIMEOUT, 4},
    // Three failed answers out of four allowed: the late good answer still wins.
    {"ThreeFailuresStillResolve", {garbage, lateGoodA}, 0, 0, 4},
    {"RcodeOneEndsAtOnce", {formatError, lateGoodA}, 0, MORAVEL_E_DNS_FORMAT, 1},
    {"TruncatedAnswersFail", {truncatedA, truncatedA}, 0, MORAVEL_E_IDLE_TIMEOUT, 4},
    {"PointerLoopAnswersFail", {pointerLoop}, 0, MORAVEL_E_IDLE_TIMEOUT, 2},
    {"SilentServersTimeOut", {silent, silent}, 200, MORAVEL_E_IDLE_TIMEOUT, 0},
};

INSTANTIATE_TEST_SUITE_P(Resolver, FailureCounting, ::testing::ValuesIn(kCountCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Resolver, RefusesToStartWithoutServersOrName)
{
    TempDir dir;
    setenv("MORAVEL_RESOLV_CONF", dir.write("empty.conf", "# no servers\n").c_str(), 1);
    AgentHolder agent(true);
    unsetenv("MORAVEL_RESOLV_CONF");
    Collector collector;
    MoravelResolveRequest req{};
    std::strcpy(req.host, "cam1.test");
    MoravelResolveResult res{};
    MoravelToken t{};
    EXPECT_EQ(SMO_ResolveIP_Init(agent.get(), &t, Collector::callback, &collector, &req, &res),
              MORAVEL_E_NO_DNS_SERVER);

    ResolvConf conf({"127.0.0.1#9"});
    AgentHolder agent2(true);
    for (const char* bad : {"", "a..b",
                            "label-longer-than-sixty-three-characters-is-not-a-dns-"
                            "label-at-all.test"}) {
        std::memset(req.host, 0, sizeof(req.host));
        std::strcpy(req.host, bad);
        EXPECT_EQ(SMO_ResolveIP_Init(agent2.get(), &t, Collector::callback, &collector, &req, &res),
                  MORAVEL_E_INVALIDARG)
            << bad;
    }
    agent2.until([] { return false; }, 20ms);
    EXPECT_EQ(collector.count(), 0u);
}

TEST(Resolver, RemovingTheTokenCancelsTheJob)
{
    ScriptedDns server(silent);
    ResolvConf conf({server.server()});
    AgentHolder agent(true);
    Collector collector;
    MoravelResolveRequest req{};
    std::strcpy(req.host, "camera.example");
    MoravelResolveResult res{};
    MoravelToken t{0, 0, 4242, 0};
    ASSERT_EQ(SMO_ResolveIP_Init(agent.get(), &t, Collector::callback, &collector, &req, &res), 0);
    ASSERT_TRUE(agent.until([&] { return server.queries() >= 1; }, 3000ms));
    EXPECT_EQ(SCHEAGENT_RemoveToken(agent.get(), 0, 4242), 0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 3000ms));
    EXPECT_EQ(collector.calls()[0].status, MORAVEL_E_CANCELLED);
    agent.until([] { return false; }, 50ms);
    EXPECT_EQ(collector.count(), 1u);
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), 0);
}

// ---- connect ----

struct ConnCase
{
    const char* name;
    const char* host; // "" : the listener's own address
    bool v6Listener;
    bool refused;
    int32_t status;
};

class Connect : public WithDnsmasq<std::tuple<bool, ConnCase>>
{
};

TEST_P(Connect, ConnectsOrReportsWhy)
{
    ASSERT_TRUE(dns->ready());
    const ConnCase& c = std::get<1>(GetParam());
    if (c.v6Listener && !ipv6Loopback()) {
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    Listener listener(c.v6Listener);
    uint16_t port = listener.port;
    std::unique_ptr<Listener> closed;
    if (c.refused) {
        closed = std::make_unique<Listener>(c.v6Listener);
        port = closed->port;
        close(closed->fd);
        closed->fd = -1;
    }
    // "localhost" must not query DNS: its agent has a server that never answers.
    ScriptedDns mute(silent);
    bool local = std::strcmp(c.host, "localhost") == 0 || SMO_SocketConn_IsIPFormat(c.host);
    ResolvConf conf({local ? mute.server() : dns->server()});
    AgentHolder agent(std::get<0>(GetParam()));
    Collector collector;
    MoravelConnParams p{};
    p.port = port;
    std::strcpy(p.host, c.host);
    MoravelTransport* tr = reinterpret_cast<MoravelTransport*>(1);
    MoravelToken t{0, 3000, 0, 0};
    STATOKEN_TouchToken(&t);
    ASSERT_EQ(SMO_SocketConn_Init(agent.get(), &t, Collector::callback, &collector, &p, &tr), 0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 8000ms));
    EXPECT_EQ(collector.calls()[0].status, c.status);
    if (c.status == 0) {
        ASSERT_NE(tr, nullptr);
        int peer = listener.acceptOne(2000ms);
        ASSERT_GE(peer, 0);
        uint32_t w = 0;
        int err = 0;
        EXPECT_EQ(COMMON_TI_WriteDataDirect(tr, "x", 1, &w, &err), 0);
        char in;
        EXPECT_TRUE(readAll(peer, &in, 1, 2000ms));
        close(peer);
        EXPECT_EQ(COMMON_TI_Release(&tr), 0);
    } else {
        EXPECT_EQ(tr, nullptr);
    }
    EXPECT_EQ(mute.queries(), 0);
}

const ConnCase kConnCases[] = {
    {"Address", "127.0.0.1", false, false, 0},
    {"Localhost", "localhost", false, false, 0},
    {"IPv6Address", "0:0:0:0:0:0:0:1", true, false, 0},
    {"RefusedPort", "127.0.0.1", false, true, MORAVEL_E_CONNECT_FAILED},
    {"NameWithOnlyAaaa", "v6only.test", true, false, 0},
    {"NameWithoutAddress", "nothing.invalid", false, false, MORAVEL_E_NO_ADDRESS},
};

INSTANTIATE_TEST_SUITE_P(Connect, Connect,
                         ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kConnCases)),
                         [](const auto& info) {
                             return std::string(std::get<1>(info.param).name) +
                                    (std::get<0>(info.param) ? "OwnThread" : "CallerDriven");
                         });

TEST(ConnectArguments, BadParametersAreRefusedWithoutCallback)
{
    AgentHolder agent(false);
    Collector collector;
    MoravelToken t{};
    MoravelTransport* tr = nullptr;
    MoravelConnParams p{};
    p.port = 80;
    EXPECT_EQ(SMO_SocketConn_Init(agent.get(), &t, Collector::callback, &collector, &p, &tr),
              MORAVEL_E_INVALIDARG); // empty host
    std::strcpy(p.host, "127.0.0.1");
    p.port = 70000;
    EXPECT_EQ(SMO_SocketConn_Init(agent.get(), &t, Collector::callback, &collector, &p, &tr),
              MORAVEL_E_INVALIDARG);
    p.port = 80;
    std::memset(p.host, 'a', sizeof(p.host)); // not terminated
    EXPECT_EQ(SMO_SocketConn_Init(agent.get(), &t, Collector::callback, &collector, &p, &tr),
              MORAVEL_E_INVALIDARG);
    EXPECT_EQ(SMO_SocketConn_Init(agent.get(), &t, Collector::callback, &collector, &p, nullptr),
              MORAVEL_E_INVALIDARG);
    agent.until([] { return false; }, 20ms);
    EXPECT_EQ(collector.count(), 0u);
}

struct IpCase
{
    const char* text;
    bool isIp;
};

class IpFormat : public ::testing::TestWithParam<IpCase>
{
};

TEST_P(IpFormat, RecognisesAddressTexts)
{
    EXPECT_EQ(SMO_SocketConn_IsIPFormat(GetParam().text) != 0, GetParam().isIp) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Connect, IpFormat,
    ::testing::Values(
        IpCase{"192.168.1.10", true}, IpCase{"fe80::1:2:3", true}, IpCase{"FE80::ABCD", true},
        IpCase{"0.0.0.0", true}, IpCase{"1.2.3", false}, IpCase{"1.2.3.256", false},
        IpCase{"1.2.3.4.5", false}, IpCase{"fe80::1.2", false}, IpCase{"1234.1.1.1", false},
        IpCase{"a.b.c.d", false}, IpCase{"1..22.33", true}, // empty parts pass the check
        IpCase{"::1", false},                               // shorter than 7
        IpCase{nullptr, false}, IpCase{"1111:2222:3333:4444:5555:6666:7777:8888:9", false},
        IpCase{"fe80::1%eth0", false}));

} // namespace
