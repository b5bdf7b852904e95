// Clock and trigger configuration: the attribute sequences, their merging and their stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

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
    // One attribute command expected, and the value it carries when field is set: 'i' for
    // the integer, 'f' the floating-point number, 'b' the Boolean, 't' the text.
    struct Step {
        uint32_t method;
        uint32_t id;
        const char* qualifier;
        char field = 0;
        double number = 0;
        const char* text = "";
    };

    // Expects the attribute commands sent, in order, with their values.
    static void expectSteps(const std::vector<Step>& steps) {
        std::vector<AttributeCall> calls = attributeCalls();
        EXPECT_EQ(calls.size(), steps.size());
        calls.resize(std::max(calls.size(), steps.size()));
        for (size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            const AttributeCall& call = calls[i];
            SCOPED_TRACE(testing::Message() << "step " << i);
            EXPECT_EQ(call.method, step.method);
            EXPECT_EQ(call.id, step.id);
            EXPECT_EQ(call.qualifier, step.qualifier);
            switch (step.field) {
                case 'i':
                    EXPECT_EQ(call.i64, static_cast<int64_t>(step.number));
                    break;
                case 'f':
                    EXPECT_EQ(call.f64, step.number);
                    break;
                case 'b':
                    EXPECT_EQ(call.boolean, static_cast<uint8_t>(step.number));
                    break;
                case 't':
                    EXPECT_EQ(call.text, step.text);
                    break;
            }
        }
    }

    int32_t analogEdge(uint32_t stream, const char* channel, int32_t rising, double level,
                       double hysteresis) {
        return zyOstrel_ConfigureAnalogEdgeTrigger(session, stream, channel, rising, level,
                                                   hysteresis);
    }

    void setBankCount(int64_t count) {
        ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kRxBankCount, "", count), 0);
    }
};

constexpr int32_t kAllBanks = 0x7FFFFFFF;

TEST_F(ClockTriggerTest, EachConfigurationSendsItsAttributeSequence) {
    struct Row {
        const char* name;
        std::function<int32_t(uint32_t)> configure;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"default reference clock is restored, not written",
         [](uint32_t s) { return zyOstrel_ConfigureForReferenceClock(s, 0); },
         {{723, kReferenceClockSource, ""}, {722, kSampleClockSource, "", 'i', 0}}},
        {"reference clock source, then the internal sample clock",
         [](uint32_t s) { return zyOstrel_ConfigureForReferenceClock(s, 2); },
         {{722, kReferenceClockSource, "", 'i', 2}, {722, kSampleClockSource, "", 'i', 0}}},
        {"external clock",
         [](uint32_t s) { return zyOstrel_ConfigureForExternalClock(s, 0, 1e7); },
         {{722, kSampleClockSource, "", 'i', 1}, {722, kTimebaseRate, "", 'f', 1e7}}},
        {"transmit clock selected by name, its frequency set on it",
         [](uint32_t s) { return zyOstrel_X41_ConfigureTXClocks(s, 1, 156.25e6); },
         {{722, kTxClockSelect, "", 't', 0, "CLK1"},
          {722, kUserClockFrequency, "CLK1", 'f', 156.25e6}}},
        {"receive clock of one bank",
         [](uint32_t s) { return zyOstrel_X41_ConfigureRXClocks(s, 1, 4); },
         {{722, kRxClockSelect, "RxBank4", 'i', 1}}},
        {"receive clock of all banks follows the bank count",
         [](uint32_t s) { return zyOstrel_X41_ConfigureRXClocks(s, 1, kAllBanks); },
         {{721, kRxBankCount, ""},
          {722, kRxClockSelect, "RxBank0", 'i', 1},
          {722, kRxClockSelect, "RxBank1", 'i', 1},
          {722, kRxClockSelect, "RxBank2", 'i', 1}}},
        {"immediate trigger on the stream's channel",
         [](uint32_t s) { return zyOstrel_ConfigureImmediateTrigger(s, 63); },
         {{722, kStartTriggerType, "63", 'i', 0}}},
        {"DIO trigger is type three with an empty source",
         [](uint32_t s) { return zyOstrel_ConfigureDigitalStartTrigger(s, 2, "DIO", 0x7FFFFFFE); },
         {{722, kStartTriggerType, "2", 'i', 3},
          {722, kDigitalSource, "2", 't', 0, ""},
          {722, kSensitivity, "2", 'i', 0x7FFFFFFE}}},
        {"a source differing in case from DIO is a terminal",
         [](uint32_t s) { return zyOstrel_ConfigureDigitalStartTrigger(s, 0, "dio", 0x7FFFFFFF); },
         {{722, kStartTriggerType, "0", 'i', 1},
          {722, kDigitalSource, "0", 't', 0, "dio"},
          {722, kSensitivity, "0", 'i', 0x7FFFFFFF}}},
        {"analog trigger on an input channel",
         [](uint32_t s) { return zyOstrel_ConfigureAnalogEdgeTrigger(s, 5, "AI1", 7, 0.5, 0.01); },
         {{722, kStartTriggerType, "0", 'i', 4},
          {721, kAiChannelCount, ""},
          {722, kEdgeLevel, "5", 'f', 0.5},
          {722, kEdgeHysteresis, "5", 'f', 0.01},
          {722, kEdgeRising, "5", 'b', 1},
          {722, kEdgeChannel, "5", 'i', 1}}},
        {"the external trigger input ignores the stream number",
         [](uint32_t s) {
             return zyOstrel_ConfigureAnalogEdgeTrigger(s, 100, "TRIGIN", 0, 1.5, 0.2);
         },
         {{722, kStartTriggerType, "0", 'i', 5},
          {722, kExternalLevel, "", 'f', 1.5},
          {722, kExternalRising, "", 'b', 0},
          {722, kExternalHysteresis, "", 'f', 0.2}}},
    };
    setBankCount(3);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        zyemu_clear_log();
        EXPECT_EQ(row.configure(session), 0);
        expectSteps(row.steps);
    }
    int32_t source = 0;  // the last reference clock written reads back
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", kReferenceClockSource, &source), 0);
    EXPECT_EQ(source, 2);
}

