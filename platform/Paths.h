// Standard installation paths: path variables, the maker's shared directory and the
// standard directory table with its optional relocation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "status/Status.h"

namespace zyostrel::platform {

// File naming the shared directory.
inline constexpr const char* kShareDirFile = "/etc/zyvend/share/share.dir";
// Shared directory when that file cannot be read.
inline constexpr const char* kDefaultSharedDir = "/usr/local/zyvend/share";
inline constexpr const char* kCommonAppDataDir = "/var/local/zyvend";
inline constexpr const char* kDefaultTempDir = "/tmp";
// Optional library that relocates the standard directories.
inline constexpr const char* kRelocationLibrary = "libzyrelocations.so.0";
inline constexpr const char* kRelocationSymbol = "get_relocated_dir";
// Size of the buffer handed to the relocation function.
inline constexpr std::size_t kRelocatedDirSize = 255;

// Signature of the relocation library's function: writes the directory of name into buffer
// and returns its length, 0 when it gives none, or a negative value on error.
using RelocatedDirFunction = int (*)(const char* name, char* buffer, std::size_t size);

// Value of a path variable ("_zySharedDir", "_tempDir", ...); unknown names give "".
std::string lookupPathVariable(const char* name, zyerr::Status& status);

// The shared directory from the share.dir file, trimmed; the default when it cannot be read
// (not reported).
std::string getSharedDir(zyerr::Status& status);

// The shared directory file's content as a path: leading white space removed, trailing
// white space, NUL bytes and slashes removed.
std::string trimSharedDirText(const std::string& content);

// Points getSharedDir at another file (null restores the real one). For tests.
void setShareDirFileForTesting(const char* path);

struct StandardDirEntry {
    std::string name;
    std::string value;
    int32_t status;
};

struct StandardDirTable {
    std::vector<StandardDirEntry> entries;
    const StandardDirEntry* find(const std::string& name) const;
};

// The standard directories with their defaults, in table order.
const std::vector<StandardDirEntry>& defaultStandardDirs();

// Builds a table: the defaults, or when relocationLibrary loads and resolves the relocation
// function, only the names it answers. A name it fails records -52006 in outcome.
StandardDirTable buildStandardDirTable(const char* relocationLibrary, zyerr::Status& outcome);

// A standard directory of the process-wide table (built once, with kRelocationLibrary). The
// table's outcome is merged into status; an unknown name records -52008.
std::string getStandardDir(const char* name, zyerr::Status& status);

}  // namespace zyostrel::platform
