/* The worker thread of an instance: sends the probes of the current request at their pace and
 * reads, checks and delivers the answers. It is the only thread that touches the socket between
 * Pyxera_Start and the join in Pyxera_Stop, and the only one that runs the callback. */
#define _GNU_SOURCE
#include "pyxera_internal.h"
#include "pyxera_wire.h"

#include <errno.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <arpa/inet.h>

#define PYX_PLAIN_SPREAD_MS 1000 /* answer window asked of devices on a broadcast probe */
#define PYX_PLAIN_SENDS 2        /* the broadcast probe goes out twice ... */
#define PYX_PLAIN_RESEND_MS 1000 /* ... one second apart */
#define PYX_RANGE_TICK_MS 10     /* range probes go out in bursts this far apart */
#define PYX_RANGE_RATE_DEFAULT 4096
#define PYX_RANGE_RATE_MIN 100
#define PYX_RANGE_RATE_MAX 100000
#define PYX_RANGE_PASS2_DELAY_MS 1000 /* grace for late answers before unanswered are retried */
#define PYX_RECV_BATCH 512            /* datagrams read before the sender gets its turn */

typedef struct worker
{
    struct PyxeraInstance* inst;
    unsigned gen;
    enum pyx_request active;
    uint32_t probe_id;
    pyx_seen seen;
    int loopback_only;

    uint32_t* targets; /* plain: broadcast addresses, network order */
    size_t ntargets;
    int plain_sends_left;
    uint64_t next_plain_ms;

    uint32_t first; /* range: first address, host order */
    uint64_t count;
    uint8_t* answered; /* one bit per address of the range */
    uint64_t cursor;
    int pass;          /* 1, 2, or 3 when every probe has gone out */
    uint64_t pass2_at; /* when the retry pass may begin */
    uint32_t rate;
    double tokens;
    uint64_t last_tick;
} worker;

uint64_t pyx_now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u;
}

uint32_t pyx_random32(void)
{
    uint32_t v = 0;
    if (getrandom(&v, sizeof v, GRND_NONBLOCK) != (ssize_t)sizeof v) {
        struct timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        v = (uint32_t)ts.tv_nsec ^ ((uint32_t)ts.tv_sec << 16) ^ (uint32_t)getpid();
    }
    return v ? v : 1u;
}

void pyx_worker_wake(struct PyxeraInstance* inst)
{
    uint64_t one = 1;
    ssize_t n = write(inst->wake_fd, &one, sizeof one);
    (void)n; /* a full counter is already a pending wake-up */
}

static uint32_t range_rate(void)
{
    const char* env = getenv("PYXERA_RANGE_RATE");
    unsigned long v;
    char* end = NULL;
    if (!env || !*env)
        return PYX_RANGE_RATE_DEFAULT;
    v = strtoul(env, &end, 10);
    if (*end)
        return PYX_RANGE_RATE_DEFAULT;
    if (v < PYX_RANGE_RATE_MIN)
        return PYX_RANGE_RATE_MIN;
    if (v > PYX_RANGE_RATE_MAX)
        return PYX_RANGE_RATE_MAX;
    return (uint32_t)v;
}

static void end_request(worker* w)
{
    free(w->targets);
    free(w->answered);
    w->targets = NULL;
    w->answered = NULL;
    w->ntargets = 0;
    w->active = PYX_REQ_NONE;
    pyx_seen_clear(&w->seen);
}

static void begin_request(worker* w, enum pyx_request req, uint32_t first, uint32_t last)
{
    uint64_t now = pyx_now_ms();
    end_request(w);
    w->probe_id = pyx_random32();
    if (req == PYX_REQ_PLAIN) {
        if (pyx_broadcast_targets(w->loopback_only, &w->targets, &w->ntargets) != PYXERA_OK)
            return;
        w->plain_sends_left = PYX_PLAIN_SENDS;
        w->next_plain_ms = now;
    } else if (req == PYX_REQ_RANGE) {
        w->first = first;
        w->count = (uint64_t)last - first + 1;
        w->answered = calloc((size_t)((w->count + 7) / 8), 1);
        if (!w->answered)
            return;
        w->cursor = 0;
        w->pass = 1;
        w->rate = range_rate();
        w->tokens = w->rate / (1000.0 / PYX_RANGE_TICK_MS);
        w->last_tick = now;
    }
    w->active = req;
}