TEST_F(ClockTriggerTest, ReferenceClockOutsideItsEnumerationIsRefusedByTheDevice) {
    EXPECT_LT(zyOstrel_ConfigureForReferenceClock(session, 9), 0);
    EXPECT_EQ(attributeCalls().size(), 1u);  // the error ends the sequence
}

TEST_F(ClockTriggerTest, WarningOfTheFirstStepWinsOverSuccessButNotOverALaterError) {
    faultAttribute(kReferenceClockSource, 11);
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(session, 1), 11);
    EXPECT_EQ(attributeCalls().size(), 2u);
    faultAttribute(kSampleClockSource, -12);
    EXPECT_EQ(zyOstrel_ConfigureForReferenceClock(session, 1), -12);
}

TEST_F(ClockTriggerTest, ExternalClockNeedsAZeroSource) {
    EXPECT_EQ(zyOstrel_ConfigureForExternalClock(session, 1, 10e6),
              ZYOSTREL_Status_ReservedArgumentNotZero);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(ClockTriggerTest, ReceiveClockOfOneBankReadsBack) {
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, 4), 0);
    uint32_t select = 9;
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, &select, 4), 0);
    EXPECT_EQ(select, 1u);
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, nullptr, 4),
              ZYOSTREL_Status_InvalidParameter);
}

TEST_F(ClockTriggerTest, NoBanksWritesNothingAndReturnsTheReadStatus) {
    setBankCount(0);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, kAllBanks), 0);
    EXPECT_EQ(attributeCalls().size(), 1u);
    faultAttribute(kRxBankCount, -33, 721);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, kAllBanks), -33);
}

TEST_F(ClockTriggerTest, AllBanksStopAtTheFirstError) {
    setBankCount(3);
    faultAttribute(kRxClockSelect, -44, 722, 1);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 1, kAllBanks), -44);
    EXPECT_EQ(attributeCalls().size(), 3u);  // the count, bank 0, the failing bank 1
}

TEST_F(ClockTriggerTest, WarningOfOneBankIsKeptAndTheOtherBanksAreWritten) {
    setBankCount(3);
    faultAttribute(kRxClockSelect, 5, 722, 1);
    EXPECT_EQ(zyOstrel_X41_ConfigureRXClocks(session, 0, kAllBanks), 5);
    const auto calls = attributeCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3].qualifier, "RxBank2");
    EXPECT_EQ(calls[3].i64, 0);
}

