// The graphical host runtime's memory manager, reached through weak references.
//
// The host process provides these functions when the library runs inside it; anywhere else
// they are absent (null), and the operations that need them report that instead of calling.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
// A host handle: a pointer to a pointer to a block that starts with i32 length words.
typedef uint8_t** ZyHostHandle;

__attribute__((weak)) ZyHostHandle DSNewHandle(size_t size);
__attribute__((weak)) int32_t DSGetHandleSize(ZyHostHandle handle);
__attribute__((weak)) int32_t DSSetHandleSize(ZyHostHandle handle, size_t size);
__attribute__((weak)) int32_t NumericArrayResize(int32_t typeCode, int32_t dimensions,
                                                 ZyHostHandle* handle, size_t count);
}

namespace zyostrel::host {

// Element type codes of NumericArrayResize.
enum class NumericType : int32_t { U8 = 1, I16 = 2, F64 = 10 };

// Whether the host provides every memory-manager function.
bool memoryManagerPresent() noexcept;

// The handle's allocated size in bytes; 0 for an empty handle (no block).
int64_t allocatedSize(ZyHostHandle handle);

// The sizing policy of host handles: resize when the new measure is below half the old one,
// or above the old one and above what the handle holds (measures are the host's own
// estimate of a block's size). Beyond the policy, a handle that holds fewer bytes than the
// read needs (its length words claim more than its block holds) is always resized, so it is
// never written past its end.
constexpr bool needsResize(int64_t newMeasure, int64_t oldMeasure, int64_t allocated,
                           int64_t required) noexcept {
    return newMeasure < oldMeasure / 2 || (newMeasure > oldMeasure && newMeasure > allocated) ||
           required > allocated;
}

}  // namespace zyostrel::host
