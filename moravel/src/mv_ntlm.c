/* NTLM message code after MS-NLMP. NTLMv2 only: the LM and NTLMv1 responses are broken and
 * servers of today refuse them. MD4 comes from OpenSSL 3's legacy provider, loaded into a
 * library context of our own so that the caller's OpenSSL set-up is never touched. */
#include "mv_ntlm.h"

#include <ctype.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/provider.h>
#include <pthread.h>
#include <string.h>

/* Negotiate flags (§2.2.2.5). */
#define NTLMSSP_NEGOTIATE_UNICODE 0x00000001u
#define NTLMSSP_REQUEST_TARGET 0x00000004u
#define NTLMSSP_NEGOTIATE_NTLM 0x00000200u
#define NTLMSSP_NEGOTIATE_ALWAYS_SIGN 0x00008000u
#define NTLMSSP_NEGOTIATE_EXTENDED_SESSIONSECURITY 0x00080000u
#define NTLMSSP_NEGOTIATE_TARGET_INFO 0x00800000u
#define NTLMSSP_NEGOTIATE_VERSION 0x02000000u
#define NTLMSSP_NEGOTIATE_128 0x20000000u
#define NTLMSSP_NEGOTIATE_56 0x80000000u

#define CLIENT_FLAGS                                                                               \
    (NTLMSSP_NEGOTIATE_UNICODE | NTLMSSP_REQUEST_TARGET | NTLMSSP_NEGOTIATE_NTLM |                 \
     NTLMSSP_NEGOTIATE_ALWAYS_SIGN | NTLMSSP_NEGOTIATE_EXTENDED_SESSIONSECURITY |                  \
     NTLMSSP_NEGOTIATE_VERSION | NTLMSSP_NEGOTIATE_128 | NTLMSSP_NEGOTIATE_56)

static const uint8_t kSignature[8] = {'N', 'T', 'L', 'M', 'S', 'S', 'P', 0};
/* Windows 10 build 19041, NTLMSSP_REVISION_W2K3 (§2.2.2.10). */
static const uint8_t kVersion[8] = {10, 0, 0x61, 0x4a, 0, 0, 0, 0x0f};

static void put16(uint8_t* p, uint16_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

static void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = (uint8_t)(v >> (8 * i));
    }
}

