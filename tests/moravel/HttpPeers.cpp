#include "HttpPeers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mvtest {

using namespace std::chrono;

uint16_t freeTcpPort()
{
    Listener l;
    return l.port; // closed again: free for the peer to bind
}

bool waitForTcp(uint16_t port, milliseconds limit)
{
    auto end = steady_clock::now() + limit;
    while (steady_clock::now() < end) {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
        close(fd);
        if (ok) {
            return true;
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
    return false;
}

std::string md5Hex(const std::string& text)
{
    unsigned char d[16];
    unsigned int n = 0;
    EVP_Digest(text.data(), text.size(), d, &n, EVP_md5(), nullptr);
    char out[33];
    for (int i = 0; i < 16; ++i) {
        snprintf(out + 2 * i, 3, "%02x", d[i]);
    }
    return out;
}

bool haveProgram(const std::string& path)
{
    return access(path.c_str(), X_OK) == 0;
}

static int run(const std::string& cmd)
{
    return std::system(cmd.c_str());
}

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             const std::string& logFile)
{
    std::vector<std::string> args = argv;
    std::vector<char*> cargv;
    for (auto& s : args) {
        cargv.push_back(s.data());
    }
    cargv.push_back(nullptr);
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e) {
        envs.emplace_back(*e);
    }
    for (const auto& e : env) {
        envs.push_back(e);
    }
    std::vector<char*> cenv;
    for (auto& s : envs) {
        cenv.push_back(s.data());
    }
    cenv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    std::string log = logFile.empty() ? "/dev/null" : logFile;
    posix_spawn_file_actions_addopen(&fa, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, cargv[0], &fa, nullptr, cargv.data(), cenv.data()) == 0) {
        m_pid = pid;
    }
    posix_spawn_file_actions_destroy(&fa);
}

Child& Child::operator=(Child&& o) noexcept
{
    std::swap(m_pid, o.m_pid);
    return *this;
}

bool Child::running() const
{
    return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0;
}

Child::~Child()
{
    if (m_pid <= 0) {
        return;
    }
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            return;
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
}

static void openUp(const std::string& path)
{
    // The servers drop root for their own users, who must read (squid: write) our files.
    run("chmod -R a+rwX '" + path + "'");
}

Apache::Apache(const Options& o)
{
    const std::string d = m_dir.path;
    run("mkdir -p '" + d + "/htdocs/basic' '" + d + "/htdocs/digest' '" + d + "/htdocs/gss' '" + d +
        "/htdocs/open' '" + d + "/run'");
    for (const char* sub : {"basic", "digest", "gss", "open"}) {
        m_dir.write(std::string("htdocs/") + sub + "/hello.txt", body());
    }
    run("htpasswd -cb '" + d + "/htpasswd' '" + o.user + "' '" + o.password + "' >/dev/null 2>&1");
    m_dir.write("htdigest",
                o.user + ":moravel:" + md5Hex(o.user + ":moravel:" + o.password) + "\n");
    std::string modules;
    std::vector<std::string> mods = {"mpm_event",  "authn_core", "authn_file", "authz_core",
                                     "authz_user", "auth_basic", "auth_digest"};
    mods.insert(mods.end(), o.modules.begin(), o.modules.end());
    for (const auto& m : mods) {
        modules += "LoadModule " + m + "_module /usr/lib/apache2/modules/mod_" + m + ".so\n";
    }
    for (int attempt = 0; attempt < 3 && !m_ready; ++attempt) {
        m_port = freeTcpPort();
        std::string conf = modules +
                           "ServerName 127.0.0.1\nListen 127.0.0.1:" + std::to_string(m_port) +
                           "\nServerRoot " + d + "\nPidFile " + d +
                           "/run/httpd.pid\nDefaultRuntimeDir " + d + "/run\nMutex file:" + d +
                           "/run default\nErrorLog " + d + "/error.log\nLogLevel info\n" +
                           "User www-data\nGroup www-data\nKeepAliveTimeout 5\n"
                           "DocumentRoot " +
                           d + "/htdocs\n<Directory " + d +
                           "/htdocs>\n  Require all granted\n</Directory>\n"
                           "<Location /basic>\n  AuthType Basic\n  AuthName moravel\n"
                           "  AuthBasicProvider file\n  AuthUserFile " +
                           d +
                           "/htpasswd\n  Require valid-user\n</Location>\n"
                           "<Location /digest>\n  AuthType Digest\n  AuthName moravel\n"
                           "  AuthDigestProvider file\n  AuthUserFile " +
                           d + "/htdigest\n  Require valid-user\n</Location>\n" + o.extraConfig;
        m_dir.write("httpd.conf", conf);
        openUp(d);
        m_child = Child({"/usr/sbin/apache2", "-f", d + "/httpd.conf", "-DFOREGROUND"}, o.env,
                        d + "/stdout.log");
        m_ready = waitForTcp(m_port, seconds(10)) && m_child.running();
    }
}

