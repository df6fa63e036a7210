/* The HTTP/1.0 request operation: connect (through a proxy, CONNECT and TLS where asked), write
 * the request, read the response header, answer authentication challenges by repeating the
 * request, and hand the transport over positioned at the body. */
#include "mv_internal.h"

#include "mv_http_parse.h"
#include "mv_sspi.h"

#include <arpa/inet.h>
#include <openssl/evp.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#define MV_HTTP_BUF 20000u
#define MV_HTTP_MAX_HEADER 19999u
#define MV_SSPI_TOKEN_MAX 20000u

enum
{
    SCHEME_NONE,
    SCHEME_BASIC,
    SCHEME_DIGEST,
    SCHEME_SSPI
};

enum
{
    PHASE_CONNECT_REQUEST,
    PHASE_REQUEST
};

typedef struct MvHttpOp
{
    MoravelHttpParams p;
    MoravelAgent* agent;
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    MoravelHttpResponse* resp;
    int srvScheme;
    int pxyScheme;
    uint16_t sspiCount;
    MvDigest dSrv;
    MvDigest dPxy;
    int sspiPkg;
    MvSspi* sspi;
    int sspiDone;
    char sspiLine[MV_SSPI_TOKEN_MAX + 64];
    char buf[MV_HTTP_BUF + 1];
    uint32_t len;
    uint32_t drainLeft;
    MoravelTransport* tr;
    uint32_t savedIdle;
    int tls;
    int proxy;
    int connectRefused;
    int inTunnel;
    int phase;
    int keepAlive;
} MvHttpOp;

static void md5Hex(const char* text, char out[33])
{
    unsigned char d[16];
    unsigned int n = 0;
    EVP_Digest(text, strlen(text), d, &n, EVP_md5(), NULL);
    for (int i = 0; i < 16; ++i) {
        snprintf(out + 2 * i, 3, "%02x", d[i]);
    }
}

static const char* bodyText(const MvHttpOp* st)
{
    return st->p.externalBody ? st->p.externalBody : st->p.query;
}

static int appendf(char* out, size_t cap, size_t* len, const char* fmt, ...)
    __attribute__((format(printf, 4, 5)));

static int appendf(char* out, size_t cap, size_t* len, const char* fmt, ...)
{
    if (*len >= cap) {
        return -1;
    }
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(out + *len, cap - *len, fmt, ap);
    va_end(ap);
    if (n < 0 || (size_t)n >= cap - *len) {
        return -1;
    }
    *len += (size_t)n;
    return 0;
}

/* "Basic" line (RFC 7617 §2). */
static int basicLine(char* out, size_t cap, size_t* len, const char* header, const char* user,
                     const char* password)
{
    char pair[128];
    snprintf(pair, sizeof(pair), "%s:%s", user, password);
    char enc[4 * (sizeof(pair) + 2) / 3 + 4];
    mv_b64_encode((const uint8_t*)pair, strlen(pair), enc);
    return appendf(out, cap, len, "%s: Basic %s\r\n", header, enc);
}

/* "Digest" line (RFC 7616 §3.4, MD5 with qop=auth or RFC 2069 without qop). */
static int digestLine(const MvHttpOp* st, char* out, size_t cap, size_t* len, const char* header,
                      const MvDigest* d, const char* user, const char* password, const char* method)
{
    char uri[2049 + 1025];
    if (strcmp(method, "CONNECT") == 0) {
        strcpy(uri, "/");
    } else if (strcmp(method, "POST") == 0) {
        snprintf(uri, sizeof(uri), "%s", st->p.path);
    } else {
        snprintf(uri, sizeof(uri), "%s%s", st->p.path, bodyText(st));
    }
    char ha1[33], ha2[33], resp[33];
    static char text[4096];
    if (st->p.flags & MORAVEL_HTTP_PASSWORD_HA1) {
        snprintf(ha1, sizeof(ha1), "%s", password);
    } else {
        snprintf(text, sizeof(text), "%s:%s:%s", user, d->realm, password);
        md5Hex(text, ha1);
    }
    snprintf(text, sizeof(text), "%s:%s", method, uri);
    md5Hex(text, ha2);
    char opaque[128] = "";
    if (d->opaque[0]) {
        /* RFC 7616 §3.4: an opaque value must come back unchanged. */
        snprintf(opaque, sizeof(opaque), ",opaque=\"%s\"", d->opaque);
    }
    if (d->qop[0]) {
        struct timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        char seed[40];
        snprintf(seed, sizeof(seed), "%08lx%08lx", (unsigned long)ts.tv_sec,
                 (unsigned long)(ts.tv_nsec / 1000000));
        char cnonce[33];
        md5Hex(seed, cnonce);
        snprintf(text, sizeof(text), "%s:%s:00000001:%s:%s:%s", ha1, d->nonce, cnonce, d->qop, ha2);
        md5Hex(text, resp);
        return appendf(out, cap, len,
                       "%s: Digest username=\"%s\",realm=\"%s\",nonce=\"%s\",uri=\"%s\","
                       "qop=\"%s\",nc=00000001,cnonce=\"%s\",response=\"%s\"%s\r\n",
                       header, user, d->realm, d->nonce, uri, d->qop, cnonce, resp, opaque);
    }
    snprintf(text, sizeof(text), "%s:%s:%s", ha1, d->nonce, ha2);
    md5Hex(text, resp);
    return appendf(out, cap, len,
                   "%s: Digest username=\"%s\",realm=\"%s\",nonce=\"%s\",uri=\"%s\","
                   "response=\"%s\"%s\r\n",
                   header, user, d->realm, d->nonce, uri, resp, opaque);
}

