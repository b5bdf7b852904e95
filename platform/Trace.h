// Trace lines on the standard error stream.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zyostrel::platform {

// Lines at this level or above are written.
inline constexpr uint32_t kTraceThreshold = 4096;
// Longest line written, line ending included.
inline constexpr std::size_t kTraceLineSize = 512;

struct TraceLocation {
    const char* file;
    int32_t line;
    const char* lineEnding;
};

#define ZY_TRACE_LOCATION \
    ::zyostrel::platform::TraceLocation { __FILE__, __LINE__, "\n" }

// "[" component (10, right-aligned) "|" file (32, right-aligned) "|" line (4, zero-padded)
// "] " message and the line ending; longer fields keep their last characters.
std::string formatTraceLine(const TraceLocation& location, const char* format, va_list args);

void traceLine(uint32_t level, const TraceLocation& location, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace zyostrel::platform
