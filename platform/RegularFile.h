// Reading a regular file whole, within a bound, without the platform's status machinery.
// Header-only, so that the emulated runtime's bitfile reader shares it without linking the
// platform library; each caller turns the outcome into its own statuses.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace zyostrel::platform {

// An open file descriptor that is closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int descriptor) noexcept : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const noexcept { return descriptor_; }

private:
    int descriptor_;
};

enum class RegularFileOutcome {
    Complete,    // buffer holds the file's bytes
    OpenFailed,  // error tells why
    NotRegular,  // a directory, device, named pipe or socket; mode tells which
    TooLarge,    // larger than the bound, or grew past it while read
    ReadFailed,  // error tells why; fileSize is what fstat gave
};

struct RegularFileRead {
    RegularFileOutcome outcome = RegularFileOutcome::OpenFailed;
    int error = 0;
    mode_t mode = 0;
    std::size_t fileSize = 0;
};

namespace detail {

// Reads to the end of the file, but never more than one byte past maxSize: the size fstat
// gives only sizes the first buffer, since the file may grow while it is read.
template <class Buffer>
RegularFileOutcome readBounded(int descriptor, std::size_t sizeHint, std::size_t maxSize,
                               Buffer& buffer, int& error) {
    buffer.clear();
    buffer.resize(std::min(sizeHint, maxSize) + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == buffer.size()) {
            if (done > maxSize) return RegularFileOutcome::TooLarge;
            buffer.resize(std::min(buffer.size() * 2, maxSize + 1));
        }
        const ssize_t got = ::read(descriptor, &buffer[done], buffer.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            return RegularFileOutcome::ReadFailed;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    buffer.resize(done);
    return RegularFileOutcome::Complete;
}

}  // namespace detail

// Reads the regular file at path into buffer (a std::string or std::vector<char>), at most
// maxSize bytes, which must leave room for one more. The kind of file is checked before it is
// opened, so a named pipe, a device or a socket is refused at once and never opened (opening a
// pipe without a writer blocks; opening a device may act on it). The path may be replaced
// between that look and the open, so the descriptor is opened without waiting and checked
// again before anything is read. An allocation failure of the buffer is thrown to the caller.
template <class Buffer>
RegularFileRead readRegularFile(const char* path, std::size_t maxSize, Buffer& buffer) {
    RegularFileRead read;
    struct stat info {};
    auto isRegular = [&read, &info] {
        read.mode = info.st_mode;
        if (S_ISREG(info.st_mode)) return true;
        read.outcome = RegularFileOutcome::NotRegular;
        return false;
    };
    if (::stat(path, &info) != 0) {
        read.error = errno;
        return read;
    }
    if (!isRegular()) return read;
    const Descriptor file(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        read.error = errno;
        return read;
    }
    if (!isRegular()) return read;
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxSize) {
        read.outcome = RegularFileOutcome::TooLarge;
        return read;
    }
    read.fileSize = static_cast<std::size_t>(info.st_size);
    read.outcome = detail::readBounded(file.get(), read.fileSize, maxSize, buffer, read.error);
    return read;
}

}  // namespace zyostrel::platform