static int proxyLine(const MvHttpOp* st, char* out, size_t cap, size_t* len, const char* method)
{
    if (!st->p.proxyUser[0]) {
        return 0;
    }
    if (st->pxyScheme == SCHEME_BASIC) {
        return basicLine(out, cap, len, "Proxy-Authorization", st->p.proxyUser,
                         st->p.proxyPassword);
    }
    if (st->pxyScheme == SCHEME_DIGEST) {
        return digestLine(st, out, cap, len, "Proxy-Authorization", &st->dPxy, st->p.proxyUser,
                          st->p.proxyPassword, method);
    }
    return 0;
}

static const char* connectTarget(const MvHttpOp* st)
{
    const char* t = st->p.proxyPrefix;
    return strncasecmp(t, "http://", 7) == 0 ? t + 7 : t;
}

static long buildConnect(MvHttpOp* st)
{
    size_t len = 0;
    char* out = st->buf;
    if (appendf(out, MV_HTTP_BUF, &len,
                "CONNECT %s HTTP/1.0\r\nUser-Agent: QXOR (ver=%1d%1d)\r\nContent-Length: 0\r\n"
                "Host: %s\r\nPragma: no-cache\r\n",
                connectTarget(st), 4, 0, st->p.hostHeader) != 0 ||
        proxyLine(st, out, MV_HTTP_BUF, &len, "CONNECT") != 0 ||
        appendf(out, MV_HTTP_BUF, &len, "\r\n") != 0) {
        return -1;
    }
    return (long)len;
}

