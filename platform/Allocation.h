// Allocation that reports failure as a status instead of throwing.
#pragma once

#include <cstddef>
#include <memory>

#include "status/StatusRecord.h"

namespace zyostrel::platform {

// size bytes (zeroed), or null: when record already holds an error, or when memory runs out
// (-52000 is then set in record). Free with freeArray.
void* allocateArray(std::size_t size, zyerr::StatusRecord& record) noexcept;
void freeArray(void* memory) noexcept;

struct ArrayDeleter {
    void operator()(void* memory) const { freeArray(memory); }
};
template <class T>
using ArrayPtr = std::unique_ptr<T[], ArrayDeleter>;

}  // namespace zyostrel::platform
