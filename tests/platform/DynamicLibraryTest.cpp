// Loading libraries and resolving symbols, with the loader's diagnostics; allocation.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <string>

#include "platform/Allocation.h"
#include "platform/DynamicLibrary.h"
#include "status/ElaborationReader.h"

namespace zyostrel::platform {
namespace {

using zyerr::JsonText;

TEST(DynamicLibraryTest, MissingFileRecordsInvalidParameterWithTheLoadersMessage) {
    zyerr::Status status;
    EXPECT_EQ(loadLibrary("/nonexistent/libnothing.so", RTLD_NOW, status), nullptr);
    EXPECT_EQ(status.code, -52005);
    const JsonText text(zyerr::elaborationText(status));
    const std::size_t debug = text.findKey(0, "zydynlib_debug");
    EXPECT_TRUE(text.stringEquals(text.findKey(debug, "debug"), "failed to zydynlib_load library"));
    EXPECT_TRUE(text.stringEquals(text.findKey(debug, "path"), "/nonexistent/libnothing.so"));
    const std::size_t internal = text.findKey(0, "internal_error");
    EXPECT_TRUE(text.stringEquals(text.findKey(internal, "api"), "dlerror"));
    EXPECT_EQ(text.findKey(internal, "code"), JsonText::npos);
    const std::string message(text.stringAt(text.findKey(internal, "string"), ""));
    EXPECT_NE(message.find("libnothing.so"), std::string::npos) << message;
    EXPECT_EQ(dlerror(), nullptr);  // the loader's error state was cleared
}

TEST(DynamicLibraryTest, LoadResolveAndClose) {
    zyerr::Status status;
    void* library = loadLibrary(ZY_TEST_RELOCATIONS, kLoadNowGlobal, status);
    ASSERT_NE(library, nullptr) << zyerr::elaborationText(status);
    EXPECT_NE(getSymbol(library, "get_relocated_dir", status), nullptr);
    EXPECT_EQ(status.code, 0);

    EXPECT_EQ(getSymbol(library, "no_such_symbol", status), nullptr);
    EXPECT_EQ(status.code, -52005);
    const JsonText text(zyerr::elaborationText(status));
    const std::size_t debug = text.findKey(0, "zydynlib_debug");
    EXPECT_TRUE(text.stringEquals(text.findKey(debug, "debug"), "failed to get symbol"));
    EXPECT_TRUE(text.stringEquals(text.findKey(debug, "zydynlib_symbol"), "no_such_symbol"));
    EXPECT_TRUE(
        text.stringEquals(text.findKey(text.findKey(0, "internal_error"), "api"), "dlerror"));
    closeLibrary(library);
    closeLibrary(nullptr);
}

TEST(DynamicLibraryTest, NothingHappensOnAHeldErrorAndNullArgumentsAreReported) {
    zyerr::Status status(-7);
    EXPECT_EQ(loadLibrary(ZY_TEST_RELOCATIONS, RTLD_NOW, status), nullptr);
    EXPECT_EQ(status.code, -7);
    EXPECT_EQ(status.elaboration, nullptr);
    zyerr::Status nullPath;  // null arguments are reported, not dereferenced
    EXPECT_EQ(loadLibrary(nullptr, RTLD_NOW, nullPath), nullptr);
    EXPECT_EQ(nullPath.code, -52005);
    zyerr::Status symbolStatus;
    EXPECT_EQ(getSymbol(nullptr, "x", symbolStatus), nullptr);
    EXPECT_EQ(symbolStatus.code, -52005);
}

TEST(AllocationTest, ZeroedMemoryOrMemoryFullWithItsSource) {
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ArrayPtr<unsigned char> memory(static_cast<unsigned char*>(allocateArray(64, record)));
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory[63], 0);
    EXPECT_EQ(record.code, 0);
    EXPECT_EQ(allocateArray(SIZE_MAX, record), nullptr);
    EXPECT_EQ(record.code, -52000);
    EXPECT_STREQ(record.component, "zyostrela");
    EXPECT_STREQ(record.file, "zyapal/protons/cppNewDelete/memoryAllocation");
    EXPECT_EQ(allocateArray(8, record), nullptr);  // a record holding an error gets nothing
    EXPECT_EQ(record.code, -52000);
}

}  // namespace
}  // namespace zyostrel::platform
