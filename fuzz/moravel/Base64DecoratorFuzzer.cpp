// Fuzzes the Base64 decorator over an inner transport that serves the input in pieces: reads of
// varying sizes (from the input itself) must never write past the caller's buffer or keep
// more than they can hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "moravel.h"

// The transport layout the library uses (its internal header is C only).
struct MvTransportOps
{
    int32_t(MORAVEL_CALL* readData)(MoravelTransport*, MoravelToken*, MoravelCallback, void*,
                                    uint32_t, void*, uint32_t);
    int32_t(MORAVEL_CALL* readDataDirect)(MoravelTransport*, void*, uint32_t, uint32_t*, int*);
    int32_t(MORAVEL_CALL* writeData)(MoravelTransport*, MoravelToken*, MoravelCallback, void*,
                                     uint32_t, const void*);
    int32_t(MORAVEL_CALL* writeDataDirect)(MoravelTransport*, const void*, uint32_t, uint32_t*,
                                           int*);
    int32_t(MORAVEL_CALL* waitConnected)(MoravelTransport*, MoravelToken*, MoravelCallback, void*);
    int32_t(MORAVEL_CALL* release)(MoravelTransport**);
};
struct MoravelTransport
{
    const MvTransportOps* ops;
};

namespace {

struct FakeInner
{
    MoravelTransport base;
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int32_t MORAVEL_CALL fakeReadDirect(MoravelTransport* tr, void* buf, uint32_t len, uint32_t* read,
                                    int*)
{
    auto* f = reinterpret_cast<FakeInner*>(tr);
    if (f->pos >= f->size) {
        return MORAVEL_E_CLOSED;
    }
    // Serve an uneven piece: at most len, at most the next byte's value + 1.
    size_t n = std::min({size_t(len), f->size - f->pos, size_t(f->data[f->pos] % 7 + 1)});
    std::memcpy(buf, f->data + f->pos, n);
    f->pos += n;
    *read = static_cast<uint32_t>(n);
    return 0;
}

int32_t MORAVEL_CALL fakeWriteDirect(MoravelTransport*, const void*, uint32_t len, uint32_t* w,
                                     int*)
{
    *w = len / 2; // a partial write, to exercise the remembered group
    return 0;
}

int32_t MORAVEL_CALL fakeRelease(MoravelTransport** p)
{
    *p = nullptr;
    return 0;
}

const MvTransportOps kFakeOps = {nullptr,         fakeReadDirect, nullptr,
                                 fakeWriteDirect, nullptr,        fakeRelease};

} // namespace

// The decorator's only outside calls: the dispatch functions.
extern "C" {
int32_t MORAVEL_CALL COMMON_TI_ReadData(MoravelTransport*, MoravelToken*, MoravelCallback, void*,
                                        uint32_t, void*, uint32_t)
{
    return MORAVEL_E_NOTSUPPORTED;
}
int32_t MORAVEL_CALL COMMON_TI_ReadDataDirect(MoravelTransport* t, void* b, uint32_t l, uint32_t* r,
                                              int* e)
{
    return t->ops->readDataDirect(t, b, l, r, e);
}
int32_t MORAVEL_CALL COMMON_TI_WriteData(MoravelTransport*, MoravelToken*, MoravelCallback, void*,
                                         uint32_t, const void*)
{
    return MORAVEL_E_NOTSUPPORTED;
}
int32_t MORAVEL_CALL COMMON_TI_WriteDataDirect(MoravelTransport* t, const void* b, uint32_t l,
                                               uint32_t* w, int* e)
{
    return t->ops->writeDataDirect(t, b, l, w, e);
}
int32_t MORAVEL_CALL COMMON_TI_WaitConnected(MoravelTransport*, MoravelToken*, MoravelCallback,
                                             void*)
{
    return MORAVEL_E_NOTSUPPORTED;
}
int32_t MORAVEL_CALL COMMON_TI_Release(MoravelTransport** p)
{
    return (*p)->ops->release(p);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    FakeInner inner{{&kFakeOps}, data + 1, size - 1, 0};
    MoravelTransport* b64 = nullptr;
    if (Decorate_Base64_SOCK_PI(&b64, &inner.base) != 0) {
        return 0;
    }
    uint32_t want = data[0] % 16 + 1;
    for (int i = 0; i < 4096; ++i) {
        std::vector<uint8_t> buf(want);
        uint32_t got = 0;
        if (COMMON_TI_ReadDataDirect(b64, buf.data(), want, &got, nullptr) != 0) {
            break;
        }
        if (got > want) {
            __builtin_trap();
        }
        want = want % 13 + 1;
    }
    // Writes of the same input as text, partly taken by the inner transport.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    uint32_t written = 0;
    COMMON_TI_WriteDataDirect(b64, text.data(), static_cast<uint32_t>(size), &written, nullptr);
    if (written > size) {
        __builtin_trap();
    }
    COMMON_TI_WriteDataDirect(b64, text.data() + written / 3 * 3,
                              static_cast<uint32_t>(size - written / 3 * 3), &written, nullptr);
    COMMON_TI_Release(&b64);
    return 0;
}
