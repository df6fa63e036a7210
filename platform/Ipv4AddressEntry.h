#pragma once

#include <cstdint>

// One IPv4 address of an interface as the kernel lists it. Addresses are in host byte order.
struct Ipv4AddressEntry
{
    int interfaceIndex = 0;
    uint32_t address = 0;
    int prefixLength = 0;
};
