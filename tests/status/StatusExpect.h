// Assertions on statuses whose failure messages carry the elaboration, not only the code.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "status/ElaborationReader.h"
#include "status/Exception.h"
#include "status/Status.h"
#include "status/StatusRecord.h"

namespace zytest {

inline ::testing::AssertionResult codeIs(const char* expectedText, const char* statusText,
                                         int64_t expected, const zyerr::Status& status) {
    if (status.code == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << statusText << " holds " << status.code << ", expected " << expectedText << " ("
           << expected << ")\n  elaboration: " << zyerr::elaborationText(status);
}

inline ::testing::AssertionResult codeIs(const char* expectedText, const char* recordText,
                                         int64_t expected, const zyerr::StatusRecord& record) {
    if (record.code == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << recordText << " holds " << record.code << ", expected " << expectedText << " ("
           << expected << ")\n  from " << record.component << " " << record.file << ":"
           << record.line;
}

// The status holds code and an elaboration containing text; a mismatch prints both.
inline ::testing::AssertionResult holdsFailure(const zyerr::Status& status, int64_t code,
                                               const std::string& text) {
    const std::string elaboration = zyerr::elaborationText(status);
    if (status.code == code && elaboration.find(text) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "status holds " << status.code << ", expected " << code << " with \"" << text
           << "\" in\n  elaboration: " << elaboration;
}

// The value at object.key of the status's elaboration as text; "(none)" when there is none.
inline std::string memberOf(const zyerr::Status& status, const char* object, const char* key) {
    const zyerr::JsonText text(zyerr::elaborationText(status));
    const std::size_t at = text.findKey(text.findKey(0, object), key);
    if (text.typeAt(at) == zyerr::JsonType::Number) return std::to_string(text.integerAt(at, 0));
    return std::string(text.stringAt(at, "(none)"));
}

// What a body threw: its code (0 when it threw nothing) and its elaboration. Compares equal to
// a code, and prints both, so EXPECT_EQ(thrownBy(...), code) explains a mismatch.
struct Thrown {
    int32_t code = 0;
    std::string elaboration;
    bool operator==(int32_t other) const { return code == other; }
    bool operator!=(int32_t other) const { return code != other; }
};

inline std::ostream& operator<<(std::ostream& out, const Thrown& thrown) {
    return out << thrown.code << " " << thrown.elaboration;
}

inline Thrown thrownBy(const std::function<void()>& body) {
    try {
        body();
    } catch (const zyerr::Exception& exception) {
        return {exception.code(), exception.what()};
    }
    return {};
}

}  // namespace zytest

// The status or status record holds the expected code; a mismatch prints where it came from.
#define EXPECT_CODE(expected, status) EXPECT_PRED_FORMAT2(::zytest::codeIs, expected, status)
#define ASSERT_CODE(expected, status) ASSERT_PRED_FORMAT2(::zytest::codeIs, expected, status)
// The status holds the expected code and its elaboration contains text.
#define EXPECT_FAILURE(expected, text, status) \
    EXPECT_TRUE(::zytest::holdsFailure((status), (expected), (text)))
