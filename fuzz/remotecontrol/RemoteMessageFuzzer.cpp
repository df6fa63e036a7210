// Feeds arbitrary bytes through the path a client's data takes: cut into messages, decoded into
// commands, and a reply encoded from what was decoded. Besides crashes it checks the properties
// the server relies on.
#include "CRemoteMessageCodec.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte, when present, splits the input into two batches as two reads would.
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    const int cut =
        input.isEmpty() ? 0 : (static_cast<unsigned char>(input.at(0)) * input.size()) / 256;
    for (const QByteArray& batch : {input.left(cut), input.mid(cut)}) {
        const QList<QByteArray> messages = CRemoteMessageCodec::splitBatch(batch);
        check(!messages.isEmpty());
        int kept = 0;
        for (int i = 0; i < messages.size(); ++i) {
            const QByteArray& message = messages.at(i);
            kept += message.size();
            // Only the last piece of a batch may be empty, and a piece never starts with space.
            check(i == messages.size() - 1 || !message.isEmpty());
            check(message.isEmpty() || !isJsonSpace(message.at(0)));
            if (i > 0)
                check(message.startsWith('{'));
            if (i < messages.size() - 1)
                check(message.endsWith('}'));

            CRemoteMessageCodec::MessageInfo info;
            const bool isObject =
                CRemoteMessageCodec::decode(CRemoteMessageCodec::messageText(message), &info);
            check(info.delay >= 0);
            check(info.command.isEmpty() || CRemoteMessageCodec::isCommandName(info.command));
            if (!isObject)
                check(info.command.isEmpty() && info.params.isEmpty() && info.delay == 0);
            const QByteArray reply = CRemoteMessageCodec::encodeReply(
                isObject, CRemoteMessageCodec::toPlainVariant(info.params));
            check(reply.startsWith("{\n    \"result\": ") && reply.endsWith("}\n"));
        }
        check(kept <= batch.size());
    }
    return 0;
}
