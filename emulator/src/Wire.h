// Bounds-checked access to the records the product sends and to the reply buffer.
//
// The emulator reads records field by field at explicit offsets instead of casting them to
// structures: it models the device daemon from the bytes on the wire, so a layout mistake
// on the product's side shows up as a wrong value rather than being mirrored here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace zyemu {

class WireReader {
public:
    WireReader(const void* data, std::size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(data != nullptr ? size : 0) {}

    std::size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    template <class T>
    bool read(std::size_t offset, T& value) const {
        static_assert(std::is_trivially_copyable_v<T>);
        if (!has(offset, sizeof(T))) return false;
        std::memcpy(&value, data_ + offset, sizeof(T));
        return true;
    }

    // A fixed-size text field: the bytes up to the first NUL or the end of the field.
    bool text(std::size_t offset, std::size_t fieldSize, std::string& value) const {
        if (!has(offset, fieldSize)) return false;
        const char* field = reinterpret_cast<const char*>(data_ + offset);
        const void* nul = std::memchr(field, 0, fieldSize);
        value.assign(field, nul != nullptr ? static_cast<const char*>(nul) - field : fieldSize);
        return true;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
};

class ReplyWriter {
public:
    ReplyWriter(void* data, std::size_t capacity)
        : data_(static_cast<uint8_t*>(data)), capacity_(data != nullptr ? capacity : 0) {}

    std::size_t capacity() const { return capacity_; }
    uint8_t* data() const { return data_; }
    bool fits(std::size_t offset, std::size_t length) const {
        return offset <= capacity_ && length <= capacity_ - offset;
    }

    template <class T>
    bool write(std::size_t offset, const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        if (!fits(offset, sizeof(T))) return false;
        std::memcpy(data_ + offset, &value, sizeof(T));
        return true;
    }

    bool bytes(std::size_t offset, const void* source, std::size_t length) {
        if (!fits(offset, length)) return false;
        if (length != 0) std::memcpy(data_ + offset, source, length);
        return true;
    }

    // Writes text with a terminating NUL, cut to the buffer; returns false when cut.
    bool terminatedText(const std::string& text) {
        if (capacity_ == 0) return text.empty();
        std::size_t length = text.size() < capacity_ - 1 ? text.size() : capacity_ - 1;
        std::memcpy(data_, text.data(), length);
        data_[length] = 0;
        return length == text.size();
    }

private:
    uint8_t* data_;
    std::size_t capacity_;
};

}  // namespace zyemu
