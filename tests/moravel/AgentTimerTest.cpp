// The agent, its timers and general tokens, removal, DoSomethingSafely and the memory functions,
// each on an agent with its own loop thread and on one driven by the test thread.
#include "MoravelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <unistd.h>

using namespace mvtest;
using namespace std::chrono_literals;

namespace {

class AgentTest : public ::testing::TestWithParam<bool>
{
protected:
    AgentHolder agent{GetParam()};
    Collector collector;
};

std::string threadName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "OwnThread" : "CallerDriven";
}

TEST_P(AgentTest, TimersFireByDueTimeAndEqualDueTimesInQueueingOrder)
{
    struct Case
    {
        int tag;
        uint32_t delay;
    };
    // Queued out of order; the equal delays (tags 2, 3, 4) must keep their queueing order.
    const Case cases[] = {{5, 60}, {2, 20}, {3, 20}, {1, 0}, {4, 20}, {6, 61}};
    MoravelToken tokens[6] = {};
    Collector::Tagged tags[6];
    // Queued from the loop thread in one go, so that "now" is the same for all of them.
    ASSERT_EQ(agent.runOnLoop([&](MoravelAgent* a) {
        for (int i = 0; i < 6; ++i) {
            tags[i] = {&collector, cases[i].tag};
            if (SCHEAGENT_AddTimerToken(a, &tokens[i], Collector::taggedCallback, &tags[i],
                                        cases[i].delay) != 0) {
                return -1;
            }
        }
        return 0;
    }),
              0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 6; }, 3000ms));
    EXPECT_EQ(collector.tags(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    for (const auto& call : collector.calls()) {
        EXPECT_EQ(call.status, 0);
        EXPECT_EQ(call.value, 0u);
    }
}

TEST_P(AgentTest, DelayZeroFiresOnNextCycleAndEchoReportsQueuedKinds)
{
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), 0);
    MoravelToken parked{};
    ASSERT_EQ(SCHEAGENT_AddTimerToken(agent.get(), &parked, Collector::callback, &collector,
                                      MORAVEL_DELAY_PARKED),
              0);
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), MORAVEL_ECHO_TIMERS);
    MoravelToken t{};
    ASSERT_EQ(SMO_Timer_Init(agent.get(), &t, Collector::callback, &collector, 0), 0);
    if (!agent.ownThread()) {
        EXPECT_EQ(SCHEAGENT_WorkProc(agent.get()), 0);
        EXPECT_EQ(collector.count(), 1u);
    }
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 2000ms));
    EXPECT_EQ(collector.calls()[0].token, &t);
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), MORAVEL_ECHO_TIMERS); // the parked one stays
}

TEST_P(AgentTest, EveryTimerFormFiresWithItsTokenAndUserData)
{
    using Queue = std::function<int32_t(MoravelAgent*, MoravelToken*, void*)>;
    const std::pair<const char*, Queue> forms[] = {
        {"AddTimerToken",
         [](MoravelAgent* a, MoravelToken* t, void* u) {
             return SCHEAGENT_AddTimerToken(a, t, Collector::callback, u, 1);
         }},
        {"SMO_Timer_Init", [](MoravelAgent* a, MoravelToken* t,
                              void* u) { return SMO_Timer_Init(a, t, Collector::callback, u, 1); }},
        {"Internal",
         [](MoravelAgent* a, MoravelToken* t, void* u) {
             return SCHEAGENT_AddTimerTokenInternal(a, t, Collector::callback, u, 1, 0xAAAA,
                                                    0xBBBB);
         }},
        {"ExtendedWithoutPayload",
         [](MoravelAgent* a, MoravelToken* t, void* u) {
             return SCHEAGENT_AddExtendedTimerToken(a, t, Collector::callback, u, 1, nullptr, 0);
         }},
    };
    for (const auto& [name, queue] : forms) {
        Collector local;
        MoravelToken t{};
        ASSERT_EQ(queue(agent.get(), &t, &local), 0) << name;
        ASSERT_TRUE(agent.until([&] { return local.count() == 1; }, 2000ms)) << name;
        auto call = local.calls()[0];
        EXPECT_EQ(call.token, &t) << name;
        EXPECT_EQ(call.user, &local) << name;
        EXPECT_EQ(call.status, 0) << name;
        EXPECT_EQ(call.extra, 0u) << name; // the internal form keeps its two values to itself
    }
}

