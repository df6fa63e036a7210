/* The agent: start-up and release, the cycle (timer step, then socket step), the thread model
 * and the hand-over of work from other threads to the loop thread. */
#include "mv_internal.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#define MV_RESERVED_CLASS 2400u

int mv_is_loop_thread_locked(MoravelAgent* a)
{
    return a->haveLoopThread && pthread_equal(a->loopThread, pthread_self());
}

void mv_wake(MoravelAgent* a)
{
    if (atomic_exchange(&a->wakeArmed, 1) == 0) {
        const char b = 1;
        ssize_t r = write(a->wakeWr, &b, 1);
        (void)r; /* a full pipe already wakes the loop */
    }
}

static int isLoopThread(MoravelAgent* a)
{
    pthread_mutex_lock(&a->dataLock);
    int r = mv_is_loop_thread_locked(a);
    pthread_mutex_unlock(&a->dataLock);
    return r;
}

static int runCycle(MoravelAgent* a)
{
    if (atomic_load(&a->stop)) {
        return MORAVEL_E_RELEASING;
    }
    pthread_mutex_lock(&a->dataLock);
    int nested = a->inCycle && mv_is_loop_thread_locked(a);
    pthread_mutex_unlock(&a->dataLock);
    if (nested) {
        return MORAVEL_E_NOTAVAILABLE; /* a callback cannot run a cycle inside its own cycle */
    }
    pthread_mutex_lock(&a->cycleLock);
    pthread_mutex_lock(&a->dataLock);
    a->loopThread = pthread_self();
    a->haveLoopThread = 1;
    a->inCycle = 1;
    pthread_mutex_unlock(&a->dataLock);
    if (!atomic_load(&a->stop)) {
        mv_timer_step(a);
    }
    if (!atomic_load(&a->stop)) {
        mv_sock_step(a);
    }
    pthread_mutex_lock(&a->dataLock);
    a->inCycle = 0;
    pthread_mutex_unlock(&a->dataLock);
    pthread_mutex_unlock(&a->cycleLock);
    return atomic_load(&a->stop) ? MORAVEL_E_RELEASING : MORAVEL_OK;
}

static void* workerMain(void* arg)
{
    MoravelAgent* a = arg;
    while (!atomic_load(&a->stop)) {
        runCycle(a);
    }
    return NULL;
}

static int makeWakePair(MoravelAgent* a)
{
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        return 0;
    }
    for (int i = 0; i < 2; ++i) {
        int fl = fcntl(sv[i], F_GETFL, 0);
        fcntl(sv[i], F_SETFL, fl | O_NONBLOCK);
    }
    a->wakeRd = sv[0];
    a->wakeWr = sv[1];
    return 1;
}

static void freeAgent(MoravelAgent* a, int locks)
{
    mv_tls_unload(a);
    mv_timer_free_all(a);
    mv_sock_free_all(a);
    mv_pool_destroy(&a->pool);
    if (a->wakeRd >= 0) {
        close(a->wakeRd);
    }
    if (a->wakeWr >= 0) {
        close(a->wakeWr);
    }
    if (locks) {
        pthread_cond_destroy(&a->waitersGone);
        pthread_mutex_destroy(&a->cycleLock);
        pthread_mutex_destroy(&a->dataLock);
    }
    free(a);
}

int32_t MORAVEL_CALL SCHEAGENT_Initialize(MoravelAgent** out, int ownThread)
{
    if (!out) {
        return MORAVEL_E_INVALIDARG;
    }
    *out = NULL;
    MoravelAgent* a = calloc(1, sizeof(MoravelAgent));
    if (!a) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    a->wakeRd = a->wakeWr = -1;
    mv_dns_load_servers(a);
    if (pthread_mutex_init(&a->dataLock, NULL) != 0) {
        free(a);
        return MORAVEL_E_LOCKS;
    }
    if (pthread_mutex_init(&a->cycleLock, NULL) != 0) {
        pthread_mutex_destroy(&a->dataLock);
        free(a);
        return MORAVEL_E_LOCKS;
    }
    if (pthread_cond_init(&a->waitersGone, NULL) != 0) {
        pthread_mutex_destroy(&a->cycleLock);
        pthread_mutex_destroy(&a->dataLock);
        free(a);
        return MORAVEL_E_LOCKS;
    }
    mv_pool_init(&a->pool);
    if (!makeWakePair(a)) {
        freeAgent(a, 1);
        return MORAVEL_E_SOCKET;
    }
    if (!mv_pool_reserve(&a->pool, MV_RESERVED_CLASS)) {
        freeAgent(a, 1);
        return MORAVEL_E_OUTOFMEMORY;
    }
    a->ownThread = ownThread != 0;
    if (a->ownThread) {
        if (pthread_create(&a->worker, NULL, workerMain, a) != 0) {
            freeAgent(a, 1);
            return MORAVEL_E_OUTOFMEMORY;
        }
        a->workerStarted = 1;
    }
    /* An agent without the wrapper works without TLS; TLS requests are refused later. */
    (void)mv_tls_load(a);
    *out = a;
    return MORAVEL_OK;
}

