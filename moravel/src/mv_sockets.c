/* Socket executor: queued reads and writes wait in poll() (no descriptor limit, unlike fd_set)
 * together with the wake-up socket that lets other threads cut the wait short. */
#include "mv_internal.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

static void listPush(MvSockList* l, MvSockOp* e)
{
    e->next = NULL;
    e->prev = l->tail;
    if (l->tail) {
        l->tail->next = e;
    } else {
        l->head = e;
    }
    l->tail = e;
    ++l->count;
}

static void listUnlink(MvSockList* l, MvSockOp* e)
{
    if (e->prev) {
        e->prev->next = e->next;
    } else {
        l->head = e->next;
    }
    if (e->next) {
        e->next->prev = e->prev;
    } else {
        l->tail = e->prev;
    }
    e->prev = e->next = NULL;
    --l->count;
}

/* Moves all of @p from to the front (@p front) or back of @p to. */
static void listSplice(MvSockList* to, MvSockList* from, int front)
{
    if (!from->head) {
        return;
    }
    if (!to->head) {
        *to = *from;
    } else if (front) {
        from->tail->next = to->head;
        to->head->prev = from->tail;
        to->head = from->head;
        to->count += from->count;
    } else {
        to->tail->next = from->head;
        from->head->prev = to->tail;
        to->tail = from->tail;
        to->count += from->count;
    }
    from->head = from->tail = NULL;
    from->count = 0;
}

static int isNotification(const MvSockOp* e)
{
    if (e->direction) {
        return e->mode != 0 && e->length == 0;
    }
    return e->mode != 0 && e->length == 0 && e->buffer == NULL;
}

int32_t mv_sock_add(MoravelAgent* a, const MvSockSpec* s)
{
    if (atomic_load(&a->stop)) {
        return MORAVEL_E_RELEASING;
    }
    pthread_mutex_lock(&a->dataLock);
    MvSockOp* e = mv_pool_alloc(&a->pool, sizeof(MvSockOp));
    if (!e) {
        pthread_mutex_unlock(&a->dataLock);
        return MORAVEL_E_OUTOFMEMORY;
    }
    e->token = s->token;
    e->copy = *s->token;
    e->cb = s->cb;
    e->user = s->user;
    e->fd = s->fd;
    e->length = s->length;
    e->buffer = s->buffer;
    e->mode = s->mode;
    e->direction = s->direction;
    e->internal = s->internal;
    e->owner = s->owner;
    e->pidx = -1;
    listPush(&a->pending, e);
    int wake = !mv_is_loop_thread_locked(a);
    pthread_mutex_unlock(&a->dataLock);
    if (wake) {
        mv_wake(a);
    }
    return MORAVEL_OK;
}

static void finish(MoravelAgent* a, MvSockOp* e, int32_t status)
{
    MoravelCallbackRecord rec = {e->token, e->user, e->moved, 0, status, a};
    e->cb(&rec);
    mv_free(a, e);
}

static int32_t errnoStatus(int err)
{
    if (err == EBADF || err == ENOTSOCK) {
        return MORAVEL_E_BAD_SOCKET;
    }
    return MORAVEL_E_IO;
}

