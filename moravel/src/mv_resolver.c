/* The DNS client: asks every configured server for the A and AAAA records of a name over UDP,
 * takes the first good answer and gives up after twice as many failed answers as servers. */
#include "mv_dns.h"
#include "mv_internal.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#define MV_DNS_ANSWER_MAX 2049u
#define MV_DNS_PASSES 4
#define MV_DNS_PASS_INTERVAL_MS 2000u

struct MvResolveJob;

typedef struct MvDnsSlot
{
    struct MvResolveJob* job;
    int fd;
    uint16_t qtype;
    uint16_t id;
    int reading;
    size_t queryLen;
    uint8_t query[MV_DNS_MAX_QUERY];
    uint8_t answer[MV_DNS_ANSWER_MAX];
} MvDnsSlot;

typedef struct MvResolveJob
{
    MoravelAgent* agent;
    MoravelToken* token;
    MoravelCallback cb;
    void* user;
    MoravelResolveResult* result;
    MoravelToken internalToken;
    char host[1028];
    char domain[129];
    int passes;
    int failures;
    int ended;
    size_t slotCount;
    MvDnsSlot slots[];
} MvResolveJob;

/* Reads the DNS servers: "nameserver" lines (an address, optionally followed by "#port"),
 * and the domain ("domain", else the first "search" entry) for names without a dot. */
void mv_dns_load_servers(MoravelAgent* a)
{
    const char* path = getenv("MORAVEL_RESOLV_CONF");
    FILE* f = fopen(path && *path ? path : "/etc/resolv.conf", "r");
    a->dnsCount = 0;
    if (!f) {
        return;
    }
    char line[512];
    char domain[256] = "";
    int haveDomainLine = 0;
    while (fgets(line, sizeof(line), f)) {
        char key[32], value[256];
        if (sscanf(line, "%31s %255s", key, value) != 2 || key[0] == '#' || key[0] == ';') {
            continue;
        }
        if (strcmp(key, "nameserver") == 0 && a->dnsCount < MV_MAX_DNS_SERVERS) {
            uint16_t port = 53;
            char* hash = strchr(value, '#');
            if (hash) {
                *hash = '\0';
                long p = strtol(hash + 1, NULL, 10);
                if (p <= 0 || p > 65535) {
                    continue;
                }
                port = (uint16_t)p;
            }
            if (!SMO_SocketConn_IsIPFormat(value)) {
                continue;
            }
            MvDnsServer* s = &a->dns[a->dnsCount++];
            memset(s, 0, sizeof(*s));
            memcpy(s->text, value, strlen(value) + 1); /* at most 39 characters */
            s->port = port;
            struct in_addr in;
            if (inet_pton(AF_INET, value, &in) == 1) {
                s->ipv4 = in.s_addr;
            }
        } else if (strcmp(key, "domain") == 0) {
            memcpy(domain, value, sizeof(domain));
            haveDomainLine = 1;
        } else if (strcmp(key, "search") == 0 && !haveDomainLine) {
            memcpy(domain, value, sizeof(domain));
        }
    }
    fclose(f);
    size_t dl = strlen(domain);
    if (a->dnsCount > 0 && dl >= 1 && dl <= 127) {
        memcpy(a->dns[0].domain, domain, dl + 1);
    }
}

static void endJob(MvResolveJob* job, int32_t status)
{
    if (job->ended) {
        return;
    }
    job->ended = 1;
    MoravelAgent* a = job->agent;
    mv_timer_remove(a, MORAVEL_REMOVE_SILENT, 0, job);
    mv_sock_remove(a, MORAVEL_REMOVE_SILENT, 0, job);
    for (size_t i = 0; i < job->slotCount; ++i) {
        if (job->slots[i].fd >= 0) {
            close(job->slots[i].fd);
        }
    }
    MoravelCallbackRecord rec = {job->token, job->user, 0, 0, status, a};
    MoravelCallback cb = job->cb;
    mv_free(a, job);
    cb(&rec);
}

static int MORAVEL_CALL onAnswer(MoravelCallbackRecord* rec);

static int32_t queueRead(MvDnsSlot* slot)
{
    MvSockSpec s = {&slot->job->internalToken,
                    onAnswer,
                    slot,
                    slot->fd,
                    MV_DNS_ANSWER_MAX,
                    slot->answer,
                    1,
                    0,
                    1,
                    slot->job};
    int32_t r = mv_sock_add(slot->job->agent, &s);
    slot->reading = r == 0;
    return r;
}

