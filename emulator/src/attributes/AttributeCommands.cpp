// The attribute interface (258): get, set, restore default and query, served from the
// instrument's attribute store.
#include <cstring>

#include "CommandRegistry.h"
#include "Instrument.h"
#include "attributes/AttributeStore.h"
#include "channel/WireConstants.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

constexpr uint32_t kAttributeInterface = zyostrel::wire::kAttributeInterface;

// Record layout: identifier, wire type and qualifier after the header; the value block of a
// set after them.
constexpr std::size_t kIdOffset = 20;
constexpr std::size_t kWireTypeOffset = 24;
constexpr std::size_t kQualifierOffset = 28;
constexpr std::size_t kQualifierSize = zyostrel::wire::kAttributeQualifierSize;
constexpr std::size_t kRecordSize = zyostrel::wire::kAttributeRecordSize;
constexpr std::size_t kValueOffset = zyostrel::wire::kAttributeRecordSize;
constexpr std::size_t kSetRecordSize = zyostrel::wire::kAttributeSetRecordSize;

// Value block: f64, i64, u64, 256 bytes of text, u8.
constexpr std::size_t kValueF64 = 0;
constexpr std::size_t kValueI64 = 8;
constexpr std::size_t kValueU64 = 16;
constexpr std::size_t kValueText = 24;
constexpr std::size_t kValueTextSize = zyostrel::wire::kAttributeTextSize;
constexpr std::size_t kValueU8 = 280;
constexpr std::size_t kValueSize = zyostrel::wire::kAttributeValueSize;

struct AttributeAddress {
    uint32_t id = 0;
    uint32_t wireType = 0;
    std::string qualifier;
};

int32_t readAddress(CommandContext& context, std::size_t recordSize, AttributeAddress& address) {
    if (int32_t status = requireRecordSize(context, recordSize)) return status;
    context.input.read(kIdOffset, address.id);
    context.input.read(kWireTypeOffset, address.wireType);
    context.input.text(kQualifierOffset, kQualifierSize, address.qualifier);
    return 0;
}

AttributeStore& storeOf(CommandContext& context) {
    return context.instrument.state<AttributeStore>();
}

int32_t getAttribute(CommandContext& context) {
    AttributeAddress address;
    if (int32_t status = readAddress(context, kRecordSize, address)) return status;
    if (int32_t status = requireReplySize(context, kValueSize)) return status;
    AttributeData value;
    if (int32_t status = storeOf(context).get(address.id, address.wireType, address.qualifier,
                                              value, context.elaboration)) {
        return status;
    }
    uint8_t block[kValueSize] = {};
    switch (static_cast<WireType>(address.wireType)) {
        case WireType::Double:
            std::memcpy(block + kValueF64, &value.f64, 8);
            break;
        case WireType::Int32:
            std::memcpy(block + kValueI64, &value.i64, 8);
            break;
        case WireType::UInt64:
            std::memcpy(block + kValueU64, &value.u64, 8);
            break;
        case WireType::Boolean:
            block[kValueU8] = value.boolean ? 1 : 0;
            break;
        case WireType::String:
            // As the device's strncpy does: a text of 256 bytes or more is not terminated.
            std::memcpy(block + kValueText, value.text.data(),
                        value.text.size() < kValueTextSize ? value.text.size() : kValueTextSize);
            break;
        case WireType::UInt32:
            break;
    }
    context.reply.bytes(0, block, kValueSize);
    return 0;
}

int32_t setAttribute(CommandContext& context) {
    AttributeAddress address;
    if (int32_t status = readAddress(context, kSetRecordSize, address)) return status;
    AttributeData value;
    uint8_t flag = 0;
    context.input.read(kValueOffset + kValueF64, value.f64);
    context.input.read(kValueOffset + kValueI64, value.i64);
    context.input.read(kValueOffset + kValueU64, value.u64);
    context.input.text(kValueOffset + kValueText, kValueTextSize, value.text);
    context.input.read(kValueOffset + kValueU8, flag);
    value.boolean = flag != 0;
    return storeOf(context).set(address.id, address.wireType, address.qualifier, value,
                                context.elaboration);
}

int32_t restoreAttribute(CommandContext& context) {
    AttributeAddress address;
    if (int32_t status = readAddress(context, kRecordSize, address)) return status;
    return storeOf(context).restoreDefault(address.id, address.qualifier, context.elaboration);
}

// The one-byte answer: whether the instrument has the attribute.
int32_t queryAttribute(CommandContext& context) {
    AttributeAddress address;
    if (int32_t status = readAddress(context, kRecordSize, address)) return status;
    if (int32_t status = requireReplySize(context, 1)) return status;
    const uint8_t known = storeOf(context).knows(address.id) ? 1 : 0;
    context.reply.write(0, known);
    return 0;
}

const CommandRegistration getRegistration{InterfaceCommand{kAttributeInterface, 721},
                                          &getAttribute};
const CommandRegistration setRegistration{InterfaceCommand{kAttributeInterface, 722},
                                          &setAttribute};
const CommandRegistration restoreRegistration{InterfaceCommand{kAttributeInterface, 723},
                                              &restoreAttribute};
const CommandRegistration queryRegistration{InterfaceCommand{kAttributeInterface, 724},
                                            &queryAttribute};

}  // namespace
}  // namespace zyemu
