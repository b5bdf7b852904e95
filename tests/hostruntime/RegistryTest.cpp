// The emulated session-key registry on its own: what a synchronisation component relies on.
#include <gtest/gtest.h>

#include <cstdint>

#include "zyemu/registry.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { zyajel_reset(); }
    void TearDown() override { zyajel_reset(); }
    ZyAjelTablePair pairs[ZYAJEL_TABLE_COUNT] = {
        {&pairs, 1}, {&pairs, 2}, {&pairs, 3}, {&pairs, 4}, {&pairs, 5}};
};

TEST_F(RegistryTest, KeysAreDistinctNonZeroAndNotReusedAfterRelease) {
    int32_t status = 0;
    const uint32_t first = zyajel_registerSessionGetKey(1, 2, pairs, 3, 4, &status);
    zyajel_unregisterSession(first, &status);
    const uint32_t second = zyajel_registerSessionGetKey(1, 2, pairs, 3, 4, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_EQ(zyajel_registration_count(), 1u);
    ZyAjelTablePair found[ZYAJEL_TABLE_COUNT] = {};
    ASSERT_EQ(zyajel_find(second, found), 0);
    EXPECT_EQ(found[4].context, 5u);
    EXPECT_EQ(zyajel_find(first, found), -1);
}

TEST_F(RegistryTest, BadInputIsReportedThroughTheStatus) {
    int32_t status = 0;
    EXPECT_EQ(zyajel_registerSessionGetKey(0, 0, nullptr, 0, 0, &status), 0u);
    EXPECT_EQ(status, -52005);
    status = 0;
    zyajel_unregisterSession(77, &status);
    EXPECT_EQ(status, -52005);
    zyajel_unregisterSession(77, nullptr);  // no status to report to: ignored
    EXPECT_EQ(zyajel_unregistration_total(), 0u);
    EXPECT_EQ(zyajel_find(0, nullptr), -1);
}

}  // namespace
