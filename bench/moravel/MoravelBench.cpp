// Throughput of Moravel next to libevent on the same machine, in the same run:
//  1. timers: 100,000 timers with spread due times, scheduled and fired;
//  2. echo: 64-byte round trips over 1,000 concurrent loopback TCP connections;
//  3. 10,000 concurrent sockets served by one Moravel agent (clients in a child process).
// Usage: moravel_bench [timers] [connections] [rounds] [sockets]
#include "moravel.h"

#include <event2/event.h>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

void raiseFileLimit(rlim_t want)
{
    rlimit rl{};
    getrlimit(RLIMIT_NOFILE, &rl);
    if (rl.rlim_max != RLIM_INFINITY && rl.rlim_max < want) {
        rl.rlim_max = want; // works with CAP_SYS_RESOURCE; otherwise the soft limit below
        if (setrlimit(RLIMIT_NOFILE, &rl) != 0) {
            getrlimit(RLIMIT_NOFILE, &rl);
        }
    }
    rl.rlim_cur = rl.rlim_max == RLIM_INFINITY || rl.rlim_max > want ? want : rl.rlim_max;
    setrlimit(RLIMIT_NOFILE, &rl);
}

uint32_t delayOf(int i)
{
    return static_cast<uint32_t>((i * 7919) % 100); // 0..99 ms, interleaved
}

// ---- timers ----

// The clock stops inside the last callback: a caller-driven cycle that finds nothing left to do
// then waits for new work, and that idle wait is not part of the figure.
struct TimerCount
{
    int fired = 0;
    int target = 0;
    Clock::time_point end;
};

void countOne(TimerCount* c)
{
    if (++c->fired == c->target) {
        c->end = Clock::now();
    }
}

int MORAVEL_CALL onMoravelTimer(MoravelCallbackRecord* rec)
{
    countOne(static_cast<TimerCount*>(rec->user));
    return 0;
}

double moravelTimers(int n)
{
    MoravelAgent* agent = nullptr;
    SCHEAGENT_Initialize(&agent, 0);
    std::vector<MoravelToken> tokens(static_cast<size_t>(n));
    TimerCount count;
    count.target = n;
    auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        SCHEAGENT_AddTimerToken(agent, &tokens[static_cast<size_t>(i)], onMoravelTimer, &count,
                                delayOf(i));
    }
    while (count.fired < n) {
        SCHEAGENT_WorkProc(agent);
    }
    double s = std::chrono::duration<double>(count.end - start).count();
    SCHEAGENT_Release(&agent);
    return n / s;
}

void onEventTimer(evutil_socket_t, short, void* arg)
{
    countOne(static_cast<TimerCount*>(arg));
}

double libeventTimers(int n)
{
    event_base* base = event_base_new();
    std::vector<event*> events(static_cast<size_t>(n));
    TimerCount count;
    count.target = n;
    auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        events[static_cast<size_t>(i)] = evtimer_new(base, onEventTimer, &count);
        timeval tv{0, static_cast<suseconds_t>(delayOf(i)) * 1000};
        evtimer_add(events[static_cast<size_t>(i)], &tv);
    }
    event_base_dispatch(base);
    double s = std::chrono::duration<double>(count.end - start).count();
    for (event* e : events) {
        event_free(e);
    }
    event_base_free(base);
    return count.fired == n ? n / s : 0.0;
}

// ---- echo ----

struct Pair
{
    int client;
    int server;
};

// A listener on a free port of 127.0.0.1; *a receives its address.
int loopbackListener(sockaddr_in* a)
{
    int l = socket(AF_INET, SOCK_STREAM, 0);
    a->sin_family = AF_INET;
    a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(*a);
    bind(l, reinterpret_cast<sockaddr*>(a), sizeof(*a));
    listen(l, 4096);
    getsockname(l, reinterpret_cast<sockaddr*>(a), &len);
    return l;
}

std::vector<Pair> connectPairs(int n)
{
    sockaddr_in a{};
    int l = loopbackListener(&a);
    std::vector<Pair> pairs;
    for (int i = 0; i < n; ++i) {
        int c = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(c, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
            std::perror("connect");
            std::exit(1);
        }
        int s = accept(l, nullptr, nullptr);
        int one = 1;
        setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
        fcntl(c, F_SETFL, O_NONBLOCK);
        fcntl(s, F_SETFL, O_NONBLOCK);
        pairs.push_back({c, s});
    }
    close(l);
    return pairs;
}

void closePairs(const std::vector<Pair>& pairs)
{
    for (const auto& p : pairs) {
        close(p.client);
        close(p.server);
    }
}

const char kMessage[64] = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde";

struct EchoTotals
{
    int done = 0;
    int target = 0;
    long trips = 0;
    Clock::time_point end;
    void finishOne()
    {
        if (++done == target) {
            end = Clock::now();
        }
    }
};

