// What keeps the emulated runtime sound over a long run: a handle names one open session, also
// after the counter wraps; a resource takes a bounded number of sessions; the call log keeps
// the most recent calls within its limits and counts the ones it dropped.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "channel/FpgaRuntime.h"
#include "support/EmulatorFixture.h"

namespace {

class RuntimeLimitsTest : public zytest::EmulatorTest {
protected:
    void TearDown() override {
        zyemu_reset();  // closes what the test left open
        EmulatorTest::TearDown();
    }
    // The handle of a new session on the default image, or the failing status.
    static int64_t open(const char* resource = ZYEMU_RESOURCE_DEFAULT) {
        uint32_t handle = 0;
        const int32_t status = zyOstrel_OpenSession(resource, nullptr, 0, &handle);
        return status != 0 ? status : int64_t{handle};
    }
    static ZyEmuLogState logState() {
        ZyEmuLogState state{};
        EXPECT_EQ(zyemu_get_log_state(&state), 0);
        return state;
    }
};

TEST_F(RuntimeLimitsTest, WrappedHandleCounterPassesOverOpenSessions) {
    ASSERT_EQ(open(), 1);
    ASSERT_EQ(open(), 2);
    zyemu_set_next_handle(0xFFFFDFFF);  // the last value without 0x2000
    EXPECT_EQ(open(), 0xFFFFDFFF);
    EXPECT_EQ(open(), 3) << "past the values with 0x2000, 0 and the open 1 and 2";
    EXPECT_EQ(ZyFpgaDll_Close(3, 0), 0);
    EXPECT_GE(zyemu_last_elaboration(1, nullptr, 0), 0) << "the first session is still open";

    // Simulated handles are the same values with 0x2000, checked apart from ordinary ones.
    zyemu_set_next_handle(1);
    EXPECT_EQ(open(ZYEMU_RESOURCE_SIMULATED), 0x2001);
    zyemu_set_next_handle(1);
    EXPECT_EQ(open(ZYEMU_RESOURCE_SIMULATED), 0x2002);
    zyemu_set_next_handle(0x2000);
    EXPECT_EQ(open(), 0x4000);
}

TEST_F(RuntimeLimitsTest, ResourceRefusesSessionsBeyondItsLimit) {
    for (uint32_t i = 0; i < ZYEMU_MAX_SESSIONS_PER_RESOURCE; ++i) ASSERT_GT(open(), 0);
    EXPECT_EQ(open(), ZYEMU_STATUS_SESSION_LIMIT);
    EXPECT_EQ(zyemu_open_session_count(), ZYEMU_MAX_SESSIONS_PER_RESOURCE);
    EXPECT_GT(open(ZYEMU_RESOURCE_SECOND), 0) << "the limit is per resource";
    EXPECT_EQ(ZyFpgaDll_Close(1, 0), 0);
    EXPECT_GT(open(), 0) << "a close makes room";
}

TEST_F(RuntimeLimitsTest, LogKeepsTheMostRecentCallsWithinItsLimits) {
    const auto session = static_cast<uint32_t>(open());
    zyemu_clear_log();
    zyemu_set_log_limit(3, ZYEMU_LOG_DEFAULT_MAX_BYTES);
    const int32_t fault = zytest::Fault::callAt(4).status(-77).add();
    uint8_t value = 0;
    for (uint32_t offset = 0; offset < 5; ++offset) ZyFpgaDll_ReadU8(session, offset, &value);
    EXPECT_EQ(zyemu_fault_hits(fault), 1u) << "the call index counts dropped calls";
    std::vector<uint32_t> offsets;
    for (const ZyEmuCall& call : calls()) offsets.push_back(call.word);
    EXPECT_EQ(offsets, (std::vector<uint32_t>{2, 3, 4}));
    EXPECT_EQ(logState().dropped, 2u);
    zyemu_set_log_limit(0, ZYEMU_LOG_DEFAULT_MAX_BYTES);  // applies at once
    EXPECT_EQ(logState().calls, 0u);

    // Input copies count against the bytes; a call larger than the limit is still answered.
    zyemu_set_log_limit(100, 64 * 1024);
    std::vector<uint8_t> input(64 * 1024);
    const auto send = [&](std::size_t size) {
        return ZyFpgaDll_ClientFunctionCall(session, 2, 9999, input.data(), size, nullptr, 0);
    };
    for (int i = 0; i < 3; ++i) EXPECT_EQ(send(24 * 1024), ZYEMU_STATUS_UNKNOWN_COMMAND);
    EXPECT_EQ(logState().calls, 2u);
    EXPECT_LE(logState().bytes, 64u * 1024);
    EXPECT_EQ(send(64 * 1024), ZYEMU_STATUS_UNKNOWN_COMMAND);
    EXPECT_EQ(logState().calls, 0u);
    EXPECT_EQ(logState().dropped, 9u);

    zyemu_reset();
    EXPECT_EQ(logState().maxCalls, ZYEMU_LOG_DEFAULT_MAX_CALLS);
    EXPECT_EQ(open(), 1) << "reset counts handles from 1 again";
}

TEST_F(RuntimeLimitsTest, LogLimitChangesWhileOtherThreadsCall) {
    const auto session = static_cast<uint32_t>(open());
    zyemu_clear_log();
    constexpr uint32_t kThreads = 4, kCalls = 2000;
    std::atomic<bool> running{true};
    std::thread changer([&] {
        for (std::size_t round = 0; running; ++round) {
            zyemu_set_log_limit(round % 17, round % 3 == 0 ? 512 : SIZE_MAX);
            const ZyEmuLogState state = logState();
            EXPECT_LE(state.calls, state.maxCalls);
            EXPECT_LE(state.bytes, state.maxBytes);
        }
    });
    std::vector<std::thread> callers;
    for (uint32_t t = 0; t < kThreads; ++t) {
        callers.emplace_back([&] {
            uint8_t value = 0;
            for (uint32_t i = 0; i < kCalls; ++i) ZyFpgaDll_ReadU8(session, i, &value);
        });
    }
    for (auto& caller : callers) caller.join();
    running = false;
    changer.join();
    const ZyEmuLogState state = logState();
    EXPECT_EQ(state.calls + state.dropped, uint64_t{kThreads} * kCalls);
}

}  // namespace
