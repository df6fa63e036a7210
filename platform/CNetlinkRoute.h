#pragma once

#include "Ipv4AddressEntry.h"
#include "Ipv4Gateway.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct nlmsghdr;

// A routing-netlink (rtnetlink) socket of the calling thread's network namespace: IPv4 interface
// addresses, neighbour entries and default gateways. Changes need CAP_NET_ADMIN.
//
// Every call returns 0 on success or a negative errno: the kernel's own answer for a refused
// request (-EPERM without the capability, -EEXIST for an address or entry already present,
// -EADDRNOTAVAIL or -ENOENT for one that is not there), or the socket's error. Addresses are in
// host byte order. One object serves one thread at a time.
class CNetlinkRoute
{
public:
    CNetlinkRoute();
    ~CNetlinkRoute();
    CNetlinkRoute(const CNetlinkRoute&) = delete;
    CNetlinkRoute& operator=(const CNetlinkRoute&) = delete;

    int addIpv4Address(int interfaceIndex, uint32_t address, int prefixLength);
    int deleteIpv4Address(int interfaceIndex, uint32_t address, int prefixLength);

    // A permanent (static) neighbour entry mapping address to the link-layer address.
    int addNeighbour(int interfaceIndex, uint32_t address, const uint8_t* hardwareAddress,
                     size_t hardwareLength);
    int deleteNeighbour(int interfaceIndex, uint32_t address);

    // The kernel's IPv4 address table, grouped by interface as the kernel lists it.
    int ipv4Addresses(std::vector<Ipv4AddressEntry>& entries);
    // The default routes of the main table that name a gateway.
    int ipv4DefaultGateways(std::vector<Ipv4Gateway>& gateways);

private:
    int ensureOpen();
    // Sends one request and reads until its acknowledgement (or, for a dump, its end), handing
    // every answer message to onMessage.
    int transact(nlmsghdr* request, const std::function<void(const nlmsghdr*)>& onMessage);

    int m_fd = -1;
    uint32_t m_sequence = 0;
};
