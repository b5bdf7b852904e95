// Reads into the graphical host's array handles: the sizing policy, the automatic row count
// and what the handles hold afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "streams/HostMemory.h"
#include "support/EmulatorFixture.h"

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

using zytest::Fault;

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
        ASSERT_STATUS(0,
                      zyOstrel_ConfigureStreamEnabledChannels(session, stream, channels, nullptr));
        ASSERT_STATUS(0, zyOstrel_StartStream(session, stream));
        zyemu_clear_log();
    }
    // Reads count samples of stream 0 into a one-dimensional 16-bit handle.
    int32_t readI16(const HostHandle& data, uint64_t count, uint8_t* info) {
        return zyOstrel_WbReadStreamI16(session, 0, 9, count, data.get(), info);
    }
    int32_t read2D(uint64_t rows, uint64_t columns, const HostHandle& data, const HostHandle& infos,
                   uint32_t stream = 0) {
        return zyOstrel_WbReadStream2DI16(session, stream, 4, rows, columns, data.get(),
                                          infos.get());
    }
};

// The handle is resized only when a read needs more than it holds or less than half of it.
TEST_F(HostReadsTest, OneDimensionalReadSizesTheHandleOnceForRepeatedReads) {
    startContinuous(0, "AI2");
    HostHandle data;
    uint8_t info[80];
    ASSERT_STATUS(0, readI16(data, 100, info));
    EXPECT_EQ(std::vector<size_t>({size_t(stub().numericResizes), size_t(stub().lastTypeCode),
                                   size_t(stub().lastDimensions), stub().lastCount}),
              std::vector<size_t>({1, 2, 1, 100}));
    EXPECT_EQ(data.word(0), 100);
    int16_t first = 0;
    std::memcpy(&first, data.block() + 4, 2);
    EXPECT_EQ(first, zyemu_waveform_i16(2, 0));
    EXPECT_EQ(fieldsAt<uint64_t>(lastCall(), {24, 40, 48}),
              (std::vector<uint64_t>{200, addressOf(data.block() + 4), addressOf(info)}));
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
        ASSERT_STATUS(0, readI16(data, row.count, info));
        EXPECT_EQ(stub().numericResizes, row.resizes) << row.why;
        EXPECT_EQ(data.word(0), int32_t(row.count));
    }
}

TEST_F(HostReadsTest, FloatingPointAndZeroElementReadsSendTheirRecords) {
    startContinuous(0, "AI0");
    HostHandle data;
    uint8_t info[80];
    ASSERT_STATUS(0, zyOstrel_WbReadStreamF64(session, 0, 0, 5, data.get(), info));
    EXPECT_EQ(stub().lastTypeCode, 10);
    EXPECT_EQ(data.word(0), 5);
    double value = 0;
    std::memcpy(&value, data.block() + 8 + 4 * 8, 8);
    EXPECT_EQ(value, zyemu_waveform_f64(0, 4));
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 60), 1u);

    // Zero elements send a zero-byte read, and the read record starts zeroed.
    zyemu_clear_log();
    HostHandle none;
    std::memset(info, 0xCD, sizeof info);
    ASSERT_STATUS(0, readI16(none, 0, info));
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(fieldsAt<uint64_t>(lastCall(), {24, 32}), (std::vector<uint64_t>{0, 1}));
    EXPECT_EQ(none.word(0), 0);
    EXPECT_EQ(zytest::Bytes(info, info + 80), zytest::Bytes(80, 0));
}

TEST_F(HostReadsTest, HandlesTooShortForTheirLengthWordsAreSizedNotRead) {
    startContinuous(0, "AI0");
    uint8_t info[80];
    HostHandle data(2);  // not even the count word
    ASSERT_STATUS(0, readI16(data, 8, info));
    EXPECT_EQ(data.word(0), 8);
    HostHandle claims(8);
    claims.setWord(0, 1000);  // says 1000 elements, holds none
    ASSERT_STATUS(0, readI16(claims, 16, info));
    EXPECT_EQ(stub().numericResizes, 2);
    EXPECT_EQ(claims.word(0), 16);

    HostHandle rows(6);   // the first dimension, half of the second
    HostHandle infos(2);  // not even the count word
    ASSERT_STATUS(0, read2D(2, 3, rows, infos));
    EXPECT_EQ(std::vector<int32_t>({rows.word(0), rows.word(4), infos.word(0)}),
              std::vector<int32_t>({2, 3, 2}));
    EXPECT_EQ(DSGetHandleSize(infos.get()), 2 * 80 + 8);
}

TEST_F(HostReadsTest, DimensionsBeyondWhatMemoryCanHoldAreRefused) {
    constexpr uint64_t kLargest = 0x7FFFFFFF;
    HostHandle data;
    HostHandle infos;
    EXPECT_STATUS(-52000, zyOstrel_WbReadStream2DF64(session, 0, 0, kLargest, kLargest, data.get(),
                                                     infos.get()));
    EXPECT_STATUS(-52000, read2D(kLargest, kLargest, data, infos));
    EXPECT_EQ(zyemu_call_count(), 0u);

    // A handle whose dimensions claim that much is sized for what the read needs.
    startContinuous(0, "AI0");
    HostHandle claimed(8);
    claimed.setWord(0, 0x7FFFFFFF);
    claimed.setWord(4, 0x7FFFFFFF);
    ASSERT_STATUS(0, zyOstrel_WbReadStream2DF64(session, 0, 0, 1, 4, claimed.get(), infos.get()));
    EXPECT_EQ(claimed.word(0), 1);
    EXPECT_EQ(claimed.word(4), 4);
    EXPECT_EQ(DSGetHandleSize(claimed.get()), 8 + 4 * 8);
}

