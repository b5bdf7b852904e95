// Exceptions carrying statuses, throwIfFailed, and the entry-point boundary.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "status/EntryPoint.h"
#include "status/Exception.h"
#include "status/Status.h"

namespace zyerr {
namespace {

TEST(ExceptionTest, ThrowStatusCarriesTheCodeAndTheLocationGiven) {
    try {
        throwStatus(codes::OsFault);
        FAIL() << "nothing thrown";
    } catch (const Exception& exception) {
        EXPECT_EQ(exception.code(), codes::OsFault);
        EXPECT_STREQ(exception.what(), "");
        const std::exception& standard = exception;
        EXPECT_STREQ(standard.what(), "");
    }
    try {
        throwStatus(codes::InvalidParameter, SourceLocation{"x.cpp", 3, kComponent, "c"});
        FAIL() << "nothing thrown";
    } catch (const std::exception& exception) {
        EXPECT_STREQ(exception.what(),
                     R"({"error_constant":"c","file":"x.cpp","line":3,"component":"zyostrelapi"})");
    }
}

TEST(ExceptionTest, CopyMergesIntoAFreshStatusWithTheDefaultFunction) {
    Status status(-9);
    ASSERT_TRUE(setElaboration(status, R"({"k":1})"));
    const Exception original(std::move(status));
    const Exception copy(original);  // NOLINT: the copy is what is tested
    EXPECT_EQ(copy.code(), -9);
    EXPECT_STREQ(copy.what(), R"({"k":1})");
    EXPECT_NE(copy.what(), original.what());
    EXPECT_EQ(copy.status().reallocate, &defaultReallocate);
}

TEST(ThrowIfFailedTest, ErrorThrowsAndWarningDoesNotBothReleaseTheBuffer) {
    Status status(codes::MemoryFull);
    ASSERT_TRUE(setElaboration(status, R"({"why":"x"})"));
    try {
        throwIfFailed(status);
        FAIL() << "nothing thrown";
    } catch (const Exception& exception) {
        EXPECT_EQ(exception.code(), codes::MemoryFull);
        EXPECT_STREQ(exception.what(), R"({"why":"x"})");
    }
    EXPECT_EQ(status.elaboration, nullptr);
    EXPECT_EQ(status.capacity, 0u);
    // A warning only releases.
    Status warning(5);
    ASSERT_TRUE(setElaboration(warning, "{}"));
    EXPECT_NO_THROW(throwIfFailed(warning));
    EXPECT_EQ(warning.elaboration, nullptr);
    EXPECT_EQ(warning.code, 5);
}

struct ThrowsWhileUnwinding {
    ~ThrowsWhileUnwinding() {
        Status status(-1);
        throwIfFailed(status);  // must not throw: an exception is already unwinding
        released = status.elaboration == nullptr;
    }
    bool& released;
};

TEST(ThrowIfFailedTest, DoesNotThrowWhileAnotherExceptionUnwinds) {
    bool released = false;
    try {
        ThrowsWhileUnwinding guard{released};
        throw std::runtime_error("first");
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "first");
    }
    EXPECT_TRUE(released);
}

TEST(CallBoundaryTest, MapsEveryKindOfException) {
    EXPECT_EQ(callBoundary([] { return int32_t{7}; }), 7);
    EXPECT_EQ(callBoundary([]() -> int32_t { throwStatus(-61070); }), -61070);
    EXPECT_EQ(callBoundary([]() -> int32_t { throw std::bad_alloc(); }), codes::OutOfMemory);
    EXPECT_EQ(callBoundary([]() -> int32_t { throw std::invalid_argument("x"); }),
              codes::SoftwareError);
    EXPECT_EQ(callBoundary([]() -> int32_t { throw 42; }), codes::SoftwareError);
    // An exception without an error is no success.
    EXPECT_EQ(callBoundary([]() -> int32_t { throwStatus(0); }), codes::SoftwareError);
    EXPECT_EQ(callBoundary([]() -> int32_t { throwStatus(3); }), 3);
}

TEST(CallBoundaryTest, KeepsTheFailureForTextOutputs) {
    Status failure;
    const int32_t result = callBoundary(failure, []() -> int32_t {
        throwStatus(codes::OsFault, SourceLocation{"f", 1, nullptr, nullptr});
    });
    EXPECT_EQ(result, codes::OsFault);
    EXPECT_EQ(failure.code, codes::OsFault);
    EXPECT_STREQ(elaborationText(failure), R"({"file":"f","line":1})");

    Status memory;
    EXPECT_EQ(callBoundary(memory, []() -> int32_t { throw std::bad_alloc(); }),
              codes::OutOfMemory);
    EXPECT_EQ(memory.code, codes::OutOfMemory);

    Status fine;
    EXPECT_EQ(callBoundary(fine, [] { return int32_t{0}; }), 0);
    EXPECT_EQ(fine.code, 0);
}

}  // namespace
}  // namespace zyerr
