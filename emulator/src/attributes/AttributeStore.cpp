#include "attributes/AttributeStore.h"

#include <cstdlib>
#include <limits>

#include "Elaboration.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

namespace attr = zyostrel::attributes;

constexpr uint32_t kIsInputStream = 0x4000000E;
// Streams below this number carry data to the host, the others from it.
constexpr unsigned long kFirstOutputStream = 32;

void explain(Elaboration& elaboration, uint32_t id, const std::string& qualifier) {
    elaboration.addUsage("kUsageTypeAttributeId", uint64_t{id});
    elaboration.addUsage("kUsageTypeChannelName", qualifier);
}

const attr::AttributeInfo* lookup(uint32_t id, const std::string& qualifier,
                                  Elaboration& elaboration) {
    const attr::AttributeInfo* info = attr::findAttribute(id);
    if (info == nullptr) explain(elaboration, id, qualifier);
    return info;
}

bool isStreamName(const std::string& qualifier, unsigned long& number) {
    if (qualifier.empty() || qualifier.size() > 2) return false;
    for (char c : qualifier) {
        if (c < '0' || c > '9') return false;
    }
    number = std::strtoul(qualifier.c_str(), nullptr, 10);
    return number <= 63;
}

}  // namespace

WireType wireTypeOf(AttributeType type) {
    switch (type) {
        case AttributeType::Int32:
            return WireType::Int32;
        case AttributeType::Double:
            return WireType::Double;
        case AttributeType::String:
            return WireType::String;
        case AttributeType::Boolean:
            return WireType::Boolean;
        case AttributeType::UInt64:
            return WireType::UInt64;
    }
    return WireType::Int32;
}

AttributeData AttributeStore::defaultValue(const attr::AttributeInfo& info,
                                           const std::string& qualifier) {
    AttributeData value;
    const char* text = info.defaultValue;
    switch (info.type) {
        case AttributeType::Int32:
            value.i64 = std::strtoll(text, nullptr, 0);
            break;
        case AttributeType::Double:
            value.f64 = std::strtod(text, nullptr);
            break;
        case AttributeType::String:
            value.text = text;
            break;
        case AttributeType::Boolean:
            value.boolean = std::strtol(text, nullptr, 0) != 0;
            break;
        case AttributeType::UInt64:
            value.u64 = std::strtoull(text, nullptr, 0);
            break;
    }
    unsigned long stream = 0;
    if (info.id == kIsInputStream && isStreamName(qualifier, stream)) {
        value.boolean = stream < kFirstOutputStream;
    }
    return value;
}

bool AttributeStore::knows(uint32_t id) const { return attr::findAttribute(id) != nullptr; }

AttributeData AttributeStore::value(uint32_t id, const std::string& qualifier) const {
    if (auto it = values_.find({id, qualifier}); it != values_.end()) return it->second;
    const attr::AttributeInfo* info = attr::findAttribute(id);
    return info != nullptr ? defaultValue(*info, qualifier) : AttributeData{};
}

void AttributeStore::force(uint32_t id, const std::string& qualifier, const AttributeData& value) {
    values_[{id, qualifier}] = value;
}

int32_t AttributeStore::get(uint32_t id, uint32_t wireType, const std::string& qualifier,
                            AttributeData& value, Elaboration& elaboration) const {
    const attr::AttributeInfo* info = lookup(id, qualifier, elaboration);
    if (info == nullptr) return ZYEMU_STATUS_UNKNOWN_ATTRIBUTE;
    if (wireType != static_cast<uint32_t>(wireTypeOf(info->type))) {
        explain(elaboration, id, qualifier);
        elaboration.addUsage("kUsageTypeWireType", uint64_t{wireType});
        return ZYEMU_STATUS_ATTRIBUTE_TYPE_MISMATCH;
    }
    value = this->value(id, qualifier);
    return 0;
}

int32_t AttributeStore::set(uint32_t id, uint32_t wireType, const std::string& qualifier,
                            const AttributeData& value, Elaboration& elaboration) {
    const attr::AttributeInfo* info = lookup(id, qualifier, elaboration);
    if (info == nullptr) return ZYEMU_STATUS_UNKNOWN_ATTRIBUTE;
    if (wireType != static_cast<uint32_t>(wireTypeOf(info->type))) {
        explain(elaboration, id, qualifier);
        elaboration.addUsage("kUsageTypeWireType", uint64_t{wireType});
        return ZYEMU_STATUS_ATTRIBUTE_TYPE_MISMATCH;
    }
    if (info->access == attr::AttributeAccess::ReadOnly) {
        explain(elaboration, id, qualifier);
        return ZYEMU_STATUS_ATTRIBUTE_READ_ONLY;
    }
    if (info->type == AttributeType::Int32) {
        const bool fits = value.i64 >= std::numeric_limits<int32_t>::min() &&
                          value.i64 <= std::numeric_limits<int32_t>::max();
        if (!fits || (attr::isEnumeratedAttribute(id) &&
                      attr::attributeEnumName(id, static_cast<int32_t>(value.i64)) == nullptr)) {
            explain(elaboration, id, qualifier);
            elaboration.addUsage("kUsageTypeValue", std::to_string(value.i64));
            return ZYEMU_STATUS_INVALID_VALUE;
        }
    }
    values_[{id, qualifier}] = value;
    return 0;
}

int32_t AttributeStore::restoreDefault(uint32_t id, const std::string& qualifier,
                                       Elaboration& elaboration) {
    if (lookup(id, qualifier, elaboration) == nullptr) return ZYEMU_STATUS_UNKNOWN_ATTRIBUTE;
    values_.erase({id, qualifier});
    return 0;
}

}  // namespace zyemu
