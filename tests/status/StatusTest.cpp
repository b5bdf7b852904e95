// The status with elaboration (merge rule, buffer invariant, the status operations), the
// fixed-size status record, and exceptions carrying statuses up to the entry-point boundary.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <typeinfo>

#include "status/EntryPoint.h"
#include "status/Exception.h"
#include "status/OstrelErrors.h"
#include "status/Status.h"
#include "status/StatusCodes.h"
#include "status/StatusRecord.h"
#include "tests/status/StatusExpect.h"
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

// A status holding code and text, reallocated by reallocate.
Status holding(int32_t code, const std::string& text,
               ReallocateFunction reallocate = &defaultReallocate) {
    Status status(code);
    status.reallocate = reallocate;
    EXPECT_TRUE(setElaboration(status, text.c_str()));
    return status;
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
        EXPECT_CODE(c.replaces ? c.incoming : c.held, status);
    }
    Status warned = holding(1, R"({"old":1})");  // an error over a warning resets the text
    EXPECT_TRUE(setCode(warned, codes::MemoryFull));
    EXPECT_STREQ(warned.elaboration, "{}");
    EXPECT_TRUE(keepsInvariant(warned));
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
    EXPECT_TRUE(keepsInvariant(status));  // no buffer and no capacity
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
    EXPECT_FAILURE(codes::OsFault, R"("error_constant":"zyapalerr_osFault")", status);
}

TEST(StatusOperationsTest, SetElaborationFromNullOrItsOwnBuffer) {
    EXPECT_STREQ(elaborationText(Status(-5)), "{}");
    Status status = holding(0, R"(xx{"x":1})");
    ASSERT_TRUE(setElaboration(status, status.elaboration + 2));
    EXPECT_STREQ(status.elaboration, R"({"x":1})");
    EXPECT_TRUE(keepsInvariant(status));
    ASSERT_TRUE(setElaboration(status, nullptr));
    EXPECT_STREQ(status.elaboration, "{}");
    EXPECT_TRUE(keepsInvariant(status));
}

TEST(StatusOperationsTest, MergeFromCopiesOnlyWhenReplacedCopyFromAlways) {
    Status target;
    EXPECT_TRUE(mergeFrom(target, holding(codes::OsFault, R"({"s":1})")));
    EXPECT_FALSE(mergeFrom(target, holding(codes::MemoryFull, R"({"later":1})")));
    EXPECT_FAILURE(codes::OsFault, R"({"s":1})", target);
    EXPECT_FALSE(mergeFrom(target, target));
    Status copied = holding(-1, R"({"t":1})");
    EXPECT_TRUE(copyFrom(copied, Status(3)));
    EXPECT_CODE(3, copied);
    EXPECT_EQ(copied.elaboration, nullptr);
}

bool otherReallocate(Status& status, std::size_t size) { return defaultReallocate(status, size); }

TEST(StatusOperationsTest, MoveFromTakesTheBufferOnlyWithTheSameFunction) {
    Status source = holding(-7, R"({"m":1})");
    const char* buffer = source.elaboration;
    Status target;
    EXPECT_TRUE(moveFrom(target, source));
    EXPECT_EQ(target.elaboration, buffer);
    EXPECT_EQ(source.elaboration, nullptr);
    EXPECT_EQ(source.capacity, 0u);

    Status foreign = holding(-8, R"({"f":1})", &otherReallocate);
    Status copyTarget;
    EXPECT_TRUE(moveFrom(copyTarget, foreign));
    EXPECT_NE(foreign.elaboration, nullptr);
    EXPECT_FAILURE(-8, R"({"f":1})", copyTarget);
}

bool failingReallocate(Status& status, std::size_t size) {
    return size == 0 && defaultReallocate(status, 0);
}

