#include "MoravelTestSupport.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "mv_dns.h"

extern char** environ;

namespace mvtest {

using namespace std::chrono;

int MORAVEL_CALL Collector::callback(MoravelCallbackRecord* rec)
{
    auto* c = static_cast<Collector*>(rec->user);
    Call call{
        rec->token, rec->user, rec->value, rec->extra, rec->status, std::this_thread::get_id(), {}};
    c->add(call, 0);
    return 0;
}

int MORAVEL_CALL Collector::taggedCallback(MoravelCallbackRecord* rec)
{
    auto* t = static_cast<Tagged*>(rec->user);
    Call call{
        rec->token, rec->user, rec->value, rec->extra, rec->status, std::this_thread::get_id(), {}};
    t->collector->add(call, t->tag);
    return 0;
}

void Collector::add(const Call& call, int tag)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(call);
    m_tags.push_back(tag);
}

size_t Collector::count() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls.size();
}

std::vector<Call> Collector::calls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

std::vector<int> Collector::tags() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tags;
}

AgentHolder::AgentHolder(bool ownThread) : m_ownThread(ownThread)
{
    if (SCHEAGENT_Initialize(&m_agent, ownThread ? 1 : 0) != 0) {
        throw std::runtime_error("agent start-up failed");
    }
}

AgentHolder::~AgentHolder()
{
    if (m_agent) {
        SCHEAGENT_Release(&m_agent);
    }
}

bool AgentHolder::until(const std::function<bool()>& pred, milliseconds limit)
{
    auto end = steady_clock::now() + limit;
    while (!pred()) {
        if (steady_clock::now() > end) {
            return false;
        }
        if (m_ownThread) {
            std::this_thread::sleep_for(milliseconds(1));
        } else {
            // UI-driven cycles wait at most 8 ms, so a condition set by another thread is seen.
            SCHEAGENT_HandleFromUI(m_agent);
        }
    }
    return true;
}

static int MORAVEL_CALL runFunction(MoravelCallbackRecord* rec)
{
    return (*static_cast<const std::function<int(MoravelAgent*)>*>(rec->user))(rec->agent);
}

int AgentHolder::runOnLoop(const std::function<int(MoravelAgent*)>& fn)
{
    void* arg = const_cast<std::function<int(MoravelAgent*)>*>(&fn);
    if (m_ownThread) {
        return SCHEAGENT_DoSomethingSafely(m_agent, runFunction, arg, 0, 0);
    }
    std::atomic<bool> done{false};
    int result = 0;
    std::thread caller([&] {
        result = SCHEAGENT_DoSomethingSafely(m_agent, runFunction, arg, 0, 0);
        done = true;
    });
    until([&] { return done.load(); }, milliseconds(5000));
    caller.join();
    return result;
}

Listener::Listener(bool v6)
{
    fd = socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage ss{};
    socklen_t len;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&ss);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_loopback;
        len = sizeof(*a);
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&ss);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        len = sizeof(*a);
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&ss), len) != 0 || listen(fd, 128) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&ss), &len) != 0) {
        throw std::runtime_error("listener");
    }
    port = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port
                    : reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
}

Listener::~Listener()
{
    if (fd >= 0) {
        close(fd);
    }
}

int Listener::acceptOne(milliseconds limit) const
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(limit.count())) != 1) {
        return -1;
    }
    return accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
}

