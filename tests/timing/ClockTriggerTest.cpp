// Clock and trigger configuration: the attribute sequences, their merging and their stops.
#include <gtest/gtest.h>

#include "timing/TimingFixture.h"

namespace {

using zytest::AttributeCall;

constexpr uint32_t kReferenceClockSource = 0x1000000B;
constexpr uint32_t kSampleClockSource = 0x10000013;
constexpr uint32_t kTimebaseRate = 0x20000017;
constexpr uint32_t kTxClockSelect = 0x30000015;
constexpr uint32_t kUserClockFrequency = 0x2000002C;
constexpr uint32_t kRxClockSelect = 0x10000032;
constexpr uint32_t kRxBankCount = 0x10000034;
constexpr uint32_t kStartTriggerType = 0x10000009;
constexpr uint32_t kDigitalSource = 0x30000000;
constexpr uint32_t kSensitivity = 0x10000016;
constexpr uint32_t kAiChannelCount = 0x1000000F;
constexpr uint32_t kEdgeLevel = 0x20000002;
constexpr uint32_t kEdgeHysteresis = 0x20000003;
constexpr uint32_t kEdgeRising = 0x40000002;
constexpr uint32_t kEdgeChannel = 0x10000008;
constexpr uint32_t kExternalLevel = 0x20000004;
constexpr uint32_t kExternalRising = 0x4000000B;
constexpr uint32_t kExternalHysteresis = 0x20000021;

class ClockTriggerTest : public zytest::TimingTest {
protected:
    static void expectCall(const AttributeCall& call, uint32_t method, uint32_t id,
                           const std::string& qualifier) {
        EXPECT_EQ(call.method, method) << std::hex << id;
        EXPECT_EQ(call.id, id) << std::hex << id;
        EXPECT_EQ(call.qualifier, qualifier) << std::hex << id;
    }
};

TEST_F(ClockTriggerTest, DefaultReferenceClockIsRestoredNotWritten) {
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(session, 0), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 2u);
    expectCall(writes[0], 723, kReferenceClockSource, "");
    expectCall(writes[1], 722, kSampleClockSource, "");
    EXPECT_EQ(writes[1].i64, 0);
}

TEST_F(ClockTriggerTest, ReferenceClockSourceIsWrittenThenTheInternalSampleClock) {
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(session, 2), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 2u);
    expectCall(writes[0], 722, kReferenceClockSource, "");
    EXPECT_EQ(writes[0].i64, 2);
    expectCall(writes[1], 722, kSampleClockSource, "");
    int32_t source = 0;
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", kReferenceClockSource, &source), 0);
    EXPECT_EQ(source, 2);
}

TEST_F(ClockTriggerTest, ReferenceClockOutsideItsEnumerationIsRefusedByTheDevice) {
    EXPECT_LT(zyOstrel_ConfigureForReferenceClock(session, 9), 0);
    EXPECT_EQ(attributeCalls().size(), 1u);  // the error ends the sequence
}

TEST_F(ClockTriggerTest, WarningOfTheFirstStepWinsOverSuccess) {
    faultAttribute(kReferenceClockSource, 11);
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(session, 1), 11);
    EXPECT_EQ(attributeCalls().size(), 2u);
}

TEST_F(ClockTriggerTest, ErrorAfterAWarningIsReturned) {
    faultAttribute(kReferenceClockSource, 11);
    faultAttribute(kSampleClockSource, -12);
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(session, 1), -12);
}

TEST_F(ClockTriggerTest, ExternalClockNeedsAZeroSource) {
    EXPECT_EQ(zyOstrel_ConfigureForExternalClock(session, 1, 10e6),
              ZYOSTREL_Status_ReservedArgumentNotZero);
    EXPECT_EQ(zyemu_call_count(), 0u);
    EXPECT_EQ(zyOstrel_ConfigureForExternalClock(session, 0, 10e6), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 2u);
    expectCall(writes[0], 722, kSampleClockSource, "");
    EXPECT_EQ(writes[0].i64, 1);
    expectCall(writes[1], 722, kTimebaseRate, "");
    EXPECT_EQ(writes[1].f64, 10e6);
}

TEST_F(ClockTriggerTest, TransmitClockIsSelectedByNameAndItsFrequencySetOnIt) {
    EXPECT_EQ(zyOstrel_X41_ConfigureTXClocks(session, 1, 156.25e6), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 2u);
    expectCall(writes[0], 722, kTxClockSelect, "");
    EXPECT_EQ(writes[0].text, "CLK1");
    expectCall(writes[1], 722, kUserClockFrequency, "CLK1");
    EXPECT_EQ(writes[1].f64, 156.25e6);
}

