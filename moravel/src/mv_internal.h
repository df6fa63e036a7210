/* Internal declarations shared by the library's sources; never installed. */
#ifndef MV_INTERNAL_H
#define MV_INTERNAL_H

#include "moravel.h"

#include <poll.h>
#include <pthread.h>
#include <stdatomic.h>

#define MV_HIDDEN __attribute__((visibility("hidden")))

/* ---- clock ---- */
MV_HIDDEN uint64_t mv_now_us(void);
MV_HIDDEN uint32_t mv_now_ms(void);

/* ---- block pool (callers hold the agent's data lock) ---- */
#define MV_POOL_SMALL_MAX 128u
#define MV_POOL_MAX 4096u
#define MV_POOL_CLASSES (MV_POOL_SMALL_MAX / 8u + (MV_POOL_MAX - MV_POOL_SMALL_MAX) / 32u + 1u)

typedef struct MvPoolClass
{
    uint32_t blockSize;
    void* freeList;
    void** slabs;
    uint32_t slabCount;
    uint32_t slabCap;
} MvPoolClass;

typedef struct MvPool
{
    MvPoolClass classes[MV_POOL_CLASSES];
} MvPool;

MV_HIDDEN void mv_pool_init(MvPool* pool);
MV_HIDDEN void mv_pool_destroy(MvPool* pool);
MV_HIDDEN int mv_pool_reserve(MvPool* pool, uint32_t size);
MV_HIDDEN void* mv_pool_alloc(MvPool* pool, uint32_t size);
MV_HIDDEN int mv_pool_free(MvPool* pool, void* block);

/* Locked helpers: zero-filled block from the agent's pool, and its return. */
MV_HIDDEN void* mv_alloc(MoravelAgent* agent, uint32_t size);
MV_HIDDEN void mv_free(MoravelAgent* agent, void* block);

/* ---- queue entries ---- */
enum MvTimerKind
{
    MV_TIMER_PLAIN,
    MV_TIMER_EXTENDED,
    MV_TIMER_GENERAL,
    MV_TIMER_SAFELY
};

typedef struct MvTimer
{
    MoravelToken* token;
    MoravelToken copy;
    MoravelCallback cb;
    void* user;
    uint64_t due;
    uint64_t seq;
    int kind;
    int internal; /* not reachable by removal keys */
    void* owner;  /* operation that queued it, for removal by owner */
    void* payload;
    uint32_t payloadLen;
    uint32_t x, y;
    MoravelWorkFn work;
    void* arg1;
    void* arg2;
    size_t heapIndex;
    int parked;
    struct MvTimer* prev;
    struct MvTimer* next;
} MvTimer;

typedef struct MvSockOp
{
    MoravelToken* token;
    MoravelToken copy;
    MoravelCallback cb;
    void* user;
    int fd;
    uint32_t length;
    uint8_t* buffer;
    uint32_t mode;
    uint32_t direction;
    uint32_t moved;
    int internal;
    void* owner;
    long pidx;
    struct MvSockOp* prev;
    struct MvSockOp* next;
} MvSockOp;

typedef struct MvSockList
{
    MvSockOp* head;
    MvSockOp* tail;
    size_t count;
} MvSockList;

typedef struct MvSafelyWaiter
{
    pthread_cond_t cond;
    int done;
    int result;
    MoravelCallback fn;
    void* arg;
    uintptr_t value;
    uintptr_t extra;
    struct MvSafelyWaiter* prev;
    struct MvSafelyWaiter* next;
} MvSafelyWaiter;

/* One DNS server of the table read at start-up. */
typedef struct MvDnsServer
{
    uint32_t ipv4;
    char domain[129];
    char text[40];
    uint16_t port;
} MvDnsServer;

#define MV_MAX_DNS_SERVERS 8

struct MoravelAgent
{
    pthread_mutex_t dataLock;
    pthread_mutex_t cycleLock;
    MvPool pool;
    atomic_int stop;
    atomic_int uiDriven;
    pthread_t loopThread; /* guarded by dataLock */
    int haveLoopThread;
    int inCycle;
    int ownThread;
    pthread_t worker;
    int workerStarted;

    /* timer executor */
    MvTimer** heap;
    size_t heapCount;
    size_t heapCap;
    uint64_t seq;
    MvTimer* parkedHead;
    size_t parkedCount;

    /* socket executor */
    MvSockList pending;
    MvSockList active;
    MvSockList requeue;
    int wakeRd;
    int wakeWr;
    atomic_int wakeArmed;
    struct pollfd* pfds;
    size_t pfdCap;

