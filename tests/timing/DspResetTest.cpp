// The DSP reset across sessions of different instruments: the handshake as the emulated
// images answer it, the wiring of receivers to the sender's terminal, and what every path
// leaves behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "DspResetSupport.h"

namespace {

using namespace zytest;
using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(DspResetTest, SenderAloneFiresItselfAndEndsIdle) {
    openSessions(1);
    ASSERT_EQ(reset(), 0) << description;
    EXPECT_STREQ(description, "") << "untouched on success";
    // Idle, then the fire completes it, then request 0 again.
    std::vector<int> writes;
    for (const ZyEmuCall& call : callsOf(ZYEMU_ENTRY_WRITE_U8)) {
        writes.push_back(static_cast<int>(call.value));
    }
    EXPECT_EQ(writes, (std::vector<int>{0, 2, 0}));
    EXPECT_EQ(statesRead(sessions[0]), (std::vector<int>{0, 3}));
    ASSERT_EQ(attributeCalls().size(), 1u);
    EXPECT_EQ(attributeCalls()[0], (AttributeCall{721, kSendingTerminalId, "0"}));
    EXPECT_EQ(registersOf(0), (std::vector<int>{0, 0}));
}

TEST_F(DspResetTest, ReceiversAreWiredToTheSenderTerminalForTheCallOnly) {
    openSessions(2);
    ASSERT_EQ(zyemu_set_attribute_text("ostrel0", kSendingTerminalId, "0", "PXI_Trig5"), 0);
    ASSERT_EQ(reset(), 0) << description;
    const std::vector<AttributeCall> expected = {{721, kSendingTerminalId, "0"},
                                                 {721, kResetSourceId, "0"},
                                                 {722, kResetSourceId, "0", "PXI_Trig5"},
                                                 {722, kResetSourceId, "0", ""}};
    EXPECT_EQ(attributeCalls(), expected);
    EXPECT_EQ(statesRead(sessions[1]), (std::vector<int>{0, 1, 3}));
    ZyEmuDeviceState device{};
    ASSERT_EQ(zyemu_get_device_state("ostrel1", &device), 0);
    EXPECT_EQ(device.commits, 2u) << "one to wire, one to unwire";
    expectLeftIdle();
}

TEST_F(DspResetTest, FiveInstrumentsResetTogether) {
    openSessions(5);
    ASSERT_EQ(reset(), 0) << description;
    for (size_t i = 1; i < sessions.size(); ++i) {
        EXPECT_EQ(statesRead(sessions[i]), (std::vector<int>{0, 1, 3})) << "receiver " << i;
    }
    expectLeftIdle();
}

TEST_F(DspResetTest, SourceSetByTheUserIsCommittedButNeverTouched) {
    openSessions(3);
    ASSERT_EQ(zyemu_set_attribute_text("ostrel1", kResetSourceId, "0", "PXI_Trig0"), 0);
    ASSERT_EQ(reset(), 0) << description;
    EXPECT_EQ(sourceOf(1), "PXI_Trig0");
    EXPECT_EQ(sourceOf(2), "");
    ZyEmuDeviceState device{};
    ASSERT_EQ(zyemu_get_device_state("ostrel1", &device), 0);
    EXPECT_EQ(device.commits, 1u);

    // Wired elsewhere, the receiver never sees the pulse and stays armed.
    ASSERT_EQ(zyemu_set_attribute_text("ostrel1", kResetSourceId, "0", "PXI_Trig7"), 0);
    EXPECT_EQ(reset(), ZYOSTREL_Status_DspResetTimeout);
    EXPECT_THAT(description, HasSubstr(sessionIndexLine(1)));
    EXPECT_EQ(sourceOf(1), "PXI_Trig7");
    EXPECT_EQ(sourceOf(2), "");
}

TEST_F(DspResetTest, ReceiverThatNeverArmsTimesOutWithItsIndexAndLeavesAllIdle) {
    openSessions(3);
    ASSERT_EQ(zyemu_hold_dsp_reset_state(sessions[2], 0, 0), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(reset(), ZYOSTREL_Status_DspResetTimeout);
    EXPECT_GE(millisecondsSince(start), 500.0);
    EXPECT_THAT(description, HasSubstr(sessionIndexLine(2)));
    EXPECT_THAT(description, Not(HasSubstr(sessionIndexLine(1))));
    expectLeftIdle();
}

TEST_F(DspResetTest, StatesHeldAnywhereFailAtTheWaitingSession) {
    openSessions(3);
    struct Case {
        size_t position;
        int held;
    } cases[] = {{0, 1}, {1, 3}, {2, 1}, {0, 0}};
    for (const Case& held : cases) {
        ASSERT_EQ(zyemu_hold_dsp_reset_state(sessions[held.position], 0, held.held), 0);
        EXPECT_EQ(reset(), ZYOSTREL_Status_DspResetTimeout) << held.position << "/" << held.held;
        EXPECT_THAT(description, HasSubstr(sessionIndexLine(held.position)));
        ASSERT_EQ(zyemu_hold_dsp_reset_state(sessions[held.position], 0, -1), 0);
        expectLeftIdle();
    }
    ASSERT_EQ(reset(), 0) << description;
}

TEST_F(DspResetTest, IndexNamesTheRegistersAndTheChannel) {
    openSessions(2);
    defineRegisters(5);
    ASSERT_EQ(reset(5), 0) << description;
    const std::vector<ZyEmuCall> lookups = callsOf(ZYEMU_ENTRY_FIND_REGISTER);
    ASSERT_EQ(lookups.size(), 4u);
    EXPECT_STREQ(lookups[0].text, "ostrel.dsp.reset.state 5");
    EXPECT_STREQ(lookups[1].text, "ostrel.dsp.reset.request state 5");
    EXPECT_EQ(lookups[0].word, 0xFFFFFFFFu);
    for (const AttributeCall& call : attributeCalls()) EXPECT_EQ(call.qualifier, "5");
    EXPECT_EQ(attributeCalls().size(), 4u);
    expectLeftIdle(5);
}

TEST_F(DspResetTest, IndexOutsideTheChannelsIsRefused) {
    openSessions(2);
    for (int32_t index : {33, -1}) {
        // The stored image has no such registers: the sender's lookup fails first.
        EXPECT_EQ(reset(index), ZYEMU_STATUS_NOT_FOUND) << index;
        EXPECT_THAT(description, HasSubstr(sessionIndexLine(0)));
        EXPECT_TRUE(callsOf(ZYEMU_ENTRY_WRITE_U8).empty());
        EXPECT_STREQ(callsOf(ZYEMU_ENTRY_FIND_REGISTER)[0].text,
                     ("ostrel.dsp.reset.state " + std::to_string(index)).c_str());
        zyemu_clear_log();

        // With the registers, the channel "invalid" is no channel name.
        defineRegisters(index);
        EXPECT_EQ(reset(index), ZYOSTREL_Status_InvalidTerminalName) << index;
        EXPECT_THAT(description, HasSubstr(sessionIndexLine(0)));
        EXPECT_TRUE(attributeCalls().empty());
        for (size_t i = 0; i < sessions.size(); ++i) EXPECT_EQ(registersOf(i, index)[0], 0);
        zyemu_clear_log();
    }
}

TEST_F(DspResetTest, MissingRequestRegisterStopsBeforeAnyWrite) {
    openSessions(2);
    uint32_t sample = 0;
    ASSERT_STATUS(0, zyOstrel_OpenSession("ostrel2", ZY_SAMPLE_BITFILE, 0, &sample), 0);
    sessions.push_back(sample);
    zyemu_clear_log();
    // The sample image reports a state but takes no request.
    EXPECT_EQ(reset(), ZYEMU_STATUS_NOT_FOUND);
    EXPECT_THAT(description, HasSubstr(sessionIndexLine(2)));
    std::vector<int> writes;
    for (const ZyEmuCall& call : callsOf(ZYEMU_ENTRY_WRITE_U8)) {
        writes.push_back(static_cast<int>(call.value));
    }
    EXPECT_EQ(writes, (std::vector<int>{0, 0})) << "clean-up of the registered two only";
    EXPECT_TRUE(attributeCalls().empty());
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

TEST_F(DspResetTest, DescriptionIsCutToTheBuffer) {
    openSessions(2);
    ASSERT_EQ(zyemu_hold_dsp_reset_state(sessions[1], 0, 0), 0);
    char small[12];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(zyOstrel_ResetDspSynchronously(sessions.data(), 2, 0, sizeof small, small),
              ZYOSTREL_Status_DspResetTimeout);
    EXPECT_EQ(small[sizeof small - 1], '\0');
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
}

TEST_F(DspResetTest, ClosedSessionFailsWithTheRuntimeStatusAndItsIndex) {
    openSessions(3);
    const uint32_t closed = sessions[1];
    ASSERT_STATUS(0, zyOstrel_CloseSession(closed, 0), closed);
    EXPECT_EQ(reset(), ZYEMU_STATUS_INVALID_SESSION);
    EXPECT_THAT(description, HasSubstr(sessionIndexLine(1)));
    sessions.erase(sessions.begin() + 1);
    resources.erase(resources.begin() + 1);
    expectLeftIdle();
}

}  // namespace
