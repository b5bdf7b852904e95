// Finite and continuous acquisitions end to end on the emulated instrument: every sample is
// predictable, so reads are checked value by value.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AttributeSession.h"

namespace {

// The waveform the emulated instrument documents, computed independently here.
int16_t expectedSample(uint32_t channel, uint64_t index) {
    const int scale = 16 * static_cast<int>(channel % 8 + 1);
    const int phase = static_cast<int>((index + 16 * channel) % 256);
    return static_cast<int16_t>(phase < 128 ? scale * (phase - 64) : scale * (192 - phase));
}

class StreamAcquisitionTest : public zytest::SessionTest {
protected:
    void configure(uint32_t stream, const char* channels, uint64_t samples) {
        uint32_t count = 0;
        ASSERT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, stream, channels, &count), 0);
        if (samples != 0) {
            ASSERT_EQ(zyOstrel_ConfigureStreamFinite(session, stream, samples), 0);
        }
        ASSERT_EQ(zyOstrel_StartStream(session, stream), 0);
    }
};

TEST_F(StreamAcquisitionTest, WaveformMatchesItsDocumentedFormula) {
    for (uint32_t channel : {0u, 1u, 7u, 8u, 63u}) {
        for (uint64_t index : {0ull, 1ull, 63ull, 64ull, 127ull, 128ull, 255ull, 256ull, 1000ull}) {
            EXPECT_EQ(zyemu_waveform_i16(channel, index), expectedSample(channel, index));
            EXPECT_EQ(zyemu_waveform_f64(channel, index), expectedSample(channel, index) / 8192.0);
        }
    }
    EXPECT_EQ(zyemu_waveform_i16(7, 16), 8192) << "peak of the largest channel";
}

TEST_F(StreamAcquisitionTest, FiniteTwoChannelReadsInterleavedThenByRows) {
    configure(0, "AI1,AI3", 8);
    int16_t interleaved[6];
    uint8_t info[80];
    ASSERT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 6, interleaved, info), 0);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(interleaved[k], expectedSample(k % 2 == 0 ? 1 : 3, k / 2)) << k;
    }
    uint64_t firstSample = 99;
    std::memcpy(&firstSample, info, 8);
    EXPECT_EQ(firstSample, 0u);

    double rows[2 * 4];
    uint8_t rowInfo[2 * 80];
    ASSERT_EQ(zyOstrel_ReadStream2DF64(session, 0, 0, 2, 4, rows, rowInfo), 0);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(rows[k], expectedSample(1, 3 + k) / 8192.0) << k;
        EXPECT_EQ(rows[4 + k], expectedSample(3, 3 + k) / 8192.0) << k;
    }
    uint32_t channel = 0;
    std::memcpy(&channel, rowInfo + 80 + 16, 4);
    EXPECT_EQ(channel, 3u);

    uint64_t remaining = 7;
    uint8_t state = 7;
    ASSERT_EQ(zyOstrel_WaitForTransfer(session, 0, 10, 0, &remaining, &state), 0);
    EXPECT_EQ(remaining, 2u);
    EXPECT_EQ(state, ZYEMU_TRANSFER_RUNNING);

    int16_t tooMany[4];
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, tooMany, nullptr),
              ZYEMU_STATUS_STREAM_EXHAUSTED);
    int16_t last[2];
    ASSERT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 2, last, nullptr), 0);
    EXPECT_EQ(last[0], expectedSample(1, 7));
    EXPECT_EQ(last[1], expectedSample(3, 7));
    ASSERT_EQ(zyOstrel_WaitForTransfer(session, 0, 0, 0, &remaining, &state), 0);
    EXPECT_EQ(remaining, 0u);
    EXPECT_EQ(state, ZYEMU_TRANSFER_FINISHED);
}

