#include "platform/LargeBuffer.h"

#include <sys/mman.h>

namespace zyostrel::platform {

HugePageSpan hugePageSpan(uintptr_t begin, std::size_t size) noexcept {
    if (size < kLargeBufferBytes || begin > UINTPTR_MAX - size) return {};
    const uintptr_t end = begin + size;
    const uintptr_t mask = ~(kHugePageBytes - 1);
    const uintptr_t first = (begin + kHugePageBytes - 1) & mask;
    const uintptr_t last = end & mask;
    if (last <= first) return {};
    return {first, last};
}

void adviseHugePages(void* buffer, std::size_t size) noexcept {
    if (buffer == nullptr) return;
    const HugePageSpan span = hugePageSpan(reinterpret_cast<uintptr_t>(buffer), size);
    if (span.first == span.last) return;
    // The result is deliberately unused: a kernel without huge pages refuses the advice, and
    // the buffer then fills through ordinary pages as before.
    (void)madvise(reinterpret_cast<void*>(span.first), span.last - span.first, MADV_HUGEPAGE);
}

}  // namespace zyostrel::platform
