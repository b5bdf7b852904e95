// Memory running out inside the emulated runtime gives a status, never an exception through
// the C entry points, and leaves sessions, the call log and the fault table consistent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FailingAllocator.h"
#include "channel/FpgaRuntime.h"
#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace {

// Runs call with allocation number `before` failing (and, when onward, all after it) and
// returns its result; anyFailed tells whether any allocation did fail. The assertions of the
// caller run with memory back.
template <class Call>
auto withFailingAllocation(long before, bool onward, bool& anyFailed, Call&& call) {
    zytest::failAllocation(static_cast<std::size_t>(before), onward);
    auto result = call();
    anyFailed = zytest::stopFailingAllocations();
    return result;
}

// Far more allocations than any call below makes: each sweep ends with a call that had all
// its allocations.
constexpr long kSweepLimit = 20000;
constexpr uint32_t kStoredImageOpen = 0xC0000000u;

class AllocationFailureTest : public zytest::EmulatorTest,
                              public ::testing::WithParamInterface<bool> {};

// Every allocation of a client call may fail, even those of the failure's own elaboration.
TEST_P(AllocationFailureTest, ClientCallGivesItsStatusOrOutOfMemory) {
    uint32_t session = 0;
    ASSERT_EQ(ZyFpgaDll_Open(ZYOSTREL_IMAGE_DEFAULT, nullptr, ZYEMU_RESOURCE_DEFAULT,
                             kStoredImageOpen, &session),
              0);
    const std::vector<uint8_t> record(64, 0xA5);  // an interface nobody answers
    int32_t status = 0;
    bool failing = true;
    long before = 0;
    for (; before < kSweepLimit && failing; ++before) {
        SCOPED_TRACE(before);
        const std::size_t logged = zyemu_call_count();
        status = withFailingAllocation(before, GetParam(), failing, [&] {
            return ZyFpgaDll_ClientFunctionCall(session, 2, 256, record.data(), record.size(),
                                                nullptr, 0);
        });
        ASSERT_TRUE(status == ZYEMU_STATUS_OUT_OF_MEMORY || status == ZYEMU_STATUS_UNKNOWN_COMMAND)
            << status;
        // A call either never reached the log or shows there what its caller got.
        ASSERT_LE(zyemu_call_count(), logged + 1);
        if (zyemu_call_count() == logged + 1) {
            EXPECT_EQ(lastCall().status, status);
        }
        const std::string elaboration = zytest::elaborationOf(session);
        if (status == ZYEMU_STATUS_OUT_OF_MEMORY && !GetParam()) {
            EXPECT_NE(elaboration.find("out of memory"), std::string::npos) << elaboration;
        }
    }
    EXPECT_GT(before, 2);
    EXPECT_EQ(status, ZYEMU_STATUS_UNKNOWN_COMMAND);
    EXPECT_NE(zytest::elaborationOf(session).find("kUsageTypeInterface"), std::string::npos);
    EXPECT_EQ(ZyFpgaDll_Close(session, 0), 0);
}

// Control functions fail as a whole: a fault is added or not, a reset happens or not.
TEST_P(AllocationFailureTest, ControlFunctionsChangeNothingWhenTheyFail) {
    const uint8_t reply[32] = {1, 2, 3};
    ZyEmuFault fault{};
    fault.reply = reply;
    fault.replySize = sizeof reply;
    int32_t added = 0;
    bool failing = true;
    for (long before = 0; before < kSweepLimit && failing; ++before) {
        added = withFailingAllocation(before, GetParam(), failing,
                                      [&] { return zyemu_add_fault(&fault); });
        ASSERT_TRUE(added > 0 || (failing && added == ZYEMU_STATUS_OUT_OF_MEMORY)) << added;
    }
    EXPECT_GT(added, 0);
    EXPECT_EQ(zyemu_fault_hits(added), 0u);
    zyemu_clear_faults();

    uint32_t session = 0;
    ASSERT_EQ(ZyFpgaDll_Open(ZYOSTREL_IMAGE_DEFAULT, nullptr, ZYEMU_RESOURCE_DEFAULT,
                             kStoredImageOpen, &session),
              0);
    const std::size_t logged = zyemu_call_count();
    withFailingAllocation(0, true, failing, [] {
        zyemu_reset();
        return 0;
    });
    EXPECT_TRUE(failing);
    EXPECT_EQ(zyemu_open_session_count(), 1u);
    EXPECT_EQ(zyemu_call_count(), logged);
    EXPECT_EQ(ZyFpgaDll_Close(session, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(OneOrAllFollowing, AllocationFailureTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "EveryFollowingFails" : "OneFails";
                         });

}  // namespace
