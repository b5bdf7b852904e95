// Stream records as the runtime receives them, the status rules of configuration steps, the
// transfer-state rule and simulated sessions.
#include <gtest/gtest.h>

#include "support/EmulatorFixture.h"

namespace {

using zytest::AttributeCall;
using zytest::Fault;

class StreamRecordsTest : public zytest::SessionTest {
protected:
    // Interface, reserved word, both qualifiers, method and stream of a stream record.
    static void expectStreamHeader(const ZyEmuCall& call, uint32_t method, uint64_t size,
                                   uint32_t stream, uint32_t qualifiers = 0) {
        EXPECT_EQ(call.inputSize, size);
        EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 4, 8, 12, 16, 20}),
                  (std::vector<uint32_t>{257, 0, qualifiers, qualifiers, method, stream}));
    }
    // Every read and write of the stream answers with reply flag 2 in the given state.
    static void flagTransfers(uint32_t stream, uint8_t state) {
        ASSERT_EQ(zyemu_stream_fail_transfer(ZYEMU_RESOURCE_DEFAULT, stream, state, 100), 0);
    }

    int16_t samples[12] = {};
};

TEST_F(StreamRecordsTest, ConfigurationSetsItsAttributesOnTheStreamName) {
    uint32_t count = 0;
    ASSERT_STATUS(0, zyOstrel_ConfigureStreamFinite(session, 63, 4096)) << "the highest stream";
    ASSERT_STATUS(0, zyOstrel_ConfigureStreamEnabledChannels(session, 2, "AI0,AI2,AO2", &count));
    EXPECT_EQ(count, 2u) << "distinct indexes";
    ASSERT_STATUS(0,
                  zyOstrel_ConfigureStreamEnabledChannels(session, 2, "AI63,ai0-ai1,AI1", nullptr));
    EXPECT_EQ(attributeCalls(), (std::vector<AttributeCall>{
                                    {722, 0x40000001, "63", "1"},
                                    {722, 0x50000000, "63", "0x1000"},
                                    {722, 0x10000000, "2", "2"},
                                    {722, 0x50000002, "2", "0x5"},
                                    {722, 0x10000000, "2", "3"},
                                    {722, 0x50000002, "2", "0x8000000000000003"},
                                }));
}

// Two steps: an error of the first stops the operation, the first warning wins over success,
// an error of the second wins over a warning of the first.
TEST_F(StreamRecordsTest, ConfigurationStepsFollowTheMergeRuleAndTheCountIsStoredFirst) {
    const struct {
        int32_t first, second, expected;
        size_t calls;
    } rows[] = {{12, -900, -900, 2}, {12, 13, 12, 2}, {-901, 0, -901, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.first);
        zyemu_clear_faults();
        zyemu_clear_log();
        Fault::callAt(0).status(row.first).add();
        Fault::callAt(1).status(row.second).afterRunning().add();
        EXPECT_STATUS(row.expected, zyOstrel_ConfigureStreamFinite(session, 1, 10));
        EXPECT_EQ(zyemu_call_count(), row.calls);
    }
    zyemu_clear_log();
    uint32_t count = 0;
    EXPECT_STATUS(-901, zyOstrel_ConfigureStreamEnabledChannels(session, 0, "AI0-AI3", &count));
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(zyemu_call_count(), 1u);
}

TEST_F(StreamRecordsTest, BadStreamsNamesAndSizesAreRefusedWithoutSending) {
    uint32_t count = 77;
    EXPECT_STATUS(-304405, zyOstrel_ConfigureStreamFinite(session, 64, 10));
    EXPECT_STATUS(-304405, zyOstrel_ConfigureStreamEnabledChannels(session, 64, "AI0", &count));
    // Enabled channels must be analog channel names.
    for (const char* names :
         {"conn0/ai0", "AI0,DIO3", "", static_cast<const char*>(nullptr), "5"}) {
        EXPECT_STATUS(-304421, zyOstrel_ConfigureStreamEnabledChannels(session, 0, names, &count));
    }
    EXPECT_STATUS(-304419, zyOstrel_ConfigureStreamEnabledChannels(session, 0, "AI0,", &count));
    EXPECT_EQ(count, 77u);
    // Sizes that would wrap.
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_ReadStreamI16(session, 0, 0, uint64_t{1} << 63, samples, nullptr));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_WriteStreamComplexI16(session, 40, 0, uint64_t{1} << 62, samples));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(StreamRecordsTest, ClearAndStartSendTheShortRecord) {
    EXPECT_STATUS(0, zyOstrel_ClearStream(session, 7));
    EXPECT_STATUS(0, zyOstrel_StartStream(session, 7));
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    expectStreamHeader(log[0], 272, 24, 7);
    expectStreamHeader(log[1], 278, 24, 7);
    EXPECT_FALSE(log[0].outputGiven || log[1].outputGiven);
}

TEST_F(StreamRecordsTest, WaitSendsItsArgumentsAndStoresTheReplyWhateverTheStatus) {
    zytest::Bytes reply{8, 7, 6, 5, 4, 3, 2, 1, 9};
    Fault::method(257, 276).status(-77).reply(reply).add();
    uint64_t value = 0;
    uint8_t state = 0;
    EXPECT_STATUS(
        -77, zyOstrel_WaitForTransfer(session, 3, 0xAABBCCDDEEFF0011u, 0x12345678, &value, &state));
    EXPECT_EQ(value, 0x0102030405060708u);
    EXPECT_EQ(state, 9);
    const ZyEmuCall call = lastCall();
    expectStreamHeader(call, 276, 36, 3);
    EXPECT_EQ(fieldAt<uint64_t>(call, 24), 0xAABBCCDDEEFF0011u);
    EXPECT_EQ(fieldAt<uint32_t>(call, 32), 0x12345678u);
    EXPECT_EQ(call.outputSize, 9u);
    EXPECT_STATUS(-77, zyOstrel_WaitForTransfer(session, 3, 1, 0, nullptr, nullptr));
}

