/* The Base64 decorator: text written through it goes to the inner transport as Base64, and
 * Base64 read from the inner transport comes out decoded. It carries text only: writes stop at
 * the first zero byte and decoded zero bytes are dropped. */
#include "mv_internal.h"

#include "mv_http_parse.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct MvB64
{
    MoravelTransport base;
    MoravelTransport* inner;
    char leftover[4]; /* characters read that do not make a whole group yet */
    uint32_t leftLen;
    char partial[4]; /* characters of a group only partly written by a direct write */
    uint32_t partialLen;
    uint8_t* undelivered; /* decoded bytes not yet delivered */
    uint32_t undLen;
    uint32_t undCap;
    /* queued read */
    MoravelCallback rcb;
    void* ruser;
    uint8_t* dst;
    uint32_t want;
    uint32_t delivered;
    uint32_t mode;
    char* work;
    uint32_t workCap;
    /* queued write */
    char* wbuf;
    MoravelCallback wcb;
    void* wuser;
    uint32_t wlen;
} MvB64;

static uint32_t charsFor(uint32_t n)
{
    return n < 3 ? 4 : (n / 3) * 4;
}

static int keepUndelivered(MvB64* t, const uint8_t* b, uint32_t n)
{
    if (t->undLen + n > t->undCap) {
        uint32_t cap = t->undLen + n + 16;
        uint8_t* u = realloc(t->undelivered, cap);
        if (!u) {
            return -1;
        }
        t->undelivered = u;
        t->undCap = cap;
    }
    memcpy(t->undelivered + t->undLen, b, n);
    t->undLen += n;
    return 0;
}

/* Moves undelivered bytes to @p dst (up to @p room); answers how many. */
static uint32_t takeUndelivered(MvB64* t, uint8_t* dst, uint32_t room)
{
    uint32_t k = t->undLen < room ? t->undLen : room;
    if (k == 0) {
        return 0; /* the store may not exist yet: no memcpy from NULL */
    }
    memcpy(dst, t->undelivered, k);
    memmove(t->undelivered, t->undelivered + k, t->undLen - k);
    t->undLen -= k;
    return k;
}

/* Decodes the whole groups of @p text (the rest becomes the leftover) into @p dst up to
 * @p room bytes, keeping the excess; answers the bytes delivered or -1 for invalid text. */
static long decodeInto(MvB64* t, const char* text, uint32_t len, uint8_t* dst, uint32_t room)
{
    uint32_t whole = len / 4 * 4;
    uint32_t out = 0;
    for (uint32_t i = 0; i < whole; i += 4) {
        int v[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            unsigned char c = (unsigned char)text[i + k];
            if (c == '=' && k >= 2) {
                v[k] = 0;
                ++pad;
            } else if (pad > 0 || (v[k] = mv_b64_value(c)) < 0) {
                return -1;
            }
        }
        uint32_t w = ((uint32_t)v[0] << 18) | ((uint32_t)v[1] << 12) | ((uint32_t)v[2] << 6) |
                     (uint32_t)v[3];
        uint8_t bytes[3] = {(uint8_t)(w >> 16), (uint8_t)(w >> 8), (uint8_t)w};
        for (int k = 0; k < 3 - pad; ++k) {
            if (bytes[k] == 0) {
                continue; /* text only */
            }
            if (out < room) {
                dst[out++] = bytes[k];
            } else if (keepUndelivered(t, &bytes[k], 1) != 0) {
                return -1;
            }
        }
    }
    t->leftLen = len - whole;
    memcpy(t->leftover, text + whole, t->leftLen);
    return (long)out;
}

static int32_t prepareWork(MvB64* t, uint32_t chars)
{
    uint32_t need = t->leftLen + chars;
    if (need > t->workCap) {
        char* w = realloc(t->work, need);
        if (!w) {
            return MORAVEL_E_OUTOFMEMORY;
        }
        t->work = w;
        t->workCap = need;
    }
    memcpy(t->work, t->leftover, t->leftLen);
    return MORAVEL_OK;
}

