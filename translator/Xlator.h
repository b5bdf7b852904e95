// The C-level translator record shared with the translator manager library and with
// translators created through zyxlator_exported_create.
//
// A translator turns a status code into its fixed description (static) and an elaboration
// into a JSON report of its usage items (dynamic). Texts it returns are allocated with the
// caller's allocate function, so the caller frees them with the same function (size 0).
#pragma once

#include <cstddef>
#include <cstdint>

#include "status/Status.h"
#include "status/TranslatorData.h"

namespace zyxlator {

// Realloc-style allocation handed to translators: (pointer, size, context, status). Size 0
// frees pointer and returns null. A status that already holds an error makes it return null
// without doing anything; a failure records -52000 in the status (when given).
using AllocateFunction = void* (*)(void* pointer, std::size_t size, void* context,
                                   zyerr::Status* status);

struct Xlator;

using DestroyFunction = void (*)(Xlator* xlator);
// The fixed description of code in the language of languageWord, or null (status says why).
using GetStaticDescFunction = char* (*)(Xlator* xlator, int32_t code, uint32_t languageWord,
                                        AllocateFunction allocate, void* allocateContext,
                                        zyerr::Status* status);
// The report of elaborationJson in format (only "json1" is defined), or null.
using GetDynamicDescFunction = char* (*)(Xlator* xlator, const char* elaborationJson,
                                         uint32_t languageWord, const char* format,
                                         AllocateFunction allocate, void* allocateContext,
                                         zyerr::Status* status);

// The four entries every translator starts with; translator-specific state follows them
// (a translator derives from this record or embeds it first). getStaticDesc and
// getDynamicDesc may be null when the translator does not offer that description.
struct Xlator {
    uint64_t structSize;
    DestroyFunction destroy;
    GetStaticDescFunction getStaticDesc;
    GetDynamicDescFunction getDynamicDesc;
};

inline constexpr uint64_t kXlatorStructSize = 32;
static_assert(sizeof(Xlator) == kXlatorStructSize, "the record is shared with other libraries");
static_assert(offsetof(Xlator, structSize) == 0);
static_assert(offsetof(Xlator, destroy) == 8);
static_assert(offsetof(Xlator, getStaticDesc) == 16);
static_assert(offsetof(Xlator, getDynamicDesc) == 24);

// Creates the translator name with its registration information (a JSON text); null on
// failure, the reason recorded in status.
using CreateFunction = Xlator* (*)(const char* name, const char* registrationInfo,
                                   zyerr::Status* status);

// The library's allocate function: plain realloc; the context is ignored. A failure records
// -52000 with "zyxlator_debug": {"debug": "realloc failed"}.
void* translatorRealloc(void* pointer, std::size_t size, void* context, zyerr::Status* status);

// Language word: language number in bits 0-7, application environment in bits 8-11.
enum Language : uint32_t {
    kEnglish = 0,
    kFrench = 1,
    kGerman = 2,
    kJapanese = 3,
    kKorean = 4,
    kChineseS = 5,
};
inline constexpr uint32_t kLanguageCount = 6;

constexpr uint32_t languageOf(uint32_t languageWord) noexcept { return languageWord & 0xFFu; }
constexpr uint32_t environmentOf(uint32_t languageWord) noexcept {
    return (languageWord >> 8) & 0xFu;
}
constexpr uint32_t makeLanguageWord(uint32_t language, uint32_t environment = 0) noexcept {
    return (language & 0xFFu) | ((environment & 0xFu) << 8);
}

// Name of the built-in translator that reads error description files.
inline constexpr const char* kDefaultXlatorName = "zyxlator_default";
// Name of the library's script-hosted translator.
inline constexpr const char* kScriptXlatorName = zyerr::kLibraryTranslator;
// Key of the translators' diagnostic objects in an elaboration.
inline constexpr const char* kDebugKey = "zyxlator_debug";

}  // namespace zyxlator