TEST(StatusOperationsTest, FailedCopiesKeepTheCodeButNoStaleText) {
    Status target;
    target.reallocate = &failingReallocate;
    bool copyFailed = false;
    EXPECT_TRUE(mergeFrom(target, holding(codes::OsFault, R"({"s":1})"), &copyFailed));
    EXPECT_TRUE(copyFailed);
    EXPECT_FAILURE(codes::OsFault, "{}", target);
    EXPECT_FALSE(setElaboration(target, "{}"));

    Status held = holding(-1, R"({"t":1})");
    held.reallocate = &failingReallocate;
    EXPECT_FALSE(copyFrom(held, holding(-2, "{\"s\":\"" + std::string(600, 's') + "\"}")));
    // The text explained -1; kept beside -2 it would explain the wrong failure.
    EXPECT_FAILURE(-2, "{}", held);
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
    EXPECT_STREQ(errorConstantOf(-304017), "");
    EXPECT_STREQ(errorConstantOf(12345), "");
    EXPECT_STREQ(meaningOf(-304405), "The stream number is above 63.");
    EXPECT_EQ(meaningOf(12345), nullptr);
}

// Paths up to the 100-byte field are copied whole; longer ones keep 49 bytes of head and tail.
TEST(StatusRecordTest, LongFilePathKeepsHeadAndTail) {
    for (const std::size_t length : {100u, 101u, 150u}) {
        std::string path;
        for (std::size_t i = 0; i < length; ++i) path.push_back(static_cast<char>('a' + i % 26));
        StatusRecord record = makeStatusRecord();
        EXPECT_TRUE(setStatusRecord(record, -52000, "zyostrelapi", path.c_str(), 99));
        EXPECT_EQ(std::string(record.file),
                  length <= 100 ? path : path.substr(0, 49) + ".." + path.substr(length - 49))
            << length;
        EXPECT_STREQ(record.component, "zyostrela");  // 9 characters and NUL
        EXPECT_EQ(record.line, 99u);
    }
}

// A caller's record declared smaller than the code field must not be written past its size.
TEST(StatusRecordTest, RecordWithoutRoomForTheCodeIsNotTouchedAndOneWithRoomForItOnlyGetsIt) {
    StatusRecord record = makeStatusRecord();
    record.structSize = 8;
    record.code = 0;
    EXPECT_FALSE(setStatusRecord(record, -52000, "c", "f.c", 1));
    EXPECT_CODE(0, record);

    StatusRecord failure = makeStatusRecord();
    setStatusRecord(failure, -52008, "c", "f.c", 2);
    EXPECT_FALSE(mergeStatusRecord(record, failure));
    EXPECT_CODE(0, record);
    StatusRecord full = makeStatusRecord();
    failure.structSize = 15;
    EXPECT_FALSE(mergeStatusRecord(full, failure));
    EXPECT_CODE(0, full);

    record.structSize = 16;  // room for the code and nothing more
    EXPECT_TRUE(setStatusRecord(record, -52000, "c", "f.c", 1));
    EXPECT_CODE(-52000, record);
    EXPECT_EQ(record.component[0], '\0');
    EXPECT_EQ(record.file[0], '\0');
    EXPECT_EQ(record.line, 0u);
}

// The merge rule decides whether anything is stored; a stored failure brings its extra words.
TEST(StatusRecordTest, MergeRuleDecidesWhetherAnythingIsStored) {
    StatusRecord record = makeStatusRecord();
    record.extra[0] = 77;
    EXPECT_TRUE(setStatusRecord(record, 5, "warn", "w.c", 1));
    EXPECT_EQ(record.extra[0], 0u);
    EXPECT_FALSE(setStatusRecord(record, 6, "other", "o.c", 2));
    EXPECT_STREQ(record.file, "w.c");
    EXPECT_TRUE(setStatusRecord(record, -3, "err", "e.c", 3));
    EXPECT_FALSE(setStatusRecord(record, -4, "later", "l.c", 4));
    EXPECT_CODE(-3, record);
    EXPECT_STREQ(record.component, "err");
    EXPECT_EQ(record.line, 3u);

    StatusRecord source = makeStatusRecord();
    setStatusRecord(source, -2, "src", "s.c", 10);
    source.extra[1] = 12;
    StatusRecord target = makeStatusRecord();
    EXPECT_TRUE(mergeStatusRecord(target, source));
    EXPECT_CODE(-2, target);
    EXPECT_STREQ(target.file, "s.c");
    EXPECT_EQ(target.extra[1], 12u);
    EXPECT_FALSE(mergeStatusRecord(target, source));
}

