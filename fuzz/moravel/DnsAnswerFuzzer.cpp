// Fuzzes the resolver's DNS answer parser: any datagram a server (or an attacker on the path)
// sends must be refused or parsed without reading outside it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mv_dns.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> msg(data, data + size);
    // Take the ID from the message itself so that inputs get past the ID check.
    uint16_t id = size >= 2 ? static_cast<uint16_t>((data[0] << 8) | data[1]) : 0;
    for (uint16_t qtype : {uint16_t{1}, uint16_t{28}}) {
        MoravelResolveResult res;
        std::memset(&res, 0, sizeof(res));
        int32_t r = mv_dns_parse_answer(msg.data(), msg.size(), id, qtype, &res);
        if (r == 0 && res.ipv4Text[sizeof(res.ipv4Text) - 1] != 0) {
            __builtin_trap(); // texts are always terminated
        }
        if (r == 0 && res.ipv6Text[sizeof(res.ipv6Text) - 1] != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
