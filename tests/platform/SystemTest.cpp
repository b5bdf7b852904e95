// Loading libraries, allocation, reading whole files, semaphores, the huge-page
// advice for large buffers and the trace line.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Allocation.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileRead.h"
#include "platform/LargeBuffer.h"
#include "platform/Semaphore.h"
#include "platform/Trace.h"
#include "support/TempPath.h"
#include "tests/status/StatusExpect.h"

namespace zyostrel::platform {
namespace {

using zytest::memberOf;

TEST(DynamicLibraryTest, MissingFileRecordsInvalidParameterWithTheLoadersMessage) {
    zyerr::Status status;
    EXPECT_EQ(loadLibrary("/nonexistent/libnothing.so", RTLD_NOW, status), nullptr);
    EXPECT_CODE(-52005, status);
    EXPECT_EQ(memberOf(status, "zydynlib_debug", "debug"), "failed to zydynlib_load library");
    EXPECT_EQ(memberOf(status, "zydynlib_debug", "path"), "/nonexistent/libnothing.so");
    EXPECT_EQ(memberOf(status, "internal_error", "api"), "dlerror");
    EXPECT_EQ(memberOf(status, "internal_error", "code"), "(none)");
    EXPECT_NE(memberOf(status, "internal_error", "string").find("libnothing.so"),
              std::string::npos);
    EXPECT_EQ(dlerror(), nullptr);  // the loader's error state was cleared
}

TEST(DynamicLibraryTest, LoadResolveAndClose) {
    zyerr::Status status;
    void* library = loadLibrary(ZY_TEST_RELOCATIONS, kLoadNowGlobal, status);
    ASSERT_NE(library, nullptr) << zyerr::elaborationText(status);
    EXPECT_NE(getSymbol(library, "get_relocated_dir", status), nullptr);
    EXPECT_CODE(0, status);
    EXPECT_EQ(getSymbol(library, "no_such_symbol", status), nullptr);
    EXPECT_CODE(-52005, status);
    EXPECT_EQ(memberOf(status, "zydynlib_debug", "debug"), "failed to get symbol");
    EXPECT_EQ(memberOf(status, "zydynlib_debug", "zydynlib_symbol"), "no_such_symbol");
    EXPECT_EQ(memberOf(status, "internal_error", "api"), "dlerror");
    closeLibrary(library);
    closeLibrary(nullptr);
}

TEST(DynamicLibraryTest, NothingHappensOnAHeldErrorAndNullArgumentsAreReported) {
    zyerr::Status status(-7);
    EXPECT_EQ(loadLibrary(ZY_TEST_RELOCATIONS, RTLD_NOW, status), nullptr);
    EXPECT_CODE(-7, status);
    EXPECT_EQ(status.elaboration, nullptr);
    zyerr::Status nullPath, nullLibrary;  // null arguments are reported, not dereferenced
    EXPECT_EQ(loadLibrary(nullptr, RTLD_NOW, nullPath), nullptr);
    EXPECT_CODE(-52005, nullPath);
    EXPECT_EQ(getSymbol(nullptr, "x", nullLibrary), nullptr);
    EXPECT_CODE(-52005, nullLibrary);
}

TEST(AllocationTest, ZeroedMemoryOrMemoryFullWithItsSource) {
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ArrayPtr<unsigned char> memory(static_cast<unsigned char*>(allocateArray(64, record)));
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory[63], 0);
    EXPECT_CODE(0, record);
    EXPECT_EQ(allocateArray(SIZE_MAX, record), nullptr);
    EXPECT_CODE(-52000, record);
    EXPECT_STREQ(record.component, "zyostrela");
    EXPECT_STREQ(record.file, "zyapal/protons/cppNewDelete/memoryAllocation");
    EXPECT_EQ(allocateArray(8, record), nullptr);  // a record holding an error gets nothing
}

// The whole file, embedded NULs and all, followed by one NUL; an empty file is just the NUL.
TEST(ReadWholeFileTest, BytesFollowedByNul) {
    const std::string path = zytest::uniqueTempPath("read_whole_file_test.bin");
    for (const std::string& content : {std::string("a\0b\xff", 4), std::string()}) {
        std::ofstream(path, std::ios::binary) << content;
        zyerr::Status status;
        std::vector<char> buffer{'x'};
        ASSERT_TRUE(readWholeFile(path.c_str(), buffer, status));
        EXPECT_EQ(std::string(buffer.begin(), buffer.end()), content + '\0');
    }
    std::remove(path.c_str());
}

// The system's error comes first in the elaboration, then the file's description. (Paths that
// name no regular file are tested with the other non-file paths in tests/runtime.)
TEST(ReadWholeFileTest, UnreadableFileRecordsNotFoundWithErrno) {
    const char* const path = "/nonexistent/file.txt";
    zyerr::Status status;
    std::vector<char> buffer{'x'};
    EXPECT_FALSE(readWholeFile(path, buffer, status));
    EXPECT_TRUE(buffer.empty());
    EXPECT_CODE(-52006, status);
    EXPECT_EQ(memberOf(status, "internal_error", "api"), "errno");
    EXPECT_EQ(memberOf(status, "internal_error", "code"), std::to_string(ENOENT));
    EXPECT_NE(memberOf(status, "internal_error", "string"), "");
    EXPECT_EQ(memberOf(status, "zysysq_debug", "desc"), "error opening file");
    EXPECT_EQ(memberOf(status, "zysysq_debug", "filename"), path);
    const std::string text = zyerr::elaborationText(status);
    EXPECT_LT(text.find("internal_error"), text.find("zysysq_debug")) << text;
    zyerr::Status nullPath, failed(-3);
    EXPECT_FALSE(readWholeFile(nullptr, buffer, nullPath));
    EXPECT_CODE(-52006, nullPath);
    EXPECT_FALSE(readWholeFile("/etc/hostname", buffer, failed));  // an error held stops it
    EXPECT_CODE(-3, failed);
}

// A named pipe is refused as no file even while a writer holds it with data waiting, and the
// data is left for its reader. (A pipe without a writer is tested with the other non-file
// paths in tests/runtime.)
TEST(ReadWholeFileTest, NamedPipeWithDataWaitingIsRefusedUnread) {
    const std::string pipe = zytest::uniqueTempPath("read_whole_file_test.pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int writer = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_EQ(::write(writer, "data", 4), 4);
    zyerr::Status status;
    std::vector<char> buffer{'x'};
    EXPECT_FALSE(readWholeFile(pipe.c_str(), buffer, status));
    EXPECT_TRUE(buffer.empty());
    EXPECT_CODE(-52006, status);
    EXPECT_EQ(memberOf(status, "internal_error", "code"), std::to_string(ENODEV));
    char left[8] = {};
    EXPECT_EQ(::read(writer, left, sizeof left), 4);
    ::close(writer);
    std::remove(pipe.c_str());
}

// The initial value counts waits through; once spent, a post releases a blocked waiter.
TEST(SemaphoreTest, InitialValueCountsWaitsThroughThenPostReleasesAWaiter) {
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ApalSemaphore semaphore;
    createSemaphore(semaphore, 2, record);
    ASSERT_NE(semaphore.inUse, nullptr);
    EXPECT_CODE(0, record);
    waitSemaphore(semaphore);
    waitSemaphore(semaphore);
    int value = -1;
    sem_getvalue(semaphore.inUse, &value);
    EXPECT_EQ(value, 0);
    std::thread waiter([&] { waitSemaphore(semaphore); });
    postSemaphore(semaphore);
    waiter.join();
    destroySemaphore(semaphore);
    EXPECT_EQ(semaphore.inUse, nullptr);
}

TEST(SemaphoreTest, InvalidInitialValueMapsToInvalidParameterUnlessAnErrorIsHeld) {
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ApalSemaphore semaphore;
    createSemaphore(semaphore, static_cast<uint32_t>(SEM_VALUE_MAX) + 1u, record);
    EXPECT_EQ(semaphore.inUse, nullptr);
    EXPECT_CODE(-52005, record);
    EXPECT_STREQ(record.file, "zyapal/protons/synchronization/tSemaphore");
    EXPECT_STREQ(record.component, "zyostrela");
    // A failed semaphore is inert.
    waitSemaphore(semaphore);
    postSemaphore(semaphore);
    destroySemaphore(semaphore);
    // The failure does not overwrite an earlier error.
    record = zyerr::makeStatusRecord();
    zyerr::setStatusRecord(record, -1, "first", "first.c", 1);
    createSemaphore(semaphore, static_cast<uint32_t>(SEM_VALUE_MAX) + 1u, record);
    EXPECT_CODE(-1, record);
    EXPECT_STREQ(record.file, "first.c");
}

TEST(SemaphoreTest, NamedSemaphoreIsUnlinkedWhenAskedAndABadNameFails) {
    const std::string name = "/zyostrel_test_" + std::to_string(getpid());
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ApalSemaphore semaphore;
    openNamedSemaphore(semaphore, name.c_str(), 1, true, record);
    ASSERT_NE(semaphore.inUse, nullptr) << record.code;
    waitSemaphore(semaphore);
    postSemaphore(semaphore);
    destroySemaphore(semaphore);
    EXPECT_EQ(semaphore.name, nullptr);
    EXPECT_EQ(sem_open(name.c_str(), 0), SEM_FAILED);  // gone
    openNamedSemaphore(semaphore, "/no/slashes/allowed", 0, false, record);
    EXPECT_EQ(semaphore.inUse, nullptr);
    EXPECT_LT(record.code, 0);  // the bad name's errno, mapped
    destroySemaphore(semaphore);
}

// Only whole huge pages inside a large buffer are advised; small buffers and ranges that
// wrap around the address space get an empty span.
TEST(HugePageSpanTest, WholePagesInsideALargeBufferOnly) {
    constexpr uintptr_t kPage = kHugePageBytes;
    auto span = [](uintptr_t start, std::size_t size) {
        const HugePageSpan s = hugePageSpan(start, size);
        return std::make_pair(s.first, s.last);
    };
    const auto small = span(16 * kPage, kLargeBufferBytes - 1);
    EXPECT_EQ(small.first, small.second);
    EXPECT_EQ(span(16 * kPage, kLargeBufferBytes),
              std::make_pair(16 * kPage, 16 * kPage + kLargeBufferBytes));
    EXPECT_EQ(span(16 * kPage + 4096, kLargeBufferBytes + 3 * 4096),
              std::make_pair(17 * kPage, 16 * kPage + kLargeBufferBytes));
    const auto top = span(UINTPTR_MAX - kLargeBufferBytes, kLargeBufferBytes);
    EXPECT_LT(top.first, top.second);  // ends exactly at the top: still a buffer
    EXPECT_EQ(span(UINTPTR_MAX - 4096, kLargeBufferBytes).second, 0u);
    EXPECT_EQ(span(UINTPTR_MAX - kLargeBufferBytes + 1, kLargeBufferBytes).second, 0u);
}

TEST(ReserveLargeTest, ContentsAndCapacitySurviveTheAdvice) {
    std::vector<uint8_t> buffer(100, 0x5A);
    reserveLarge(buffer, kLargeBufferBytes + 12345);
    EXPECT_GE(buffer.capacity(), kLargeBufferBytes + 12345);
    EXPECT_EQ(buffer, std::vector<uint8_t>(100, 0x5A));
    buffer.resize(buffer.capacity(), 0xC3);
    EXPECT_EQ(buffer[kLargeBufferBytes], 0xC3);
    adviseHugePages(nullptr, kLargeBufferBytes);  // nothing to advise
}

std::string traceText(const TraceLocation& location, const char* text, ...) {
    va_list args;
    va_start(args, text);
    std::string line = formatTraceLine(location, text, args);
    va_end(args);
    return line;
}

// The component is 11 characters in a field of 10: like every field, it keeps its end. A long
// message is cut, but the line ending stays.
TEST(TraceLineTest, FieldsAreAlignedPaddedAndKeepTheirEnd) {
    EXPECT_EQ(traceText({"OstrelFirmwareDevice.cpp", 42, "\n"}, "Type: %s", "Bitfile"),
              "[yostrelapi|        OstrelFirmwareDevice.cpp|0042] Type: Bitfile\n");
    const std::string file = "/a/very/long/path/to/the/sources/firmware/Update.cpp";
    EXPECT_EQ(traceText({file.c_str(), 123456, "\n"}, "x"),
              "[yostrelapi|" + file.substr(file.size() - 32) + "|3456] x\n");
    const std::string line = traceText({"f.cpp", 1, "\n"}, "%s", std::string(1000, 'm').c_str());
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
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "[yostrelapi|                           t.cpp|0007] shown 1\n"
              "[yostrelapi|                           t.cpp|0007] shown 2\n");
}

}  // namespace
}  // namespace zyostrel::platform