TEST(ExceptionTest, ThrowStatusCarriesTheCodeAndTheLocationGiven) {
    const zytest::Thrown bare = zytest::thrownBy([] { throwStatus(codes::OsFault); });
    EXPECT_EQ(bare, codes::OsFault);
    EXPECT_EQ(bare.elaboration, "");
    try {  // the text is reached through the base class
        throwStatus(codes::InvalidParameter, SourceLocation{"x.cpp", 3, nullptr, nullptr});
    } catch (const std::exception& exception) {
        EXPECT_STREQ(exception.what(), R"({"file":"x.cpp","line":3})");
    }
}

TEST(ExceptionTest, CopyMergesIntoAFreshStatusWithTheDefaultFunction) {
    const Exception original(holding(-9, R"({"k":1})", &otherReallocate));
    const Exception copy(original);  // NOLINT: the copy is what is tested
    EXPECT_EQ(copy.code(), -9);
    EXPECT_STREQ(copy.what(), R"({"k":1})");
    EXPECT_NE(copy.what(), original.what());
    EXPECT_EQ(copy.status().reallocate, &defaultReallocate);
}

TEST(ThrowIfFailedTest, ErrorThrowsAndWarningDoesNotBothReleaseTheBuffer) {
    Status status = holding(codes::MemoryFull, R"({"why":"x"})");
    const zytest::Thrown thrown = zytest::thrownBy([&] { throwIfFailed(status); });
    EXPECT_EQ(thrown, codes::MemoryFull);
    EXPECT_EQ(thrown.elaboration, R"({"why":"x"})");
    EXPECT_EQ(status.elaboration, nullptr);
    EXPECT_EQ(status.capacity, 0u);
    Status warning = holding(5, "{}");  // a warning only releases
    EXPECT_NO_THROW(throwIfFailed(warning));
    EXPECT_EQ(warning.elaboration, nullptr);
    EXPECT_CODE(5, warning);
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
    EXPECT_FAILURE(codes::OsFault, R"({"file":"f","line":1})", failure);
    Status memory, fine;
    EXPECT_EQ(callBoundary(memory, []() -> int32_t { throw std::bad_alloc(); }),
              codes::OutOfMemory);
    EXPECT_CODE(codes::OutOfMemory, memory);
    EXPECT_EQ(callBoundary(fine, [] { return int32_t{0}; }), 0);
    EXPECT_CODE(0, fine);
}

// What escapes a description writer becomes its return code: a status exception brings its
// code and the location in its text, any other kind its mapped code with the writer's.
TEST(RecordCurrentExceptionTest, EachKindOfExceptionBecomesTheRecord) {
    const auto recorded = [](const std::function<void()>& thrower) {
        StatusRecord record = makeStatusRecord();
        try {
            thrower();
        } catch (...) {
            recordCurrentException(record, 7);
        }
        return record;
    };
    const struct {
        std::function<void()> thrower;
        int32_t code;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, codes::MemoryFull},
        {[] { throw std::invalid_argument("x"); }, codes::InvalidParameter},
        {[] { throw std::bad_cast(); }, codes::TypeMismatch},
        {[] { throw std::system_error(EIO, std::generic_category()); }, codes::OsFault},
        {[] { throw 42; }, codes::InternalSoftwareFault},
    };
    for (const auto& c : cases) {
        const StatusRecord record = recorded(c.thrower);
        EXPECT_CODE(c.code, record);
        EXPECT_STREQ(record.file, "OstrelErrors");
        EXPECT_EQ(record.line, 7u);
    }
    // A long path keeps its last 100 bytes, without the backslashes that open them.
    static const std::string path = std::string(50, 'a') + "\\\\" + std::string(98, 'b');
    const StatusRecord own = recorded([] {
        throwStatus(-61070, SourceLocation{path.c_str(), 12, kComponent, nullptr});
    });
    EXPECT_CODE(-61070, own);
    EXPECT_EQ(std::string(own.file), std::string(98, 'b'));
    EXPECT_STREQ(own.component, "zyostrela");
    EXPECT_EQ(own.line, 12u);
    EXPECT_CODE(codes::InternalSoftwareFault, recorded([] { throwStatus(0); }));
}

}  // namespace
}  // namespace zyerr
