// Records of the attribute interface (258): get, set, restore default and query.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/CommandRecords.h"

namespace zyostrel::attributes {

enum class AttributeMethod : uint32_t {
    Get = 721,
    Set = 722,
    RestoreDefault = 723,
    Query = 724,
};

// How the device reads the value block of a record.
enum class WireType : uint32_t {
    Boolean = 0,
    Double = 1,
    Int32 = 2,
    UInt32 = 4,  // synchronisation callbacks only
    UInt64 = 5,
    String = 6,
};

inline constexpr std::size_t kQualifierSize = wire::kAttributeQualifierSize;
inline constexpr std::size_t kAttributeTextSize = wire::kAttributeTextSize;

#pragma pack(push, 1)

// Only the field of the record's type is meaningful.
struct AttributeValue {
    double f64 = 0;
    int64_t i64 = 0;
    uint64_t u64 = 0;
    char text[kAttributeTextSize] = {};
    uint8_t u8 = 0;
};

// Records start with every field after the header zeroed.

// Get, restore default and query (the wire type is left 0 for the last two).
struct AttributeRecord {
    channel::CommandHeader header;
    uint32_t attributeId = 0;
    uint32_t wireType = 0;
    char qualifier[kQualifierSize] = {};
};

struct AttributeSetRecord {
    channel::CommandHeader header;
    uint32_t attributeId = 0;
    uint32_t wireType = 0;
    char qualifier[kQualifierSize] = {};
    AttributeValue value{};
};

#pragma pack(pop)

static_assert(sizeof(AttributeValue) == wire::kAttributeValueSize);
static_assert(offsetof(AttributeValue, f64) == 0);
static_assert(offsetof(AttributeValue, i64) == 8);
static_assert(offsetof(AttributeValue, u64) == 16);
static_assert(offsetof(AttributeValue, text) == 24);
static_assert(offsetof(AttributeValue, u8) == 280);

static_assert(sizeof(AttributeRecord) == wire::kAttributeRecordSize);
static_assert(offsetof(AttributeRecord, attributeId) == 20);
static_assert(offsetof(AttributeRecord, wireType) == 24);
static_assert(offsetof(AttributeRecord, qualifier) == 28);

static_assert(sizeof(AttributeSetRecord) == wire::kAttributeSetRecordSize);
static_assert(offsetof(AttributeSetRecord, qualifier) == 28);
static_assert(offsetof(AttributeSetRecord, value) == wire::kAttributeRecordSize);

}  // namespace zyostrel::attributes
