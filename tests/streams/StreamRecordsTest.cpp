// Stream records as the runtime receives them, the status rules of configuration steps, the
// transfer-state rule and simulated sessions.
#include <gtest/gtest.h>

#include <cstring>

#include "AttributeSession.h"

namespace {

using zytest::fieldAt;

class StreamRecordsTest : public zytest::SessionTest {
protected:
    static void expectStreamHeader(const ZyEmuCall& call, uint32_t method, uint64_t size,
                                   uint32_t stream, uint32_t qualifiers = 0) {
        EXPECT_EQ(call.functionNumber, 256u);
        EXPECT_EQ(call.interfaceNumber, 257u);
        EXPECT_EQ(call.method, method);
        EXPECT_EQ(call.inputSize, size);
        EXPECT_EQ(fieldAt<uint32_t>(call, 4), 0u);
        EXPECT_EQ(fieldAt<uint32_t>(call, 8), qualifiers);
        EXPECT_EQ(fieldAt<uint32_t>(call, 12), qualifiers);
        EXPECT_EQ(fieldAt<uint32_t>(call, 20), stream);
    }
    // Every read and write of the stream answers with reply flag 2 in the given state.
    static void flagTransfers(uint32_t stream, uint8_t state) {
        ASSERT_EQ(zyemu_stream_fail_transfer(ZYEMU_RESOURCE_DEFAULT, stream, state, 100), 0);
    }
};

TEST_F(StreamRecordsTest, ConfigureFiniteSetsBothAttributesOnTheStreamName) {
    ASSERT_EQ(zyOstrel_ConfigureStreamFinite(session, 63, 4096), 0) << "the highest stream";
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].method, 722u);
    EXPECT_EQ(fieldAt<uint32_t>(log[0], 20), 0x40000001u);
    EXPECT_EQ(textAt(log[0], 28, 256), "63");
    EXPECT_EQ(log[0].input[564], 1);
    EXPECT_EQ(fieldAt<uint32_t>(log[1], 20), 0x50000000u);
    EXPECT_EQ(textAt(log[1], 28, 256), "63");
    EXPECT_EQ(fieldAt<uint64_t>(log[1], 300), 4096u);
}

TEST_F(StreamRecordsTest, ConfigurationStepsFollowTheMergeRuleAndTheCountIsStoredFirst) {
    failCall(0, 12);
    failCall(1, -900);
    EXPECT_EQ(zyOstrel_ConfigureStreamFinite(session, 1, 10), -900) << "error after a warning";
    zyemu_clear_faults();
    zyemu_clear_log();
    failCall(0, 12);
    failCall(1, 13);
    EXPECT_EQ(zyOstrel_ConfigureStreamFinite(session, 1, 10), 12) << "the first warning wins";
    zyemu_clear_faults();
    zyemu_clear_log();
    failCall(0, -901, ZYEMU_FAULT_REPLACE);
    EXPECT_EQ(zyOstrel_ConfigureStreamFinite(session, 1, 10), -901);
    EXPECT_EQ(zyemu_call_count(), 1u) << "an error of the first step stops the operation";
    zyemu_clear_faults();
    zyemu_clear_log();
    failCall(0, -902, ZYEMU_FAULT_REPLACE);
    uint32_t count = 0;
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 0, "AI0-AI3", &count), -902);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(zyemu_call_count(), 1u);
}

TEST_F(StreamRecordsTest, EnabledChannelsCountDistinctIndexesAndSetTheMask) {
    uint32_t count = 0;
    ASSERT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 2, "AI0,AI2,AO2", &count), 0);
    EXPECT_EQ(count, 2u);
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(fieldAt<uint32_t>(log[0], 20), 0x10000000u);
    EXPECT_EQ(textAt(log[0], 28, 256), "2");
    EXPECT_EQ(fieldAt<int64_t>(log[0], 292), 2);
    EXPECT_EQ(fieldAt<uint32_t>(log[1], 20), 0x50000002u);
    EXPECT_EQ(fieldAt<uint64_t>(log[1], 300), 0x5u);

    zyemu_clear_log();
    ASSERT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 2, "AI63,ai0-ai1,AI1", nullptr), 0);
    EXPECT_EQ(fieldAt<int64_t>(calls()[0], 292), 3);
    EXPECT_EQ(fieldAt<uint64_t>(calls()[1], 300), 0x8000000000000003u);
}

