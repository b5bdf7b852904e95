#include "status/Status.h"

#include <cstdlib>
#include <cstring>
#include <exception>

#include "status/ElaborationWriter.h"
#include "status/Exception.h"

namespace zyerr {
namespace {

constexpr std::size_t kFirstCapacity = 512;
constexpr std::size_t kLargestBuffer = 0x7FFFFFFF;
// A buffer must hold at least "{}", its NUL and the final 'J'.
constexpr std::size_t kSmallestText = 2;

std::size_t nextPowerOfTwo(std::size_t size) noexcept {
    std::size_t capacity = kFirstCapacity;
    while (capacity < size) capacity *= 2;
    return capacity;
}

// Length of the text in a buffer that keeps the invariant, never reading past capacity - 1.
std::size_t textLength(const Status& status) noexcept {
    if (status.elaboration == nullptr || status.capacity == 0) return 0;
    return strnlen(status.elaboration, status.capacity - 1);
}

// Writes text into the buffer (which has room for it) and restores the zero tail and 'J'.
void storeText(Status& status, const char* text, std::size_t length) noexcept {
    std::memset(status.elaboration, 0, status.capacity - 1);
    std::memcpy(status.elaboration, text, length);
    status.elaboration[status.capacity - 1] = 'J';
}

// "{}" in the buffer; a buffer too small for it (a foreign reallocation function's) is freed.
void resetText(Status& status) noexcept {
    if (status.elaboration == nullptr) return;
    if (status.capacity < kSmallestText + 2) {
        releaseElaboration(status);
        return;
    }
    storeText(status, "{}", 2);
}

}  // namespace

bool defaultReallocate(Status& status, std::size_t size) noexcept {
    if (size == 0) {
        std::free(status.elaboration);
        status.elaboration = nullptr;
        status.capacity = 0;
        return true;
    }
    if (size <= status.capacity) return true;
    if (size > kLargestBuffer) return false;
    const std::size_t capacity = nextPowerOfTwo(size);
    auto* buffer = static_cast<char*>(std::calloc(capacity, 1));
    if (buffer == nullptr) return false;
    const char* text = status.elaboration != nullptr ? status.elaboration : "{}";
    const std::size_t length = status.elaboration != nullptr ? textLength(status) : 2;
    std::memcpy(buffer, text, length);
    buffer[capacity - 1] = 'J';
    std::free(status.elaboration);
    status.elaboration = buffer;
    status.capacity = static_cast<uint32_t>(capacity);
    return true;
}

Status::Status(Status&& other) noexcept
    : code(other.code),
      capacity(other.capacity),
      reallocate(other.reallocate),
      elaboration(other.elaboration) {
    other.capacity = 0;
    other.elaboration = nullptr;
}

Status& Status::operator=(Status&& other) noexcept {
    if (this != &other) {
        releaseElaboration(*this);
        code = other.code;
        capacity = other.capacity;
        reallocate = other.reallocate;
        elaboration = other.elaboration;
        other.capacity = 0;
        other.elaboration = nullptr;
    }
    return *this;
}

Status::~Status() noexcept { releaseElaboration(*this); }

const char* elaborationText(const Status& status) noexcept {
    return status.elaboration != nullptr ? status.elaboration : "{}";
}

void releaseElaboration(Status& status) noexcept {
    if (status.elaboration == nullptr) return;
    if (status.reallocate == nullptr) status.reallocate = &defaultReallocate;
    status.reallocate(status, 0);
}

bool ensureCapacity(Status& status, std::size_t n) noexcept {
    if (n > kLargestBuffer - 2) return false;
    if (status.reallocate == nullptr) status.reallocate = &defaultReallocate;
    if (!status.reallocate(status, n + 2)) return false;
    return status.elaboration != nullptr && status.capacity >= n + 2;
}

bool setCode(Status& status, int32_t code) noexcept {
    if (!mergeReplaces(status.code, code)) return false;
    status.code = code;
    resetText(status);
    return true;
}

bool setCode(Status& status, int32_t code, const SourceLocation& location) {
    if (!setCode(status, code)) return false;
    ElaborationCursor cursor = rootCursor(status);
    if (location.errorConstant != nullptr && location.errorConstant[0] != '\0') {
        cursor = cursor.addString("error_constant", location.errorConstant);
    }
    if (location.file != nullptr) cursor = cursor.addString("file", location.file);
    cursor = cursor.addUInt("line", location.line);
    if (location.component != nullptr && location.component[0] != '\0') {
        cursor.addString("component", location.component);
    }
    return true;
}

bool setElaboration(Status& status, const char* text) noexcept {
    if (text == nullptr) text = "{}";
    const std::size_t length = std::strlen(text);
    if (length < kSmallestText && !ensureCapacity(status, kSmallestText)) return false;
    if (!ensureCapacity(status, length)) return false;
    // The text may live in this very buffer: move it to the front before clearing the rest.
    std::memmove(status.elaboration, text, length);
    std::memset(status.elaboration + length, 0, status.capacity - 1 - length);
    status.elaboration[status.capacity - 1] = 'J';
    return true;
}

bool mergeFrom(Status& status, const Status& other, bool* copyFailed) noexcept {
    if (&status == &other || !mergeReplaces(status.code, other.code)) return false;
    status.code = other.code;
    if (other.elaboration != nullptr) {
        if (!setElaboration(status, other.elaboration)) {
            resetText(status);
            if (copyFailed != nullptr) *copyFailed = true;
        }
    } else {
        resetText(status);
    }
    return true;
}

bool moveFrom(Status& status, Status& other, bool* copyFailed) noexcept {
    if (&status == &other || status.reallocate != other.reallocate ||
        other.elaboration == nullptr) {
        return mergeFrom(status, other, copyFailed);
    }
    if (!mergeReplaces(status.code, other.code)) return false;
    releaseElaboration(status);
    status.code = other.code;
    status.elaboration = other.elaboration;
    status.capacity = other.capacity;
    other.elaboration = nullptr;
    other.capacity = 0;
    return true;
}

bool copyFrom(Status& status, const Status& other) noexcept {
    if (&status == &other) return true;
    status.code = other.code;
    if (other.elaboration == nullptr) {
        releaseElaboration(status);
        return true;
    }
    if (setElaboration(status, other.elaboration)) return true;
    // The old text explains the old code: keep none rather than a wrong one.
    resetText(status);
    return false;
}

void throwIfFailed(Status& status) {
    if (status.code < 0 && std::uncaught_exceptions() == 0) {
        Status carried;
        moveFrom(carried, status);
        releaseElaboration(status);
        throw Exception(std::move(carried));
    }
    releaseElaboration(status);
}

void throwStatus(int32_t code) { throw Exception(code); }

void throwStatus(int32_t code, const SourceLocation& location) {
    Status status;
    setCode(status, code, location);
    throw Exception(std::move(status));
}

void throwStatus(Status&& status) { throw Exception(std::move(status)); }

}  // namespace zyerr
