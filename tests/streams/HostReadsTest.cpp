// Reads into the graphical host's array handles: the sizing policy, the automatic row count
// and what the handles hold afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "AttributeSession.h"
#include "streams/HostMemory.h"

// The graphical host's memory manager as this binary provides it: heap blocks behind handles,
// with counters of the resizes asked for and a switch that makes the next resize fail.
namespace {

struct HostMemoryStub {
    int numericResizes = 0;
    int setSizes = 0;
    int32_t lastTypeCode = 0;
    int32_t lastDimensions = 0;
    size_t lastCount = 0;
    bool failNextResize = false;
} stubState;

// A handle points at the first member, so a handle leads back to its block.
struct Block {
    uint8_t* data;
    size_t size;
};

Block* blockOf(ZyHostHandle handle) { return reinterpret_cast<Block*>(handle); }

bool resizeBlock(ZyHostHandle handle, size_t size) {
    Block* block = blockOf(handle);
    void* grown = std::realloc(block->data, size == 0 ? 1 : size);
    if (grown == nullptr) return false;
    block->data = static_cast<uint8_t*>(grown);
    if (size > block->size) std::memset(block->data + block->size, 0, size - block->size);
    block->size = size;
    return true;
}

// Counts a resize; false when it is the one asked to fail.
bool resizeAllowed() {
    const bool allowed = !stubState.failNextResize;
    stubState.failNextResize = false;
    return allowed;
}

}  // namespace

extern "C" {

ZyHostHandle DSNewHandle(size_t size) {
    auto* block = new (std::nothrow) Block{nullptr, 0};
    if (block == nullptr) return nullptr;
    if (size != 0 && !resizeBlock(&block->data, size)) {
        delete block;
        return nullptr;
    }
    return &block->data;
}

int32_t DSGetHandleSize(ZyHostHandle handle) { return static_cast<int32_t>(blockOf(handle)->size); }

int32_t DSSetHandleSize(ZyHostHandle handle, size_t size) {
    ++stubState.setSizes;
    return resizeAllowed() && resizeBlock(handle, size) ? 0 : 2;
}

// Sizes the block for count elements of the type's size after the length words (8 bytes,
// or 4 for a one-dimensional 16-bit array).
int32_t NumericArrayResize(int32_t typeCode, int32_t dimensions, ZyHostHandle* handle,
                           size_t count) {
    ++stubState.numericResizes;
    stubState.lastTypeCode = typeCode;
    stubState.lastDimensions = dimensions;
    stubState.lastCount = count;
    if (!resizeAllowed()) return 2;
    const size_t elementSize = typeCode == 10 ? 8 : typeCode == 2 ? 2 : 1;
    const size_t header = dimensions == 1 && elementSize < 8 ? 4 : 8;
    return resizeBlock(*handle, header + count * elementSize) ? 0 : 2;
}

}  // extern "C"

namespace {

using zytest::fieldAt;

// An owned host handle, freed at the end of the scope.
class HostHandle {
public:
    explicit HostHandle(size_t bytes = 0) : handle_(DSNewHandle(bytes)) {
        if (handle_ == nullptr) throw std::bad_alloc();
    }
    ~HostHandle() {
        std::free(*handle_);
        delete blockOf(handle_);
    }
    HostHandle(const HostHandle&) = delete;
    HostHandle& operator=(const HostHandle&) = delete;

    ZyHostHandle get() const { return handle_; }
    uint8_t* block() const { return *handle_; }
    int32_t word(size_t offset) const {
        int32_t value = 0;
        std::memcpy(&value, block() + offset, 4);
        return value;
    }
    void setWord(size_t offset, int32_t value) { std::memcpy(block() + offset, &value, 4); }

private:
    ZyHostHandle handle_;
};

constexpr uint64_t kAutomatic = ~uint64_t{0};

class HostReadsTest : public zytest::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        stubState = HostMemoryStub{};
    }
    static HostMemoryStub& stub() { return stubState; }
    void startContinuous(uint32_t stream, const char* channels) {
        ASSERT_EQ(zyOstrel_ConfigureStreamEnabledChannels(session, stream, channels, nullptr), 0);
        ASSERT_EQ(zyOstrel_StartStream(session, stream), 0);
        zyemu_clear_log();
    }
};