/* Counts a failed answer; answers 1 when the job has ended because of it. */
static int countFailure(MvResolveJob* job, int32_t status)
{
    if (status != MORAVEL_E_IDLE_TIMEOUT && status != MORAVEL_E_IO) {
        endJob(job, status);
        return 1;
    }
    if (++job->failures >= 2 * (int)job->agent->dnsCount) {
        endJob(job, status);
        return 1;
    }
    return 0;
}

static int MORAVEL_CALL onAnswer(MoravelCallbackRecord* rec)
{
    MvDnsSlot* slot = rec->user;
    MvResolveJob* job = slot->job;
    slot->reading = 0;
    int32_t status = rec->status;
    if (status == MORAVEL_E_CLOSED || status == MORAVEL_E_BAD_SOCKET) {
        status = MORAVEL_E_IO; /* an empty datagram or a refused port: a failed answer */
    }
    if (status == 0) {
        MoravelResolveResult scratch;
        memset(&scratch, 0, sizeof(scratch));
        status =
            mv_dns_parse_answer(slot->answer, (size_t)rec->value, slot->id, slot->qtype, &scratch);
        if (status == 0) {
            if (slot->qtype == MV_DNS_TYPE_A) {
                job->result->ipv4 = scratch.ipv4;
                memcpy(job->result->ipv4Text, scratch.ipv4Text, sizeof(scratch.ipv4Text));
            } else {
                memcpy(job->result->ipv6Text, scratch.ipv6Text, sizeof(scratch.ipv6Text));
            }
            endJob(job, 0);
            return 0;
        }
    }
    if (countFailure(job, status)) {
        return 0;
    }
    /* After a bad datagram keep listening; after an idle time-out wait for the next pass. */
    if (status != MORAVEL_E_IDLE_TIMEOUT) {
        int32_t r = queueRead(slot);
        if (r != 0) {
            endJob(job, r);
        }
    }
    return 0;
}

static int MORAVEL_CALL onPass(MoravelCallbackRecord* rec);

static int MORAVEL_CALL onGiveUp(MoravelCallbackRecord* rec)
{
    MvResolveJob* job = rec->user;
    endJob(job, rec->status == 0 ? MORAVEL_E_IDLE_TIMEOUT : rec->status);
    return 0;
}

static int MORAVEL_CALL onPass(MoravelCallbackRecord* rec)
{
    MvResolveJob* job = rec->user;
    if (rec->status != 0) {
        endJob(job, rec->status);
        return 0;
    }
    ++job->passes;
    job->internalToken.idleTimeout = job->token->idleTimeout;
    STATOKEN_TouchToken(&job->internalToken);
    for (size_t i = 0; i < job->slotCount; ++i) {
        MvDnsSlot* slot = &job->slots[i];
        ssize_t n = send(slot->fd, slot->query, slot->queryLen, MSG_NOSIGNAL);
        if (n < 0 && errno != ECONNREFUSED && errno != EAGAIN) {
            endJob(job, MORAVEL_E_DGRAM_SEND);
            return 0;
        }
        if (!slot->reading) {
            int32_t r = queueRead(slot);
            if (r != 0) {
                endJob(job, r);
                return 0;
            }
        }
    }
    /* After the last pass the job still ends on its own, even when no answer ever comes. */
    MvTimerSpec next = {.token = &job->internalToken,
                        .cb = job->passes < MV_DNS_PASSES ? onPass : onGiveUp,
                        .user = job,
                        .delayMs = MV_DNS_PASS_INTERVAL_MS,
                        .internal = 1,
                        .owner = job};
    int32_t r = mv_timer_add(job->agent, &next);
    if (r != 0) {
        endJob(job, r);
    }
    return 0;
}

static int MORAVEL_CALL onCancel(MoravelCallbackRecord* rec)
{
    endJob(rec->user, rec->status == 0 ? MORAVEL_E_CANCELLED : rec->status);
    return 0;
}

