// Fuzzes the NTLM challenge decoder and the authenticate message built from what it accepts:
// no read outside the challenge, no write outside the output.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mv_ntlm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1024) {
        return 0; // the operation decodes at most 1024 bytes of challenge
    }
    std::vector<uint8_t> msg(data, data + size);
    MvNtlmChallenge ch;
    if (mv_ntlm_parse_challenge(msg.data(), msg.size(), &ch) != 0) {
        return 0;
    }
    if (ch.targetInfoLen && (ch.targetInfo < msg.data() ||
                             ch.targetInfo + ch.targetInfoLen > msg.data() + msg.size())) {
        __builtin_trap();
    }
    const uint8_t client[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<uint8_t> out(4096);
    size_t len = 0;
    MvNtlmSession s;
    if (mv_ntlm_authenticate("user", "DOMAIN", "secret", &ch, client, 0, out.data(), out.size(),
                             &len, &s) == 0 &&
        len > out.size()) {
        __builtin_trap();
    }
    return 0;
}