TEST_F(HostReadsTest, OneDimensionalReadSizesTheHandleOnceForRepeatedReads) {
    startContinuous(0, "AI2");
    HostHandle data;
    uint8_t info[80];
    std::memset(info, 0xAB, sizeof info);
    ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 9, 100, data.get(), info), 0);
    EXPECT_EQ(stub().numericResizes, 1);
    EXPECT_EQ(stub().lastTypeCode, 2);
    EXPECT_EQ(stub().lastDimensions, 1);
    EXPECT_EQ(stub().lastCount, 100u);
    EXPECT_EQ(data.word(0), 100);
    int16_t first = 0;
    std::memcpy(&first, data.block() + 4, 2);
    EXPECT_EQ(first, zyemu_waveform_i16(2, 0));
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(fieldAt<uint64_t>(call, 24), 200u);
    EXPECT_EQ(fieldAt<uint64_t>(call, 40), addressOf(data.block() + 4));
    EXPECT_EQ(fieldAt<uint64_t>(call, 48), addressOf(info));
    EXPECT_EQ(fieldAt<uint32_t>(call, 56), 9u);

    for (int repeat = 0; repeat < 3; ++repeat) {
        ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 9, 100, data.get(), info), 0);
    }
    EXPECT_EQ(stub().numericResizes, 1) << "same-size reads reuse the handle";
    ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 9, 60, data.get(), info), 0);
    EXPECT_EQ(stub().numericResizes, 1) << "a smaller read above half reuses it";
    EXPECT_EQ(data.word(0), 60);
    ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 9, 20, data.get(), info), 0);
    EXPECT_EQ(stub().numericResizes, 2) << "below half of the old measure shrinks";
    ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 9, 21, data.get(), info), 0);
    EXPECT_EQ(stub().numericResizes, 3) << "above the old measure and the allocation grows";
}

TEST_F(HostReadsTest, FloatingPointAndZeroElementReadsSendTheirRecords) {
    startContinuous(0, "AI0");
    HostHandle data;
    uint8_t info[80];
    ASSERT_EQ(zyOstrel_WbReadStreamF64(session, 0, 0, 5, data.get(), info), 0);
    EXPECT_EQ(stub().lastTypeCode, 10);
    EXPECT_EQ(data.word(0), 5);
    double value = 0;
    std::memcpy(&value, data.block() + 8 + 4 * 8, 8);
    EXPECT_EQ(value, zyemu_waveform_f64(0, 4));
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 60), 1u);

    // Zero elements send a zero-byte read.
    zyemu_clear_log();
    HostHandle none;
    std::memset(info, 0xCD, sizeof info);
    ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 0, 0, none.get(), info), 0);
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(fieldAt<uint64_t>(lastCall(), 24), 0u);
    EXPECT_EQ(fieldAt<uint64_t>(lastCall(), 32), 1u);
    EXPECT_EQ(none.word(0), 0);
    for (uint8_t byte : info) ASSERT_EQ(byte, 0) << "the read record starts zeroed";
}

TEST_F(HostReadsTest, HandlesTooShortForTheirLengthWordsAreSizedNotRead) {
    startContinuous(0, "AI0");
    uint8_t info[80];
    HostHandle data(2);  // not even the count word
    ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 0, 8, data.get(), info), 0);
    EXPECT_EQ(data.word(0), 8);
    HostHandle claims(8);
    claims.setWord(0, 1000);  // says 1000 elements, holds none
    ASSERT_EQ(zyOstrel_WbReadStreamI16(session, 0, 0, 16, claims.get(), info), 0);
    EXPECT_EQ(stub().numericResizes, 2);
    EXPECT_EQ(claims.word(0), 16);

    HostHandle rows(6);   // the first dimension, half of the second
    HostHandle infos(2);  // not even the count word
    ASSERT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 0, 2, 3, rows.get(), infos.get()), 0);
    EXPECT_EQ(rows.word(0), 2);
    EXPECT_EQ(rows.word(4), 3);
    EXPECT_EQ(infos.word(0), 2);
    EXPECT_EQ(DSGetHandleSize(infos.get()), 2 * 80 + 8);
}

