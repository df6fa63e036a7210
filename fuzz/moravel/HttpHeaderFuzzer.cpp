// Fuzzes what the request operation reads from a response header: status, Content-Length and
// the NTLM/Negotiate challenge token, on any bytes a server may send (cut at the first zero,
// as the operation keeps the header as text).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mv_http_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 20000) {
        return 0; // the operation never keeps more
    }
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    int status = mv_http_status(text.data());
    if (status > 999) {
        __builtin_trap();
    }
    int32_t cl = mv_http_content_length(text.data());
    if (cl < -1) {
        __builtin_trap();
    }
    for (int proxy = 0; proxy < 2; ++proxy) {
        std::vector<char> token(64);
        int pkg = mv_http_find_sspi(text.data(), proxy, token.data(), token.size());
        if (pkg != MV_PKG_NONE && token.back() != '\0' && token[token.size() - 1] != 0) {
            __builtin_trap();
        }
        // The token then goes through the strict decoder, as the operation does.
        std::vector<uint8_t> out(1024);
        mv_b64_decode(token.data(), std::char_traits<char>::length(token.data()), out.data(),
                      out.size());
    }
    return 0;
}