static long buildRequest(MvHttpOp* st)
{
    const int post = st->p.method != 0;
    const char* body = bodyText(st);
    const char* sent = (body[0] == '?' || body[0] == '#') ? body + 1 : body;
    const int viaPrefix = st->proxy && !st->inTunnel;
    const char* kind =
        st->p.tunnelKind == 1 ? "application/x-rtsp-tunnelled" : "application/x-qxor-tunnelled";
    size_t len = 0;
    char* out = st->buf;
    size_t cap = MV_HTTP_BUF;
    if (appendf(out, cap, &len, "%s %s%s%s HTTP/1.0\r\nUser-Agent: QXOR (ver=%1d%1d)\r\n",
                post ? "POST" : "GET", viaPrefix ? st->p.proxyPrefix : "", st->p.path,
                post ? "" : body, 4, 0) != 0) {
        return -1;
    }
    if (!st->p.tunnelMode) {
        if (appendf(out, cap, &len, "Accept: */*\r\nHost: %s\r\n", st->p.hostHeader) != 0 ||
            (st->p.sessionCookie[0] &&
             appendf(out, cap, &len, "x-sessioncookie: %s\r\n", st->p.sessionCookie) != 0) ||
            (post && appendf(out, cap, &len, "Content-Length: %zu\r\n",
                             body[0] ? strlen(sent) : (size_t)1) != 0)) {
            return -1;
        }
    } else {
        if (appendf(out, cap, &len, "x-sessioncookie: %s\r\n", st->p.sessionCookie) != 0) {
            return -1;
        }
        if (!post) {
            if (appendf(out, cap, &len,
                        "Accept: %s\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n",
                        kind) != 0) {
                return -1;
            }
        } else {
            /* With the flag the length is that of the body actually sent, so a server that
             * reads exactly Content-Length bytes sees the whole text. */
            size_t cl = (st->p.flags & MORAVEL_HTTP_VERIFYPASS) && body[0] ? strlen(sent) : 32767;
            if (appendf(out, cap, &len,
                        "Content-Type: %s\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n"
                        "Content-Length: %zu\r\nExpires: Sun, 9 Jan 1972 00:00:00 GMT\r\n",
                        kind, cl) != 0) {
                return -1;
            }
        }
    }
    if (((st->p.flags & MORAVEL_HTTP_CAMCFGRELAY) &&
         appendf(out, cap, &len, "CamCfgRelay: yes\r\n") != 0) ||
        ((st->p.flags & MORAVEL_HTTP_ONESOCKET) &&
         appendf(out, cap, &len, "OneSocket: yes\r\n") != 0) ||
        ((st->p.flags & MORAVEL_HTTP_VERIFYPASS) &&
         appendf(out, cap, &len, "VerifyPassProxy: yes\r\n") != 0)) {
        return -1;
    }
    /* NTLM binds its handshake to the TCP connection: the legs must share one. */
    if (st->keepAlive && appendf(out, cap, &len, "Connection: keep-alive\r\n") != 0) {
        return -1;
    }
    if (st->p.user[0]) {
        const char* method = post ? "POST" : "GET";
        int r = 0;
        if (st->srvScheme == SCHEME_BASIC) {
            r = basicLine(out, cap, &len, "Authorization", st->p.user, st->p.password);
        } else if (st->srvScheme == SCHEME_DIGEST) {
            r = digestLine(st, out, cap, &len, "Authorization", &st->dSrv, st->p.user,
                           st->p.password, method);
        } else if (st->srvScheme == SCHEME_SSPI && st->sspiLine[0]) {
            r = appendf(out, cap, &len, "Authorization: %s\r\n", st->sspiLine);
        }
        if (r != 0) {
            return -1;
        }
    }
    if (viaPrefix && proxyLine(st, out, cap, &len, post ? "POST" : "GET") != 0) {
        return -1;
    }
    if (appendf(out, cap, &len, "\r\n") != 0) {
        return -1;
    }
    if (post) {
        if (body[0]) {
            if (appendf(out, cap, &len, "%s", sent) != 0) {
                return -1;
            }
        } else if (!st->p.tunnelMode && appendf(out, cap, &len, "?") != 0) {
            return -1;
        }
    }
    return (long)len;
}

/* ---- completion ---- */

static void finish(MvHttpOp* st, int32_t status)
{
    if (st->proxy) {
        if (status == MORAVEL_E_IDLE_TIMEOUT) {
            status = MORAVEL_E_PROXY_TIMEOUT;
        } else if (status == MORAVEL_E_CONNECT_FAILED) {
            status = MORAVEL_E_PROXY_CONNECT;
        } else if (status == MORAVEL_E_NO_ADDRESS) {
            status = MORAVEL_E_PROXY_NAME;
        }
    }
    int handOver =
        status == 0 || (status == MORAVEL_E_CANCELLED && st->p.tunnelMode && st->p.method != 0);
    if (st->tr) {
        if (handOver && st->resp->transport) {
            *st->resp->transport = st->tr;
            st->tr = NULL;
        } else {
            COMMON_TI_Release(&st->tr);
        }
    }
    if (status == 0 && st->sspi && st->sspiDone) {
        mv_sspi_export(st->sspi, &st->resp->context, &st->resp->contextSize, &st->resp->contextType,
                       &st->resp->trailerSize);
    }
    if (status != 0) {
        st->resp->header = NULL;
    }
    st->token->idleTimeout = st->savedIdle;
    MoravelCallbackRecord rec = {st->token, st->user, 0, 0, status, st->agent};
    MoravelCallback cb = st->cb;
    if (st->sspi) {
        mv_sspi_free(st->sspi);
    }
    free(st);
    cb(&rec);
}

/* ---- the steps ---- */

static void startConnect(MvHttpOp* st);
static void sendText(MvHttpOp* st, long len);
static void readHeader(MvHttpOp* st);

static int MORAVEL_CALL onHandshake(MoravelCallbackRecord* rec)
{
    MvHttpOp* st = rec->user;
    if (rec->status != 0) {
        finish(st, rec->status);
        return 0;
    }
    st->phase = PHASE_REQUEST;
    sendText(st, buildRequest(st));
    return 0;
}