TEST_F(StreamAcquisitionTest, ContinuousAcquisitionNeverRunsDry) {
    ASSERT_EQ(zyOstrel_SetAttributeBoolean(session, "1", 0x40000001, 0), 0);
    configure(1, "AI5", 0);
    std::vector<int16_t> block(1000);
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_EQ(zyOstrel_ReadStreamI16(session, 1, 0, block.size(), block.data(), nullptr), 0);
        EXPECT_EQ(block.front(), expectedSample(5, pass * 1000));
        EXPECT_EQ(block.back(), expectedSample(5, pass * 1000 + 999));
    }
    uint64_t reported = 0;
    ASSERT_EQ(zyOstrel_WaitForTransfer(session, 1, 4096, 0, &reported, nullptr), 0);
    EXPECT_EQ(reported, 4096u);
}

TEST_F(StreamAcquisitionTest, OutputStreamsKeepWhatIsWritten) {
    const int16_t samples[6] = {10, -20, 30, -40, 50, -60};
    ASSERT_EQ(zyOstrel_WriteStreamI16(session, 40, 0, 4, samples), 0);
    ASSERT_EQ(zyOstrel_WriteStreamComplexI16(session, 40, 0, 1, samples + 4), 0);
    int16_t written[6] = {};
    EXPECT_EQ(zyemu_stream_written(ZYEMU_RESOURCE_DEFAULT, 40, written, sizeof written), 12);
    EXPECT_EQ(std::memcmp(written, samples, sizeof samples), 0);
    uint64_t reported = 0;
    ASSERT_EQ(zyOstrel_WaitForTransfer(session, 40, 0, 0, &reported, nullptr), 0);
    EXPECT_EQ(reported, 6u);
    EXPECT_EQ(zyOstrel_WriteStreamI16(session, 3, 0, 4, samples), ZYEMU_STATUS_STREAM_DIRECTION);
    ASSERT_EQ(zyOstrel_ClearStream(session, 40), 0);
    EXPECT_EQ(zyemu_stream_written(ZYEMU_RESOURCE_DEFAULT, 40, nullptr, 0), 0);
}

TEST_F(StreamAcquisitionTest, InjectedTransferStateLastsUntilTheStreamStarts) {
    configure(0, "AI0", 100);
    ASSERT_EQ(zyemu_stream_fail_transfer(ZYEMU_RESOURCE_DEFAULT, 0, 6, 1), 0);
    int16_t samples[4];
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr), -304416);
    uint8_t state = 0;
    ASSERT_EQ(zyOstrel_WaitForTransfer(session, 0, 0, 0, nullptr, &state), 0);
    EXPECT_EQ(state, 6);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr), 0)
        << "the flag was asked for one reply only";
    ASSERT_EQ(zyOstrel_StartStream(session, 0), 0);
    ASSERT_EQ(zyOstrel_WaitForTransfer(session, 0, 0, 0, nullptr, &state), 0);
    EXPECT_EQ(state, ZYEMU_TRANSFER_RUNNING);
}

TEST_F(StreamAcquisitionTest, InstrumentRefusesStoppedWrongOrMalformedTransfers) {
    int16_t samples[4];
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr),
              ZYEMU_STATUS_STREAM_NOT_RUNNING);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 40, 0, 4, samples, nullptr),
              ZYEMU_STATUS_STREAM_DIRECTION);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 64, 0, 4, samples, nullptr),
              ZYEMU_STATUS_INVALID_STREAM);

    configure(0, "AI0", 4);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, nullptr, nullptr),
              ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(zyOstrel_WriteStreamI16(session, 40, 0, 4, nullptr), ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(zyOstrel_WriteStreamI16(session, 40, 0, 0, nullptr), 0) << "nothing to copy";
    std::string elaboration = zytest::elaborationOf(session);
    EXPECT_NE(elaboration.find("kUsageTypeStreamNumber"), std::string::npos) << elaboration;
    ASSERT_EQ(zyOstrel_ClearStream(session, 0), 0);
    EXPECT_EQ(zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr),
              ZYEMU_STATUS_STREAM_NOT_RUNNING);

    ASSERT_EQ(zyOstrel_SetAttributeUInt64(session, "2", 0x50000002, 0), 0);
    EXPECT_EQ(zyOstrel_StartStream(session, 2), ZYEMU_STATUS_INVALID_VALUE)
        << "an input stream needs a channel";
}

}  // namespace
