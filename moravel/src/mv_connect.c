/* Ready-made socket operations: the address check, accepting one connection, and connecting to
 * a host with fail-over between its IPv4 and IPv6 address. */
#include "mv_internal.h"

#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

int MORAVEL_CALL SMO_SocketConn_IsIPFormat(const char* text)
{
    if (!text) {
        return 0;
    }
    size_t len = strnlen(text, 40);
    if (len < 7 || len > 39) {
        return 0;
    }
    if (strchr(text, ':')) {
        for (const char* p = text; *p; ++p) {
            if (!isxdigit((unsigned char)*p) && *p != ':') {
                return 0;
            }
        }
        return 1;
    }
    int dots = 0;
    size_t part = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == '.') {
            ++dots;
            part = 0;
            continue;
        }
        if (!isdigit((unsigned char)*p) || ++part > 3) {
            return 0;
        }
    }
    if (dots != 3) {
        return 0;
    }
    for (const char* p = text; p; p = strchr(p, '.') ? strchr(p, '.') + 1 : NULL) {
        if (atoi(p) > 255) {
            return 0;
        }
    }
    return 1;
}

/* ---- accept ---- */

typedef struct MvAcceptState
{
    MoravelAgent* agent;
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    int listenFd;
    MoravelAcceptContext* ctx;
} MvAcceptState;

static int MORAVEL_CALL onListenerReady(MoravelCallbackRecord* rec);

static int32_t queueAcceptWait(MvAcceptState* st)
{
    MvSockSpec s = {st->token, onListenerReady, st, st->listenFd, 0, NULL, 1, 0, 0, NULL};
    return mv_sock_add(st->agent, &s);
}

static int32_t acceptDatagram(MvAcceptState* st)
{
    uint8_t buf[65536];
    struct sockaddr_storage from, local;
    socklen_t fromLen = sizeof(from), localLen = sizeof(local);
    ssize_t n = recvfrom(st->listenFd, buf, sizeof(buf), 0, (struct sockaddr*)&from, &fromLen);
    if (n < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? MORAVEL_I_WOULDBLOCK
                                                         : MORAVEL_E_DGRAM_RECV;
    }
    if (getsockname(st->listenFd, (struct sockaddr*)&local, &localLen) != 0) {
        return MORAVEL_E_DGRAM_RECV;
    }
    int fd = socket(from.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return MORAVEL_E_SOCKET;
    }
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof(one));
    /* Answer from the listener's own address when the system allows a second binding. */
    if (bind(fd, (struct sockaddr*)&local, localLen) != 0) {
        /* an ephemeral port then */
    }
    if (connect(fd, (struct sockaddr*)&from, fromLen) != 0) {
        close(fd);
        return MORAVEL_E_DGRAM_RECV;
    }
    /* The first datagram is handed over as the transport's initial data, not dropped. */
    int32_t r = SOCK_TO_COMM_TI(&st->ctx->transport, st->agent, fd, (int)st->ctx->hardClose,
                                (uint32_t)n, buf, 0);
    if (r != 0) {
        close(fd);
    }
    return r;
}

static int MORAVEL_CALL onListenerReady(MoravelCallbackRecord* rec)
{
    MvAcceptState* st = rec->user;
    int32_t status = rec->status;
    if (status == 0) {
        int type = 0;
        socklen_t len = sizeof(type);
        getsockopt(st->listenFd, SOL_SOCKET, SO_TYPE, &type, &len);
        if (type == SOCK_DGRAM) {
            status = acceptDatagram(st);
        } else {
            int fd = accept4(st->listenFd, NULL, NULL, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED)) {
                /* Someone else took the connection: keep waiting for the next one. */
                if (queueAcceptWait(st) == 0) {
                    return 0;
                }
                status = MORAVEL_E_RELEASING;
            } else if (fd < 0) {
                status = MORAVEL_E_IO;
            } else {
                status = SOCK_TO_COMM_TI(&st->ctx->transport, st->agent, fd,
                                         (int)st->ctx->hardClose, 0, NULL, 0);
                if (status != 0) {
                    close(fd);
                }
            }
        }
    }
    MoravelCallbackRecord out = {rec->token, st->user, 0, 0, status, rec->agent};
    MoravelCallback cb = st->cb;
    mv_free(st->agent, st);
    return cb(&out);
}

int32_t MORAVEL_CALL SMO_SocketAccept_Init(MoravelAgent* agent, MoravelToken* token,
                                           MoravelCallback cb, void* user,
                                           MoravelTransport* listener,
                                           MoravelAcceptContext* context)
{
    if (!agent || !token || !cb || !listener || !context) {
        return MORAVEL_E_INVALIDARG;
    }
    int fd = COMMON_TI_GetSocket(listener);
    if (fd < 0) {
        return MORAVEL_E_INVALIDARG;
    }
    context->transport = NULL;
    MvAcceptState* st = mv_alloc(agent, sizeof(MvAcceptState));
    if (!st) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    st->agent = agent;
    st->token = token;
    st->cb = cb;
    st->user = user;
    st->listenFd = fd;
    st->ctx = context;
    int32_t r = queueAcceptWait(st);
    if (r != 0) {
        mv_free(agent, st);
    }
    return r;
}

/* ---- connect ---- */

typedef struct MvConnState
{
    MoravelConnParams params;
    MoravelAgent* agent;
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    MoravelTransport** out;
    int useV6; /* address in use: 0 IPv4, 1 IPv6 */
    int tried; /* bit 0: IPv4 tried, bit 1: IPv6 tried */
    MoravelResolveRequest request;
    MoravelResolveResult res;
} MvConnState;

