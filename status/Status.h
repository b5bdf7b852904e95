// The status with elaboration: a code plus a JSON text that explains it.
//
// The elaboration buffer keeps one invariant: the text ends with NUL, every byte after it is
// zero and the last byte of the buffer (capacity - 1) is 'J', which marks the end of the
// space the in-place writer may fill. A status without a buffer reads as "{}".
#pragma once

#include <cstddef>
#include <cstdint>

#include "status/StatusCodes.h"

namespace zyerr {

struct Status;

// Grows, shrinks or (size 0) frees the elaboration buffer of status; false when the size
// cannot be had, the status then being unchanged. It must not throw: the status functions
// below that call it are noexcept (an exception is copied with them).
using ReallocateFunction = bool (*)(Status& status, std::size_t size);

// Size 0 frees; a size within the capacity succeeds unchanged; above 2^31-1 fails; otherwise
// the buffer becomes 512 bytes or the next power of two, the text (or "{}") carried over.
bool defaultReallocate(Status& status, std::size_t size) noexcept;

// The merge rule: true when incoming replaces held (held 0 and incoming not 0, or held a
// warning and incoming an error). An error is never replaced, a first warning is kept.
constexpr bool mergeReplaces(int32_t held, int32_t incoming) noexcept {
    return (held == 0 && incoming != 0) || (held > 0 && incoming < 0);
}

// Owns its buffer: the destructor releases it through the reallocation function. The four
// fields keep the order and meaning of the status shared with other components.
struct Status {
    int32_t code = 0;
    uint32_t capacity = 0;
    ReallocateFunction reallocate = &defaultReallocate;
    char* elaboration = nullptr;

    Status() = default;
    explicit Status(int32_t initialCode) noexcept : code(initialCode) {}
    Status(Status&& other) noexcept;
    Status& operator=(Status&& other) noexcept;
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    ~Status() noexcept;

    bool isError() const noexcept { return code < 0; }
};

// Where a status was raised. Texts are not copied: use literals or static storage.
struct SourceLocation {
    const char* file;
    uint32_t line;
    const char* component;      // null or "" for none
    const char* errorConstant;  // null or "" for none
};

// The location of the current source line for code, with the code's error constant.
#define ZYERR_LOCATION(code)                                            \
    ::zyerr::SourceLocation {                                           \
        __FILE__, static_cast<uint32_t>(__LINE__), ::zyerr::kComponent, \
            ::zyerr::errorConstantOf(code)                              \
    }

// As ZYERR_LOCATION, with an error constant other than the code's own (for a failure that
// needs a finer name than its code gives).
#define ZYERR_LOCATION_NAMED(constant)                                             \
    ::zyerr::SourceLocation {                                                      \
        __FILE__, static_cast<uint32_t>(__LINE__), ::zyerr::kComponent, (constant) \
    }

// Throws zyerr::Exception for code, its elaboration naming the current source line.
#define ZYERR_THROW(code) ::zyerr::throwStatus((code), ZYERR_LOCATION(code))

// As ZYERR_THROW, naming constant as the error constant.
#define ZYERR_THROW_NAMED(code, constant) \
    ::zyerr::throwStatus((code), ZYERR_LOCATION_NAMED(constant))

// The elaboration text, "{}" for a status without a buffer. Never null.
const char* elaborationText(const Status& status) noexcept;

// Frees the buffer (the code stays).
void releaseElaboration(Status& status) noexcept;

// Applies the merge rule; when code replaces the held one and a buffer exists, the text
// becomes "{}". Returns whether the code was replaced.
bool setCode(Status& status, int32_t code) noexcept;

// As setCode, then writes "error_constant", "file", "line" and "component" in this order into
// the fresh "{}" (the error constant, file and component only when the location has them).
// Can throw std::bad_alloc: the elaboration writer builds its members as strings.
bool setCode(Status& status, int32_t code, const SourceLocation& location);

// Replaces the text (null text = "{}"), growing the buffer to strlen + 2 first; false when
// that cannot be had (the text is then unchanged).
bool setElaboration(Status& status, const char* text) noexcept;

// Room for n bytes of text plus the NUL and the 'J'; n above 2^31-3 fails.
bool ensureCapacity(Status& status, std::size_t n) noexcept;

// Merge rule on other's code; when replaced, other's text is copied (copyFailed, when given,
// is set true if that copy could not be made). Returns whether the code was replaced.
bool mergeFrom(Status& status, const Status& other, bool* copyFailed = nullptr) noexcept;

// As mergeFrom, but when both use the same reallocation function the buffer is taken over
// and other is left without one.
bool moveFrom(Status& status, Status& other, bool* copyFailed = nullptr) noexcept;

// Unconditional copy of code and text (the buffer is freed when other has none). False when
// the text could not be copied; the text is then "{}".
bool copyFrom(Status& status, const Status& other) noexcept;

// When the code is an error and no exception is already unwinding, throws zyerr::Exception
// carrying the status. The status' buffer is released in every case.
void throwIfFailed(Status& status);

// Throws zyerr::Exception holding only code.
[[noreturn]] void throwStatus(int32_t code);

// Throws zyerr::Exception holding code with the elaboration of location.
[[noreturn]] void throwStatus(int32_t code, const SourceLocation& location);

// Throws zyerr::Exception carrying status (taken over).
[[noreturn]] void throwStatus(Status&& status);

}  // namespace zyerr
