#include "TestResponder.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace {

int bindUdp(const char* address, uint16_t port)
{
    int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(s);
        throw std::runtime_error(std::string("cannot bind ") + address);
    }
    return s;
}

} // namespace

TestResponder::TestResponder(uint16_t port, std::vector<TestDevice> devices, bool answerBroadcasts)
    : m_devices(std::move(devices))
{
    for (const auto& d : m_devices)
        m_socks.push_back(bindUdp(d.address.c_str(), port));
    if (answerBroadcasts)
        m_socks.push_back(bindUdp("0.0.0.0", port));
    m_wake = eventfd(0, EFD_CLOEXEC);
    m_thread = std::thread([this] { run(); });
}

TestResponder::~TestResponder()
{
    uint64_t one = 1;
    if (write(m_wake, &one, sizeof one) < 0) {
    }
    m_thread.join();
    for (int s : m_socks)
        close(s);
    close(m_wake);
}

uint16_t TestResponder::freePort()
{
    int s = bindUdp("127.0.0.1", 0);
    sockaddr_in a{};
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

pxw_answer TestResponder::makeAnswer(const std::string& address, uint8_t macLast,
                                     const std::string& info)
{
    pxw_answer a{};
    std::snprintf(a.info, sizeof a.info, "%s", info.c_str());
    const uint8_t mac[6] = {0x00, 0x1A, 0x07, 0x41, 0x00, macLast};
    std::memcpy(a.mac, mac, 6);
    std::snprintf(a.ipv4, sizeof a.ipv4, "%s", address.c_str());
    std::snprintf(a.model, sizeof a.model, "Q2710");
    a.http_port = 80;
    a.number = 0x00C0FFEEu;
    std::snprintf(a.extra, sizeof a.extra, "extra-%u", macLast);
    a.cms_port = 3454;
    a.https_port = 443;
    return a;
}

void TestResponder::run()
{
    std::vector<pollfd> fds;
    for (int s : m_socks)
        fds.push_back({s, POLLIN, 0});
    fds.push_back({m_wake, POLLIN, 0});
    uint8_t buf[2048];
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds.back().revents)
            return;
        for (size_t i = 0; i + 1 < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            sockaddr_in from{};
            socklen_t len = sizeof from;
            ssize_t n =
                recvfrom(fds[i].fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n >= 0)
                handleProbe(fds[i].fd, i >= m_devices.size(), buf, size_t(n), from);
        }
    }
}

void TestResponder::handleProbe(int sock, bool wildcard, const uint8_t* data, size_t len,
                                const sockaddr_in& from)
{
    pxw_probe probe;
    if (pxw_decode_probe(data, len, &probe) != PXW_OK)
        return;
    std::vector<size_t> answering;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_searcher = from;
        m_probeId = probe.probe_id;
        m_haveSearcher = true;
        if (wildcard) {
            ++m_wildcardProbes;
            for (size_t i = 0; i < m_devices.size(); ++i)
                answering.push_back(i);
        } else {
            for (size_t i = 0; i < m_devices.size(); ++i) {
                if (m_socks[i] != sock)
                    continue;
                ++m_unicastProbes[m_devices[i].address];
                if (m_devices[i].dropProbes > 0)
                    --m_devices[i].dropProbes;
                else
                    answering.push_back(i);
            }
        }
    }
    m_cond.notify_all();
    // The test responder answers at once: spreading is the simulator's business, and the
    // library's tests want deterministic order.
    for (size_t i : answering)
        sendAnswer(i, m_devices[i].answer, probe.probe_id);
}

bool TestResponder::waitForProbe(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return m_haveSearcher; });
}

sockaddr_in TestResponder::searcher() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_searcher;
}

uint32_t TestResponder::lastProbeId() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_probeId;
}

int TestResponder::unicastProbesTo(const std::string& address) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_unicastProbes.find(address);
    return it == m_unicastProbes.end() ? 0 : it->second;
}

int TestResponder::probesOnWildcard() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wildcardProbes;
}

void TestResponder::sendRaw(size_t device, const std::vector<uint8_t>& bytes) const
{
    const sockaddr_in to = searcher();
    sendto(m_socks[device], bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
           sizeof to);
}

void TestResponder::sendAnswer(size_t device, pxw_answer answer, uint32_t probeId) const
{
    answer.probe_id = probeId;
    std::vector<uint8_t> buf(PXW_ANSWER_MAX_SIZE);
    size_t n = 0;
    if (pxw_encode_answer(&answer, buf.data(), buf.size(), &n) != PXW_OK)
        return;
    buf.resize(n);
    sendRaw(device, buf);
}
