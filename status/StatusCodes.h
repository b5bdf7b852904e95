// The library's own status codes as C++ constants and a lookup table, generated from the
// one list in StatusCodes.def (the public header's constants come from the same file).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyerr {

// Component named by every status location this library writes.
inline constexpr const char* kComponent = "zyostrelapi";

struct StatusCodeInfo {
    int32_t code;
    const char* headerName;     // suffix of ZYOSTREL_Status_<headerName>
    const char* errorConstant;  // "" when the library attaches none
    const char* meaning;        // short English description
};

// zyerr::codes::MemoryFull == -52000 and so on, one constant per table entry.
namespace codes {
#define ZY_STATUS(code, name, constant, meaning) inline constexpr int32_t name = code;
#include "status/StatusCodes.def"
#undef ZY_STATUS
}  // namespace codes

inline constexpr StatusCodeInfo kStatusCodes[] = {
#define ZY_STATUS(code, name, constant, meaning) {code, #name, constant, meaning},
#include "status/StatusCodes.def"
#undef ZY_STATUS
};

inline constexpr std::size_t kStatusCodeCount = sizeof(kStatusCodes) / sizeof(kStatusCodes[0]);

// The table entry of code, or null when the library does not produce that code itself.
constexpr const StatusCodeInfo* findStatusCode(int32_t code) noexcept {
    for (const StatusCodeInfo& info : kStatusCodes) {
        if (info.code == code) return &info;
    }
    return nullptr;
}

// The error constant written into elaborations for code; "" when there is none.
constexpr const char* errorConstantOf(int32_t code) noexcept {
    const StatusCodeInfo* info = findStatusCode(code);
    return info != nullptr ? info->errorConstant : "";
}

// The short English meaning of code; null when the library does not produce that code.
constexpr const char* meaningOf(int32_t code) noexcept {
    const StatusCodeInfo* info = findStatusCode(code);
    return info != nullptr ? info->meaning : nullptr;
}

}  // namespace zyerr
