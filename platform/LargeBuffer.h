// Buffers of tens of MiB that are filled once, front to back: firmware bundles and images, and
// the bitfile parser's memory. Header-only, so that the bitfile model, which the emulated
// runtime links without the rest of the platform layer, can use it too.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zyostrel::platform {

// Below this a buffer gains too little from huge pages to be worth a system call.
constexpr std::size_t kLargeBufferBytes = std::size_t{8} << 20;

constexpr uintptr_t kHugePageBytes = uintptr_t{2} << 20;

// The whole huge pages inside [begin, begin + size): empty (first == last) for a buffer
// below minimumBytes or one that holds no whole huge page.
struct HugePageSpan {
    uintptr_t first = 0;
    uintptr_t last = 0;
};
inline HugePageSpan hugePageSpan(uintptr_t begin, std::size_t size,
                                 std::size_t minimumBytes = kLargeBufferBytes) noexcept {
    if (size < minimumBytes || begin > UINTPTR_MAX - size) return {};
    const uintptr_t end = begin + size;
    const uintptr_t mask = ~(kHugePageBytes - 1);
    const uintptr_t first = (begin + kHugePageBytes - 1) & mask;
    const uintptr_t last = end & mask;
    if (last <= first) return {};
    return {first, last};
}

// Asks the kernel to back the whole huge pages inside [buffer, buffer + size) with huge
// pages. Filling a fresh buffer otherwise takes one page fault per 4 KiB, which costs more
// than the copy that fills it. Only advice: buffers below minimumBytes are left alone, and
// nothing changes where huge pages are unavailable.
inline void adviseHugePages(const void* buffer, std::size_t size,
                            std::size_t minimumBytes = kLargeBufferBytes) noexcept {
    if (buffer == nullptr) return;
    const HugePageSpan span = hugePageSpan(reinterpret_cast<uintptr_t>(buffer), size, minimumBytes);
    if (span.first == span.last) return;
    // The result is deliberately unused: a kernel without huge pages refuses the advice, and
    // the buffer then fills through ordinary pages as before.
    (void)::madvise(reinterpret_cast<void*>(span.first), span.last - span.first, MADV_HUGEPAGE);
}

// reserve, then the advice for the reserved storage.
template <class T>
void reserveLarge(std::vector<T>& buffer, std::size_t count) {
    buffer.reserve(count);
    adviseHugePages(buffer.data(), buffer.capacity() * sizeof(T));
}

}  // namespace zyostrel::platform
