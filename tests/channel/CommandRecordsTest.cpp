// Layout of the shared record header and the rules every record follows.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "channel/CommandChannel.h"
#include "channel/CommandRecords.h"

namespace zyostrel::channel {
namespace {

template <class T>
std::array<uint8_t, sizeof(T)> bytesOf(const T& value) {
    std::array<uint8_t, sizeof(T)> bytes{};
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

TEST(InterfaceIdTest, NumberOnlyZeroesReservedAndQualifiers) {
    constexpr InterfaceId id(Interface::Attribute);
    const std::array<uint8_t, 16> expected{0x02, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytesOf(id), expected);
}

TEST(InterfaceIdTest, QualifiedFormKeepsReservedZero) {
    constexpr InterfaceId id(Interface::Stream, 1, 1);
    const std::array<uint8_t, 16> expected{0x01, 0x01, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(bytesOf(id), expected);
}

TEST(InterfaceIdTest, ConfigurationTreeNumberIsLittleEndian) {
    constexpr InterfaceId id(Interface::ConfigurationTree);
    const auto bytes = bytesOf(id);
    EXPECT_EQ(bytes[0], 0xED);
    EXPECT_EQ(bytes[1], 0xC7);
    EXPECT_EQ(bytes[2], 0x7E);
    EXPECT_EQ(bytes[3], 0xDE);
}

TEST(CommandHeaderTest, MethodFollowsTheIdentifier) {
    CommandHeader header{InterfaceId(Interface::Routing), 0x01020304};
    const auto bytes = bytesOf(header);
    EXPECT_EQ(bytes[0], 0x05);  // 261
    EXPECT_EQ(bytes[1], 0x01);
    EXPECT_EQ(bytes[16], 0x04);
    EXPECT_EQ(bytes[19], 0x01);
    EXPECT_EQ(kMethodFieldsOffset, 20u);
}

TEST(TextFieldTest, ShorterTextIsZeroPaddedToTheFullField) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    copyTextField(field, "AI0");
    const char expected[8] = {'A', 'I', '0', 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(field, expected, sizeof field));
}

TEST(TextFieldTest, LongerTextIsCutWithoutTerminator) {
    char field[4];
    copyTextField(field, "ABCDEF");
    EXPECT_EQ(0, std::memcmp(field, "ABCD", 4));
}

TEST(TextFieldTest, TextOfExactlyTheFieldSizeHasNoTerminator) {
    char field[4];
    copyTextField(field, "WXYZ");
    EXPECT_EQ(0, std::memcmp(field, "WXYZ", 4));
}

TEST(TextFieldTest, TerminatedVariantForcesTheLastByteToNul) {
    char field[4];
    copyTerminatedTextField(field, "ABCDEF");
    EXPECT_EQ(0, std::memcmp(field, "ABC\0", 4));
}

TEST(TextFieldTest, NullTextLeavesTheFieldZero) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    copyTextField(field, nullptr);
    for (char c : field) EXPECT_EQ(c, 0);
}

struct MergeCase {
    int32_t first;
    int32_t second;
    int32_t expected;
    bool secondRuns;
};

class MergeStatusTest : public ::testing::TestWithParam<MergeCase> {};

// Runs a two-step operation the way exported functions do.
int32_t twoSteps(int32_t first, int32_t second, bool& secondRan) {
    int32_t status = 0;
    secondRan = false;
    if (!mergeStatus(status, first)) return status;
    secondRan = true;
    mergeStatus(status, second);
    return status;
}

TEST_P(MergeStatusTest, CombinesTwoSteps) {
    const MergeCase c = GetParam();
    bool secondRan = false;
    EXPECT_EQ(twoSteps(c.first, c.second, secondRan), c.expected);
    EXPECT_EQ(secondRan, c.secondRuns);
}

INSTANTIATE_TEST_SUITE_P(
    AllSignClasses, MergeStatusTest,
    ::testing::Values(MergeCase{0, 0, 0, true}, MergeCase{0, 5, 5, true},
                      MergeCase{0, -7, -7, true}, MergeCase{3, 0, 3, true},
                      MergeCase{3, 5, 3, true},  // the first warning wins
                      MergeCase{3, -7, -7, true},  // an error after a warning is returned
                      MergeCase{-2, 0, -2, false}, MergeCase{-2, 5, -2, false},
                      MergeCase{-2, -7, -2, false}));  // an error ends the operation

}  // namespace
}  // namespace zyostrel::channel
