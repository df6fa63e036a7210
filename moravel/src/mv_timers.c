/* Timer executor: a binary heap ordered by (due time, queueing order), so that equal due times
 * fire in the order they were queued, plus a list of parked entries that never fire. */
#include "mv_internal.h"

#include <stdlib.h>
#include <string.h>

static int earlier(const MvTimer* a, const MvTimer* b)
{
    return a->due < b->due || (a->due == b->due && a->seq < b->seq);
}

static void heapSet(MoravelAgent* a, size_t i, MvTimer* t)
{
    a->heap[i] = t;
    t->heapIndex = i;
}

static void siftUp(MoravelAgent* a, size_t i)
{
    MvTimer* t = a->heap[i];
    while (i > 0) {
        size_t parent = (i - 1) / 2;
        if (!earlier(t, a->heap[parent])) {
            break;
        }
        heapSet(a, i, a->heap[parent]);
        i = parent;
    }
    heapSet(a, i, t);
}

static void siftDown(MoravelAgent* a, size_t i)
{
    MvTimer* t = a->heap[i];
    for (;;) {
        size_t l = 2 * i + 1;
        if (l >= a->heapCount) {
            break;
        }
        size_t m = l;
        if (l + 1 < a->heapCount && earlier(a->heap[l + 1], a->heap[l])) {
            m = l + 1;
        }
        if (!earlier(a->heap[m], t)) {
            break;
        }
        heapSet(a, i, a->heap[m]);
        i = m;
    }
    heapSet(a, i, t);
}

static void heapRemoveAt(MoravelAgent* a, size_t i)
{
    MvTimer* last = a->heap[--a->heapCount];
    if (i < a->heapCount) {
        heapSet(a, i, last);
        siftDown(a, i);
        siftUp(a, last->heapIndex);
    }
}

static void unlinkParked(MoravelAgent* a, MvTimer* t)
{
    if (t->prev) {
        t->prev->next = t->next;
    } else {
        a->parkedHead = t->next;
    }
    if (t->next) {
        t->next->prev = t->prev;
    }
    t->prev = t->next = NULL;
    --a->parkedCount;
}

int32_t mv_timer_add(MoravelAgent* a, const MvTimerSpec* s)
{
    if (atomic_load(&a->stop)) {
        return MORAVEL_E_RELEASING;
    }
    pthread_mutex_lock(&a->dataLock);
    MvTimer* t = mv_pool_alloc(&a->pool, sizeof(MvTimer));
    void* payload = NULL;
    if (t && s->payloadLen > 0) {
        payload = mv_pool_alloc(&a->pool, s->payloadLen);
        if (!payload) {
            mv_pool_free(&a->pool, t);
            t = NULL;
        } else {
            memcpy(payload, s->payload, s->payloadLen);
        }
    }
    if (t && s->delayMs != MORAVEL_DELAY_PARKED && a->heapCount == a->heapCap) {
        size_t cap = a->heapCap ? a->heapCap * 2 : 64;
        MvTimer** heap = realloc(a->heap, cap * sizeof(MvTimer*));
        if (!heap) {
            mv_pool_free(&a->pool, payload);
            mv_pool_free(&a->pool, t);
            t = NULL;
        } else {
            a->heap = heap;
            a->heapCap = cap;
        }
    }
    if (!t) {
        pthread_mutex_unlock(&a->dataLock);
        return MORAVEL_E_OUTOFMEMORY;
    }
    t->token = s->token;
    if (s->token) {
        t->copy = *s->token;
    }
    t->cb = s->cb;
    t->user = s->user;
    t->kind = s->kind;
    t->internal = s->internal;
    t->owner = s->owner;
    t->payload = payload;
    t->payloadLen = s->payloadLen;
    t->x = s->x;
    t->y = s->y;
    t->work = s->work;
    t->arg1 = s->arg1;
    t->arg2 = s->arg2;
    t->seq = a->seq++;
    int wake = 0;
    if (s->delayMs == MORAVEL_DELAY_PARKED) {
        t->parked = 1;
        t->next = a->parkedHead;
        if (a->parkedHead) {
            a->parkedHead->prev = t;
        }
        a->parkedHead = t;
        ++a->parkedCount;
    } else {
        t->due = mv_now_us() + (uint64_t)s->delayMs * 1000u;
        t->heapIndex = a->heapCount++;
        a->heap[t->heapIndex] = t;
        siftUp(a, t->heapIndex);
        wake = t->heapIndex == 0 && !mv_is_loop_thread_locked(a);
    }
    pthread_mutex_unlock(&a->dataLock);
    if (wake) {
        mv_wake(a);
    }
    return MORAVEL_OK;
}

