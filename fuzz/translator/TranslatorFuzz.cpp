#include "TranslatorFuzz.h"

#include <unistd.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/Paths.h"
#include "status/FetchElaboration.h"
#include "translator/ErrorFileParser.h"
#include "translator/Json1.h"
#include "translator/Registration.h"

namespace zyfuzz {
namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// The report the fuzz translator hands out: the input itself.
std::string currentReport;

char* copyText(const std::string& text, zyxlator::AllocateFunction allocate, void* context,
               zyerr::Status* status) {
    auto* copy = static_cast<char*>(allocate(nullptr, text.size() + 1, context, status));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

char* fuzzStatic(zyxlator::Xlator*, int32_t code, uint32_t, zyxlator::AllocateFunction allocate,
                 void* context, zyerr::Status* status) {
    return copyText("Fuzz " + std::to_string(code) + ".", allocate, context, status);
}

char* fuzzDynamic(zyxlator::Xlator*, const char*, uint32_t, const char*,
                  zyxlator::AllocateFunction allocate, void* context, zyerr::Status* status) {
    return copyText(currentReport, allocate, context, status);
}

zyxlator::Xlator fuzzXlator{zyxlator::kXlatorStructSize, [](zyxlator::Xlator*) {}, &fuzzStatic,
                            &fuzzDynamic};

const zyxlator::XlatorRegistration kFuzzRegistrations[] = {
    {"fuzz_xlator", "{}",
     [](const char*, const char*, zyerr::Status* status) -> zyxlator::Xlator* {
         return status->isError() ? nullptr : &fuzzXlator;
     }},
};

// A shared directory of the process' own whose errors describe codes -1 and -2, so that
// every translation has a description to fall back to.
void prepareOnce() {
    static const bool prepared = [] {
        char root[] = "/tmp/zyfuzz-translator-XXXXXX";
        require(mkdtemp(root) != nullptr);
        const std::string base = root;
        require(mkdir((base + "/errors").c_str(), 0700) == 0);
        std::FILE* errors = std::fopen((base + "/errors/codes.txt").c_str(), "w");
        require(errors != nullptr);
        std::fputs(
            "<?xml version=\"1.0\"?>\n<zydocument>\n<zyerror code=\"-1\">\nMinus one.\n"
            "</zyerror>\n<zyerror code=\"-2\">\nMinus two.\n</zyerror>\n</zydocument>\n",
            errors);
        std::fclose(errors);
        std::FILE* shareDir = std::fopen((base + "/share.dir").c_str(), "w");
        require(shareDir != nullptr);
        std::fputs(root, shareDir);
        std::fclose(shareDir);
        static const std::string shareDirFile = base + "/share.dir";
        // Removed when the process ends, whatever the number of inputs it ran.
        static const struct Remover {
            std::string path;
            ~Remover() {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        } remover{base};
        zyostrel::platform::setShareDirFileForTesting(shareDirFile.c_str());
        zyxlator::setTestRegistrations(kFuzzRegistrations, 1);
        return true;
    }();
    require(prepared);
}

}  // namespace

void exerciseErrorFile(const uint8_t* data, std::size_t size) {
    if (size == 0) return;
    std::string copy(reinterpret_cast<const char*>(data), size);
    for (const int32_t code : {0, -1, 16, -52005}) {
        std::FILE* file = fmemopen(copy.data(), copy.size(), "r");
        require(file != nullptr);
        zyerr::Status status;
        const std::string description = zyxlator::parseErrorStream(file, code, status);
        std::fclose(file);
        require(status.code == 0 || status.code == -52006);
        require(status.code == 0 || description.empty());
        require(description.empty() || (description.back() != '\n' && description.back() != '\r'));
        require(description.size() <= size);
    }
}

void exerciseTranslation(const uint8_t* data, std::size_t size) {
    prepareOnce();
    const std::size_t bounded =
        size < zyerr::kElaborationReplySize ? size : zyerr::kElaborationReplySize;
    const std::string elaboration(reinterpret_cast<const char*>(data),
                                  strnlen(reinterpret_cast<const char*>(data), bounded));
    currentReport = elaboration;
    zyerr::Status status;
    zyerr::setCode(status, -1);
    require(zyerr::setElaboration(status, elaboration.c_str()));
    for (const uint32_t flags : {3u, 15u}) {
        zyhtl::BasicString out;
        zyxlator::json1::translateErrStatusToRawText(status, 0, flags, out);
        require(!out.empty());
    }
}

}  // namespace zyfuzz
