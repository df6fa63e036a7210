// HTTPS through our TLS wrapper (openssl s_server), the agent without a usable wrapper, the
// HTTP tunnel and Base64 transports, and requests through squid.
#include "HttpPeers.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mvtest;
using namespace std::chrono;

namespace {

// An agent created while MORAVEL_TLS_WRAPPER names @p wrapper.
std::unique_ptr<AgentHolder> agentWithWrapper(const char* wrapper)
{
    setenv("MORAVEL_TLS_WRAPPER", wrapper, 1);
    auto a = std::make_unique<AgentHolder>(true);
    unsetenv("MORAVEL_TLS_WRAPPER");
    return a;
}

class Https : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_server = new TlsServer(); }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    static TlsServer* s_server;
};

TlsServer* Https::s_server = nullptr;

TEST_F(Https, GetThroughTheWrapper)
{
    ASSERT_TRUE(s_server->ready());
    AgentHolder agent(true);
    ASSERT_TRUE(SMO_SSL_Available(agent.get()));
    HttpOutcome o = runHttp(httpParams("127.0.0.1", s_server->port(), "/"), 1, 10000, agent.get());
    ASSERT_EQ(o.start, 0);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.status, 0) << std::hex << o.status;
    // s_server -www answers with a page describing the session.
    EXPECT_NE(o.body.find("Ciphers supported in s_server binary"), std::string::npos) << o.body;
}

struct VerifyCase
{
    const char* name;
    bool rightCa;
    int32_t status;
};

class HttpsVerify : public Https, public ::testing::WithParamInterface<VerifyCase>
{
};

TEST_P(HttpsVerify, ChecksThePeerAgainstTheLoadedCertificates)
{
    ASSERT_TRUE(s_server->ready());
    TempDir empty;
    AgentHolder agent(true);
    SMO_SSL_LoadVerifyLocation(agent.get(),
                               GetParam().rightCa ? s_server->caDir().c_str() : empty.path.c_str());
    HttpOutcome o = runHttp(httpParams("127.0.0.1", s_server->port(), "/"), 1, 10000, agent.get());
    ASSERT_EQ(o.start, 0);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.status, GetParam().status) << std::hex << o.status;
}

