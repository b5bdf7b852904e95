// Reads into the graphical host's array handles: the sizing policy, the automatic row count
// and what the handles hold afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "streams/HostMemory.h"
#include "support/EmulatorFixture.h"
#include "support/HostBlock.h"

// The graphical host's memory manager as this binary provides it: blocks behind handles, with
// counters of the resizes asked for and a switch that makes the next resize fail.
namespace {

struct HostMemoryStub {
    int numericResizes = 0;
    int setSizes = 0;
    std::vector<size_t> lastResize;  // type code, dimensions and count of the last numeric one
    bool failNextResize = false;
} stub;

using zytest::Block;
using zytest::blockOf;

bool resized(ZyHostHandle handle, size_t size) {
    if (std::exchange(stub.failNextResize, false)) return false;
    blockOf(handle)->resize(size);
    return true;
}

}  // namespace

extern "C" {

// The library only asks whether the host provides it; the tests make their handles below.
ZyHostHandle DSNewHandle(size_t) { return nullptr; }

int32_t DSGetHandleSize(ZyHostHandle handle) {
    return static_cast<int32_t>(blockOf(handle)->store.size() - 1);
}

int32_t DSSetHandleSize(ZyHostHandle handle, size_t size) {
    ++stub.setSizes;
    return resized(handle, size) ? 0 : 2;
}

// Sizes the block for count elements of the type's size after the length words (8 bytes,
// or 4 for a one-dimensional 16-bit array).
int32_t NumericArrayResize(int32_t typeCode, int32_t dimensions, ZyHostHandle* handle,
                           size_t count) {
    ++stub.numericResizes;
    stub.lastResize = {size_t(typeCode), size_t(dimensions), count};
    const size_t elementSize = typeCode == 10 ? 8 : typeCode == 2 ? 2 : 1;
    const size_t header = dimensions == 1 && elementSize < 8 ? 4 : 8;
    return resized(*handle, header + count * elementSize) ? 0 : 2;
}

}  // extern "C"

namespace {

using zytest::Fault;

// A host array handle of the given size; its block starts with i32 length words.
struct HostHandle : Block {
    explicit HostHandle(size_t bytes = 0) {
        if (bytes != 0) resize(bytes);
    }
    ZyHostHandle get() { return &data; }
    template <class T = int32_t>
    T at(size_t offset) const {
        T value{};
        std::memcpy(&value, data + offset, sizeof value);
        return value;
    }
    void setWord(size_t offset, int32_t value) { std::memcpy(data + offset, &value, 4); }
};

constexpr uint64_t kAutomatic = ~uint64_t{0};

class HostReadsTest : public zytest::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        stub = HostMemoryStub{};
        startContinuous(0, "AI0-AI2");
    }
    void startContinuous(uint32_t stream, const char* channels) {
        ASSERT_STATUS(0,
                      zyOstrel_ConfigureStreamEnabledChannels(session, stream, channels, nullptr));
        ASSERT_STATUS(0, zyOstrel_StartStream(session, stream));
        zyemu_clear_log();
    }
    // Reads count samples of stream 0 into a one-dimensional 16-bit handle.
    int32_t readI16(HostHandle& handle, uint64_t count) {
        return zyOstrel_WbReadStreamI16(session, 0, 9, count, handle.get(), info);
    }
    int32_t read2D(uint64_t rows, uint64_t columns, HostHandle& rowsHandle, HostHandle& infoHandle,
                   uint32_t stream = 0) {
        return zyOstrel_WbReadStream2DI16(session, stream, 4, rows, columns, rowsHandle.get(),
                                          infoHandle.get());
    }

    HostHandle data;
    HostHandle infos;
    uint8_t info[80] = {};
};

// The handle is resized only when a read needs more than it holds or less than half of it.
TEST_F(HostReadsTest, OneDimensionalReadSizesTheHandleOnlyWhenThePolicySays) {
    ASSERT_STATUS(0, readI16(data, 100));
    EXPECT_EQ(stub.lastResize, (std::vector<size_t>{2, 1, 100}));
    EXPECT_EQ(data.at<int16_t>(4 + 2 * 2), zyemu_waveform_i16(2, 0));
    EXPECT_EQ(fieldsAt<uint64_t>(lastCall(), {24, 40, 48}),
              (std::vector<uint64_t>{200, addressOf(data.data + 4), addressOf(info)}));
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 56), 9u);

    const struct {
        uint64_t count;
        int resizes;
        const char* why;
    } rows[] = {{100, 1, "same-size reads reuse the handle"},
                {60, 1, "a smaller read above half reuses it"},
                {20, 2, "below half of the old measure shrinks"},
                {21, 3, "above the old measure and the allocation grows"}};
    for (const auto& row : rows) {
        ASSERT_STATUS(0, readI16(data, row.count));
        EXPECT_EQ(stub.numericResizes, row.resizes) << row.why;
        EXPECT_EQ(data.at(0), int32_t(row.count));
    }
}

