// Buffers of tens of MiB that are filled once, front to back: firmware bundles and images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zyostrel::platform {

// Below this a buffer gains too little from huge pages to be worth a system call.
constexpr std::size_t kLargeBufferBytes = std::size_t{8} << 20;

constexpr uintptr_t kHugePageBytes = uintptr_t{2} << 20;

// The whole huge pages inside [begin, begin + size): empty (first == last) for a buffer
// below kLargeBufferBytes or one that holds no whole huge page.
struct HugePageSpan {
    uintptr_t first = 0;
    uintptr_t last = 0;
};
HugePageSpan hugePageSpan(uintptr_t begin, std::size_t size) noexcept;

// Asks the kernel to back the whole huge pages inside [buffer, buffer + size) with huge
// pages. Filling a fresh buffer otherwise takes one page fault per 4 KiB, which costs more
// than the copy that fills it. Only advice: buffers below kLargeBufferBytes are left alone,
// and nothing changes where huge pages are unavailable.
void adviseHugePages(void* buffer, std::size_t size) noexcept;

// reserve, then the advice for the reserved storage.
template <class T>
void reserveLarge(std::vector<T>& buffer, std::size_t count) {
    buffer.reserve(count);
    adviseHugePages(buffer.data(), buffer.capacity() * sizeof(T));
}

}  // namespace zyostrel::platform
