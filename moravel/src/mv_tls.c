/* The TLS side of the agent: loading our TLS wrapper library at start-up, its client context,
 * and the TLS transport over a socket transport. The wrapper is reached only through the table
 * of functions resolved by name, so an agent without it works without TLS. */
#include "mv_internal.h"

#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MV_TLS_LIBRARY "libOpenSSLWrapper.so"

enum
{
    F_SSL_free,
    F_SSL_connect,
    F_SSL_read,
    F_SSL_write,
    F_SSL_get_error,
    F_SSL_set_fd,
    F_SSL_new,
    F_SSL_CTX_new,
    F_SSL_library_init,
    F_SSLv23_client_method,
    F_SSL_CTX_free,
    F_SSL_CTX_load_verify_locations,
    F_SSL_CTX_set_verify,
    F_COUNT
};

static const char* const kNames[F_COUNT] = {
    "OPSSLWP_SSL_free",          "OPSSLWP_SSL_connect",
    "OPSSLWP_SSL_read",          "OPSSLWP_SSL_write",
    "OPSSLWP_SSL_get_error",     "OPSSLWP_SSL_set_fd",
    "OPSSLWP_SSL_new",           "OPSSLWP_SSL_CTX_new",
    "OPSSLWP_SSL_library_init",  "OPSSLWP_SSLv23_client_method",
    "OPSSLWP_SSL_CTX_free",      "OPSSLWP_SSL_CTX_load_verify_locations",
    "OPSSLWP_SSL_CTX_set_verify"};

typedef void (*FnFree)(void*);
typedef int (*FnSsl)(void*);
typedef int (*FnIo)(void*, void*, int);
typedef int (*FnGetError)(const void*, int);
typedef int (*FnSetFd)(void*, int);
typedef void* (*FnNew)(void*);
typedef void* (*FnCtxNew)(const void*);
typedef int (*FnInit)(void);
typedef const void* (*FnMethod)(void);
typedef int (*FnLoadVerify)(void*, const char*, const char*);
typedef void (*FnSetVerify)(void*, int, void*);

#define TLSFN(a, type, idx) ((type)(a)->tlsFns[idx])

/* The wrapper is looked for beside libmoravel.so first (both are installed together), then on
 * the loader's search path. MORAVEL_TLS_WRAPPER names another file (tests use it to give an
 * agent a broken or missing wrapper). */
