// The HTTP request operation: the request text it writes, Basic and Digest against Apache
// httpd, status handling, and malformed answers from a scripted server.
#include "HttpPeers.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mvtest;

namespace {

struct UrlCase
{
    const char* name;
    const char* url;
    int32_t result;
    const char* host;
    uint32_t port;
    const char* path;
    const char* query;
    int https;
};

class SetConnUrl : public ::testing::TestWithParam<UrlCase>
{
};

TEST_P(SetConnUrl, FillsTheParameters)
{
    const UrlCase& c = GetParam();
    MoravelHttpParams p{};
    int https = -1;
    ASSERT_EQ(
        SMO_HttpRequest_SetConnURL(&p, c.url, "u", "pw", nullptr, 0, nullptr, nullptr, 1, &https),
        c.result);
    if (c.result != 0) {
        return;
    }
    EXPECT_STREQ(p.conn.host, c.host);
    EXPECT_STREQ(p.hostHeader, c.host);
    EXPECT_EQ(p.conn.port, c.port);
    EXPECT_STREQ(p.path, c.path);
    EXPECT_STREQ(p.query, c.query);
    EXPECT_EQ(https, c.https);
    EXPECT_EQ(p.method, 1u);
    EXPECT_STREQ(p.user, "u");
    EXPECT_STREQ(p.proxyPrefix, "");
}

const std::string kLongHost(129, 'h');
const std::string kLongHostUrl = "http://" + kLongHost + "/";

INSTANTIATE_TEST_SUITE_P(
    Urls, SetConnUrl,
    ::testing::Values(
        UrlCase{"HttpsDefaultPort", "https://cam.example/x", 0, "cam.example", 443, "/x", "", 1},
        UrlCase{"NoSlashGivesRoot", "http://10.1.2.3", 0, "10.1.2.3", 80, "/", "", 0},
        UrlCase{"PortAndQuery", "HTTP://10.1.2.3:8080/cgi/a.cgi?x=1&y=2", 0, "10.1.2.3", 8080,
                "/cgi/a.cgi", "?x=1&y=2", 0},
        UrlCase{"NoScheme", "10.1.2.3/x", MORAVEL_E_INVALIDARG, "", 0, "", "", 0},
        UrlCase{"OtherScheme", "ftp://10.1.2.3/x", MORAVEL_E_INVALIDARG, "", 0, "", "", 0},
        UrlCase{"HostTooLong", kLongHostUrl.c_str(), MORAVEL_E_INVALIDARG, "", 0, "", "", 0},
        UrlCase{"BadPort", "http://h:99999/", MORAVEL_E_INVALIDARG, "", 0, "", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetConn, ProxyGetsTheAddressAndThePrefix)
{
    MoravelHttpParams p{};
    ASSERT_EQ(SMO_HttpRequest_SetConn(&p, 1, "127.0.0.9", 3128, "cam.example", 8080), 0);
    EXPECT_STREQ(p.conn.host, "127.0.0.9");
    EXPECT_EQ(p.conn.port, 3128u);
    EXPECT_EQ(p.conn.address, htonl(0x7F000009));
    EXPECT_STREQ(p.proxyPrefix, "http://cam.example:8080");
    EXPECT_STREQ(p.hostHeader, "cam.example");
}

TEST(SessionCookie, Base64OfMd5OverSeedAndProcessId)
{
    uint8_t seed[16];
    for (int i = 0; i < 16; ++i) {
        seed[i] = static_cast<uint8_t>(i * 7);
    }
    char a[25] = {}, b[25] = {};
    ASSERT_EQ(SMO_HttpReq_GenerateSession(seed, a), 0);
    ASSERT_EQ(SMO_HttpReq_GenerateSession(seed, b), 0);
    EXPECT_EQ(strlen(a), 24u);
    EXPECT_STREQ(a, b);
    EXPECT_EQ(a[22], '=');
    // The process id enters the hash: a child process gets another cookie for the same seed.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        char c[25] = {};
        SMO_HttpReq_GenerateSession(seed, c);
        ssize_t n = write(fds[1], c, 24);
        _exit(n == 24 ? 0 : 1);
    }
    char c[25] = {};
    ASSERT_EQ(read(fds[0], c, 24), 24);
    waitpid(pid, nullptr, 0);
    close(fds[0]);
    close(fds[1]);
    EXPECT_STRNE(a, c);
}

// ---- the request text, seen by a scripted server ----

struct TextCase
{
    const char* name;
    uint32_t method;
    const char* query;
    uint32_t tunnelMode;
    uint8_t flags;
    std::vector<std::string> expected; // substrings of the request, in order
    std::vector<std::string> absent;
};

class RequestText : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(RequestText, IsWrittenAsDescribed)
{
    const TextCase& c = GetParam();
    ScriptedHttp server([](const std::string&, int) {
        return ScriptedHttp::Reply{"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"};
    });
    MoravelHttpParams p = httpParams("127.0.0.1", server.port(), "/cgi-bin/a.cgi");
    p.method = c.method;
    snprintf(p.query, sizeof(p.query), "%s", c.query);
    p.tunnelMode = c.tunnelMode;
    p.flags = c.flags;
    snprintf(p.sessionCookie, sizeof(p.sessionCookie), "%s", "cookie123");
    HttpOutcome o = runHttp(p);
    ASSERT_EQ(o.start, 0);
    ASSERT_EQ(o.status, 0);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.body, "ok");
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string req = server.requests()[0];
    size_t at = 0;
    for (const auto& e : c.expected) {
        size_t f = req.find(e, at);
        ASSERT_NE(f, std::string::npos) << "missing " << e << " in\n" << req;
        at = f + e.size();
    }
    for (const auto& a : c.absent) {
        EXPECT_EQ(req.find(a), std::string::npos) << a << " in\n" << req;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, RequestText,
    ::testing::Values(
        TextCase{"GetJoinsPathAndQuery",
                 0,
                 "?action=list",
                 0,
                 0,
                 {"GET /cgi-bin/a.cgi?action=list HTTP/1.0\r\n", "User-Agent: QXOR (ver=40)\r\n",
                  "Accept: */*\r\nHost: 127.0.0.1\r\n", "x-sessioncookie: cookie123\r\n\r\n"},
                 {"Content-Length", "Authorization"}},
        TextCase{"PostDropsTheQuestionMark",
                 1,
                 "?abc",
                 0,
                 0,
                 {"POST /cgi-bin/a.cgi HTTP/1.0\r\n", "Content-Length: 3\r\n\r\nabc"},
                 {"?abc"}},
        TextCase{"PostEmptyBodySendsQuestionMark",
                 1,
                 "",
                 0,
                 0,
                 {"POST /cgi-bin/a.cgi HTTP/1.0\r\n", "Content-Length: 1\r\n\r\n?"},
                 {}},
        TextCase{"FlagsAddTheirLines",
                 0,
                 "",
                 0,
                 MORAVEL_HTTP_CAMCFGRELAY | MORAVEL_HTTP_ONESOCKET | MORAVEL_HTTP_VERIFYPASS,
                 {"CamCfgRelay: yes\r\n", "OneSocket: yes\r\n", "VerifyPassProxy: yes\r\n"},
                 {}},
        TextCase{"TunnelGetAsksForTunnelledType",
                 0,
                 "",
                 1,
                 0,
                 {"x-sessioncookie: cookie123\r\n", "Accept: application/x-qxor-tunnelled\r\n",
                  "Pragma: no-cache\r\nCache-Control: no-cache\r\n"},
                 {"Host:"}},
        TextCase{"TunnelPostHasFixedLength",
                 1,
                 "?",
                 1,
                 0,
                 {"Content-Type: application/x-qxor-tunnelled\r\n", "Content-Length: 32767\r\n",
                  "Expires: Sun, 9 Jan 1972 00:00:00 GMT\r\n"},
                 {"Host:"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Basic and Digest against Apache httpd ----

struct AuthCase
{
    const char* name;
    const char* path;
    const char* user;
    const char* password;
    bool ha1; // give the Digest HA1 instead of the password
    int32_t status;
};

class ApacheAuth : public ::testing::TestWithParam<AuthCase>
{
protected:
    static void SetUpTestSuite() { s_apache = new Apache(Apache::Options{}); }
    static void TearDownTestSuite()
    {
        delete s_apache;
        s_apache = nullptr;
    }
    static Apache* s_apache;
};

Apache* ApacheAuth::s_apache = nullptr;

TEST_P(ApacheAuth, AnswersTheChallenge)
{
    ASSERT_TRUE(s_apache->ready()) << s_apache->log();
    const AuthCase& c = GetParam();
    std::string password = c.password;
    if (c.ha1) {
        password = md5Hex(std::string(c.user) + ":moravel:" + c.password);
    }
    MoravelHttpParams p = httpParams("127.0.0.1", s_apache->port(), c.path, c.user, password);
    if (c.ha1) {
        p.flags |= MORAVEL_HTTP_PASSWORD_HA1;
    }
    HttpOutcome o = runHttp(p);
    ASSERT_EQ(o.start, 0);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.status, c.status) << std::hex << o.status << "\n" << s_apache->log();
    if (c.status == 0) {
        EXPECT_TRUE(o.transport);
        EXPECT_EQ(o.contentLength, static_cast<int32_t>(strlen(Apache::body())));
        EXPECT_EQ(o.body, Apache::body());
    } else {
        EXPECT_FALSE(o.transport);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Apache, ApacheAuth,
    ::testing::Values(
        AuthCase{"Open", "/open/hello.txt", "", "", false, 0},
        AuthCase{"BasicRight", "/basic/hello.txt", "alice", "wonderland", false, 0},
        AuthCase{"BasicWrong", "/basic/hello.txt", "alice", "looking-glass", false,
                 MORAVEL_E_HTTP_AUTH},
        AuthCase{"BasicNoUser", "/basic/hello.txt", "", "", false, MORAVEL_E_HTTP_AUTH},
        AuthCase{"DigestRight", "/digest/hello.txt", "alice", "wonderland", false, 0},
        AuthCase{"DigestWithQuery", "/digest/hello.txt?a=1", "alice", "wonderland", false, 0},
        AuthCase{"DigestHa1", "/digest/hello.txt", "alice", "wonderland", true, 0},
        AuthCase{"DigestWrong", "/digest/hello.txt", "alice", "looking-glass", false,
                 MORAVEL_E_HTTP_AUTH},
        AuthCase{"DigestUnknownUser", "/digest/hello.txt", "bob", "wonderland", false,
                 MORAVEL_E_HTTP_AUTH},
        AuthCase{"Missing", "/open/none.txt", "", "", false, MORAVEL_E_HTTP_404}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- statuses and malformed answers from a scripted server ----

struct BadCase
{
    const char* name;
    std::function<ScriptedHttp::Reply(const std::string&, int)> script;
    uint8_t flags;
    int32_t status;
    size_t requests; // requests the server must have seen (0: do not check)
};

ScriptedHttp::Reply say(const std::string& text)
{
    return ScriptedHttp::Reply{text};
}

std::function<ScriptedHttp::Reply(const std::string&, int)> always(const std::string& text)
{
    return [text](const std::string&, int) { return say(text); };
}

const std::string kHugeHeader = "HTTP/1.0 200 OK\r\nX-Filler: " + std::string(20000, 'x');
const std::string kHugeChallenge =
    "HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"" + std::string(30000, 'r');

class BadInput : public ::testing::TestWithParam<BadCase>
{
};

TEST_P(BadInput, EndsWithOneCallbackAndTheCode)
{
    const BadCase& c = GetParam();
    ScriptedHttp server(c.script);
    MoravelHttpParams p = httpParams("127.0.0.1", server.port(), "/x", "alice", "wonderland");
    p.flags = c.flags;
    HttpOutcome o = runHttp(p, 0, 5000);
    ASSERT_EQ(o.start, 0);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.status, c.status) << std::hex << o.status;
    EXPECT_EQ(o.transport, c.status == 0);
    if (c.requests) {
        EXPECT_EQ(server.requests().size(), c.requests);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, BadInput,
    ::testing::Values(
        BadCase{"GarbageStatusLine", always("SMTP ready\r\n\r\n"), 0, MORAVEL_E_HTTP_HEADER, 1},
        BadCase{"NonNumericStatus", always("HTTP/1.0 abc\r\n\r\n"), 0, MORAVEL_E_HTTP_STATUS, 1},
        BadCase{"HeaderNeverEnds", always(kHugeHeader), 0, MORAVEL_E_HTTP_HEADER, 1},
        BadCase{"ClosedBeforeAnyByte", always(""), 0, MORAVEL_E_HTTP_CLOSED, 1},
        BadCase{"ClosedMidHeader", always("HTTP/1.0 200 OK\r\nContent-Le"), 0, MORAVEL_E_CLOSED, 1},
        BadCase{"ClosedMidChallenge", always("HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Dig"),
                0, MORAVEL_E_CLOSED, 1},
        BadCase{"SilentPeerTimesOut",
                [](const std::string&, int) {
                    return ScriptedHttp::Reply{"", true};
                },
                0, MORAVEL_E_IDLE_TIMEOUT, 1},
        BadCase{"HugeChallenge", always(kHugeChallenge), 0, MORAVEL_E_HTTP_HEADER, 1},
        BadCase{"DigestUnknownAlgorithm",
                always("HTTP/1.0 401 No\r\nWWW-Authenticate: Digest realm=\"r\", nonce=\"n\", "
                       "algorithm=SHA-512-256\r\n\r\n"),
                0, MORAVEL_E_HTTP_AUTH, 1},
        BadCase{"DigestQopTooLong",
                always("HTTP/1.0 401 No\r\nWWW-Authenticate: Digest realm=\"r\", nonce=\"n\", "
                       "qop=\"auth,auth-int\"\r\n\r\n"),
                0, MORAVEL_E_HTTP_AUTH, 1},
        BadCase{"DigestMissingQuote",
                always("HTTP/1.0 401 No\r\nWWW-Authenticate: Digest realm=\"r, nonce=n\r\n\r\n"), 0,
                MORAVEL_E_HTTP_AUTH, 1},
        BadCase{"DigestWithoutNonce",
                always("HTTP/1.0 401 No\r\nWWW-Authenticate: Digest realm=\"r\"\r\n\r\n"), 0,
                MORAVEL_E_HTTP_AUTH, 1},
        BadCase{"UnknownScheme", always("HTTP/1.0 401 No\r\nWWW-Authenticate: Bearer\r\n\r\n"), 0,
                MORAVEL_E_HTTP_AUTH, 1},
        BadCase{"SecondBasicChallenge",
                always("HTTP/1.0 401 No\r\nWWW-Authenticate: Basic realm=\"r\"\r\n\r\n"), 0,
                MORAVEL_E_HTTP_AUTH, 2},
        BadCase{"NtlmInvalidBase64",
                [](const std::string&, int i) {
                    return ScriptedHttp::Reply{
                        i == 0 ? "HTTP/1.0 401 No\r\nWWW-Authenticate: NTLM\r\n"
                                 "Content-Length: 0\r\n\r\n"
                               : "HTTP/1.0 401 No\r\nWWW-Authenticate: NTLM TlRMT%%%\r\n"
                                 "Content-Length: 0\r\n\r\n",
                        true};
                },
                MORAVEL_HTTP_SERVER_SSPI, MORAVEL_E_HTTP_AUTH, 2},
        BadCase{"NtlmGarbageChallenge",
                [](const std::string&, int) {
                    return ScriptedHttp::Reply{"HTTP/1.0 401 No\r\nWWW-Authenticate: NTLM "
                                               "AAAAAAAAAAAAAAAAAAAA\r\nContent-Length: 0\r\n\r\n",
                                               true};
                },
                MORAVEL_HTTP_SERVER_SSPI, MORAVEL_E_HTTP_AUTH, 1},
        BadCase{"NoContentLength", always("HTTP/1.0 200 OK\r\n\r\nbody"), 0, 0, 1},
        BadCase{"LineFeedsOnly", always("HTTP/1.0 200 OK\nContent-Length: 4\n\nbody"), 0, 0, 1},
        BadCase{"Status403", always("HTTP/1.0 403 No\r\n\r\n"), 0, MORAVEL_E_HTTP_403, 1},
        BadCase{"Status400", always("HTTP/1.0 400 No\r\n\r\n"), 0, MORAVEL_E_HTTP_400, 1},
        BadCase{"Status405", always("HTTP/1.0 405 No\r\n\r\n"), 0, MORAVEL_E_HTTP_405, 1},
        BadCase{"Status500", always("HTTP/1.1 500 No\r\n\r\n"), 0, MORAVEL_E_HTTP_500, 1},
        BadCase{"Status503", always("HTTP/1.0 503 No\r\n\r\n"), 0, MORAVEL_E_HTTP_503, 1},
        BadCase{"Status302", always("HTTP/1.0 302 Found\r\nLocation: /\r\n\r\n"), 0,
                MORAVEL_E_HTTP_STATUS, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HttpRequest, BodyStartsRightAfterTheHeader)
{
    // Header and body arrive in one segment: the transport must not have swallowed the body.
    ScriptedHttp server(always("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n0123456789"));
    HttpOutcome o = runHttp(httpParams("127.0.0.1", server.port(), "/"));
    ASSERT_EQ(o.status, 0);
    EXPECT_EQ(o.contentLength, 10);
    EXPECT_EQ(o.body, "0123456789");
    EXPECT_NE(o.header.find("Content-Length: 10"), std::string::npos);
}

TEST(HttpRequest, RefusedStartsGiveNoCallback)
{
    AgentHolder agent(true);
    MoravelToken token{};
    MoravelHttpResponse resp{};
    MoravelHttpParams p = httpParams("127.0.0.1", 80, "/");
    Collector c;
    EXPECT_EQ(SMO_HttpRequest_Init(nullptr, &token, Collector::callback, &c, &p, &resp),
              MORAVEL_E_INVALIDARG);
    EXPECT_EQ(SMO_HttpRequest_Init(agent.get(), &token, Collector::callback, &c, &p, nullptr),
              MORAVEL_E_INVALIDARG);
    MoravelHttpParams empty{};
    EXPECT_EQ(SMO_HttpRequest_Init(agent.get(), &token, Collector::callback, &c, &empty, &resp),
              MORAVEL_E_INVALIDARG);
    EXPECT_EQ(c.count(), 0u);
}

TEST(HttpRequest, ConnectionRefusedEndsWithTheConnectCode)
{
    HttpOutcome o = runHttp(httpParams("127.0.0.1", freeTcpPort(), "/"));
    ASSERT_EQ(o.start, 0);
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_EQ(o.status, MORAVEL_E_CONNECT_FAILED);
}

} // namespace
