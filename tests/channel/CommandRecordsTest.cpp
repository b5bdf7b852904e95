// The rules every record follows: text fields and the status of two-step operations. The
// header's bytes are checked in every record the emulator logs (SendStepTest and the rest), the
// cutting and termination of text fields in the attribute records (AttributeRecordsTest).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "channel/CommandChannel.h"

namespace zyostrel::channel {
namespace {

// The records are zeroed before they are filled, so only a field that starts with other bytes
// shows that the copy pads a short text.
TEST(TextFieldTest, ShortTextIsZeroPadded) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    copyTextField(field, "AI0");
    EXPECT_EQ(std::string(field, sizeof field), std::string("AI0\0\0\0\0\0", 8));
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
