// The library against a responder on loopback: what reaches the callback, and what must not.
#include "PyxeraCollector.h"
#include "TestResponder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

uint16_t le16(const Record& r, size_t off)
{
    return uint16_t(r[off] | (r[off + 1] << 8));
}

uint32_t le32(const Record& r, size_t off)
{
    return uint32_t(le16(r, off)) | (uint32_t(le16(r, off + 2)) << 16);
}

std::string textAt(const Record& r, size_t off)
{
    return reinterpret_cast<const char*>(r.data() + off);
}

uint32_t hostAddress(const std::string& dotted)
{
    in_addr a{};
    inet_pton(AF_INET, dotted.c_str(), &a);
    return ntohl(a.s_addr);
}

class PyxeraLive : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Plain discovery must not leave the machine during tests.
        setenv("PYXERA_LOOPBACK_ONLY", "1", 1);
        port = TestResponder::freePort();
        auto params = pyxeraParams(port);
        ASSERT_EQ(Pyxera_Create(&handle, params.data()), PYXERA_OK);
        ASSERT_EQ(Pyxera_SetCallback(handle, &collector, &PyxeraCollector::callback), PYXERA_OK);
        ASSERT_EQ(Pyxera_Start(handle), PYXERA_OK);
    }
    void TearDown() override
    {
        EXPECT_EQ(Pyxera_Stop(handle), PYXERA_OK);
        collector.stopReturned = true;
        EXPECT_EQ(Pyxera_Close(&handle), PYXERA_OK);
        EXPECT_EQ(collector.lateCallbacks, 0);
    }

    std::vector<TestDevice> devices(const std::string& prefix, std::initializer_list<int> hosts)
    {
        std::vector<TestDevice> out;
        for (int h : hosts) {
            const std::string a = prefix + std::to_string(h);
            out.push_back({a, TestResponder::makeAnswer(a, uint8_t(h))});
        }
        return out;
    }

    uint16_t port = 0;
    PyxeraHandle handle = nullptr;
    PyxeraCollector collector;
};

} // namespace