struct RemovalCase
{
    const char* name;
    uint32_t flags;
    uint32_t key;
    // expected callbacks per token (index 0: parked key 7/70, 1: scheduled key 7/71,
    // 2: parked key 8/70)
    std::vector<int> cancelled;
};

class RemovalTest : public ::testing::TestWithParam<std::tuple<bool, RemovalCase>>
{
};

TEST_P(RemovalTest, RemovesMatchingTimersWithCancelStatusOrSilently)
{
    AgentHolder agent(std::get<0>(GetParam()));
    const RemovalCase& c = std::get<1>(GetParam());
    Collector collector;
    MoravelToken tokens[3] = {{0, 0, 7, 70}, {0, 0, 7, 71}, {0, 0, 8, 70}};
    Collector::Tagged tags[3] = {{&collector, 0}, {&collector, 1}, {&collector, 2}};
    ASSERT_EQ(SCHEAGENT_AddTimerToken(agent.get(), &tokens[0], Collector::taggedCallback, &tags[0],
                                      MORAVEL_DELAY_PARKED),
              0);
    ASSERT_EQ(SCHEAGENT_AddTimerToken(agent.get(), &tokens[1], Collector::taggedCallback, &tags[1],
                                      60000),
              0);
    ASSERT_EQ(SCHEAGENT_AddTimerToken(agent.get(), &tokens[2], Collector::taggedCallback, &tags[2],
                                      MORAVEL_DELAY_PARKED),
              0);
    std::atomic<int32_t> result{1};
    std::thread remover([&] { result = SCHEAGENT_RemoveTimerToken(agent.get(), c.flags, c.key); });
    agent.until([&] { return result != 1; }, 3000ms);
    remover.join();
    EXPECT_EQ(result.load(), 0);
    ASSERT_TRUE(agent.until([&] { return collector.count() >= c.cancelled.size(); }, 2000ms));
    auto tagsSeen = collector.tags();
    std::sort(tagsSeen.begin(), tagsSeen.end());
    EXPECT_EQ(tagsSeen, c.cancelled);
    for (const auto& call : collector.calls()) {
        EXPECT_EQ(call.status, MORAVEL_E_CANCELLED);
    }
}

const RemovalCase kRemovalCases[] = {
    {"ByKey", 0, 7, {0, 1}},
    {"BySecondKey", MORAVEL_REMOVE_KEY2, 70, {0, 2}},
    {"ParkedOnly", MORAVEL_REMOVE_PARKED, 7, {0}},
    {"Silent", MORAVEL_REMOVE_SILENT, 7, {}},
    {"NoMatch", 0, 99, {}},
};

INSTANTIATE_TEST_SUITE_P(Timers, RemovalTest,
                         ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kRemovalCases)),
                         [](const auto& info) {
                             return std::string(std::get<1>(info.param).name) +
                                    (std::get<0>(info.param) ? "OwnThread" : "CallerDriven");
                         });

TEST_P(AgentTest, ExtendedTimerCarriesACopyOfItsPayload)
{
    struct Seen
    {
        Collector* c;
        std::string payload;
    } seen{&collector, {}};
    char payload[] = "payload \0with a zero";
    MoravelToken t{};
    ASSERT_EQ(SCHEAGENT_AddExtendedTimerToken(
                  agent.get(), &t,
                  [](MoravelCallbackRecord* rec) -> int {
                      auto* s = static_cast<Seen*>(rec->user);
                      s->payload.assign(reinterpret_cast<const char*>(rec->value), rec->extra);
                      Collector::callback(&(*rec = {rec->token, s->c, rec->value, rec->extra,
                                                    rec->status, rec->agent}));
                      return 0;
                  },
                  &seen, 5, payload, sizeof(payload)),
              0);
    std::memset(payload, 'x', sizeof(payload)); // the agent holds its own copy
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 2000ms));
    EXPECT_EQ(seen.payload, std::string("payload \0with a zero", sizeof(payload)));
    EXPECT_EQ(collector.calls()[0].extra, sizeof(payload));
}

int MORAVEL_CALL workOk(void* a1, void* a2, MoravelAgent*, uintptr_t* out)
{
    *out = reinterpret_cast<uintptr_t>(a1) + reinterpret_cast<uintptr_t>(a2);
    return 0;
}

int MORAVEL_CALL workFails(void*, void*, MoravelAgent*, uintptr_t* out)
{
    *out = 9;
    return MORAVEL_E_IO;
}