static int MORAVEL_CALL onInnerRead(MoravelCallbackRecord* rec);

static int32_t readMore(MvB64* t, MoravelToken* token)
{
    /* Bytes already decoded count against what is still wanted, so that the undelivered store
     * does not grow read after read. */
    uint32_t missing = t->want - t->delivered;
    uint32_t chars = charsFor(missing > t->undLen ? missing - t->undLen : 1);
    int32_t r = prepareWork(t, chars);
    if (r != 0) {
        return r;
    }
    return COMMON_TI_ReadData(t->inner, token, onInnerRead, t, chars, t->work + t->leftLen,
                              t->mode);
}

static int MORAVEL_CALL onInnerRead(MoravelCallbackRecord* rec)
{
    MvB64* t = rec->user;
    int32_t status = rec->status;
    if (status == 0) {
        uint32_t total = t->leftLen + (uint32_t)rec->value;
        t->delivered += takeUndelivered(t, t->dst + t->delivered, t->want - t->delivered);
        long got = decodeInto(t, t->work, total, t->dst + t->delivered, t->want - t->delivered);
        if (got < 0) {
            status = MORAVEL_E_IO; /* not Base64 */
        } else {
            t->delivered += (uint32_t)got;
            if (t->delivered < t->want && !(t->mode != 0 && t->delivered > 0)) {
                status = readMore(t, rec->token);
                if (status == 0) {
                    return 0;
                }
            }
        }
    }
    MoravelCallbackRecord out = {rec->token, t->ruser, status == 0 ? t->delivered : 0,
                                 0,          status,   rec->agent};
    return t->rcb(&out);
}

static int32_t MORAVEL_CALL b64ReadData(MoravelTransport* tr, MoravelToken* token,
                                        MoravelCallback cb, void* user, uint32_t length,
                                        void* buffer, uint32_t mode)
{
    MvB64* t = (MvB64*)tr;
    if (!token || !cb || !buffer || length == 0) {
        return MORAVEL_E_INVALIDARG;
    }
    t->rcb = cb;
    t->ruser = user;
    t->dst = buffer;
    t->want = length;
    t->delivered = 0;
    t->mode = mode;
    return readMore(t, token);
}

static int32_t MORAVEL_CALL b64ReadDataDirect(MoravelTransport* tr, void* buffer, uint32_t length,
                                              uint32_t* read, int* error)
{
    MvB64* t = (MvB64*)tr;
    if (read) {
        *read = 0;
    }
    if (!buffer || !read) {
        return MORAVEL_E_INVALIDARG;
    }
    uint32_t delivered = takeUndelivered(t, buffer, length);
    if (delivered == length) {
        *read = delivered; /* served from what was decoded before, without reading more */
        return MORAVEL_OK;
    }
    uint32_t chars = charsFor(length - delivered);
    int32_t r = prepareWork(t, chars);
    if (r != 0) {
        return r;
    }
    uint32_t got = 0;
    r = COMMON_TI_ReadDataDirect(t->inner, t->work + t->leftLen, chars, &got, error);
    if (r != 0) {
        printf("\n COMMON_TI_ReadDataDirect:%x", (unsigned)r);
        fflush(stdout);
        *read = delivered;
        return r;
    }
    long n =
        decodeInto(t, t->work, t->leftLen + got, (uint8_t*)buffer + delivered, length - delivered);
    if (n < 0) {
        return MORAVEL_E_IO;
    }
    *read = delivered + (uint32_t)n;
    return MORAVEL_OK;
}

/* Encodes the text (up to its first NUL, at most @p n bytes) and skips the characters of a
 * group a direct write already sent. */
