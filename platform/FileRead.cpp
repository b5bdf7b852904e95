#include "platform/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>

#include "platform/Diagnostics.h"
#include "platform/FileDescriptor.h"

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

enum class ReadOutcome { Complete, Failed, TooLarge };

// Reads to the end of the file, but never more than one byte past maxSize: the size fstat
// gives only sizes the first buffer, since the file may grow while it is read. On Complete
// buffer holds the bytes and a NUL; on Failed errno tells why.
ReadOutcome readBounded(int descriptor, std::size_t sizeHint, std::size_t maxSize,
                        std::vector<char>& buffer) {
    buffer.assign(std::min(sizeHint, maxSize) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == buffer.size()) {
            if (done > maxSize) return ReadOutcome::TooLarge;
            buffer.resize(std::min(buffer.size() * 2, maxSize + 1));
        }
        const ssize_t got = ::read(descriptor, buffer.data() + done, buffer.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ReadOutcome::Failed;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    buffer.resize(done + 1);
    buffer[done] = '\0';
    return ReadOutcome::Complete;
}

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
    // Without O_NONBLOCK a named pipe would hold the open until some writer came along.
    const Descriptor file(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        const int error = errno;
        struct stat info {};
        // A socket cannot be opened at all; it is refused as the other non-files are.
        if (::stat(path, &info) == 0 && !S_ISREG(info.st_mode)) {
            recordOpenFailure(status, nonRegularError(info.st_mode), path, "not a regular file");
        } else {
            recordOpenFailure(status, error, path);
        }
        return false;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        recordOpenFailure(status, errno, path);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        recordOpenFailure(status, nonRegularError(info.st_mode), path, "not a regular file");
        return false;
    }
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxSize) {
        recordTooLarge(status, path, maxSize);
        return false;
    }
    const auto fileSize = static_cast<std::size_t>(info.st_size);
    ReadOutcome outcome = ReadOutcome::Failed;
    try {
        errno = 0;
        outcome = readBounded(file.get(), fileSize, maxSize, buffer);
    } catch (const std::bad_alloc&) {
        buffer.clear();
        zyerr::setCode(status, zyerr::codes::MemoryFull, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        return false;
    }
    if (outcome == ReadOutcome::Complete) return true;
    const int error = errno;
    buffer.clear();
    if (outcome == ReadOutcome::TooLarge) {
        recordTooLarge(status, path, maxSize);
    } else {
        recordReadFailure(status, error, path, fileSize);
    }
    return false;
}

}  // namespace zyostrel::platform
