// The translator framework's string: its operations report running out of memory as -52000
// in the caller's status instead of throwing, so a translation can fail cleanly and fall
// back to a simpler description.
#pragma once

#include <cstddef>
#include <string_view>

#include "status/Status.h"

namespace zyhtl {

class BasicString {
public:
    BasicString() noexcept = default;
    BasicString(BasicString&& other) noexcept;
    BasicString& operator=(BasicString&& other) noexcept;
    BasicString(const BasicString&) = delete;
    BasicString& operator=(const BasicString&) = delete;
    ~BasicString();

    // The text, NUL-terminated; "" before anything was stored. Never null.
    const char* c_str() const noexcept { return data_ != nullptr ? data_ : ""; }
    std::string_view view() const noexcept { return {c_str(), size_}; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    // Characters the buffer holds without growing (the NUL not counted).
    std::size_t capacity() const noexcept { return capacity_ == 0 ? 0 : capacity_ - 1; }

    // Each operation does nothing when status already holds an error, and returns false
    // then or when memory runs out (-52000 recorded, the text unchanged).
    bool reserve(std::size_t size, zyerr::Status& status) noexcept;
    bool assign(std::string_view text, zyerr::Status& status) noexcept;
    bool append(std::string_view text, zyerr::Status& status) noexcept;
    bool insert(std::size_t pos, std::string_view text, zyerr::Status& status) noexcept;

    // Removes up to count characters from pos (clamped to the text).
    void erase(std::size_t pos, std::size_t count) noexcept;
    void clear() noexcept { erase(0, size_); }

    // The buffer size reserve chooses for size characters with the current buffer: the
    // larger of size, 127 and 1.5 times the current room, plus one byte for the NUL.
    static std::size_t grownBufferSize(std::size_t size, std::size_t currentBuffer) noexcept;

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;  // bytes of data_, NUL included
};

// Records -52000 in status (merge rule) at the caller's location.
void recordOutOfMemory(zyerr::Status& status, const zyerr::SourceLocation& location) noexcept;

}  // namespace zyhtl
