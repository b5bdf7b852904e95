// Clock and trigger configuration: the attribute sequences, their merging and their stops.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/EmulatorFixture.h"

namespace {

using Steps = std::vector<zytest::AttributeCall>;
using zytest::Fault;

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
constexpr int32_t kAllBanks = 0x7FFFFFFF;

class ClockTriggerTest : public zytest::SessionTest {
protected:
    int32_t analogEdge(uint32_t stream, const char* channel) {
        return zyOstrel_ConfigureAnalogEdgeTrigger(session, stream, channel, 1, 0.5, 0.01);
    }
    int32_t allBanks(uint32_t select) {
        return zyOstrel_X41_ConfigureRXClocks(session, select, kAllBanks);
    }
    static void setInstrument(uint32_t id, int64_t value) {
        ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, id, "", value), 0);
    }
};

TEST_F(ClockTriggerTest, EachConfigurationSendsItsAttributeSequence) {
    struct Row {
        const char* name;
        std::function<int32_t(uint32_t)> configure;
        Steps steps;
    };
    const Row rows[] = {
        {"default reference clock is restored, not written",
         [](uint32_t s) { return zyOstrel_ConfigureForReferenceClock(s, 0); },
         {{723, kReferenceClockSource, ""}, {722, kSampleClockSource, "", "0"}}},
        {"reference clock source, then the internal sample clock",
         [](uint32_t s) { return zyOstrel_ConfigureForReferenceClock(s, 2); },
         {{722, kReferenceClockSource, "", "2"}, {722, kSampleClockSource, "", "0"}}},
        {"external clock",
         [](uint32_t s) { return zyOstrel_ConfigureForExternalClock(s, 0, 1e7); },
         {{722, kSampleClockSource, "", "1"}, {722, kTimebaseRate, "", "1e+07"}}},
        {"transmit clock selected by name, its frequency set on it",
         [](uint32_t s) { return zyOstrel_X41_ConfigureTXClocks(s, 1, 156.25e6); },
         {{722, kTxClockSelect, "", "CLK1"}, {722, kUserClockFrequency, "CLK1", "1.5625e+08"}}},
        {"receive clock of one bank",
         [](uint32_t s) { return zyOstrel_X41_ConfigureRXClocks(s, 1, 4); },
         {{722, kRxClockSelect, "RxBank4", "1"}}},
        {"receive clock of all banks follows the bank count",
         [](uint32_t s) { return zyOstrel_X41_ConfigureRXClocks(s, 1, kAllBanks); },
         {{721, kRxBankCount, ""},
          {722, kRxClockSelect, "RxBank0", "1"},
          {722, kRxClockSelect, "RxBank1", "1"},
          {722, kRxClockSelect, "RxBank2", "1"}}},
        {"immediate trigger on the stream's channel",
         [](uint32_t s) { return zyOstrel_ConfigureImmediateTrigger(s, 63); },
         {{722, kStartTriggerType, "63", "0"}}},
        {"DIO trigger is type three with an empty source",
         [](uint32_t s) { return zyOstrel_ConfigureDigitalStartTrigger(s, 2, "DIO", 0x7FFFFFFE); },
         {{722, kStartTriggerType, "2", "3"},
          {722, kDigitalSource, "2", ""},
          {722, kSensitivity, "2", "2147483646"}}},
        {"a source differing in case from DIO is a terminal",
         [](uint32_t s) { return zyOstrel_ConfigureDigitalStartTrigger(s, 0, "dio", 0x7FFFFFFF); },
         {{722, kStartTriggerType, "0", "1"},
          {722, kDigitalSource, "0", "dio"},
          {722, kSensitivity, "0", "2147483647"}}},
        {"analog trigger on an input channel",
         [](uint32_t s) { return zyOstrel_ConfigureAnalogEdgeTrigger(s, 5, "AI1", 7, 0.5, 0.01); },
         {{722, kStartTriggerType, "0", "4"},
          {721, kAiChannelCount, ""},
          {722, kEdgeLevel, "5", "0.5"},
          {722, kEdgeHysteresis, "5", "0.01"},
          {722, kEdgeRising, "5", "1"},
          {722, kEdgeChannel, "5", "1"}}},
        {"the external trigger input ignores the stream number",
         [](uint32_t s) {
             return zyOstrel_ConfigureAnalogEdgeTrigger(s, 100, "TRIGIN", 0, 1.5, 0.2);
         },
         {{722, kStartTriggerType, "0", "5"},
          {722, kExternalLevel, "", "1.5"},
          {722, kExternalRising, "", "0"},
          {722, kExternalHysteresis, "", "0.2"}}},
    };
    setInstrument(kRxBankCount, 3);
    for (const Row& row : rows) {
        zyemu_clear_log();
        EXPECT_STATUS(0, row.configure(session)) << row.name;
        EXPECT_EQ(attributeCalls(), row.steps) << row.name;
    }
    uint32_t select = 9;  // the clock written to bank 4 reads back
    EXPECT_STATUS(0, zyOstrel_X41_GetRXClockConfiguration(session, &select, 4));
    EXPECT_EQ(select, 1u);
}