TEST_F(PyxeraLive, PlainDiscoveryDeliversEachDeviceOnceWithTheRecordLayout)
{
    auto devs = devices("127.0.41.", {11, 12, 13});
    std::strcpy(devs[1].answer.info, "N3100-QXOR-2.0.1");
    std::strcpy(devs[1].answer.model, "N3100");
    devs[1].answer.http_port = 8081;
    devs[1].answer.cms_port = 3455;
    devs[1].answer.https_port = 8444;
    devs[1].answer.number = 0x11223344u;
    std::strcpy(devs[1].answer.extra, "the second text");
    TestResponder responder(port, devs);
    ASSERT_EQ(Pyxera_Discovery(handle), PYXERA_OK);
    ASSERT_TRUE(collector.waitFor(3, 5000));

    // The probe goes out twice; wait for the second and for a fresh device answered after it,
    // so that the duplicate answers have been read before we count.
    ASSERT_TRUE([&] {
        for (int i = 0; i < 300 && responder.probesOnWildcard() < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return responder.probesOnWildcard() >= 2;
    }());
    responder.sendAnswer(0, TestResponder::makeAnswer("127.0.41.99", 99), responder.lastProbeId());
    ASSERT_TRUE(collector.waitFor(4, 5000));
    ASSERT_EQ(collector.size(), 4u) << "duplicate answers of the resent probe were delivered";

    Record n3100{};
    for (const auto& r : collector.records) {
        if (textAt(r, PYXERA_REC_IP) == "127.0.41.12")
            n3100 = r;
    }
    EXPECT_EQ(textAt(n3100, PYXERA_REC_INFO), "N3100-QXOR-2.0.1");
    const unsigned char mac[6] = {0x00, 0x1A, 0x07, 0x41, 0x00, 12};
    EXPECT_EQ(0, std::memcmp(n3100.data() + PYXERA_REC_MAC, mac, 6));
    EXPECT_EQ(textAt(n3100, PYXERA_REC_MODEL), "N3100");
    EXPECT_EQ(le16(n3100, PYXERA_REC_HTTP_PORT), 8081);
    EXPECT_EQ(le32(n3100, PYXERA_REC_NUMBER), 0x11223344u);
    EXPECT_EQ(textAt(n3100, PYXERA_REC_EXTRA), "the second text");
    EXPECT_EQ(le16(n3100, PYXERA_REC_CMS_PORT), 3455);
    EXPECT_EQ(le16(n3100, PYXERA_REC_HTTPS_PORT), 8444);
    EXPECT_EQ(collector.otherEvents, 0);
}

struct Junk
{
    const char* name;
    std::vector<uint8_t> (*make)(uint32_t probeId);
};

static std::vector<uint8_t> encoded(pxw_answer a)
{
    std::vector<uint8_t> b(PXW_ANSWER_MAX_SIZE);
    size_t n = 0;
    pxw_encode_answer(&a, b.data(), b.size(), &n);
    b.resize(n);
    return b;
}

class PyxeraJunk : public PyxeraLive, public ::testing::WithParamInterface<Junk>
{
};

// A crafted datagram arrives at the library's socket, then a valid answer from the same socket;
// only the valid one may reach the callback, and intact.
TEST_P(PyxeraJunk, NeverReachesTheCallback)
{
    TestResponder responder(port, devices("127.0.42.", {1}), false);
    const uint32_t range[2] = {hostAddress("127.0.42.1"), hostAddress("127.0.42.1")};
    ASSERT_EQ(Pyxera_DiscoveryByRangeIP(handle, range), PYXERA_OK);
    ASSERT_TRUE(collector.waitFor(1, 5000));
    const uint32_t id = responder.lastProbeId();

    responder.sendRaw(0, GetParam().make(id));
    pxw_answer sentinel = TestResponder::makeAnswer("127.0.42.77", 77);
    responder.sendAnswer(0, sentinel, id);
    ASSERT_TRUE(collector.waitFor(2, 5000));
    ASSERT_EQ(collector.size(), 2u);
    EXPECT_EQ(collector.addresses()[1], "127.0.42.77");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PyxeraJunk,
    ::testing::Values(Junk{"empty", [](uint32_t) { return std::vector<uint8_t>{}; }},
                      Junk{"text",
                           [](uint32_t) {
                               return std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'};
                           }},
                      Junk{"other_probe",
                           [](uint32_t id) {
                               pxw_answer a = TestResponder::makeAnswer("127.0.42.50", 50);
                               a.probe_id = id + 1;
                               return encoded(a);
                           }},
                      Junk{"truncated",
                           [](uint32_t id) {
                               pxw_answer a = TestResponder::makeAnswer("127.0.42.51", 51);
                               a.probe_id = id;
                               auto b = encoded(a);
                               b.resize(b.size() - 3);
                               return b;
                           }},
                      Junk{"oversized",
                           [](uint32_t id) {
                               pxw_answer a = TestResponder::makeAnswer("127.0.42.52", 52);
                               a.probe_id = id;
                               auto b = encoded(a);
                               b.push_back(
                                   200); // an unknown tag padding the answer past the largest size
                               b.push_back(255);
                               b.resize(PXW_ANSWER_MAX_SIZE + 40, 'p');
                               return b;
                           }},
                      Junk{"probe_echo",
                           [](uint32_t id) {
                               pxw_probe p{id, 0, 0};
                               std::vector<uint8_t> b(PXW_PROBE_SIZE);
                               size_t n = 0;
                               pxw_encode_probe(&p, b.data(), b.size(), &n);
                               return b;
                           }}),
    [](const ::testing::TestParamInfo<Junk>& i) { return std::string(i.param.name); });

TEST_F(PyxeraLive, FloodOfAnswersDeliversOnlyIntactRecords)
{
    TestResponder responder(port, devices("127.0.43.", {1}), false);
    const uint32_t range[2] = {hostAddress("127.0.43.1"), hostAddress("127.0.43.1")};
    ASSERT_EQ(Pyxera_DiscoveryByRangeIP(handle, range), PYXERA_OK);
    ASSERT_TRUE(collector.waitFor(1, 5000));
    const uint32_t id = responder.lastProbeId();
    // Far more than the socket buffer holds: garbage, bad ids and valid answers interleaved.
    for (int i = 0; i < 20000; ++i) {
        pxw_answer a = TestResponder::makeAnswer("127.0.43." + std::to_string(i % 250), 0);
        a.mac[4] = uint8_t(i >> 8);
        a.mac[5] = uint8_t(i);
        auto b = encoded(a);
        switch (i % 4) {
        case 0:
            responder.sendAnswer(0, a, id);
            break;
        case 1:
            responder.sendAnswer(0, a, id ^ 0x5A5A5A5Au);
            break;
        case 2:
            b[i % b.size()] ^= 0xFF;
            responder.sendRaw(0, b);
            break;
        default:
            b.resize(size_t(i) % b.size());
            responder.sendRaw(0, b);
            break;
        }
    }
    responder.sendAnswer(0, TestResponder::makeAnswer("127.0.43.254", 254), id);
    collector.waitFor(5001, 3000); // whatever survived the flood
    std::lock_guard<std::mutex> lock(collector.mutex);
    ASSERT_GE(collector.records.size(), 2u);
    for (const auto& r : collector.records) {
        EXPECT_EQ(textAt(r, PYXERA_REC_INFO), "Q2710-QXOR-4.12.7");
        EXPECT_EQ(textAt(r, PYXERA_REC_MODEL), "Q2710");
        EXPECT_EQ(le16(r, PYXERA_REC_HTTP_PORT), 80);
        EXPECT_EQ(le32(r, PYXERA_REC_NUMBER), 0x00C0FFEEu);
        EXPECT_EQ(textAt(r, PYXERA_REC_IP).rfind("127.0.43.", 0), 0u);
    }
}

TEST_F(PyxeraLive, RangeDiscoveryProbesEachAddressAndRetriesTheSilentOnes)
{
    auto devs = devices("127.0.44.", {10, 20, 30});
    devs[1].dropProbes = 1; // the first probe to .20 is "lost"
    TestResponder responder(port, devs, false);
    const uint32_t range[2] = {hostAddress("127.0.44.1"), hostAddress("127.0.44.40")};
    ASSERT_EQ(Pyxera_DiscoveryByRangeIP(handle, range), PYXERA_OK);
    ASSERT_TRUE(collector.waitFor(3, 10000));
    auto found = collector.addresses();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"127.0.44.10", "127.0.44.20", "127.0.44.30"}));
    EXPECT_EQ(responder.unicastProbesTo("127.0.44.10"), 1) << "an answered address is not retried";
    EXPECT_EQ(responder.unicastProbesTo("127.0.44.20"), 2);
    EXPECT_EQ(responder.probesOnWildcard(), 0);
}

