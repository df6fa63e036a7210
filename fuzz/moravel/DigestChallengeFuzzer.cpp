// Fuzzes the Digest challenge parser: every field must stay within its limit and end in NUL.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mv_http_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 20000) {
        return 0;
    }
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    for (const char* prefix : {"WWW-Authenticate: Digest", "Proxy-Authenticate: Digest"}) {
        MvDigest d;
        if (mv_http_parse_digest(text.data(), prefix, &d) == 0) {
            if (strnlen(d.realm, sizeof(d.realm)) == sizeof(d.realm) ||
                strnlen(d.nonce, sizeof(d.nonce)) == sizeof(d.nonce) ||
                strnlen(d.qop, sizeof(d.qop)) == sizeof(d.qop) ||
                strnlen(d.opaque, sizeof(d.opaque)) == sizeof(d.opaque) || !d.nonce[0]) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
