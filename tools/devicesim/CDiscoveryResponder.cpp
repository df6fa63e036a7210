#include "CDiscoveryResponder.h"

#include "CSimulator.h"
#include "CTimer.h"
#include "StringUtil.h"

#include "pyxera_wire.h"

#include <arpa/inet.h>
#include <event2/event.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace devsim {

namespace {

constexpr std::size_t kMaxPending = 200000;

bool isBroadcast(uint32_t address)
{
    // The limited broadcast, loopback's broadcast and the all-ones host of any /24 or wider
    // network; a probe to such an address is for every device.
    return address == 0xffffffffu || (address & 0xffu) == 0xffu;
}

uint32_t randomNumber()
{
    static std::mt19937 generator{std::random_device{}()};
    return generator();
}

} // namespace

CDiscoveryResponder::CDiscoveryResponder(CSimulator& simulator) : m_simulator(simulator) {}

CDiscoveryResponder::~CDiscoveryResponder()
{
    m_pending.clear();
    if (m_event)
        event_free(m_event);
    if (m_fd >= 0)
        close(m_fd);
}

bool CDiscoveryResponder::start(int port, std::string* error)
{
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        *error = std::string("cannot open the discovery socket: ") + std::strerror(errno);
        return false;
    }
    const int on = 1;
    // SO_REUSEADDR lets a second simulator on the same port also hear broadcasts; SO_REUSEPORT
    // is left off on purpose, as it would deal unicast probes out between processes.
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    setsockopt(m_fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    const int buffer = 4 * 1024 * 1024;
    setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_ANY);
    sin.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin) != 0) {
        *error = "cannot bind discovery port " + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    m_event = event_new(m_simulator.base(), m_fd, EV_READ | EV_PERSIST,
                        &CDiscoveryResponder::onReadable, this);
    event_add(m_event, nullptr);
    return true;
}

void CDiscoveryResponder::onReadable(int, short, void* arg)
{
    static_cast<CDiscoveryResponder*>(arg)->readProbes();
}

void CDiscoveryResponder::readProbes()
{
    for (int round = 0; round < 256; ++round) {
        uint8_t data[1024];
        sockaddr_in peer{};
        char control[256];
        iovec iov{data, sizeof data};
        msghdr msg{};
        msg.msg_name = &peer;
        msg.msg_namelen = sizeof peer;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        const ssize_t n = recvmsg(m_fd, &msg, 0);
        if (n < 0)
            return;
        pxw_probe probe{};
        if (pxw_decode_probe(data, static_cast<size_t>(n), &probe) != PXW_OK)
            continue; // never answer anything but a valid probe
        uint32_t destination = 0;
        bool known = false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info{};
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                destination = ntohl(info.ipi_addr.s_addr);
                known = true;
            }
        }
        const uint32_t peerAddress = ntohl(peer.sin_addr.s_addr);
        const uint16_t peerPort = ntohs(peer.sin_port);
        // Only loopback peers: the simulator never talks to the network outside this machine.
        if (!known || (peerAddress >> 24) != 127)
            continue;
        // A device's own address wins over the broadcast test: 127.0.2.255 may be a device.
        if (CVirtualDevice* device = m_simulator.find(formatIPv4(destination))) {
            if (device->answersDiscovery())
                queueAnswer(destination, probe.probe_id, probe.spread_ms, peerAddress, peerPort);
        } else if (isBroadcast(destination)) {
            for (const auto& each : m_simulator.devices())
                if (each->answersDiscovery())
                    queueAnswer(each->state().address, probe.probe_id, probe.spread_ms, peerAddress,
                                peerPort);
        }
    }
}

void CDiscoveryResponder::queueAnswer(uint32_t deviceAddress, uint32_t probeId, uint16_t spreadMs,
                                      uint32_t peerAddress, uint16_t peerPort)
{
    if (m_pending.size() >= kMaxPending)
        return;
    pxw_probe probe{};
    probe.probe_id = probeId;
    probe.spread_ms = spreadMs;
    const uint32_t delay = pxw_answer_delay_ms(&probe, randomNumber());
    m_pending.emplace_back();
    auto it = std::prev(m_pending.end());
    it->deviceAddress = deviceAddress;
    it->probeId = probeId;
    it->peerAddress = peerAddress;
    it->peerPort = peerPort;
    it->timer = std::make_unique<CTimer>(m_simulator.base(), [this, it] {
        sendAnswer(*it);
        m_pending.erase(it);
    });
    it->timer->start(static_cast<int>(delay));
}

void CDiscoveryResponder::sendAnswer(const SPending& pending)
{
    // The device may have gone down (restart) or moved since the probe arrived.
    CVirtualDevice* device = m_simulator.find(formatIPv4(pending.deviceAddress));
    if (!device || !device->answersDiscovery())
        return;
    const SDeviceState& s = device->state();
    pxw_answer answer{};
    answer.probe_id = pending.probeId;
    std::snprintf(answer.info, sizeof answer.info, "%s", s.identification().c_str());
    unsigned int mac[6] = {};
    std::sscanf(s.mac.c_str(), "%x-%x-%x-%x-%x-%x", &mac[0], &mac[1], &mac[2], &mac[3], &mac[4],
                &mac[5]);
    for (int i = 0; i < 6; ++i)
        answer.mac[i] = static_cast<uint8_t>(mac[i]);
    std::snprintf(answer.ipv4, sizeof answer.ipv4, "%s", device->ip().c_str());
    const std::string model = s.extendedModel.empty() ? s.model : s.extendedModel;
    std::snprintf(answer.model, sizeof answer.model, "%s", model.c_str());
    answer.http_port = static_cast<uint16_t>(s.httpPort);
    answer.https_port = static_cast<uint16_t>(s.httpsPort);
    answer.cms_port = 0;
    uint8_t buffer[PXW_ANSWER_MAX_SIZE];
    size_t length = 0;
    if (pxw_encode_answer(&answer, buffer, sizeof buffer, &length) != PXW_OK)
        return;

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(pending.peerAddress);
    to.sin_port = htons(pending.peerPort);
    iovec iov{buffer, length};
    char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &to;
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    // Answer from the device's own address, so the searcher sees who answered.
    info.ipi_spec_dst.s_addr = htonl(pending.deviceAddress);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    sendmsg(m_fd, &msg, 0);
}

} // namespace devsim
