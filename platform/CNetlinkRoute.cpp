#include "CNetlinkRoute.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Room for the fixed header and a few small attributes.
struct Request
{
    nlmsghdr header;
    union {
        ifaddrmsg address;
        ndmsg neighbour;
        rtmsg route;
    } body;
    char attributes[128];
};

template <typename Body> void initRequest(Request& request, uint16_t type, uint16_t flags)
{
    std::memset(&request, 0, sizeof request);
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(Body));
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = flags;
}

bool addAttribute(Request& request, uint16_t type, const void* data, size_t length)
{
    const size_t attributeLength = RTA_LENGTH(length);
    const size_t offset = NLMSG_ALIGN(request.header.nlmsg_len);
    if (offset + RTA_ALIGN(attributeLength) > sizeof request)
        return false;
    auto* attribute = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(&request) + offset);
    attribute->rta_type = type;
    attribute->rta_len = static_cast<unsigned short>(attributeLength);
    std::memcpy(RTA_DATA(attribute), data, length);
    request.header.nlmsg_len = static_cast<uint32_t>(offset + RTA_ALIGN(attributeLength));
    return true;
}

bool addIpv4Attribute(Request& request, uint16_t type, uint32_t address)
{
    const uint32_t network = htonl(address);
    return addAttribute(request, type, &network, sizeof network);
}

uint32_t prefixMask(int prefixLength)
{
    if (prefixLength <= 0)
        return 0;
    if (prefixLength >= 32)
        return 0xffffffffu;
    return ~((1u << (32 - prefixLength)) - 1);
}

bool readIpv4(const rtattr* attribute, uint32_t& address)
{
    if (RTA_PAYLOAD(attribute) < sizeof(uint32_t))
        return false;
    uint32_t network;
    std::memcpy(&network, RTA_DATA(attribute), sizeof network);
    address = ntohl(network);
    return true;
}

} // namespace

CNetlinkRoute::CNetlinkRoute() = default;

CNetlinkRoute::~CNetlinkRoute()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int CNetlinkRoute::ensureOpen()
{
    if (m_fd >= 0)
        return 0;
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0)
        return -errno;
    // A kernel that never answers must not hang the caller for ever.
    timeval timeout{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        ::close(fd);
        return -error;
    }
    m_fd = fd;
    return 0;
}

int CNetlinkRoute::transact(nlmsghdr* request,
                            const std::function<void(const nlmsghdr*)>& onMessage)
{
    if (const int opened = ensureOpen(); opened != 0)
        return opened;
    request->nlmsg_seq = ++m_sequence;
    const bool dump = (request->nlmsg_flags & NLM_F_DUMP) == NLM_F_DUMP;

    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    ssize_t sent;
    do {
        sent = ::sendto(m_fd, request, request->nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
                        sizeof kernel);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0)
        return -errno;

    // Large enough for a page of dump answers; the kernel never splits a message.
    alignas(nlmsghdr) static thread_local char buffer[32768];
    for (;;) {
        sockaddr_nl from{};
        socklen_t fromLength = sizeof from;
        const ssize_t received = ::recvfrom(m_fd, buffer, sizeof buffer, 0,
                                            reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (received < 0) {
            if (errno == EINTR)
                continue;
            return errno == EAGAIN ? -ETIMEDOUT : -errno;
        }
        if (from.nl_pid != 0)
            continue;
        int length = static_cast<int>(received);
        for (auto* message = reinterpret_cast<const nlmsghdr*>(buffer); NLMSG_OK(message, length);
             message = NLMSG_NEXT(message, length)) {
            if (message->nlmsg_seq != request->nlmsg_seq)
                continue;
            if (message->nlmsg_type == NLMSG_DONE)
                return 0;
            if (message->nlmsg_type == NLMSG_ERROR) {
                if (message->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr)))
                    return -EBADMSG;
                const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(message));
                // error 0 is the acknowledgement of a change; a dump ends with NLMSG_DONE.
                if (error->error != 0 || !dump)
                    return error->error;
                continue;
            }
            onMessage(message);
        }
    }
}

int CNetlinkRoute::addIpv4Address(int interfaceIndex, uint32_t address, int prefixLength)
{
    Request request;
    initRequest<ifaddrmsg>(request, RTM_NEWADDR,
                           NLM_F_REQUEST | NLM_F_ACK | NLM_F_CREATE | NLM_F_EXCL);
    request.body.address.ifa_family = AF_INET;
    request.body.address.ifa_prefixlen = static_cast<unsigned char>(prefixLength);
    request.body.address.ifa_scope = RT_SCOPE_UNIVERSE;
    request.body.address.ifa_index = static_cast<unsigned>(interfaceIndex);
    const uint32_t broadcast = address | ~prefixMask(prefixLength);
    if (!addIpv4Attribute(request, IFA_LOCAL, address) ||
        !addIpv4Attribute(request, IFA_ADDRESS, address) ||
        (prefixLength < 31 && !addIpv4Attribute(request, IFA_BROADCAST, broadcast)))
        return -ENOBUFS;
    return transact(&request.header, [](const nlmsghdr*) {});
}

