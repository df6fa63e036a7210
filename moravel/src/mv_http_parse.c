/* Response header and challenge parsing (RFC 7230 §3, RFC 7235 §4.1, RFC 7616 §3.3) and
 * Base64 (RFC 4648 §4). Everything is read from NUL-terminated texts, one character at a time,
 * so a header cut anywhere is never read past its end. */
#include "mv_http_parse.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

const char* mv_ci_find(const char* hay, const char* needle)
{
    size_t n = strlen(needle);
    if (n == 0) {
        return hay;
    }
    for (const char* p = hay; *p; ++p) {
        if (strncasecmp(p, needle, n) == 0) {
            return p;
        }
    }
    return NULL;
}

int mv_http_status(const char* header)
{
    const char* p = mv_ci_find(header, "HTTP/1.");
    if (!p) {
        return -1;
    }
    /* "HTTP/1.x SSS": the status is nine places after the match. */
    for (int i = 0; i < 12; ++i) {
        if (p[i] == '\0') {
            return -1;
        }
    }
    int status = 0;
    for (int i = 9; i < 12; ++i) {
        if (!isdigit((unsigned char)p[i])) {
            return 0;
        }
        status = status * 10 + (p[i] - '0');
    }
    return status;
}

int32_t mv_http_content_length(const char* header)
{
    const char* p = mv_ci_find(header, "Content-Length: ");
    if (!p) {
        return -1;
    }
    p += strlen("Content-Length: ");
    for (int i = 0; i < 20 && p[i]; ++i) {
        if (p[i] == '\r' && p[i + 1] == '\n') {
            long v = atol(p);
            if (v < 0 || v > 0x7FFFFFFFL) {
                return -1;
            }
            return (int32_t)v;
        }
    }
    return -1;
}

/* Copies a quoted or bare parameter value; answers the position after it, NULL on failure. */
static const char* takeValue(const char* p, char* out, size_t cap)
{
    size_t n = 0;
    if (*p == '"') {
        ++p;
        while (*p != '"') {
            if (*p == '\0' || *p == '\r' || *p == '\n') {
                return NULL; /* missing closing quote */
            }
            if (n + 1 >= cap) {
                return NULL;
            }
            out[n++] = *p++;
        }
        ++p;
    } else {
        while (*p && *p != ',' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
            if (n + 1 >= cap) {
                return NULL;
            }
            out[n++] = *p++;
        }
    }
    out[n] = '\0';
    return p;
}

/* Whether a comma-separated qop list offers "auth" (RFC 7616 §3.3). */
static int offersAuth(const char* list)
{
    const char* p = list;
    while (*p) {
        while (*p == ' ' || *p == ',') {
            ++p;
        }
        const char* s = p;
        while (*p && *p != ',' && *p != ' ') {
            ++p;
        }
        if (p - s == 4 && strncasecmp(s, "auth", 4) == 0) {
            return 1;
        }
    }
    return 0;
}

int mv_http_parse_digest(const char* header, const char* prefix, MvDigest* out)
{
    memset(out, 0, sizeof(*out));
    const char* p = mv_ci_find(header, prefix);
    if (!p) {
        return -1;
    }
    p += strlen(prefix);
    int haveRealm = 0, haveNonce = 0;
    char qop[64] = "";
    int haveQop = 0;
    /* The parameters of this challenge run to the end of its line. */
    while (*p && *p != '\r' && *p != '\n') {
        while (*p == ' ' || *p == '\t' || *p == ',') {
            ++p;
        }
        const char* name = p;
        while (*p && *p != '=' && *p != ',' && *p != '\r' && *p != '\n') {
            ++p;
        }
        if (*p != '=') {
            if (*p == ',') {
                continue;
            }
            break;
        }
        size_t nameLen = (size_t)(p - name);
        while (nameLen > 0 && (name[nameLen - 1] == ' ' || name[nameLen - 1] == '\t')) {
            --nameLen;
        }
        ++p;
        while (*p == ' ' || *p == '\t') {
            ++p;
        }
        char scratch[256];
        char* dst = scratch;
        size_t cap = sizeof(scratch);
        if (nameLen == 5 && strncasecmp(name, "realm", 5) == 0) {
            dst = out->realm;
            cap = sizeof(out->realm);
            haveRealm = 1;
        } else if (nameLen == 5 && strncasecmp(name, "nonce", 5) == 0) {
            dst = out->nonce;
            cap = sizeof(out->nonce);
            haveNonce = 1;
        } else if (nameLen == 3 && strncasecmp(name, "qop", 3) == 0) {
            dst = qop;
            cap = sizeof(out->qop);
            haveQop = 1;
        } else if (nameLen == 6 && strncasecmp(name, "opaque", 6) == 0) {
            dst = out->opaque;
            cap = sizeof(out->opaque);
        }
        const char* next = takeValue(p, dst, cap);
        if (!next) {
            return -1;
        }
        if (nameLen == 9 && strncasecmp(name, "algorithm", 9) == 0 &&
            strcasecmp(scratch, "MD5") != 0) {
            return -1; /* MD5-sess, SHA-256 and the rest are not offered by this client */
        }
        p = next;
    }
    /* An empty nonce gives nothing to answer (RFC 7616 §3.3 makes it a required value). */
    if (!haveRealm || !haveNonce || !out->nonce[0]) {
        return -1;
    }
    if (haveQop) {
        if (!offersAuth(qop)) {
            return -1;
        }
        strcpy(out->qop, "auth");
    }
    return 0;
}

