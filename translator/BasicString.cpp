#include "translator/BasicString.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace zyhtl {

void recordOutOfMemory(zyerr::Status& status, const zyerr::SourceLocation& location) noexcept {
    try {
        zyerr::setCode(status, zyerr::codes::MemoryFull, location);
    } catch (...) {
        // Without memory for the location's members the code alone still tells the caller.
        zyerr::setCode(status, zyerr::codes::MemoryFull);
    }
}

BasicString::BasicString(BasicString&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

BasicString& BasicString::operator=(BasicString&& other) noexcept {
    if (this != &other) {
        delete[] data_;
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

BasicString::~BasicString() { delete[] data_; }

std::size_t BasicString::grownBufferSize(std::size_t size, std::size_t currentBuffer) noexcept {
    const std::size_t grown = currentBuffer + currentBuffer / 2;
    return std::max({size, std::size_t{127}, grown}) + 1;
}

bool BasicString::reserve(std::size_t size, zyerr::Status& status) noexcept {
    if (status.isError()) return false;
    if (size < capacity_) return true;
    char* grown = nullptr;
    if (size < std::numeric_limits<std::size_t>::max() / 2) {
        const std::size_t bytes = grownBufferSize(size, capacity());
        grown = new (std::nothrow) char[bytes];
        if (grown != nullptr) {
            if (size_ != 0) std::memcpy(grown, data_, size_);
            grown[size_] = '\0';
            delete[] data_;
            data_ = grown;
            capacity_ = bytes;
            return true;
        }
    }
    recordOutOfMemory(status, ZYERR_LOCATION(zyerr::codes::MemoryFull));
    return false;
}

bool BasicString::assign(std::string_view text, zyerr::Status& status) noexcept {
    if (!reserve(text.size(), status)) return false;
    // text may lie inside this string: move it rather than copy.
    if (!text.empty()) std::memmove(data_, text.data(), text.size());
    size_ = text.size();
    data_[size_] = '\0';
    return true;
}

bool BasicString::append(std::string_view text, zyerr::Status& status) noexcept {
    return insert(size_, text, status);
}

bool BasicString::insert(std::size_t pos, std::string_view text, zyerr::Status& status) noexcept {
    if (status.isError()) return false;
    pos = std::min(pos, size_);
    if (text.size() > std::numeric_limits<std::size_t>::max() / 2 - size_) {
        recordOutOfMemory(status, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        return false;
    }
    // text may point into this buffer, which reserve can free: keep its offset instead.
    const bool inside = data_ != nullptr && text.data() >= data_ && text.data() < data_ + size_;
    const std::size_t insideOffset = inside ? static_cast<std::size_t>(text.data() - data_) : 0;
    if (!reserve(size_ + text.size(), status)) return false;
    if (text.empty()) return true;
    std::memmove(data_ + pos + text.size(), data_ + pos, size_ - pos + 1);
    if (inside) {
        // After the shift, source bytes at or past pos moved by text.size().
        const char* source = data_ + insideOffset;
        if (insideOffset >= pos) source += text.size();
        if (insideOffset < pos && insideOffset + text.size() > pos) {
            // The source straddles pos: copy the two parts separately.
            const std::size_t head = pos - insideOffset;
            std::memmove(data_ + pos, data_ + insideOffset, head);
            std::memmove(data_ + pos + head, data_ + pos + text.size(), text.size() - head);
        } else {
            std::memmove(data_ + pos, source, text.size());
        }
    } else {
        std::memcpy(data_ + pos, text.data(), text.size());
    }
    size_ += text.size();
    return true;
}

void BasicString::erase(std::size_t pos, std::size_t count) noexcept {
    if (pos >= size_) return;
    count = std::min(count, size_ - pos);
    std::memmove(data_ + pos, data_ + pos + count, size_ - pos - count + 1);
    size_ -= count;
}

}  // namespace zyhtl