static int send_probe(worker* w, uint32_t addr_net, uint16_t flags, uint16_t spread)
{
    pxw_probe probe = {w->probe_id, flags, spread};
    unsigned char buf[PXW_PROBE_SIZE];
    size_t len = 0;
    struct sockaddr_in to;
    if (pxw_encode_probe(&probe, buf, sizeof buf, &len) != PXW_OK)
        return -1;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(w->inst->port);
    to.sin_addr.s_addr = addr_net;
    if (sendto(w->inst->sock, buf, len, 0, (const struct sockaddr*)&to, sizeof to) < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS ? 1 : -1;
    return 0;
}

static void plain_sends(worker* w, uint64_t now)
{
    size_t i;
    if (w->plain_sends_left <= 0 || now < w->next_plain_ms)
        return;
    for (i = 0; i < w->ntargets; ++i)
        send_probe(w, w->targets[i], 0, PYX_PLAIN_SPREAD_MS);
    w->plain_sends_left--;
    w->next_plain_ms = now + PYX_PLAIN_RESEND_MS;
}

static int is_answered(const worker* w, uint64_t i)
{
    return (w->answered[i / 8] >> (i % 8)) & 1;
}

static void range_sends(worker* w, uint64_t now)
{
    double burst = w->rate / 10.0; /* never more than 100 ms worth at once */
    w->tokens += (double)(now - w->last_tick) * w->rate / 1000.0;
    if (w->tokens > burst)
        w->tokens = burst;
    w->last_tick = now;
    while (w->pass < 3 && w->tokens >= 1.0) {
        int rc;
        if (w->pass == 2) {
            if (now < w->pass2_at)
                return;
            while (w->cursor < w->count && is_answered(w, w->cursor))
                w->cursor++;
        }
        if (w->cursor >= w->count) {
            w->pass++;
            w->cursor = 0;
            w->pass2_at = now + PYX_RANGE_PASS2_DELAY_MS;
            continue;
        }
        rc = send_probe(w, htonl(w->first + (uint32_t)w->cursor), PXW_PROBE_FLAG_RANGE, 0);
        if (rc > 0)
            return; /* send queue full: the same address goes out at the next tick */
        w->cursor++;
        w->tokens -= 1.0;
    }
}

static int timeout_ms(const worker* w, uint64_t now)
{
    if (w->active == PYX_REQ_PLAIN && w->plain_sends_left > 0)
        return w->next_plain_ms > now ? (int)(w->next_plain_ms - now) : 0;
    if (w->active == PYX_REQ_RANGE && w->pass < 3) {
        if (w->pass == 2 && w->pass2_at > now + PYX_RANGE_TICK_MS)
            return (int)(w->pass2_at - now);
        return PYX_RANGE_TICK_MS;
    }
    return -1;
}

static uint64_t fnv1a(uint64_t h, const void* data, size_t n)
{
    const unsigned char* p = (const unsigned char*)data;
    size_t i;
    for (i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

static void deliver(worker* w, const unsigned char* buf, size_t len, const struct sockaddr_in* from)
{
    pxw_answer a;
    unsigned char rec[PYXERA_RECORD_SIZE];
    uint64_t key;
    if (w->active == PYX_REQ_NONE || pxw_decode_answer(buf, len, &a) != PXW_OK)
        return;
    if (a.probe_id != w->probe_id)
        return; /* an answer to an earlier probe, or to another searcher's */
    if (w->active == PYX_REQ_RANGE) {
        uint64_t i = (uint64_t)ntohl(from->sin_addr.s_addr) - w->first;
        if (ntohl(from->sin_addr.s_addr) >= w->first && i < w->count)
            w->answered[i / 8] |= (uint8_t)(1u << (i % 8));
    }
    key = fnv1a(14695981039346656037ull, a.mac, sizeof a.mac);
    key = fnv1a(key, a.ipv4, strlen(a.ipv4));
    if (pyx_seen_add(&w->seen, key) == 0)
        return; /* this device was delivered already in this discovery */

    pyx_record_from_answer(&a, rec);
    w->inst->callback(w->inst->context, PYXERA_EVENT_ANSWER, rec);
}

static void receive(worker* w)
{
    unsigned char buf[PXW_ANSWER_MAX_SIZE + 1];
    int i;
    for (i = 0; i < PYX_RECV_BATCH; ++i) {
        struct sockaddr_in from;
        socklen_t fromlen = sizeof from;
        ssize_t n =
            recvfrom(w->inst->sock, buf, sizeof buf, MSG_TRUNC, (struct sockaddr*)&from, &fromlen);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return; /* EAGAIN: drained */
        }
        /* MSG_TRUNC reports the full length: an oversized datagram is no valid answer. */
        if ((size_t)n > PXW_ANSWER_MAX_SIZE || fromlen < sizeof from || from.sin_family != AF_INET)
            continue;
        deliver(w, buf, (size_t)n, &from);
    }
}

static void* run(void* arg)
{
    worker w;
    struct PyxeraInstance* inst = (struct PyxeraInstance*)arg;
    const char* lo = getenv("PYXERA_LOOPBACK_ONLY");
    memset(&w, 0, sizeof w);
    w.inst = inst;
    w.loopback_only = lo && *lo && strcmp(lo, "0") != 0;

    for (;;) {
        struct pollfd fds[2];
        uint64_t counter;
        enum pyx_request req = PYX_REQ_NONE;
        uint32_t first = 0, last = 0;
        int stop, fresh = 0;
        uint64_t now;

        fds[0].fd = inst->wake_fd;
        fds[0].events = POLLIN;
        fds[1].fd = inst->sock;
        fds[1].events = POLLIN;
        fds[0].revents = fds[1].revents = 0;
        poll(fds, 2, timeout_ms(&w, pyx_now_ms()));

        if (fds[0].revents & POLLIN) {
            ssize_t n = read(inst->wake_fd, &counter, sizeof counter);
            (void)n;
        }
        pthread_mutex_lock(&inst->lock);
        stop = inst->stop_requested;
        if (!stop && inst->request_gen != w.gen) {
            w.gen = inst->request_gen;
            req = inst->request;
            first = inst->range_first;
            last = inst->range_last;
            fresh = 1;
        }
        pthread_mutex_unlock(&inst->lock);
        if (stop)
            break;
        if (fresh)
            begin_request(&w, req, first, last);
        if (fds[1].revents & POLLIN)
            receive(&w);

        now = pyx_now_ms();
        if (w.active == PYX_REQ_PLAIN)
            plain_sends(&w, now);
        else if (w.active == PYX_REQ_RANGE)
            range_sends(&w, now);
    }
    end_request(&w);
    pyx_seen_free(&w.seen);
    return NULL;
}

int pyx_worker_start(struct PyxeraInstance* inst)
{
    if (pthread_create(&inst->worker, NULL, run, inst) != 0)
        return PYXERA_ERR_THREAD;
    return PYXERA_OK;
}