int mv_timer_wait_ms(MoravelAgent* a)
{
    pthread_mutex_lock(&a->dataLock);
    int wait = -1;
    if (a->heapCount > 0) {
        uint64_t now = mv_now_us();
        uint64_t due = a->heap[0]->due;
        if (due <= now) {
            wait = 0;
        } else {
            uint64_t ms = (due - now + 999u) / 1000u;
            wait = ms > 5000u ? 5000 : (int)ms;
        }
    }
    pthread_mutex_unlock(&a->dataLock);
    return wait;
}

void mv_timer_fire(MoravelAgent* a, MvTimer* t, int32_t status)
{
    MoravelCallbackRecord rec = {t->token, t->user, 0, 0, status, a};
    switch (t->kind) {
    case MV_TIMER_EXTENDED:
        rec.value = (uintptr_t)t->payload;
        rec.extra = t->payloadLen;
        t->cb(&rec);
        break;
    case MV_TIMER_GENERAL:
        if (status == 0) {
            uintptr_t out = 0;
            int r = t->work(t->arg1, t->arg2, a, &out);
            rec.status = r;
            rec.value = out;
        }
        t->cb(&rec);
        break;
    case MV_TIMER_SAFELY: {
        MvSafelyWaiter* w = t->user;
        int result = 0;
        if (status == 0) {
            MoravelCallbackRecord r2 = {NULL, w->arg, w->value, w->extra, 0, a};
            result = w->fn(&r2);
        }
        pthread_mutex_lock(&a->dataLock);
        w->result = result;
        w->done = 1;
        pthread_cond_signal(&w->cond);
        pthread_mutex_unlock(&a->dataLock);
        break;
    }
    default:
        t->cb(&rec);
        break;
    }
    pthread_mutex_lock(&a->dataLock);
    mv_pool_free(&a->pool, t->payload);
    mv_pool_free(&a->pool, t);
    pthread_mutex_unlock(&a->dataLock);
}

void mv_timer_step(MoravelAgent* a)
{
    uint64_t now = mv_now_us();
    pthread_mutex_lock(&a->dataLock);
    /* Timers queued by the callbacks of this step wait for the next cycle, so that a callback
     * that re-queues itself with delay 0 cannot starve the socket executor. */
    uint64_t seqLimit = a->seq;
    pthread_mutex_unlock(&a->dataLock);
    while (!atomic_load(&a->stop)) {
        pthread_mutex_lock(&a->dataLock);
        if (a->heapCount == 0 || a->heap[0]->due > now || a->heap[0]->seq >= seqLimit) {
            pthread_mutex_unlock(&a->dataLock);
            break;
        }
        MvTimer* t = a->heap[0];
        heapRemoveAt(a, 0);
        pthread_mutex_unlock(&a->dataLock);
        mv_timer_fire(a, t, 0);
    }
}

static int matches(const MvTimer* t, uint32_t flags, uint32_t key)
{
    if (t->internal) {
        return 0;
    }
    return ((flags & MORAVEL_REMOVE_KEY2) ? t->copy.key2 : t->copy.key) == key;
}

/* Takes matching entries out of the queues (under the lock) and then finishes them one by one
 * without the lock, since their callbacks may queue or remove further tokens. */
static void finishRemoved(MoravelAgent* a, MvTimer* list, uint32_t flags)
{
    while (list) {
        MvTimer* t = list;
        list = t->next;
        t->next = NULL;
        if (flags & MORAVEL_REMOVE_SILENT) {
            mv_free(a, t->payload);
            mv_free(a, t);
        } else {
            mv_timer_fire(a, t, MORAVEL_E_CANCELLED);
        }
    }
}

