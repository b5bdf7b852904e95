#include "firmware/fwextract/JsonAccess.h"

#include "status/Exception.h"
#include "status/StatusCodes.h"

namespace zyostrel::fwextract::json {
namespace {

constexpr int32_t kTypeMismatch = zyerr::codes::TypeMismatch;
constexpr int32_t kInvalid = zyerr::codes::InvalidParameter;
constexpr int32_t kNotFound = zyerr::codes::ResourceNotFound;

}  // namespace

Tree parse(const char* text, std::size_t size) {
    const char* end = nullptr;
    Tree tree(cJSON_ParseWithLengthOpts(text, size, &end, false));
    if (!tree) ZYERR_THROW_NAMED(kInvalid, "jsonErrorsInvalidJSON");
    // One value and nothing after it but white space (or the NUL some writers append).
    for (const char* rest = end; rest != nullptr && rest < text + size; ++rest) {
        if (*rest != ' ' && *rest != '\t' && *rest != '\n' && *rest != '\r' && *rest != '\0') {
            ZYERR_THROW_NAMED(kInvalid, "jsonErrorsInvalidJSON");
        }
    }
    return tree;
}

const cJSON* optionalMember(const cJSON& value, const char* name) {
    if (!cJSON_IsObject(&value)) ZYERR_THROW_NAMED(kTypeMismatch, "jsonErrorsNotAnObject");
    return cJSON_GetObjectItem(&value, name);
}

const cJSON& member(const cJSON& value, const char* name) {
    const cJSON* found = optionalMember(value, name);
    if (found == nullptr) ZYERR_THROW_NAMED(kNotFound, "jsonErrorsObjectItemNotFound");
    return *found;
}

std::size_t arraySize(const cJSON& value) {
    if (!cJSON_IsArray(&value)) ZYERR_THROW_NAMED(kTypeMismatch, "jsonErrorsNotAnArray");
    std::size_t count = 0;
    for (const cJSON* item = value.child; item != nullptr; item = item->next) ++count;
    return count;
}

const cJSON& element(const cJSON& value, std::size_t index) {
    if (!cJSON_IsArray(&value)) ZYERR_THROW_NAMED(kTypeMismatch, "jsonErrorsNotAnArray");
    const cJSON* item = value.child;
    for (std::size_t i = 0; item != nullptr && i < index; ++i) item = item->next;
    if (item == nullptr) ZYERR_THROW_NAMED(kNotFound, "jsonErrorsArrayItemOutOfBounds");
    return *item;
}

std::string stringOf(const cJSON& value) {
    if (!cJSON_IsString(&value) || value.valuestring == nullptr) {
        ZYERR_THROW_NAMED(kTypeMismatch, "jsonErrorsTypeMismatch");
    }
    return value.valuestring;
}

double numberOf(const cJSON& value) {
    if (!cJSON_IsNumber(&value)) ZYERR_THROW_NAMED(kTypeMismatch, "jsonErrorsTypeMismatch");
    return value.valuedouble;
}

bool booleanOf(const cJSON& value) {
    if (!cJSON_IsBool(&value)) ZYERR_THROW_NAMED(kTypeMismatch, "jsonErrorsTypeMismatch");
    return cJSON_IsTrue(&value);
}

}  // namespace zyostrel::fwextract::json
