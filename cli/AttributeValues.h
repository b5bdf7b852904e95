// Attribute values in the output document: read through the getter of the attribute's type,
// enumerations given by name.
#pragma once

#include <cstdint>
#include <string>

#include "AttributeNames.h"
#include "Context.h"

namespace ostrel {

// Adds an Int32 value under key: its enumeration name when it has one (the number then also
// under numberKey, when given), else the number.
void addInt32Value(cJSON* out, const char* key, const char* numberKey, uint32_t id, int32_t value);

// Reads the attribute on the channel text (empty for none) and adds its value under key (an
// enumerated Int32's number also under numberKey, when given). A
// warning is reported and adds nothing; an error throws the Failure.
void readAttribute(Session& session, const std::string& channels, const AttributeName& attribute,
                   cJSON* out, const char* key, const char* numberKey = nullptr);

// The label of an attribute in messages: its display name, or its identifier.
std::string attributeLabel(const AttributeName& attribute);

}  // namespace ostrel
