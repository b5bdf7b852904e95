// Typed access to a parsed JSON tree (cJSON). Every structural mismatch becomes a thrown
// zyerr::Exception with the JSON error constants, so callers read members in a straight line.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include <cjson/cJSON.h>

namespace zyostrel::fwextract::json {

struct TreeDeleter {
    void operator()(cJSON* tree) const { cJSON_Delete(tree); }
};
using Tree = std::unique_ptr<cJSON, TreeDeleter>;

// Parses exactly size bytes of text as one JSON value (white space may follow); -52005
// (jsonErrorsInvalidJSON) when it is not JSON.
Tree parse(const char* text, std::size_t size);

// The member of an object, found without regard to ASCII letter case (first occurrence).
// -52004 (jsonErrorsNotAnObject) when value is not an object, -52006
// (jsonErrorsObjectItemNotFound) when the member is missing.
const cJSON& member(const cJSON& value, const char* name);
// The member, or null when it is missing; -52004 when value is not an object.
const cJSON* optionalMember(const cJSON& value, const char* name);
// Element index of an array: -52004 (jsonErrorsNotAnArray), -52006
// (jsonErrorsArrayItemOutOfBounds).
const cJSON& element(const cJSON& value, std::size_t index);
// Number of elements of an array; -52004 (jsonErrorsNotAnArray) for any other value.
std::size_t arraySize(const cJSON& value);

// The value as a string, number or boolean; -52004 (jsonErrorsTypeMismatch) otherwise.
std::string stringOf(const cJSON& value);
double numberOf(const cJSON& value);
bool booleanOf(const cJSON& value);

}  // namespace zyostrel::fwextract::json