std::pair<int, int> tcpPair()
{
    Listener l;
    int c = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(l.port);
    if (connect(c, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
        throw std::runtime_error("connect");
    }
    int s = l.acceptOne(milliseconds(2000));
    int one = 1;
    setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    return {c, s};
}

uint16_t freeUdpPort()
{
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

bool ipv6Loopback()
{
    int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    bool ok = bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
    close(fd);
    return ok;
}

bool readAll(int fd, void* buf, size_t len, milliseconds limit)
{
    auto end = steady_clock::now() + limit;
    size_t got = 0;
    while (got < len) {
        auto left = duration_cast<milliseconds>(end - steady_clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) != 1) {
            return false;
        }
        ssize_t n = recv(fd, static_cast<char*>(buf) + got, len - got, 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

TempDir::TempDir()
{
    char tmpl[] = "/tmp/moravel-test-XXXXXX";
    if (!mkdtemp(tmpl)) {
        throw std::runtime_error("mkdtemp");
    }
    path = tmpl;
}

TempDir::~TempDir()
{
    std::string cmd = "rm -rf '" + path + "'";
    if (std::system(cmd.c_str()) != 0) {
        // Left behind in /tmp; harmless.
    }
}

std::string TempDir::write(const std::string& name, const std::string& text) const
{
    std::string file = path + "/" + name;
    std::ofstream(file) << text;
    return file;
}

ResolvConf::ResolvConf(const std::vector<std::string>& servers, const std::string& domain)
{
    std::string text = "# written by the test\n";
    if (!domain.empty()) {
        text += "domain " + domain + "\n";
    }
    for (const auto& s : servers) {
        text += "nameserver " + s + "\n";
    }
    setenv("MORAVEL_RESOLV_CONF", m_dir.write("resolv.conf", text).c_str(), 1);
}

ResolvConf::~ResolvConf()
{
    unsetenv("MORAVEL_RESOLV_CONF");
}

// Sends one query for @p name and waits a little for any answer.
static bool probeDns(uint16_t port, const char* name)
{
    uint8_t q[MV_DNS_MAX_QUERY];
    size_t len = mv_dns_build_query(0x1234, name, nullptr, MV_DNS_TYPE_A, q, sizeof(q));
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    sendto(fd, q, len, 0, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    pollfd p{fd, POLLIN, 0};
    bool ok = poll(&p, 1, 100) == 1 && (p.revents & POLLIN) && recv(fd, q, sizeof(q), 0) > 0;
    close(fd);
    return ok;
}

Dnsmasq::Dnsmasq(const std::vector<std::string>& options)
{
    for (int attempt = 0; attempt < 5 && !m_ready; ++attempt) {
        m_port = freeUdpPort();
        std::string conf;
        for (const auto& o : options) {
            conf += o + "\n";
        }
        std::string confFile = m_dir.write("dnsmasq.conf", conf);
        std::vector<std::string> args = {"dnsmasq",
                                         "--keep-in-foreground",
                                         "--no-resolv",
                                         "--no-hosts",
                                         "--user=root",
                                         "--pid-file",
                                         "--bind-interfaces",
                                         "--listen-address=127.0.0.1",
                                         "--port=" + std::to_string(m_port),
                                         "--conf-file=" + confFile,
                                         "--log-facility=" + m_dir.path + "/log"};
        std::vector<char*> argv;
        for (auto& s : args) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawnp(&pid, "dnsmasq", nullptr, nullptr, argv.data(), environ) != 0) {
            return;
        }
        m_pid = pid;
        for (int i = 0; i < 50 && !m_ready; ++i) {
            int st = 0;
            if (waitpid(m_pid, &st, WNOHANG) == m_pid) {
                m_pid = -1; // exited (port taken?): try another port
                break;
            }
            m_ready = probeDns(m_port, "probe.invalid");
        }
    }
}

Dnsmasq::~Dnsmasq()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int st = 0;
        waitpid(m_pid, &st, 0);
    }
}

ScriptedDns::ScriptedDns(Script script) : m_script(std::move(script))
{
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
    if (pipe2(m_stopFd, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    m_thread = std::thread([this] { run(); });
}

ScriptedDns::~ScriptedDns()
{
    char b = 1;
    if (write(m_stopFd[1], &b, 1) != 1) {
        // The thread then ends at its next poll time-out.
    }
    m_thread.join();
    close(m_fd);
    close(m_stopFd[0]);
    close(m_stopFd[1]);
}

int ScriptedDns::queries() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queries;
}

void ScriptedDns::run()
{
    struct Pending
    {
        steady_clock::time_point when;
        std::vector<uint8_t> bytes;
        sockaddr_storage to;
        socklen_t toLen;
    };
    std::vector<Pending> pending;
    for (;;) {
        int wait = 50;
        auto now = steady_clock::now();
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->when <= now) {
                sendto(m_fd, it->bytes.data(), it->bytes.size(), 0,
                       reinterpret_cast<sockaddr*>(&it->to), it->toLen);
                it = pending.erase(it);
            } else {
                wait = std::min<int>(
                    wait,
                    static_cast<int>(duration_cast<milliseconds>(it->when - now).count()) + 1);
                ++it;
            }
        }
        pollfd p[2] = {{m_fd, POLLIN, 0}, {m_stopFd[0], POLLIN, 0}};
        poll(p, 2, wait);
        if (p[1].revents) {
            return;
        }
        if (!(p[0].revents & POLLIN)) {
            continue;
        }
        uint8_t buf[2048];
        Pending out;
        out.toLen = sizeof(out.to);
        ssize_t n =
            recvfrom(m_fd, buf, sizeof(buf), 0, reinterpret_cast<sockaddr*>(&out.to), &out.toLen);
        if (n <= 0) {
            continue;
        }
        int index;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            index = m_queries++;
        }
        milliseconds delay(0);
        out.bytes = m_script(std::vector<uint8_t>(buf, buf + n), index, delay);
        if (!out.bytes.empty()) {
            out.when = steady_clock::now() + delay;
            pending.push_back(std::move(out));
        }
    }
}

uint16_t queryType(const std::vector<uint8_t>& q)
{
    size_t p = 12;
    while (p < q.size() && q[p] != 0) {
        p += q[p] + 1u;
    }
    if (p + 2 >= q.size()) {
        return 0;
    }
    return static_cast<uint16_t>((q[p + 1] << 8) | q[p + 2]);
}

std::vector<uint8_t> dnsAnswer(const std::vector<uint8_t>& query,
                               const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& rrs,
                               uint16_t rcode)
{
    std::vector<uint8_t> out(query);
    out[2] = 0x81;
    out[3] = static_cast<uint8_t>(0x80 | rcode);
    out[6] = 0;
    out[7] = static_cast<uint8_t>(rrs.size());
    for (const auto& rr : rrs) {
        const uint8_t fixed[] = {0xC0,
                                 12,
                                 static_cast<uint8_t>(rr.first >> 8),
                                 static_cast<uint8_t>(rr.first),
                                 0,
                                 1,
                                 0,
                                 0,
                                 0,
                                 60,
                                 static_cast<uint8_t>(rr.second.size() >> 8),
                                 static_cast<uint8_t>(rr.second.size())};
        out.insert(out.end(), fixed, fixed + sizeof(fixed));
        out.insert(out.end(), rr.second.begin(), rr.second.end());
    }
    return out;
}

} // namespace mvtest