TEST_F(PyxeraLive, NoCallbackRunsAfterStopReturns)
{
    TestResponder responder(port, devices("127.0.45.", {1}), false);
    const uint32_t range[2] = {hostAddress("127.0.45.1"), hostAddress("127.0.45.1")};
    ASSERT_EQ(Pyxera_DiscoveryByRangeIP(handle, range), PYXERA_OK);
    ASSERT_TRUE(collector.waitFor(1, 5000));
    const uint32_t id = responder.lastProbeId();
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (uint8_t i = 2; !done; ++i)
            responder.sendAnswer(0, TestResponder::makeAnswer("127.0.45.1", i ? i : 1), id);
    });
    ASSERT_TRUE(collector.waitFor(20, 5000));
    EXPECT_EQ(Pyxera_Stop(handle), PYXERA_OK);
    collector.stopReturned = true;
    const size_t atStop = collector.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // answers keep coming meanwhile
    done = true;
    sender.join();
    EXPECT_EQ(collector.size(), atStop);
    EXPECT_EQ(collector.lateCallbacks, 0);
}

TEST_F(PyxeraLive, CallbackCannotStopItsOwnInstance)
{
    struct Ctx
    {
        PyxeraHandle h;
        std::atomic<int> rc{1};
    } ctx;
    ctx.h = handle;
    ASSERT_EQ(Pyxera_Stop(handle), PYXERA_OK);
    ASSERT_EQ(Pyxera_SetCallback(handle, &ctx,
                                 [](void* c, int, const void*) {
                                     auto* x = static_cast<Ctx*>(c);
                                     x->rc = Pyxera_Stop(x->h);
                                     return 0;
                                 }),
              PYXERA_OK);
    ASSERT_EQ(Pyxera_Start(handle), PYXERA_OK);
    TestResponder responder(port, devices("127.0.46.", {1}), false);
    const uint32_t range[2] = {hostAddress("127.0.46.1"), hostAddress("127.0.46.1")};
    ASSERT_EQ(Pyxera_DiscoveryByRangeIP(handle, range), PYXERA_OK);
    for (int i = 0; i < 500 && ctx.rc == 1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ctx.rc, PYXERA_ERR_STATE);
}