static void startTls(MvHttpOp* st)
{
    MoravelTransport* tls = NULL;
    int32_t r = TLS_SOCK_PI_Create(&tls, st->agent, st->tr);
    if (r != 0) {
        finish(st, r);
        return;
    }
    st->tr = tls;
    r = COMMON_TI_WaitConnected(st->tr, st->token, onHandshake, st);
    if (r != 0) {
        finish(st, r);
    }
}

static int MORAVEL_CALL onConnected(MoravelCallbackRecord* rec)
{
    MvHttpOp* st = rec->user;
    if (rec->status != 0) {
        st->tr = NULL;
        finish(st, rec->status);
        return 0;
    }
    if (st->proxy && (st->tls || (st->p.method != 0 && !st->connectRefused))) {
        st->phase = PHASE_CONNECT_REQUEST;
        sendText(st, buildConnect(st));
    } else if (st->tls) {
        startTls(st);
    } else {
        st->phase = PHASE_REQUEST;
        sendText(st, buildRequest(st));
    }
    return 0;
}

static void startConnect(MvHttpOp* st)
{
    st->inTunnel = 0;
    st->len = 0;
    STATOKEN_TouchToken(st->token);
    int32_t r = SMO_SocketConn_Init(st->agent, st->token, onConnected, st, &st->p.conn, &st->tr);
    if (r != 0) {
        finish(st, r);
    }
}

/* Drops the connection and goes again from the connect step with the new schemes. */
static void repeat(MvHttpOp* st)
{
    COMMON_TI_Release(&st->tr);
    st->resp->contentLength = 0;
    st->resp->header = NULL;
    st->token->idleTimeout = st->savedIdle;
    startConnect(st);
}

static int MORAVEL_CALL onWritten(MoravelCallbackRecord* rec)
{
    MvHttpOp* st = rec->user;
    if (rec->status != 0) {
        finish(st, rec->status);
        return 0;
    }
    memset(st->buf, 0, sizeof(st->buf));
    st->len = 0;
    if (st->p.responseTimeout) {
        st->token->idleTimeout = st->p.responseTimeout;
    }
    STATOKEN_TouchToken(st->token);
    readHeader(st);
    return 0;
}

static void sendText(MvHttpOp* st, long len)
{
    if (len <= 0) {
        finish(st, MORAVEL_E_INVALIDARG);
        return;
    }
    STATOKEN_TouchToken(st->token);
    int32_t r = COMMON_TI_WriteData(st->tr, st->token, onWritten, st, (uint32_t)len, st->buf);
    if (r != 0) {
        finish(st, r);
    }
}

static int32_t mapStatus(int status)
{
    switch (status) {
    case 404:
        return MORAVEL_E_HTTP_404;
    case 403:
        return MORAVEL_E_HTTP_403;
    case 503:
        return MORAVEL_E_HTTP_503;
    case 405:
        return MORAVEL_E_HTTP_405;
    case 400:
        return MORAVEL_E_HTTP_400;
    case 500:
        return MORAVEL_E_HTTP_500;
    default:
        return MORAVEL_E_HTTP_STATUS;
    }
}

/* One NTLM or Negotiate leg: the next token goes into the Authorization line. */
static int32_t sspiLeg(MvHttpOp* st, int pkg, const char* challenge)
{
    if (!st->sspi) {
        st->sspi = mv_sspi_create(pkg, st->p.user, st->p.password, st->p.hostHeader);
        st->sspiPkg = pkg;
        if (!st->sspi) {
            return MORAVEL_E_HTTP_AUTH;
        }
    } else if (pkg != st->sspiPkg) {
        return MORAVEL_E_HTTP_AUTH;
    }
    static __thread uint8_t in[1024];
    long inLen = 0;
    if (challenge[0]) {
        inLen = mv_b64_decode(challenge, strlen(challenge), in, sizeof(in));
        if (inLen < 0) {
            return MORAVEL_E_HTTP_AUTH;
        }
    } else if (st->sspiCount > 1) {
        return MORAVEL_E_HTTP_AUTH; /* a bare challenge after ours: credentials refused */
    }
    static __thread uint8_t out[8192];
    size_t outLen = 0;
    int done = 0;
    if (mv_sspi_step(st->sspi, in, (size_t)inLen, out, sizeof(out), &outLen, &done) != 0 ||
        outLen == 0) {
        return MORAVEL_E_HTTP_AUTH;
    }
    st->sspiDone = done;
    const char* name = pkg == MV_PKG_NTLM ? "NTLM" : "Negotiate";
    size_t n = (size_t)snprintf(st->sspiLine, sizeof(st->sspiLine), "%s ", name);
    if ((outLen + 2) / 3 * 4 + n + 1 > sizeof(st->sspiLine)) {
        return MORAVEL_E_HTTP_AUTH;
    }
    mv_b64_encode(out, outLen, st->sspiLine + n);
    return MORAVEL_I_HTTP_REPEAT;
}