Apache::~Apache() = default;

std::string Apache::log() const
{
    std::ifstream f(m_dir.path + "/error.log");
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

Squid::Squid(const std::string& user, const std::string& password, bool refuseConnect)
{
    const std::string d = m_dir.path;
    for (int attempt = 0; attempt < 3 && !m_ready; ++attempt) {
        m_port = freeTcpPort();
        std::string conf = "http_port 127.0.0.1:" + std::to_string(m_port) + "\npid_filename " + d +
                           "/squid.pid\ncache_log " + d + "/cache.log\naccess_log stdio:" + d +
                           "/access.log\ncoredump_dir " + d +
                           "\nvisible_hostname moravel-test\nshutdown_lifetime 0 seconds\n"
                           "cache deny all\ndns_nameservers 127.0.0.1\n"
                           "acl CONNECT method CONNECT\n";
        if (refuseConnect) {
            conf += "http_access deny CONNECT\n";
        }
        if (!user.empty()) {
            run("htpasswd -cbm '" + d + "/passwd' '" + user + "' '" + password +
                "' >/dev/null 2>&1");
            conf += "auth_param basic program /usr/lib/squid/basic_ncsa_auth " + d +
                    "/passwd\nauth_param basic realm proxy\nacl authed proxy_auth REQUIRED\n"
                    "http_access deny !authed\n";
        }
        conf += "http_access allow all\n";
        m_dir.write("squid.conf", conf);
        openUp(d);
        m_child = Child({"/usr/sbin/squid", "-N", "-f", d + "/squid.conf"}, {}, d + "/stdout.log");
        m_ready = waitForTcp(m_port, seconds(20)) && m_child.running();
    }
}

Squid::~Squid() = default;

std::string Squid::accessLog() const
{
    std::ifstream f(m_dir.path + "/access.log");
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TlsServer::TlsServer()
{
    const std::string d = m_dir.path;
    if (run("cd '" + d +
            "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
            "-keyout key.pem -out cert.pem -subj /CN=127.0.0.1 -days 2 >/dev/null 2>&1 && "
            "mkdir ca && cp cert.pem ca/ && openssl rehash ca >/dev/null 2>&1") != 0) {
        return;
    }
    for (int attempt = 0; attempt < 3 && !m_ready; ++attempt) {
        m_port = freeTcpPort();
        m_child = Child({"openssl", "s_server", "-accept", "127.0.0.1:" + std::to_string(m_port),
                         "-cert", d + "/cert.pem", "-key", d + "/key.pem", "-www", "-quiet"},
                        {}, d + "/s_server.log");
        m_ready = waitForTcp(m_port, seconds(10)) && m_child.running();
    }
}

TlsServer::~TlsServer() = default;

ScriptedHttp::ScriptedHttp(Script script) : m_script(std::move(script))
{
    if (pipe(m_stop) != 0) {
        throw std::runtime_error("pipe");
    }
    m_thread = std::thread([this] { run(); });
}

ScriptedHttp::~ScriptedHttp()
{
    char b = 1;
    if (write(m_stop[1], &b, 1) != 1) {
        // the thread notices the closed pipe below
    }
    m_thread.join();
    close(m_stop[0]);
    close(m_stop[1]);
    for (int fd : m_open) {
        close(fd);
    }
}

std::vector<std::string> ScriptedHttp::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

// Reads one request: the header, and a body of Content-Length bytes when there is one.
static bool readRequest(int fd, int stopFd, std::string& out)
{
    char buf[4096];
    for (;;) {
        size_t end = out.find("\r\n\r\n");
        if (end != std::string::npos) {
            size_t cl = 0;
            auto p = out.find("Content-Length: ");
            if (p != std::string::npos && p < end) {
                cl = std::stoul(out.substr(p + 16));
            }
            if (out.size() >= end + 4 + cl) {
                return true;
            }
        }
        pollfd pf[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        // Once the header is in, a body shorter than its announced length (a tunnel POST's
        // fixed Content-Length) is taken as it is after a pause.
        int limit = end != std::string::npos ? 300 : 10000;
        int ready = poll(pf, 2, limit);
        if (ready == 0 && end != std::string::npos) {
            return true;
        }
        if (ready <= 0 || pf[1].revents) {
            return false;
        }
        ssize_t n = recv(fd, buf, sizeof(buf), 0);
        if (n <= 0) {
            return !out.empty();
        }
        out.append(buf, static_cast<size_t>(n));
    }
}

void ScriptedHttp::run()
{
    for (int index = 0;; ++index) {
        pollfd pf[2] = {{m_listener.fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (poll(pf, 2, -1) <= 0 || pf[1].revents) {
            return;
        }
        int fd = accept(m_listener.fd, nullptr, nullptr);
        if (fd < 0) {
            continue;
        }
        // A connection may carry several requests when the client keeps it alive.
        for (;;) {
            std::string req;
            if (!readRequest(fd, m_stop[0], req)) {
                close(fd);
                break;
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(req);
            }
            Reply r = m_script(req, index);
            size_t off = 0;
            while (off < r.bytes.size()) {
                ssize_t n = send(fd, r.bytes.data() + off, r.bytes.size() - off, MSG_NOSIGNAL);
                if (n <= 0) {
                    break;
                }
                off += static_cast<size_t>(n);
            }
            if (r.keepOpen) {
                if (req.find("keep-alive") != std::string::npos) {
                    ++index;
                    continue;
                }
                std::lock_guard<std::mutex> lock(m_mutex);
                m_open.push_back(fd);
                break;
            }
            close(fd);
            break;
        }
    }
}

MoravelHttpParams httpParams(const std::string& host, uint16_t port, const std::string& path,
                             const std::string& user, const std::string& password)
{
    MoravelHttpParams p{};
    std::string url = "http://" + host + ":" + std::to_string(port) + path;
    SMO_HttpRequest_SetConnURL(&p, url.c_str(), user.empty() ? nullptr : user.c_str(),
                               password.empty() ? nullptr : password.c_str(), nullptr, 0, nullptr,
                               nullptr, 0, nullptr);
    return p;
}

namespace {
struct Waiter
{
    std::mutex m;
    std::condition_variable cv;
    int calls = 0;
    int32_t status = 0;
    uintptr_t value = 0;
    std::string header;
    MoravelHttpResponse* resp = nullptr;
};

int MORAVEL_CALL onDone(MoravelCallbackRecord* rec)
{
    auto* w = static_cast<Waiter*>(rec->user);
    std::lock_guard<std::mutex> lock(w->m);
    if (w->calls++ == 0) {
        w->status = rec->status;
        w->value = rec->value;
        if (w->resp && w->resp->header) {
            w->header = w->resp->header; // valid during the callback only
        }
    }
    w->cv.notify_all();
    return 0;
}

bool waitCalls(Waiter& w, int n, milliseconds limit)
{
    std::unique_lock<std::mutex> lock(w.m);
    return w.cv.wait_for(lock, limit, [&] { return w.calls >= n; });
}
} // namespace

HttpOutcome runHttp(const MoravelHttpParams& params, int tls, uint32_t idleMs, MoravelAgent* agent)
{
    HttpOutcome out;
    std::unique_ptr<AgentHolder> own;
    if (!agent) {
        own = std::make_unique<AgentHolder>(true);
        agent = own->get();
    }
    MoravelToken token{0, idleMs, 0x4854, 0};
    MoravelTransport* transport = nullptr;
    MoravelHttpResponse resp{};
    resp.transport = &transport;
    Waiter w;
    w.resp = &resp;
    out.start = SMO_HttpRequest_InitEx(agent, &token, onDone, &w, &params, &resp, tls);
    if (out.start != 0) {
        return out;
    }
    waitCalls(w, 1, seconds(40));
    // Nothing may be left queued once the operation has ended.
    for (int i = 0; i < 200 && SCHEAGENT_Echo(agent) != 0; ++i) {
        std::this_thread::sleep_for(milliseconds(5));
    }
    {
        std::lock_guard<std::mutex> lock(w.m);
        out.callbacks = w.calls;
        out.status = w.status;
        out.header = w.header;
    }
    out.contentLength = resp.contentLength;
    out.contextSize = resp.contextSize;
    out.contextType = resp.contextType;
    if (resp.context) {
        SMO_HttpReq_FreeContext(resp.context);
    }
    out.transport = transport != nullptr;
    if (transport) {
        // The body: Content-Length bytes, or up to the close.
        char buf[4096];
        for (;;) {
            Waiter r;
            uint32_t want = sizeof(buf);
            if (out.contentLength > 0) {
                size_t left = static_cast<size_t>(out.contentLength) - out.body.size();
                if (left == 0) {
                    break;
                }
                want = static_cast<uint32_t>(std::min(left, sizeof(buf)));
            }
            MoravelToken rt{0, idleMs, 0x4855, 0};
            STATOKEN_TouchToken(&rt);
            if (COMMON_TI_ReadData(transport, &rt, onDone, &r, want, buf, 1) != 0 ||
                !waitCalls(r, 1, seconds(20)) || r.status != 0) {
                break;
            }
            out.body.append(buf, r.value);
        }
        COMMON_TI_Release(&transport);
    }
    return out;
}

} // namespace mvtest
