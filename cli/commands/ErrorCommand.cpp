// error: the library's description of a status code, in any of its languages.
//
// The library describes errors in another language than English only to the graphical host
// (zyOstrel_WBGetError), which it recognises by the host's memory-manager and language
// functions in the running program. The tool provides small versions of them, whose language
// is the one --lang asks for, and reads the description from the host string they hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Commands.h"
#include "Context.h"
#include "zyostrelapi.h"

namespace {

// The language GetLangStr reports: a length byte, then the name.
unsigned char hostLanguage[32] = {7, 'E', 'n', 'g', 'l', 'i', 's', 'h'};

// A host handle points at the block's data pointer, which is the block's first member.
struct HostBlock {
    uint8_t* data;
    size_t size;
};

}  // namespace

#define ZY_HOST_FUNCTION extern "C" __attribute__((visibility("default")))

ZY_HOST_FUNCTION uint8_t** DSNewHandle(size_t size) noexcept {
    auto* block = static_cast<HostBlock*>(std::calloc(1, sizeof(HostBlock)));
    if (block == nullptr) return nullptr;
    block->data = static_cast<uint8_t*>(std::calloc(1, size + 1));
    if (block->data == nullptr) {
        std::free(block);
        return nullptr;
    }
    block->size = size;
    return &block->data;
}

ZY_HOST_FUNCTION int32_t DSGetHandleSize(uint8_t** handle) noexcept {
    const size_t size = reinterpret_cast<HostBlock*>(handle)->size;
    return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

ZY_HOST_FUNCTION int32_t DSSetHandleSize(uint8_t** handle, size_t size) noexcept {
    auto* block = reinterpret_cast<HostBlock*>(handle);
    auto* grown = static_cast<uint8_t*>(std::realloc(block->data, size + 1));
    if (grown == nullptr) return 2;
    if (size > block->size) std::memset(grown + block->size, 0, size + 1 - block->size);
    block->data = grown;
    block->size = size;
    return 0;
}

// Byte arrays only (all the descriptions need): a 32-bit length, then count bytes.
ZY_HOST_FUNCTION int32_t NumericArrayResize(int32_t typeCode, int32_t dimensions, uint8_t*** handle,
                                            size_t count) noexcept {
    if (typeCode != 1 || dimensions != 1 || handle == nullptr || *handle == nullptr) return 1;
    return DSSetHandleSize(*handle, sizeof(int32_t) + count);
}

ZY_HOST_FUNCTION void GetLangStr(unsigned char* language) noexcept {
    std::memcpy(language, hostLanguage, hostLanguage[0] + 1u);
}

ZY_HOST_FUNCTION int32_t PStrCmp(const unsigned char* first, const unsigned char* second) noexcept {
    return first[0] == second[0] && std::memcmp(first + 1, second + 1, first[0]) == 0 ? 0 : 1;
}

namespace ostrel::commands {
namespace {

struct Language {
    const char* name;  // as the host names it
    const char* code;
};

const Language kLanguages[] = {{"English", "en"},  {"French", "fr"}, {"German", "de"},
                               {"Japanese", "ja"}, {"Korean", "ko"}, {"ChineseS", "zh"}};

struct StatusName {
    int32_t code;
    const char* name;
    const char* errorConstant;
};

const StatusName kStatusNames[] = {
#define ZY_STATUS(code, headerName, errorConstant, meaning) {code, #headerName, errorConstant},
#include ZY_STATUS_TABLE_FILE
#undef ZY_STATUS
};

const Language& languageOf(const std::string& text) {
    for (const Language& language : kLanguages) {
        if (nameKey(text) == nameKey(language.name) || nameKey(text) == language.code) {
            return language;
        }
    }
    throw UsageError("unknown language \"" + text +
                     "\" (English, French, German, Japanese, Korean, ChineseS)");
}

// A status given by number or by the name of its constant.
int32_t statusOf(const std::string& text) {
    const std::string key = nameKey(text);
    for (const StatusName& status : kStatusNames) {
        if (key == nameKey(status.name) ||
            key == nameKey(std::string("ZYOSTREL_Status_") + status.name) ||
            (status.errorConstant[0] != '\0' && key == nameKey(status.errorConstant))) {
            return status.code;
        }
    }
    return static_cast<int32_t>(parseSigned(text, "code", INT32_MIN, INT32_MAX));
}

const char* statusName(int32_t code) {
    for (const StatusName& status : kStatusNames) {
        if (status.code == code) return status.name;
    }
    return nullptr;
}

// The description as the graphical host receives it: a line feed, then the text.
std::string hostDescription(int32_t code, const Language& language) {
    hostLanguage[0] = static_cast<unsigned char>(std::strlen(language.name));
    std::memcpy(hostLanguage + 1, language.name, hostLanguage[0]);
    uint8_t** handle = nullptr;
    const int32_t status = zyOstrel_WBGetError(0, code, &handle);
    std::string text;
    if (status == 0 && handle != nullptr) {
        int32_t length = 0;
        std::memcpy(&length, *handle, sizeof length);
        text.assign(reinterpret_cast<const char*>(*handle) + sizeof length,
                    static_cast<std::size_t>(length > 0 ? length : 0));
    }
    if (handle != nullptr) {
        std::free(*handle);
        std::free(handle);
    }
    if (status != 0) fail(status, 0, "describe the status");
    while (!text.empty() && text.front() == '\n') text.erase(0, 1);
    return withoutTrailingLineEnds(std::move(text));
}

void runError(Context& context, const Arguments& arguments) {
    const int32_t code = statusOf(arguments.operands[0]);
    const Language& language = languageOf(arguments.value("--lang", "English"));
    cJSON* out = context.result();
    addNumber(out, "code", code);
    if (const char* name = statusName(code)) addString(out, "name", name);
    addString(out, "kind", code < 0 ? "error" : code > 0 ? "warning" : "success");
    addString(out, "language", language.name);
    addString(out, "description",
              language.code == std::string("en") ? describeStatus(0, code)
                                                 : hostDescription(code, language));
}

}  // namespace

std::vector<Command> errors() {
    return {
        {"error",
         "CODE",
         "Describes a status code (such as -304431, or its name InvalidFirmwareBundle) as the "
         "library does.",
         1,
         1,
         {{"--lang", "L",
           "English, French, German, Japanese, Korean or ChineseS (or en, fr, "
           "de, ja, ko, zh)"}},
         runError},
    };
}

}  // namespace ostrel::commands
