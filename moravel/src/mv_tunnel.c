/* The HTTP tunnel transport: every write is sent as the body of one HTTP request. */
#include "mv_internal.h"

#include <stdlib.h>
#include <string.h>

typedef struct MvTunnel
{
    MoravelTransport base;
    MoravelAgent* agent;
    MoravelHttpParams params;
    MoravelHttpResponse resp;
    MoravelTransport* respTransport;
    char* body;
    uint32_t capacity;
    int tls;
    int busy;
    MoravelCallback cb;
    void* user;
    uint32_t length;
} MvTunnel;

static int MORAVEL_CALL onRequestDone(MoravelCallbackRecord* rec)
{
    MvTunnel* t = rec->user;
    t->busy = 0;
    /* The response body is never read: the answer to a tunnelled write is its status alone. */
    if (t->respTransport) {
        COMMON_TI_Release(&t->respTransport);
    }
    MoravelCallbackRecord out = {rec->token, t->user,     rec->status == 0 ? t->length : 0,
                                 0,          rec->status, rec->agent};
    return t->cb(&out);
}

static int32_t MORAVEL_CALL tunnelWriteData(MoravelTransport* tr, MoravelToken* token,
                                            MoravelCallback cb, void* user, uint32_t length,
                                            const void* data)
{
    MvTunnel* t = (MvTunnel*)tr;
    if (!token || !cb || (!data && length > 0) || length > 0x7FFFFFFEu) {
        return MORAVEL_E_INVALIDARG;
    }
    if (t->busy) {
        return MORAVEL_E_INVALIDARG; /* one request at a time */
    }
    if (t->capacity < length + 1) {
        char* b = realloc(t->body, (size_t)length + 1024);
        if (!b) {
            return MORAVEL_E_OUTOFMEMORY;
        }
        t->body = b;
        t->capacity = length + 1024;
    }
    if (length > 0 && ((const uint8_t*)data)[0] != 0) {
        memcpy(t->body, data, length);
        t->body[length] = '\0';
    } else {
        t->body[0] = '\0';
    }
    t->cb = cb;
    t->user = user;
    t->length = length;
    t->params.externalBody = t->body;
    t->resp.transport = &t->respTransport;
    t->busy = 1;
    int32_t r = mv_http_start(t->agent, token, onRequestDone, t, &t->params, &t->resp, t->tls);
    if (r != 0) {
        t->busy = 0;
    }
    return r;
}

static int32_t MORAVEL_CALL tunnelRelease(MoravelTransport** p)
{
    MvTunnel* t = (MvTunnel*)*p;
    if (t->respTransport) {
        COMMON_TI_Release(&t->respTransport);
    }
    free(t->body);
    mv_free(t->agent, t);
    *p = NULL;
    return MORAVEL_OK;
}

/* Reads, direct writes and waits are not offered: the dispatch answers 0x80000004. */
static const MvTransportOps kTunnelOps = {NULL, NULL, tunnelWriteData, NULL, NULL, tunnelRelease};

int32_t MORAVEL_CALL HTTP_AS_SOCK_PI_CreateEx(MoravelTransport** out, MoravelAgent* agent,
                                              const MoravelHttpParams* params, int tls)
{
    if (out) {
        *out = NULL;
    }
    if (!out || !agent || !params) {
        return MORAVEL_E_INVALIDARG;
    }
    if (tls && !agent->tlsCtx) {
        return MORAVEL_E_TLS_LOAD;
    }
    MvTunnel* t = mv_alloc(agent, sizeof(MvTunnel));
    if (!t) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    t->base.ops = &kTunnelOps;
    t->agent = agent;
    memcpy(&t->params, params, sizeof(t->params));
    t->tls = tls != 0;
    *out = &t->base;
    return MORAVEL_OK;
}

int32_t MORAVEL_CALL HTTP_AS_SOCK_PI_Create(MoravelTransport** out, MoravelAgent* agent,
                                            const MoravelHttpParams* params)
{
    return HTTP_AS_SOCK_PI_CreateEx(out, agent, params, 0);
}