static void* openWrapper(void)
{
    const char* forced = getenv("MORAVEL_TLS_WRAPPER");
    if (forced) {
        return forced[0] ? dlopen(forced, RTLD_NOW | RTLD_LOCAL) : NULL;
    }
    Dl_info info;
    if (dladdr((void*)&openWrapper, &info) && info.dli_fname) {
        char path[PATH_MAX];
        const char* slash = strrchr(info.dli_fname, '/');
        if (slash && (size_t)(slash - info.dli_fname) + sizeof(MV_TLS_LIBRARY) + 1 < sizeof(path)) {
            snprintf(path, sizeof(path), "%.*s/%s", (int)(slash - info.dli_fname), info.dli_fname,
                     MV_TLS_LIBRARY);
            void* h = dlopen(path, RTLD_NOW | RTLD_LOCAL);
            if (h) {
                return h;
            }
        }
    }
    return dlopen(MV_TLS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
}

int32_t mv_tls_load(MoravelAgent* a)
{
    if (a->tlsModule) {
        return MORAVEL_OK;
    }
    void* h = openWrapper();
    if (!h) {
        return MORAVEL_E_TLS_LOAD;
    }
    void** fns = calloc(F_COUNT, sizeof(void*));
    if (!fns) {
        dlclose(h);
        return MORAVEL_E_OUTOFMEMORY;
    }
    /* A wrapper missing any function is refused as a whole: calling through an empty entry in
     * the middle of a handshake would crash the caller's process. */
    for (int i = 0; i < F_COUNT; ++i) {
        fns[i] = dlsym(h, kNames[i]);
        if (!fns[i]) {
            free(fns);
            dlclose(h);
            return MORAVEL_E_TLS_LOAD;
        }
    }
    a->tlsModule = h;
    a->tlsFns = fns;
    TLSFN(a, FnInit, F_SSL_library_init)();
    a->tlsCtx = TLSFN(a, FnCtxNew, F_SSL_CTX_new)(TLSFN(a, FnMethod, F_SSLv23_client_method)());
    if (!a->tlsCtx) {
        free(fns);
        a->tlsFns = NULL;
        dlclose(h);
        a->tlsModule = NULL;
        return MORAVEL_E_TLS_CONTEXT;
    }
    return MORAVEL_OK;
}

void mv_tls_unload(MoravelAgent* a)
{
    if (a->tlsCtx) {
        TLSFN(a, FnFree, F_SSL_CTX_free)(a->tlsCtx);
        a->tlsCtx = NULL;
    }
    free(a->tlsFns);
    a->tlsFns = NULL;
    if (a->tlsModule) {
        dlclose(a->tlsModule);
        a->tlsModule = NULL;
    }
}

int MORAVEL_CALL SMO_SSL_Available(MoravelAgent* agent)
{
    return agent && agent->tlsCtx != NULL;
}

int32_t MORAVEL_CALL SMO_SSL_LoadVerifyLocation(MoravelAgent* agent, const char* path)
{
    if (!agent || !path) {
        return MORAVEL_E_INVALIDARG;
    }
    if (!agent->tlsCtx) {
        return MORAVEL_E_TLS_LOAD;
    }
    int ok = TLSFN(agent, FnLoadVerify, F_SSL_CTX_load_verify_locations)(agent->tlsCtx, NULL, path);
    TLSFN(agent, FnSetVerify, F_SSL_CTX_set_verify)(agent->tlsCtx, 1, NULL);
    return ok == 1 ? MORAVEL_OK : MORAVEL_E_INVALIDARG;
}

/* ---- TLS transport ---- */

enum
{
    OP_READ,
    OP_WRITE,
    OP_HANDSHAKE,
    OP_KINDS
};

typedef struct MvTlsPending
{
    int active;
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    uint8_t* buffer;
    uint32_t length;
    uint32_t moved;
    uint32_t mode;
} MvTlsPending;

typedef struct MvTlsTransport
{
    MoravelTransport base;
    MoravelTransport* inner;
    MoravelAgent* agent;
    int fd;
    void* ssl;
    MvTlsPending op[OP_KINDS];
} MvTlsTransport;

/* SSL_get_error values. */
enum
{
    E_WANT_READ = 2,
    E_WANT_WRITE = 3,
    E_SYSCALL = 5,
    E_ZERO_RETURN = 6
};

static int sslError(MvTlsTransport* t, int ret)
{
    return TLSFN(t->agent, FnGetError, F_SSL_get_error)(t->ssl, ret);
}

/* One direct attempt. Answers 1 with bytes in *n, 0 when it must wait (*want 0 read, 1 write),
 * or -1 with the failure in *status and the TLS error in *err. */
static int tryIo(MvTlsTransport* t, int kind, uint8_t* buf, uint32_t len, uint32_t* n, int* want,
                 int32_t* status, int* err)
{
    int chunk = len > (uint32_t)INT_MAX ? INT_MAX : (int)len;
    int ret;
    errno = 0;
    if (kind == OP_HANDSHAKE) {
        ret = TLSFN(t->agent, FnSsl, F_SSL_connect)(t->ssl);
    } else if (kind == OP_READ) {
        ret = TLSFN(t->agent, FnIo, F_SSL_read)(t->ssl, buf, chunk);
    } else {
        ret = TLSFN(t->agent, FnIo, F_SSL_write)(t->ssl, buf, chunk);
    }
    if (ret > 0) {
        *n = kind == OP_HANDSHAKE ? 0 : (uint32_t)ret;
        return 1;
    }
    int e = sslError(t, ret);
    *err = e;
    if (e == E_WANT_READ) {
        *want = 0;
        return 0;
    }
    if (e == E_WANT_WRITE) {
        *want = 1;
        return 0;
    }
    if (e == E_SYSCALL && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        *want = kind == OP_WRITE ? 1 : 0;
        return 0;
    }
    if (kind == OP_HANDSHAKE) {
        *status = MORAVEL_E_TLS_HANDSHAKE;
    } else if (kind == OP_READ && (e == E_SYSCALL || e == E_ZERO_RETURN)) {
        *status = MORAVEL_E_CLOSED;
    } else {
        *status = kind == OP_READ ? MORAVEL_E_TLS_READ : MORAVEL_E_TLS_WRITE;
    }
    return -1;
}

static int MORAVEL_CALL onReady(MoravelCallbackRecord* rec);
static int MORAVEL_CALL onDoneTimer(MoravelCallbackRecord* rec);

/* Internal entries carry the transport with the kind in its two low bits as user data. */
static void finishOp(MvTlsTransport* t, int kind, int32_t status, MoravelAgent* a)
{
    MvTlsPending* p = &t->op[kind];
    p->active = 0;
    MoravelCallbackRecord out = {p->token, p->user, status == 0 ? p->moved : 0, 0, status, a};
    p->cb(&out);
}

/* Runs the pending operation of @p kind as far as it goes; answers 0 or a starting failure. */
static int32_t drive(MvTlsTransport* t, int kind, int fromLoop)
{
    MvTlsPending* p = &t->op[kind];
    for (;;) {
        uint32_t n = 0;
        int want = 0, err = 0;
        int32_t status = 0;
        int r =
            tryIo(t, kind, p->buffer + p->moved, p->length - p->moved, &n, &want, &status, &err);
        if (r > 0) {
            p->moved += n;
            if (n > 0) {
                STATOKEN_TouchToken(p->token);
            }
            if (kind == OP_HANDSHAKE || p->moved >= p->length || p->mode != 0) {
                if (fromLoop) {
                    finishOp(t, kind, 0, t->agent);
                    return 0;
                }
                /* Never call back from inside the starting call. */
                MvTimerSpec s = {.token = p->token,
                                 .cb = onDoneTimer,
                                 .user = (void*)((uintptr_t)t | (uintptr_t)kind),
                                 .delayMs = kind == OP_HANDSHAKE ? 1 : 0,
                                 .internal = 1,
                                 .owner = t};
                return mv_timer_add(t->agent, &s);
            }
            continue;
        }
        if (r == 0) {
            MvSockSpec s = {p->token,
                            onReady,
                            (void*)((uintptr_t)t | (uintptr_t)kind),
                            t->fd,
                            0,
                            NULL,
                            1,
                            (uint32_t)want,
                            1,
                            t};
            return mv_sock_add(t->agent, &s);
        }
        if (fromLoop) {
            finishOp(t, kind, status, t->agent);
            return 0;
        }
        return status;
    }
}

static int MORAVEL_CALL onDoneTimer(MoravelCallbackRecord* rec)
{
    MvTlsTransport* t = (MvTlsTransport*)((uintptr_t)rec->user & ~(uintptr_t)3);
    int kind = (int)((uintptr_t)rec->user & 3);
    finishOp(t, kind, rec->status, rec->agent);
    return 0;
}

static int MORAVEL_CALL onReady(MoravelCallbackRecord* rec)
{
    MvTlsTransport* t = (MvTlsTransport*)((uintptr_t)rec->user & ~(uintptr_t)3);
    int kind = (int)((uintptr_t)rec->user & 3);
    if (rec->status != 0) {
        finishOp(t, kind, rec->status, rec->agent);
        return 0;
    }
    int32_t r = drive(t, kind, 1);
    if (r != 0) {
        finishOp(t, kind, r, rec->agent);
    }
    return 0;
}

static int32_t start(MvTlsTransport* t, int kind, MoravelToken* token, MoravelCallback cb,
                     void* user, uint8_t* buf, uint32_t len, uint32_t mode)
{
    if (!token || !cb) {
        return MORAVEL_E_INVALIDARG;
    }
    if (kind != OP_HANDSHAKE && (!buf || len == 0)) {
        return MORAVEL_E_INVALIDARG;
    }
    MvTlsPending* p = &t->op[kind];
    if (p->active) {
        return MORAVEL_E_INVALIDARG;
    }
    *p = (MvTlsPending){1, token, cb, user, buf, len, 0, mode};
    int32_t r = drive(t, kind, 0);
    if (r != 0) {
        p->active = 0;
    }
    return r;
}

static int32_t MORAVEL_CALL tlsReadData(MoravelTransport* tr, MoravelToken* token,
                                        MoravelCallback cb, void* user, uint32_t length,
                                        void* buffer, uint32_t mode)
{
    return start((MvTlsTransport*)tr, OP_READ, token, cb, user, buffer, length, mode);
}

static int32_t MORAVEL_CALL tlsWriteData(MoravelTransport* tr, MoravelToken* token,
                                         MoravelCallback cb, void* user, uint32_t length,
                                         const void* buffer)
{
    return start((MvTlsTransport*)tr, OP_WRITE, token, cb, user, (uint8_t*)buffer, length, 0);
}

static int32_t MORAVEL_CALL tlsWaitConnected(MoravelTransport* tr, MoravelToken* token,
                                             MoravelCallback cb, void* user)
{
    return start((MvTlsTransport*)tr, OP_HANDSHAKE, token, cb, user, NULL, 0, 0);
}

static int32_t direct(MvTlsTransport* t, int kind, void* buf, uint32_t len, uint32_t* n, int* error)
{
    if (n) {
        *n = 0;
    }
    if (error) {
        *error = 0;
    }
    if (!buf || !n) {
        return MORAVEL_E_INVALIDARG;
    }
    if (len == 0) {
        return MORAVEL_OK;
    }
    int want = 0, err = 0;
    int32_t status = 0;
    int r = tryIo(t, kind, buf, len, n, &want, &status, &err);
    if (r >= 0) {
        return MORAVEL_OK;
    }
    if (error) {
        *error = err;
    }
    return status;
}

static int32_t MORAVEL_CALL tlsReadDataDirect(MoravelTransport* tr, void* buffer, uint32_t length,
                                              uint32_t* read, int* error)
{
    return direct((MvTlsTransport*)tr, OP_READ, buffer, length, read, error);
}

static int32_t MORAVEL_CALL tlsWriteDataDirect(MoravelTransport* tr, const void* buffer,
                                               uint32_t length, uint32_t* written, int* error)
{
    return direct((MvTlsTransport*)tr, OP_WRITE, (void*)buffer, length, written, error);
}

static int MORAVEL_CALL removeOwnedCb(MoravelCallbackRecord* rec)
{
    mv_sock_remove(rec->agent, MORAVEL_REMOVE_SILENT, 0, rec->user);
    mv_timer_remove(rec->agent, MORAVEL_REMOVE_SILENT, 0, rec->user);
    return 0;
}

void mv_remove_owned(MoravelAgent* a, void* owner)
{
    pthread_mutex_lock(&a->dataLock);
    int direct = !a->haveLoopThread || mv_is_loop_thread_locked(a);
    pthread_mutex_unlock(&a->dataLock);
    MoravelCallbackRecord rec = {NULL, owner, 0, 0, 0, a};
    if (direct) {
        removeOwnedCb(&rec);
    } else {
        SCHEAGENT_DoSomethingSafely(a, removeOwnedCb, owner, 0, 0);
    }
}

static int32_t MORAVEL_CALL tlsRelease(MoravelTransport** p)
{
    MvTlsTransport* t = (MvTlsTransport*)*p;
    MoravelAgent* a = t->agent;
    mv_remove_owned(a, t);
    if (t->ssl) {
        TLSFN(a, FnFree, F_SSL_free)(t->ssl);
    }
    COMMON_TI_Release(&t->inner);
    mv_free(a, t);
    *p = NULL;
    return MORAVEL_OK;
}

static const MvTransportOps kTlsOps = {tlsReadData,        tlsReadDataDirect, tlsWriteData,
                                       tlsWriteDataDirect, tlsWaitConnected,  tlsRelease};

int32_t MORAVEL_CALL TLS_SOCK_PI_Create(MoravelTransport** out, MoravelAgent* agent,
                                        MoravelTransport* inner)
{
    if (out) {
        *out = NULL;
    }
    if (!out || !agent || !inner) {
        return MORAVEL_E_INVALIDARG;
    }
    if (!agent->tlsCtx) {
        return MORAVEL_E_TLS_LOAD;
    }
    int fd = COMMON_TI_GetSocket(inner);
    if (fd < 0) {
        return MORAVEL_E_INVALIDARG;
    }
    _Static_assert(_Alignof(MvTlsTransport) >= 4, "kind bits fit below the pointer");
    MvTlsTransport* t = mv_alloc(agent, sizeof(MvTlsTransport));
    if (!t) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    t->base.ops = &kTlsOps;
    t->agent = agent;
    t->fd = fd;
    t->ssl = TLSFN(agent, FnNew, F_SSL_new)(agent->tlsCtx);
    if (!t->ssl) {
        mv_free(agent, t);
        return MORAVEL_E_OUTOFMEMORY;
    }
    if (TLSFN(agent, FnSetFd, F_SSL_set_fd)(t->ssl, fd) != 1) {
        TLSFN(agent, FnFree, F_SSL_free)(t->ssl);
        mv_free(agent, t);
        return MORAVEL_E_TLS_BIND;
    }
    t->inner = inner;
    *out = &t->base;
    return MORAVEL_OK;
}
