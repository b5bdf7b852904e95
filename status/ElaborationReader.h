// Reader of the elaboration JSON text, scanning it in place without building a tree.
//
// The text may come from the device and be truncated, unbalanced or hostile: every
// operation stays inside the bytes it was given (up to the first NUL or the size, whichever
// comes first) and answers "not found" (npos) or the caller's default instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zyerr {

// Value types as reported in diagnostics ("jsonz_type").
enum class JsonType : int32_t {
    None = 0,
    Null = 1,
    Boolean = 2,
    Number = 3,
    String = 4,
    Array = 5,
    Object = 6,
};

class JsonText {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The text of at most size bytes at data, ending early at a NUL.
    JsonText(const char* data, std::size_t size) noexcept;
    // A NUL-terminated text (null reads as empty).
    explicit JsonText(const char* text) noexcept;

    std::string_view view() const { return {data_, size_}; }
    std::size_t size() const { return size_; }

    // Position of the first value of the text (white space skipped), or npos.
    std::size_t root() const noexcept;
    JsonType typeAt(std::size_t pos) const noexcept;

    // Value of the first member named key of the object at objectPos, or npos.
    std::size_t findKey(std::size_t objectPos, std::string_view key) const noexcept;
    // Position of the closing bracket of the object or array at pos, or npos.
    std::size_t endOf(std::size_t pos) const noexcept;
    // Position just past the value at pos, or npos when the value is malformed or cut.
    std::size_t skipValue(std::size_t pos) const noexcept;

    // First element of the array at arrayPos, the next element after elementPos; npos at
    // the end or on malformed text.
    std::size_t firstElement(std::size_t arrayPos) const noexcept;
    std::size_t nextElement(std::size_t elementPos) const noexcept;
    // Members of the object at objectPos: the position of each key's opening quote.
    std::size_t firstMember(std::size_t objectPos) const noexcept;
    std::size_t nextMember(std::size_t keyPos) const noexcept;
    // The value of the member whose key starts at keyPos, or npos.
    std::size_t memberValue(std::size_t keyPos) const noexcept;

    // The string at pos as it stands in the text (escapes left in place); defaultText when
    // pos is not a complete string.
    std::string_view stringAt(std::size_t pos, std::string_view defaultText) const noexcept;
    // The number at pos as an integer (fraction truncated, clamped to the 32-bit range);
    // defaultValue when pos is not a number.
    int32_t integerAt(std::size_t pos, int32_t defaultValue) const noexcept;
    // True when pos is a string exactly equal to text (compared as it stands).
    bool stringEquals(std::size_t pos, std::string_view text) const noexcept;

    // The string at pos with escapes resolved into UTF-8 (surrogate pairs combined, a lone
    // surrogate becomes U+FFFD). False when pos is not a complete string.
    bool decodeStringAt(std::size_t pos, std::string& out) const;
    // As decodeStringAt into buffer (size bytes, always NUL-terminated when size > 0, cut on
    // a character boundary). Returns false when pos is not a string or the text was cut.
    bool copyStringAt(std::size_t pos, char* buffer, std::size_t size) const;

private:
    std::size_t skipBlank(std::size_t pos) const noexcept;
    std::size_t skipString(std::size_t pos) const noexcept;
    std::size_t skipNumber(std::size_t pos) const noexcept;
    std::size_t skipLiteral(std::size_t pos, std::string_view literal) const noexcept;
    char at(std::size_t pos) const { return pos < size_ ? data_[pos] : '\0'; }

    const char* data_;
    std::size_t size_;
};

}  // namespace zyerr
