// The attribute table as C++ data: type, display name, access and default of every attribute
// identifier, and the names of the enumerated values. Generated from AttributeTable.def, which
// also feeds the emulated instrument's attribute store and the error translator's table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyostrel::attributes {

// Value types; each is the top hexadecimal digit of the identifiers of that type.
enum class AttributeType : uint8_t { Int32 = 1, Double = 2, String = 3, Boolean = 4, UInt64 = 5 };

enum class AttributeAccess : uint8_t { ReadWrite, ReadOnly };

struct AttributeInfo {
    uint32_t id;
    AttributeType type;
    const char* displayName;
    AttributeAccess access;
    const char* defaultValue;  // as text: numbers in C notation, Booleans 0 or 1
};

struct AttributeEnumValue {
    uint32_t id;
    int32_t value;
    const char* name;
};

inline constexpr AttributeInfo kAttributeTable[] = {
#define ZY_ATTRIBUTE(id, type, name, access, defaultValue) \
    {id, AttributeType::type, name, AttributeAccess::access, defaultValue},
#define ZY_ATTRIBUTE_ENUM(id, value, name)
#include "attributes/AttributeTable.def"
#undef ZY_ATTRIBUTE_ENUM
#undef ZY_ATTRIBUTE
};

inline constexpr AttributeEnumValue kAttributeEnumValues[] = {
#define ZY_ATTRIBUTE(id, type, name, access, defaultValue)
#define ZY_ATTRIBUTE_ENUM(id, value, name) {id, static_cast<int32_t>(value), name},
#include "attributes/AttributeTable.def"
#undef ZY_ATTRIBUTE_ENUM
#undef ZY_ATTRIBUTE
};

inline constexpr std::size_t kAttributeCount = sizeof(kAttributeTable) / sizeof(kAttributeTable[0]);

// Identifiers of one type run from its base to base + kAttributeRangeSpan.
inline constexpr uint32_t kAttributeRangeSpan = 0xFFFE;

constexpr uint32_t attributeTypeBase(AttributeType type) {
    return static_cast<uint32_t>(type) << 28;
}

// Whether id lies in the identifier range of type (whether or not the table names it).
constexpr bool inAttributeRange(uint32_t id, AttributeType type) noexcept {
    return id >= attributeTypeBase(type) && id - attributeTypeBase(type) <= kAttributeRangeSpan;
}

// Whether the table names id with the given type; lets a module that names identifiers of
// its own check them at compile time.
constexpr bool attributeTableHas(uint32_t id, AttributeType type) noexcept {
    for (const auto& attribute : kAttributeTable) {
        if (attribute.id == id) return attribute.type == type;
    }
    return false;
}

constexpr bool attributeTableIsSorted() noexcept {
    for (std::size_t i = 1; i < kAttributeCount; ++i) {
        if (kAttributeTable[i - 1].id >= kAttributeTable[i].id) return false;
    }
    return true;
}
// Lookups search the table by halves, so it must stay in ascending identifier order.
static_assert(attributeTableIsSorted(),
              "AttributeTable.def must list identifiers in ascending order");

// The table entry of id, or null when the table does not name it. Header-only, so that the
// emulated instrument builds its store from the same table without linking the library.
constexpr const AttributeInfo* findAttribute(uint32_t id) noexcept {
    std::size_t low = 0;
    std::size_t high = kAttributeCount;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (kAttributeTable[middle].id < id) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low < kAttributeCount && kAttributeTable[low].id == id ? &kAttributeTable[low] : nullptr;
}

// Whether id has enumerated values (and so accepts no others).
constexpr bool isEnumeratedAttribute(uint32_t id) noexcept {
    for (const AttributeEnumValue& entry : kAttributeEnumValues) {
        if (entry.id == id) return true;
    }
    return false;
}

// The name of value of an enumerated attribute; null when id is not enumerated or the value
// is not one of its values.
constexpr const char* attributeEnumName(uint32_t id, int32_t value) noexcept {
    for (const AttributeEnumValue& entry : kAttributeEnumValues) {
        if (entry.id == id && entry.value == value) return entry.name;
    }
    return nullptr;
}

}  // namespace zyostrel::attributes