TEST_P(AgentTest, GeneralTokenRunsWorkOnLoopThenReportsIt)
{
    MoravelToken t1{}, t2{}, t3{0, 0, 5, 0};
    ASSERT_EQ(SCHEAGENT_AddGeneralToken(agent.get(), &t1, Collector::callback, &collector, workOk,
                                        reinterpret_cast<void*>(40), reinterpret_cast<void*>(2)),
              0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 2000ms));
    ASSERT_EQ(SCHEAGENT_AddGeneralToken(agent.get(), &t2, Collector::callback, &collector,
                                        workFails, nullptr, nullptr),
              0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 2; }, 2000ms));
    auto calls = collector.calls();
    EXPECT_EQ(calls[0].status, 0);
    EXPECT_EQ(calls[0].value, 42u);
    EXPECT_EQ(calls[1].status, MORAVEL_E_IO);
    EXPECT_EQ(calls[1].value, 9u);

    // Removed before it ran: the work is skipped and the done callback hears the cancel.
    ASSERT_EQ(SCHEAGENT_AddGeneralToken(agent.get(), &t3, Collector::callback, &collector,
                                        workFails, nullptr, nullptr),
              0);
    std::atomic<bool> removed{false};
    std::thread remover([&] {
        SCHEAGENT_RemoveGeneralToken(agent.get(), 0, 5);
        removed = true;
    });
    agent.until([&] { return removed.load(); }, 2000ms);
    remover.join();
    ASSERT_TRUE(agent.until([&] { return collector.count() == 3; }, 2000ms));
    calls = collector.calls();
    // Either removal won (cancel, work skipped) or the token had already fired.
    if (calls[2].status == MORAVEL_E_CANCELLED) {
        EXPECT_EQ(calls[2].value, 0u);
    } else {
        EXPECT_EQ(calls[2].status, MORAVEL_E_IO);
    }
}

struct SafelyProbe
{
    std::thread::id ranOn;
    uintptr_t value = 0;
    uintptr_t extra = 0;
    bool internal = false;
};

int MORAVEL_CALL safelyFn(MoravelCallbackRecord* rec)
{
    auto* p = static_cast<SafelyProbe*>(rec->user);
    p->ranOn = std::this_thread::get_id();
    p->value = rec->value;
    p->extra = rec->extra;
    p->internal = SCHEAGENT_IsInternalThread(rec->agent) != 0;
    EXPECT_EQ(rec->token, nullptr);
    return 77;
}

TEST_P(AgentTest, DoSomethingSafelyRunsOnTheLoopThreadFromAnyThread)
{
    // From a thread that is not the loop thread: queued, and the answer is fn's result.
    SafelyProbe probe;
    std::atomic<int> result{-1};
    std::thread::id callerThread;
    std::thread caller([&] {
        callerThread = std::this_thread::get_id();
        result = SCHEAGENT_DoSomethingSafely(agent.get(), safelyFn, &probe, 5, 6);
    });
    ASSERT_TRUE(agent.until([&] { return result.load() != -1; }, 3000ms));
    caller.join();
    EXPECT_EQ(result.load(), 77);
    EXPECT_NE(probe.ranOn, callerThread);
    EXPECT_TRUE(probe.internal);
    EXPECT_EQ(probe.value, 5u);
    EXPECT_EQ(probe.extra, 6u);

    // From the loop thread (inside a callback): runs at once, without queueing.
    struct Inner
    {
        SafelyProbe probe;
        int result = -1;
        int echoBefore = -1;
        Collector* c;
    } inner;
    inner.c = &collector;
    MoravelToken t{};
    ASSERT_EQ(SCHEAGENT_AddTimerToken(
                  agent.get(), &t,
                  [](MoravelCallbackRecord* rec) -> int {
                      auto* in = static_cast<Inner*>(rec->user);
                      in->echoBefore = SCHEAGENT_Echo(rec->agent);
                      in->result =
                          SCHEAGENT_DoSomethingSafely(rec->agent, safelyFn, &in->probe, 1, 2);
                      MoravelCallbackRecord r = *rec;
                      r.user = in->c;
                      return Collector::callback(&r);
                  },
                  &inner, 0),
              0);
    ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 2000ms));
    EXPECT_EQ(inner.result, 77);
    EXPECT_EQ(inner.probe.ranOn, collector.calls()[0].thread);
    EXPECT_EQ(SCHEAGENT_Echo(agent.get()), 0);
}