TEST_F(HostReadsTest, DimensionsBeyondWhatMemoryCanHoldAreRefused) {
    constexpr uint64_t kLargest = 0x7FFFFFFF;
    HostHandle data;
    HostHandle infos;
    EXPECT_EQ(
        zyOstrel_WbReadStream2DF64(session, 0, 0, kLargest, kLargest, data.get(), infos.get()),
        -52000);
    EXPECT_EQ(
        zyOstrel_WbReadStream2DI16(session, 0, 0, kLargest, kLargest, data.get(), infos.get()),
        -52000);
    EXPECT_EQ(zyemu_call_count(), 0u);

    // A handle whose dimensions claim that much is sized for what the read needs.
    startContinuous(0, "AI0");
    HostHandle claimed(8);
    claimed.setWord(0, 0x7FFFFFFF);
    claimed.setWord(4, 0x7FFFFFFF);
    ASSERT_EQ(zyOstrel_WbReadStream2DF64(session, 0, 0, 1, 4, claimed.get(), infos.get()), 0);
    EXPECT_EQ(claimed.word(0), 1);
    EXPECT_EQ(claimed.word(4), 4);
    EXPECT_EQ(DSGetHandleSize(claimed.get()), 8 + 4 * 8);
}

TEST_F(HostReadsTest, FailedResizeGivesMemoryFullWithoutReading) {
    startContinuous(0, "AI0");
    HostHandle data;
    uint8_t info[80];
    stub().failNextResize = true;
    EXPECT_EQ(zyOstrel_WbReadStreamI16(session, 0, 0, 8, data.get(), info), -52000);
    EXPECT_EQ(zyemu_call_count(), 0u);

    HostHandle rows;
    HostHandle infos;
    stub().failNextResize = true;
    EXPECT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 0, 1, 8, rows.get(), infos.get()), -52000);
    ASSERT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 0, 1, 8, rows.get(), infos.get()), 0);
    HostHandle otherInfos;
    const int setSizesBefore = stub().setSizes;
    stub().failNextResize = true;
    EXPECT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 0, 1, 8, rows.get(), otherInfos.get()), -52000)
        << "the ReadInfo handle too";
    EXPECT_EQ(stub().setSizes, setSizesBefore + 1);
}

TEST_F(HostReadsTest, TwoDimensionalReadFillsDimensionsAndReadRecords) {
    startContinuous(0, "AI0,AI1,AI2");
    HostHandle data;
    HostHandle infos;
    ASSERT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 4, 3, 5, data.get(), infos.get()), 0);
    EXPECT_EQ(stub().lastDimensions, 2);
    EXPECT_EQ(stub().lastCount, 15u);
    EXPECT_EQ(data.word(0), 3);
    EXPECT_EQ(data.word(4), 5);
    EXPECT_EQ(infos.word(0), 3);
    EXPECT_EQ(DSGetHandleSize(infos.get()), 3 * 80 + 8);
    int16_t sample = 0;
    std::memcpy(&sample, data.block() + 8 + (2 * 5 + 4) * 2, 2);
    EXPECT_EQ(sample, zyemu_waveform_i16(2, 4));
    uint32_t channel = 0;
    std::memcpy(&channel, infos.block() + 8 + 2 * 80 + 16, 4);
    EXPECT_EQ(channel, 2u);

    const ZyEmuCall call = lastCall();
    EXPECT_EQ(fieldAt<uint64_t>(call, 24), 10u);
    EXPECT_EQ(fieldAt<uint64_t>(call, 32), 3u);
    EXPECT_EQ(fieldAt<uint64_t>(call, 40), addressOf(data.block() + 8));
    EXPECT_EQ(fieldAt<uint64_t>(call, 48), addressOf(infos.block() + 8));

    const int resizes = stub().numericResizes;
    const int setSizes = stub().setSizes;
    ASSERT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 4, 3, 5, data.get(), infos.get()), 0);
    EXPECT_EQ(stub().numericResizes, resizes);
    EXPECT_EQ(stub().setSizes, setSizes);
    ASSERT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 4, 1, 5, data.get(), infos.get()), 0);
    EXPECT_EQ(stub().setSizes, setSizes + 1) << "one row is below half of three";
    EXPECT_EQ(DSGetHandleSize(infos.get()), 80 + 8);
}