static int32_t serverChallenge(MvHttpOp* st)
{
    if (st->p.flags & MORAVEL_HTTP_SERVER_SSPI) {
        static __thread char token[MV_SSPI_TOKEN_MAX + 1];
        int pkg = mv_http_find_sspi(st->buf, 0, token, sizeof(token));
        if (pkg == MV_PKG_NONE || st->sspiCount >= 2) {
            return MORAVEL_E_HTTP_AUTH;
        }
        ++st->sspiCount;
        st->srvScheme = SCHEME_SSPI;
        return sspiLeg(st, pkg, token);
    }
    int scheme;
    if (mv_ci_find(st->buf, "WWW-Authenticate: Basic")) {
        scheme = SCHEME_BASIC;
    } else if (mv_http_parse_digest(st->buf, "WWW-Authenticate: Digest", &st->dSrv) == 0) {
        scheme = SCHEME_DIGEST;
    } else {
        return MORAVEL_E_HTTP_AUTH;
    }
    if (scheme == st->srvScheme || !st->p.user[0]) {
        return MORAVEL_E_HTTP_AUTH;
    }
    st->srvScheme = scheme;
    return MORAVEL_I_HTTP_REPEAT;
}

static int32_t proxyChallenge(MvHttpOp* st)
{
    if (st->p.flags & MORAVEL_HTTP_PROXY_SSPI) {
        static __thread char token[MV_SSPI_TOKEN_MAX + 1];
        if (mv_http_find_sspi(st->buf, 1, token, sizeof(token)) == MV_PKG_NONE ||
            st->sspiCount >= 2) {
            return MORAVEL_E_HTTP_AUTH;
        }
        ++st->sspiCount;
        st->pxyScheme = SCHEME_SSPI;
        return MORAVEL_I_HTTP_REPEAT;
    }
    if (!st->p.proxyUser[0]) {
        return MORAVEL_E_HTTP_AUTH;
    }
    if (mv_ci_find(st->buf, "Proxy-Authenticate: Basic")) {
        if (st->pxyScheme == SCHEME_BASIC) {
            return MORAVEL_E_HTTP_AUTH;
        }
        st->pxyScheme = SCHEME_BASIC;
        return MORAVEL_I_HTTP_REPEAT;
    }
    if (mv_http_parse_digest(st->buf, "Proxy-Authenticate: Digest", &st->dPxy) != 0) {
        return MORAVEL_E_HTTP_AUTH;
    }
    if (st->pxyScheme == SCHEME_DIGEST && !mv_ci_find(st->buf, "stale=true")) {
        return MORAVEL_E_HTTP_AUTH;
    }
    st->pxyScheme = SCHEME_DIGEST;
    return MORAVEL_I_HTTP_REPEAT;
}

static int MORAVEL_CALL onDrained(MoravelCallbackRecord* rec);

/* Reads and drops the rest of a challenge's body so that the next leg can follow on the same
 * connection; answers 0 when the next leg has been started or queued. */
static int32_t drainThenResend(MvHttpOp* st)
{
    if (st->drainLeft == 0) {
        st->token->idleTimeout = st->savedIdle;
        st->resp->header = NULL;
        st->phase = PHASE_REQUEST;
        sendText(st, buildRequest(st));
        return 0;
    }
    uint32_t n = st->drainLeft < MV_HTTP_BUF ? st->drainLeft : MV_HTTP_BUF;
    return COMMON_TI_ReadData(st->tr, st->token, onDrained, st, n, st->buf, 0);
}

static int MORAVEL_CALL onDrained(MoravelCallbackRecord* rec)
{
    MvHttpOp* st = rec->user;
    if (rec->status != 0) {
        finish(st, rec->status);
        return 0;
    }
    st->drainLeft -= (uint32_t)rec->value;
    int32_t r = drainThenResend(st);
    if (r != 0) {
        finish(st, r);
    }
    return 0;
}

