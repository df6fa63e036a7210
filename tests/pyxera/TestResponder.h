#pragma once

// A small discovery responder for the library's tests, built on the wire module: one socket per
// device address plus one on the wildcard address for broadcasts, answering on a thread of its
// own. It also remembers where the searcher's probes came from so that tests can send crafted
// datagrams to the searcher's socket.

#include "pyxera_wire.h"

#include <netinet/in.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TestDevice
{
    std::string address; // 127.x.y.z the device listens and answers on
    pxw_answer answer;   // probe_id is filled per probe
    int dropProbes = 0;  // ignore this many unicast probes before answering
};

class TestResponder
{
public:
    TestResponder(uint16_t port, std::vector<TestDevice> devices, bool answerBroadcasts = true);
    ~TestResponder();

    // Waits until a probe has arrived; returns false on timeout.
    bool waitForProbe(int timeoutMs);
    sockaddr_in searcher() const;
    uint32_t lastProbeId() const;
    int unicastProbesTo(const std::string& address) const;
    int probesOnWildcard() const;

    // Sends raw bytes to the searcher from the socket of device i.
    void sendRaw(size_t device, const std::vector<uint8_t>& bytes) const;
    // Encodes answer with the given probe id and sends it from the socket of device i.
    void sendAnswer(size_t device, pxw_answer answer, uint32_t probeId) const;

    // A free UDP port on loopback, for one test's discovery traffic.
    static uint16_t freePort();
    static pxw_answer makeAnswer(const std::string& address, uint8_t macLast,
                                 const std::string& info = "Q2710-QXOR-4.12.7");

private:
    void run();
    void handleProbe(int sock, bool wildcard, const uint8_t* data, size_t len,
                     const sockaddr_in& from);

    std::vector<TestDevice> m_devices;
    std::vector<int> m_socks; // one per device, then the wildcard socket if any
    int m_wake = -1;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_haveSearcher = false;
    sockaddr_in m_searcher{};
    uint32_t m_probeId = 0;
    std::map<std::string, int> m_unicastProbes;
    int m_wildcardProbes = 0;
};
