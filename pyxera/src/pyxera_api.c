/* The seven public calls: argument checks, the instance's lifecycle, and hand-over of discovery
 * requests to the worker thread (pyxera_worker.c). */
#define _GNU_SOURCE
#include "pyxera_internal.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

/* Large enough for a thousand answers arriving close together (the kernel may cap it). */
#define PYX_RCVBUF_BYTES (4 * 1024 * 1024)

int Pyxera_Create(PyxeraHandle* handle, const void* params)
{
    const unsigned char* p = (const unsigned char*)params;
    struct PyxeraInstance* inst;
    uint16_t port;
    uint32_t mode;
    if (!handle)
        return PYXERA_ERR_ARG;
    *handle = NULL;
    if (!p)
        return PYXERA_ERR_ARG;
    port = (uint16_t)(p[PYXERA_PARAMS_PORT] | (p[PYXERA_PARAMS_PORT + 1] << 8));
    mode = (uint32_t)p[PYXERA_PARAMS_MODE] | ((uint32_t)p[PYXERA_PARAMS_MODE + 1] << 8) |
           ((uint32_t)p[PYXERA_PARAMS_MODE + 2] << 16) |
           ((uint32_t)p[PYXERA_PARAMS_MODE + 3] << 24);
    if (port == 0 || mode != 1)
        return PYXERA_ERR_ARG;
    inst = calloc(1, sizeof *inst);
    if (!inst)
        return PYXERA_ERR_NOMEM;
    if (pthread_mutex_init(&inst->lock, NULL) != 0) {
        free(inst);
        return PYXERA_ERR_NOMEM;
    }
    if (pthread_cond_init(&inst->stopped, NULL) != 0) {
        pthread_mutex_destroy(&inst->lock);
        free(inst);
        return PYXERA_ERR_NOMEM;
    }
    inst->port = port;
    inst->sock = -1;
    inst->wake_fd = -1;
    *handle = inst;
    return PYXERA_OK;
}

int Pyxera_SetCallback(PyxeraHandle inst, void* context, PyxeraCallback callback)
{
    int rc = PYXERA_OK;
    if (!inst || !callback)
        return PYXERA_ERR_ARG;
    pthread_mutex_lock(&inst->lock);
    if (inst->started) {
        rc = PYXERA_ERR_STATE;
    } else {
        inst->callback = callback;
        inst->context = context;
    }
    pthread_mutex_unlock(&inst->lock);
    return rc;
}

static int open_socket(void)
{
    struct sockaddr_in any;
    int one = 1, size = PYX_RCVBUF_BYTES;
    int s = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    /* SO_RCVBUFFORCE passes rmem_max when privileged; otherwise fall back to the capped size. */
    if (setsockopt(s, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        setsockopt(s, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    memset(&any, 0, sizeof any);
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    any.sin_port = 0;
    if (bind(s, (const struct sockaddr*)&any, sizeof any) != 0) {
        close(s);
        return -1;
    }
    return s;
}

int Pyxera_Start(PyxeraHandle inst)
{
    int rc = PYXERA_OK;
    if (!inst)
        return PYXERA_ERR_ARG;
    pthread_mutex_lock(&inst->lock);
    if (inst->started || inst->stopping || !inst->callback) {
        rc = PYXERA_ERR_STATE;
        goto done;
    }
    inst->sock = open_socket();
    inst->wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inst->sock < 0 || inst->wake_fd < 0) {
        rc = PYXERA_ERR_SOCKET;
        goto fail;
    }
    inst->stop_requested = 0;
    inst->request = PYX_REQ_NONE;
    rc = pyx_worker_start(inst);
    if (rc != PYXERA_OK)
        goto fail;
    inst->started = 1;
    goto done;
fail:
    if (inst->sock >= 0)
        close(inst->sock);
    if (inst->wake_fd >= 0)
        close(inst->wake_fd);
    inst->sock = -1;
    inst->wake_fd = -1;
done:
    pthread_mutex_unlock(&inst->lock);
    return rc;
}

static int post_request(PyxeraHandle inst, enum pyx_request req, uint32_t first, uint32_t last)
{
    int rc = PYXERA_OK;
    pthread_mutex_lock(&inst->lock);
    if (!inst->started || inst->stopping) {
        rc = PYXERA_ERR_STATE;
    } else {
        inst->request = req;
        inst->range_first = first;
        inst->range_last = last;
        inst->request_gen++;
        pyx_worker_wake(inst);
    }
    pthread_mutex_unlock(&inst->lock);
    return rc;
}

int Pyxera_Discovery(PyxeraHandle inst)
{
    if (!inst)
        return PYXERA_ERR_ARG;
    return post_request(inst, PYX_REQ_PLAIN, 0, 0);
}

int Pyxera_DiscoveryByRangeIP(PyxeraHandle inst, const uint32_t* range)
{
    if (!inst || !range)
        return PYXERA_ERR_ARG;
    if (range[1] < range[0] || (uint64_t)range[1] - range[0] + 1 > PYXERA_MAX_RANGE_ADDRESSES)
        return PYXERA_ERR_RANGE;
    return post_request(inst, PYX_REQ_RANGE, range[0], range[1]);
}

int Pyxera_Stop(PyxeraHandle inst)
{
    pthread_t worker;
    if (!inst)
        return PYXERA_ERR_ARG;
    pthread_mutex_lock(&inst->lock);
    if (!inst->started) {
        pthread_mutex_unlock(&inst->lock);
        return PYXERA_OK;
    }
    worker = inst->worker;
    if (pthread_equal(worker, pthread_self())) {
        /* Joining ourselves would deadlock: a callback may not stop its own instance. */
        pthread_mutex_unlock(&inst->lock);
        return PYXERA_ERR_STATE;
    }
    if (inst->stopping) {
        /* Another thread is stopping: return only once it has, so that the promise holds. */
        while (inst->started)
            pthread_cond_wait(&inst->stopped, &inst->lock);
        pthread_mutex_unlock(&inst->lock);
        return PYXERA_OK;
    }
    inst->stopping = 1;
    inst->stop_requested = 1;
    pyx_worker_wake(inst);
    pthread_mutex_unlock(&inst->lock);

    /* After the join no callback can be running or start again. */
    pthread_join(worker, NULL);

    pthread_mutex_lock(&inst->lock);
    close(inst->sock);
    close(inst->wake_fd);
    inst->sock = -1;
    inst->wake_fd = -1;
    inst->started = 0;
    inst->stopping = 0;
    inst->request = PYX_REQ_NONE;
    pthread_cond_broadcast(&inst->stopped);
    pthread_mutex_unlock(&inst->lock);
    return PYXERA_OK;
}

int Pyxera_Close(PyxeraHandle* handle)
{
    int rc;
    if (!handle)
        return PYXERA_ERR_ARG;
    if (!*handle)
        return PYXERA_OK;
    rc = Pyxera_Stop(*handle);
    if (rc != PYXERA_OK)
        return rc;
    pthread_cond_destroy(&(*handle)->stopped);
    pthread_mutex_destroy(&(*handle)->lock);
    free(*handle);
    *handle = NULL;
    return PYXERA_OK;
}
