#pragma once

#include "InterfaceInfo.h"

#include <vector>

// The machine's network interfaces, read with getifaddrs().
class CInterfaceList
{
public:
    // Every interface in index order, with its link-layer details and IPv4 addresses. Returns 0,
    // or a negative errno when the list cannot be read (interfaces is then empty).
    static int list(std::vector<InterfaceInfo>& interfaces);

    // The number of IPv4 addresses on all interfaces; 0 or a negative errno.
    static int countIpv4Addresses(int& count);
};