// Reads carry bytes per row, rows, data and read-record addresses, argument and element type.
TEST_F(StreamRecordsTest, ReadRecordsCarryTheCallersAddresses) {
    uint8_t info[2 * 80];
    double values[6];
    zyOstrel_ReadStreamI16(session, 4, 0xDEADBEEF, 12, samples, info);
    zyOstrel_ReadStream2DF64(session, 5, 3, 2, 3, values, info);
    zyOstrel_ReadStreamF64(session, 6, 0, 0, values, nullptr);
    const auto log = calls();
    ASSERT_EQ(log.size(), 3u);
    const struct {
        uint32_t stream;
        std::vector<uint64_t> sizes;
        std::vector<uint32_t> codes;
    } rows[] = {
        {4, {24, 1, addressOf(samples), addressOf(info)}, {0xDEADBEEF, 7}},
        {5, {24, 2, addressOf(values), addressOf(info)}, {3, 1}},
        {6, {0, 1, addressOf(values), 0}, {0, 1}},
    };
    for (size_t i = 0; i < log.size(); ++i) {
        expectStreamHeader(log[i], 277, 64, rows[i].stream, 1);
        EXPECT_EQ(fieldsAt<uint64_t>(log[i], {24, 32, 40, 48}), rows[i].sizes) << i;
        EXPECT_EQ(fieldsAt<uint32_t>(log[i], {56, 60}), rows[i].codes) << i;
        EXPECT_EQ(log[i].outputSize, 28u);
    }
}

TEST_F(StreamRecordsTest, WriteRecordsCarryTheirCodes) {
    EXPECT_STATUS(0, zyOstrel_WriteStreamI16(session, 40, 0x55, 8, samples));
    EXPECT_STATUS(0, zyOstrel_WriteStreamComplexI16(session, 41, 0x66, 4, samples));
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    const std::vector<uint32_t> codes[] = {{1, 0x55, 1, 7}, {2, 0x66, 5, 7}};
    for (size_t i = 0; i < 2; ++i) {
        expectStreamHeader(log[i], 279, 64, 40 + static_cast<uint32_t>(i));
        EXPECT_EQ(fieldsAt<uint64_t>(log[i], {24, 32, 40}),
                  (std::vector<uint64_t>{16, 1, addressOf(samples)}));
        EXPECT_EQ(fieldsAt<uint32_t>(log[i], {48, 52, 56, 60}), codes[i]);
        EXPECT_EQ(log[i].outputSize, 28u);
    }
}

TEST_F(StreamRecordsTest, TransferStateFlagTurnsIntoTheStatusOfTheState) {
    uint8_t info[80];
    const struct {
        uint8_t state;
        int32_t status;
    } rows[] = {{4, -304415}, {6, -304416}, {0, -50400}, {5, -50400}, {255, -50400}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int{row.state});
        flagTransfers(2, row.state);
        zyemu_clear_log();
        EXPECT_STATUS(row.status, zyOstrel_ReadStreamI16(session, 2, 0, 4, samples, info));
        const auto log = calls();
        ASSERT_EQ(log.size(), 2u);
        expectStreamHeader(log[1], 276, 36, 2);  // the state is asked with a wait
        EXPECT_EQ(fieldAt<uint64_t>(log[1], 24), 0u);
        EXPECT_EQ(fieldAt<uint32_t>(log[1], 32), 0u);
    }
    flagTransfers(33, 6);
    EXPECT_STATUS(-304416, zyOstrel_WriteStreamI16(session, 33, 0, 4, samples));

    // The state decides, whatever the wait itself answers; other flags do not matter.
    zytest::Bytes reply(28, 0);
    reply[24] = 2 | 1;
    Fault::method(257, 277).status(5).reply(reply).add();
    Fault::method(257, 276).status(-3).reply(zytest::Bytes{0, 0, 0, 0, 0, 0, 0, 0, 4}).add();
    EXPECT_STATUS(-304415, zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr));
}

TEST_F(StreamRecordsTest, ErrorsAndWarningsOfTransfersPassUnchanged) {
    zytest::Bytes reply(28, 0);
    reply[24] = 2;
    const int32_t id = Fault::method(257, 277).status(-1234).reply(reply).add();
    EXPECT_STATUS(-1234, zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr))
        << "an error wins over the flag";
    EXPECT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(zyemu_fault_hits(id), 1u);
    zyemu_clear_faults();
    Fault::method(257, 277).status(66).reply(zytest::Bytes(28, 0)).add();
    EXPECT_STATUS(66, zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr));
}

TEST_F(StreamRecordsTest, SimulatedSessionRunsTheShortcutsWithoutTheRuntime) {
    uint64_t value = 11;
    uint8_t state = 12;
    EXPECT_STATUS(0, zyOstrel_WaitForTransfer(simulated, 0, 1, 1, &value, &state), simulated);
    EXPECT_EQ(value, 11u);
    EXPECT_EQ(state, 12);
    // Starting has no shortcut: its record goes to the runtime, which the session lacks.
    EXPECT_EQ(zyOstrel_StartStream(simulated, 0), -1);
    // The shortcuts answer before any argument is looked at.
    EXPECT_EQ((std::vector<int32_t>{
                  zyOstrel_ClearStream(simulated, 0),
                  zyOstrel_WbReadStreamI16(simulated, 0, 0, 4, nullptr, nullptr),
                  zyOstrel_WbReadStream2DI16(simulated, 0, 0, 0, 4, nullptr, nullptr),
              }),
              std::vector<int32_t>(3, 0));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
