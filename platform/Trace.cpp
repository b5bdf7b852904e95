#include "platform/Trace.h"

#include <cstdio>
#include <cstring>

#include "status/StatusCodes.h"

namespace zyostrel::platform {
namespace {

// text right-aligned in width columns, padded with fill; a longer text keeps its end.
std::string alignRight(const std::string& text, std::size_t width, char fill) {
    if (text.size() >= width) return text.substr(text.size() - width);
    return std::string(width - text.size(), fill) + text;
}

}  // namespace

std::string formatTraceLine(const TraceLocation& location, const char* format, va_list args) {
    const char* ending = location.lineEnding != nullptr ? location.lineEnding : "";
    std::string line = "[";
    line += alignRight(zyerr::kComponent, 10, ' ');
    line += "|";
    line += alignRight(location.file != nullptr ? location.file : "", 32, ' ');
    line += "|";
    line += alignRight(std::to_string(location.line), 4, '0');
    line += "] ";
    // The message is cut so that the line ending always fits in the line.
    const std::size_t endingSize = std::strlen(ending);
    if (line.size() + endingSize < kTraceLineSize && format != nullptr) {
        char message[kTraceLineSize + 1];
        const std::size_t room = kTraceLineSize - line.size() - endingSize;
        const int written = std::vsnprintf(message, room + 1, format, args);
        if (written > 0) line.append(message, std::strlen(message));
    }
    line += ending;
    if (line.size() > kTraceLineSize) line.resize(kTraceLineSize);
    return line;
}

void traceLine(uint32_t level, const TraceLocation& location, const char* format, ...) {
    if (level < kTraceThreshold) return;
    va_list args;
    va_start(args, format);
    const std::string line = formatTraceLine(location, format, args);
    va_end(args);
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace zyostrel::platform