TEST_F(ClockTriggerTest, ReceiveClockOfOneBank) {
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, 4), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 1u);
    expectCall(writes[0], 722, kRxClockSelect, "RxBank4");
    uint32_t select = 9;
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, &select, 4), 0);
    EXPECT_EQ(select, 1u);
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, nullptr, 4),
              ZYOSTREL_Status_InvalidParameter);
}

TEST_F(ClockTriggerTest, ReceiveClockOfAllBanksFollowsTheBankCount) {
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kRxBankCount, "", 3), 0);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, 0x7FFFFFFF), 0);
    const auto calls = attributeCalls();
    ASSERT_EQ(calls.size(), 4u);
    expectCall(calls[0], 721, kRxBankCount, "");
    expectCall(calls[1], 722, kRxClockSelect, "RxBank0");
    expectCall(calls[2], 722, kRxClockSelect, "RxBank1");
    expectCall(calls[3], 722, kRxClockSelect, "RxBank2");
}

TEST_F(ClockTriggerTest, NoBanksWritesNothingAndReturnsTheReadStatus) {
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kRxBankCount, "", 0), 0);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, 0x7FFFFFFF), 0);
    EXPECT_EQ(attributeCalls().size(), 1u);
    faultAttribute(kRxBankCount, -33, 721);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, 0x7FFFFFFF), -33);
}

TEST_F(ClockTriggerTest, AllBanksStopAtTheFirstError) {
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kRxBankCount, "", 3), 0);
    faultAttribute(kRxClockSelect, -44, 722, 1);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, 0x7FFFFFFF), -44);
    EXPECT_EQ(attributeCalls().size(), 3u);  // the count, bank 0, the failing bank 1
}

TEST_F(ClockTriggerTest, WarningOfOneBankIsKeptAndTheOtherBanksAreWritten) {
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kRxBankCount, "", 3), 0);
    faultAttribute(kRxClockSelect, 5, 722, 1);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 0, 0x7FFFFFFF), 5);
    const auto calls = attributeCalls();
    ASSERT_EQ(calls.size(), 4u);
    expectCall(calls[3], 722, kRxClockSelect, "RxBank2");
    EXPECT_EQ(calls[3].i64, 0);
}

TEST_F(ClockTriggerTest, ReadingTheReceiveClockGivesNoMeaningToAllBanks) {
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kRxBankCount, "", 3), 0);
    uint32_t select = 9;
    // RxBank2147483647 names no bank: the read fails on the name, and no count is read.
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, &select, 0x7FFFFFFF),
              ZYOSTREL_Status_TerminalIndexOutOfRange);
    EXPECT_EQ(select, 9u);
    EXPECT_EQ(zyemu_call_count(), 0u);
    // A failing read leaves the output alone.
    faultAttribute(kRxClockSelect, -45, 721);
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, &select, 1), -45);
    EXPECT_EQ(select, 9u);
}

TEST_F(ClockTriggerTest, ImmediateTriggerOnTheStreamsChannel) {
    EXPECT_EQ(zyOstrel_ConfigureImmediateTrigger(session, 63), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 1u);
    expectCall(writes[0], 722, kStartTriggerType, "63");
    EXPECT_EQ(writes[0].i64, 0);
    EXPECT_EQ(zyOstrel_ConfigureImmediateTrigger(session, 64),
              ZYOSTREL_Status_InvalidStreamNumber);
}

TEST_F(ClockTriggerTest, DioTriggerWritesTypeThreeAndAnEmptySource) {
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(session, 2, "DIO", 0x7FFFFFFE), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 3u);
    expectCall(writes[0], 722, kStartTriggerType, "2");
    EXPECT_EQ(writes[0].i64, 3);
    expectCall(writes[1], 722, kDigitalSource, "2");
    EXPECT_EQ(writes[1].text, "");
    expectCall(writes[2], 722, kSensitivity, "2");
    EXPECT_EQ(writes[2].i64, 0x7FFFFFFE);
}

TEST_F(ClockTriggerTest, SourceDifferingInCaseFromDioIsATerminal) {
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(session, 0, "dio", 0x7FFFFFFF), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].i64, 1);
    EXPECT_EQ(writes[1].text, "dio");
}