static int MORAVEL_CALL setStop(MoravelCallbackRecord* rec)
{
    atomic_store(&rec->agent->stop, 1);
    return 0;
}

int32_t MORAVEL_CALL SCHEAGENT_Release(MoravelAgent** p)
{
    if (!p || !*p) {
        return MORAVEL_E_INVALIDARG;
    }
    MoravelAgent* a = *p;
    pthread_mutex_lock(&a->dataLock);
    int onLoop = mv_is_loop_thread_locked(a);
    int inCycle = a->inCycle && onLoop;
    int haveLoop = a->haveLoopThread;
    pthread_mutex_unlock(&a->dataLock);
    if (inCycle) {
        return MORAVEL_E_NOTAVAILABLE; /* the agent cannot be freed from inside its own cycle */
    }
    const char b = (char)255;
    ssize_t r = write(a->wakeWr, &b, 1);
    (void)r;
    if (onLoop || !haveLoop || a->ownThread) {
        if (a->ownThread) {
            if (SCHEAGENT_DoSomethingSafely(a, setStop, NULL, 0, 0) != 0) {
                atomic_store(&a->stop, 1);
            }
        } else {
            atomic_store(&a->stop, 1);
        }
    } else {
        /* Another thread drives the cycles: stop between two of its cycles. */
        SCHEAGENT_DoSomethingSafely(a, setStop, NULL, 0, 0);
        atomic_store(&a->stop, 1);
    }
    if (a->workerStarted) {
        mv_wake(a);
        pthread_join(a->worker, NULL);
    }
    /* No cycle runs from here on: wait for the cycle lock of a caller-driven loop to be free. */
    pthread_mutex_lock(&a->cycleLock);
    pthread_mutex_unlock(&a->cycleLock);
    pthread_mutex_lock(&a->dataLock);
    for (MvSafelyWaiter* w = a->waiters; w; w = w->next) {
        w->done = 1;
        w->result = 0;
        pthread_cond_signal(&w->cond);
    }
    while (a->waiterCount > 0) {
        pthread_cond_wait(&a->waitersGone, &a->dataLock);
    }
    pthread_mutex_unlock(&a->dataLock);
    freeAgent(a, 1);
    *p = NULL;
    return MORAVEL_OK;
}

int32_t MORAVEL_CALL SCHEAGENT_WorkProc(MoravelAgent* agent)
{
    if (!agent) {
        return MORAVEL_E_INVALIDARG;
    }
    return runCycle(agent);
}

int32_t MORAVEL_CALL SCHEAGENT_HandleFromUI(MoravelAgent* agent)
{
    if (!agent) {
        return MORAVEL_E_INVALIDARG;
    }
    atomic_store(&agent->uiDriven, 1);
    uint64_t start = mv_now_us();
    int32_t r;
    do {
        r = runCycle(agent);
    } while (r == MORAVEL_OK && mv_now_us() - start <= 8u);
    return r;
}

int MORAVEL_CALL SCHEAGENT_IsInternalThread(MoravelAgent* agent)
{
    return agent ? isLoopThread(agent) : 0;
}

MoravelAgent* MORAVEL_CALL SCHEAGENT_GetScheduler(MoravelAgent* agent)
{
    return agent;
}

int MORAVEL_CALL SCHEAGENT_Echo(MoravelAgent* agent)
{
    if (!agent) {
        return 0;
    }
    pthread_mutex_lock(&agent->dataLock);
    int r = 0;
    if (agent->heapCount > 0 || agent->parkedCount > 0) {
        r |= MORAVEL_ECHO_TIMERS;
    }
    if (agent->pending.count > 0 || agent->active.count > 0 || agent->requeue.count > 0) {
        r |= MORAVEL_ECHO_SOCKETS;
    }
    pthread_mutex_unlock(&agent->dataLock);
    return r;
}

