#include "status/StatusRecord.h"

#include <cstring>

namespace zyerr {
namespace {

constexpr std::size_t kFileHead = 49;
constexpr std::size_t kFileTail = 49;
// A record the caller allocated smaller than this has no room for the code.
constexpr std::size_t kCodeEnd = offsetof(StatusRecord, code) + sizeof(StatusRecord::code);

bool holdsCode(const StatusRecord& record) noexcept { return record.structSize >= kCodeEnd; }

bool recordReplaces(int64_t held, int64_t incoming) noexcept {
    return (held == 0 && incoming != 0) || (held > 0 && incoming < 0);
}

void storeFile(char (&field)[101], const char* file) noexcept {
    std::memset(field, 0, sizeof(field));
    if (file == nullptr) return;
    const std::size_t length = std::strlen(file);
    if (length < sizeof(field)) {
        std::memcpy(field, file, length);
        return;
    }
    std::memcpy(field, file, kFileHead);
    std::memcpy(field + kFileHead, "..", 2);
    std::memcpy(field + kFileHead + 2, file + length - kFileTail, kFileTail);
}

}  // namespace

StatusRecord makeStatusRecord() noexcept {
    StatusRecord record{};
    record.structSize = kStatusRecordSize;
    return record;
}

bool setStatusRecord(StatusRecord& record, int64_t code, const char* component, const char* file,
                     uint64_t line) noexcept {
    if (!holdsCode(record)) return false;
    if (!recordReplaces(record.code, code)) return false;
    record.code = code;
    if (record.structSize < kStatusRecordSize) return true;
    std::memset(record.component, 0, sizeof(record.component));
    if (component != nullptr)
        std::strncpy(record.component, component, sizeof(record.component) - 1);
    storeFile(record.file, file);
    record.line = line;
    record.extra[0] = 0;
    return true;
}

bool mergeStatusRecord(StatusRecord& record, const StatusRecord& other) noexcept {
    if (&record == &other || !holdsCode(record) || !holdsCode(other)) return false;
    if (!recordReplaces(record.code, other.code)) return false;
    record.code = other.code;
    if (record.structSize < kStatusRecordSize || other.structSize < kStatusRecordSize) {
        return true;
    }
    std::memcpy(record.component, other.component, sizeof(record.component));
    record.component[sizeof(record.component) - 1] = '\0';
    std::memcpy(record.file, other.file, sizeof(record.file));
    record.file[sizeof(record.file) - 1] = '\0';
    record.line = other.line;
    std::memcpy(record.extra, other.extra, sizeof(record.extra));
    return true;
}

}  // namespace zyerr