struct MvEnd
{
    MoravelAgent* agent;
    int fd;
    bool client;
    int rounds;
    EchoTotals* totals;
    MoravelToken token;
    char buf[64];
};

int MORAVEL_CALL onMvRead(MoravelCallbackRecord* rec)
{
    auto* e = static_cast<MvEnd*>(rec->user);
    if (rec->status != 0) {
        return 0;
    }
    // The peers exchange whole 64-byte messages; a mode-0 read gathers one.
    if (e->client) {
        ++e->totals->trips;
        if (--e->rounds == 0) {
            e->totals->finishOne();
            return 0;
        }
    }
    if (send(e->fd, e->client ? kMessage : e->buf, 64, MSG_NOSIGNAL) != 64) {
        return 0;
    }
    SMO_SocketRead_Init(e->agent, &e->token, onMvRead, e, e->fd, 64, e->buf, 0);
    return 0;
}

double moravelEcho(const std::vector<Pair>& pairs, int rounds)
{
    MoravelAgent* agent = nullptr;
    SCHEAGENT_Initialize(&agent, 0);
    EchoTotals totals;
    totals.target = static_cast<int>(pairs.size());
    std::vector<MvEnd> ends(pairs.size() * 2);
    auto start = Clock::now();
    for (size_t i = 0; i < pairs.size(); ++i) {
        MvEnd& c = ends[2 * i];
        MvEnd& s = ends[2 * i + 1];
        c = MvEnd{agent, pairs[i].client, true, rounds, &totals, {}, {}};
        s = MvEnd{agent, pairs[i].server, false, rounds, &totals, {}, {}};
        SMO_SocketRead_Init(agent, &s.token, onMvRead, &s, s.fd, 64, s.buf, 0);
        SMO_SocketRead_Init(agent, &c.token, onMvRead, &c, c.fd, 64, c.buf, 0);
        send(c.fd, kMessage, 64, MSG_NOSIGNAL);
    }
    while (totals.done < totals.target) {
        SCHEAGENT_WorkProc(agent);
    }
    double s = std::chrono::duration<double>(totals.end - start).count();
    SCHEAGENT_Release(&agent);
    return totals.trips / s;
}

struct EvEnd
{
    event* ev;
    int fd;
    bool client;
    int rounds;
    EchoTotals* totals;
    size_t have;
    char buf[64];
};

void onEvRead(evutil_socket_t fd, short, void* arg)
{
    auto* e = static_cast<EvEnd*>(arg);
    ssize_t n = recv(fd, e->buf + e->have, 64 - e->have, 0);
    if (n <= 0) {
        return;
    }
    e->have += static_cast<size_t>(n);
    if (e->have < 64) {
        return;
    }
    e->have = 0;
    if (e->client) {
        ++e->totals->trips;
        if (--e->rounds == 0) {
            e->totals->finishOne();
            event_del(e->ev);
            return;
        }
    }
    send(fd, e->client ? kMessage : e->buf, 64, MSG_NOSIGNAL);
}

double libeventEcho(const std::vector<Pair>& pairs, int rounds)
{
    event_base* base = event_base_new();
    EchoTotals totals;
    totals.target = static_cast<int>(pairs.size());
    std::vector<EvEnd> ends(pairs.size() * 2);
    auto start = Clock::now();
    for (size_t i = 0; i < pairs.size(); ++i) {
        EvEnd& c = ends[2 * i];
        EvEnd& s = ends[2 * i + 1];
        c = EvEnd{nullptr, pairs[i].client, true, rounds, &totals, 0, {}};
        s = EvEnd{nullptr, pairs[i].server, false, rounds, &totals, 0, {}};
        c.ev = event_new(base, c.fd, EV_READ | EV_PERSIST, onEvRead, &c);
        s.ev = event_new(base, s.fd, EV_READ | EV_PERSIST, onEvRead, &s);
        event_add(c.ev, nullptr);
        event_add(s.ev, nullptr);
        send(c.fd, kMessage, 64, MSG_NOSIGNAL);
    }
    while (totals.done < totals.target) {
        event_base_loop(base, EVLOOP_ONCE);
    }
    double s = std::chrono::duration<double>(totals.end - start).count();
    for (auto& e : ends) {
        event_free(e.ev);
    }
    event_base_free(base);
    return totals.trips / s;
}

// ---- many sockets ----

struct Served
{
    MoravelAgent* agent;
    MoravelTransport* listener;
    MoravelAcceptContext ctx;
    MoravelToken token;
    int accepted = 0;
    int answered = 0;
    int target = 0;
    std::vector<MoravelTransport*> conns;
    std::vector<MoravelToken> tokens;
    std::vector<std::array<char, 8>> bufs;
};

int MORAVEL_CALL onServedRead(MoravelCallbackRecord* rec);

