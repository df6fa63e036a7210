// Socket operations and the socket transport against real loopback TCP and UDP peers.
#include "MoravelTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mvtest;
using namespace std::chrono_literals;

namespace {

class SocketTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        std::tie(client, server) = tcpPair();
        fcntl(server, F_SETFL, fcntl(server, F_GETFL) | O_NONBLOCK);
    }
    void TearDown() override
    {
        if (client >= 0) {
            close(client);
        }
        if (server >= 0) {
            close(server);
        }
    }
    bool waitCalls(size_t n, std::chrono::milliseconds limit = 3000ms)
    {
        return agent.until([&] { return collector.count() >= n; }, limit);
    }
    AgentHolder agent{GetParam()};
    Collector collector;
    int client = -1;
    int server = -1;
};

std::string threadName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "OwnThread" : "CallerDriven";
}

TEST_P(SocketTest, ReadWaitsForAllBytesOrAnyBytesByMode)
{
    struct Case
    {
        uint32_t length;
        uint32_t mode;
        std::vector<std::string> chunks;
        uintptr_t expected;
    };
    const Case cases[] = {
        {11, 0, {"hello", " world"}, 11},
        {100, 1, {"abc"}, 3},
    };
    for (const auto& c : cases) {
        Collector local;
        std::vector<char> buf(c.length + 1, 0);
        MoravelToken t{};
        ASSERT_EQ(SMO_SocketRead_Init(agent.get(), &t, Collector::callback, &local, server,
                                      c.length, buf.data(), c.mode),
                  0);
        std::string all;
        for (const auto& chunk : c.chunks) {
            ASSERT_EQ(send(client, chunk.data(), chunk.size(), 0), (ssize_t)chunk.size());
            all += chunk;
            agent.until([] { return false; }, 20ms); // let a partial chunk arrive alone
        }
        ASSERT_TRUE(agent.until([&] { return local.count() == 1; }, 3000ms));
        auto call = local.calls()[0];
        EXPECT_EQ(call.status, 0);
        EXPECT_EQ(call.value, c.expected);
        EXPECT_EQ(std::string(buf.data(), call.value), all.substr(0, c.expected));
        EXPECT_NE(t.stamp, 0u); // moving data touches the token
    }
}

TEST_P(SocketTest, WriteMovesEveryByteEvenWhenTheSocketBufferFills)
{
    std::vector<uint8_t> data(4 * 1024 * 1024);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7);
    }
    MoravelToken t{};
    ASSERT_EQ(SMO_SocketWrite_Init(agent.get(), &t, Collector::callback, &collector, server,
                                   static_cast<uint32_t>(data.size()), data.data(), 0),
              0);
    std::vector<uint8_t> got(data.size());
    std::atomic<bool> read{false};
    std::thread reader([&] { read = readAll(client, got.data(), got.size(), 10000ms); });
    ASSERT_TRUE(waitCalls(1, 10000ms));
    reader.join();
    EXPECT_TRUE(read.load());
    EXPECT_EQ(got, data);
    EXPECT_EQ(collector.calls()[0].value, data.size());
    EXPECT_EQ(collector.calls()[0].status, 0);
}

TEST_P(SocketTest, SilentPeerEndsReadWithIdleTimeout)
{
    char buf[8];
    MoravelToken t{0, 150, 0, 0};
    STATOKEN_TouchToken(&t);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(
        SMO_SocketRead_Init(agent.get(), &t, Collector::callback, &collector, server, 8, buf, 0),
        0);
    ASSERT_TRUE(waitCalls(1));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    EXPECT_EQ(collector.calls()[0].status, MORAVEL_E_IDLE_TIMEOUT);
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()) & MORAVEL_ECHO_SOCKETS, 0);
}

TEST_P(SocketTest, PeerCloseEndsReadWithClosed)
{
    char buf[8];
    MoravelToken t{};
    ASSERT_EQ(
        SMO_SocketRead_Init(agent.get(), &t, Collector::callback, &collector, server, 8, buf, 0),
        0);
    ASSERT_EQ(send(client, "abc", 3, 0), 3);
    close(client);
    client = -1;
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.calls()[0].status, MORAVEL_E_CLOSED);
    EXPECT_EQ(collector.calls()[0].value, 3u); // what did arrive is still reported
}

