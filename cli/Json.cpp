#include "Json.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string>

namespace ostrel {
namespace {

cJSON* checked(cJSON* value) {
    if (value == nullptr) throw std::bad_alloc();
    return value;
}

void attach(cJSON* object, const char* key, cJSON* value) {
    if (!cJSON_AddItemToObject(object, key, value)) {
        cJSON_Delete(value);
        throw std::bad_alloc();
    }
}

void append(cJSON* array, cJSON* value) {
    if (!cJSON_AddItemToArray(array, value)) {
        cJSON_Delete(value);
        throw std::bad_alloc();
    }
}

bool isScalar(const cJSON* value) { return !cJSON_IsObject(value) && !cJSON_IsArray(value); }

std::string scalarText(const cJSON* value) {
    if (cJSON_IsString(value)) return value->valuestring;
    if (cJSON_IsBool(value)) return cJSON_IsTrue(value) ? "yes" : "no";
    if (cJSON_IsNull(value)) return "-";
    char text[64];
    const double number = value->valuedouble;
    if (std::nearbyint(number) == number && std::fabs(number) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", number);
    } else {
        std::snprintf(text, sizeof text, "%.9g", number);
    }
    return text;
}

// Numbers and single words fit on the key's line; sentences get a line each.
bool fitsOnOneLine(const cJSON* array) {
    for (const cJSON* item = array->child; item != nullptr; item = item->next) {
        if (!isScalar(item)) return false;
        if (cJSON_IsString(item) && std::strchr(item->valuestring, ' ') != nullptr) return false;
    }
    return true;
}

void printMembers(std::FILE* out, const cJSON* object, int indent, const char* firstMarker);

void printMember(std::FILE* out, const cJSON* member, int indent, const char* marker) {
    std::fprintf(out, "%*s%s%s:", indent, "", marker, member->string);
    indent += static_cast<int>(std::strlen(marker));
    if (isScalar(member)) {
        std::fprintf(out, " %s\n", scalarText(member).c_str());
    } else if (cJSON_IsArray(member) && fitsOnOneLine(member)) {
        const char* separator = " ";
        if (member->child == nullptr) std::fputs(" (none)", out);
        for (const cJSON* item = member->child; item != nullptr; item = item->next) {
            std::fprintf(out, "%s%s", separator, scalarText(item).c_str());
            separator = ", ";
        }
        std::fputc('\n', out);
    } else if (cJSON_IsArray(member)) {
        std::fputc('\n', out);
        for (const cJSON* item = member->child; item != nullptr; item = item->next) {
            if (cJSON_IsObject(item)) {
                printMembers(out, item, indent + 2, "- ");
            } else {
                std::fprintf(out, "%*s- %s\n", indent + 2, "", scalarText(item).c_str());
            }
        }
    } else {
        std::fputc('\n', out);
        printMembers(out, member, indent + 2, "");
    }
}

// The first member gets the marker ("- " for a list item); the others align under it.
void printMembers(std::FILE* out, const cJSON* object, int indent, const char* firstMarker) {
    const std::string blank(std::string(firstMarker).size(), ' ');
    const char* marker = firstMarker;
    for (const cJSON* member = object->child; member != nullptr; member = member->next) {
        printMember(out, member, indent, marker);
        marker = blank.c_str();
    }
}

}  // namespace

JsonPtr newObject() { return JsonPtr(checked(cJSON_CreateObject())); }

cJSON* addObject(cJSON* object, const char* key) {
    cJSON* value = checked(cJSON_CreateObject());
    attach(object, key, value);
    return value;
}

cJSON* addArray(cJSON* object, const char* key) {
    cJSON* value = checked(cJSON_CreateArray());
    attach(object, key, value);
    return value;
}

cJSON* appendObject(cJSON* array) {
    cJSON* value = checked(cJSON_CreateObject());
    append(array, value);
    return value;
}

void addString(cJSON* object, const char* key, const std::string& value) {
    attach(object, key, checked(cJSON_CreateString(value.c_str())));
}

void addNumber(cJSON* object, const char* key, double value) {
    attach(object, key, checked(cJSON_CreateNumber(value)));
}

void addUnsigned(cJSON* object, const char* key, uint64_t value) {
    if (value <= (uint64_t{1} << 53)) {
        addNumber(object, key, static_cast<double>(value));
    } else {
        addString(object, key, std::to_string(value));
    }
}

void addBool(cJSON* object, const char* key, bool value) {
    attach(object, key, checked(cJSON_CreateBool(value)));
}

void addHex(cJSON* object, const char* key, uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    addString(object, key, text);
}

void appendNumber(cJSON* array, double value) { append(array, checked(cJSON_CreateNumber(value))); }

void appendString(cJSON* array, const std::string& value) {
    append(array, checked(cJSON_CreateString(value.c_str())));
}

void printJson(std::FILE* out, const cJSON* document) {
    char* text = cJSON_Print(document);
    if (text == nullptr) throw std::bad_alloc();
    std::fprintf(out, "%s\n", text);
    cJSON_free(text);
}

void printText(std::FILE* out, const cJSON* document) { printMembers(out, document, 0, ""); }

}  // namespace ostrel