static char* encodeText(MvB64* t, const void* data, uint32_t n, uint32_t* skip, uint32_t* total)
{
    size_t len = strnlen(data, n);
    char* enc = malloc(4 * ((len + 2) / 3) + 1);
    if (!enc) {
        return NULL;
    }
    *total = (uint32_t)mv_b64_encode(data, len, enc);
    *skip = 0;
    if (t->partialLen > 0 && t->partialLen <= *total &&
        memcmp(enc, t->partial, t->partialLen) == 0) {
        *skip = t->partialLen;
    }
    t->partialLen = 0;
    return enc;
}

static int MORAVEL_CALL onInnerWrite(MoravelCallbackRecord* rec)
{
    MvB64* t = rec->user;
    free(t->wbuf);
    t->wbuf = NULL;
    MoravelCallbackRecord out = {rec->token, t->wuser,    rec->status == 0 ? t->wlen : 0,
                                 0,          rec->status, rec->agent};
    return t->wcb(&out);
}

static int32_t MORAVEL_CALL b64WriteData(MoravelTransport* tr, MoravelToken* token,
                                         MoravelCallback cb, void* user, uint32_t length,
                                         const void* buffer)
{
    MvB64* t = (MvB64*)tr;
    if (!token || !cb || !buffer || t->wbuf) {
        return MORAVEL_E_INVALIDARG;
    }
    uint32_t skip, total;
    char* enc = encodeText(t, buffer, length, &skip, &total);
    if (!enc) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    t->wbuf = enc;
    t->wcb = cb;
    t->wuser = user;
    t->wlen = length;
    int32_t r = COMMON_TI_WriteData(t->inner, token, onInnerWrite, t, total - skip, enc + skip);
    if (r != 0) {
        free(enc);
        t->wbuf = NULL;
    }
    return r;
}

static int32_t MORAVEL_CALL b64WriteDataDirect(MoravelTransport* tr, const void* buffer,
                                               uint32_t length, uint32_t* written, int* error)
{
    MvB64* t = (MvB64*)tr;
    if (written) {
        *written = 0;
    }
    if (!buffer || !written) {
        return MORAVEL_E_INVALIDARG;
    }
    uint32_t skip, total;
    char* enc = encodeText(t, buffer, length, &skip, &total);
    if (!enc) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    uint32_t h = 0;
    int32_t r = total > skip
                    ? COMMON_TI_WriteDataDirect(t->inner, enc + skip, total - skip, &h, error)
                    : MORAVEL_OK;
    if (r == 0) {
        uint32_t sent = skip + h; /* characters of the whole encoding that are out */
        if (sent >= total) {
            *written = length;
        } else {
            *written = sent / 4 * 3;
            t->partialLen = sent % 4;
            memcpy(t->partial, enc + sent / 4 * 4, t->partialLen);
        }
    }
    free(enc);
    return r;
}

static int32_t MORAVEL_CALL b64WaitConnected(MoravelTransport* tr, MoravelToken* token,
                                             MoravelCallback cb, void* user)
{
    return COMMON_TI_WaitConnected(((MvB64*)tr)->inner, token, cb, user);
}

static int32_t MORAVEL_CALL b64Release(MoravelTransport** p)
{
    MvB64* t = (MvB64*)*p;
    COMMON_TI_Release(&t->inner);
    free(t->undelivered);
    free(t->work);
    free(t->wbuf);
    free(t);
    *p = NULL;
    return MORAVEL_OK;
}

static const MvTransportOps kB64Ops = {b64ReadData,        b64ReadDataDirect, b64WriteData,
                                       b64WriteDataDirect, b64WaitConnected,  b64Release};

int32_t MORAVEL_CALL Decorate_Base64_SOCK_PI(MoravelTransport** out, MoravelTransport* inner)
{
    if (out) {
        *out = NULL;
    }
    if (!out || !inner) {
        return MORAVEL_E_INVALIDARG;
    }
    MvB64* t = calloc(1, sizeof(MvB64));
    if (!t) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    t->base.ops = &kB64Ops;
    t->inner = inner;
    *out = &t->base;
    return MORAVEL_OK;
}
