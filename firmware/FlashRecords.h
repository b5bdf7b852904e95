// Packed records of the flash-slot and adapter-flash direct functions and the configuration
// tree serialisation request.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/CommandRecords.h"

namespace zyostrel::firmware {

// Function numbers of the flash direct functions.
enum class FlashFunction : uint32_t {
    RunningMetadataSize = 18,
    RunningMetadata = 19,
    SetAutoload = 21,
    SlotMetadataSize = 27,
    SlotMetadata = 28,
    GetAutoload = 29,
    ReadBundleVersion = 30,
    WriteBundleVersion = 31,
    ClearSlot = 32,
    OamFpgaRevision = 41,
    WriteOamFpgaFlash = 42,
    PromoteSession = 777,
};

enum class FlashImageSlot : uint32_t { Golden = 0, Default = 1, User = 2 };

inline constexpr uint32_t kTreeSerializationMethod = 343;

#pragma pack(push, 1)

struct SlotAutoloadRecord {
    uint32_t slot;
    uint32_t autoload;  // 0 or 1
};

// Followed by the image bytes in the same record.
struct OamFlashHeader {
    uint32_t fpgaIndex;  // the 8-bit index, zero-extended
    uint32_t crcHigh;
    uint32_t crcLow;
    uint32_t imageSize;
};

struct TreeSerializationRequest {
    channel::CommandHeader header;
    uint32_t argument;
};

#pragma pack(pop)

static_assert(sizeof(SlotAutoloadRecord) == 8);
static_assert(offsetof(SlotAutoloadRecord, autoload) == 4);
static_assert(sizeof(OamFlashHeader) == 16);
static_assert(offsetof(OamFlashHeader, crcHigh) == 4);
static_assert(offsetof(OamFlashHeader, crcLow) == 8);
static_assert(offsetof(OamFlashHeader, imageSize) == 12);
static_assert(sizeof(TreeSerializationRequest) == 24);
static_assert(offsetof(TreeSerializationRequest, argument) == channel::kMethodFieldsOffset);

}  // namespace zyostrel::firmware