static void afterChallenge(MvHttpOp* st, int32_t r)
{
    if (r != MORAVEL_I_HTTP_REPEAT) {
        finish(st, r);
        return;
    }
    int32_t cl = mv_http_content_length(st->buf);
    if (st->srvScheme == SCHEME_SSPI && st->keepAlive && cl >= 0 &&
        !mv_ci_find(st->buf, "Connection: close")) {
        st->drainLeft = (uint32_t)cl;
        r = drainThenResend(st);
        if (r != 0) {
            finish(st, r);
        }
        return;
    }
    repeat(st);
}

static void headerDone(MvHttpOp* st)
{
    st->buf[st->len] = '\0';
    st->resp->header = st->buf;
    int status = mv_http_status(st->buf);
    if (st->phase == PHASE_CONNECT_REQUEST) {
        if (status < 0) {
            finish(st, MORAVEL_E_PROXY_HEADER);
        } else if (status == 200) {
            st->inTunnel = 1;
            st->token->idleTimeout = st->savedIdle;
            if (st->tls) {
                startTls(st);
            } else {
                st->phase = PHASE_REQUEST;
                sendText(st, buildRequest(st));
            }
        } else if (status == 407) {
            int32_t r = proxyChallenge(st);
            if (r == MORAVEL_I_HTTP_REPEAT) {
                repeat(st);
            } else {
                finish(st, r);
            }
        } else if (status == 403 && !st->tls && st->p.method != 0) {
            /* The proxy refuses tunnels: send the POST to it with the absolute URI instead. */
            st->connectRefused = 1;
            repeat(st);
        } else {
            finish(st, mapStatus(status));
        }
        return;
    }
    if (status < 0) {
        finish(st, st->proxy ? MORAVEL_E_PROXY_HEADER : MORAVEL_E_HTTP_HEADER);
        return;
    }
    switch (status) {
    case 200: {
        int32_t cl = mv_http_content_length(st->buf);
        st->resp->contentLength = cl > 0 ? cl : 0;
        finish(st, 0);
        return;
    }
    case 401:
        afterChallenge(st, serverChallenge(st));
        return;
    case 407:
        afterChallenge(st, proxyChallenge(st));
        return;
    default:
        finish(st, mapStatus(status));
        return;
    }
}

static void headerFailed(MvHttpOp* st, int32_t status)
{
    if (status == MORAVEL_E_CLOSED && st->len == 0) {
        status = st->proxy ? MORAVEL_E_PROXY_CLOSED : MORAVEL_E_HTTP_CLOSED;
    }
    finish(st, status);
}

/* Takes the byte just read; answers 1 when the header is complete or failed (the state may be
 * gone then). */
static int gotByte(MvHttpOp* st)
{
    /* Bytes after this one may already be in the buffer: it is terminated only when done. */
    ++st->len;
    const char* b = st->buf;
    uint32_t n = st->len;
    if (n > 4 && (memcmp(b + n - 4, "\r\n\r\n", 4) == 0 || memcmp(b + n - 2, "\n\n", 2) == 0)) {
        headerDone(st);
        return 1;
    }
    if (n > MV_HTTP_MAX_HEADER) {
        st->buf[st->len] = '\0';
        finish(st, st->proxy ? MORAVEL_E_PROXY_HEADER : MORAVEL_E_HTTP_HEADER);
        return 1;
    }
    return 0;
}

static int MORAVEL_CALL onByte(MoravelCallbackRecord* rec)
{
    MvHttpOp* st = rec->user;
    if (rec->status != 0) {
        headerFailed(st, rec->status);
        return 0;
    }
    if (!gotByte(st)) {
        readHeader(st);
    }
    return 0;
}

static char byteAt(const MvHttpOp* st, const char* peek, uint32_t pos)
{
    return pos < st->len ? st->buf[pos] : peek[pos - st->len];
}

/* The header is read as if one byte at a time, so the transport is handed over exactly at the
 * body. On a plain socket a peek shows how many of the waiting bytes belong to the header, and
 * only those are taken in one read. */