TEST_F(ClockTriggerTest, DigitalTriggerChecksStreamAndSource) {
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(session, 64, "PFI0", 0x7FFFFFFF),
              ZYOSTREL_Status_InvalidStreamNumber);
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(session, 1, nullptr, 0x7FFFFFFF),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(ClockTriggerTest, AnalogTriggerOnAnInputChannel) {
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 5, "AI1", 7, 0.5, 0.01), 0);
    const auto calls = attributeCalls();
    ASSERT_EQ(calls.size(), 6u);
    expectCall(calls[0], 722, kStartTriggerType, "0");
    EXPECT_EQ(calls[0].i64, 4);
    expectCall(calls[1], 721, kAiChannelCount, "");
    expectCall(calls[2], 722, kEdgeLevel, "5");
    EXPECT_EQ(calls[2].f64, 0.5);
    expectCall(calls[3], 722, kEdgeHysteresis, "5");
    expectCall(calls[4], 722, kEdgeRising, "5");
    EXPECT_EQ(calls[4].boolean, 1);
    expectCall(calls[5], 722, kEdgeChannel, "5");
    EXPECT_EQ(calls[5].i64, 1);
}

TEST_F(ClockTriggerTest, AnalogChannelBeyondTheInputCountFailsAfterTheTypeIsWritten) {
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kAiChannelCount, "", 2), 0);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 0, "AI2", 1, 0.5, 0.01),
              ZYOSTREL_Status_TerminalIndexOutOfRange);
    const auto calls = attributeCalls();
    ASSERT_EQ(calls.size(), 2u);
    expectCall(calls[0], 722, kStartTriggerType, "0");
    // Output channels are checked against the same count.
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 0, "AO2", 1, 0.5, 0.01),
              ZYOSTREL_Status_TerminalIndexOutOfRange);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 0, "AO1", 1, 0.5, 0.01), 0);
}

TEST_F(ClockTriggerTest, AnalogTriggerChecksTheStreamAfterTheChannel) {
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 64, "AI0", 1, 0.5, 0.01),
              ZYOSTREL_Status_InvalidStreamNumber);
    EXPECT_EQ(attributeCalls().size(), 2u);
}

TEST_F(ClockTriggerTest, ExternalTriggerInputIgnoresTheStreamNumber) {
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 100, "TRIGIN", 0, 1.5, 0.2), 0);
    const auto writes = attributeCalls();
    ASSERT_EQ(writes.size(), 4u);
    expectCall(writes[0], 722, kStartTriggerType, "0");
    EXPECT_EQ(writes[0].i64, 5);
    expectCall(writes[1], 722, kExternalLevel, "");
    EXPECT_EQ(writes[1].f64, 1.5);
    expectCall(writes[2], 722, kExternalRising, "");
    EXPECT_EQ(writes[2].boolean, 0);
    expectCall(writes[3], 722, kExternalHysteresis, "");
    EXPECT_EQ(writes[3].f64, 0.2);
}

TEST_F(ClockTriggerTest, AnalogTriggerStopsOnAWarning) {
    faultAttribute(kEdgeLevel, 21);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 1, "AI0", 1, 0.5, 0.01), 21);
    EXPECT_EQ(attributeCalls().size(), 3u);
}

TEST_F(ClockTriggerTest, AnalogTriggerChannelMustBeOneAnalogChannelOrTheTriggerInput) {
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 0, "AI0,AI1", 1, 0, 0),
              ZYOSTREL_Status_TooManyTerminalNames);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 0, "DIO3", 1, 0, 0),
              ZYOSTREL_Status_TerminalIndexOutOfRange);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 0, "no such name", 1, 0, 0),
              ZYOSTREL_Status_InvalidTerminalName);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(session, 0, nullptr, 1, 0, 0),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(ClockTriggerTest, SimulatedSessionTriggersSucceedWithoutSending) {
    EXPECT_EQ(zyOstrel_ConfigureImmediateTrigger(simulated, 99), 0);
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(simulated, 99, nullptr, 0), 0);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(simulated, 99, nullptr, 0, 0, 0), 0);
    EXPECT_EQ(zyemu_call_count(), 0u);
    // The clock sequences are attribute commands: the simulated send step fails them.
    uint32_t select = 0;
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(simulated, 1), -1);
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(simulated, 0), -1);
    EXPECT_EQ(zyOstrel_ConfigureForExternalClock(simulated, 0, 1e7), -1);
    EXPECT_EQ(zyOstrel_X41_ConfigureTXClocks(simulated, 0, 1e6), -1);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(simulated, 0, 1), -1);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(simulated, 0, 0x7FFFFFFF), -1);
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(simulated, &select, 1), -1);
    EXPECT_EQ(zyOstrelMDK_configureIoModuleRefClkPinSrc(simulated, 1), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