int MORAVEL_CALL SCHEAGENT_DoSomethingSafely(MoravelAgent* agent, MoravelCallback fn, void* arg,
                                             uintptr_t value, uintptr_t extra)
{
    if (!agent || !fn) {
        return MORAVEL_E_INVALIDARG;
    }
    if (isLoopThread(agent)) {
        MoravelCallbackRecord rec = {NULL, arg, value, extra, 0, agent};
        return fn(&rec);
    }
    MvSafelyWaiter w;
    memset(&w, 0, sizeof(w));
    if (pthread_cond_init(&w.cond, NULL) != 0) {
        return MORAVEL_E_LOCKS;
    }
    w.fn = fn;
    w.arg = arg;
    w.value = value;
    w.extra = extra;
    MvTimerSpec s = {.cb = setStop, .user = &w, .kind = MV_TIMER_SAFELY, .internal = 1};
    pthread_mutex_lock(&agent->dataLock);
    w.next = agent->waiters;
    if (agent->waiters) {
        agent->waiters->prev = &w;
    }
    agent->waiters = &w;
    ++agent->waiterCount;
    pthread_mutex_unlock(&agent->dataLock);
    int32_t r = mv_timer_add(agent, &s);
    pthread_mutex_lock(&agent->dataLock);
    if (r != 0) {
        w.done = 1;
        w.result = r;
    }
    while (!w.done) {
        pthread_cond_wait(&w.cond, &agent->dataLock);
    }
    if (w.prev) {
        w.prev->next = w.next;
    } else {
        agent->waiters = w.next;
    }
    if (w.next) {
        w.next->prev = w.prev;
    }
    if (--agent->waiterCount == 0) {
        pthread_cond_broadcast(&agent->waitersGone);
    }
    pthread_mutex_unlock(&agent->dataLock);
    pthread_cond_destroy(&w.cond);
    return w.result;
}

typedef struct RemoveArgs
{
    int timers;
    int sockets;
    uint32_t flags;
    uint32_t key;
} RemoveArgs;

static int MORAVEL_CALL removeOnLoop(MoravelCallbackRecord* rec)
{
    const RemoveArgs* r = rec->user;
    if (r->timers) {
        mv_timer_remove(rec->agent, r->flags, r->key, NULL);
    }
    if (r->sockets) {
        mv_sock_remove(rec->agent, r->flags, r->key, NULL);
    }
    return 0;
}

static int32_t removeTokens(MoravelAgent* agent, int timers, int sockets, uint32_t flags,
                            uint32_t key)
{
    if (!agent) {
        return MORAVEL_E_INVALIDARG;
    }
    RemoveArgs args = {timers, sockets, flags, key};
    pthread_mutex_lock(&agent->dataLock);
    int direct = !agent->haveLoopThread;
    pthread_mutex_unlock(&agent->dataLock);
    if (direct) {
        /* No cycle has run yet, so no other thread is inside the executors. */
        MoravelCallbackRecord rec = {NULL, &args, 0, 0, 0, agent};
        return removeOnLoop(&rec);
    }
    int r = SCHEAGENT_DoSomethingSafely(agent, removeOnLoop, &args, 0, 0);
    return r == MORAVEL_E_RELEASING ? r : MORAVEL_OK;
}

int32_t MORAVEL_CALL SCHEAGENT_RemoveToken(MoravelAgent* agent, uint32_t removeFlags, uint32_t key)
{
    return removeTokens(agent, 1, 1, removeFlags, key);
}

int32_t MORAVEL_CALL SCHEAGENT_RemoveTimerToken(MoravelAgent* agent, uint32_t removeFlags,
                                                uint32_t key)
{
    return removeTokens(agent, 1, 0, removeFlags, key);
}

int32_t MORAVEL_CALL SCHEAGENT_RemoveGeneralToken(MoravelAgent* agent, uint32_t removeFlags,
                                                  uint32_t key)
{
    return removeTokens(agent, 1, 0, removeFlags, key);
}

int32_t MORAVEL_CALL SCHEAGENT_RemoveSocketOperToken(MoravelAgent* agent, uint32_t removeFlags,
                                                     uint32_t key)
{
    return removeTokens(agent, 0, 1, removeFlags, key);
}