/* Moves bytes for one ready entry. Answers 1 when the entry is finished (status in *status). */
static int doIo(MvSockOp* e, short revents, int32_t* status)
{
    if (revents & POLLNVAL) {
        *status = MORAVEL_E_BAD_SOCKET;
        return 1;
    }
    if (isNotification(e)) {
        if (e->direction) {
            int err = 0;
            socklen_t len = sizeof(err);
            if (getsockopt(e->fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) {
                *status = errnoStatus(errno);
                return 1;
            }
            if (err != 0 || ((revents & POLLERR) && !(revents & POLLOUT))) {
                *status = MORAVEL_E_CONNECT_FAILED;
                return 1;
            }
        }
        STATOKEN_TouchToken(e->token);
        *status = 0;
        return 1;
    }
    for (;;) {
        ssize_t n;
        if (e->direction) {
            n = send(e->fd, e->buffer + e->moved, e->length - e->moved, MSG_NOSIGNAL);
        } else {
            n = recv(e->fd, e->buffer + e->moved, e->length - e->moved, 0);
        }
        if (n > 0) {
            e->moved += (uint32_t)n;
            STATOKEN_TouchToken(e->token);
            if (e->moved >= e->length || e->mode != 0) {
                *status = 0;
                return 1;
            }
            continue;
        }
        if (n == 0 && !e->direction) {
            *status = MORAVEL_E_CLOSED;
            return 1;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return 0;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        *status = n == 0 ? MORAVEL_E_IO : errnoStatus(errno);
        return 1;
    }
}

static int ensurePfds(MoravelAgent* a, size_t n)
{
    if (n <= a->pfdCap) {
        return 1;
    }
    size_t cap = a->pfdCap ? a->pfdCap : 64;
    while (cap < n) {
        cap *= 2;
    }
    struct pollfd* p = realloc(a->pfds, cap * sizeof(struct pollfd));
    if (!p) {
        return 0;
    }
    a->pfds = p;
    a->pfdCap = cap;
    return 1;
}

static void drainWake(MoravelAgent* a)
{
    /* Emptied first, disarmed after: disarming first let a wake-up written in between be read
     * here while the flag stayed armed, and from then on every wake-up was skipped. A thread that
     * still finds the flag armed queued its work before this point, and the work is looked at
     * after it. */
    char buf[64];
    while (read(a->wakeRd, buf, sizeof(buf)) > 0) {
    }
    atomic_store(&a->wakeArmed, 0);
}

void mv_sock_step(MoravelAgent* a)
{
    pthread_mutex_lock(&a->dataLock);
    listSplice(&a->active, &a->pending, 0);
    pthread_mutex_unlock(&a->dataLock);

    /* Entries idle for longer than their token allows finish before the wait. */
    uint32_t nowMs = mv_now_ms();
    int idleWait = -1;
    MvSockList expired = {0};
    for (MvSockOp* e = a->active.head; e;) {
        MvSockOp* next = e->next;
        uint32_t idle = e->token->idleTimeout;
        if (idle != 0) {
            int32_t elapsed = (int32_t)(nowMs - e->token->stamp);
            if (elapsed < 0) {
                elapsed = 0;
            }
            if ((uint32_t)elapsed > idle) {
                listUnlink(&a->active, e);
                listPush(&expired, e);
            } else {
                int left = (int)(idle - (uint32_t)elapsed) + 1;
                if (idleWait < 0 || left < idleWait) {
                    idleWait = left;
                }
            }
        }
        e = next;
    }
    while (expired.head && !atomic_load(&a->stop)) {
        MvSockOp* e = expired.head;
        listUnlink(&expired, e);
        finish(a, e, MORAVEL_E_IDLE_TIMEOUT);
    }
    if (atomic_load(&a->stop)) {
        while (expired.head) {
            MvSockOp* e = expired.head;
            listUnlink(&expired, e);
            mv_free(a, e);
        }
        return;
    }

    if (!ensurePfds(a, a->active.count + 1)) {
        return; /* retried next cycle */
    }
    size_t n = 0;
    a->pfds[n].fd = a->wakeRd;
    a->pfds[n].events = POLLIN;
    a->pfds[n].revents = 0;
    ++n;
    for (MvSockOp* e = a->active.head; e; e = e->next) {
        e->pidx = (long)n;
        a->pfds[n].fd = e->fd;
        a->pfds[n].events = e->direction ? POLLOUT : POLLIN;
        a->pfds[n].revents = 0;
        ++n;
    }

    int wait;
    if (atomic_load(&a->uiDriven)) {
        wait = 8;
    } else {
        wait = mv_timer_wait_ms(a);
        if (wait < 0) {
            wait = 5000;
        }
    }
    if (idleWait >= 0 && idleWait < wait) {
        wait = idleWait;
    }
    int ready = poll(a->pfds, (nfds_t)n, wait);
    if (ready > 0 && a->pfds[0].revents) {
        drainWake(a);
    }

    /* Entries are taken off the active list one at a time, so a callback that removes other
     * entries never leaves this loop holding a freed one. */
    while (ready > 0 && a->active.head && !atomic_load(&a->stop)) {
        MvSockOp* e = a->active.head;
        listUnlink(&a->active, e);
        short revents = e->pidx >= 0 ? a->pfds[e->pidx].revents : 0;
        int32_t status = 0;
        if (revents && doIo(e, revents, &status)) {
            finish(a, e, status);
        } else {
            e->pidx = -1;
            listPush(&a->requeue, e);
        }
    }
    for (MvSockOp* e = a->active.head; e; e = e->next) {
        e->pidx = -1;
    }
    listSplice(&a->requeue, &a->active, 0);
    pthread_mutex_lock(&a->dataLock);
    listSplice(&a->pending, &a->requeue, 1);
    pthread_mutex_unlock(&a->dataLock);
}

static int matches(const MvSockOp* e, uint32_t flags, uint32_t key, void* owner)
{
    if (owner) {
        return e->owner == owner;
    }
    if (e->internal) {
        return 0;
    }
    return ((flags & MORAVEL_REMOVE_KEY2) ? e->copy.key2 : e->copy.key) == key;
}

static void takeMatching(MvSockList* from, MvSockList* to, uint32_t flags, uint32_t key,
                         void* owner)
{
    for (MvSockOp* e = from->head; e;) {
        MvSockOp* next = e->next;
        if (matches(e, flags, key, owner)) {
            listUnlink(from, e);
            listPush(to, e);
        }
        e = next;
    }
}

void mv_sock_remove(MoravelAgent* a, uint32_t flags, uint32_t key, void* owner)
{
    MvSockList taken = {0};
    pthread_mutex_lock(&a->dataLock);
    takeMatching(&a->pending, &taken, flags, key, owner);
    takeMatching(&a->active, &taken, flags, key, owner);
    takeMatching(&a->requeue, &taken, flags, key, owner);
    pthread_mutex_unlock(&a->dataLock);
    int silent = owner || (flags & MORAVEL_REMOVE_SILENT);
    while (taken.head) {
        MvSockOp* e = taken.head;
        listUnlink(&taken, e);
        if (silent) {
            mv_free(a, e);
        } else {
            finish(a, e, MORAVEL_E_CANCELLED);
        }
    }
}

void mv_sock_free_all(MoravelAgent* a)
{
    MvSockList* lists[] = {&a->pending, &a->active, &a->requeue};
    for (size_t i = 0; i < sizeof(lists) / sizeof(lists[0]); ++i) {
        while (lists[i]->head) {
            MvSockOp* e = lists[i]->head;
            listUnlink(lists[i], e);
            mv_pool_free(&a->pool, e);
        }
    }
    free(a->pfds);
    a->pfds = NULL;
    a->pfdCap = 0;
}

int32_t MORAVEL_CALL SCHEAGENT_AddSocketOperToken(MoravelAgent* agent, MoravelToken* token,
                                                  MoravelCallback cb, void* user,
                                                  MoravelSocket socket, uint32_t length,
                                                  void* buffer, uint32_t mode, uint32_t direction)
{
    if (!agent || !token || !cb || socket < 0 || (length > 0 && !buffer)) {
        return MORAVEL_E_INVALIDARG;
    }
    if (length == 0 && mode == 0) {
        return MORAVEL_E_INVALIDARG; /* nothing to wait for */
    }
    if (length == 0 && !direction && buffer) {
        return MORAVEL_E_INVALIDARG;
    }
    MvSockSpec s = {token, cb, user, socket, length, buffer, mode, direction, 0, NULL};
    return mv_sock_add(agent, &s);
}

int32_t MORAVEL_CALL SMO_SocketRead_Init(MoravelAgent* agent, MoravelToken* token,
                                         MoravelCallback cb, void* user, MoravelSocket socket,
                                         uint32_t length, void* buffer, uint32_t mode)
{
    return SCHEAGENT_AddSocketOperToken(agent, token, cb, user, socket, length, buffer, mode, 0);
}

int32_t MORAVEL_CALL SMO_SocketWrite_Init(MoravelAgent* agent, MoravelToken* token,
                                          MoravelCallback cb, void* user, MoravelSocket socket,
                                          uint32_t length, const void* buffer, uint32_t mode)
{
    return SCHEAGENT_AddSocketOperToken(agent, token, cb, user, socket, length, (void*)buffer, mode,
                                        1);
}