INSTANTIATE_TEST_SUITE_P(Ca, HttpsVerify,
                         ::testing::Values(VerifyCase{"TrustedCa", true, 0},
                                           VerifyCase{"UnknownCa", false, MORAVEL_E_TLS_HANDSHAKE}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpsPlain, PlainServerFailsTheHandshake)
{
    ScriptedHttp server([](const std::string&, int) { return ScriptedHttp::Reply{"HTTP/1.0 "}; });
    HttpOutcome o = runHttp(httpParams("127.0.0.1", server.port(), "/"), 1);
    ASSERT_EQ(o.start, 0);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_NE(o.status, 0);
}

struct WrapperCase
{
    const char* name;
    const char* path;
};

class WithoutTls : public ::testing::TestWithParam<WrapperCase>
{
};

TEST_P(WithoutTls, RefusesTlsAndStillServesPlainHttp)
{
    auto agent = agentWithWrapper(GetParam().path);
    EXPECT_FALSE(SMO_SSL_Available(agent->get()));
    EXPECT_EQ(SMO_SSL_LoadVerifyLocation(agent->get(), "/tmp"), MORAVEL_E_TLS_LOAD);
    ScriptedHttp server([](const std::string&, int) {
        return ScriptedHttp::Reply{"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"};
    });
    MoravelHttpParams p = httpParams("127.0.0.1", server.port(), "/");
    HttpOutcome refused = runHttp(p, 1, 10000, agent->get());
    EXPECT_EQ(refused.start, MORAVEL_E_TLS_LOAD);
    EXPECT_EQ(refused.callbacks, 0);
    MoravelTransport* tunnel = nullptr;
    EXPECT_EQ(HTTP_AS_SOCK_PI_CreateEx(&tunnel, agent->get(), &p, 1), MORAVEL_E_TLS_LOAD);
    EXPECT_EQ(tunnel, nullptr);
    HttpOutcome plain = runHttp(p, 0, 10000, agent->get());
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.body, "ok");
    EXPECT_EQ(server.requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Wrappers, WithoutTls,
                         ::testing::Values(WrapperCase{"Missing", "/nonexistent/libNoWrapper.so"},
                                           WrapperCase{"FunctionMissing", MORAVEL_BROKEN_WRAPPER}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- HTTP tunnel transport ----

struct Done
{
    std::mutex m;
    std::condition_variable cv;
    std::vector<MoravelCallbackRecord> records;
    static int MORAVEL_CALL cb(MoravelCallbackRecord* r)
    {
        auto* d = static_cast<Done*>(r->user);
        std::lock_guard<std::mutex> lock(d->m);
        d->records.push_back(*r);
        d->cv.notify_all();
        return 0;
    }
    bool wait(size_t n)
    {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, seconds(20), [&] { return records.size() >= n; });
    }
    MoravelCallbackRecord at(size_t i)
    {
        std::lock_guard<std::mutex> lock(m);
        return records.at(i);
    }
};

TEST(HttpTunnel, EachWriteIsOneRequestBody)
{
    ScriptedHttp server([](const std::string&, int) {
        return ScriptedHttp::Reply{"HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\n1"};
    });
    AgentHolder agent(true);
    MoravelHttpParams p = httpParams("127.0.0.1", server.port(), "/tunnel");
    p.method = 1;
    p.tunnelMode = 1;
    p.flags = MORAVEL_HTTP_VERIFYPASS;
    SMO_HttpReq_GenerateSession(reinterpret_cast<const uint8_t*>("0123456789abcdef"),
                                p.sessionCookie);
    MoravelTransport* t = nullptr;
    ASSERT_EQ(HTTP_AS_SOCK_PI_Create(&t, agent.get(), &p), 0);
    char buf[8];
    uint32_t n = 0;
    MoravelToken token{0, 10000, 7, 0};
    EXPECT_EQ(COMMON_TI_ReadData(t, &token, Done::cb, nullptr, 4, buf, 0), MORAVEL_E_NOTSUPPORTED);
    EXPECT_EQ(COMMON_TI_ReadDataDirect(t, buf, 4, &n, nullptr), MORAVEL_E_NOTSUPPORTED);
    EXPECT_EQ(COMMON_TI_WriteDataDirect(t, "x", 1, &n, nullptr), MORAVEL_E_NOTSUPPORTED);
    EXPECT_EQ(COMMON_TI_WaitConnected(t, &token, Done::cb, nullptr), MORAVEL_E_NOTSUPPORTED);
    Done done;
    const std::vector<std::string> texts = {"a=1", "second=write&x=2"};
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(COMMON_TI_WriteData(t, &token, Done::cb, &done,
                                      static_cast<uint32_t>(texts[i].size()), texts[i].data()),
                  0);
        ASSERT_TRUE(done.wait(i + 1));
        EXPECT_EQ(done.at(i).status, 0);
        EXPECT_EQ(done.at(i).value, texts[i].size());
    }
    COMMON_TI_Release(&t);
    auto reqs = server.requests();
    ASSERT_EQ(reqs.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(reqs[i].rfind("POST /tunnel HTTP/1.0\r\n", 0), 0u) << reqs[i];
        EXPECT_NE(reqs[i].find(std::string("x-sessioncookie: ") + p.sessionCookie + "\r\n"),
                  std::string::npos);
        EXPECT_NE(reqs[i].find("Content-Length: " + std::to_string(texts[i].size()) + "\r\n"),
                  std::string::npos)
            << reqs[i];
        EXPECT_EQ(reqs[i].substr(reqs[i].size() - texts[i].size()), texts[i]);
    }
}

TEST(HttpTunnel, FailedRequestReportsItsCode)
{
    ScriptedHttp server([](const std::string&, int) {
        return ScriptedHttp::Reply{"HTTP/1.0 404 Not Found\r\n\r\n"};
    });
    AgentHolder agent(true);
    MoravelHttpParams p = httpParams("127.0.0.1", server.port(), "/tunnel");
    p.method = 1;
    MoravelTransport* t = nullptr;
    ASSERT_EQ(HTTP_AS_SOCK_PI_Create(&t, agent.get(), &p), 0);
    Done done;
    MoravelToken token{0, 10000, 7, 0};
    ASSERT_EQ(COMMON_TI_WriteData(t, &token, Done::cb, &done, 3, "a=1"), 0);
    ASSERT_TRUE(done.wait(1));
    EXPECT_EQ(done.at(0).status, MORAVEL_E_HTTP_404);
    EXPECT_EQ(done.at(0).value, 0u);
    COMMON_TI_Release(&t);
}

// ---- Base64 decorator over a socket pair ----

class Base64 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto fds = tcpPair();
        ASSERT_EQ(SOCK_TO_COMM_TI(&inner, agent.get(), fds.first, 0, 0, nullptr, 0), 0);
        peer = fds.second;
        ASSERT_EQ(Decorate_Base64_SOCK_PI(&b64, inner), 0);
    }
    void TearDown() override
    {
        COMMON_TI_Release(&b64);
        close(peer);
    }
    std::string read(uint32_t n, int32_t* status = nullptr)
    {
        std::string out(n, '\0');
        Done done;
        MoravelToken token{0, 5000, 9, 0};
        STATOKEN_TouchToken(&token);
        EXPECT_EQ(COMMON_TI_ReadData(b64, &token, Done::cb, &done, n, out.data(), 0), 0);
        EXPECT_TRUE(done.wait(1));
        if (status) {
            *status = done.at(0).status;
        }
        out.resize(done.at(0).value);
        return out;
    }
    void send(const std::string& text)
    {
        ASSERT_EQ(::send(peer, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
    }
    std::string peerRead(size_t n)
    {
        std::string s(n, '\0');
        EXPECT_TRUE(readAll(peer, s.data(), n, seconds(5)));
        return s;
    }
    AgentHolder agent{true};
    MoravelTransport* inner = nullptr;
    MoravelTransport* b64 = nullptr;
    int peer = -1;
};

TEST_F(Base64, WriteSendsTheEncoding)
{
    Done done;
    MoravelToken token{0, 5000, 9, 0};
    STATOKEN_TouchToken(&token);
    ASSERT_EQ(COMMON_TI_WriteData(b64, &token, Done::cb, &done, 3, "abc"), 0);
    ASSERT_TRUE(done.wait(1));
    EXPECT_EQ(done.at(0).status, 0);
    EXPECT_EQ(done.at(0).value, 3u);
    EXPECT_EQ(peerRead(4), "YWJj");
    // Writes stop at the first zero byte: the decorator carries text.
    uint32_t written = 0;
    ASSERT_EQ(COMMON_TI_WriteDataDirect(b64, "hi\0there", 8, &written, nullptr), 0);
    EXPECT_EQ(written, 8u);
    EXPECT_EQ(peerRead(4), "aGk=");
}

TEST_F(Base64, ReadsDecodeWholeGroupsAndKeepTheRest)
{
    send("YWJjZGVmZ2hp");
    EXPECT_EQ(read(3), "abc");
    // One byte wanted: four characters are read and two decoded bytes wait for later.
    EXPECT_EQ(read(1), "d");
    char buf[4] = {};
    uint32_t n = 0;
    ASSERT_EQ(COMMON_TI_ReadDataDirect(b64, buf, 2, &n, nullptr), 0);
    EXPECT_EQ(std::string(buf, n), "ef");
    EXPECT_EQ(read(3), "ghi");
}

TEST_F(Base64, GroupSplitAcrossSegmentsIsJoined)
{
    send("SGVsbG8");
    std::thread later([this] {
        std::this_thread::sleep_for(milliseconds(50));
        send("=");
    });
    EXPECT_EQ(read(5), "Hello");
    later.join();
}

TEST_F(Base64, InvalidTextFailsTheRead)
{
    send("YW*j");
    int32_t status = 0;
    read(3, &status);
    EXPECT_EQ(status, MORAVEL_E_IO);
}

class Base64RoundTrip : public ::testing::TestWithParam<std::string>
{
};

TEST_P(Base64RoundTrip, TextComesBackUnchanged)
{
    AgentHolder agent(true);
    auto fds = tcpPair();
    MoravelTransport *a = nullptr, *b = nullptr, *ea = nullptr, *eb = nullptr;
    ASSERT_EQ(SOCK_TO_COMM_TI(&a, agent.get(), fds.first, 0, 0, nullptr, 0), 0);
    ASSERT_EQ(SOCK_TO_COMM_TI(&b, agent.get(), fds.second, 0, 0, nullptr, 0), 0);
    ASSERT_EQ(Decorate_Base64_SOCK_PI(&ea, a), 0);
    ASSERT_EQ(Decorate_Base64_SOCK_PI(&eb, b), 0);
    const std::string& text = GetParam();
    Done w, r;
    MoravelToken tw{0, 5000, 1, 0}, tr{0, 5000, 2, 0};
    STATOKEN_TouchToken(&tr);
    STATOKEN_TouchToken(&tw);
    std::string got(text.size(), '\0');
    ASSERT_EQ(COMMON_TI_ReadData(eb, &tr, Done::cb, &r, static_cast<uint32_t>(text.size()),
                                 got.data(), 0),
              0);
    ASSERT_EQ(
        COMMON_TI_WriteData(ea, &tw, Done::cb, &w, static_cast<uint32_t>(text.size()), text.data()),
        0);
    ASSERT_TRUE(w.wait(1));
    ASSERT_TRUE(r.wait(1));
    EXPECT_EQ(r.at(0).status, 0);
    EXPECT_EQ(got, text);
    COMMON_TI_Release(&ea);
    COMMON_TI_Release(&eb);
}

INSTANTIATE_TEST_SUITE_P(Texts, Base64RoundTrip,
                         ::testing::Values("a", "ab", "abc", "abcd", "hello world",
                                           std::string(3000, 'q'),
                                           "\xc3\xa9t\xc3\xa9 \xe2\x82\xac"));

TEST(Base64Create, RefusesNullInner)
{
    MoravelTransport* t = reinterpret_cast<MoravelTransport*>(1);
    EXPECT_EQ(Decorate_Base64_SOCK_PI(&t, nullptr), MORAVEL_E_INVALIDARG);
    EXPECT_EQ(t, nullptr);
}

// ---- through squid ----

class Proxy : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_open = new Squid();
        s_auth = new Squid("proxyuser", "proxypass");
        s_noConnect = new Squid({}, {}, true);
        s_tls = new TlsServer();
    }
    static void TearDownTestSuite()
    {
        delete s_open;
        delete s_auth;
        delete s_noConnect;
        delete s_tls;
    }
    static MoravelHttpParams via(const Squid& squid, uint16_t port, const std::string& path,
                                 uint32_t post, const char* user = nullptr,
                                 const char* password = nullptr)
    {
        MoravelHttpParams p{};
        std::string url = "http://127.0.0.1:" + std::to_string(port) + path;
        SMO_HttpRequest_SetConnURL(&p, url.c_str(), nullptr, nullptr, "127.0.0.1", squid.port(),
                                   user, password, static_cast<int>(post), nullptr);
        return p;
    }
    static Squid* s_open;
    static Squid* s_auth;
    static Squid* s_noConnect;
    static TlsServer* s_tls;
};

