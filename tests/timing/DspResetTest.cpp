// The DSP reset across sessions of different instruments: the handshake as the emulated
// images answer it, the wiring of receivers to the sender's terminal, and what every path
// leaves behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "DspResetSupport.h"

namespace {

using namespace zytest;
using ::testing::HasSubstr;
using ::testing::Not;

// The state values read from one session's state register, in order.
std::vector<int> statesRead(uint32_t session) {
    std::vector<int> values;
    for (size_t i = 0; i < zyemu_call_count(); ++i) {
        ZyEmuCall call{};
        zyemu_get_call(i, &call);
        if (call.entry == ZYEMU_ENTRY_READ_U8 && call.session == session) {
            values.push_back(static_cast<int>(call.value));
        }
    }
    return values;
}

TEST_F(DspResetTest, ResetsOneTwoAndFiveInstrumentsTogether) {
    openSessions(5);
    for (size_t count : {1, 2, 5}) {
        zyemu_clear_log();
        ASSERT_EQ(reset(0, count), 0) << count << " sessions: " << description;
        EXPECT_EQ(statesRead(sessions[0]), (std::vector<int>{0, 3}));
        for (size_t i = 1; i < count; ++i) {
            EXPECT_EQ(statesRead(sessions[i]), (std::vector<int>{0, 1, 3})) << "receiver " << i;
        }
        // The sender's terminal, then per receiver its source read, wired and unwired.
        EXPECT_EQ(attributeCalls().size(), 1 + 3 * (count - 1));
        expectLeftIdle();
    }
    EXPECT_STREQ(description, "") << "untouched on success";
}

TEST_F(DspResetTest, ReceiversAreWiredToTheSenderTerminalForTheCallOnly) {
    openSessions(3);
    ASSERT_EQ(zyemu_set_attribute_text("ostrel0", kSendingTerminalId, "0", "PXI_Trig5"), 0);
    // A source the user set is committed but never rewritten or cleared.
    ASSERT_EQ(zyemu_set_attribute_text("ostrel2", kResetSourceId, "0", "PXI_Trig5"), 0);
    ASSERT_EQ(reset(), 0) << description;
    const std::vector<AttributeCall> expected = {{721, kSendingTerminalId, "0"},
                                                 {721, kResetSourceId, "0"},
                                                 {722, kResetSourceId, "0", "PXI_Trig5"},
                                                 {721, kResetSourceId, "0"},
                                                 {722, kResetSourceId, "0", ""}};
    EXPECT_EQ(attributeCalls(), expected);
    EXPECT_EQ(sourceOf(1), "");
    EXPECT_EQ(sourceOf(2), "PXI_Trig5");
    ZyEmuDeviceState first{}, second{};
    ASSERT_EQ(zyemu_get_device_state("ostrel1", &first), 0);
    ASSERT_EQ(zyemu_get_device_state("ostrel2", &second), 0);
    EXPECT_EQ(first.commits, 2u) << "wired and unwired";
    EXPECT_EQ(second.commits, 1u);
}

TEST_F(DspResetTest, ReceiverThatNeverArmsTimesOutWithItsIndexAndLeavesAllIdle) {
    openSessions(3);
    ASSERT_EQ(zyemu_hold_dsp_reset_state(sessions[2], 0, 0), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(reset(), ZYOSTREL_Status_DspResetTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_THAT(description, HasSubstr(indexLine(2)));
    EXPECT_THAT(description, Not(HasSubstr(indexLine(1))));
    expectLeftIdle();
}

TEST_F(DspResetTest, IndexNamesTheRegistersAndOnly0To32NameAChannel) {
    openSessions(2);
    for (int32_t index : {5, 33, -1}) {
        const std::string number = std::to_string(index);
        // Not in the stored image: the sender's lookup fails before anything is written.
        zyemu_clear_log();
        EXPECT_EQ(reset(index), ZYEMU_STATUS_NOT_FOUND) << index;
        EXPECT_THAT(description, HasSubstr(indexLine(0)));
        EXPECT_EQ(std::string(calls().at(0).text), "ostrel.dsp.reset.state " + number);
        EXPECT_EQ(calls().at(0).word, 0xFFFFFFFFu);
        EXPECT_TRUE(callsOf(ZYEMU_ENTRY_WRITE_U8).empty());

        for (const std::string& resource : resources) {
            zyemu_define_register(resource.c_str(), ("ostrel.dsp.reset.state " + number).c_str(),
                                  0x9000, 3);
            zyemu_define_register(resource.c_str(),
                                  ("ostrel.dsp.reset.request state " + number).c_str(), 0x9004, 3);
        }
        zyemu_clear_log();
        if (index == 5) {
            ASSERT_EQ(reset(index), 0) << description;
            for (const AttributeCall& call : attributeCalls()) EXPECT_EQ(call.qualifier, "5");
        } else {
            EXPECT_EQ(reset(index), ZYOSTREL_Status_InvalidTerminalName) << index;
            EXPECT_THAT(description, HasSubstr(indexLine(0)));
            EXPECT_TRUE(attributeCalls().empty()) << "\"invalid\" is no channel name";
        }
        expectLeftIdle(index);
    }
}

TEST_F(DspResetTest, BadArgumentsTouchNoDevice) {
    openSessions(1);
    EXPECT_EQ(zyOstrel_ResetDspSynchronously(nullptr, 3, 0, sizeof description, description),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_STRNE(description, "");
    EXPECT_EQ(zyOstrel_ResetDspSynchronously(sessions.data(), 0, 0, 0, nullptr),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_WbResetDspSynchronously(nullptr, 1, 0, nullptr),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