TEST_F(HostReadsTest, FloatingPointAndZeroElementReadsSendTheirRecords) {
    ASSERT_STATUS(0, zyOstrel_WbReadStreamF64(session, 0, 0, 5, data.get(), info));
    EXPECT_EQ(stub.lastResize.front(), 10u);
    EXPECT_EQ(data.at(0), 5);
    EXPECT_EQ(data.at<double>(8 + 4 * 8), zyemu_waveform_f64(1, 1)) << "channels interleaved";
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 60), 1u);

    // Zero elements send a zero-byte read, and the read record starts zeroed.
    zyemu_clear_log();
    HostHandle none;
    std::memset(info, 0xCD, sizeof info);
    ASSERT_STATUS(0, readI16(none, 0));
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(fieldsAt<uint64_t>(lastCall(), {24, 32}), (std::vector<uint64_t>{0, 1}));
    EXPECT_EQ(none.at(0), 0);
    EXPECT_EQ(zytest::Bytes(info, info + 80), zytest::Bytes(80, 0));
}

TEST_F(HostReadsTest, HandlesTooShortForTheirLengthWordsAreSizedNotRead) {
    HostHandle tiny(2);  // not even the count word
    ASSERT_STATUS(0, readI16(tiny, 8));
    EXPECT_EQ(tiny.at(0), 8);
    HostHandle claims(8);
    claims.setWord(0, 1000);  // says 1000 elements, holds none
    ASSERT_STATUS(0, readI16(claims, 16));
    EXPECT_EQ(stub.numericResizes, 2);
    EXPECT_EQ(claims.at(0), 16);

    HostHandle rows(6);       // the first dimension, half of the second
    HostHandle tinyInfos(2);  // not even the count word
    ASSERT_STATUS(0, read2D(2, 3, rows, tinyInfos));
    EXPECT_EQ(std::vector<int32_t>({rows.at(0), rows.at(4), tinyInfos.at(0)}),
              std::vector<int32_t>({2, 3, 2}));
    EXPECT_EQ(DSGetHandleSize(tinyInfos.get()), 2 * 80 + 8);

    // Dimensions that claim more than memory can hold are sized for what the read needs.
    HostHandle claimed(8);
    claimed.setWord(0, 0x7FFFFFFF);
    claimed.setWord(4, 0x7FFFFFFF);
    ASSERT_STATUS(0, zyOstrel_WbReadStream2DF64(session, 0, 0, 1, 4, claimed.get(), infos.get()));
    EXPECT_EQ(std::vector<int32_t>({claimed.at(0), claimed.at(4), DSGetHandleSize(claimed.get())}),
              std::vector<int32_t>({1, 4, 8 + 4 * 8}));
}

TEST_F(HostReadsTest, FailedResizeGivesMemoryFullWithoutReading) {
    stub.failNextResize = true;
    EXPECT_STATUS(-52000, readI16(data, 8));
    EXPECT_EQ(zyemu_call_count(), 0u);

    stub.failNextResize = true;
    EXPECT_STATUS(-52000, read2D(1, 8, data, infos));
    ASSERT_STATUS(0, read2D(1, 8, data, infos));
    HostHandle otherInfos;
    stub.failNextResize = true;
    EXPECT_STATUS(-52000, read2D(1, 8, data, otherInfos)) << "the ReadInfo handle too";
    EXPECT_EQ(stub.setSizes, 2);
}