TEST_P(SocketTest, RemovedSocketOperationIsCancelledOrDroppedSilently)
{
    char buf[8];
    MoravelToken a{0, 0, 11, 0}, b{0, 0, 12, 0};
    Collector::Tagged ta{&collector, 1}, tb{&collector, 2};
    ASSERT_EQ(
        SMO_SocketRead_Init(agent.get(), &a, Collector::taggedCallback, &ta, server, 8, buf, 0), 0);
    ASSERT_EQ(
        SMO_SocketRead_Init(agent.get(), &b, Collector::taggedCallback, &tb, server, 8, buf, 0), 0);
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), MORAVEL_ECHO_SOCKETS);
    ASSERT_EQ(agent.runOnLoop([](MoravelAgent* ag) {
        return SCHEAGENT_RemoveSocketOperToken(ag, 0, 11) |
               SCHEAGENT_RemoveToken(ag, MORAVEL_REMOVE_SILENT, 12);
    }),
              0);
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.tags(), std::vector<int>{1});
    EXPECT_EQ(collector.calls()[0].status, MORAVEL_E_CANCELLED);
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), 0);
}

TEST_P(SocketTest, ClosedDescriptorReportsInvalidSocket)
{
    char buf[8];
    MoravelToken t{};
    int fd = dup(server);
    close(fd); // a number that is no longer a socket
    ASSERT_EQ(SMO_SocketRead_Init(agent.get(), &t, Collector::callback, &collector, fd, 8, buf, 0),
              0);
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.calls()[0].status, MORAVEL_E_BAD_SOCKET);
}

TEST_P(SocketTest, DescriptorsAbove1023Work)
{
    rlimit rl{};
    getrlimit(RLIMIT_NOFILE, &rl);
    if (rl.rlim_cur < 2100 && rl.rlim_max >= 2100) {
        rl.rlim_cur = 2100;
        setrlimit(RLIMIT_NOFILE, &rl);
    }
    std::vector<int> filler;
    for (int i = 0; i < 2000; ++i) {
        int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            break;
        }
        filler.push_back(fd);
    }
    ASSERT_EQ(filler.size(), 2000u) << "cannot open enough descriptors";
    auto [c, s] = tcpPair();
    EXPECT_GT(s, 1023);
    char buf[5] = {};
    MoravelToken t{};
    ASSERT_EQ(SMO_SocketRead_Init(agent.get(), &t, Collector::callback, &collector, s, 5, buf, 0),
              0);
    ASSERT_EQ(send(c, "hello", 5, 0), 5);
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.calls()[0].status, 0);
    EXPECT_EQ(std::string(buf, 5), "hello");
    close(c);
    close(s);
    for (int fd : filler) {
        close(fd);
    }
}

TEST_P(SocketTest, TransportServesInitialDataThroughTimerThenTheSocket)
{
    MoravelTransport* tr = nullptr;
    ASSERT_EQ(SOCK_TO_COMM_TI(&tr, agent.get(), server, 0, 10, "0123456789", 0), 0);
    server = -1; // owned by the transport now
    ASSERT_EQ(send(client, "SOCKET", 6, 0), 6);
    char buf[16] = {};
    MoravelToken t{};
    // 4 bytes come from the initial data alone: the socket's bytes stay where they are.
    ASSERT_EQ(COMMON_TI_ReadData(tr, &t, Collector::callback, &collector, 4, buf, 0), 0);
    if (!agent.ownThread()) {
        EXPECT_EQ(collector.count(), 0u); // completes through a timer, never inside the call
    }
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.calls()[0].value, 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
    // The rest of the initial data, then the socket, in one read of mode 0.
    ASSERT_EQ(COMMON_TI_ReadData(tr, &t, Collector::callback, &collector, 10, buf, 0), 0);
    ASSERT_TRUE(waitCalls(2));
    EXPECT_EQ(collector.calls()[1].status, 0);
    EXPECT_EQ(collector.calls()[1].value, 10u);
    EXPECT_EQ(std::string(buf, 10), "456789SOCK");
    EXPECT_EQ(COMMON_TI_Release(&tr), 0);
    EXPECT_EQ(tr, nullptr);
}