TEST_F(ClockTriggerTest, BadArgumentsAreRefusedBeforeSending) {
    EXPECT_STATUS(ZYOSTREL_Status_ReservedArgumentNotZero,
                  zyOstrel_ConfigureForExternalClock(session, 1, 10e6));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidStreamNumber,
                  zyOstrel_ConfigureImmediateTrigger(session, 64));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidStreamNumber,
                  zyOstrel_ConfigureDigitalStartTrigger(session, 64, "PFI0", 0x7FFFFFFF));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_ConfigureDigitalStartTrigger(session, 1, nullptr, 0x7FFFFFFF));
    // The analog trigger's channel is one analog channel or the trigger input.
    EXPECT_STATUS(ZYOSTREL_Status_TooManyTerminalNames, analogEdge(0, "AI0,AI1"));
    EXPECT_STATUS(ZYOSTREL_Status_TerminalIndexOutOfRange, analogEdge(0, "DIO3"));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidTerminalName, analogEdge(0, "no such name"));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter, analogEdge(0, nullptr));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(ClockTriggerTest, ReferenceClockStepsMergeAndStopAtAnError) {
    EXPECT_LT(zyOstrel_ConfigureForReferenceClock(session, 9), 0) << "outside its enumeration";
    EXPECT_EQ(attributeCalls().size(), 1u);
    // A warning of the first step wins over success but not over a later error.
    Fault::attribute(kReferenceClockSource, 722).status(11).add();
    zyemu_clear_log();
    EXPECT_STATUS(11, zyOstrel_ConfigureForReferenceClock(session, 1));
    EXPECT_EQ(attributeCalls().size(), 2u);
    Fault::attribute(kSampleClockSource, 722).status(-12).add();
    EXPECT_STATUS(-12, zyOstrel_ConfigureForReferenceClock(session, 1));
}

// All banks: no bank writes nothing; an error stops the loop; a warning is kept and the
// other banks are written.
TEST_F(ClockTriggerTest, AllBanksFollowTheCountAndTheMergeRule) {
    setInstrument(kRxBankCount, 0);
    EXPECT_STATUS(0, allBanks(1));
    EXPECT_EQ(attributeCalls().size(), 1u);
    Fault::attribute(kRxBankCount, 721).status(-33).times(1).add();
    EXPECT_STATUS(-33, allBanks(1));

    setInstrument(kRxBankCount, 3);
    Fault::attribute(kRxClockSelect, 722).status(-44).skip(1).times(1).add();
    zyemu_clear_log();
    EXPECT_STATUS(-44, allBanks(1));
    EXPECT_EQ(attributeCalls().size(), 3u);  // the count, bank 0, the failing bank 1
    Fault::attribute(kRxClockSelect, 722).status(5).skip(1).times(1).add();
    zyemu_clear_log();
    EXPECT_STATUS(5, allBanks(0));
    const Steps sent = attributeCalls();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[3], (zytest::AttributeCall{722, kRxClockSelect, "RxBank2", "0"}));
}

