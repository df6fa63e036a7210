/* Transport dispatch (COMMON_TI_) and the socket transport: a TCP or UDP socket with optional
 * initial data, served before the socket, and an optional byte limit. */
#include "mv_internal.h"

#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

/* What the server end of an HTTP tunnel answers once the POST body's fixed length is used up. */
static const char kLimitAnswer[] =
    "HTTP/1.0 200 OK\r\nContent-Length: 1\r\nContent-Type: text/html\r\n\r\n1";

typedef struct MvSockTransport
{
    MoravelTransport base;
    int fd;
    MoravelAgent* agent;
    uint32_t initLen;
    uint32_t initPos;
    uint64_t delivered;
    uint32_t limit;
    int limitAnswered;
    /* read in progress */
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    uint32_t servedInit;
    uint8_t initData[];
} MvSockTransport;

static const MvTransportOps kSocketOps;

/* How many of @p requested bytes may still be delivered; at the limit, answers closed. */
static int32_t limitCheck(MvSockTransport* t, uint32_t requested, uint32_t* allowed)
{
    *allowed = requested;
    if (t->limit == 0) {
        return MORAVEL_OK;
    }
    if (t->delivered < t->limit) {
        uint64_t left = t->limit - t->delivered;
        if (left < requested) {
            *allowed = (uint32_t)left;
        }
        return MORAVEL_OK;
    }
    *allowed = 0;
    if (!t->limitAnswered) {
        t->limitAnswered = 1;
        ssize_t r = send(t->fd, kLimitAnswer, sizeof(kLimitAnswer) - 1, MSG_NOSIGNAL);
        (void)r; /* the peer may already be gone; the read reports closed either way */
    }
    return MORAVEL_E_CLOSED;
}

static int MORAVEL_CALL onReadDone(MoravelCallbackRecord* rec)
{
    MvSockTransport* t = rec->user;
    uint32_t fromSocket = (uint32_t)rec->value;
    t->delivered += fromSocket;
    MoravelCallbackRecord out = {rec->token, t->user,     t->servedInit + fromSocket,
                                 0,          rec->status, rec->agent};
    t->servedInit = 0;
    return t->cb(&out);
}

static int MORAVEL_CALL onInitServed(MoravelCallbackRecord* rec)
{
    MvSockTransport* t = rec->user;
    MoravelCallbackRecord out = {rec->token, t->user,     rec->status == 0 ? t->servedInit : 0,
                                 0,          rec->status, rec->agent};
    t->servedInit = 0;
    return t->cb(&out);
}

static int32_t MORAVEL_CALL sockReadData(MoravelTransport* tr, MoravelToken* token,
                                         MoravelCallback cb, void* user, uint32_t length,
                                         void* buffer, uint32_t mode)
{
    MvSockTransport* t = (MvSockTransport*)tr;
    if (!token || !cb) {
        return MORAVEL_E_INVALIDARG;
    }
    if (length == 0 || !buffer) {
        /* Readiness notification: nothing to count or serve. */
        return SCHEAGENT_AddSocketOperToken(t->agent, token, cb, user, t->fd, length, buffer, mode,
                                            0);
    }
    uint32_t allowed;
    int32_t st = limitCheck(t, length, &allowed);
    if (st != 0) {
        return st;
    }
    uint32_t left = t->initLen - t->initPos;
    uint32_t served = allowed < left ? allowed : left;
    t->token = token;
    t->cb = cb;
    t->user = user;
    if (served > 0) {
        memcpy(buffer, t->initData + t->initPos, served);
        t->initPos += served;
        t->delivered += served;
        t->servedInit = served;
        if (served == allowed || mode != 0) {
            MvTimerSpec s = {
                .token = token, .cb = onInitServed, .user = t, .delayMs = 1, .owner = t};
            int32_t r = mv_timer_add(t->agent, &s);
            if (r != 0) {
                t->initPos -= served;
                t->delivered -= served;
                t->servedInit = 0;
            }
            return r;
        }
    } else {
        t->servedInit = 0;
    }
    MvSockSpec s = {token, onReadDone, t, t->fd, allowed - served, (uint8_t*)buffer + served,
                    mode,  0,          0, t};
    int32_t r = mv_sock_add(t->agent, &s);
    if (r != 0 && served > 0) {
        t->initPos -= served;
        t->delivered -= served;
        t->servedInit = 0;
    }
    return r;
}