TEST_F(StreamRecordsTest, BadStreamsNamesAndSizesAreRefusedWithoutSending) {
    uint32_t count = 77;
    EXPECT_EQ(zyOstrel_ConfigureStreamFinite(session, 64, 10), -304405);
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 64, "AI0", &count), -304405);
    EXPECT_EQ(zyOstrel_ConfigureStreamFinite(session, 0xFFFFFFFF, 10), -304405);
    // Enabled channels must be analog channel names.
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 0, "conn0/ai0", &count), -304421);
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 0, "AI0,DIO3", &count), -304421);
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 0, "", &count), -304421);
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 0, nullptr, &count), -304421);
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 0, "5", &count), -304421);
    EXPECT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, 0, "AI0,", &count), -304419);
    EXPECT_EQ(count, 77u);
    // Sizes that would wrap.
    int16_t samples[1];
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, uint64_t{1} << 63, samples, nullptr),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_WriteStreamComplexI16(session, 40, 0, uint64_t{1} << 62, samples),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(StreamRecordsTest, ClearAndStartSendTheShortRecord) {
    EXPECT_EQ(zyOstrel_ClearStream(session, 7), 0);
    EXPECT_EQ(zyOstrel_StartStream(session, 7), 0);
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    expectStreamHeader(log[0], 272, 24, 7);
    expectStreamHeader(log[1], 278, 24, 7);
    EXPECT_FALSE(log[0].outputGiven);
    EXPECT_FALSE(log[1].outputGiven);
}

TEST_F(StreamRecordsTest, WaitSendsItsArgumentsAndStoresTheReplyWhateverTheStatus) {
    uint8_t reply[9] = {};
    const uint64_t reported = 0x0102030405060708u;
    std::memcpy(reply, &reported, 8);
    reply[8] = 9;
    answerMethod(276, -77, reply, sizeof reply);

    uint64_t value = 0;
    uint8_t state = 0;
    EXPECT_EQ(zyOstrel_WaitForTransfer(session, 3, 0xAABBCCDDEEFF0011u, 0x12345678, &value, &state),
              -77);
    EXPECT_EQ(value, reported);
    EXPECT_EQ(state, 9);
    const ZyEmuCall call = lastCall();
    expectStreamHeader(call, 276, 36, 3);
    EXPECT_EQ(fieldAt<uint64_t>(call, 24), 0xAABBCCDDEEFF0011u);
    EXPECT_EQ(fieldAt<uint32_t>(call, 32), 0x12345678u);
    EXPECT_EQ(call.outputSize, 9u);

    EXPECT_EQ(zyOstrel_WaitForTransfer(session, 3, 1, 0, nullptr, nullptr), -77);
}

TEST_F(StreamRecordsTest, ReadRecordsCarryTheCallersAddresses) {
    int16_t samples[12];
    uint8_t info[2 * 80];
    double values[6];
    zyOstrel_ReadStreamI16(session, 4, 0xDEADBEEF, 12, samples, info);
    zyOstrel_ReadStream2DF64(session, 5, 3, 2, 3, values, info);
    zyOstrel_ReadStreamF64(session, 6, 0, 0, values, nullptr);

    const auto log = calls();
    ASSERT_EQ(log.size(), 3u);
    expectStreamHeader(log[0], 277, 64, 4, 1);
    EXPECT_EQ(fieldAt<uint64_t>(log[0], 24), 24u) << "bytes per row";
    EXPECT_EQ(fieldAt<uint64_t>(log[0], 32), 1u) << "rows";
    EXPECT_EQ(fieldAt<uint64_t>(log[0], 40), addressOf(samples));
    EXPECT_EQ(fieldAt<uint64_t>(log[0], 48), addressOf(info));
    EXPECT_EQ(fieldAt<uint32_t>(log[0], 56), 0xDEADBEEFu);
    EXPECT_EQ(fieldAt<uint32_t>(log[0], 60), 7u);
    EXPECT_EQ(log[0].outputSize, 28u);

    expectStreamHeader(log[1], 277, 64, 5, 1);
    EXPECT_EQ(fieldAt<uint64_t>(log[1], 24), 24u);
    EXPECT_EQ(fieldAt<uint64_t>(log[1], 32), 2u);
    EXPECT_EQ(fieldAt<uint64_t>(log[1], 40), addressOf(values));
    EXPECT_EQ(fieldAt<uint32_t>(log[1], 56), 3u);
    EXPECT_EQ(fieldAt<uint32_t>(log[1], 60), 1u);

    EXPECT_EQ(fieldAt<uint64_t>(log[2], 24), 0u);
    EXPECT_EQ(fieldAt<uint64_t>(log[2], 48), 0u);
}

