// Real HTTP peers for the Moravel tests, each started by the test on loopback with its own
// configuration in a temporary directory: Apache httpd, squid, openssl s_server, an MIT KDC,
// and a small scripted server for the malformed answers no real server gives.
#pragma once

#include "MoravelTestSupport.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace mvtest {

uint16_t freeTcpPort();
bool waitForTcp(uint16_t port, std::chrono::milliseconds limit);
std::string md5Hex(const std::string& text);
bool haveProgram(const std::string& path);

// A child process killed (SIGTERM, then SIGKILL) when the object goes away.
class Child
{
public:
    Child() = default;
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
          const std::string& logFile = {});
    ~Child();
    Child(Child&& o) noexcept : m_pid(o.m_pid) { o.m_pid = -1; }
    Child& operator=(Child&& o) noexcept;
    bool running() const;
    int pid() const { return m_pid; }

private:
    int m_pid = -1;
};

// Apache httpd with Basic (/basic), Digest (/digest, realm "moravel") and, when asked, GSSAPI
// (/gss: Negotiate through mod_auth_gssapi) locations. Files: /basic/hello.txt etc.
class Apache
{
public:
    struct Options
    {
        std::string user = "alice";
        std::string password = "wonderland";
        std::string extraConfig;          // appended inside the server config
        std::vector<std::string> modules; // extra LoadModule names ("auth_gssapi")
        std::vector<std::string> env;     // extra environment (KRB5_KTNAME ...)
    };
    explicit Apache(const Options& options);
    ~Apache();
    bool ready() const { return m_ready; }
    uint16_t port() const { return m_port; }
    const TempDir& dir() const { return m_dir; }
    std::string log() const;
    static const char* body() { return "hello from apache\n"; }

private:
    TempDir m_dir;
    Child m_child;
    uint16_t m_port = 0;
    bool m_ready = false;
};

// squid as a forward proxy on loopback; with a user, proxy Basic authentication is required.
class Squid
{
public:
    Squid(const std::string& user = {}, const std::string& password = {},
          bool refuseConnect = false);
    ~Squid();
    bool ready() const { return m_ready; }
    uint16_t port() const { return m_port; }
    std::string accessLog() const;

private:
    TempDir m_dir;
    Child m_child;
    uint16_t m_port = 0;
    bool m_ready = false;
};

// openssl s_server -www with a fresh self-signed certificate (CA directory for verification).
class TlsServer
{
public:
    TlsServer();
    ~TlsServer();
    bool ready() const { return m_ready; }
    uint16_t port() const { return m_port; }
    std::string caDir() const { return m_dir.path + "/ca"; }

private:
    TempDir m_dir;
    Child m_child;
    uint16_t m_port = 0;
    bool m_ready = false;
};

// A TCP server on 127.0.0.1 answering each connection through a script: given the request
// text received so far (header, and the body when it has a Content-Length) and the number of
// the connection, answers what to send; the connection is closed after sending unless the
// script sets keepOpen.
class ScriptedHttp
{
public:
    struct Reply
    {
        std::string bytes;
        bool keepOpen = false; // leave the connection open (silent peer)
    };
    using Script = std::function<Reply(const std::string& request, int index)>;
    explicit ScriptedHttp(Script script);
    ~ScriptedHttp();
    uint16_t port() const { return m_listener.port; }
    std::vector<std::string> requests() const;

private:
    void run();
    Script m_script;
    Listener m_listener;
    int m_stop[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::vector<int> m_open;
    std::thread m_thread;
};

// Outcome of one request through Moravel.
struct HttpOutcome
{
    int32_t start = 0;  // result of the starting call
    int callbacks = 0;  // callbacks seen
    int32_t status = 0; // status of the (first) callback
    int32_t contentLength = 0;
    std::string header;
    std::string body; // read from the handed-over transport (contentLength bytes)
    bool transport = false;
    uint32_t contextSize = 0;
    uint32_t contextType = 0;
};

// Runs one request on a fresh agent and waits for its callback (and the body on success).
HttpOutcome runHttp(const MoravelHttpParams& params, int tls = 0, uint32_t idleMs = 10000,
                    MoravelAgent* agent = nullptr);
MoravelHttpParams httpParams(const std::string& host, uint16_t port, const std::string& path,
                             const std::string& user = {}, const std::string& password = {});

} // namespace mvtest
