#include "translator/DefaultXlator.h"

#include <cstring>
#include <new>

#include "platform/Diagnostics.h"
#include "platform/Paths.h"
#include "translator/ErrorFiles.h"

namespace zyxlator {
namespace {

void destroyDefault(Xlator* /*xlator*/) {}

// The description of code in language, else in English; "" when neither has one, the
// failure of the English search being the one reported.
std::string findWithFallback(const std::string& errorsDir, int32_t code, uint32_t& language,
                             zyerr::Status& status) {
    for (;;) {
        zyerr::Status search;
        std::string description =
            findErrorDescriptionFromErrorsDir(errorsDir.c_str(), code, language, search);
        if (!search.isError() && !description.empty()) return description;
        if (language == kEnglish) {
            zyerr::moveFrom(status, search);
            return {};
        }
        language = kEnglish;
    }
}

char* describe(int32_t code, uint32_t languageWord, AllocateFunction allocate,
               void* allocateContext, zyerr::Status& status) {
    const std::string errorsDir = defaultErrorsDir(status);
    if (status.isError()) return nullptr;
    uint32_t language = languageOf(languageWord);
    const std::string description = findWithFallback(errorsDir, code, language, status);
    if (status.isError()) return nullptr;
    if (description.empty()) {
        zyostrel::platform::recordFailure(status, zyerr::codes::ResourceNotFound,
                                          ZYERR_LOCATION(zyerr::codes::ResourceNotFound))
            .beginObject(kDebugKey)
            .addString("zyxlator_defaultTranslator", "couldn't find description for code")
            .addInt("code", code)
            .addUInt("lang", language)
            .addUInt("ade", environmentOf(languageWord));
        return nullptr;
    }
    auto* text =
        static_cast<char*>(allocate(nullptr, description.size() + 1, allocateContext, &status));
    if (text != nullptr) std::memcpy(text, description.c_str(), description.size() + 1);
    return text;
}

char* getDefaultStaticDesc(Xlator* /*xlator*/, int32_t code, uint32_t languageWord,
                           AllocateFunction allocate, void* allocateContext,
                           zyerr::Status* status) {
    if (status == nullptr || status->isError() || allocate == nullptr) return nullptr;
    try {
        return describe(code, languageWord, allocate, allocateContext, *status);
    } catch (const std::bad_alloc&) {
        zyerr::setCode(*status, zyerr::codes::MemoryFull);
        return nullptr;
    }
}

Xlator defaultXlator{kXlatorStructSize, &destroyDefault, &getDefaultStaticDesc, nullptr};

}  // namespace

std::string defaultErrorsDir(zyerr::Status& status) {
    return zyostrel::platform::lookupPathVariable("_zyShared32Dir", status) + "/errors";
}

Xlator* createDefaultXlator(const char* /*name*/, const char* /*registrationInfo*/,
                            zyerr::Status* status) {
    if (status == nullptr || status->isError()) return nullptr;
    return &defaultXlator;
}

}  // namespace zyxlator
