// Reading the bitfile a session is opened on. The path comes from the caller and may name
// anything: a directory or a device has no document to read, and a named pipe without a
// writer would block the open forever, so the kind of file is checked on a descriptor opened
// without waiting, before anything is read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "bitfile/SessionBitfile.h"
#include "platform/FileDescriptor.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

using zyostrel::platform::Descriptor;

constexpr std::size_t kMaxBitfileSize = ZYEMU_MAX_BITFILE_SIZE;

// Why the path could not be opened: a path that exists but is no regular file (a socket
// cannot be opened at all) is refused as such, anything else is unreadable.
int32_t openFailure(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return ZYEMU_STATUS_BITFILE_NOT_A_FILE;
    }
    return ZYEMU_STATUS_BITFILE_UNREADABLE;
}

// Reads to the end of the file, but never more than one byte past the maximum: the size
// given by fstat is only where the buffer starts, since the file may grow while it is read.
int32_t readBounded(int descriptor, std::size_t sizeHint, std::string& text) {
    text.assign(std::min(sizeHint, kMaxBitfileSize) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == text.size()) {
            if (done > kMaxBitfileSize) return ZYEMU_STATUS_BITFILE_TOO_LARGE;
            text.resize(std::min(text.size() * 2, kMaxBitfileSize + 1));
        }
        const ssize_t got = ::read(descriptor, &text[done], text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ZYEMU_STATUS_BITFILE_UNREADABLE;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    return 0;
}

}  // namespace

int32_t readBitfileFile(const std::string& path, std::string& text) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return openFailure(path);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return ZYEMU_STATUS_BITFILE_UNREADABLE;
    if (!S_ISREG(info.st_mode)) return ZYEMU_STATUS_BITFILE_NOT_A_FILE;
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > kMaxBitfileSize) {
        return ZYEMU_STATUS_BITFILE_TOO_LARGE;
    }
    return readBounded(file.get(), static_cast<std::size_t>(info.st_size), text);
}

}  // namespace zyemu
