// The typed attribute store of one emulated instrument: every attribute of the table, with
// its default, kept per qualifier (channel, terminal or stream name).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "attributes/AttributeTable.h"

namespace zyemu {

class Elaboration;

using AttributeType = zyostrel::attributes::AttributeType;

// One value of any type; only the field of the attribute's type is meaningful.
struct AttributeData {
    double f64 = 0;
    int64_t i64 = 0;
    uint64_t u64 = 0;
    std::string text;
    bool boolean = false;
};

// Wire type codes of the attribute records.
enum class WireType : uint32_t {
    Boolean = 0,
    Double = 1,
    Int32 = 2,
    UInt32 = 4,
    UInt64 = 5,
    String = 6
};

WireType wireTypeOf(AttributeType type);

class AttributeStore {
public:
    // The value of id on qualifier: what was set, else the default. Errors: unknown
    // identifier, a wire type that is not the attribute's.
    int32_t get(uint32_t id, uint32_t wireType, const std::string& qualifier, AttributeData& value,
                Elaboration& elaboration) const;

    // Stores value unless the attribute is read-only, the wire type is not the attribute's, an
    // Int32 value does not fit 32 bits or an enumerated attribute does not list the value.
    int32_t set(uint32_t id, uint32_t wireType, const std::string& qualifier,
                const AttributeData& value, Elaboration& elaboration);

    // Drops what was set, so the default reads again.
    int32_t restoreDefault(uint32_t id, const std::string& qualifier, Elaboration& elaboration);

    // Whether the identifier is one the instrument has.
    bool knows(uint32_t id) const;

    // Direct access for the instrument's own subsystems and the control interface: no
    // read-only or enumeration check.
    AttributeData value(uint32_t id, const std::string& qualifier) const;
    void force(uint32_t id, const std::string& qualifier, const AttributeData& value);

private:
    static AttributeData defaultValue(const zyostrel::attributes::AttributeInfo& info,
                                      const std::string& qualifier);

    std::map<std::pair<uint32_t, std::string>, AttributeData> values_;
};

}  // namespace zyemu
