// In-place writer of the elaboration JSON text.
//
// A cursor stands on a bracket of the text. On a closing bracket a write inserts just before
// it (the new member becomes the last; a comma goes in front when the container already has
// one) and the cursor stays on that bracket; on an opening bracket the write inserts just
// after it (the new member becomes the first; a comma follows when there were members).
// When the free space before the final 'J' is too small the grow callback enlarges the
// buffer and the write is retried; when growing fails the write yields a null cursor and
// every later write on it does nothing, so a sequence of writes needs no check per step.
#pragma once

#include <cstddef>
#include <cstdint>

#include "status/Status.h"

namespace zyerr {

// Grows the buffer of status for the writer: doubles it (capacity 2 x capacity - 2 of text
// room, through ensureCapacity). False when that cannot be had.
bool growElaboration(Status& status) noexcept;

class ElaborationCursor {
public:
    using GrowFunction = bool (*)(Status& status);

    // The null cursor.
    ElaborationCursor() noexcept = default;
    // A cursor on the bracket at offset of status' text; null when there is none there.
    ElaborationCursor(Status& status, std::size_t offset,
                      GrowFunction grow = &growElaboration) noexcept;

    bool isNull() const noexcept { return status_ == nullptr; }
    explicit operator bool() const noexcept { return !isNull(); }
    std::size_t offset() const noexcept { return offset_; }
    Status* status() const noexcept { return status_; }

    // "key":"value" with escaping (a null value is written as "").
    ElaborationCursor addString(const char* key, const char* value) const;
    // "key":value printed with %i.
    ElaborationCursor addInt(const char* key, int32_t value) const;
    // "key":value printed with %u.
    ElaborationCursor addUInt(const char* key, uint32_t value) const;
    // "key":value printed with %lu.
    ElaborationCursor addUInt64(const char* key, uint64_t value) const;
    // "key":{} / "key":[] (the key is omitted inside arrays); the result is a cursor on the
    // new container's closing bracket.
    ElaborationCursor beginObject(const char* key) const;
    ElaborationCursor beginArray(const char* key) const;
    // Leaves the container the cursor is in: the result stands on the closing bracket of the
    // enclosing container, so writes there append after the container just left.
    ElaborationCursor end() const noexcept;

private:
    ElaborationCursor insertMember(const char* key, const char* rawValue, bool enterValue) const;

    Status* status_ = nullptr;
    std::size_t offset_ = 0;
    GrowFunction grow_ = nullptr;
};

// A cursor on the closing bracket of status' root object, the buffer made first when there
// is none. Null when the text is not an object or the buffer cannot be had.
ElaborationCursor rootCursor(Status& status,
                             ElaborationCursor::GrowFunction grow = &growElaboration) noexcept;

// Appends the JSON string escape of text (without quotes) to out, at most outSize - 1
// bytes and a NUL; returns the escaped length (which may exceed what was written).
std::size_t escapeJsonString(const char* text, char* out, std::size_t outSize);

}  // namespace zyerr
