// The trace line layout and its threshold.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "platform/Trace.h"

namespace zyostrel::platform {
namespace {

std::string format(const TraceLocation& location, const char* text, ...) {
    va_list args;
    va_start(args, text);
    std::string line = formatTraceLine(location, text, args);
    va_end(args);
    return line;
}

// The component is 11 characters in a field of 10: like every field, it keeps its end.
TEST(TraceLineTest, FieldsAreAlignedPaddedAndKeepTheirEnd) {
    EXPECT_EQ(format({"OstrelFirmwareDevice.cpp", 42, "\n"}, "Type: %s", "Bitfile"),
              "[yostrelapi|        OstrelFirmwareDevice.cpp|0042] Type: Bitfile\n");
    const std::string file = "/a/very/long/path/to/the/sources/firmware/Update.cpp";
    EXPECT_EQ(format({file.c_str(), 123456, "\n"}, "x"),
              "[yostrelapi|" + file.substr(file.size() - 32) + "|3456] x\n");
}

TEST(TraceLineTest, MessageIsCutButTheLineEndingStays) {
    const std::string message(1000, 'm');
    const TraceLocation location{"f.cpp", 1, "\n"};
    const std::string line = format(location, "%s", message.c_str());
    EXPECT_EQ(line.size(), kTraceLineSize);
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(line.substr(0, 51), "[yostrelapi|                           f.cpp|0001] ");
}

TEST(TraceLineTest, WrittenToStandardErrorAtTheThreshold) {
    const TraceLocation location{"t.cpp", 7, "\n"};
    ::testing::internal::CaptureStderr();
    traceLine(kTraceThreshold - 1, location, "hidden");
    traceLine(kTraceThreshold, location, "shown %d", 1);
    traceLine(kTraceThreshold + 1, location, "shown %d", 2);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written,
              "[yostrelapi|                           t.cpp|0007] shown 1\n"
              "[yostrelapi|                           t.cpp|0007] shown 2\n");
}

}  // namespace
}  // namespace zyostrel::platform
