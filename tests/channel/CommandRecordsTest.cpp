// The rules every record follows: text fields and the status of two-step operations. The
// header's bytes are checked in every record the emulator logs (SendStepTest and the rest).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "channel/CommandChannel.h"

namespace zyostrel::channel {
namespace {

// Copies text into an N-byte field first filled with 'x'; returns all N bytes.
template <std::size_t N>
std::string fieldAfterCopy(const char* text, bool terminated = false) {
    char field[N];
    std::memset(field, 'x', N);
    terminated ? copyTerminatedTextField(field, text) : copyTextField(field, text);
    return std::string(field, N);
}

TEST(TextFieldTest, PaddingCuttingAndTermination) {
    const struct {
        const char* name;
        std::string actual, expected;
    } rows[] = {
        {"shorter text is zero-padded", fieldAfterCopy<8>("AI0"), std::string("AI0\0\0\0\0\0", 8)},
        {"longer text is cut unterminated", fieldAfterCopy<4>("ABCDEF"), "ABCD"},
        {"text of the field size has no NUL", fieldAfterCopy<4>("WXYZ"), "WXYZ"},
        {"terminated variant ends in NUL", fieldAfterCopy<4>("ABCDEF", true),
         std::string("ABC\0", 4)},
        {"null text leaves zeros", fieldAfterCopy<6>(nullptr), std::string(6, '\0')},
    };
    for (const auto& row : rows) EXPECT_EQ(row.actual, row.expected) << row.name;
}

// A two-step operation run the way exported functions do: an error ends it.
TEST(MergeStatusTest, CombinesTwoStepsForAllSignClasses) {
    const struct {
        int32_t first, second, expected;
        bool secondRuns;
    } rows[] = {
        {0, 0, 0, true},    {0, 5, 5, true},    {0, -7, -7, true},
        {3, 0, 3, true},    {3, 5, 3, true},    {3, -7, -7, true},  // first warning wins
        {-2, 0, -2, false}, {-2, 5, -2, false}, {-2, -7, -2, false},
    };
    for (const auto& row : rows) {
        int32_t status = 0;
        const bool secondRuns = mergeStatus(status, row.first);
        if (secondRuns) mergeStatus(status, row.second);
        EXPECT_EQ(status, row.expected) << row.first << " then " << row.second;
        EXPECT_EQ(secondRuns, row.secondRuns) << row.first << " then " << row.second;
    }
}

}  // namespace
}  // namespace zyostrel::channel