Squid* Proxy::s_open = nullptr;
Squid* Proxy::s_auth = nullptr;
Squid* Proxy::s_noConnect = nullptr;
TlsServer* Proxy::s_tls = nullptr;

ScriptedHttp::Reply okReply(const std::string&, int)
{
    return ScriptedHttp::Reply{"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello"};
}

TEST_F(Proxy, GetUsesTheAbsoluteUri)
{
    ASSERT_TRUE(s_open->ready());
    ScriptedHttp server(okReply);
    HttpOutcome o = runHttp(via(*s_open, server.port(), "/cgi/a.cgi?x=1", 0));
    EXPECT_EQ(o.status, 0) << std::hex << o.status;
    EXPECT_EQ(o.body, "hello");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].rfind("GET /cgi/a.cgi?x=1 HTTP/1.", 0), 0u);
    // squid forwarded it (its Via line), having been asked with the absolute URI.
    EXPECT_NE(server.requests()[0].find("Via: "), std::string::npos) << server.requests()[0];
}

TEST_F(Proxy, PostGoesThroughConnect)
{
    ASSERT_TRUE(s_open->ready());
    ScriptedHttp server(okReply);
    MoravelHttpParams p = via(*s_open, server.port(), "/cgi/set.cgi?a=1", 1);
    HttpOutcome o = runHttp(p);
    EXPECT_EQ(o.status, 0) << std::hex << o.status;
    EXPECT_EQ(o.body, "hello");
    ASSERT_EQ(server.requests().size(), 1u);
    // Inside the tunnel the request line carries the path alone.
    EXPECT_EQ(server.requests()[0].rfind("POST /cgi/set.cgi HTTP/1.0\r\n", 0), 0u)
        << server.requests()[0];
    // A tunnelled request reaches the server untouched by the proxy.
    EXPECT_EQ(server.requests()[0].find("Via: "), std::string::npos) << server.requests()[0];
}

