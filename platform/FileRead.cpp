#include "platform/FileRead.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>

#include "platform/Diagnostics.h"
#include "platform/RegularFile.h"

namespace zyostrel::platform {
namespace {

void recordOpenFailure(zyerr::Status& status, int error, const char* path,
                       const char* description = "error opening file") {
    zyerr::ElaborationCursor cursor =
        addErrnoError(recordFailure(status, zyerr::codes::ResourceNotFound,
                                    ZYERR_LOCATION(zyerr::codes::ResourceNotFound)),
                      error);
    cursor.beginObject("zysysq_debug").addString("desc", description).addString("filename", path);
}

void recordReadFailure(zyerr::Status& status, int error, const char* path, uint64_t size) {
    zyerr::ElaborationCursor cursor = addErrnoError(
        recordFailure(status, zyerr::codes::OsFault, ZYERR_LOCATION(zyerr::codes::OsFault)), error);
    cursor.beginObject("zysysq_debug")
        .addString("desc", "didn't read full content of file")
        .addUInt64("fileSize", size)
        .addString("filename", path);
}

void recordTooLarge(zyerr::Status& status, const char* path, std::size_t maxSize) {
    recordFailure(status, zyerr::codes::MemoryFull, ZYERR_LOCATION(zyerr::codes::MemoryFull))
        .beginObject("zysysq_debug")
        .addString("desc", "file larger than the reader's limit")
        .addUInt64("maxSize", maxSize)
        .addString("filename", path);
}

// The kind of a path that is no regular file, as the system's error for it.
int nonRegularError(mode_t mode) { return S_ISDIR(mode) ? EISDIR : ENODEV; }

}  // namespace

bool readWholeFile(const char* path, std::vector<char>& buffer, zyerr::Status& status,
                   std::size_t maxSize) {
    buffer.clear();
    if (status.isError()) return false;
    // The buffer holds one byte past the limit to see a file grow; no limit may overflow it.
    maxSize = std::min(maxSize, std::numeric_limits<std::size_t>::max() / 2);
    if (path == nullptr) {
        recordOpenFailure(status, EINVAL, "");
        return false;
    }
    RegularFileRead read;
    try {
        read = readRegularFile(path, maxSize, buffer);
        if (read.outcome == RegularFileOutcome::Complete) {
            buffer.push_back('\0');
            return true;
        }
    } catch (const std::bad_alloc&) {
        buffer.clear();
        zyerr::setCode(status, zyerr::codes::MemoryFull, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        return false;
    }
    buffer.clear();
    switch (read.outcome) {
        case RegularFileOutcome::NotRegular:
            recordOpenFailure(status, nonRegularError(read.mode), path, "not a regular file");
            break;
        case RegularFileOutcome::TooLarge:
            recordTooLarge(status, path, maxSize);
            break;
        case RegularFileOutcome::ReadFailed:
            recordReadFailure(status, read.error, path, read.fileSize);
            break;
        default:
            recordOpenFailure(status, read.error, path);
            break;
    }
    return false;
}

}  // namespace zyostrel::platform