static int findToken(const char* header, const char* prefix, char* token, size_t cap)
{
    const char* p = mv_ci_find(header, prefix);
    if (!p) {
        return 0;
    }
    p += strlen(prefix);
    /* "NTLM" must end there: "NTLMx" is another scheme. */
    if (*p && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
        return 0;
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    size_t n = 0;
    while (*p && *p != ' ' && *p != '\r' && *p != '\n') {
        if (n + 1 >= cap) {
            return -1;
        }
        token[n++] = *p++;
    }
    token[n] = '\0';
    return 1;
}

int mv_http_find_sspi(const char* header, int proxy, char* token, size_t cap)
{
    static const char* const kServer[2] = {"WWW-Authenticate: Negotiate", "WWW-Authenticate: NTLM"};
    static const int kServerPkg[2] = {MV_PKG_NEGOTIATE, MV_PKG_NTLM};
    static const char* const kProxy[2] = {"Proxy-Authenticate: NTLM",
                                          "Proxy-Authenticate: Negotiate"};
    static const int kProxyPkg[2] = {MV_PKG_NTLM, MV_PKG_NEGOTIATE};
    if (cap == 0) {
        return MV_PKG_NONE;
    }
    token[0] = '\0';
    for (int i = 0; i < 2; ++i) {
        int r = findToken(header, proxy ? kProxy[i] : kServer[i], token, cap);
        if (r < 0) {
            token[0] = '\0';
            return MV_PKG_NONE;
        }
        if (r > 0) {
            return proxy ? kProxyPkg[i] : kServerPkg[i];
        }
    }
    return MV_PKG_NONE;
}

static const char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

size_t mv_b64_encode(const uint8_t* in, size_t len, char* out)
{
    size_t o = 0;
    size_t i = 0;
    for (; i + 3 <= len; i += 3) {
        uint32_t v = ((uint32_t)in[i] << 16) | ((uint32_t)in[i + 1] << 8) | in[i + 2];
        out[o++] = kB64[(v >> 18) & 63];
        out[o++] = kB64[(v >> 12) & 63];
        out[o++] = kB64[(v >> 6) & 63];
        out[o++] = kB64[v & 63];
    }
    if (len - i == 1) {
        uint32_t v = (uint32_t)in[i] << 16;
        out[o++] = kB64[(v >> 18) & 63];
        out[o++] = kB64[(v >> 12) & 63];
        out[o++] = '=';
        out[o++] = '=';
    } else if (len - i == 2) {
        uint32_t v = ((uint32_t)in[i] << 16) | ((uint32_t)in[i + 1] << 8);
        out[o++] = kB64[(v >> 18) & 63];
        out[o++] = kB64[(v >> 12) & 63];
        out[o++] = kB64[(v >> 6) & 63];
        out[o++] = '=';
    }
    out[o] = '\0';
    return o;
}

int mv_b64_value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

long mv_b64_decode(const char* in, size_t len, uint8_t* out, size_t cap)
{
    if (len % 4 != 0) {
        return -1;
    }
    size_t o = 0;
    for (size_t i = 0; i < len; i += 4) {
        int v[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            unsigned char c = (unsigned char)in[i + k];
            if (c == '=' && k >= 2 && i + 4 == len) {
                v[k] = 0;
                ++pad;
                continue;
            }
            if (pad > 0) {
                return -1; /* data after padding */
            }
            v[k] = mv_b64_value(c);
            if (v[k] < 0) {
                return -1;
            }
        }
        uint32_t w = ((uint32_t)v[0] << 18) | ((uint32_t)v[1] << 12) | ((uint32_t)v[2] << 6) |
                     (uint32_t)v[3];
        int n = 3 - pad;
        if (o + (size_t)n > cap) {
            return -1;
        }
        out[o++] = (uint8_t)(w >> 16);
        if (n > 1) {
            out[o++] = (uint8_t)(w >> 8);
        }
        if (n > 2) {
            out[o++] = (uint8_t)w;
        }
    }
    return (long)o;
}