TEST_F(StreamRecordsTest, WriteRecordsCarryTheirCodes) {
    const int16_t samples[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    zyOstrel_WriteStreamI16(session, 40, 0x55, 8, samples);
    zyOstrel_WriteStreamComplexI16(session, 41, 0x66, 4, samples);
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    const uint64_t bytes[] = {16, 16};
    const uint32_t codeA[] = {1, 2};
    const uint32_t codeB[] = {1, 5};
    const uint32_t argument[] = {0x55, 0x66};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        expectStreamHeader(log[i], 279, 64, 40 + static_cast<uint32_t>(i));
        EXPECT_EQ(fieldAt<uint64_t>(log[i], 24), bytes[i]);
        EXPECT_EQ(fieldAt<uint64_t>(log[i], 32), 1u);
        EXPECT_EQ(fieldAt<uint64_t>(log[i], 40), addressOf(samples));
        EXPECT_EQ(fieldAt<uint32_t>(log[i], 48), codeA[i]);
        EXPECT_EQ(fieldAt<uint32_t>(log[i], 52), argument[i]);
        EXPECT_EQ(fieldAt<uint32_t>(log[i], 56), codeB[i]);
        EXPECT_EQ(fieldAt<uint32_t>(log[i], 60), 7u);
        EXPECT_EQ(log[i].outputSize, 28u);
        EXPECT_EQ(log[i].status, 0);
    }
}

TEST_F(StreamRecordsTest, TransferStateFlagTurnsIntoTheStatusOfTheState) {
    int16_t samples[4];
    uint8_t info[80];
    const struct {
        uint8_t state;
        int32_t status;
    } cases[] = {{4, -304415}, {6, -304416}, {0, -50400}, {5, -50400}, {255, -50400}};
    for (const auto& expected : cases) {
        SCOPED_TRACE(int{expected.state});
        flagTransfers(2, expected.state);
        zyemu_clear_log();
        EXPECT_EQ(zyOstrel_ReadStreamI16(session, 2, 0, 4, samples, info), expected.status);
        const auto log = calls();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[1].method, 276u) << "the state is asked with a wait";
        EXPECT_EQ(fieldAt<uint32_t>(log[1], 20), 2u);
        EXPECT_EQ(fieldAt<uint64_t>(log[1], 24), 0u);
        EXPECT_EQ(fieldAt<uint32_t>(log[1], 32), 0u);
    }
    flagTransfers(33, 6);
    EXPECT_EQ(zyOstrel_WriteStreamI16(session, 33, 0, 4, samples), -304416);
    EXPECT_EQ(zyOstrel_WriteStreamComplexI16(session, 33, 0, 2, samples), -304416);

    // The state decides, whatever the wait itself answers.
    uint8_t reply[28] = {};
    reply[24] = 2 | 1;  // other flags do not matter
    answerMethod(277, 5, reply, sizeof reply);
    uint8_t waitReply[9] = {};
    waitReply[8] = 4;
    answerMethod(276, -3, waitReply, sizeof waitReply);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr), -304415);
}

TEST_F(StreamRecordsTest, ErrorsAndWarningsOfTransfersPassUnchanged) {
    int16_t samples[4];
    uint8_t reply[28] = {};
    reply[24] = 2;
    const int32_t id = answerMethod(277, -1234, reply, sizeof reply);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr), -1234)
        << "an error wins over the flag";
    EXPECT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(zyemu_fault_hits(id), 1u);

    zyemu_clear_faults();
    reply[24] = 0;
    answerMethod(277, 66, reply, sizeof reply);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr), 66);
}

TEST_F(StreamRecordsTest, SimulatedSessionRunsTheShortcutsWithoutTheRuntime) {
    int16_t samples[4] = {};
    uint64_t value = 11;
    uint8_t state = 12;
    EXPECT_EQ(zyOstrel_StartStream(kSimulated, 0), -1);
    EXPECT_EQ(zyOstrel_ClearStream(kSimulated, 0), 0);
    EXPECT_EQ(zyOstrel_WaitForTransfer(kSimulated, 0, 1, 1, &value, &state), 0);
    EXPECT_EQ(value, 11u);
    EXPECT_EQ(state, 12);
    EXPECT_EQ(zyOstrel_ReadStreamI16(kSimulated, 0, 0, 4, samples, nullptr), -1);
    EXPECT_EQ(zyOstrel_ReadStream2DF64(kSimulated, 0, 0, 1, 1, nullptr, nullptr), -1);
    EXPECT_EQ(zyOstrel_WriteStreamI16(kSimulated, 40, 0, 4, samples), -1);
    EXPECT_EQ(zyOstrel_WriteStreamComplexI16(kSimulated, 40, 0, 2, samples), -1);
    EXPECT_EQ(zyOstrel_ConfigureStreamFinite(kSimulated, 0, 5), -1);
    EXPECT_EQ(zyOstrel_WbReadStreamI16(kSimulated, 0, 0, 4, nullptr, nullptr), 0);
    EXPECT_EQ(zyOstrel_WbReadStreamF64(kSimulated, 0, 0, 4, nullptr, nullptr), 0);
    EXPECT_EQ(zyOstrel_WbReadStream2DI16(kSimulated, 0, 0, 0, 4, nullptr, nullptr), 0);
    EXPECT_EQ(zyOstrel_WbReadStream2DF64(kSimulated, 0, 0, 2, 4, nullptr, nullptr), 0);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
