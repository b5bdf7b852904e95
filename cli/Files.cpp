#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Context.h"

namespace ostrel {
namespace {

[[noreturn]] void fileFailure(const char* verb, const std::string& path, const char* reason) {
    throw Failure{0, std::string(verb) + " " + path, reason};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const noexcept { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

std::vector<uint8_t> readFile(const std::string& path, uint64_t maxBytes) {
    // O_NONBLOCK: opening a named pipe must not wait for a writer; it is refused below.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) fileFailure("read", path, std::strerror(errno));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) fileFailure("read", path, std::strerror(errno));
    if (!S_ISREG(status.st_mode)) fileFailure("read", path, "not a regular file");
    if (static_cast<uint64_t>(status.st_size) > maxBytes) {
        fileFailure("read", path, ("larger than " + std::to_string(maxBytes) + " bytes").c_str());
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) fileFailure("read", path, std::strerror(errno));
        if (count == 0) break;  // the file shrank while it was read: keep what is there
        done += static_cast<std::size_t>(count);
    }
    bytes.resize(done);
    return bytes;
}

OutputFile::OutputFile(const std::string& path)
    : path_(path), file_(std::fopen(path.c_str(), "wb")) {
    if (file_ == nullptr) fileFailure("write", path_, std::strerror(errno));
}

OutputFile::~OutputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

void OutputFile::write(const void* bytes, std::size_t size) {
    if (std::fwrite(bytes, 1, size, file_) != size) {
        fileFailure("write", path_, std::strerror(errno));
    }
}

void OutputFile::close() {
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) fileFailure("write", path_, std::strerror(errno));
}

void writeFile(const std::string& path, const void* bytes, std::size_t size) {
    OutputFile file(path);
    file.write(bytes, size);
    file.close();
}

}  // namespace ostrel
