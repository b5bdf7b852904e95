#include "platform/Allocation.h"

#include <cstdlib>

#include "status/StatusCodes.h"

namespace zyostrel::platform {

void* allocateArray(std::size_t size, zyerr::StatusRecord& record) noexcept {
    if (record.code < 0) return nullptr;
    void* memory = std::calloc(size != 0 ? size : 1, 1);
    if (memory == nullptr) {
        zyerr::setStatusRecord(record, zyerr::codes::MemoryFull, zyerr::kComponent,
                               "zyapal/protons/cppNewDelete/memoryAllocation", __LINE__);
    }
    return memory;
}

void freeArray(void* memory) noexcept { std::free(memory); }

}  // namespace zyostrel::platform
