#include "streams/HostMemory.h"

namespace zyostrel::host {

bool memoryManagerPresent() noexcept {
    return &DSNewHandle != nullptr && &DSGetHandleSize != nullptr && &DSSetHandleSize != nullptr &&
           &NumericArrayResize != nullptr;
}

int64_t allocatedSize(ZyHostHandle handle) {
    if (handle == nullptr || *handle == nullptr) return 0;
    return DSGetHandleSize(handle);
}

}  // namespace zyostrel::host