static int32_t MORAVEL_CALL sockReadDataDirect(MoravelTransport* tr, void* buffer, uint32_t length,
                                               uint32_t* read, int* error)
{
    MvSockTransport* t = (MvSockTransport*)tr;
    if (read) {
        *read = 0;
    }
    if (error) {
        *error = 0;
    }
    if (!buffer || !read) {
        return MORAVEL_E_INVALIDARG;
    }
    uint32_t allowed;
    int32_t st = limitCheck(t, length, &allowed);
    if (st != 0) {
        return st;
    }
    ssize_t n = recv(t->fd, buffer, allowed, 0);
    if (n > 0) {
        *read = (uint32_t)n;
        t->delivered += (uint64_t)n;
        return MORAVEL_OK;
    }
    if (n == 0) {
        return allowed == 0 ? MORAVEL_OK : MORAVEL_E_CLOSED;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        return MORAVEL_OK;
    }
    if (error) {
        *error = errno;
    }
    return MORAVEL_E_IO;
}

static int32_t MORAVEL_CALL sockWriteData(MoravelTransport* tr, MoravelToken* token,
                                          MoravelCallback cb, void* user, uint32_t length,
                                          const void* buffer)
{
    MvSockTransport* t = (MvSockTransport*)tr;
    if (!token || !cb || !buffer || length == 0) {
        return MORAVEL_E_INVALIDARG;
    }
    MvSockSpec s = {token, cb, user, t->fd, length, (void*)buffer, 0, 1, 0, t};
    return mv_sock_add(t->agent, &s);
}

static int32_t MORAVEL_CALL sockWriteDataDirect(MoravelTransport* tr, const void* buffer,
                                                uint32_t length, uint32_t* written, int* error)
{
    MvSockTransport* t = (MvSockTransport*)tr;
    if (written) {
        *written = 0;
    }
    if (error) {
        *error = 0;
    }
    if (!buffer || !written) {
        return MORAVEL_E_INVALIDARG;
    }
    ssize_t n = send(t->fd, buffer, length, MSG_NOSIGNAL);
    if (n >= 0) {
        *written = (uint32_t)n;
        return MORAVEL_OK;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        return MORAVEL_OK;
    }
    if (error) {
        *error = errno;
    }
    return MORAVEL_E_IO;
}

static int32_t MORAVEL_CALL sockWaitConnected(MoravelTransport* tr, MoravelToken* token,
                                              MoravelCallback cb, void* user)
{
    MvSockTransport* t = (MvSockTransport*)tr;
    if (!token || !cb) {
        return MORAVEL_E_INVALIDARG;
    }
    MvSockSpec s = {token, cb, user, t->fd, 0, NULL, 1, 1, 0, t};
    return mv_sock_add(t->agent, &s);
}

static int MORAVEL_CALL removeOwned(MoravelCallbackRecord* rec)
{
    mv_sock_remove(rec->agent, MORAVEL_REMOVE_SILENT, 0, rec->user);
    mv_timer_remove(rec->agent, MORAVEL_REMOVE_SILENT, 0, rec->user);
    return 0;
}

static int32_t MORAVEL_CALL sockRelease(MoravelTransport** p)
{
    MvSockTransport* t = (MvSockTransport*)*p;
    MoravelAgent* a = t->agent;
    /* Operations still queued on this socket would otherwise poll a descriptor number that the
     * system may already have given to another socket. */
    pthread_mutex_lock(&a->dataLock);
    int direct = !a->haveLoopThread || mv_is_loop_thread_locked(a);
    pthread_mutex_unlock(&a->dataLock);
    if (direct) {
        MoravelCallbackRecord rec = {NULL, t, 0, 0, 0, a};
        removeOwned(&rec);
    } else {
        /* Their callbacks would otherwise run on the loop thread with this freed block. */
        SCHEAGENT_DoSomethingSafely(a, removeOwned, t, 0, 0);
    }
    if (t->fd >= 0) {
        shutdown(t->fd, SHUT_WR);
        close(t->fd);
        t->fd = -1;
    }
    mv_free(a, t);
    *p = NULL;
    return MORAVEL_OK;
}

static const MvTransportOps kSocketOps = {sockReadData,        sockReadDataDirect, sockWriteData,
                                          sockWriteDataDirect, sockWaitConnected,  sockRelease};

