#include "status/ElaborationReader.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zyerr {
namespace {

bool isBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

int hexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// True when the C library prints 1.5 as "1,5" in the current locale.
bool localeUsesDecimalComma() noexcept {
    char printed[16];
    std::snprintf(printed, sizeof(printed), "%.1f", 1.5);
    return std::strchr(printed, ',') != nullptr;
}

int32_t clampToInt32(long long value) noexcept {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t truncateToInt32(double value) noexcept {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

JsonText::JsonText(const char* data, std::size_t size) noexcept
    : data_(data != nullptr ? data : ""), size_(data != nullptr ? strnlen(data, size) : 0) {}

JsonText::JsonText(const char* text) noexcept
    : data_(text != nullptr ? text : ""), size_(text != nullptr ? std::strlen(text) : 0) {}

std::size_t JsonText::skipBlank(std::size_t pos) const noexcept {
    while (pos < size_ && isBlank(data_[pos])) ++pos;
    return pos;
}

std::size_t JsonText::root() const noexcept {
    const std::size_t pos = skipBlank(0);
    return pos < size_ ? pos : npos;
}

std::size_t JsonText::skipString(std::size_t pos) const noexcept {
    if (at(pos) != '"' || pos >= size_) return npos;
    for (std::size_t i = pos + 1; i < size_; ++i) {
        if (data_[i] == '\\') {
            ++i;  // the escaped character, whatever it is; a cut escape ends the loop
        } else if (data_[i] == '"') {
            return i + 1;
        }
    }
    return npos;
}

std::size_t JsonText::skipNumber(std::size_t pos) const noexcept {
    std::size_t i = pos;
    if (at(i) == '-') ++i;
    if (i >= size_ || !isDigit(data_[i])) return npos;
    while (i < size_ && isDigit(data_[i])) ++i;
    if (at(i) == '.') {
        ++i;
        if (i >= size_ || !isDigit(data_[i])) return npos;
        while (i < size_ && isDigit(data_[i])) ++i;
    }
    if (at(i) == 'e' || at(i) == 'E') {
        ++i;
        if (at(i) == '+' || at(i) == '-') ++i;
        if (i >= size_ || !isDigit(data_[i])) return npos;
        while (i < size_ && isDigit(data_[i])) ++i;
    }
    return i;
}

std::size_t JsonText::skipLiteral(std::size_t pos, std::string_view literal) const noexcept {
    if (pos > size_ || size_ - pos < literal.size()) return npos;
    if (std::string_view(data_ + pos, literal.size()) != literal) return npos;
    return pos + literal.size();
}

JsonType JsonText::typeAt(std::size_t pos) const noexcept {
    if (pos >= size_) return JsonType::None;
    switch (data_[pos]) {
        case '{':
            return JsonType::Object;
        case '[':
            return JsonType::Array;
        case '"':
            return JsonType::String;
        case 'n':
            return skipLiteral(pos, "null") != npos ? JsonType::Null : JsonType::None;
        case 't':
            return skipLiteral(pos, "true") != npos ? JsonType::Boolean : JsonType::None;
        case 'f':
            return skipLiteral(pos, "false") != npos ? JsonType::Boolean : JsonType::None;
        default:
            return skipNumber(pos) != npos ? JsonType::Number : JsonType::None;
    }
}

std::size_t JsonText::skipValue(std::size_t pos) const noexcept {
    switch (typeAt(pos)) {
        case JsonType::None:
            return npos;
        case JsonType::Null:
            return pos + 4;
        case JsonType::Boolean:
            return data_[pos] == 't' ? pos + 4 : pos + 5;
        case JsonType::Number:
            return skipNumber(pos);
        case JsonType::String:
            return skipString(pos);
        case JsonType::Array:
        case JsonType::Object: {
            const std::size_t end = endOf(pos);
            return end != npos ? end + 1 : npos;
        }
    }
    return npos;
}

std::size_t JsonText::endOf(std::size_t pos) const noexcept {
    const char open = at(pos);
    if (pos >= size_ || (open != '{' && open != '[')) return npos;
    // Counting alone, without recursion, so that deep nesting cannot exhaust the stack.
    std::size_t depth = 0;
    for (std::size_t i = pos; i < size_;) {
        const char c = data_[i];
        if (c == '"') {
            i = skipString(i);
            if (i == npos) return npos;
            continue;
        }
        if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth == 0) return (c == '}') == (open == '{') ? i : npos;
        }
        ++i;
    }
    return npos;
}

std::size_t JsonText::firstMember(std::size_t objectPos) const noexcept {
    if (typeAt(objectPos) != JsonType::Object) return npos;
    const std::size_t pos = skipBlank(objectPos + 1);
    return at(pos) == '"' && pos < size_ ? pos : npos;
}

std::size_t JsonText::memberValue(std::size_t keyPos) const noexcept {
    std::size_t pos = skipString(keyPos);
    if (pos == npos) return npos;
    pos = skipBlank(pos);
    if (at(pos) != ':' || pos >= size_) return npos;
    pos = skipBlank(pos + 1);
    return pos < size_ ? pos : npos;
}

std::size_t JsonText::nextMember(std::size_t keyPos) const noexcept {
    const std::size_t value = memberValue(keyPos);
    if (value == npos) return npos;
    std::size_t pos = skipValue(value);
    if (pos == npos) return npos;
    pos = skipBlank(pos);
    if (at(pos) != ',' || pos >= size_) return npos;
    pos = skipBlank(pos + 1);
    return at(pos) == '"' && pos < size_ ? pos : npos;
}

std::size_t JsonText::findKey(std::size_t objectPos, std::string_view key) const noexcept {
    for (std::size_t member = firstMember(objectPos); member != npos; member = nextMember(member)) {
        const std::size_t keyEnd = skipString(member);
        if (keyEnd == npos) return npos;
        if (std::string_view(data_ + member + 1, keyEnd - member - 2) == key) {
            return memberValue(member);
        }
    }
    return npos;
}

std::size_t JsonText::firstElement(std::size_t arrayPos) const noexcept {
    if (typeAt(arrayPos) != JsonType::Array) return npos;
    const std::size_t pos = skipBlank(arrayPos + 1);
    if (pos >= size_ || data_[pos] == ']') return npos;
    return typeAt(pos) != JsonType::None ? pos : npos;
}

std::size_t JsonText::nextElement(std::size_t elementPos) const noexcept {
    std::size_t pos = skipValue(elementPos);
    if (pos == npos) return npos;
    pos = skipBlank(pos);
    if (at(pos) != ',' || pos >= size_) return npos;
    pos = skipBlank(pos + 1);
    return typeAt(pos) != JsonType::None ? pos : npos;
}

std::string_view JsonText::stringAt(std::size_t pos, std::string_view defaultText) const noexcept {
    const std::size_t end = skipString(pos);
    if (end == npos) return defaultText;
    return {data_ + pos + 1, end - pos - 2};
}

bool JsonText::stringEquals(std::size_t pos, std::string_view text) const noexcept {
    const std::size_t end = skipString(pos);
    return end != npos && std::string_view(data_ + pos + 1, end - pos - 2) == text;
}

int32_t JsonText::integerAt(std::size_t pos, int32_t defaultValue) const noexcept {
    if (typeAt(pos) != JsonType::Number) return defaultValue;
    const std::size_t end = skipNumber(pos);
    const std::string_view number(data_ + pos, end - pos);
    const bool integral = number.find_first_of(".eE") == std::string_view::npos;
    // The number is copied into a bounded, terminated buffer: the text itself may be cut
    // right after it.
    char copy[64];
    const std::size_t length = number.size() < sizeof(copy) - 1 ? number.size() : sizeof(copy) - 1;
    std::memcpy(copy, number.data(), length);
    copy[length] = '\0';
    if (integral) {
        // Base 0 reads the way "%i" does, so a leading zero means octal ("010" is 8, "09"
        // stops at the 9). Unlike the scan, out-of-range values clamp instead of being
        // undefined.
        const long long value = std::strtoll(copy, nullptr, 0);
        return clampToInt32(value);
    }
    if (localeUsesDecimalComma()) {
        if (char* point = std::strchr(copy, '.')) *point = ',';
    }
    double value = 0;
    if (std::sscanf(copy, "%lg", &value) != 1) return defaultValue;
    return truncateToInt32(value);
}

bool JsonText::decodeStringAt(std::size_t pos, std::string& out) const {
    const std::size_t end = skipString(pos);
    if (end == npos) return false;
    out.clear();
    const std::size_t last = end - 1;  // the closing quote
    auto readHex4 = [&](std::size_t from, uint32_t& value) {
        if (from + 4 > last) return false;
        value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int digit = hexValue(data_[from + k]);
            if (digit < 0) return false;
            value = value * 16 + static_cast<uint32_t>(digit);
        }
        return true;
    };
    for (std::size_t i = pos + 1; i < last; ++i) {
        const char c = data_[i];
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        const char escaped = data_[++i];  // i < last: skipString saw a complete escape
        switch (escaped) {
            case 'b':
                out.push_back('\b');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'u': {
                uint32_t unit = 0;
                if (!readHex4(i + 1, unit)) {
                    out.push_back('u');  // a malformed escape is kept as its letter
                    break;
                }
                i += 4;
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    uint32_t low = 0;
                    if (i + 2 < last && data_[i + 1] == '\\' && data_[i + 2] == 'u' &&
                        readHex4(i + 3, low) && low >= 0xDC00 && low <= 0xDFFF) {
                        i += 6;
                        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    } else {
                        appendUtf8(out, kReplacementCharacter);
                    }
                } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    appendUtf8(out, kReplacementCharacter);
                } else {
                    appendUtf8(out, unit);
                }
                break;
            }
            default:
                out.push_back(escaped);
                break;  // quote, backslash, slash and others
        }
    }
    return true;
}

bool JsonText::copyStringAt(std::size_t pos, char* buffer, std::size_t size) const {
    std::string decoded;
    if (!decodeStringAt(pos, decoded)) {
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        return false;
    }
    if (buffer == nullptr || size == 0) return decoded.empty();
    std::size_t length = decoded.size();
    const bool cut = length > size - 1;
    if (cut) {
        length = size - 1;
        // Step back over continuation bytes so no character is left half written.
        while (length > 0 && (static_cast<unsigned char>(decoded[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    std::memcpy(buffer, decoded.data(), length);
    buffer[length] = '\0';
    return !cut;
}

}  // namespace zyerr