TEST_P(AgentTest, CallerDrivenOrOwnThreadLoopIdentity)
{
    MoravelToken t{};
    ASSERT_EQ(SCHEAGENT_AddTimerToken(agent.get(), &t, Collector::callback, &collector, 0), 0);
    if (!agent.ownThread()) {
        EXPECT_EQ(SCHEAGENT_HandleFromUI(agent.get()), 0);
        EXPECT_EQ(collector.count(), 1u);
        EXPECT_TRUE(SCHEAGENT_IsInternalThread(agent.get()));
        EXPECT_EQ(collector.calls()[0].thread, std::this_thread::get_id());
    } else {
        ASSERT_TRUE(agent.until([&] { return collector.count() == 1; }, 2000ms));
        EXPECT_FALSE(SCHEAGENT_IsInternalThread(agent.get()));
        EXPECT_NE(collector.calls()[0].thread, std::this_thread::get_id());
    }
    EXPECT_EQ(SCHEAGENT_GetScheduler(agent.get()), agent.get());
}

TEST_P(AgentTest, BlockPoolHandsOutDistinctWritableBlocks)
{
    std::vector<void*> blocks;
    for (uint32_t size : {1u, 8u, 9u, 128u, 129u, 2400u, 5000u, 70000u}) {
        void* p = nullptr;
        ASSERT_EQ(SCHEAGENT_RequestMemory(agent.get(), &p, size), 0) << size;
        ASSERT_NE(p, nullptr);
        std::memset(p, 0xAB, size);
        blocks.push_back(p);
    }
    for (void* p : blocks) {
        EXPECT_EQ(SCHEAGENT_ReturnMemory(agent.get(), p), 0);
    }
    // A block given back twice is refused rather than corrupting the pool.
    EXPECT_EQ(SCHEAGENT_ReturnMemory(agent.get(), blocks[0]), MORAVEL_E_INVALIDARG);
}

INSTANTIATE_TEST_SUITE_P(Agent, AgentTest, ::testing::Bool(), threadName);

TEST(AgentArguments, NullAndOutOfRangeArgumentsAreRefused)
{
    AgentHolder holder(false);
    MoravelAgent* a = holder.get();
    MoravelToken t{};
    Collector c;
    void* p = &c;
    MoravelAgent* nullAgent = nullptr;
    struct Case
    {
        const char* name;
        int32_t result;
    };
    const Case cases[] = {
        {"Initialize(NULL)", SCHEAGENT_Initialize(nullptr, 1)},
        {"Release(NULL)", SCHEAGENT_Release(nullptr)},
        {"Release(&NULL)", SCHEAGENT_Release(&nullAgent)},
        {"WorkProc", SCHEAGENT_WorkProc(nullptr)},
        {"HandleFromUI", SCHEAGENT_HandleFromUI(nullptr)},
        {"Timer agent", SCHEAGENT_AddTimerToken(nullptr, &t, Collector::callback, &c, 0)},
        {"Timer token", SCHEAGENT_AddTimerToken(a, nullptr, Collector::callback, &c, 0)},
        {"Timer callback", SCHEAGENT_AddTimerToken(a, &t, nullptr, &c, 0)},
        {"Extended payload",
         SCHEAGENT_AddExtendedTimerToken(a, &t, Collector::callback, &c, 0, nullptr, 4)},
        {"General work",
         SCHEAGENT_AddGeneralToken(a, &t, Collector::callback, &c, nullptr, nullptr, nullptr)},
        {"Socket negative",
         SCHEAGENT_AddSocketOperToken(a, &t, Collector::callback, &c, -1, 4, p, 0, 0)},
        {"Socket buffer",
         SCHEAGENT_AddSocketOperToken(a, &t, Collector::callback, &c, 0, 4, nullptr, 0, 0)},
        {"Socket nothing",
         SCHEAGENT_AddSocketOperToken(a, &t, Collector::callback, &c, 0, 0, nullptr, 0, 1)},
        {"Remove", SCHEAGENT_RemoveToken(nullptr, 0, 0)},
        {"RemoveSocket", SCHEAGENT_RemoveSocketOperToken(nullptr, 0, 0)},
        {"Safely fn", SCHEAGENT_DoSomethingSafely(a, nullptr, nullptr, 0, 0)},
        {"RequestMemory size 0", SCHEAGENT_RequestMemory(a, &p, 0)},
        {"RequestMemory out", SCHEAGENT_RequestMemory(a, nullptr, 8)},
        {"ReturnMemory foreign", SCHEAGENT_ReturnMemory(a, nullptr)},
        {"RawMemAlloc 0", RawMemAlloc(0, &p)},
        {"RawMemFree NULL", RawMemFree(nullptr)},
        {"Resolve request", SMO_ResolveIP_Init(a, &t, Collector::callback, &c, nullptr, nullptr)},
        {"Conn params", SMO_SocketConn_Init(a, &t, Collector::callback, &c, nullptr, nullptr)},
        {"Accept listener",
         SMO_SocketAccept_Init(a, &t, Collector::callback, &c, nullptr, nullptr)},
        {"SOCK_TO_COMM_TI data",
         SOCK_TO_COMM_TI(reinterpret_cast<MoravelTransport**>(&p), a, 0, 0, 10, nullptr, 0)},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(k.result, MORAVEL_E_INVALIDARG) << k.name;
    }
    // None of them queued anything, so no callback can follow.
    for (int i = 0; i < 3; ++i) {
        SCHEAGENT_HandleFromUI(a);
    }
    EXPECT_EQ(c.count(), 0u);
    EXPECT_EQ(SCHEAGENT_Echo(a), 0);
    EXPECT_EQ(SCHEAGENT_Echo(nullptr), 0);
    EXPECT_FALSE(SCHEAGENT_IsInternalThread(nullptr));
    EXPECT_EQ(STATOKEN_TouchToken(nullptr), 0u);
}

