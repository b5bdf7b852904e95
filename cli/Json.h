// The tool's output document: every command builds one cJSON object, printed as JSON with
// --json and as indented "key: value" lines otherwise, so the two forms never disagree.
#pragma once

#include <cjson/cJSON.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace ostrel {

struct JsonDelete {
    void operator()(cJSON* value) const noexcept { cJSON_Delete(value); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDelete>;

// Builders that throw std::bad_alloc instead of returning null, and return the added value.
JsonPtr newObject();
cJSON* addObject(cJSON* object, const char* key);
cJSON* addArray(cJSON* object, const char* key);
cJSON* appendObject(cJSON* array);
void addString(cJSON* object, const char* key, const std::string& value);
void addNumber(cJSON* object, const char* key, double value);
// Exact as a JSON number up to 2^53; larger values are written as decimal text.
void addUnsigned(cJSON* object, const char* key, uint64_t value);
void addBool(cJSON* object, const char* key, bool value);
void addHex(cJSON* object, const char* key, uint64_t value, int digits);
void appendNumber(cJSON* array, double value);
void appendString(cJSON* array, const std::string& value);

// Prints the whole document as JSON followed by a line end.
void printJson(std::FILE* out, const cJSON* document);
// Prints an object as "key: value" lines, nested objects and lists indented below their key.
void printText(std::FILE* out, const cJSON* document);

}  // namespace ostrel