static uint16_t get16(const uint8_t* p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

static uint32_t get32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

void mv_ntlm_negotiate(uint8_t out[MV_NTLM_NEGOTIATE_LEN])
{
    memset(out, 0, MV_NTLM_NEGOTIATE_LEN);
    memcpy(out, kSignature, 8);
    put32(out + 8, 1);
    put32(out + 12, CLIENT_FLAGS);
    /* Domain and workstation fields stay empty; their offsets point at the end. */
    put32(out + 20, MV_NTLM_NEGOTIATE_LEN);
    put32(out + 28, MV_NTLM_NEGOTIATE_LEN);
    memcpy(out + 32, kVersion, 8);
}

int mv_ntlm_parse_challenge(const uint8_t* msg, size_t len, MvNtlmChallenge* out)
{
    memset(out, 0, sizeof(*out));
    if (len < 32 || memcmp(msg, kSignature, 8) != 0 || get32(msg + 8) != 2) {
        return -1;
    }
    uint16_t nameLen = get16(msg + 12);
    uint32_t nameOff = get32(msg + 16);
    if ((uint64_t)nameOff + nameLen > len) {
        return -1;
    }
    out->flags = get32(msg + 20);
    memcpy(out->serverChallenge, msg + 24, 8);
    if (len >= 48) {
        uint16_t infoLen = get16(msg + 40);
        uint32_t infoOff = get32(msg + 44);
        if ((uint64_t)infoOff + infoLen > len) {
            return -1;
        }
        out->targetInfo = msg + infoOff;
        out->targetInfoLen = infoLen;
        /* AV pairs (§2.2.2.1) up to MsvAvEOL, each within the field. */
        size_t p = 0;
        for (;;) {
            if (p + 4 > infoLen) {
                return infoLen == 0 ? 0 : -1;
            }
            uint16_t id = get16(out->targetInfo + p);
            uint16_t l = get16(out->targetInfo + p + 2);
            if (p + 4 + l > infoLen) {
                return -1;
            }
            if (id == 0) {
                break;
            }
            if (id == 7 && l == 8) {
                out->haveTimestamp = 1;
                out->timestamp = (uint64_t)get32(out->targetInfo + p + 4) |
                                 ((uint64_t)get32(out->targetInfo + p + 8) << 32);
            }
            p += 4 + l;
        }
    }
    return 0;
}

static pthread_once_t gOnce = PTHREAD_ONCE_INIT;
static OSSL_LIB_CTX* gLib;

static void loadLegacy(void)
{
    gLib = OSSL_LIB_CTX_new();
    if (gLib && (!OSSL_PROVIDER_load(gLib, "legacy") || !OSSL_PROVIDER_load(gLib, "default"))) {
        OSSL_LIB_CTX_free(gLib);
        gLib = NULL;
    }
}

static int md4(const uint8_t* in, size_t len, uint8_t out[16])
{
    pthread_once(&gOnce, loadLegacy);
    if (!gLib) {
        return -1;
    }
    EVP_MD* md = EVP_MD_fetch(gLib, "MD4", NULL);
    if (!md) {
        return -1;
    }
    unsigned int n = 0;
    int ok = EVP_Digest(in, len, out, &n, md, NULL);
    EVP_MD_free(md);
    return ok == 1 && n == 16 ? 0 : -1;
}

static int hmacMd5(const uint8_t key[16], const uint8_t* a, size_t aLen, const uint8_t* b,
                   size_t bLen, uint8_t out[16])
{
    EVP_MAC* mac = EVP_MAC_fetch(NULL, "HMAC", NULL);
    if (!mac) {
        return -1;
    }
    EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
    OSSL_PARAM params[2] = {OSSL_PARAM_construct_utf8_string("digest", "MD5", 0),
                            OSSL_PARAM_construct_end()};
    size_t n = 0;
    int ok = ctx && EVP_MAC_init(ctx, key, 16, params) == 1 && EVP_MAC_update(ctx, a, aLen) == 1 &&
             (!b || EVP_MAC_update(ctx, b, bLen) == 1) && EVP_MAC_final(ctx, out, &n, 16) == 1 &&
             n == 16;
    EVP_MAC_CTX_free(ctx);
    EVP_MAC_free(mac);
    return ok ? 0 : -1;
}

/* UTF-8 to UTF-16LE (BMP only), optionally upper-cased (ASCII letters, as Windows does for
 * the user names people type). Answers the bytes written or -1. */
static long utf16(const char* s, int upper, uint8_t* out, size_t cap)
{
    size_t o = 0;
    const unsigned char* p = (const unsigned char*)s;
    while (*p) {
        uint32_t c;
        if (*p < 0x80) {
            c = *p++;
        } else if ((*p & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
            c = ((uint32_t)(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
            p += 2;
        } else if ((*p & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            c = ((uint32_t)(p[0] & 0x0F) << 12) | ((uint32_t)(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            p += 3;
        } else {
            return -1;
        }
        if (upper && c < 0x80) {
            c = (uint32_t)toupper((int)c);
        }
        if (o + 2 > cap) {
            return -1;
        }
        put16(out + o, (uint16_t)c);
        o += 2;
    }
    return (long)o;
}

int mv_ntlm_ntowfv2(const char* user, const char* domain, const char* password, uint8_t out[16])
{
    uint8_t buf[1024];
    long n = utf16(password, 0, buf, sizeof(buf));
    uint8_t ntowf1[16];
    if (n < 0 || md4(buf, (size_t)n, ntowf1) != 0) {
        return -1;
    }
    long u = utf16(user, 1, buf, sizeof(buf));
    if (u < 0) {
        return -1;
    }
    long d = utf16(domain, 0, buf + u, sizeof(buf) - (size_t)u);
    if (d < 0) {
        return -1;
    }
    return hmacMd5(ntowf1, buf, (size_t)(u + d), NULL, 0, out);
}

int mv_ntlm_v2_responses(const uint8_t ntowf[16], const uint8_t serverChallenge[8],
                         const uint8_t clientChallenge[8], uint64_t time, const uint8_t* targetInfo,
                         size_t targetInfoLen, uint8_t* nt, size_t* ntLen, uint8_t lm[24],
                         uint8_t sessionBaseKey[16])
{
    /* temp = 0x01 0x01 Z(6) Time ClientChallenge Z(4) ServerName Z(4) */
    uint8_t* temp = nt + 16;
    memset(temp, 0, 28);
    temp[0] = 1;
    temp[1] = 1;
    put32(temp + 8, (uint32_t)time);
    put32(temp + 12, (uint32_t)(time >> 32));
    memcpy(temp + 16, clientChallenge, 8);
    if (targetInfoLen) {
        memcpy(temp + 28, targetInfo, targetInfoLen);
    }
    memset(temp + 28 + targetInfoLen, 0, 4);
    size_t tempLen = 28 + targetInfoLen + 4;
    if (hmacMd5(ntowf, serverChallenge, 8, temp, tempLen, nt) != 0 ||
        hmacMd5(ntowf, serverChallenge, 8, clientChallenge, 8, lm) != 0 ||
        hmacMd5(ntowf, nt, 16, NULL, 0, sessionBaseKey) != 0) {
        return -1;
    }
    memcpy(lm + 16, clientChallenge, 8);
    *ntLen = 16 + tempLen;
    return 0;
}

static int putField(uint8_t* msg, size_t fieldAt, size_t* payload, size_t cap, const uint8_t* data,
                    size_t len)
{
    if (*payload + len > cap || len > 0xFFFF) {
        return -1;
    }
    put16(msg + fieldAt, (uint16_t)len);
    put16(msg + fieldAt + 2, (uint16_t)len);
    put32(msg + fieldAt + 4, (uint32_t)*payload);
    if (len) {
        memcpy(msg + *payload, data, len);
    }
    *payload += len;
    return 0;
}

int mv_ntlm_authenticate(const char* user, const char* domain, const char* password,
                         const MvNtlmChallenge* ch, const uint8_t clientChallenge[8], uint64_t now,
                         uint8_t* out, size_t cap, size_t* outLen, MvNtlmSession* session)
{
    enum
    {
        HEADER = 88
    };
    uint8_t ntowf[16];
    if (cap < HEADER || mv_ntlm_ntowfv2(user, domain, password, ntowf) != 0) {
        return -1;
    }
    uint8_t nt[16 + 28 + 65535 + 4];
    size_t ntLen = 0;
    uint8_t lm[24], key[16];
    uint64_t time = ch->haveTimestamp ? ch->timestamp : now;
    if (mv_ntlm_v2_responses(ntowf, ch->serverChallenge, clientChallenge, time, ch->targetInfo,
                             ch->targetInfoLen, nt, &ntLen, lm, key) != 0) {
        return -1;
    }
    /* With a server timestamp the LM response is all zeros (§3.1.5.1.2). */
    if (ch->haveTimestamp) {
        memset(lm, 0, sizeof(lm));
    }
    uint8_t d[256], u[256];
    long dl = utf16(domain, 0, d, sizeof(d));
    long ul = utf16(user, 0, u, sizeof(u));
    if (dl < 0 || ul < 0) {
        return -1;
    }
    memset(out, 0, HEADER);
    memcpy(out, kSignature, 8);
    put32(out + 8, 3);
    size_t payload = HEADER;
    uint32_t flags = (ch->flags & CLIENT_FLAGS) | NTLMSSP_NEGOTIATE_UNICODE;
    if (putField(out, 28, &payload, cap, d, (size_t)dl) != 0 ||
        putField(out, 36, &payload, cap, u, (size_t)ul) != 0 ||
        putField(out, 44, &payload, cap, NULL, 0) != 0 ||
        putField(out, 12, &payload, cap, lm, sizeof(lm)) != 0 ||
        putField(out, 20, &payload, cap, nt, ntLen) != 0 ||
        putField(out, 52, &payload, cap, NULL, 0) != 0) {
        return -1;
    }
    put32(out + 60, flags | NTLMSSP_NEGOTIATE_VERSION);
    memcpy(out + 64, kVersion, 8);
    *outLen = payload;
    session->flags = flags;
    memcpy(session->sessionKey, key, 16);
    return 0;
}