int MORAVEL_CALL onAccepted(MoravelCallbackRecord* rec)
{
    auto* s = static_cast<Served*>(rec->user);
    if (rec->status == 0 && s->ctx.transport) {
        size_t i = static_cast<size_t>(s->accepted++);
        s->conns[i] = s->ctx.transport;
        COMMON_TI_ReadData(s->conns[i], &s->tokens[i], onServedRead, s, 8, s->bufs[i].data(), 0);
    }
    if (s->accepted < s->target) {
        SMO_SocketAccept_Init(s->agent, &s->token, onAccepted, s, s->listener, &s->ctx);
    }
    return 0;
}

int MORAVEL_CALL onServedRead(MoravelCallbackRecord* rec)
{
    auto* s = static_cast<Served*>(rec->user);
    if (rec->status == 0) {
        size_t i = static_cast<size_t>(rec->token - s->tokens.data());
        uint32_t w = 0;
        int err = 0;
        COMMON_TI_WriteDataDirect(s->conns[i], s->bufs[i].data(), 8, &w, &err);
        ++s->answered;
    }
    return 0;
}

// Child: opens n connections, sends 8 bytes on each, waits for every answer.
int clientProcess(uint16_t port, int n)
{
    raiseFileLimit(static_cast<rlim_t>(n) + 64);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    std::vector<pollfd> fds;
    for (int i = 0; i < n; ++i) {
        int c = socket(AF_INET, SOCK_STREAM, 0);
        if (c < 0 || connect(c, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
            std::fprintf(stderr, "client %d: %s\n", i, std::strerror(errno));
            return 1;
        }
        send(c, "request", 8, MSG_NOSIGNAL);
        fds.push_back({c, POLLIN, 0});
    }
    int answered = 0;
    while (answered < n) {
        if (poll(fds.data(), fds.size(), 10000) <= 0) {
            return 2;
        }
        for (auto& p : fds) {
            if (p.fd >= 0 && p.revents) {
                char b[8];
                if (recv(p.fd, b, 8, 0) > 0) {
                    ++answered;
                }
                close(p.fd);
                p.fd = -1;
            }
        }
    }
    return 0;
}

void manySockets(int n)
{
    raiseFileLimit(static_cast<rlim_t>(n) + 256);
    sockaddr_in a{};
    int l = loopbackListener(&a);
    Served s;
    SCHEAGENT_Initialize(&s.agent, 0);
    SOCK_TO_COMM_TI(&s.listener, s.agent, l, 0, 0, nullptr, 0);
    s.target = n;
    s.conns.assign(static_cast<size_t>(n), nullptr);
    s.tokens.assign(static_cast<size_t>(n), MoravelToken{});
    s.bufs.resize(static_cast<size_t>(n));
    auto start = Clock::now();
    pid_t child = fork();
    if (child == 0) {
        _exit(clientProcess(ntohs(a.sin_port), n));
    }
    SMO_SocketAccept_Init(s.agent, &s.token, onAccepted, &s, s.listener, &s.ctx);
    while (s.answered < n && seconds(start) < 60) {
        SCHEAGENT_WorkProc(s.agent);
    }
    int status = 0;
    waitpid(child, &status, 0);
    double secs = seconds(start);
    int open = 0;
    for (auto* c : s.conns) {
        open += c != nullptr;
    }
    std::printf("sockets   Moravel served %d of %d concurrent connections (%d open at once) in "
                "%.2f s, client exit %d\n",
                s.answered, n, open, secs, WEXITSTATUS(status));
    for (auto*& c : s.conns) {
        if (c) {
            COMMON_TI_Release(&c);
        }
    }
    COMMON_TI_Release(&s.listener);
    SCHEAGENT_Release(&s.agent);
}

void report(const char* what, const char* unit, double moravel, double libevent)
{
    std::printf("%-9s Moravel %12.0f %s   libevent %12.0f %s   ratio %.2f\n", what, moravel, unit,
                libevent, unit, libevent > 0 ? moravel / libevent : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    int timers = argc > 1 ? std::atoi(argv[1]) : 100000;
    int connections = argc > 2 ? std::atoi(argv[2]) : 1000;
    int rounds = argc > 3 ? std::atoi(argv[3]) : 100;
    int sockets = argc > 4 ? std::atoi(argv[4]) : 10000;
    raiseFileLimit(static_cast<rlim_t>(connections) * 2 + 256);

    // Best of three runs each, alternating, so that neither side gets the warm caches.
    double mt = 0, lt = 0, me = 0, le = 0;
    for (int i = 0; i < 3; ++i) {
        mt = std::max(mt, moravelTimers(timers));
        lt = std::max(lt, libeventTimers(timers));
    }
    report("timers", "timers/s", mt, lt);
    auto pairs = connectPairs(connections);
    for (int i = 0; i < 3; ++i) {
        me = std::max(me, moravelEcho(pairs, rounds));
        le = std::max(le, libeventEcho(pairs, rounds));
    }
    closePairs(pairs);
    report("echo", "trips/s ", me, le);
    manySockets(sockets);
    return 0;
}