TEST_F(ClockTriggerTest, ReadingTheReceiveClockGivesNoMeaningToAllBanks) {
    setBankCount(3);
    uint32_t select = 9;
    // RxBank2147483647 names no bank: the read fails on the name, and no count is read.
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, &select, kAllBanks),
              ZYOSTREL_Status_TerminalIndexOutOfRange);
    EXPECT_EQ(select, 9u);
    EXPECT_EQ(zyemu_call_count(), 0u);
    // A failing read leaves the output alone.
    faultAttribute(kRxClockSelect, -45, 721);
    EXPECT_EQ(zyOstrel_X41_GetRXClockConfiguration(session, &select, 1), -45);
    EXPECT_EQ(select, 9u);
}

TEST_F(ClockTriggerTest, ImmediateTriggerChecksTheStream) {
    EXPECT_EQ(zyOstrel_ConfigureImmediateTrigger(session, 64), ZYOSTREL_Status_InvalidStreamNumber);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(ClockTriggerTest, DigitalTriggerChecksStreamAndSource) {
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(session, 64, "PFI0", 0x7FFFFFFF),
              ZYOSTREL_Status_InvalidStreamNumber);
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(session, 1, nullptr, 0x7FFFFFFF),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(ClockTriggerTest, AnalogChannelBeyondTheInputCountFailsAfterTheTypeIsWritten) {
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kAiChannelCount, "", 2), 0);
    EXPECT_EQ(analogEdge(0, "AI2", 1, 0.5, 0.01), ZYOSTREL_Status_TerminalIndexOutOfRange);
    expectSteps({{722, kStartTriggerType, "0"}, {721, kAiChannelCount, ""}});
    // Output channels are checked against the same count.
    EXPECT_EQ(analogEdge(0, "AO2", 1, 0.5, 0.01), ZYOSTREL_Status_TerminalIndexOutOfRange);
    EXPECT_EQ(analogEdge(0, "AO1", 1, 0.5, 0.01), 0);
}

TEST_F(ClockTriggerTest, AnalogTriggerChecksTheStreamAfterTheChannel) {
    EXPECT_EQ(analogEdge(64, "AI0", 1, 0.5, 0.01), ZYOSTREL_Status_InvalidStreamNumber);
    EXPECT_EQ(attributeCalls().size(), 2u);
}

TEST_F(ClockTriggerTest, AnalogTriggerStopsOnAWarning) {
    faultAttribute(kEdgeLevel, 21);
    EXPECT_EQ(analogEdge(1, "AI0", 1, 0.5, 0.01), 21);
    EXPECT_EQ(attributeCalls().size(), 3u);
}

TEST_F(ClockTriggerTest, AnalogTriggerChannelMustBeOneAnalogChannelOrTheTriggerInput) {
    EXPECT_EQ(analogEdge(0, "AI0,AI1", 1, 0, 0), ZYOSTREL_Status_TooManyTerminalNames);
    EXPECT_EQ(analogEdge(0, "DIO3", 1, 0, 0), ZYOSTREL_Status_TerminalIndexOutOfRange);
    EXPECT_EQ(analogEdge(0, "no such name", 1, 0, 0), ZYOSTREL_Status_InvalidTerminalName);
    EXPECT_EQ(analogEdge(0, nullptr, 1, 0, 0), ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(ClockTriggerTest, SimulatedSessionTriggersSucceedWithoutSendingAndClocksFail) {
    EXPECT_EQ(zyOstrel_ConfigureImmediateTrigger(simulated, 99), 0);
    EXPECT_EQ(zyOstrel_ConfigureDigitalStartTrigger(simulated, 99, nullptr, 0), 0);
    EXPECT_EQ(zyOstrel_ConfigureAnalogEdgeTrigger(simulated, 99, nullptr, 0, 0, 0), 0);
    // The clock sequences are attribute commands: the simulated send step fails them.
    uint32_t select = 0;
    const int32_t clocks[] = {
        zyOstrel_ConfigureForReferenceClock(simulated, 1),
        zyOstrel_ConfigureForReferenceClock(simulated, 0),
        zyOstrel_ConfigureForExternalClock(simulated, 0, 1e7),
        zyOstrel_X41_ConfigureTXClocks(simulated, 0, 1e6),
        zyOstrel_X41_ConfigureRXClocks(simulated, 0, 1),
        zyOstrel_X41_ConfigureRXClocks(simulated, 0, kAllBanks),
        zyOstrel_X41_GetRXClockConfiguration(simulated, &select, 1),
    };
    for (size_t i = 0; i < std::size(clocks); ++i) EXPECT_EQ(clocks[i], -1) << "call " << i;
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