TEST_F(HostReadsTest, TwoDimensionalReadFillsDimensionsAndReadRecords) {
    ASSERT_STATUS(0, read2D(3, 5, data, infos));
    EXPECT_EQ(stub.lastResize, (std::vector<size_t>{2, 2, 15}));
    EXPECT_EQ(std::vector<int32_t>({data.at(0), data.at(4), infos.at(0)}),
              std::vector<int32_t>({3, 5, 3}));
    EXPECT_EQ(DSGetHandleSize(infos.get()), 3 * 80 + 8);
    EXPECT_EQ(data.at<int16_t>(8 + (2 * 5 + 4) * 2), zyemu_waveform_i16(2, 4));
    EXPECT_EQ(infos.at<uint32_t>(8 + 2 * 80 + 16), 2u) << "the channel of the third row";
    EXPECT_EQ(fieldsAt<uint64_t>(lastCall(), {24, 32, 40, 48}),
              (std::vector<uint64_t>{10, 3, addressOf(data.data + 8), addressOf(infos.data + 8)}));

    ASSERT_STATUS(0, read2D(3, 5, data, infos));
    EXPECT_EQ(std::make_pair(stub.numericResizes, stub.setSizes), std::make_pair(1, 1));
    ASSERT_STATUS(0, read2D(1, 5, data, infos));
    EXPECT_EQ(stub.setSizes, 2) << "one row is below half of three";
    EXPECT_EQ(DSGetHandleSize(infos.get()), 80 + 8);
}

// Missing arguments, zero rows, unnamed streams and dimensions beyond what memory can hold.
TEST_F(HostReadsTest, RefusedReadsSendNothing) {
    constexpr uint64_t kLargest = 0x7FFFFFFF;
    EXPECT_STATUS(-52000, zyOstrel_WbReadStream2DF64(session, 0, 0, kLargest, kLargest, data.get(),
                                                     infos.get()));
    EXPECT_STATUS(-52000, read2D(kLargest, kLargest, data, infos));
    EXPECT_STATUS(-52005, zyOstrel_WbReadStreamI16(session, 0, 0, 4, nullptr, info));
    EXPECT_STATUS(-52005, zyOstrel_WbReadStreamI16(session, 0, 0, 4, data.get(), nullptr));
    EXPECT_STATUS(-52005, zyOstrel_WbReadStream2DF64(session, 0, 0, 1, 4, data.get(), nullptr));
    EXPECT_STATUS(-52000, zyOstrel_WbReadStream2DF64(session, 0, 0, 1, uint64_t{1} << 31,
                                                     data.get(), data.get()));
    EXPECT_STATUS(-304401, read2D(0, 5, data, infos));
    // Automatic rows need a stream name to ask the channel count for.
    EXPECT_STATUS(-304405, read2D(kAutomatic, 2, data, infos, 64));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

// Automatic rows are the stream's channel count, doubled when both DDC Booleans are true; a
// Boolean read that gives no value counts as false, a failed channel count read is returned.
TEST_F(HostReadsTest, AutomaticRowsFollowTheChannelCountAndTheDdcBooleans) {
    startContinuous(3, "AI0-AI3");
    ASSERT_STATUS(0, zyOstrel_SetAttributeBoolean(session, "3", 0x40000019, 1));
    ASSERT_STATUS(0, read2D(kAutomatic, 2, data, infos, 3));
    EXPECT_EQ(data.at(0), 4) << "DDC off";
    ASSERT_STATUS(0, zyOstrel_SetAttributeBoolean(session, "3", 0x4000000F, 1));
    zyemu_clear_log();
    Fault::callAt(2).status(4242).add();  // a warning: no value, so false
    ASSERT_STATUS(0, read2D(kAutomatic, 2, data, infos, 3));
    EXPECT_EQ(data.at(0), 4);

    zyemu_clear_faults();
    zyemu_clear_log();
    ASSERT_STATUS(0, read2D(kAutomatic, 2, data, infos, 3));
    EXPECT_EQ(std::make_pair(data.at(0), infos.at(0)), std::make_pair(8, 8));
    EXPECT_EQ(attributeCalls(),
              (std::vector<zytest::AttributeCall>{
                  {721, 0x10000000, "3"}, {721, 0x40000019, "3"}, {721, 0x4000000F, "3"}}));
    EXPECT_EQ(fieldAt<uint64_t>(lastCall(), 32), 8u);
    zyemu_clear_log();
    Fault::callAt(0).status(-4343).add();
    EXPECT_STATUS(-4343, read2D(kAutomatic, 2, data, infos, 3));
    EXPECT_EQ(zyemu_call_count(), 1u);
}

}  // namespace
