#pragma once

#include "InterfaceAddress.h"

#include <cstdint>
#include <string>
#include <vector>

// One network interface: its index and name, link-layer address and type (ARPHRD_*), its flags
// (IFF_*) and its IPv4 addresses in the order the kernel lists them.
struct InterfaceInfo
{
    int index = 0;
    std::string name;
    std::vector<uint8_t> hardwareAddress;
    unsigned short hardwareType = 0;
    unsigned int flags = 0;
    std::vector<InterfaceAddress> ipv4;
};
