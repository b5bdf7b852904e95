#include "translator/ErrorFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "platform/Diagnostics.h"
#include "translator/ErrorFileParser.h"
#include "translator/Xlator.h"

namespace zyxlator {
namespace {

namespace platform = zyostrel::platform;
using zyerr::codes::ResourceNotFound;

constexpr const char* kLanguageNames[kLanguageCount] = {"English",  "French", "German",
                                                        "Japanese", "Korean", "ChineseS"};
// Longest directory path opened.
constexpr std::size_t kMaxPathLength = 4095;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool isDescriptionFileName(const char* name) {
    const char* dot = std::strrchr(name, '.');
    // The comparison is exact: "a.TXT" or "a.txt.bak" are not description files.
    return dot != nullptr && (std::strcmp(dot + 1, "txt") == 0 || std::strcmp(dot + 1, "err") == 0);
}

void recordDirectoryFailure(zyerr::Status& status, int error, const char* member,
                            const char* message, const std::string& path) {
    zyerr::ElaborationCursor cursor =
        platform::recordFailure(status, ResourceNotFound, ZYERR_LOCATION(ResourceNotFound));
    cursor = platform::addErrnoError(cursor, error);
    cursor.beginObject(kDebugKey).addString(member, message).addString("path", path.c_str()).end();
}

std::string searchDirectory(const char* directory, int32_t code, zyerr::Status& status) {
    const std::string dirPath = directory != nullptr ? directory : "";
    errno = 0;
    std::unique_ptr<DIR, DirCloser> dir(dirPath.size() <= kMaxPathLength ? opendir(dirPath.c_str())
                                                                         : nullptr);
    if (!dir) {
        recordDirectoryFailure(status, dirPath.size() > kMaxPathLength ? ENAMETOOLONG : errno,
                               "debug", "open dir failed", dirPath);
        return {};
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string path = dirPath + "/" + entry->d_name;
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            recordDirectoryFailure(status, errno, "zyxlator", "get file info failed", path);
            return {};
        }
        if (!S_ISREG(info.st_mode) || !isDescriptionFileName(entry->d_name)) continue;
        std::string description = parseErrorFile(path.c_str(), code, status);
        if (status.isError()) return {};
        if (!description.empty()) return description;
    }
    return {};
}

}  // namespace

const char* languageDirectoryName(uint32_t language) noexcept {
    return language < kLanguageCount ? kLanguageNames[language] : nullptr;
}

std::string findErrorDescriptionFromDir(const char* directory, int32_t code,
                                        zyerr::Status& status) {
    if (status.isError()) return {};
    try {
        return searchDirectory(directory, code, status);
    } catch (const std::bad_alloc&) {
        platform::recordFailure(status, zyerr::codes::MemoryFull,
                                ZYERR_LOCATION(zyerr::codes::MemoryFull))
            .beginObject(kDebugKey)
            .addString("zyxlator", "failed to allocate memory")
            .end();
        return {};
    }
}

std::string findErrorDescriptionFromErrorsDir(const char* errorsDir, int32_t code,
                                              uint32_t language, zyerr::Status& status) {
    if (status.isError()) return {};
    const char* languageName = languageDirectoryName(language);
    if (languageName == nullptr) {
        platform::recordFailure(status, zyerr::codes::InvalidParameter,
                                ZYERR_LOCATION(zyerr::codes::InvalidParameter))
            .beginObject(kDebugKey)
            .addString("wberrorsparser", "invalid language")
            .addUInt("lang", language)
            .end();
        return {};
    }
    const std::string base = errorsDir != nullptr ? errorsDir : "";
    std::string description =
        findErrorDescriptionFromDir((base + "/" + languageName).c_str(), code, status);
    // Files directly in the errors directory serve every language.
    if (description.empty() && !status.isError()) {
        description = findErrorDescriptionFromDir(base.c_str(), code, status);
    }
    return description;
}

}  // namespace zyxlator