void mv_timer_remove(MoravelAgent* a, uint32_t flags, uint32_t key, void* owner)
{
    MvTimer* taken = NULL;
    MvTimer** tail = &taken;
    pthread_mutex_lock(&a->dataLock);
    for (MvTimer* t = a->parkedHead; t;) {
        MvTimer* next = t->next;
        if (owner ? t->owner == owner : matches(t, flags, key)) {
            unlinkParked(a, t);
            *tail = t;
            tail = &t->next;
        }
        t = next;
    }
    if (owner || !(flags & MORAVEL_REMOVE_PARKED)) {
        /* Collect first: removing from the heap moves entries between slots. */
        MvTimer* found = NULL;
        for (size_t i = 0; i < a->heapCount; ++i) {
            MvTimer* t = a->heap[i];
            if (owner ? t->owner == owner : matches(t, flags, key)) {
                t->next = found;
                found = t;
            }
        }
        while (found) {
            MvTimer* t = found;
            found = t->next;
            heapRemoveAt(a, t->heapIndex);
            t->next = NULL;
            *tail = t;
            tail = &t->next;
        }
    }
    pthread_mutex_unlock(&a->dataLock);
    finishRemoved(a, taken, owner ? MORAVEL_REMOVE_SILENT : flags);
}

void mv_timer_free_all(MoravelAgent* a)
{
    for (MvTimer* t = a->parkedHead; t;) {
        MvTimer* next = t->next;
        mv_pool_free(&a->pool, t->payload);
        mv_pool_free(&a->pool, t);
        t = next;
    }
    a->parkedHead = NULL;
    a->parkedCount = 0;
    for (size_t i = 0; i < a->heapCount; ++i) {
        mv_pool_free(&a->pool, a->heap[i]->payload);
        mv_pool_free(&a->pool, a->heap[i]);
    }
    a->heapCount = 0;
    free(a->heap);
    a->heap = NULL;
    a->heapCap = 0;
}

static int32_t addTimer(MoravelAgent* agent, MvTimerSpec* s)
{
    if (!agent || !s->token || !s->cb) {
        return MORAVEL_E_INVALIDARG;
    }
    return mv_timer_add(agent, s);
}

int32_t MORAVEL_CALL SCHEAGENT_AddTimerToken(MoravelAgent* agent, MoravelToken* token,
                                             MoravelCallback cb, void* user, uint32_t delayMs)
{
    MvTimerSpec s = {.token = token, .cb = cb, .user = user, .delayMs = delayMs};
    return addTimer(agent, &s);
}

int32_t MORAVEL_CALL SMO_Timer_Init(MoravelAgent* agent, MoravelToken* token, MoravelCallback cb,
                                    void* user, uint32_t delayMs)
{
    return SCHEAGENT_AddTimerToken(agent, token, cb, user, delayMs);
}

int32_t MORAVEL_CALL SCHEAGENT_AddTimerTokenInternal(MoravelAgent* agent, MoravelToken* token,
                                                     MoravelCallback cb, void* user,
                                                     uint32_t delayMs, uint32_t x, uint32_t y)
{
    MvTimerSpec s = {.token = token, .cb = cb, .user = user, .delayMs = delayMs, .x = x, .y = y};
    return addTimer(agent, &s);
}

int32_t MORAVEL_CALL SCHEAGENT_AddExtendedTimerToken(MoravelAgent* agent, MoravelToken* token,
                                                     MoravelCallback cb, void* user,
                                                     uint32_t delayMs, const void* payload,
                                                     uint32_t payloadLen)
{
    if (!payload && payloadLen > 0) {
        return MORAVEL_E_INVALIDARG;
    }
    MvTimerSpec s = {.token = token,
                     .cb = cb,
                     .user = user,
                     .delayMs = delayMs,
                     .kind = MV_TIMER_EXTENDED,
                     .payload = payload,
                     .payloadLen = payloadLen};
    return addTimer(agent, &s);
}

int32_t MORAVEL_CALL SCHEAGENT_AddGeneralToken(MoravelAgent* agent, MoravelToken* token,
                                               MoravelCallback doneCb, void* user,
                                               MoravelWorkFn workFn, void* workArg1, void* workArg2)
{
    if (!workFn) {
        return MORAVEL_E_INVALIDARG;
    }
    MvTimerSpec s = {.token = token,
                     .cb = doneCb,
                     .user = user,
                     .kind = MV_TIMER_GENERAL,
                     .work = workFn,
                     .arg1 = workArg1,
                     .arg2 = workArg2};
    return addTimer(agent, &s);
}

uint32_t MORAVEL_CALL STATOKEN_TouchToken(MoravelToken* token)
{
    if (!token) {
        return 0;
    }
    token->stamp = mv_now_ms();
    return token->stamp;
}