static void finishConn(MvConnState* st, int32_t status)
{
    if (status != 0 && *st->out) {
        COMMON_TI_Release(st->out);
    }
    MoravelCallbackRecord rec = {st->token, st->user, 0, 0, status, st->agent};
    MoravelCallback cb = st->cb;
    mv_free(st->agent, st);
    cb(&rec);
}

static int MORAVEL_CALL onAttempt(MoravelCallbackRecord* rec);

static int32_t scheduleAttempt(MvConnState* st, int v6)
{
    const char* text = v6 ? st->res.ipv6Text : st->res.ipv4Text;
    if (text[0]) {
        snprintf(st->params.host, sizeof(st->params.host), "%s", text);
    }
    st->useV6 = v6;
    st->tried |= v6 ? 2 : 1;
    /* The attempt itself runs from the loop through a timer of delay 0. */
    MvTimerSpec s = {.token = st->token, .cb = onAttempt, .user = st, .delayMs = 0};
    return mv_timer_add(st->agent, &s);
}

/* After a failed attempt: the other family once, when it has an address. */
static void failOver(MvConnState* st, int32_t status)
{
    int other = !st->useV6;
    const char* text = other ? st->res.ipv6Text : st->res.ipv4Text;
    if (!(st->tried & (other ? 2 : 1)) && text[0]) {
        int32_t r = scheduleAttempt(st, other);
        if (r == 0) {
            return;
        }
        status = r;
    }
    finishConn(st, status);
}

static int MORAVEL_CALL onConnected(MoravelCallbackRecord* rec)
{
    MvConnState* st = rec->user;
    int32_t status = rec->status;
    if (status == 0 || status == MORAVEL_E_IDLE_TIMEOUT || status == MORAVEL_E_CONN_ABORTED ||
        status == MORAVEL_E_CANCELLED || status == MORAVEL_E_RELEASING) {
        finishConn(st, status);
        return 0;
    }
    COMMON_TI_Release(st->out);
    failOver(st, status);
    return 0;
}

static int MORAVEL_CALL onAttempt(MoravelCallbackRecord* rec)
{
    MvConnState* st = rec->user;
    if (rec->status != 0) {
        finishConn(st, rec->status);
        return 0;
    }
    char port[16];
    snprintf(port, sizeof(port), "%u", st->params.port);
    struct addrinfo hints;
    memset(&hints, 0, sizeof(hints));
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    struct addrinfo* ai = NULL;
    if (getaddrinfo(st->params.host, port, &hints, &ai) != 0 || !ai) {
        failOver(st, MORAVEL_E_IO);
        return 0;
    }
    int fd = socket(ai->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        freeaddrinfo(ai);
        failOver(st, MORAVEL_E_SOCKET);
        return 0;
    }
    int32_t r = SOCK_TO_COMM_TI(st->out, st->agent, fd, (int)st->params.hardClose, 0, NULL, 0);
    if (r != 0) {
        close(fd);
        freeaddrinfo(ai);
        finishConn(st, r);
        return 0;
    }
    int c = connect(fd, ai->ai_addr, ai->ai_addrlen);
    freeaddrinfo(ai);
    if (c != 0 && errno != EINPROGRESS) {
        COMMON_TI_Release(st->out);
        failOver(st, errno == ECONNREFUSED ? MORAVEL_E_CONNECT_FAILED : MORAVEL_E_CONNECT_START);
        return 0;
    }
    r = COMMON_TI_WaitConnected(*st->out, st->token, onConnected, st);
    if (r != 0) {
        finishConn(st, r);
    }
    return 0;
}

static int MORAVEL_CALL onResolved(MoravelCallbackRecord* rec)
{
    MvConnState* st = rec->user;
    if (rec->status != 0 && rec->status != MORAVEL_E_IDLE_TIMEOUT) {
        finishConn(st, rec->status);
        return 0;
    }
    int v6;
    if (st->res.ipv4Text[0]) {
        v6 = 0;
    } else if (st->res.ipv6Text[0]) {
        v6 = 1;
    } else {
        finishConn(st, MORAVEL_E_NO_ADDRESS);
        return 0;
    }
    int32_t r = scheduleAttempt(st, v6);
    if (r != 0) {
        finishConn(st, r);
    }
    return 0;
}

int32_t MORAVEL_CALL SMO_SocketConn_Init(MoravelAgent* agent, MoravelToken* token,
                                         MoravelCallback cb, void* user,
                                         const MoravelConnParams* params,
                                         MoravelTransport** transport)
{
    if (!agent || !token || !cb || !params || !transport) {
        return MORAVEL_E_INVALIDARG;
    }
    size_t hostLen = strnlen(params->host, sizeof(params->host));
    if (hostLen == 0 || hostLen >= sizeof(params->host) || params->port == 0 ||
        params->port > 65535) {
        return MORAVEL_E_INVALIDARG;
    }
    *transport = NULL;
    MvConnState* st = mv_alloc(agent, sizeof(MvConnState));
    if (!st) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    st->params = *params;
    st->agent = agent;
    st->token = token;
    st->cb = cb;
    st->user = user;
    st->out = transport;
    if (strcmp(st->params.host, "localhost") == 0) {
        strcpy(st->params.host, "127.0.0.1");
    }
    int32_t r;
    if (SMO_SocketConn_IsIPFormat(st->params.host)) {
        int v6 = strchr(st->params.host, ':') != NULL;
        /* The address check bounds the text to 39 characters. */
        memcpy(v6 ? st->res.ipv6Text : st->res.ipv4Text, st->params.host,
               strlen(st->params.host) + 1);
        r = scheduleAttempt(st, v6);
    } else {
        snprintf(st->request.host, sizeof(st->request.host), "%s", st->params.host);
        r = SMO_ResolveIP_Init(agent, token, onResolved, st, &st->request, &st->res);
    }
    if (r != 0) {
        mv_free(agent, st);
    }
    return r;
}