static int openSlotSocket(const MvDnsServer* s)
{
    struct sockaddr_storage ss;
    socklen_t len;
    memset(&ss, 0, sizeof(ss));
    int family;
    if (strchr(s->text, ':')) {
        struct sockaddr_in6* in6 = (struct sockaddr_in6*)&ss;
        family = in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(s->port);
        if (inet_pton(AF_INET6, s->text, &in6->sin6_addr) != 1) {
            return -1;
        }
        len = sizeof(*in6);
    } else {
        struct sockaddr_in* in4 = (struct sockaddr_in*)&ss;
        family = in4->sin_family = AF_INET;
        in4->sin_port = htons(s->port);
        if (inet_pton(AF_INET, s->text, &in4->sin_addr) != 1) {
            return -1;
        }
        len = sizeof(*in4);
    }
    int fd = socket(family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    /* A connected datagram socket only hears its own server. */
    if (connect(fd, (struct sockaddr*)&ss, len) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int32_t MORAVEL_CALL SMO_ResolveIP_Init(MoravelAgent* agent, MoravelToken* token,
                                        MoravelCallback cb, void* user,
                                        const MoravelResolveRequest* request,
                                        MoravelResolveResult* result)
{
    if (!agent || !token || !cb || !request || !result) {
        return MORAVEL_E_INVALIDARG;
    }
    if (agent->dnsCount == 0) {
        return MORAVEL_E_NO_DNS_SERVER;
    }
    size_t hostLen = strnlen(request->host, sizeof(request->host));
    if (hostLen == 0 || hostLen >= sizeof(request->host)) {
        return MORAVEL_E_INVALIDARG;
    }
    uint8_t probe[MV_DNS_MAX_QUERY];
    if (mv_dns_build_query(0, request->host, agent->dns[0].domain, MV_DNS_TYPE_A, probe,
                           sizeof(probe)) == 0) {
        return MORAVEL_E_INVALIDARG;
    }
    size_t slotCount = agent->dnsCount * 2;
    MvResolveJob* job =
        mv_alloc(agent, (uint32_t)(sizeof(MvResolveJob) + slotCount * sizeof(MvDnsSlot)));
    if (!job) {
        return MORAVEL_E_OUTOFMEMORY;
    }
    job->agent = agent;
    job->token = token;
    job->cb = cb;
    job->user = user;
    job->result = result;
    job->slotCount = slotCount;
    memcpy(job->host, request->host, hostLen + 1);
    memcpy(job->domain, agent->dns[0].domain, sizeof(job->domain));
    memset(result, 0, sizeof(*result));
    int32_t r = MORAVEL_OK;
    for (size_t i = 0; i < slotCount; ++i) {
        job->slots[i].fd = -1;
    }
    for (size_t i = 0; i < slotCount && r == 0; ++i) {
        MvDnsSlot* slot = &job->slots[i];
        slot->job = job;
        slot->qtype = (i % 2) == 0 ? MV_DNS_TYPE_A : MV_DNS_TYPE_AAAA;
        slot->id = (uint16_t)rand();
        slot->queryLen = mv_dns_build_query(slot->id, job->host, job->domain, slot->qtype,
                                            slot->query, sizeof(slot->query));
        slot->fd = openSlotSocket(&agent->dns[i / 2]);
        if (slot->fd < 0) {
            r = MORAVEL_E_SOCKET;
        }
    }
    MvTimerSpec parked = {
        .token = token, .cb = onCancel, .user = job, .delayMs = MORAVEL_DELAY_PARKED, .owner = job};
    MvTimerSpec first = {.token = &job->internalToken,
                         .cb = onPass,
                         .user = job,
                         .delayMs = 1,
                         .internal = 1,
                         .owner = job};
    job->internalToken.idleTimeout = token->idleTimeout;
    int parkedQueued = 0;
    if (r == 0) {
        r = mv_timer_add(agent, &parked);
        parkedQueued = r == 0;
    }
    if (r == 0) {
        r = mv_timer_add(agent, &first);
    }
    if (r != 0) {
        /* Nothing has run yet: take back what was queued, without any callback. */
        job->ended = 1;
        pthread_mutex_lock(&agent->dataLock);
        int direct = !parkedQueued || !agent->haveLoopThread || mv_is_loop_thread_locked(agent);
        pthread_mutex_unlock(&agent->dataLock);
        if (direct && parkedQueued) {
            mv_timer_remove(agent, MORAVEL_REMOVE_SILENT, 0, job);
        }
        for (size_t i = 0; i < slotCount; ++i) {
            if (job->slots[i].fd >= 0) {
                close(job->slots[i].fd);
            }
        }
        if (direct) {
            mv_free(agent, job);
        }
        return r;
    }
    return MORAVEL_OK;
}
