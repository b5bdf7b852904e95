// An open file descriptor that is closed when it goes out of scope. Header-only, so that the
// emulated runtime's bitfile reader shares it without linking the platform library.
#pragma once

#include <unistd.h>

namespace zyostrel::platform {

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

}  // namespace zyostrel::platform
