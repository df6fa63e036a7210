// Helpers shared by the Moravel tests: callback collection, driving caller-driven agents,
// loopback sockets and a dnsmasq instance of the test's own.
#pragma once

#include "moravel.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mvtest {

struct Call
{
    MoravelToken* token = nullptr;
    void* user = nullptr;
    uintptr_t value = 0;
    uintptr_t extra = 0;
    int32_t status = 0;
    std::thread::id thread;
    std::string payload; // copy of an extended timer's payload
};

// Records every callback it receives (user data = the Collector).
class Collector
{
public:
    static int MORAVEL_CALL callback(MoravelCallbackRecord* rec);
    // Records with a tag of the caller's choosing instead of the collector as user data.
    struct Tagged
    {
        Collector* collector;
        int tag;
    };
    static int MORAVEL_CALL taggedCallback(MoravelCallbackRecord* rec);

    size_t count() const;
    std::vector<Call> calls() const;
    std::vector<int> tags() const;
    void add(const Call& call, int tag);
    std::mutex& mutex() { return m_mutex; }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    std::vector<Call> m_calls;
    std::vector<int> m_tags;
};

// An agent either with its own loop thread or driven by the test thread.
class AgentHolder
{
public:
    explicit AgentHolder(bool ownThread);
    ~AgentHolder();
    MoravelAgent* get() const { return m_agent; }
    bool ownThread() const { return m_ownThread; }
    // Waits (own thread) or runs cycles (caller-driven) until pred holds or the time is up.
    bool until(const std::function<bool()>& pred, std::chrono::milliseconds limit);
    // Runs fn on the loop thread (through SCHEAGENT_DoSomethingSafely) and answers its result.
    int runOnLoop(const std::function<int(MoravelAgent*)>& fn);

private:
    MoravelAgent* m_agent = nullptr;
    bool m_ownThread;
};

// A TCP listener on a free loopback port (IPv4 127.0.0.1 or IPv6 ::1).
struct Listener
{
    explicit Listener(bool v6 = false);
    ~Listener();
    int acceptOne(std::chrono::milliseconds limit) const; // -1 when nothing came
    int fd = -1;
    uint16_t port = 0;
};

// Connected pair of loopback TCP sockets (client, server end).
std::pair<int, int> tcpPair();
uint16_t freeUdpPort();
// Whether ::1 can be bound here (some containers run without IPv6).
bool ipv6Loopback();
bool readAll(int fd, void* buf, size_t len, std::chrono::milliseconds limit);

// A file of the test's own, removed when the object goes away.
struct TempDir
{
    TempDir();
    ~TempDir();
    std::string path;
    std::string write(const std::string& name, const std::string& text) const;
};

// Points agents created from now on at the given DNS servers ("addr#port" texts).
class ResolvConf
{
public:
    explicit ResolvConf(const std::vector<std::string>& servers, const std::string& domain = {});
    ~ResolvConf();

private:
    TempDir m_dir;
};

// dnsmasq from Debian on 127.0.0.1 with the test's own records, never as a system service.
class Dnsmasq
{
public:
    explicit Dnsmasq(const std::vector<std::string>& options);
    ~Dnsmasq();
    bool ready() const { return m_ready; }
    uint16_t port() const { return m_port; }
    std::string server() const { return "127.0.0.1#" + std::to_string(m_port); }

private:
    TempDir m_dir;
    int m_pid = -1;
    uint16_t m_port = 0;
    bool m_ready = false;
};

// A scripted DNS server on a UDP socket of the test: answers every query through the script.
class ScriptedDns
{
public:
    // Given the query and how many queries came before it, answers the reply bytes to send
    // (empty: none) and a delay before sending them.
    using Script = std::function<std::vector<uint8_t>(const std::vector<uint8_t>& query, int index,
                                                      std::chrono::milliseconds& delay)>;
    explicit ScriptedDns(Script script);
    ~ScriptedDns();
    std::string server() const { return "127.0.0.1#" + std::to_string(m_port); }
    int queries() const;

private:
    void run();
    Script m_script;
    int m_fd = -1;
    int m_stopFd[2] = {-1, -1};
    uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    int m_queries = 0;
    std::thread m_thread;
};

// Builds a DNS answer to @p query with the given answer records (type, rdata), each owned by
// the question name (compressed pointer to offset 12).
std::vector<uint8_t> dnsAnswer(const std::vector<uint8_t>& query,
                               const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& rrs,
                               uint16_t rcode = 0);
uint16_t queryType(const std::vector<uint8_t>& query);

} // namespace mvtest
