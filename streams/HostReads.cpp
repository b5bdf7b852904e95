#include "streams/HostReads.h"

#include <cstring>
#include <limits>

#include "attributes/Attributes.h"
#include "attributes/TerminalNames.h"
#include "channel/CommandChannel.h"
#include "streams/Streams.h"
#include "zyostrelapi.h"

namespace zyostrel::streams {
namespace {

namespace attr = zyostrel::attributes;
using host::NumericType;

// Block layouts of host arrays: length words, then the elements.
constexpr std::size_t kCountOffset = 0;
constexpr std::size_t kColumnsOffset = 4;
constexpr std::size_t kElements1DI16Offset = 4;
constexpr std::size_t kElementsOffset = 8;  // 1-D F64, 2-D and ReadInfo arrays

constexpr int64_t kMaxDimension = std::numeric_limits<int32_t>::max();

// A length word the block is too short to hold reads as 0: such a handle is then sized for
// the read like an empty one, and nothing is read past its end.
int32_t lengthWord(ZyHostHandle handle, std::size_t offset) {
    if (host::allocatedSize(handle) < static_cast<int64_t>(offset + sizeof(int32_t))) return 0;
    int32_t value = 0;
    std::memcpy(&value, *handle + offset, sizeof value);
    return value < 0 ? 0 : value;
}

void setLengthWord(ZyHostHandle handle, std::size_t offset, int64_t value) noexcept {
    const auto word = static_cast<int32_t>(value);
    std::memcpy(*handle + offset, &word, sizeof word);
}

NumericType numericTypeOf(ElementType type) noexcept {
    return type == ElementType::I16 ? NumericType::I16 : NumericType::F64;
}

// Measures of the sizing policy: the bytes a block needs for n elements, rounded as the host
// rounds them.
int64_t measure1D(ElementType type, int64_t n) noexcept {
    return type == ElementType::I16 ? n * 2 + 6 : n * 8 + 8;
}

// Two dimensions of up to 2^31 - 1 each make element totals whose byte measures pass the
// 64-bit range; no block can hold that many, so such a measure saturates at the largest.
constexpr int64_t kMeasureLimit = std::numeric_limits<int64_t>::max();
constexpr int64_t kMaxMeasurableTotal = (kMeasureLimit - 16) / 8;

int64_t measure2D(ElementType type, int64_t total) noexcept {
    if (total > kMaxMeasurableTotal) return kMeasureLimit;
    return type == ElementType::I16 ? total * 2 + 10 : total * 8 + 8;
}
int64_t measureReadInfo(int64_t rows) noexcept {
    return rows * static_cast<int64_t>(kReadInfoSize) + 8;
}

// Sizes a numeric array handle for count elements under the sizing policy; the elements
// start at elementsOffset of the block.
int32_t sizeNumericHandle(ZyHostHandle& handle, ElementType type, int32_t dimensions, int64_t count,
                          std::size_t elementsOffset, int64_t newMeasure, int64_t oldMeasure) {
    const int64_t required =
        static_cast<int64_t>(elementsOffset) + count * static_cast<int64_t>(elementSize(type));
    if (!host::needsResize(newMeasure, oldMeasure, host::allocatedSize(handle), required)) {
        return 0;
    }
    if (NumericArrayResize(static_cast<int32_t>(numericTypeOf(type)), dimensions, &handle,
                           static_cast<std::size_t>(count)) != 0 ||
        *handle == nullptr) {
        return ZYOSTREL_Status_MemoryFull;
    }
    return 0;
}

int32_t checkHostArguments(const void* first, const void* second) noexcept {
    if (first == nullptr || second == nullptr) return ZYOSTREL_Status_InvalidParameter;
    if (!host::memoryManagerPresent()) return ZYOSTREL_Status_ResourceNotFound;
    return 0;
}

// The row count of an automatic read: the stream's channels, twice as many when both DDC
// Booleans read true (a failed Boolean read counts as false).
int32_t automaticRows(uint32_t session, uint32_t stream, uint64_t& rows) {
    const char* name = attr::streamName(stream);
    if (name == nullptr) return ZYOSTREL_Status_InvalidStreamNumber;
    int32_t channels = 0;
    if (int32_t status =
            attr::getAttributeInt32(session, name, attr::ids::kChannelsInStream, &channels);
        status < 0) {
        return status;
    }
    uint32_t iqEnabled = 0;
    uint32_t ddcEnabled = 0;
    const bool iq =
        attr::getAttributeBoolean(session, name, attr::ids::kFpgaDdcIqEnabled, &iqEnabled) >= 0 &&
        iqEnabled != 0;
    const bool ddc =
        iq &&
        attr::getAttributeBoolean(session, name, attr::ids::kFpgaDdcEnabled, &ddcEnabled) >= 0 &&
        ddcEnabled != 0;
    // A device that reports no channels (or a negative count) leaves nothing to read.
    if (channels <= 0) return ZYOSTREL_Status_ZeroRowsRequested;
    rows = static_cast<uint64_t>(channels) * (ddc ? 2 : 1);
    return 0;
}

int32_t sizeReadInfoHandle(ZyHostHandle readInfo, int64_t rows) {
    const int64_t newMeasure = measureReadInfo(rows);
    const int64_t oldMeasure = measureReadInfo(lengthWord(readInfo, kCountOffset));
    if (host::needsResize(newMeasure, oldMeasure, host::allocatedSize(readInfo), newMeasure) &&
        (DSSetHandleSize(readInfo, static_cast<std::size_t>(newMeasure)) != 0 ||
         *readInfo == nullptr)) {
        return ZYOSTREL_Status_MemoryFull;
    }
    setLengthWord(readInfo, kCountOffset, rows);
    std::memset(*readInfo + kElementsOffset, 0, static_cast<std::size_t>(rows) * kReadInfoSize);
    return 0;
}

}  // namespace

int32_t hostReadStream1D(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t count,
                         ElementType type, ZyHostHandle data, void* readInfo) {
    if (channel::isSimulatedSession(session)) return 0;
    if (int32_t status = checkHostArguments(data, readInfo)) return status;
    // The host counts elements in an i32.
    if (count > static_cast<uint64_t>(kMaxDimension)) return ZYOSTREL_Status_MemoryFull;
    const auto n = static_cast<int64_t>(count);
    const std::size_t elements = type == ElementType::I16 ? kElements1DI16Offset : kElementsOffset;
    if (int32_t status = sizeNumericHandle(data, type, 1, n, elements, measure1D(type, n),
                                           measure1D(type, lengthWord(data, kCountOffset)))) {
        return status;
    }
    setLengthWord(data, kCountOffset, n);
    std::memset(readInfo, 0, kReadInfoSize);
    const int32_t status =
        readStream(session, stream, deviceArgument, 1, count, type, *data + elements, readInfo);
    setLengthWord(data, kCountOffset, n);
    return status;
}

int32_t hostReadStream2D(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t rows,
                         uint64_t elementsPerRow, ElementType type, ZyHostHandle data,
                         ZyHostHandle readInfo) {
    if (channel::isSimulatedSession(session)) return 0;
    if (int32_t status = checkHostArguments(data, readInfo)) return status;
    if (rows == 0) return ZYOSTREL_Status_ZeroRowsRequested;
    if (rows == kAutomaticRows) {
        if (int32_t status = automaticRows(session, stream, rows)) return status;
    }
    // Dimensions are i32 words and the total must fit the measures.
    if (rows > static_cast<uint64_t>(kMaxDimension) ||
        elementsPerRow > static_cast<uint64_t>(kMaxDimension)) {
        return ZYOSTREL_Status_MemoryFull;
    }
    const auto rowCount = static_cast<int64_t>(rows);
    const auto columns = static_cast<int64_t>(elementsPerRow);
    const int64_t total = rowCount * columns;
    if (total > kMaxMeasurableTotal) return ZYOSTREL_Status_MemoryFull;
    const int64_t oldTotal =
        int64_t{lengthWord(data, kCountOffset)} * lengthWord(data, kColumnsOffset);
    if (int32_t status = sizeNumericHandle(data, type, 2, total, kElementsOffset,
                                           measure2D(type, total), measure2D(type, oldTotal))) {
        return status;
    }
    setLengthWord(data, kCountOffset, rowCount);
    setLengthWord(data, kColumnsOffset, columns);
    if (int32_t status = sizeReadInfoHandle(readInfo, rowCount)) return status;

    const int32_t status = readStream(session, stream, deviceArgument, rows, elementsPerRow, type,
                                      *data + kElementsOffset, *readInfo + kElementsOffset);
    setLengthWord(data, kCountOffset, rowCount);
    setLengthWord(data, kColumnsOffset, columns);
    return status;
}

}  // namespace zyostrel::streams