static void readHeader(MvHttpOp* st)
{
    for (;;) {
        uint32_t want = 1;
        int fd = COMMON_TI_GetSocket(st->tr);
        if (fd >= 0) {
            char peek[4096];
            size_t room = MV_HTTP_MAX_HEADER + 1 - st->len;
            ssize_t n =
                recv(fd, peek, room < sizeof(peek) ? room : sizeof(peek), MSG_PEEK | MSG_DONTWAIT);
            if (n > 0) {
                want = (uint32_t)n;
                for (uint32_t i = 0; i < (uint32_t)n; ++i) {
                    uint32_t l = st->len + i + 1; /* length with this byte */
                    if (l > 4 &&
                        ((byteAt(st, peek, l - 4) == '\r' && byteAt(st, peek, l - 3) == '\n' &&
                          byteAt(st, peek, l - 2) == '\r' && byteAt(st, peek, l - 1) == '\n') ||
                         (byteAt(st, peek, l - 2) == '\n' && byteAt(st, peek, l - 1) == '\n'))) {
                        want = i + 1;
                        break;
                    }
                }
            }
        }
        uint32_t got = 0;
        int err = 0;
        int32_t r = COMMON_TI_ReadDataDirect(st->tr, st->buf + st->len, want, &got, &err);
        if (r != 0) {
            headerFailed(st, r);
            return;
        }
        if (got == 0) {
            r = COMMON_TI_ReadData(st->tr, st->token, onByte, st, 1, st->buf + st->len, 0);
            if (r != 0) {
                headerFailed(st, r);
            }
            return;
        }
        for (uint32_t i = 0; i < got; ++i) {
            if (gotByte(st)) {
                return;
            }
        }
    }
}

int32_t mv_http_start(MoravelAgent* agent, MoravelToken* token, MoravelCallback cb, void* user,
                      const MoravelHttpParams* params, MoravelHttpResponse* response, int tls)
{
    if (!agent || !token || !cb || !params || !response) {
        return MORAVEL_E_INVALIDARG;
    }
    if (tls && !agent->tlsCtx) {
        return MORAVEL_E_TLS_LOAD;
    }
    MvHttpOp* st = calloc(1, sizeof(MvHttpOp));
    if (!st) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    memcpy(&st->p, params, sizeof(st->p));
    /* Every text field ends inside its own field, whatever the caller left there. */
    st->p.conn.host[sizeof(st->p.conn.host) - 1] = '\0';
    st->p.proxyPrefix[sizeof(st->p.proxyPrefix) - 1] = '\0';
    st->p.hostHeader[sizeof(st->p.hostHeader) - 1] = '\0';
    st->p.path[sizeof(st->p.path) - 1] = '\0';
    st->p.query[sizeof(st->p.query) - 1] = '\0';
    st->p.user[sizeof(st->p.user) - 1] = '\0';
    st->p.password[sizeof(st->p.password) - 1] = '\0';
    st->p.proxyUser[sizeof(st->p.proxyUser) - 1] = '\0';
    st->p.proxyPassword[sizeof(st->p.proxyPassword) - 1] = '\0';
    st->p.sessionCookie[sizeof(st->p.sessionCookie) - 1] = '\0';
    st->agent = agent;
    st->token = token;
    st->cb = cb;
    st->user = user;
    st->resp = response;
    st->savedIdle = token->idleTimeout;
    st->tls = tls != 0;
    st->proxy = st->p.proxyPrefix[0] != '\0';
    st->keepAlive = (st->p.flags & MORAVEL_HTTP_SERVER_SSPI) != 0;
    response->contentLength = 0;
    response->header = NULL;
    response->contextSize = 0;
    response->contextType = 0;
    response->context = NULL;
    response->trailerSize = 0;
    STATOKEN_TouchToken(token);
    int32_t r = SMO_SocketConn_Init(agent, token, onConnected, st, &st->p.conn, &st->tr);
    if (r != 0) {
        free(st);
    }
    return r;
}

int32_t MORAVEL_CALL SMO_HttpRequest_InitEx(MoravelAgent* agent, MoravelToken* token,
                                            MoravelCallback cb, void* user,
                                            const MoravelHttpParams* params,
                                            MoravelHttpResponse* response, int tls)
{
    return mv_http_start(agent, token, cb, user, params, response, tls);
}

int32_t MORAVEL_CALL SMO_HttpRequest_Init(MoravelAgent* agent, MoravelToken* token,
                                          MoravelCallback cb, void* user,
                                          const MoravelHttpParams* params,
                                          MoravelHttpResponse* response)
{
    return mv_http_start(agent, token, cb, user, params, response, 0);
}

/* ---- parameter helpers ---- */

