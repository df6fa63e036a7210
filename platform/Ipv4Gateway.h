#pragma once

#include <cstdint>

// A default route's next hop (host byte order) and the interface it leaves through.
struct Ipv4Gateway
{
    int interfaceIndex = 0;
    uint32_t gateway = 0;
};