// Wake-ups from other threads must never be lost: several threads hand work to the loop at once
// for a while, and afterwards a short timer queued from outside still fires long before the
// loop's idle wait (5 s) would end on its own.
TEST(AgentWakeups, WakeupsFromManyThreadsAreNeverLost)
{
    Collector collector; // outlives the agent: nothing calls into it after a failed wait
    MoravelToken t{};
    AgentHolder agent(true);
    std::atomic<bool> done{false};
    std::atomic<long> calls{0};
    std::vector<std::thread> hammers;
    for (int i = 0; i < 4; ++i) {
        hammers.emplace_back([&] {
            while (!done.load()) {
                SCHEAGENT_DoSomethingSafely(
                    agent.get(), [](MoravelCallbackRecord*) -> int { return 0; }, nullptr, 0, 0);
                ++calls;
            }
        });
    }
    std::this_thread::sleep_for(500ms); // the length of the hammering, not a check
    done = true;
    for (std::thread& t : hammers)
        t.join();
    EXPECT_GT(calls.load(), 0);

    ASSERT_EQ(SCHEAGENT_AddTimerToken(agent.get(), &t, Collector::callback, &collector, 1), 0);
    EXPECT_TRUE(agent.until([&] { return collector.count() == 1; }, 2500ms))
        << "a wake-up was lost after " << calls.load() << " calls";
}

TEST(AgentMemory, RawMemoryIsZeroFilledAndClearedOnFree)
{
    void* p = nullptr;
    ASSERT_EQ(RawMemAlloc(64, &p), 0);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(static_cast<unsigned char*>(p)[i], 0);
    }
    EXPECT_EQ(RawMemFree(&p), 0);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(RawMemFree(&p), 0); // freeing a cleared pointer is harmless
}

TEST(AgentRelease, ReleaseWithQueuedWorkCallsNothingBackAndClearsThePointer)
{
    for (bool own : {true, false}) {
        MoravelAgent* a = nullptr;
        ASSERT_EQ(SCHEAGENT_Initialize(&a, own ? 1 : 0), 0);
        Collector c;
        MoravelToken t1{}, t2{};
        auto [client, server] = tcpPair();
        char buf[4];
        ASSERT_EQ(SCHEAGENT_AddTimerToken(a, &t1, Collector::callback, &c, 60000), 0);
        ASSERT_EQ(SMO_SocketRead_Init(a, &t2, Collector::callback, &c, server, 4, buf, 0), 0);
        EXPECT_EQ(SCHEAGENT_Release(&a), 0);
        EXPECT_EQ(a, nullptr);
        EXPECT_EQ(c.count(), 0u);
        close(client);
        close(server);
    }
}

} // namespace
