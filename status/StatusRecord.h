// The fixed-size C status record used at boundaries that return a code with a short
// location.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyerr {

struct StatusRecord {
    uint64_t structSize;  // size the caller allocated; kStatusRecordSize for the full record
    int64_t code;
    char component[10];  // at most 9 characters and NUL
    char file[101];      // at most 100 characters and NUL
    uint64_t line;
    uint64_t extra[10];  // zero-terminated list of further values
};

inline constexpr std::size_t kStatusRecordSize = 216;
static_assert(sizeof(StatusRecord) == kStatusRecordSize);
static_assert(offsetof(StatusRecord, code) == 8);
static_assert(offsetof(StatusRecord, component) == 16);
static_assert(offsetof(StatusRecord, file) == 26);
static_assert(offsetof(StatusRecord, line) == 128);
static_assert(offsetof(StatusRecord, extra) == 136);

// An empty full-size record.
StatusRecord makeStatusRecord() noexcept;

// Merge rule on code; when replaced and the record is full-size, stores component (first 9
// characters), file (a text over 100 characters as its first 49, "..", its last 49) and
// line, and clears the first extra word. A smaller record stores only the code; one too
// small to hold the code (structSize below 16) is not touched. Returns whether the code was
// replaced.
bool setStatusRecord(StatusRecord& record, int64_t code, const char* component, const char* file,
                     uint64_t line) noexcept;

// Merge rule on other's code; when replaced, everything other holds is copied along,
// extra words included.
bool mergeStatusRecord(StatusRecord& record, const StatusRecord& other) noexcept;

}  // namespace zyerr