TEST_F(HostReadsTest, FailedResizeGivesMemoryFullWithoutReading) {
    startContinuous(0, "AI0");
    HostHandle data;
    uint8_t info[80];
    stub().failNextResize = true;
    EXPECT_STATUS(-52000, readI16(data, 8, info));
    EXPECT_EQ(zyemu_call_count(), 0u);

    HostHandle rows;
    HostHandle infos;
    stub().failNextResize = true;
    EXPECT_STATUS(-52000, read2D(1, 8, rows, infos));
    ASSERT_STATUS(0, read2D(1, 8, rows, infos));
    HostHandle otherInfos;
    const int setSizesBefore = stub().setSizes;
    stub().failNextResize = true;
    EXPECT_STATUS(-52000, read2D(1, 8, rows, otherInfos)) << "the ReadInfo handle too";
    EXPECT_EQ(stub().setSizes, setSizesBefore + 1);
}

TEST_F(HostReadsTest, TwoDimensionalReadFillsDimensionsAndReadRecords) {
    startContinuous(0, "AI0,AI1,AI2");
    HostHandle data;
    HostHandle infos;
    ASSERT_STATUS(0, read2D(3, 5, data, infos));
    EXPECT_EQ(stub().lastDimensions, 2);
    EXPECT_EQ(stub().lastCount, 15u);
    EXPECT_EQ(std::vector<int32_t>({data.word(0), data.word(4), infos.word(0)}),
              std::vector<int32_t>({3, 5, 3}));
    EXPECT_EQ(DSGetHandleSize(infos.get()), 3 * 80 + 8);
    int16_t sample = 0;
    std::memcpy(&sample, data.block() + 8 + (2 * 5 + 4) * 2, 2);
    EXPECT_EQ(sample, zyemu_waveform_i16(2, 4));
    uint32_t channel = 0;
    std::memcpy(&channel, infos.block() + 8 + 2 * 80 + 16, 4);
    EXPECT_EQ(channel, 2u);
    EXPECT_EQ(
        fieldsAt<uint64_t>(lastCall(), {24, 32, 40, 48}),
        (std::vector<uint64_t>{10, 3, addressOf(data.block() + 8), addressOf(infos.block() + 8)}));

    const int resizes = stub().numericResizes;
    const int setSizes = stub().setSizes;
    ASSERT_STATUS(0, read2D(3, 5, data, infos));
    EXPECT_EQ(stub().numericResizes, resizes);
    EXPECT_EQ(stub().setSizes, setSizes);
    ASSERT_STATUS(0, read2D(1, 5, data, infos));
    EXPECT_EQ(stub().setSizes, setSizes + 1) << "one row is below half of three";
    EXPECT_EQ(DSGetHandleSize(infos.get()), 80 + 8);
}

TEST_F(HostReadsTest, MissingArgumentsZeroRowsAndUnnamedStreamsAreRefused) {
    HostHandle data;
    HostHandle infos;
    uint8_t info[80];
    EXPECT_STATUS(-52005, zyOstrel_WbReadStreamI16(session, 0, 0, 4, nullptr, info));
    EXPECT_STATUS(-52005, readI16(data, 4, nullptr));
    EXPECT_STATUS(-52005, zyOstrel_WbReadStream2DF64(session, 0, 0, 1, 4, data.get(), nullptr));
    EXPECT_STATUS(-52000, zyOstrel_WbReadStream2DF64(session, 0, 0, 1, uint64_t{1} << 31,
                                                     data.get(), data.get()));
    EXPECT_STATUS(-304401, read2D(0, 5, data, infos));
    // Automatic rows need a stream name to ask the channel count for.
    EXPECT_STATUS(-304405, read2D(kAutomatic, 2, data, infos, 64));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

// Automatic rows are the stream's channel count, doubled when both DDC Booleans are true; a
// failed Boolean read counts as false, a failed channel count read is returned.
TEST_F(HostReadsTest, AutomaticRowsFollowTheChannelCountAndTheDdcBooleans) {
    startContinuous(3, "AI0-AI3");
    ASSERT_STATUS(0, zyOstrel_SetAttributeBoolean(session, "3", 0x40000019, 1));
    HostHandle data;
    HostHandle infos;
    const auto automaticRows = [&] {
        zyemu_clear_log();
        EXPECT_STATUS(
            0, zyOstrel_WbReadStream2DF64(session, 3, 0, kAutomatic, 2, data.get(), infos.get()));
        return data.word(0);
    };
    EXPECT_EQ(automaticRows(), 4) << "DDC off";
    ASSERT_STATUS(0, zyOstrel_SetAttributeBoolean(session, "3", 0x4000000F, 1));
    Fault::callAt(2).status(-4242).add();
    EXPECT_EQ(automaticRows(), 4);

    zyemu_clear_faults();
    zyemu_clear_log();
    HostHandle rows;
    HostHandle rowInfos;
    ASSERT_STATUS(0, read2D(kAutomatic, 2, rows, rowInfos, 3));
    EXPECT_EQ(rows.word(0), 8);
    EXPECT_EQ(rowInfos.word(0), 8);
    EXPECT_EQ(attributeCalls(),
              (std::vector<zytest::AttributeCall>{
                  {721, 0x10000000, "3"}, {721, 0x40000019, "3"}, {721, 0x4000000F, "3"}}));
    EXPECT_EQ(fieldAt<uint64_t>(lastCall(), 32), 8u);
    zyemu_clear_faults();
    zyemu_clear_log();
    Fault::callAt(0).status(-4343).add();
    EXPECT_STATUS(-4343, read2D(kAutomatic, 2, data, infos, 3));
    EXPECT_EQ(zyemu_call_count(), 1u);
}

}  // namespace