TEST_F(HostReadsTest, MissingArgumentsZeroRowsAndUnnamedStreamsAreRefused) {
    HostHandle data;
    HostHandle infos;
    uint8_t info[80];
    EXPECT_EQ(zyOstrel_WbReadStreamI16(session, 0, 0, 4, nullptr, info), -52005);
    EXPECT_EQ(zyOstrel_WbReadStreamI16(session, 0, 0, 4, data.get(), nullptr), -52005);
    EXPECT_EQ(zyOstrel_WbReadStream2DF64(session, 0, 0, 1, 4, data.get(), nullptr), -52005);
    EXPECT_EQ(
        zyOstrel_WbReadStream2DF64(session, 0, 0, 1, uint64_t{1} << 31, data.get(), data.get()),
        -52000);
    EXPECT_EQ(zyOstrel_WbReadStream2DI16(session, 0, 0, 0, 5, data.get(), infos.get()), -304401);
    // Automatic rows need a stream name to ask the channel count for.
    EXPECT_EQ(zyOstrel_WbReadStream2DI16(session, 64, 0, kAutomatic, 2, data.get(), infos.get()),
              -304405);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

// Automatic rows are the stream's channel count, doubled when both DDC Booleans are true.
TEST_F(HostReadsTest, AutomaticRowsFollowTheChannelCountAndTheDdcBooleans) {
    startContinuous(3, "AI0-AI3");
    ASSERT_EQ(zyOstrel_SetAttributeBoolean(session, "3", 0x40000019, 1), 0);
    zyemu_clear_log();
    HostHandle data;
    HostHandle infos;
    ASSERT_EQ(zyOstrel_WbReadStream2DF64(session, 3, 0, kAutomatic, 2, data.get(), infos.get()), 0);
    EXPECT_EQ(data.word(0), 4) << "DDC off";

    // A failed Boolean read counts as false.
    ASSERT_EQ(zyOstrel_SetAttributeBoolean(session, "3", 0x4000000F, 1), 0);
    zyemu_clear_log();
    failCall(2, -4242, ZYEMU_FAULT_REPLACE);
    ASSERT_EQ(zyOstrel_WbReadStream2DF64(session, 3, 0, kAutomatic, 2, data.get(), infos.get()), 0);
    EXPECT_EQ(data.word(0), 4);

    zyemu_clear_faults();
    zyemu_clear_log();
    HostHandle rows;
    HostHandle rowInfos;
    ASSERT_EQ(zyOstrel_WbReadStream2DI16(session, 3, 0, kAutomatic, 2, rows.get(), rowInfos.get()),
              0);
    EXPECT_EQ(rows.word(0), 8);
    EXPECT_EQ(rowInfos.word(0), 8);
    const auto log = calls();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(fieldAt<uint32_t>(log[0], 20), 0x10000000u);
    EXPECT_EQ(textAt(log[0], 28, 256), "3");
    EXPECT_EQ(fieldAt<uint32_t>(log[1], 20), 0x40000019u);
    EXPECT_EQ(fieldAt<uint32_t>(log[2], 20), 0x4000000Fu);
    EXPECT_EQ(fieldAt<uint64_t>(log[3], 32), 8u);

    // A failed channel count read is returned.
    zyemu_clear_log();
    failCall(0, -4343, ZYEMU_FAULT_REPLACE);
    EXPECT_EQ(zyOstrel_WbReadStream2DF64(session, 3, 0, kAutomatic, 2, data.get(), infos.get()),
              -4343);
    EXPECT_EQ(zyemu_call_count(), 1u);
}

}  // namespace
