#include "platform/FileRead.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include "platform/Diagnostics.h"

namespace zyostrel::platform {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void recordOpenFailure(zyerr::Status& status, int error, const char* path) {
    zyerr::ElaborationCursor cursor =
        addErrnoError(recordFailure(status, zyerr::codes::ResourceNotFound,
                                    ZYERR_LOCATION(zyerr::codes::ResourceNotFound)),
                      error);
    cursor.beginObject("zysysq_debug")
        .addString("desc", "error opening file")
        .addString("filename", path);
}

void recordShortRead(zyerr::Status& status, int error, const char* path, uint64_t size,
                     uint64_t read) {
    zyerr::ElaborationCursor cursor = addErrnoError(
        recordFailure(status, zyerr::codes::OsFault, ZYERR_LOCATION(zyerr::codes::OsFault)), error);
    cursor.beginObject("zysysq_debug")
        .addString("desc", "didn't read full content of file")
        .addUInt64("fileSize", size)
        .addUInt64("fread_return", read)
        .addString("filename", path);
}

}  // namespace

bool readWholeFile(const char* path, std::vector<char>& buffer, zyerr::Status& status) {
    buffer.clear();
    if (status.isError()) return false;
    if (path == nullptr) {
        recordOpenFailure(status, EINVAL, "");
        return false;
    }
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (file == nullptr) {
        recordOpenFailure(status, errno, path);
        return false;
    }
    // A directory opens but has no content to read: report it as not openable.
    struct stat info {};
    if (fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        recordOpenFailure(status, EISDIR, path);
        return false;
    }
    errno = 0;
    long size = -1;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) size = std::ftell(file.get());
    if (size < 0) {
        recordShortRead(status, errno, path, 0, 0);
        return false;
    }
    std::rewind(file.get());
    const auto fileSize = static_cast<std::size_t>(size);
    try {
        buffer.resize(fileSize + 1);
    } catch (const std::bad_alloc&) {
        zyerr::setCode(status, zyerr::codes::MemoryFull, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        return false;
    }
    errno = 0;
    const std::size_t read = std::fread(buffer.data(), 1, fileSize, file.get());
    if (read != fileSize) {
        const int error = errno;
        buffer.clear();
        recordShortRead(status, error, path, fileSize, read);
        return false;
    }
    buffer[fileSize] = '\0';
    return true;
}

}  // namespace zyostrel::platform
