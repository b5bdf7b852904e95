// Typed attribute access: range check, name resolution and one command per resolved name.
//
// Each returns a status (0, a warning or an error); name resolution reports a failed
// allocation as a status too. They are not noexcept only because they call the runtime, a C
// library chosen at load time that the compiler cannot vouch for; the entry points' boundary
// turns anything it throws into a status.
#pragma once

#include <cstdint>

#include "attributes/AttributeRecords.h"
#include "attributes/AttributeTable.h"
#include "status/Status.h"

namespace zyostrel::attributes {

// The identifiers other modules set and read.
namespace ids {
inline constexpr uint32_t kChannelsInStream = 0x10000000;
inline constexpr uint32_t kAnalogEdgeTriggerChannel = 0x10000008;
inline constexpr uint32_t kReferenceClockSource = 0x1000000B;
inline constexpr uint32_t kStreamFinite = 0x40000001;
inline constexpr uint32_t kFpgaDdcEnabled = 0x4000000F;
inline constexpr uint32_t kFpgaDdcIqEnabled = 0x40000019;
inline constexpr uint32_t kStreamNumberOfSamples = 0x50000000;
inline constexpr uint32_t kStreamChannelsEnabled = 0x50000002;
}  // namespace ids

// 0 when id lies in the identifier range of type, else -63196.
int32_t checkAttributeRange(uint32_t id, AttributeType type) noexcept;

// One get command for one name (null or "" sends an empty qualifier). The reply is written
// to value whatever the status. A nonzero result's device elaboration goes into elaboration,
// when given.
int32_t sendAttributeGet(uint32_t session, const char* name, uint32_t id, WireType wireType,
                         AttributeValue& value, zyerr::Status* elaboration = nullptr);

// One set command for one name with value (only the field of wireType is read).
int32_t sendAttributeSet(uint32_t session, const char* name, uint32_t id, WireType wireType,
                         const AttributeValue& value, zyerr::Status* elaboration = nullptr);

// One query command (method 724): whether the attribute applies to the name; the one-byte
// answer goes to answer whatever the status.
int32_t sendAttributeQuery(uint32_t session, const char* name, uint32_t id, uint8_t& answer,
                           zyerr::Status* elaboration = nullptr);

// Restores the attribute of the name to its default (method 723). The name is sent as given,
// without resolution, and the identifier is not range-checked.
int32_t restoreAttributeDefault(uint32_t session, const char* name, uint32_t id);

// The getters and setters behind the exported functions: channelName is resolved with the
// name grammar; a get needs exactly one name, a set sends one command per name in order and
// stops at the first error. A getter writes its output only on status 0.
int32_t getAttributeInt32(uint32_t session, const char* channelName, uint32_t id, int32_t* value);
int32_t getAttributeUInt64(uint32_t session, const char* channelName, uint32_t id, uint64_t* value);
int32_t getAttributeDouble(uint32_t session, const char* channelName, uint32_t id, double* value);
// value may be null: the command is sent all the same.
int32_t getAttributeBoolean(uint32_t session, const char* channelName, uint32_t id,
                            uint32_t* value);
// Copies the value with strncpy semantics for bufferSize bytes (no terminator when cut).
int32_t getAttributeString(uint32_t session, const char* channelName, uint32_t id,
                           uint64_t bufferSize, char* buffer);

int32_t setAttributeInt32(uint32_t session, const char* channelName, uint32_t id, int32_t value);
int32_t setAttributeUInt64(uint32_t session, const char* channelName, uint32_t id, uint64_t value);
int32_t setAttributeDouble(uint32_t session, const char* channelName, uint32_t id, double value);
// Any nonzero value is sent as 1.
int32_t setAttributeBoolean(uint32_t session, const char* channelName, uint32_t id, int32_t value);
// A null text is sent as an empty one.
int32_t setAttributeString(uint32_t session, const char* channelName, uint32_t id,
                           const char* value);

}  // namespace zyostrel::attributes