int32_t MORAVEL_CALL SOCK_TO_COMM_TI(MoravelTransport** out, MoravelAgent* agent,
                                     MoravelSocket socket, int hardClose, uint32_t initialLength,
                                     const void* initialData, uint32_t byteLimit)
{
    if (out) {
        *out = NULL;
    }
    if (!out || !agent || socket < 0 || (initialLength > 0 && !initialData) ||
        initialLength > 0x7FFFFFFFu) {
        return MORAVEL_E_INVALIDARG;
    }
    MvSockTransport* t = mv_alloc(agent, (uint32_t)sizeof(MvSockTransport) + initialLength);
    if (!t) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    t->base.ops = &kSocketOps;
    t->fd = socket;
    t->agent = agent;
    t->initLen = initialLength;
    t->limit = byteLimit;
    if (initialLength > 0) {
        memcpy(t->initData, initialData, initialLength);
    }
    int fl = fcntl(socket, F_GETFL, 0);
    if (fl >= 0) {
        fcntl(socket, F_SETFL, fl | O_NONBLOCK);
    }
    /* Options that do not apply to the socket's kind (UDP, listening) are simply not set. */
    int one = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    if (hardClose) {
        struct linger lg = {1, 0};
        setsockopt(socket, SOL_SOCKET, SO_LINGER, &lg, sizeof(lg));
    }
    *out = &t->base;
    return MORAVEL_OK;
}

MoravelSocket MORAVEL_CALL COMMON_TI_GetSocket(MoravelTransport* transport)
{
    if (!transport || transport->ops != &kSocketOps) {
        return -1;
    }
    return ((MvSockTransport*)transport)->fd;
}

int32_t MORAVEL_CALL COMMON_TI_ReadData(MoravelTransport* transport, MoravelToken* token,
                                        MoravelCallback cb, void* user, uint32_t length,
                                        void* buffer, uint32_t mode)
{
    if (!transport || !transport->ops) {
        return MORAVEL_E_NOTAVAILABLE;
    }
    if (!transport->ops->readData) {
        return MORAVEL_E_NOTSUPPORTED;
    }
    return transport->ops->readData(transport, token, cb, user, length, buffer, mode);
}

int32_t MORAVEL_CALL COMMON_TI_ReadDataDirect(MoravelTransport* transport, void* buffer,
                                              uint32_t length, uint32_t* read, int* error)
{
    if (!transport || !transport->ops) {
        return MORAVEL_E_NOTAVAILABLE;
    }
    if (!transport->ops->readDataDirect) {
        return MORAVEL_E_NOTSUPPORTED;
    }
    return transport->ops->readDataDirect(transport, buffer, length, read, error);
}

int32_t MORAVEL_CALL COMMON_TI_WriteData(MoravelTransport* transport, MoravelToken* token,
                                         MoravelCallback cb, void* user, uint32_t length,
                                         const void* buffer)
{
    if (!transport || !transport->ops) {
        return MORAVEL_E_NOTAVAILABLE;
    }
    if (!transport->ops->writeData) {
        return MORAVEL_E_NOTSUPPORTED;
    }
    return transport->ops->writeData(transport, token, cb, user, length, buffer);
}

int32_t MORAVEL_CALL COMMON_TI_WriteDataDirect(MoravelTransport* transport, const void* buffer,
                                               uint32_t length, uint32_t* written, int* error)
{
    if (!transport || !transport->ops) {
        return MORAVEL_E_NOTAVAILABLE;
    }
    if (!transport->ops->writeDataDirect) {
        return MORAVEL_E_NOTSUPPORTED;
    }
    return transport->ops->writeDataDirect(transport, buffer, length, written, error);
}

int32_t MORAVEL_CALL COMMON_TI_WaitConnected(MoravelTransport* transport, MoravelToken* token,
                                             MoravelCallback cb, void* user)
{
    if (!transport || !transport->ops) {
        return MORAVEL_E_NOTAVAILABLE;
    }
    if (!transport->ops->waitConnected) {
        return MORAVEL_E_NOTSUPPORTED;
    }
    return transport->ops->waitConnected(transport, token, cb, user);
}

int32_t MORAVEL_CALL COMMON_TI_Release(MoravelTransport** p)
{
    if (!p || !*p || !(*p)->ops) {
        return MORAVEL_E_NOTAVAILABLE;
    }
    if (!(*p)->ops->release) {
        return MORAVEL_E_NOTSUPPORTED;
    }
    return (*p)->ops->release(p);
}
