// Finite and continuous acquisitions end to end on the emulated instrument: every sample is
// predictable, so reads are checked value by value.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "support/EmulatorFixture.h"

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
        ASSERT_STATUS(0,
                      zyOstrel_ConfigureStreamEnabledChannels(session, stream, channels, nullptr));
        if (samples != 0) {
            ASSERT_STATUS(0, zyOstrel_ConfigureStreamFinite(session, stream, samples));
        }
        ASSERT_STATUS(0, zyOstrel_StartStream(session, stream));
    }
    // What the wait for transfer reports for the stream: the count and the transfer state.
    std::pair<uint64_t, int> transfer(uint32_t stream) {
        uint64_t value = 99;
        uint8_t state = 99;
        EXPECT_STATUS(0, zyOstrel_WaitForTransfer(session, stream, 0, 0, &value, &state));
        return {value, state};
    }
};

TEST_F(StreamAcquisitionTest, FiniteTwoChannelReadsInterleavedThenByRows) {
    configure(0, "AI1,AI3", 8);
    int16_t interleaved[6];
    uint8_t info[80];
    ASSERT_STATUS(0, zyOstrel_ReadStreamI16(session, 0, 0, 6, interleaved, info));
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(interleaved[k], expectedSample(k % 2 ? 3 : 1, k / 2)) << k;
    uint64_t firstSample = 99;
    std::memcpy(&firstSample, info, 8);
    EXPECT_EQ(firstSample, 0u);

    double rows[2 * 4];
    uint8_t rowInfo[2 * 80];
    ASSERT_STATUS(0, zyOstrel_ReadStream2DF64(session, 0, 0, 2, 4, rows, rowInfo));
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(rows[k], expectedSample(k < 4 ? 1 : 3, 3 + k % 4) / 8192.0) << k;
    }
    uint32_t channel = 0;
    std::memcpy(&channel, rowInfo + 80 + 16, 4);
    EXPECT_EQ(channel, 3u);
    EXPECT_EQ(transfer(0), std::make_pair(uint64_t{2}, int{ZYEMU_TRANSFER_RUNNING}));

    int16_t last[4];
    EXPECT_STATUS(ZYEMU_STATUS_STREAM_EXHAUSTED,
                  zyOstrel_ReadStreamI16(session, 0, 0, 4, last, nullptr));
    ASSERT_STATUS(0, zyOstrel_ReadStreamI16(session, 0, 0, 2, last, nullptr));
    EXPECT_EQ(last[0], expectedSample(1, 7));
    EXPECT_EQ(last[1], expectedSample(3, 7));
    EXPECT_EQ(transfer(0), std::make_pair(uint64_t{0}, int{ZYEMU_TRANSFER_FINISHED}));
}

TEST_F(StreamAcquisitionTest, ContinuousAcquisitionNeverRunsDry) {
    ASSERT_STATUS(0, zyOstrel_SetAttributeBoolean(session, "1", 0x40000001, 0));
    configure(1, "AI5", 0);
    std::vector<int16_t> block(1000);
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_STATUS(0,
                      zyOstrel_ReadStreamI16(session, 1, 0, block.size(), block.data(), nullptr));
        EXPECT_EQ(block.front(), expectedSample(5, pass * 1000));
        EXPECT_EQ(block.back(), expectedSample(5, pass * 1000 + 999));
    }
    uint64_t reported = 0;
    ASSERT_STATUS(0, zyOstrel_WaitForTransfer(session, 1, 4096, 0, &reported, nullptr));
    EXPECT_EQ(reported, 4096u);
}

TEST_F(StreamAcquisitionTest, OutputStreamsKeepWhatIsWritten) {
    const int16_t samples[6] = {10, -20, 30, -40, 50, -60};
    ASSERT_STATUS(0, zyOstrel_WriteStreamI16(session, 40, 0, 4, samples));
    ASSERT_STATUS(0, zyOstrel_WriteStreamComplexI16(session, 40, 0, 1, samples + 4));
    int16_t written[6] = {};
    EXPECT_EQ(zyemu_stream_written(ZYEMU_RESOURCE_DEFAULT, 40, written, sizeof written), 12);
    EXPECT_EQ(std::memcmp(written, samples, sizeof samples), 0);
    EXPECT_EQ(transfer(40).first, 6u);
    EXPECT_STATUS(ZYEMU_STATUS_STREAM_DIRECTION,
                  zyOstrel_WriteStreamI16(session, 3, 0, 4, samples));
    ASSERT_STATUS(0, zyOstrel_ClearStream(session, 40));
    EXPECT_EQ(zyemu_stream_written(ZYEMU_RESOURCE_DEFAULT, 40, nullptr, 0), 0);
}

TEST_F(StreamAcquisitionTest, InjectedTransferStateLastsUntilTheStreamStarts) {
    configure(0, "AI0", 100);
    ASSERT_EQ(zyemu_stream_fail_transfer(ZYEMU_RESOURCE_DEFAULT, 0, 6, 1), 0);
    int16_t samples[4];
    EXPECT_STATUS(-304416, zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr));
    EXPECT_EQ(transfer(0).second, 6);
    EXPECT_STATUS(0, zyOstrel_ReadStreamI16(session, 0, 0, 4, samples, nullptr))
        << "the flag was asked for one reply only";
    ASSERT_STATUS(0, zyOstrel_StartStream(session, 0));
    EXPECT_EQ(transfer(0).second, ZYEMU_TRANSFER_RUNNING);
}

}  // namespace
