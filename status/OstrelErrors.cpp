#include "status/OstrelErrors.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <typeinfo>

#include "status/ElaborationReader.h"
#include "status/Exception.h"
#include "translator/BasicString.h"
#include "translator/ErrorFiles.h"
#include "translator/Json1.h"
#include "translator/Xlator.h"

namespace zyerr {
namespace {

constexpr const char* kWriterSource = "OstrelErrors";
// Room of the host's language text: a length byte and up to 255 characters.
constexpr std::size_t kLanguageTextSize = 256;

using GetLangStrFunction = void (*)(unsigned char* languageText);
using PStrCmpFunction = int32_t (*)(const unsigned char* first, const unsigned char* second);

// The name of a language as the host writes it: a length byte, then the name.
void lengthPrefixed(const char* name, unsigned char (&text)[kLanguageTextSize]) noexcept {
    const std::size_t length = std::min(std::strlen(name), kLanguageTextSize - 1);
    text[0] = static_cast<unsigned char>(length);
    std::memcpy(text + 1, name, length);
}

void setFromElaboration(StatusRecord& record, const Status& status) {
    const JsonText json(elaborationText(status));
    const std::size_t root = json.root();
    char component[10] = "";
    json.copyStringAt(json.findKey(root, "component"), component, sizeof component);
    char fileText[4096] = "";
    json.copyStringAt(json.findKey(root, "file"), fileText, sizeof fileText);
    // A long path keeps its end, which names the source file.
    const char* file = fileText;
    const std::size_t length = std::strlen(fileText);
    if (length > 100) file += length - 100;
    while (*file == '\\') ++file;
    const int32_t line = json.integerAt(json.findKey(root, "line"), 0);
    const int32_t code = status.code != 0 ? status.code : codes::InternalSoftwareFault;
    setStatusRecord(record, code, component, file, static_cast<uint64_t>(std::max(line, 0)));
}

void fillBuffer(std::string_view text, uint64_t bufferSize, char* buffer) {
    const std::size_t copied =
        static_cast<std::size_t>(std::min<uint64_t>(text.size(), bufferSize));
    std::memcpy(buffer, text.data(), copied);
    std::memset(buffer + copied, 0, static_cast<std::size_t>(bufferSize - copied));
    buffer[bufferSize - 1] = '\0';
}

}  // namespace

void recordCurrentException(StatusRecord& record, uint64_t line) noexcept {
    int32_t code = codes::InternalSoftwareFault;
    try {
        throw;
    } catch (const ExceptionBase& exception) {
        setFromElaboration(record, exception.status());
        return;
    } catch (const std::bad_alloc&) {
        code = codes::MemoryFull;
    } catch (const std::invalid_argument&) {
        code = codes::InvalidParameter;
    } catch (const std::bad_cast&) {
        code = codes::TypeMismatch;
    } catch (const std::system_error&) {
        code = codes::OsFault;
    } catch (...) {
        code = codes::InternalSoftwareFault;
    }
    setStatusRecord(record, code, kComponent, kWriterSource, line);
}

int32_t translateStatusToBuffer(const Status& status, uint64_t bufferSize, char* buffer) {
    if (bufferSize != 0 && buffer == nullptr) return codes::InvalidParameter;
    StatusRecord record = makeStatusRecord();
    try {
        zyhtl::BasicString text;
        zyxlator::json1::translateErrStatusToRawText(
            status, zyxlator::makeLanguageWord(zyxlator::kEnglish), kDescriptionFlags, text);
        if (bufferSize != 0) fillBuffer(text.view(), bufferSize, buffer);
    } catch (...) {
        recordCurrentException(record, __LINE__);
    }
    return static_cast<int32_t>(record.code);
}

int32_t translateStatusToWbString(const Status& status, ZyHostHandle* handle) {
    StatusRecord record = makeStatusRecord();
    try {
        zyhtl::BasicString text;
        zyxlator::json1::translateErrStatusToRawText(
            status, zyxlator::makeLanguageWord(getHostLanguage()), kDescriptionFlags, text);
        Status scratch;
        // The host shows the description below its own line about the failure.
        if (!text.insert(0, "\n", scratch)) throw std::bad_alloc();
        if (int32_t stored = storeHostString(handle, text.view())) {
            setStatusRecord(record, stored, kComponent, kWriterSource, __LINE__);
        }
    } catch (...) {
        recordCurrentException(record, __LINE__);
    }
    return static_cast<int32_t>(record.code);
}

std::string_view hostStringText(ZyHostHandle handle, std::size_t maxLength) noexcept {
    if (handle == nullptr || *handle == nullptr) return {};
    int32_t count = 0;
    std::size_t length = maxLength;
    // A length that claims more than the block holds is cut to the block.
    if (zyostrel::host::memoryManagerPresent()) {
        const int64_t allocated = zyostrel::host::allocatedSize(handle);
        if (allocated < static_cast<int64_t>(sizeof count)) return {};
        length = std::min<std::size_t>(length, static_cast<std::size_t>(allocated) - sizeof count);
    }
    std::memcpy(&count, *handle, sizeof count);
    length = std::min<std::size_t>(count > 0 ? static_cast<std::size_t>(count) : 0, length);
    return {reinterpret_cast<const char*>(*handle + sizeof count), length};
}

int32_t storeHostString(ZyHostHandle* handle, std::string_view text) noexcept {
    if (handle == nullptr) return codes::InvalidParameter;
    if (!zyostrel::host::memoryManagerPresent()) return codes::ResourceNotFound;
    // The count is a 32-bit value: a longer text cannot be described to the host.
    if (text.size() > static_cast<std::size_t>(INT32_MAX) - 8) return codes::MemoryFull;
    if (*handle == nullptr) {
        ZyHostHandle made = DSNewHandle(8);
        if (made == nullptr || *made == nullptr) return codes::MemoryFull;
        std::memset(*made, 0, sizeof(int32_t));
        *handle = made;
    }
    int32_t count = 0;
    std::memcpy(&count, **handle, sizeof count);
    const int64_t length = static_cast<int64_t>(text.size());
    const int64_t newMeasure = length + 7;
    const int64_t oldMeasure = int64_t{std::max(count, 0)} + 7;
    const int64_t required = length + static_cast<int64_t>(sizeof count);
    if (zyostrel::host::needsResize(newMeasure, oldMeasure, zyostrel::host::allocatedSize(*handle),
                                    required)) {
        ZyHostHandle resized = *handle;
        if (NumericArrayResize(static_cast<int32_t>(zyostrel::host::NumericType::U8), 1, &resized,
                               text.size()) != 0 ||
            resized == nullptr || *resized == nullptr) {
            return codes::MemoryFull;
        }
        *handle = resized;
    }
    const int32_t newCount = static_cast<int32_t>(text.size());
    std::memcpy(**handle, &newCount, sizeof newCount);
    if (!text.empty()) std::memcpy(**handle + sizeof newCount, text.data(), text.size());
    return 0;
}

uint32_t getHostLanguage() noexcept {
    void* program = dlopen(nullptr, RTLD_NOW);
    if (program == nullptr) return zyxlator::kEnglish;
    const auto getLangStr = reinterpret_cast<GetLangStrFunction>(dlsym(program, "GetLangStr"));
    const auto pStrCmp = reinterpret_cast<PStrCmpFunction>(dlsym(program, "PStrCmp"));
    uint32_t language = zyxlator::kEnglish;
    if (getLangStr != nullptr && pStrCmp != nullptr) {
        unsigned char text[kLanguageTextSize] = {};
        getLangStr(text);
        // The host names the languages as the error description folders do; English is the
        // answer when it names none of the others.
        for (uint32_t i = 1; i < zyxlator::kLanguageCount; ++i) {
            unsigned char candidate[kLanguageTextSize] = {};
            lengthPrefixed(zyxlator::languageDirectoryName(i), candidate);
            if (pStrCmp(text, candidate) == 0) {
                language = i;
                break;
            }
        }
    }
    dlclose(program);
    return language;
}

}  // namespace zyerr
