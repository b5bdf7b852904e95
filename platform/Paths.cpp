#include "platform/Paths.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/Allocation.h"
#include "platform/Diagnostics.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileRead.h"

namespace zyostrel::platform {
namespace {

std::mutex& shareDirFileMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& shareDirFileOverride() {
    static std::string path;
    return path;
}

std::string shareDirFile() {
    std::lock_guard<std::mutex> lock(shareDirFileMutex());
    const std::string& path = shareDirFileOverride();
    return path.empty() ? std::string(kShareDirFile) : path;
}

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string tempDir(zyerr::Status&) {
    const char* value = std::getenv("TMPDIR");
    return value != nullptr ? std::string(value) : std::string(kDefaultTempDir);
}

std::string multiarchLibDir(zyerr::Status& status) {
    return getStandardDir("multiarchlibdir", status);
}

std::string commonAppDataDir(zyerr::Status&) { return kCommonAppDataDir; }

struct PathVariable {
    const char* name;
    std::string (*resolve)(zyerr::Status& status);
};

const PathVariable kPathVariables[] = {
    {"_zyShared32Dir", &getSharedDir},
    {"_multiarchlibdir", &multiarchLibDir},
    {"_zySharedDir", &getSharedDir},
    {"_commonAppDataDir", &commonAppDataDir},
    {"_tempDir", &tempDir},
};

void recordRelocationFailure(zyerr::Status& outcome, const char* name, int result) {
    zyerr::ElaborationCursor cursor = recordFailure(outcome, zyerr::codes::ResourceNotFound,
                                                    ZYERR_LOCATION(zyerr::codes::ResourceNotFound));
    cursor.beginObject("zysysq_debug")
        .addString("desc", "relocation library failed for a standard directory")
        .addString("name", name)
        .addInt("result", result);
}

void setEntry(StandardDirTable& table, const std::string& name, std::string value, int32_t status) {
    for (StandardDirEntry& entry : table.entries) {
        if (entry.name == name) {
            entry.value = std::move(value);
            entry.status = status;
            return;
        }
    }
    table.entries.push_back({name, std::move(value), status});
}

void relocate(StandardDirTable& table, RelocatedDirFunction relocatedDir, zyerr::Status& outcome) {
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ArrayPtr<char> buffer(static_cast<char*>(allocateArray(kRelocatedDirSize, record)));
    if (buffer == nullptr) {
        zyerr::setCode(outcome, zyerr::codes::MemoryFull, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        return;
    }
    table.entries.clear();
    for (const StandardDirEntry& standard : defaultStandardDirs()) {
        std::memset(buffer.get(), 0, kRelocatedDirSize);
        const int result = relocatedDir(standard.name.c_str(), buffer.get(), kRelocatedDirSize);
        if (result >= 1) {
            // The library's text is taken only up to the buffer's end, terminated or not.
            setEntry(table, standard.name,
                     std::string(buffer.get(), strnlen(buffer.get(), kRelocatedDirSize)), 0);
        } else if (result < 0) {
            recordRelocationFailure(outcome, standard.name.c_str(), result);
            setEntry(table, standard.name, std::string(), zyerr::codes::ResourceNotFound);
        }
    }
}

struct ProcessStandardDirs {
    StandardDirTable table;
    zyerr::Status outcome;
};

const ProcessStandardDirs& processStandardDirs() {
    static const ProcessStandardDirs dirs = [] {
        ProcessStandardDirs built;
        built.table = buildStandardDirTable(kRelocationLibrary, built.outcome);
        return built;
    }();
    return dirs;
}

}  // namespace

std::string trimSharedDirText(const std::string& content) {
    std::size_t begin = 0;
    while (begin < content.size() && isSpace(content[begin])) ++begin;
    std::size_t end = content.size();
    while (end > begin &&
           (isSpace(content[end - 1]) || content[end - 1] == '\0' || content[end - 1] == '/')) {
        --end;
    }
    return content.substr(begin, end - begin);
}

void setShareDirFileForTesting(const char* path) {
    std::lock_guard<std::mutex> lock(shareDirFileMutex());
    shareDirFileOverride() = path != nullptr ? path : "";
}

std::string getSharedDir(zyerr::Status& status) {
    if (status.isError()) return {};
    // Reading the file may fail; that only means the default, so it stays out of status.
    zyerr::Status local;
    std::vector<char> content;
    if (!readWholeFile(shareDirFile().c_str(), content, local)) return kDefaultSharedDir;
    return trimSharedDirText(std::string(content.data(), content.size() - 1));
}

std::string lookupPathVariable(const char* name, zyerr::Status& status) {
    if (status.isError() || name == nullptr) return {};
    for (const PathVariable& variable : kPathVariables) {
        if (std::strcmp(variable.name, name) == 0) return variable.resolve(status);
    }
    return {};
}

const StandardDirEntry* StandardDirTable::find(const std::string& name) const {
    for (const StandardDirEntry& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

const std::vector<StandardDirEntry>& defaultStandardDirs() {
    static const std::vector<StandardDirEntry> defaults{
        {"prefixdir", "/usr", 0},
        {"execprefixdir", "/usr", 0},
        {"bindir", "/usr/bin", 0},
        {"sbindir", "/usr/sbin", 0},
        {"libdir", "/usr/lib", 0},
        {"lib32dir", "/usr/lib", 0},
        {"lib64dir", "/usr/lib64", 0},
        {"nativelibdir", "/usr/lib64", 0},
        {"multiarchlibdir", "/usr/lib/x86_64-linux-gnu", 0},
        {"libexecdir", "/usr/libexec", 0},
        {"sharedstatedir", "/var/lib", 0},
        {"datarootdir", "/usr/share", 0},
        {"datadir", "/usr/share", 0},
        {"sysconfdir", "/etc", 0},
        {"localstatedir", "/var", 0},
        {"runstatedir", "/var/run", 0},
        {"includedir", "/usr/include", 0},
        {"docdir", "/usr/share/doc", 0},
        {"initddir", "/etc/init.d", 0},
    };
    return defaults;
}

StandardDirTable buildStandardDirTable(const char* relocationLibrary, zyerr::Status& outcome) {
    StandardDirTable table{defaultStandardDirs()};
    // A missing relocation library or function only means the defaults: kept out of outcome.
    zyerr::Status local;
    void* library = loadLibrary(relocationLibrary, kLoadNowGlobal, local);
    if (library == nullptr) return table;
    auto relocatedDir =
        reinterpret_cast<RelocatedDirFunction>(getSymbol(library, kRelocationSymbol, local));
    if (relocatedDir != nullptr) relocate(table, relocatedDir, outcome);
    closeLibrary(library);
    return table;
}

std::string getStandardDir(const char* name, zyerr::Status& status) {
    if (status.isError()) return {};
    const ProcessStandardDirs& dirs = processStandardDirs();
    zyerr::mergeFrom(status, dirs.outcome);
    if (status.isError()) return {};
    const StandardDirEntry* entry = name != nullptr ? dirs.table.find(name) : nullptr;
    if (entry == nullptr) {
        recordFailure(status, zyerr::codes::OsFault, ZYERR_LOCATION(zyerr::codes::OsFault))
            .beginObject("zysysq_debug")
            .addString("desc", "unknown standard directory")
            .addString("name", name);
        return {};
    }
    if (entry->status < 0) {
        zyerr::setCode(status, entry->status, ZYERR_LOCATION(zyerr::codes::ResourceNotFound));
        return {};
    }
    return entry->value;
}

}  // namespace zyostrel::platform
