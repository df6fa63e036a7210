// Feeds arbitrary bytes to the getparam reply parser and checks what must hold for any input:
// no name is empty, no name contains "=", and no pair spans a line separator.
#include "ParamReply.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), int(size));
    const ParamPairs pairs = parseParamPairs(body);
    for (const auto& pair : pairs) {
        if (pair.first.isEmpty() || pair.first.contains(QLatin1Char('=')) ||
            pair.first.contains(QLatin1String("\r\n")) ||
            pair.second.contains(QLatin1String("\r\n")))
            std::abort();
    }
    if (pairs.size() > int(size) / 2 + 1)
        std::abort();
    return 0;
}
