#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

struct event;

namespace devsim {

class CSimulator;
class CTimer;

// Answers discovery probes for every device of the fleet (docs/discovery-protocol.md): one UDP
// socket on 0.0.0.0 sees broadcasts (loopback's 127.255.255.255 included) and unicasts alike,
// IP_PKTINFO tells them apart, and each answer leaves from the answering device's own address.
class CDiscoveryResponder
{
public:
    explicit CDiscoveryResponder(CSimulator& simulator);
    ~CDiscoveryResponder();
    CDiscoveryResponder(const CDiscoveryResponder&) = delete;
    CDiscoveryResponder& operator=(const CDiscoveryResponder&) = delete;

    bool start(int port, std::string* error);

private:
    struct SPending
    {
        uint32_t deviceAddress = 0;
        uint32_t probeId = 0;
        uint32_t peerAddress = 0;
        uint16_t peerPort = 0;
        std::unique_ptr<CTimer> timer;
    };

    static void onReadable(int fd, short what, void* arg);
    void readProbes();
    void queueAnswer(uint32_t deviceAddress, uint32_t probeId, uint16_t spreadMs,
                     uint32_t peerAddress, uint16_t peerPort);
    void sendAnswer(const SPending& pending);

    CSimulator& m_simulator;
    int m_fd = -1;
    event* m_event = nullptr;
    std::list<SPending> m_pending;
};

} // namespace devsim
