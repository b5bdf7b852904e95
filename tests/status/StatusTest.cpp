// The status with elaboration: merge rule, buffer invariant and the status operations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "status/Status.h"
#include "status/StatusCodes.h"
#include "zyostrelapi.h"

namespace zyerr {
namespace {

// The invariant every buffer keeps: NUL-terminated text, zeros after it, 'J' last.
::testing::AssertionResult keepsInvariant(const Status& status) {
    if (status.elaboration == nullptr) {
        if (status.capacity == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "capacity without a buffer";
    }
    if (status.capacity < 2 || status.elaboration[status.capacity - 1] != 'J') {
        return ::testing::AssertionFailure() << "last byte is not 'J'";
    }
    const std::string body(status.elaboration, status.capacity - 1);
    const std::size_t nul = body.find('\0');
    if (nul == std::string::npos) return ::testing::AssertionFailure() << "no NUL";
    if (body.find_first_not_of('\0', nul) != std::string::npos) {
        return ::testing::AssertionFailure() << "non-zero byte after the text";
    }
    return ::testing::AssertionSuccess();
}

TEST(MergeRuleTest, EveryPairOfSignClasses) {
    const struct {
        int32_t held, incoming;
        bool replaces;
    } cases[] = {
        {0, 0, false}, {0, 5, true},   {0, -5, true},  {3, 0, false},   {3, 5, false},
        {3, -5, true}, {-3, 0, false}, {-3, 5, false}, {-3, -5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "held " << c.held << " incoming " << c.incoming);
        EXPECT_EQ(mergeReplaces(c.held, c.incoming), c.replaces);
        Status status(c.held);
        EXPECT_EQ(setCode(status, c.incoming), c.replaces);
        EXPECT_EQ(status.code, c.replaces ? c.incoming : c.held);
    }
}

TEST(MergeRuleTest, ErrorOverWarningResetsTheElaboration) {
    Status status;
    ASSERT_TRUE(setCode(status, 1));
    ASSERT_TRUE(setElaboration(status, R"({"old":1})"));
    EXPECT_TRUE(setCode(status, codes::MemoryFull));
    EXPECT_STREQ(status.elaboration, "{}");
    EXPECT_TRUE(keepsInvariant(status));
}

// 512 bytes first, then powers of two keeping the text, never shrinking, 0 frees, 2^31 refused.
TEST(DefaultReallocateTest, GrowsInPowersOfTwoFrom512) {
    Status status;
    ASSERT_TRUE(defaultReallocate(status, 3));
    EXPECT_EQ(status.capacity, 512u);
    EXPECT_STREQ(status.elaboration, "{}");
    EXPECT_TRUE(keepsInvariant(status));
    ASSERT_TRUE(setElaboration(status, R"({"a":"b"})"));
    ASSERT_TRUE(defaultReallocate(status, 513));
    EXPECT_EQ(status.capacity, 1024u);
    EXPECT_STREQ(status.elaboration, R"({"a":"b"})");
    EXPECT_TRUE(keepsInvariant(status));
    ASSERT_TRUE(defaultReallocate(status, 100));
    EXPECT_EQ(status.capacity, 1024u);
    ASSERT_TRUE(defaultReallocate(status, 0));
    EXPECT_EQ(status.elaboration, nullptr);
    EXPECT_EQ(status.capacity, 0u);
    EXPECT_FALSE(defaultReallocate(status, std::size_t{0x80000000}));
    EXPECT_EQ(status.elaboration, nullptr);
    EXPECT_FALSE(ensureCapacity(status, std::size_t{0x7FFFFFFE}));
}

TEST(StatusOperationsTest, SetCodeWithLocationWritesTheLocationInOrder) {
    const struct {
        SourceLocation location;
        const char* expected;
    } rows[] = {
        {{"dir/File.cpp", 42, kComponent, "zyapalerr_memoryFull"},
         R"({"error_constant":"zyapalerr_memoryFull","file":"dir/File.cpp","line":42,)"
         R"("component":"zyostrelapi"})"},
        {{"f.c", 7, nullptr, ""}, R"({"file":"f.c","line":7})"},  // no component, no constant
    };
    for (const auto& row : rows) {
        Status status;
        EXPECT_TRUE(setCode(status, codes::MemoryFull, row.location));
        EXPECT_STREQ(status.elaboration, row.expected);
        EXPECT_TRUE(keepsInvariant(status));
    }
    Status status;
    setCode(status, codes::OsFault, ZYERR_LOCATION(codes::OsFault));
    EXPECT_NE(std::strstr(status.elaboration, R"("error_constant":"zyapalerr_osFault")"), nullptr);
}

TEST(StatusOperationsTest, SetElaborationFromNullOrItsOwnBuffer) {
    Status bare(-5);
    EXPECT_STREQ(elaborationText(bare), "{}");
    EXPECT_FALSE(setCode(bare, codes::MemoryFull));
    EXPECT_EQ(bare.elaboration, nullptr);

    Status status;
    ASSERT_TRUE(setElaboration(status, R"(xx{"x":1})"));
    ASSERT_TRUE(setElaboration(status, status.elaboration + 2));
    EXPECT_STREQ(status.elaboration, R"({"x":1})");
    EXPECT_TRUE(keepsInvariant(status));
    ASSERT_TRUE(setElaboration(status, nullptr));
    EXPECT_STREQ(status.elaboration, "{}");
    EXPECT_TRUE(keepsInvariant(status));
}

TEST(StatusOperationsTest, MergeFromCopiesOnlyWhenReplacedCopyFromAlways) {
    Status target;
    Status source(codes::OsFault);
    ASSERT_TRUE(setElaboration(source, R"({"s":1})"));
    EXPECT_TRUE(mergeFrom(target, source));
    EXPECT_EQ(target.code, codes::OsFault);
    EXPECT_STREQ(target.elaboration, R"({"s":1})");
    Status later(codes::MemoryFull);
    ASSERT_TRUE(setElaboration(later, R"({"later":1})"));
    EXPECT_FALSE(mergeFrom(target, later));
    EXPECT_STREQ(target.elaboration, R"({"s":1})");
    EXPECT_FALSE(mergeFrom(target, target));
    Status copied(-1);
    ASSERT_TRUE(setElaboration(copied, R"({"t":1})"));
    Status warning(3);
    EXPECT_TRUE(copyFrom(copied, warning));
    EXPECT_EQ(copied.code, 3);
    EXPECT_EQ(copied.elaboration, nullptr);
}

bool otherReallocate(Status& status, std::size_t size) { return defaultReallocate(status, size); }

TEST(StatusOperationsTest, MoveFromTakesTheBufferOnlyWithTheSameFunction) {
    Status source(-7);
    ASSERT_TRUE(setElaboration(source, R"({"m":1})"));
    const char* buffer = source.elaboration;
    Status target;
    EXPECT_TRUE(moveFrom(target, source));
    EXPECT_EQ(target.elaboration, buffer);
    EXPECT_EQ(source.elaboration, nullptr);
    EXPECT_EQ(source.capacity, 0u);

    Status foreign(-8);
    foreign.reallocate = &otherReallocate;
    ASSERT_TRUE(setElaboration(foreign, R"({"f":1})"));
    Status copyTarget;
    EXPECT_TRUE(moveFrom(copyTarget, foreign));
    EXPECT_NE(foreign.elaboration, nullptr);
    EXPECT_STREQ(copyTarget.elaboration, R"({"f":1})");
}

bool failingReallocate(Status& status, std::size_t size) {
    return size == 0 && defaultReallocate(status, 0);
}

TEST(StatusOperationsTest, FailedCopiesKeepTheCodeButNoStaleText) {
    Status target;
    target.reallocate = &failingReallocate;
    Status source(codes::OsFault);
    ASSERT_TRUE(setElaboration(source, R"({"s":1})"));
    bool copyFailed = false;
    EXPECT_TRUE(mergeFrom(target, source, &copyFailed));
    EXPECT_TRUE(copyFailed);
    EXPECT_EQ(target.code, codes::OsFault);
    EXPECT_FALSE(setElaboration(target, "{}"));

    Status held(-1);
    ASSERT_TRUE(setElaboration(held, R"({"t":1})"));
    held.reallocate = &failingReallocate;
    Status big(-2);
    ASSERT_TRUE(setElaboration(big, ("{\"s\":\"" + std::string(600, 's') + "\"}").c_str()));
    EXPECT_FALSE(copyFrom(held, big));
    EXPECT_EQ(held.code, -2);
    // The text explained -1; kept beside -2 it would explain the wrong failure.
    EXPECT_STREQ(elaborationText(held), "{}");
    EXPECT_TRUE(keepsInvariant(held));
}

// The public header's constants and the C++ table come from one file by two generators.
#define ZY_STATUS(code, name, constant, meaning) \
    static_assert(ZYOSTREL_Status_##name == codes::name, #name);
#include "status/StatusCodes.def"
#undef ZY_STATUS

TEST(StatusCodeTableTest, EntriesAreUniqueAndNamedAndLookupsMissCleanly) {
    for (std::size_t i = 0; i < kStatusCodeCount; ++i) {
        EXPECT_NE(kStatusCodes[i].code, 0);
        EXPECT_GT(std::strlen(kStatusCodes[i].meaning), 0u);
        for (std::size_t j = i + 1; j < kStatusCodeCount; ++j) {
            EXPECT_NE(kStatusCodes[i].code, kStatusCodes[j].code);
        }
    }
    EXPECT_STREQ(errorConstantOf(-52000), "zyapalerr_memoryFull");
    EXPECT_STREQ(errorConstantOf(-304017), "");
    EXPECT_STREQ(errorConstantOf(12345), "");
    EXPECT_EQ(findStatusCode(12345), nullptr);
    EXPECT_STREQ(meaningOf(-304405), "The stream number is above 63.");
    EXPECT_EQ(meaningOf(12345), nullptr);
}

}  // namespace
}  // namespace zyerr
