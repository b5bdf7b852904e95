// Attribute and enumeration names, compiled from the attribute table the library and the
// header's constants are generated from, so the tool knows exactly the names they know.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {

// The value type is the identifier's top hexadecimal digit.
enum class AttributeType : uint8_t { Int32 = 1, Double = 2, String = 3, Boolean = 4, UInt64 = 5 };

struct AttributeName {
    uint32_t id;
    AttributeType type;
    const char* displayName;  // "" for an identifier the table does not name
    bool readOnly;
};

struct EnumName {
    uint32_t id;
    int32_t value;
    const char* name;
};

const std::vector<AttributeName>& attributeNames();
const std::vector<EnumName>& enumNames();
const char* typeName(AttributeType type) noexcept;

// An attribute given by display name in any letter case and spacing ("Reference Clock
// Source", "ReferenceClockSource", "ZYOSTREL_Attr_ReferenceClockSource") or by identifier
// ("0x1000000B"; one the table does not name is taken with the type of its top digit).
// Throws UsageError for anything else.
AttributeName findAttribute(const std::string& text);

// The table's entry of an identifier; one it does not name gets its type from the top digit.
AttributeName attributeById(uint32_t id);

// The value an enumeration name stands for, or nothing when the attribute has no such name.
std::optional<int32_t> enumValue(uint32_t id, const std::string& name);
// The name of an enumeration value, or null.
const char* enumName(uint32_t id, int32_t value) noexcept;

}  // namespace ostrel