    /* callers waiting in SCHEAGENT_DoSomethingSafely */
    MvSafelyWaiter* waiters;
    size_t waiterCount;
    pthread_cond_t waitersGone;

    MvDnsServer dns[MV_MAX_DNS_SERVERS];
    size_t dnsCount;

    /* the TLS wrapper: module, resolved functions (in loading order), client context */
    void* tlsModule;
    void** tlsFns;
    void* tlsCtx;
};

/* ---- agent internals ---- */
MV_HIDDEN int mv_is_loop_thread_locked(MoravelAgent* agent);
MV_HIDDEN void mv_wake(MoravelAgent* agent);

/* ---- timers ---- */
typedef struct MvTimerSpec
{
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    uint32_t delayMs;
    int kind;
    int internal;
    void* owner;
    const void* payload;
    uint32_t payloadLen;
    uint32_t x, y;
    MoravelWorkFn work;
    void* arg1;
    void* arg2;
} MvTimerSpec;

MV_HIDDEN int32_t mv_timer_add(MoravelAgent* agent, const MvTimerSpec* spec);
MV_HIDDEN void mv_timer_step(MoravelAgent* agent);
MV_HIDDEN int mv_timer_wait_ms(MoravelAgent* agent); /* -1: none; takes the lock */
MV_HIDDEN void mv_timer_fire(MoravelAgent* agent, MvTimer* timer, int32_t status);
MV_HIDDEN void mv_timer_free_all(MoravelAgent* agent);

/* ---- socket executor ---- */
typedef struct MvSockSpec
{
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    int fd;
    uint32_t length;
    void* buffer;
    uint32_t mode;
    uint32_t direction;
    int internal;
    void* owner;
} MvSockSpec;

MV_HIDDEN int32_t mv_sock_add(MoravelAgent* agent, const MvSockSpec* spec);
MV_HIDDEN void mv_sock_step(MoravelAgent* agent);
MV_HIDDEN void mv_sock_free_all(MoravelAgent* agent);

/* ---- removal (loop thread only) ---- */
/* With @p owner set, every entry queued for that owner is freed without callback; otherwise the
 * entries matching @p key are removed as the SCHEAGENT_Remove functions describe. */
MV_HIDDEN void mv_timer_remove(MoravelAgent* agent, uint32_t flags, uint32_t key, void* owner);
MV_HIDDEN void mv_sock_remove(MoravelAgent* agent, uint32_t flags, uint32_t key, void* owner);

/* ---- transports ---- */
typedef struct MvTransportOps
{
    int32_t(MORAVEL_CALL* readData)(MoravelTransport*, MoravelToken*, MoravelCallback, void*,
                                    uint32_t, void*, uint32_t);
    int32_t(MORAVEL_CALL* readDataDirect)(MoravelTransport*, void*, uint32_t, uint32_t*, int*);
    int32_t(MORAVEL_CALL* writeData)(MoravelTransport*, MoravelToken*, MoravelCallback, void*,
                                     uint32_t, const void*);
    int32_t(MORAVEL_CALL* writeDataDirect)(MoravelTransport*, const void*, uint32_t, uint32_t*,
                                           int*);
    int32_t(MORAVEL_CALL* waitConnected)(MoravelTransport*, MoravelToken*, MoravelCallback, void*);
    int32_t(MORAVEL_CALL* release)(MoravelTransport**);
} MvTransportOps;

struct MoravelTransport
{
    const MvTransportOps* ops;
};

/* ---- TLS wrapper (mv_tls.c) ---- */
MV_HIDDEN int32_t mv_tls_load(MoravelAgent* agent);
MV_HIDDEN void mv_tls_unload(MoravelAgent* agent);

/* Frees every queued entry owned by @p owner without callback, on the loop thread. */
MV_HIDDEN void mv_remove_owned(MoravelAgent* agent, void* owner);

/* ---- HTTP request operation (mv_http.c) ---- */
/* The request operation of SMO_HttpRequest_InitEx; @p handOverOnCancel makes a cancelled
 * request still hand its transport over (tunnel POSTs). */
MV_HIDDEN int32_t mv_http_start(MoravelAgent* agent, MoravelToken* token, MoravelCallback cb,
                                void* user, const MoravelHttpParams* params,
                                MoravelHttpResponse* response, int tls);

/* ---- resolver configuration ---- */
MV_HIDDEN void mv_dns_load_servers(MoravelAgent* agent);

#endif