TEST_P(SocketTest, ByteLimitDeliversExactlyThenAnswersOnceAndReportsClosed)
{
    MoravelTransport* tr = nullptr;
    ASSERT_EQ(SOCK_TO_COMM_TI(&tr, agent.get(), server, 0, 30, std::string(30, 'i').data(), 100),
              0);
    server = -1;
    std::string body(150, 'b');
    ASSERT_EQ(send(client, body.data(), body.size(), 0), 150);
    std::vector<char> buf(200);
    MoravelToken t{};
    ASSERT_EQ(COMMON_TI_ReadData(tr, &t, Collector::callback, &collector, 200, buf.data(), 0), 0);
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.calls()[0].status, 0);
    EXPECT_EQ(collector.calls()[0].value, 100u);
    // At the limit: the fixed answer goes out once, and every read reports closed.
    EXPECT_EQ(COMMON_TI_ReadData(tr, &t, Collector::callback, &collector, 10, buf.data(), 0),
              MORAVEL_E_CLOSED);
    uint32_t got = 5;
    int err = 0;
    EXPECT_EQ(COMMON_TI_ReadDataDirect(tr, buf.data(), 10, &got, &err), MORAVEL_E_CLOSED);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(COMMON_TI_ReadData(tr, &t, Collector::callback, &collector, 10, buf.data(), 1),
              MORAVEL_E_CLOSED);
    const std::string answer =
        "HTTP/1.0 200 OK\r\nContent-Length: 1\r\nContent-Type: text/html\r\n\r\n1";
    ASSERT_EQ(answer.size(), 64u);
    std::string seen(64, '\0');
    ASSERT_TRUE(readAll(client, seen.data(), 64, 2000ms));
    EXPECT_EQ(seen, answer);
    char extra;
    EXPECT_FALSE(readAll(client, &extra, 1, 100ms)); // sent once only
    EXPECT_EQ(COMMON_TI_Release(&tr), 0);
    agent.until([] { return false; }, 20ms);
    EXPECT_EQ(collector.count(), 1u); // refused reads never call back
}

TEST_P(SocketTest, DirectReadAndWriteMoveWhatIsThereNow)
{
    MoravelTransport* tr = nullptr;
    ASSERT_EQ(SOCK_TO_COMM_TI(&tr, agent.get(), server, 1, 0, nullptr, 0), 0);
    server = -1;
    char buf[16];
    uint32_t n = 99;
    int err = -1;
    EXPECT_EQ(COMMON_TI_ReadDataDirect(tr, buf, sizeof(buf), &n, &err), 0);
    EXPECT_EQ(n, 0u); // nothing there: no failure
    uint32_t written = 0;
    EXPECT_EQ(COMMON_TI_WriteDataDirect(tr, "ping", 4, &written, &err), 0);
    EXPECT_EQ(written, 4u);
    char in[4];
    ASSERT_TRUE(readAll(client, in, 4, 2000ms));
    EXPECT_EQ(std::string(in, 4), "ping");
    ASSERT_EQ(send(client, "pong", 4, 0), 4);
    pollfd p{COMMON_TI_GetSocket(tr), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    EXPECT_EQ(COMMON_TI_ReadDataDirect(tr, buf, sizeof(buf), &n, &err), 0);
    EXPECT_EQ(std::string(buf, n), "pong");
    close(client);
    client = -1;
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    EXPECT_EQ(COMMON_TI_ReadDataDirect(tr, buf, sizeof(buf), &n, &err), MORAVEL_E_CLOSED);
    EXPECT_EQ(COMMON_TI_Release(&tr), 0);
}

TEST_P(SocketTest, QueuedWriteAndConnectedWaitThroughTheTransport)
{
    MoravelTransport* tr = nullptr;
    ASSERT_EQ(SOCK_TO_COMM_TI(&tr, agent.get(), server, 0, 0, nullptr, 0), 0);
    server = -1;
    MoravelToken t{};
    ASSERT_EQ(COMMON_TI_WaitConnected(tr, &t, Collector::callback, &collector), 0);
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.calls()[0].status, 0);
    ASSERT_EQ(COMMON_TI_WriteData(tr, &t, Collector::callback, &collector, 5, "hello"), 0);
    ASSERT_TRUE(waitCalls(2));
    EXPECT_EQ(collector.calls()[1].value, 5u);
    char in[5];
    ASSERT_TRUE(readAll(client, in, 5, 2000ms));
    EXPECT_EQ(std::string(in, 5), "hello");
    EXPECT_EQ(COMMON_TI_Release(&tr), 0);
}