int32_t MORAVEL_CALL SMO_HttpRequest_SetConn(MoravelHttpParams* params, int useProxy,
                                             const char* proxyHost, uint32_t proxyPort,
                                             const char* host, uint32_t port)
{
    if (!params || !host || (useProxy && !proxyHost)) {
        return MORAVEL_E_INVALIDARG;
    }
    const char* target = useProxy ? proxyHost : host;
    params->conn.address = inet_addr(target);
    params->conn.port = useProxy ? proxyPort : port;
    snprintf(params->conn.host, sizeof(params->conn.host), "%s", target);
    if (useProxy) {
        char prefix[256];
        snprintf(prefix, sizeof(prefix), "http://%s:%d", host, (int)port);
        snprintf(params->proxyPrefix, sizeof(params->proxyPrefix), "%s", prefix);
    }
    snprintf(params->hostHeader, sizeof(params->hostHeader), "%s", host);
    return MORAVEL_OK;
}

int32_t MORAVEL_CALL SMO_HttpRequest_SetConnURL(MoravelHttpParams* params, const char* url,
                                                const char* user, const char* password,
                                                const char* proxyHost, uint32_t proxyPort,
                                                const char* proxyUser, const char* proxyPassword,
                                                int post, int* isHttps)
{
    if (!params || !url) {
        return MORAVEL_E_INVALIDARG;
    }
    const char* sep = strstr(url, "://");
    if (!sep) {
        return MORAVEL_E_INVALIDARG;
    }
    int https;
    uint32_t port;
    if (sep - url == 5 && strncasecmp(url, "https", 5) == 0) {
        https = 1;
        port = 443;
    } else if (sep - url == 4 && strncasecmp(url, "http", 4) == 0) {
        https = 0;
        port = 80;
    } else {
        return MORAVEL_E_INVALIDARG;
    }
    const char* h = sep + 3;
    const char* slash = strchr(h, '/');
    const char* colon = strchr(h, ':');
    size_t hostLen;
    if (colon && (!slash || colon < slash)) {
        hostLen = (size_t)(colon - h);
        char* end = NULL;
        unsigned long v = strtoul(colon + 1, &end, 10);
        if (end == colon + 1 || v == 0 || v > 65535 || (*end && *end != '/')) {
            return MORAVEL_E_INVALIDARG;
        }
        port = (uint32_t)v;
    } else {
        hostLen = slash ? (size_t)(slash - h) : strlen(h);
    }
    if (hostLen == 0 || hostLen > 128) {
        return MORAVEL_E_INVALIDARG;
    }
    char host[129];
    memcpy(host, h, hostLen);
    host[hostLen] = '\0';
    const char* path = slash ? slash : "/";
    const char* q = strchr(path, '?');
    size_t pathLen = q ? (size_t)(q - path) : strlen(path);
    if (pathLen > 2047 || (q && strlen(q) > 1023) || (user && strlen(user) > 64) ||
        (password && strlen(password) > 64) ||
        (proxyHost && ((proxyUser && strlen(proxyUser) > 64) ||
                       (proxyPassword && strlen(proxyPassword) > 64) || strlen(proxyHost) > 128))) {
        return MORAVEL_E_INVALIDARG;
    }
    params->method = post ? 1 : 0;
    if (user) {
        snprintf(params->user, sizeof(params->user), "%s", user);
    }
    if (password) {
        snprintf(params->password, sizeof(params->password), "%s", password);
    }
    memcpy(params->path, path, pathLen);
    params->path[pathLen] = '\0';
    snprintf(params->query, sizeof(params->query), "%s", q ? q : "");
    if (proxyHost) {
        if (proxyUser) {
            snprintf(params->proxyUser, sizeof(params->proxyUser), "%s", proxyUser);
        }
        if (proxyPassword) {
            snprintf(params->proxyPassword, sizeof(params->proxyPassword), "%s", proxyPassword);
        }
    }
    if (isHttps) {
        *isHttps = https;
    }
    return SMO_HttpRequest_SetConn(params, proxyHost != NULL, proxyHost, proxyPort, host, port);
}

int32_t MORAVEL_CALL SMO_HttpReq_GenerateSession(const uint8_t* seed, char* out)
{
    if (!seed || !out) {
        return MORAVEL_E_INVALIDARG;
    }
    uint8_t in[20];
    memcpy(in, seed, 16);
    uint32_t pid = (uint32_t)getpid();
    for (int i = 0; i < 4; ++i) {
        in[16 + i] = (uint8_t)(pid >> (8 * i));
    }
    unsigned char d[16];
    unsigned int n = 0;
    EVP_Digest(in, sizeof(in), d, &n, EVP_md5(), NULL);
    mv_b64_encode(d, sizeof(d), out);
    return MORAVEL_OK;
}
