#pragma once

#include <cstdint>

// An IPv4 address of an interface and its mask, both in host byte order.
struct InterfaceAddress
{
    uint32_t address = 0;
    uint32_t netmask = 0;
};
