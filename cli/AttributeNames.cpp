#include "AttributeNames.h"

#include "Args.h"

namespace ostrel {
namespace {

constexpr bool kReadWrite = false;
constexpr bool kReadOnly = true;
constexpr uint32_t kTypeRangeSpan = 0xFFFE;

}  // namespace

const std::vector<AttributeName>& attributeNames() {
    static const std::vector<AttributeName> names = {
#define ZY_ATTRIBUTE(id, type, name, access, defaultValue) \
    {id, AttributeType::type, name, k##access},
#define ZY_ATTRIBUTE_ENUM(id, value, name)
#include ZY_ATTRIBUTE_TABLE_FILE
#undef ZY_ATTRIBUTE_ENUM
#undef ZY_ATTRIBUTE
    };
    return names;
}

const std::vector<EnumName>& enumNames() {
    static const std::vector<EnumName> names = {
#define ZY_ATTRIBUTE(id, type, name, access, defaultValue)
#define ZY_ATTRIBUTE_ENUM(id, value, name) {id, static_cast<int32_t>(value), name},
#include ZY_ATTRIBUTE_TABLE_FILE
#undef ZY_ATTRIBUTE_ENUM
#undef ZY_ATTRIBUTE
    };
    return names;
}

const char* typeName(AttributeType type) noexcept {
    switch (type) {
        case AttributeType::Int32:
            return "Int32";
        case AttributeType::Double:
            return "Double";
        case AttributeType::String:
            return "String";
        case AttributeType::Boolean:
            return "Boolean";
        case AttributeType::UInt64:
            return "UInt64";
    }
    return "unknown";
}

AttributeName findAttribute(const std::string& text) {
    std::string key = nameKey(text);
    const std::string prefix = "zyostrelattr";
    if (key.compare(0, prefix.size(), prefix) == 0) key.erase(0, prefix.size());
    for (const AttributeName& attribute : attributeNames()) {
        if (nameKey(attribute.displayName) == key) return attribute;
    }
    if (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0) {
        const auto id = static_cast<uint32_t>(parseUnsigned(text, "attribute", UINT32_MAX));
        const uint32_t digit = id >> 28;
        if (digit < 1 || digit > 5 || (id & 0x0FFFFFFF) > kTypeRangeSpan) {
            throw UsageError("attribute " + text + " lies in no type's identifier range");
        }
        return attributeById(id);
    }
    throw UsageError("unknown attribute \"" + text + "\" (see ostrel attr list)");
}

AttributeName attributeById(uint32_t id) {
    for (const AttributeName& attribute : attributeNames()) {
        if (attribute.id == id) return attribute;
    }
    return {id, static_cast<AttributeType>(id >> 28), "", false};
}

std::optional<int32_t> enumValue(uint32_t id, const std::string& name) {
    const std::string key = nameKey(name);
    for (const EnumName& entry : enumNames()) {
        if (entry.id == id && nameKey(entry.name) == key) return entry.value;
    }
    return std::nullopt;
}

const char* enumName(uint32_t id, int32_t value) noexcept {
    for (const EnumName& entry : enumNames()) {
        if (entry.id == id && entry.value == value) return entry.name;
    }
    return nullptr;
}

}  // namespace ostrel