TEST_F(Proxy, RefusedConnectFallsBackToTheAbsoluteUri)
{
    ASSERT_TRUE(s_noConnect->ready());
    ScriptedHttp server(okReply);
    HttpOutcome o = runHttp(via(*s_noConnect, server.port(), "/cgi/set.cgi?a=1", 1));
    EXPECT_EQ(o.status, 0) << std::hex << o.status;
    EXPECT_EQ(o.body, "hello");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_NE(server.requests()[0].find("Via: "), std::string::npos) << server.requests()[0];
    EXPECT_NE(server.requests()[0].find("\r\n\r\na=1"), std::string::npos);
}

TEST_F(Proxy, HttpsThroughConnect)
{
    ASSERT_TRUE(s_open->ready());
    ASSERT_TRUE(s_tls->ready());
    HttpOutcome o = runHttp(via(*s_open, s_tls->port(), "/", 0), 1);
    EXPECT_EQ(o.status, 0) << std::hex << o.status;
    EXPECT_NE(o.body.find("s_server"), std::string::npos);
}

struct ProxyAuthCase
{
    const char* name;
    const char* user;
    const char* password;
    uint32_t post;
    int32_t status;
};

class ProxyAuth : public Proxy, public ::testing::WithParamInterface<ProxyAuthCase>
{
};