int CNetlinkRoute::deleteIpv4Address(int interfaceIndex, uint32_t address, int prefixLength)
{
    Request request;
    initRequest<ifaddrmsg>(request, RTM_DELADDR, NLM_F_REQUEST | NLM_F_ACK);
    request.body.address.ifa_family = AF_INET;
    request.body.address.ifa_prefixlen = static_cast<unsigned char>(prefixLength);
    request.body.address.ifa_index = static_cast<unsigned>(interfaceIndex);
    if (!addIpv4Attribute(request, IFA_LOCAL, address) ||
        !addIpv4Attribute(request, IFA_ADDRESS, address))
        return -ENOBUFS;
    return transact(&request.header, [](const nlmsghdr*) {});
}

int CNetlinkRoute::addNeighbour(int interfaceIndex, uint32_t address,
                                const uint8_t* hardwareAddress, size_t hardwareLength)
{
    Request request;
    initRequest<ndmsg>(request, RTM_NEWNEIGH,
                       NLM_F_REQUEST | NLM_F_ACK | NLM_F_CREATE | NLM_F_EXCL);
    request.body.neighbour.ndm_family = AF_INET;
    request.body.neighbour.ndm_ifindex = interfaceIndex;
    request.body.neighbour.ndm_state = NUD_PERMANENT;
    if (!addIpv4Attribute(request, NDA_DST, address) ||
        !addAttribute(request, NDA_LLADDR, hardwareAddress, hardwareLength))
        return -ENOBUFS;
    return transact(&request.header, [](const nlmsghdr*) {});
}

int CNetlinkRoute::deleteNeighbour(int interfaceIndex, uint32_t address)
{
    Request request;
    initRequest<ndmsg>(request, RTM_DELNEIGH, NLM_F_REQUEST | NLM_F_ACK);
    request.body.neighbour.ndm_family = AF_INET;
    request.body.neighbour.ndm_ifindex = interfaceIndex;
    if (!addIpv4Attribute(request, NDA_DST, address))
        return -ENOBUFS;
    return transact(&request.header, [](const nlmsghdr*) {});
}

int CNetlinkRoute::ipv4Addresses(std::vector<Ipv4AddressEntry>& entries)
{
    entries.clear();
    Request request;
    initRequest<ifaddrmsg>(request, RTM_GETADDR, NLM_F_REQUEST | NLM_F_DUMP);
    request.body.address.ifa_family = AF_INET;
    const int result = transact(&request.header, [&entries](const nlmsghdr* message) {
        if (message->nlmsg_type != RTM_NEWADDR ||
            message->nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg)))
            return;
        const auto* body = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
        if (body->ifa_family != AF_INET)
            return;
        Ipv4AddressEntry entry;
        entry.interfaceIndex = static_cast<int>(body->ifa_index);
        entry.prefixLength = body->ifa_prefixlen;
        bool haveLocal = false;
        bool haveAddress = false;
        int length = static_cast<int>(IFA_PAYLOAD(message));
        for (const rtattr* attribute = IFA_RTA(body); RTA_OK(attribute, length);
             attribute = RTA_NEXT(attribute, length)) {
            // IFA_LOCAL is the interface's own address; IFA_ADDRESS differs from it only on
            // point-to-point links, where it is the peer.
            if (attribute->rta_type == IFA_LOCAL)
                haveLocal = readIpv4(attribute, entry.address);
            else if (attribute->rta_type == IFA_ADDRESS && !haveLocal)
                haveAddress = readIpv4(attribute, entry.address);
        }
        if (haveLocal || haveAddress)
            entries.push_back(entry);
    });
    if (result != 0)
        entries.clear();
    return result;
}

int CNetlinkRoute::ipv4DefaultGateways(std::vector<Ipv4Gateway>& gateways)
{
    gateways.clear();
    Request request;
    initRequest<rtmsg>(request, RTM_GETROUTE, NLM_F_REQUEST | NLM_F_DUMP);
    request.body.route.rtm_family = AF_INET;
    const int result = transact(&request.header, [&gateways](const nlmsghdr* message) {
        if (message->nlmsg_type != RTM_NEWROUTE || message->nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg)))
            return;
        const auto* body = static_cast<const rtmsg*>(NLMSG_DATA(message));
        if (body->rtm_family != AF_INET || body->rtm_dst_len != 0 || body->rtm_type != RTN_UNICAST)
            return;
        uint32_t table = body->rtm_table;
        Ipv4Gateway gateway;
        bool haveGateway = false;
        int length = static_cast<int>(RTM_PAYLOAD(message));
        for (const rtattr* attribute = RTM_RTA(body); RTA_OK(attribute, length);
             attribute = RTA_NEXT(attribute, length)) {
            if (attribute->rta_type == RTA_GATEWAY) {
                haveGateway = readIpv4(attribute, gateway.gateway);
            } else if (attribute->rta_type == RTA_OIF && RTA_PAYLOAD(attribute) >= sizeof(int)) {
                std::memcpy(&gateway.interfaceIndex, RTA_DATA(attribute), sizeof(int));
            } else if (attribute->rta_type == RTA_TABLE &&
                       RTA_PAYLOAD(attribute) >= sizeof(uint32_t)) {
                std::memcpy(&table, RTA_DATA(attribute), sizeof table);
            }
        }
        if (table == RT_TABLE_MAIN && haveGateway && gateway.interfaceIndex > 0)
            gateways.push_back(gateway);
    });
    if (result != 0)
        gateways.clear();
    return result;
}