TEST_P(SocketTest, AcceptWrapsStreamAndDatagramConnections)
{
    // Stream listener.
    Listener l;
    MoravelTransport* listener = nullptr;
    ASSERT_EQ(SOCK_TO_COMM_TI(&listener, agent.get(), dup(l.fd), 0, 0, nullptr, 0), 0);
    MoravelAcceptContext ctx{0, reinterpret_cast<MoravelTransport*>(1)};
    MoravelToken t{};
    ASSERT_EQ(
        SMO_SocketAccept_Init(agent.get(), &t, Collector::callback, &collector, listener, &ctx), 0);
    EXPECT_EQ(ctx.transport, nullptr);
    int c = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(l.port);
    ASSERT_EQ(connect(c, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
    ASSERT_TRUE(waitCalls(1));
    EXPECT_EQ(collector.calls()[0].status, 0);
    ASSERT_NE(ctx.transport, nullptr);
    uint32_t w = 0;
    int err = 0;
    EXPECT_EQ(COMMON_TI_WriteDataDirect(ctx.transport, "hi", 2, &w, &err), 0);
    char in[2];
    ASSERT_TRUE(readAll(c, in, 2, 2000ms));
    EXPECT_EQ(std::string(in, 2), "hi");
    close(c);
    COMMON_TI_Release(&ctx.transport);
    COMMON_TI_Release(&listener);

    // Datagram listener: the first datagram is kept as the new transport's first bytes.
    int u = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    socklen_t len = sizeof(a);
    a.sin_port = 0;
    ASSERT_EQ(bind(u, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
    getsockname(u, reinterpret_cast<sockaddr*>(&a), &len);
    ASSERT_EQ(SOCK_TO_COMM_TI(&listener, agent.get(), u, 0, 0, nullptr, 0), 0);
    MoravelAcceptContext dctx{};
    ASSERT_EQ(
        SMO_SocketAccept_Init(agent.get(), &t, Collector::callback, &collector, listener, &dctx),
        0);
    int peer = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(connect(peer, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
    ASSERT_EQ(send(peer, "first", 5, 0), 5);
    ASSERT_TRUE(waitCalls(2));
    EXPECT_EQ(collector.calls()[1].status, 0);
    ASSERT_NE(dctx.transport, nullptr);
    char dbuf[5] = {};
    ASSERT_EQ(COMMON_TI_ReadData(dctx.transport, &t, Collector::callback, &collector, 5, dbuf, 0),
              0);
    ASSERT_TRUE(waitCalls(3));
    EXPECT_EQ(std::string(dbuf, 5), "first");
    EXPECT_EQ(COMMON_TI_WriteDataDirect(dctx.transport, "back", 4, &w, &err), 0);
    char back[4];
    ASSERT_TRUE(readAll(peer, back, 4, 2000ms));
    EXPECT_EQ(std::string(back, 4), "back");
    close(peer);
    COMMON_TI_Release(&dctx.transport);
    COMMON_TI_Release(&listener);
}

TEST_P(SocketTest, ReleasingATransportDropsItsQueuedOperations)
{
    MoravelTransport* tr = nullptr;
    ASSERT_EQ(SOCK_TO_COMM_TI(&tr, agent.get(), server, 0, 0, nullptr, 0), 0);
    int number = server;
    server = -1;
    char buf[8];
    MoravelToken t{};
    ASSERT_EQ(COMMON_TI_ReadData(tr, &t, Collector::callback, &collector, 8, buf, 0), 0);
    agent.until([] { return false; }, 20ms); // the read is now waiting inside the loop
    EXPECT_EQ(COMMON_TI_Release(&tr), 0);
    // The descriptor number goes to a new socket that has data: the old read must not see it.
    auto [c, s] = tcpPair();
    ASSERT_EQ(send(c, "12345678", 8, 0), 8);
    agent.until([] { return false; }, 50ms);
    EXPECT_EQ(collector.count(), 0u) << "descriptor " << number << " reused as " << s;
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()) & MORAVEL_ECHO_SOCKETS, 0);
    close(c);
    close(s);
}

INSTANTIATE_TEST_SUITE_P(Sockets, SocketTest, ::testing::Bool(), threadName);

TEST(TransportDispatch, MissingTransportAnswersNotAvailable)
{
    MoravelToken t{};
    char buf[4];
    uint32_t n = 0;
    int err = 0;
    MoravelTransport* none = nullptr;
    EXPECT_EQ(COMMON_TI_ReadData(nullptr, &t, Collector::callback, nullptr, 4, buf, 0),
              MORAVEL_E_NOTAVAILABLE);
    EXPECT_EQ(COMMON_TI_ReadDataDirect(nullptr, buf, 4, &n, &err), MORAVEL_E_NOTAVAILABLE);
    EXPECT_EQ(COMMON_TI_WriteData(nullptr, &t, Collector::callback, nullptr, 4, buf),
              MORAVEL_E_NOTAVAILABLE);
    EXPECT_EQ(COMMON_TI_WriteDataDirect(nullptr, buf, 4, &n, &err), MORAVEL_E_NOTAVAILABLE);
    EXPECT_EQ(COMMON_TI_WaitConnected(nullptr, &t, Collector::callback, nullptr),
              MORAVEL_E_NOTAVAILABLE);
    EXPECT_EQ(COMMON_TI_Release(&none), MORAVEL_E_NOTAVAILABLE);
    EXPECT_EQ(COMMON_TI_Release(nullptr), MORAVEL_E_NOTAVAILABLE);
    EXPECT_EQ(COMMON_TI_GetSocket(nullptr), -1);
}

} // namespace
