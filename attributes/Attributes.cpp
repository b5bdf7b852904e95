#include "attributes/Attributes.h"

#include <cstring>

#include "attributes/TerminalNames.h"
#include "channel/CommandChannel.h"
#include "zyostrelapi.h"

namespace zyostrel::attributes {
namespace {

const channel::InterfaceId kAttributeInterface{channel::Interface::Attribute};

constexpr int32_t kNullOutputResult = -1;

// An attribute record with its header, identifier and qualifier. Every other byte starts
// zeroed, so an empty qualifier is all zeros and no stack bytes reach the device.
template <class Record>
Record makeRecord(AttributeMethod method, uint32_t id, const char* name) noexcept {
    Record record{{kAttributeInterface, static_cast<uint32_t>(method)}};
    record.attributeId = id;
    if (name != nullptr) channel::copyTerminatedTextField(record.qualifier, name);
    return record;
}

// Resolves channelName for a get, which needs exactly one name.
int32_t resolveSingleName(ResolvedNames& list, const char*& name) noexcept {
    const int32_t status = resolveNames(list);
    if (status < 0) return status;
    if (list.count > 1) return ZYOSTREL_Status_TooManyTerminalNames;
    name = list.count == 1 ? list.names[0] : nullptr;
    return 0;
}

// Every get: the identifier's range, then the name (at most one), then the output, then one
// command, so a bad name is reported before a missing output. On 0, value holds the reply.
int32_t getValue(uint32_t session, const char* channelName, uint32_t id, AttributeType type,
                 WireType wireType, bool outputGiven, bool sendWithoutOutput,
                 AttributeValue& value) {
    if (int32_t status = checkAttributeRange(id, type)) return status;
    ResolvedNames list(channelName, id);
    const char* name = nullptr;
    if (int32_t status = resolveSingleName(list, name)) return status;
    if (!outputGiven && !sendWithoutOutput) return kNullOutputResult;
    return sendAttributeGet(session, name, id, wireType, value);
}

int32_t setValue(uint32_t session, const char* channelName, uint32_t id, AttributeType type,
                 WireType wireType, const AttributeValue& value) {
    if (int32_t status = checkAttributeRange(id, type)) return status;
    ResolvedNames list(channelName, id);
    if (int32_t status = resolveNames(list); status < 0) return status;
    // Each name's status replaces the previous one: only an error stops the loop, and the
    // status of the last command sent is the result.
    int32_t status = 0;
    for (const char* name : list) {
        status = sendAttributeSet(session, name, id, wireType, value);
        if (status < 0) break;
    }
    return status;
}

AttributeValue zeroValue() noexcept { return AttributeValue{}; }

}  // namespace

int32_t checkAttributeRange(uint32_t id, AttributeType type) noexcept {
    return inAttributeRange(id, type) ? 0 : int32_t{ZYOSTREL_Status_InvalidAttributeId};
}

int32_t sendAttributeGet(uint32_t session, const char* name, uint32_t id, WireType wireType,
                         AttributeValue& value, zyerr::Status* elaboration) {
    auto record = makeRecord<AttributeRecord>(AttributeMethod::Get, id, name);
    record.wireType = static_cast<uint32_t>(wireType);
    return channel::sendElaboratedInterfaceCommand(session, record, value, elaboration);
}

int32_t sendAttributeSet(uint32_t session, const char* name, uint32_t id, WireType wireType,
                         const AttributeValue& value, zyerr::Status* elaboration) {
    auto record = makeRecord<AttributeSetRecord>(AttributeMethod::Set, id, name);
    record.wireType = static_cast<uint32_t>(wireType);
    record.value = value;
    return channel::sendElaboratedInterfaceCommand(session, record, elaboration);
}

int32_t sendAttributeQuery(uint32_t session, const char* name, uint32_t id, uint8_t& answer,
                           zyerr::Status* elaboration) {
    const auto record = makeRecord<AttributeRecord>(AttributeMethod::Query, id, name);
    return channel::sendElaboratedInterfaceCommand(session, record, answer, elaboration);
}

int32_t restoreAttributeDefault(uint32_t session, const char* name, uint32_t id) {
    const auto record = makeRecord<AttributeRecord>(AttributeMethod::RestoreDefault, id, name);
    return channel::sendInterfaceCommand(session, record);
}

int32_t getAttributeInt32(uint32_t session, const char* channelName, uint32_t id, int32_t* value) {
    AttributeValue reply = zeroValue();
    const int32_t status = getValue(session, channelName, id, AttributeType::Int32, WireType::Int32,
                                    value != nullptr, false, reply);
    // The device sends the value sign-extended to 64 bits; its low 32 bits are the value.
    if (status == 0) *value = static_cast<int32_t>(static_cast<uint32_t>(reply.i64));
    return status;
}

int32_t getAttributeUInt64(uint32_t session, const char* channelName, uint32_t id,
                           uint64_t* value) {
    AttributeValue reply = zeroValue();
    const int32_t status = getValue(session, channelName, id, AttributeType::UInt64,
                                    WireType::UInt64, value != nullptr, false, reply);
    if (status == 0) *value = reply.u64;
    return status;
}

int32_t getAttributeDouble(uint32_t session, const char* channelName, uint32_t id, double* value) {
    AttributeValue reply = zeroValue();
    const int32_t status = getValue(session, channelName, id, AttributeType::Double,
                                    WireType::Double, value != nullptr, false, reply);
    if (status == 0) *value = reply.f64;
    return status;
}

int32_t getAttributeBoolean(uint32_t session, const char* channelName, uint32_t id,
                            uint32_t* value) {
    AttributeValue reply = zeroValue();
    const int32_t status = getValue(session, channelName, id, AttributeType::Boolean,
                                    WireType::Boolean, value != nullptr, true, reply);
    if (status == 0 && value != nullptr) *value = reply.u8;
    return status;
}

int32_t getAttributeString(uint32_t session, const char* channelName, uint32_t id,
                           uint64_t bufferSize, char* buffer) {
    AttributeValue reply = zeroValue();
    const int32_t status = getValue(session, channelName, id, AttributeType::String,
                                    WireType::String, buffer != nullptr, false, reply);
    if (status != 0) return status;
    // strncpy semantics for the caller's size, reading no further than the reply's text
    // field, which the device does not terminate when the text fills it.
    const std::size_t length = strnlen(reply.text, sizeof reply.text);
    const std::size_t copied = bufferSize < length ? static_cast<std::size_t>(bufferSize) : length;
    std::memcpy(buffer, reply.text, copied);
    if (bufferSize > copied)
        std::memset(buffer + copied, 0, static_cast<std::size_t>(bufferSize - copied));
    return status;
}

int32_t setAttributeInt32(uint32_t session, const char* channelName, uint32_t id, int32_t value) {
    AttributeValue wire = zeroValue();
    wire.i64 = value;
    return setValue(session, channelName, id, AttributeType::Int32, WireType::Int32, wire);
}

int32_t setAttributeUInt64(uint32_t session, const char* channelName, uint32_t id, uint64_t value) {
    AttributeValue wire = zeroValue();
    wire.u64 = value;
    return setValue(session, channelName, id, AttributeType::UInt64, WireType::UInt64, wire);
}

int32_t setAttributeDouble(uint32_t session, const char* channelName, uint32_t id, double value) {
    AttributeValue wire = zeroValue();
    wire.f64 = value;
    return setValue(session, channelName, id, AttributeType::Double, WireType::Double, wire);
}

int32_t setAttributeBoolean(uint32_t session, const char* channelName, uint32_t id, int32_t value) {
    AttributeValue wire = zeroValue();
    wire.u8 = value != 0 ? 1 : 0;
    return setValue(session, channelName, id, AttributeType::Boolean, WireType::Boolean, wire);
}

int32_t setAttributeString(uint32_t session, const char* channelName, uint32_t id,
                           const char* value) {
    AttributeValue wire = zeroValue();
    channel::copyTextField(wire.text, value);
    return setValue(session, channelName, id, AttributeType::String, WireType::String, wire);
}

}  // namespace zyostrel::attributes
