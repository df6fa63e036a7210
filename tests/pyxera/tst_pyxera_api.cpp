// The library's calls refuse bad arguments and calls out of order, and never start anything
// when they fail.
#include "PyxeraCollector.h"
#include "TestResponder.h"

#include <gtest/gtest.h>

namespace {

int noop(void*, int, const void*)
{
    return 0;
}

struct RangeCase
{
    const char* name;
    uint32_t first;
    uint32_t last;
    int expected;
};

class PyxeraRange : public ::testing::TestWithParam<RangeCase>
{
};

} // namespace

TEST(PyxeraApi, CreateRefusesBadArguments)
{
    PyxeraHandle h = reinterpret_cast<PyxeraHandle>(0x1);
    auto good = pyxeraParams(5678);
    EXPECT_EQ(Pyxera_Create(nullptr, good.data()), PYXERA_ERR_ARG);
    EXPECT_EQ(Pyxera_Create(&h, nullptr), PYXERA_ERR_ARG);
    EXPECT_EQ(h, nullptr) << "the handle slot is cleared first";
    auto noPort = pyxeraParams(0);
    EXPECT_EQ(Pyxera_Create(&h, noPort.data()), PYXERA_ERR_ARG);
    auto badMode = pyxeraParams(5678, 2);
    EXPECT_EQ(Pyxera_Create(&h, badMode.data()), PYXERA_ERR_ARG);
    EXPECT_EQ(h, nullptr);
    ASSERT_EQ(Pyxera_Create(&h, good.data()), PYXERA_OK);
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(Pyxera_Close(&h), PYXERA_OK);
    EXPECT_EQ(h, nullptr);
}

TEST(PyxeraApi, CallsOutOfOrderAreRefused)
{
    PyxeraHandle h = nullptr;
    auto params = pyxeraParams(5678);
    ASSERT_EQ(Pyxera_Create(&h, params.data()), PYXERA_OK);
    const uint32_t range[2] = {0x7F000001u, 0x7F000002u};
    EXPECT_EQ(Pyxera_Start(h), PYXERA_ERR_STATE) << "no callback yet";
    EXPECT_EQ(Pyxera_Discovery(h), PYXERA_ERR_STATE) << "not started";
    EXPECT_EQ(Pyxera_DiscoveryByRangeIP(h, range), PYXERA_ERR_STATE);
    EXPECT_EQ(Pyxera_SetCallback(h, nullptr, nullptr), PYXERA_ERR_ARG);
    ASSERT_EQ(Pyxera_SetCallback(h, nullptr, noop), PYXERA_OK);
    ASSERT_EQ(Pyxera_Start(h), PYXERA_OK);
    EXPECT_EQ(Pyxera_Start(h), PYXERA_ERR_STATE) << "already started";
    EXPECT_EQ(Pyxera_SetCallback(h, nullptr, noop), PYXERA_ERR_STATE);
    EXPECT_EQ(Pyxera_Stop(h), PYXERA_OK);
    EXPECT_EQ(Pyxera_Stop(h), PYXERA_OK) << "stopping a stopped instance succeeds";
    EXPECT_EQ(Pyxera_Discovery(h), PYXERA_ERR_STATE) << "stopped";
    // An instance can be started again after a stop.
    EXPECT_EQ(Pyxera_Start(h), PYXERA_OK);
    EXPECT_EQ(Pyxera_Close(&h), PYXERA_OK) << "close stops a started instance";
    EXPECT_EQ(Pyxera_Close(&h), PYXERA_OK) << "closing a closed slot is a no-op";
    EXPECT_EQ(Pyxera_Close(nullptr), PYXERA_ERR_ARG);
    EXPECT_EQ(Pyxera_Stop(nullptr), PYXERA_ERR_ARG);
    EXPECT_EQ(Pyxera_Discovery(nullptr), PYXERA_ERR_ARG);
    EXPECT_EQ(Pyxera_Start(nullptr), PYXERA_ERR_ARG);
}

TEST_P(PyxeraRange, EndpointsAreChecked)
{
    const RangeCase& c = GetParam();
    PyxeraHandle h = nullptr;
    auto params = pyxeraParams(TestResponder::freePort());
    ASSERT_EQ(Pyxera_Create(&h, params.data()), PYXERA_OK);
    ASSERT_EQ(Pyxera_SetCallback(h, nullptr, noop), PYXERA_OK);
    ASSERT_EQ(Pyxera_Start(h), PYXERA_OK);
    const uint32_t range[2] = {c.first, c.last};
    EXPECT_EQ(Pyxera_DiscoveryByRangeIP(h, range), c.expected);
    EXPECT_EQ(Pyxera_DiscoveryByRangeIP(h, nullptr), PYXERA_ERR_ARG);
    EXPECT_EQ(Pyxera_Close(&h), PYXERA_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PyxeraRange,
    ::testing::Values(RangeCase{"single_address", 0x7F002A01u, 0x7F002A01u, PYXERA_OK},
                      RangeCase{"end_below_start", 0x7F002A02u, 0x7F002A01u, PYXERA_ERR_RANGE},
                      RangeCase{"largest_allowed", 0x7F000000u, 0x7FFFFFFFu, PYXERA_OK},
                      RangeCase{"one_too_many", 0x7E000000u, 0x7F000000u, PYXERA_ERR_RANGE},
                      RangeCase{"whole_space", 0x00000000u, 0xFFFFFFFFu, PYXERA_ERR_RANGE}),
    [](const ::testing::TestParamInfo<RangeCase>& i) { return std::string(i.param.name); });
