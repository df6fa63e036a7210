/* Internals of libpyxera shared between its source files (prefix pyx_). */
#ifndef PYXERA_INTERNAL_H
#define PYXERA_INTERNAL_H

#include "pyxera.h"
#include "pyxera_wire.h"

#include <pthread.h>
#include <stddef.h>
#include <stdint.h>

#include <netinet/in.h>

/* Set of devices already delivered in the current discovery (open addressing, 64-bit keys). */
typedef struct pyx_seen
{
    uint64_t* slots; /* 0 marks an empty slot */
    size_t cap;      /* power of two */
    size_t count;
} pyx_seen;

void pyx_seen_clear(pyx_seen* s);
void pyx_seen_free(pyx_seen* s);
/* 1 if key was added, 0 if it was present, -1 out of memory. */
int pyx_seen_add(pyx_seen* s, uint64_t key);

/* Broadcast destinations of plain discovery, in network byte order; *count set. 127.255.255.255
 * is always first. The caller frees *out. Returns PYXERA_OK or PYXERA_ERR_NOMEM. */
int pyx_broadcast_targets(int loopback_only, uint32_t** out, size_t* count);

enum pyx_request
{
    PYX_REQ_NONE,
    PYX_REQ_PLAIN,
    PYX_REQ_RANGE
};

struct PyxeraInstance
{
    uint16_t port;
    PyxeraCallback callback;
    void* context;

    pthread_mutex_t lock;   /* guards everything below that the API and the worker share */
    pthread_cond_t stopped; /* signalled when a stop has completed */
    int started;
    int stopping;
    int stop_requested;
    pthread_t worker;
    int sock;
    int wake_fd;

    /* Latest request, published by the API and picked up by the worker. */
    unsigned request_gen;
    enum pyx_request request;
    uint32_t range_first;
    uint32_t range_last;
};

/* Starts the worker thread of a started instance; returns a PYXERA_* code. */
int pyx_worker_start(struct PyxeraInstance* inst);
/* Wakes the worker so that it sees a new request or the stop flag. */
void pyx_worker_wake(struct PyxeraInstance* inst);

/* Lays out a decoded answer as the record the callback receives (PYXERA_RECORD_SIZE bytes). */
void pyx_record_from_answer(const pxw_answer* answer, unsigned char* record);

/* Monotonic milliseconds. */
uint64_t pyx_now_ms(void);
/* A random 32-bit number (never 0). */
uint32_t pyx_random32(void);

#endif