TEST_P(ProxyAuth, AnswersTheProxyChallenge)
{
    ASSERT_TRUE(s_auth->ready());
    const ProxyAuthCase& c = GetParam();
    ScriptedHttp server(okReply);
    HttpOutcome o = runHttp(via(*s_auth, server.port(), "/x", c.post, c.user, c.password));
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.status, c.status) << std::hex << o.status;
    if (c.status == 0) {
        EXPECT_EQ(o.body, "hello");
    } else {
        EXPECT_TRUE(server.requests().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Squid, ProxyAuth,
    ::testing::Values(ProxyAuthCase{"GetRight", "proxyuser", "proxypass", 0, 0},
                      ProxyAuthCase{"GetWrong", "proxyuser", "nope", 0, MORAVEL_E_HTTP_AUTH},
                      ProxyAuthCase{"GetNoUser", nullptr, nullptr, 0, MORAVEL_E_HTTP_AUTH},
                      ProxyAuthCase{"ConnectRight", "proxyuser", "proxypass", 1, 0},
                      ProxyAuthCase{"ConnectWrong", "proxyuser", "nope", 1, MORAVEL_E_HTTP_AUTH}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProxyFailures, UnreachableProxyHasItsOwnCode)
{
    MoravelHttpParams p{};
    SMO_HttpRequest_SetConnURL(&p, "http://127.0.0.1:80/", nullptr, nullptr, "127.0.0.1",
                               freeTcpPort(), nullptr, nullptr, 0, nullptr);
    HttpOutcome o = runHttp(p);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.status, MORAVEL_E_PROXY_CONNECT);
}

TEST(ProxyFailures, GarbageFromTheProxyHasItsOwnCode)
{
    ScriptedHttp proxy([](const std::string&, int) { return ScriptedHttp::Reply{"junk\r\n\r\n"}; });
    MoravelHttpParams p{};
    SMO_HttpRequest_SetConnURL(&p, "http://127.0.0.1:80/", nullptr, nullptr, "127.0.0.1",
                               proxy.port(), nullptr, nullptr, 0, nullptr);
    HttpOutcome o = runHttp(p);
    EXPECT_EQ(o.status, MORAVEL_E_PROXY_HEADER);
    ASSERT_EQ(proxy.requests().size(), 1u);
    EXPECT_EQ(proxy.requests()[0].rfind("GET http://127.0.0.1:80/ HTTP/1.0\r\n", 0), 0u);
}

} // namespace