TEST_F(ClockTriggerTest, ReadingTheReceiveClockGivesNoMeaningToAllBanks) {
    setInstrument(kRxBankCount, 3);
    uint32_t select = 9;
    // RxBank2147483647 names no bank: the read fails on the name, and no count is read.
    EXPECT_STATUS(ZYOSTREL_Status_TerminalIndexOutOfRange,
                  zyOstrel_X41_GetRXClockConfiguration(session, &select, kAllBanks));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_X41_GetRXClockConfiguration(session, nullptr, 4));
    EXPECT_EQ(zyemu_call_count(), 0u);
    // A failing read leaves the output alone.
    Fault::attribute(kRxClockSelect, 721).status(-45).add();
    EXPECT_STATUS(-45, zyOstrel_X41_GetRXClockConfiguration(session, &select, 1));
    EXPECT_EQ(select, 9u);
}

TEST_F(ClockTriggerTest, AnalogTriggerChecksTheChannelAfterWritingTheType) {
    setInstrument(kAiChannelCount, 2);
    EXPECT_STATUS(ZYOSTREL_Status_TerminalIndexOutOfRange, analogEdge(0, "AI2"));
    EXPECT_EQ(attributeCalls(),
              (Steps{{722, kStartTriggerType, "0", "4"}, {721, kAiChannelCount, ""}}));
    // Output channels are checked against the same count; the stream after the channel.
    EXPECT_STATUS(ZYOSTREL_Status_TerminalIndexOutOfRange, analogEdge(0, "AO2"));
    EXPECT_STATUS(0, analogEdge(0, "AO1"));
    zyemu_clear_log();
    EXPECT_STATUS(ZYOSTREL_Status_InvalidStreamNumber, analogEdge(64, "AI0"));
    EXPECT_EQ(attributeCalls().size(), 2u);
    // A warning stops the sequence too.
    Fault::attribute(kEdgeLevel, 722).status(21).add();
    zyemu_clear_log();
    EXPECT_STATUS(21, analogEdge(1, "AI0"));
    EXPECT_EQ(attributeCalls().size(), 3u);
}

// Triggers, routes and the pulse succeed on the simulated session without sending; the clock
// sequences and the waits are attribute commands, which the simulated send step fails.
TEST_F(ClockTriggerTest, SimulatedSessionSendsNothing) {
    uint32_t routeId = 1234;
    const int32_t succeeding[] = {
        zyOstrel_ConfigureImmediateTrigger(simulated, 99),
        zyOstrel_ConfigureDigitalStartTrigger(simulated, 99, nullptr, 0),
        zyOstrel_ConfigureAnalogEdgeTrigger(simulated, 99, nullptr, 0, 0, 0),
        zyOstrel_RouteSignal(simulated, "PFI0", "PFI1", &routeId),
        zyOstrel_UnrouteSignal(simulated, 99),
        zyOstrel_SendSyncPulse(simulated),
    };
    EXPECT_THAT(succeeding, ::testing::Each(0));
    EXPECT_EQ(routeId, 1234u);
    char notSafe[8] = "keep";
    const int32_t failing[] = {
        zyOstrel_ConfigureForReferenceClock(simulated, 1),
        zyOstrel_X41_ConfigureRXClocks(simulated, 0, kAllBanks),
        zyOstrel_WaitForIoReady(simulated, 0, nullptr, nullptr),
        zyOstrel_WaitForPoCSafeToDisconnect(simulated, "SI0", 0, sizeof notSafe, notSafe),
    };
    EXPECT_THAT(failing, ::testing::Each(-1));
    EXPECT_STREQ(notSafe, "keep");
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
