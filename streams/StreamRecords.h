// Records of the stream interface (257): clear, start, wait for transfer, read and write.
//
// Read and write records carry the addresses of the caller's sample memory: the runtime
// copies the samples directly, the library never does.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/CommandRecords.h"

namespace zyostrel::streams {

enum class StreamMethod : uint32_t {
    Clear = 272,
    WaitForTransfer = 276,
    Read = 277,
    Start = 278,
    Write = 279,
};

// Element types of a read, as the device names them.
enum class ElementType : uint32_t { I16 = 7, F64 = 1 };

constexpr std::size_t elementSize(ElementType type) noexcept {
    return type == ElementType::I16 ? 2 : 8;
}

// The per-row record the runtime fills during a read; the library only passes its address.
inline constexpr std::size_t kReadInfoSize = wire::kReadInfoSize;

// Reply flag: the read or write reports its transfer state instead of its own status.
inline constexpr uint8_t kReplyFlagTransferState = 2;

// The u32 the write record always carries at offset 60.
inline constexpr uint32_t kWriteRecordConstant = 7;

#pragma pack(push, 1)

// Clear and start.
struct StreamRecord {
    channel::CommandHeader header;
    uint32_t stream = 0;
};

struct WaitRecord {
    channel::CommandHeader header;
    uint32_t stream = 0;
    uint64_t waitValue = 0;
    uint32_t waitArgument = 0;
};

struct WaitReply {
    uint64_t reportedValue = 0;
    uint8_t transferState = 0;
};

struct ReadRecord {
    channel::CommandHeader header;
    uint32_t stream = 0;
    uint64_t bytesPerRow = 0;
    uint64_t rows = 0;
    uint64_t dataAddress = 0;
    uint64_t readInfoAddress = 0;
    uint32_t deviceArgument = 0;
    uint32_t elementType = 0;
};

struct WriteRecord {
    channel::CommandHeader header;
    uint32_t stream = 0;
    uint64_t byteCount = 0;
    uint64_t one = 1;
    uint64_t dataAddress = 0;
    uint32_t writeCodeA = 0;
    uint32_t deviceArgument = 0;
    uint32_t writeCodeB = 0;
    uint32_t seven = kWriteRecordConstant;
};

// Reply of a read or write; only the flags byte is read.
struct TransferReply {
    uint8_t reserved[24] = {};
    uint8_t flags = 0;
    uint8_t tail[3] = {};
};

#pragma pack(pop)

static_assert(sizeof(StreamRecord) == wire::kStreamRecordSize);
static_assert(offsetof(StreamRecord, stream) == 20);

static_assert(sizeof(WaitRecord) == wire::kWaitRecordSize);
static_assert(offsetof(WaitRecord, stream) == 20);
static_assert(offsetof(WaitRecord, waitValue) == 24);
static_assert(offsetof(WaitRecord, waitArgument) == 32);

static_assert(sizeof(WaitReply) == wire::kWaitReplySize);
static_assert(offsetof(WaitReply, reportedValue) == 0);
static_assert(offsetof(WaitReply, transferState) == 8);

static_assert(sizeof(ReadRecord) == wire::kTransferRecordSize);
static_assert(offsetof(ReadRecord, stream) == 20);
static_assert(offsetof(ReadRecord, bytesPerRow) == 24);
static_assert(offsetof(ReadRecord, rows) == 32);
static_assert(offsetof(ReadRecord, dataAddress) == 40);
static_assert(offsetof(ReadRecord, readInfoAddress) == 48);
static_assert(offsetof(ReadRecord, deviceArgument) == 56);
static_assert(offsetof(ReadRecord, elementType) == 60);

static_assert(sizeof(WriteRecord) == wire::kTransferRecordSize);
static_assert(offsetof(WriteRecord, byteCount) == 24);
static_assert(offsetof(WriteRecord, one) == 32);
static_assert(offsetof(WriteRecord, dataAddress) == 40);
static_assert(offsetof(WriteRecord, writeCodeA) == 48);
static_assert(offsetof(WriteRecord, deviceArgument) == 52);
static_assert(offsetof(WriteRecord, writeCodeB) == 56);
static_assert(offsetof(WriteRecord, seven) == 60);

static_assert(sizeof(TransferReply) == wire::kTransferReplySize);
static_assert(offsetof(TransferReply, flags) == 24);

}  // namespace zyostrel::streams
