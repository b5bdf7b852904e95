#include "status/ElaborationWriter.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "status/ElaborationReader.h"

namespace zyerr {
namespace {

bool isBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isOpening(char c) noexcept { return c == '{' || c == '['; }
bool isClosing(char c) noexcept { return c == '}' || c == ']'; }
bool isBracket(char c) noexcept { return isOpening(c) || isClosing(c); }

std::size_t textLength(const Status& status) noexcept {
    if (status.elaboration == nullptr || status.capacity == 0) return 0;
    return strnlen(status.elaboration, status.capacity - 1);
}

// Free bytes between the text's NUL and the final 'J'.
std::size_t freeSpace(const Status& status) noexcept {
    const std::size_t length = textLength(status);
    if (status.elaboration == nullptr || length + 2 > status.capacity) return 0;
    return status.capacity - 2 - length;
}

// A buffer whose text runs into its last byte has lost its terminator: nothing is written.
bool keepsTerminator(const Status& status) noexcept {
    return status.elaboration != nullptr && textLength(status) + 2 <= status.capacity;
}

std::string escaped(const char* text) {
    std::string out;
    if (text == nullptr) return out;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        switch (c) {
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char unicode[8];
                    std::snprintf(unicode, sizeof(unicode), "\\u%04x", c);
                    out += unicode;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out;
}

std::string quoted(const char* text) { return "\"" + escaped(text) + "\""; }

}  // namespace

std::size_t escapeJsonString(const char* text, char* out, std::size_t outSize) {
    const std::string result = escaped(text);
    if (out != nullptr && outSize > 0) {
        const std::size_t length = result.size() < outSize - 1 ? result.size() : outSize - 1;
        std::memcpy(out, result.data(), length);
        out[length] = '\0';
    }
    return result.size();
}

bool growElaboration(Status& status) noexcept {
    if (status.capacity < 2) return ensureCapacity(status, 2);
    return ensureCapacity(status, 2 * std::size_t{status.capacity} - 2);
}

ElaborationCursor::ElaborationCursor(Status& status, std::size_t offset,
                                     GrowFunction grow) noexcept {
    if (grow == nullptr || offset >= textLength(status) || !isBracket(status.elaboration[offset])) {
        return;
    }
    status_ = &status;
    offset_ = offset;
    grow_ = grow;
}

ElaborationCursor ElaborationCursor::insertMember(const char* key, const char* rawValue,
                                                  bool enterValue) const {
    if (isNull()) return {};
    Status& status = *status_;
    if (!keepsTerminator(status)) return {};
    const std::size_t length = textLength(status);
    // The text may have been replaced since the cursor was made: check it still stands on
    // a bracket before inserting.
    if (offset_ >= length || !isBracket(status.elaboration[offset_])) return {};
    const char bracket = status.elaboration[offset_];
    const bool inArray = bracket == '[' || bracket == ']';

    bool hasMembers = false;
    if (isClosing(bracket)) {
        std::size_t before = offset_;
        while (before > 0 && isBlank(status.elaboration[before - 1])) --before;
        hasMembers = before == 0 || !isOpening(status.elaboration[before - 1]);
    } else {
        std::size_t after = offset_ + 1;
        while (after < length && isBlank(status.elaboration[after])) ++after;
        hasMembers = after < length && !isClosing(status.elaboration[after]);
    }

    std::string member;
    if (!inArray) member = quoted(key) + ":";
    member += rawValue;
    const std::size_t valueEnd = member.size();  // the new value's last byte is just before
    std::string insertion;
    std::size_t insertAt = 0;
    std::size_t valueClose = 0;  // offset of the new value's closing bracket in the text
    if (isClosing(bracket)) {
        insertion = hasMembers ? "," + member : member;
        insertAt = offset_;
        valueClose = insertAt + insertion.size() - 1;
    } else {
        insertion = hasMembers ? member + "," : member;
        insertAt = offset_ + 1;
        valueClose = insertAt + valueEnd - 1;
    }

    while (freeSpace(status) < insertion.size()) {
        const uint32_t before = status.capacity;
        if (!grow_(status) || status.capacity <= before) return {};
    }
    char* text = status.elaboration;
    std::memmove(text + insertAt + insertion.size(), text + insertAt, length - insertAt + 1);
    std::memcpy(text + insertAt, insertion.data(), insertion.size());

    ElaborationCursor next = *this;
    if (enterValue) {
        next.offset_ = valueClose;
    } else if (isClosing(bracket)) {
        next.offset_ = offset_ + insertion.size();
    }
    return next;
}

ElaborationCursor ElaborationCursor::addString(const char* key, const char* value) const {
    return insertMember(key, quoted(value).c_str(), false);
}

ElaborationCursor ElaborationCursor::addInt(const char* key, int32_t value) const {
    char number[32];
    std::snprintf(number, sizeof(number), "%i", value);
    return insertMember(key, number, false);
}

ElaborationCursor ElaborationCursor::addUInt(const char* key, uint32_t value) const {
    char number[32];
    std::snprintf(number, sizeof(number), "%u", value);
    return insertMember(key, number, false);
}

ElaborationCursor ElaborationCursor::addUInt64(const char* key, uint64_t value) const {
    char number[32];
    std::snprintf(number, sizeof(number), "%" PRIu64, value);
    return insertMember(key, number, false);
}

ElaborationCursor ElaborationCursor::beginObject(const char* key) const {
    return insertMember(key, "{}", true);
}

ElaborationCursor ElaborationCursor::beginArray(const char* key) const {
    return insertMember(key, "[]", true);
}

ElaborationCursor ElaborationCursor::end() const noexcept {
    if (isNull()) return {};
    const Status& status = *status_;
    const std::size_t length = textLength(status);
    if (offset_ >= length) return {};
    const JsonText text(status.elaboration, length);
    std::size_t close = offset_;
    if (isOpening(status.elaboration[offset_])) close = text.endOf(offset_);
    if (close == JsonText::npos || !isClosing(status.elaboration[close])) return {};
    // Walk forward past the rest of the enclosing container's members to its closing
    // bracket: what follows the container just left is either that bracket or a comma.
    std::size_t pos = close + 1;
    while (pos < length) {
        const char c = status.elaboration[pos];
        if (isClosing(c)) {
            ElaborationCursor next = *this;
            next.offset_ = pos;
            return next;
        }
        if (c == '"' || isOpening(c)) {
            pos = text.skipValue(pos);
            if (pos == JsonText::npos) return {};
            continue;
        }
        ++pos;
    }
    return {};
}

ElaborationCursor rootCursor(Status& status, ElaborationCursor::GrowFunction grow) noexcept {
    if (status.elaboration == nullptr && !ensureCapacity(status, 2)) return {};
    // An empty elaboration (what the device answers when it has none) is the empty object.
    if (JsonText(status.elaboration, textLength(status)).root() == JsonText::npos &&
        !setElaboration(status, "{}")) {
        return {};
    }
    const JsonText text(status.elaboration, textLength(status));
    const std::size_t root = text.root();
    if (text.typeAt(root) != JsonType::Object) return {};
    const std::size_t close = text.endOf(root);
    if (close == JsonText::npos) return {};
    return ElaborationCursor(status, close, grow);
}

}  // namespace zyerr
