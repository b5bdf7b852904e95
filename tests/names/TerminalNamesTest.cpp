// The terminal and channel name grammar: families, ranges, connector prefixes, lists, the
// scanning rules of the numbers, the defaults of an empty text and the name lookups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "attributes/TerminalNames.h"
#include "zyostrelapi.h"

namespace zyostrel::attributes {
namespace {

using Names = std::vector<std::string>;

constexpr std::int32_t kBad = ZYOSTREL_Status_InvalidTerminalName;
constexpr std::int32_t kIndex = ZYOSTREL_Status_TerminalIndexOutOfRange;
constexpr std::int32_t kNumber = ZYOSTREL_Status_TerminalNumberOutOfRange;
constexpr std::int32_t kTooMany = ZYOSTREL_Status_TooManyTerminalNames;

// Resolves the text and checks the status and the names resolved up to it, in order.
void expectResolution(const std::string& text, std::int32_t status, const Names& names = {}) {
    ResolvedNames list(text.c_str(), 0);
    EXPECT_EQ(resolveNames(list), status) << text;
    Names resolved;
    for (const char* name : list) resolved.emplace_back(name != nullptr ? name : "(null)");
    EXPECT_EQ(resolved, names) << text;
}

Names sequence(const std::string& prefix, unsigned first, unsigned last,
               const std::string& suffix = "") {
    Names names;
    for (unsigned i = first; i <= last; ++i) names.push_back(prefix + std::to_string(i) + suffix);
    return names;
}

Names join(Names names, const Names& more) {
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

TEST(TerminalNameFamilies, EveryIndexOfEveryFamilyInBothCasesAndNoFurther) {
    const struct {
        std::string upper, lower, upperSuffix, lowerSuffix;
        unsigned top;
    } families[] = {
        {"AI", "ai", "", "", 63},
        {"AO", "ao", "", "", 63},
        {"CLK", "clk", "", "", 63},
        {"SI", "si", "", "", 7},
        {"SO", "so", "", "", 7},
        {"DataClk", "dataclk", "", "", 3},
        {"DI", "di", "", "", 63},
        {"DO", "do", "", "", 63},
        {"RxBank", "rxbank", "", "", 15},
        {"DIO", "dio", "", "", 95},
        {"PFI", "pfi", "", "", 63},
        {"DIFF PFI", "diff pfi", "", "", 63},
        {"Ser", "ser", "_RefClk", "_refclk", 7},
        {"Des", "des", "_RefClk", "_refclk", 7},
    };
    for (const auto& f : families) {
        const Names all = sequence(f.upper, 0, f.top, f.upperSuffix);
        auto upper = [&](unsigned i) { return f.upper + std::to_string(i) + f.upperSuffix; };
        auto lower = [&](unsigned i) { return f.lower + std::to_string(i) + f.lowerSuffix; };
        for (unsigned i = 0; i <= f.top; ++i) {
            expectResolution(upper(i), 0, {all[i]});
            expectResolution(lower(i), 0, {all[i]});
        }
        expectResolution(upper(f.top + 1), kIndex);
        expectResolution(lower(f.top + 1), kIndex);
        expectResolution(upper(0) + "-" + upper(f.top), 0, all);
        expectResolution(lower(f.top) + "-" + lower(0), 0, all);
    }
}

TEST(TerminalNameGrammar, EachTextResolvesToItsNamesOrFailsWithItsStatus) {
    const struct {
        const char* text;
        std::int32_t status;
        Names names = {};
    } rows[] = {
        // Case is all upper or all lower, across a range too.
        {"Ai5", kBad},
        {"aI5", kBad},
        {"SER1_REFCLK", kBad},
        {"Dataclk1", kBad},
        {"AI0-ai3", kBad},
        {"Diff Pfi1", kBad},
        // Ranges in either order give ascending names; past the highest index the valid
        // part is kept and the range fails.
        {"AI3-AI0", 0, {"AI0", "AI1", "AI2", "AI3"}},
        {"ai0-ai3", 0, {"AI0", "AI1", "AI2", "AI3"}},
        {"PFI7-PFI7", 0, {"PFI7"}},
        {"AI60-AI70", kIndex, {"AI60", "AI61", "AI62", "AI63"}},
        {"AI70-AI60", kIndex, {"AI60", "AI61", "AI62", "AI63"}},
        {"AI64-AI70", kIndex},
        {"SI6-SI4294967295", kIndex, {"SI6", "SI7"}},
        {"AI64", kIndex},
        // The separator follows the number directly.
        {"AI0 -AI3", kBad},
        {"AI0- AI3", kBad},
        {"AI0-", kBad},
        {"AI0-AI", kBad},
        {"AI0-AI3 ", kBad},
        {"AI0-AO3", kBad},
        {"AI0-AI 2", 0, {"AI0", "AI1", "AI2"}},
        // Numbers follow the C scanning rules: leading white space and a sign are accepted,
        // a negative number wraps modulo 2^32, a value is converted in 64 bits before the cut.
        {"AI 5", 0, {"AI5"}},
        {"AI\t\n5", 0, {"AI5"}},
        {"AI+5", 0, {"AI5"}},
        {"AI-0", 0, {"AI0"}},
        {"AI0005", 0, {"AI5"}},
        {"AI-4294967295", 0, {"AI1"}},
        {"AI4294967296", 0, {"AI0"}},
        {"AI-4294967294-AI-4294967293", 0, {"AI2", "AI3"}},
        {"AI-1", kIndex},
        {"AI18446744073709551616", kIndex},
        {"AI", kBad},
        {"AI+", kBad},
        {"AI- 5", kBad},
        {"AI+-5", kBad},
        {"AI5 ", kBad},
        {"AI0x5", kBad},
        {" AI5", kBad},
        // White space inside a family name matches any white space, or none.
        {"DIFFPFI3", 0, {"DIFF PFI3"}},
        {"DIFF \t PFI3", 0, {"DIFF PFI3"}},
        {"diff\npfi3", 0, {"DIFF PFI3"}},
        // A pattern that reads its number before a suffix counts as matched once the number
        // is read, whatever follows, unless the whole suffix and then another character are.
        {"Ser5", 0, {"Ser5_RefClk"}},
        {"des2_ref", 0, {"Des2_RefClk"}},
        {"Ser5-Ser7", 0, {"Ser5_RefClk"}},
        {"Ser5_RefClkX", kBad},
        {"Ser8", kIndex},
        {"Ser1_RefClk-Ser3", 0, {"Ser1_RefClk", "Ser2_RefClk", "Ser3_RefClk"}},
        // Plain numbers 0 to 63 and the trigger input.
        {"0", 0, {"0"}},
        {"63", 0, {"63"}},
        {" 7", 0, {"7"}},
        {"+007", 0, {"7"}},
        {"TRIGIN", 0, {"TRIGIN"}},
        {"64", kNumber},
        {"-1", kNumber},
        {"1-2", kBad},
        {"trigin", kBad},
        {"TRIGIN ", kBad},
        {"TRIGIN0", kBad},
        // Connector prefixes qualify family names; the number wraps like the others.
        {"conn2/ai0-ai1", 0, {"Conn2/AI0", "Conn2/AI1"}},
        {"CONNECTOR2/AI0", 0, {"Conn2/AI0"}},
        {"Conn12/Dio95", 0, {"Conn12/DIO95"}},
        {"connector0/ser1_refclk", 0, {"Conn0/Ser1_RefClk"}},
        {"conn 3/ pfi1 and the rest", 0, {"Conn3/PFI1"}},
        {"conn+3/diffpfi1", 0, {"Conn3/DIFF PFI1"}},
        {"conn-1/ai0", 0, {"Conn4294967295/AI0"}},
        {"conn4294967298/ai0", 0, {"Conn2/AI0"}},
        {"conn9223372036854775808/ai0", 0, {"Conn4294967295/AI0"}},
        // Plain numbers stay unqualified; the remainder after a prefix is lower case.
        {"conn1/5", 0, {"5"}},
        {"conn1/TRIGIN", kBad},
        {"conn2/DIFF PFI3", kBad},
        {"conn1/64", kNumber},
        {"conn1/ai64", kIndex},
        // An incomplete prefix leaves the token unqualified.
        {"conn2/", kBad},
        {"conn2/ ", kBad},
        {"conn/ai0", kBad},
        {"connx2/ai0", kBad},
        {"conn2 /ai0", kBad},
        {"con2/ai0", kBad},
        // Tokens resolve in order and the first failure ends the list.
        {"AO1,AI0,conn3/clk2,TRIGIN,4", 0, {"AO1", "AI0", "Conn3/CLK2", "TRIGIN", "4"}},
        {"AI0,AI0", 0, {"AI0", "AI0"}},
        {"AI0,", kBad, {"AI0"}},
        {",AI0", kBad},
        {"AI0,,AI1", kBad, {"AI0"}},
        {"AI0, AI1", kBad, {"AI0"}},
        {",", kBad},
        {"AI0,AI64,AI1", kIndex, {"AI0"}},
        {"AI0,64,AI1", kNumber, {"AI0"}},
        // Not empty: a text of white space is a token that matches nothing.
        {" ", kBad},
    };
    for (const auto& row : rows) expectResolution(row.text, row.status, row.names);
}

TEST(TerminalNameConnectors, OnlyQualifiedNamesAreOwnedAndResolvingAgainStartsAFreshList) {
    ResolvedNames plain("AI0-AI63,5,TRIGIN", 0);
    ASSERT_EQ(resolveNames(plain), 0);
    EXPECT_TRUE(plain.ownedTexts.empty());

    ResolvedNames qualified("conn1/ai0-ai3,conn2/ao1,7", 0);
    ASSERT_EQ(resolveNames(qualified), 0);
    EXPECT_FALSE(qualified.ownedTexts.empty());
    ASSERT_EQ(qualified.count, 6u);
    EXPECT_STREQ(qualified.names[3], "Conn1/AI3");
    EXPECT_STREQ(qualified.names[4], "Conn2/AO1");
    EXPECT_STREQ(qualified.names[5], "7");

    // Resolving again starts a fresh list.
    qualified.input = "AO3";
    ASSERT_EQ(resolveNames(qualified), 0);
    ASSERT_EQ(qualified.count, 1u);
    EXPECT_STREQ(qualified.names[0], "AO3");
    EXPECT_TRUE(qualified.ownedTexts.empty());
}

TEST(TerminalNameLists, AtMostNinetySixNames) {
    const Names aiAo = join(sequence("AI", 0, 63), sequence("AO", 0, 31));
    const Names dio = sequence("DIO", 0, 95);
    expectResolution("AI0-AI63,AO0-AO31", 0, aiAo);
    expectResolution("DIO0-DIO95,AI0", kTooMany, dio);
    expectResolution("DIO0-DIO95,TRIGIN", kTooMany, dio);
    expectResolution("AI0-AI63,AO0-AO40", kTooMany, aiAo);
    // The 97th name fails before the range's index check does.
    expectResolution("DIO0-DIO94,AI62-AI70", kTooMany, join(sequence("DIO", 0, 94), {"AI62"}));
    expectResolution("conn1/dio0-dio95,conn1/ai0", kTooMany, sequence("Conn1/DIO", 0, 95));
    expectResolution("conn1/dio95,conn1/dio0-dio95", kTooMany,
                     join({"Conn1/DIO95"}, sequence("Conn1/DIO", 0, 94)));
    std::string ninetySeven = "0";
    for (int i = 1; i < 97; ++i) ninetySeven += ",0";
    expectResolution(ninetySeven, kTooMany, Names(kMaxResolvedNames, "0"));
}

TEST(TerminalNameLists, TokensUpTo255Characters) {
    const std::string longest = "AI" + std::string(252, '0') + "5";
    ASSERT_EQ(longest.size(), kMaxTokenLength);
    expectResolution(longest, 0, {"AI5"});
    expectResolution("AI1," + longest, 0, {"AI1", "AI5"});
    const std::string tooLong = "AI" + std::string(253, '0') + "5";
    expectResolution(tooLong, kBad);
    expectResolution("AI1," + tooLong, kBad, {"AI1"});
    expectResolution("conn1/ai1 " + std::string(246, 'x'), kBad);
    expectResolution("conn1/ai1 " + std::string(245, 'x'), 0, {"Conn1/AI1"});
}

TEST(TerminalNameEmptyText, DefaultsToZeroOnlyForTheTriggerChannelAttributes) {
    for (const std::uint32_t attribute : {0x10000008u, 0x20000002u, 0x20000003u}) {
        for (const char* text : {static_cast<const char*>(nullptr), ""}) {
            ResolvedNames list(text, attribute);
            EXPECT_EQ(resolveNames(list), 0);
            ASSERT_EQ(list.count, 1u);
            EXPECT_STREQ(list.names[0], "0");
        }
    }
    const char* empty = "";
    for (const std::uint32_t attribute : {0u, 0x10000009u, 0x20000004u, 0x40000000u}) {
        for (const char* text : {static_cast<const char*>(nullptr), empty}) {
            ResolvedNames list(text, attribute);
            EXPECT_EQ(resolveNames(list), 0);
            ASSERT_EQ(list.count, 1u);
            EXPECT_EQ(list.names[0], text) << "the caller's own pointer, or null";
        }
    }
}

TEST(StreamNames, DecimalTextUpTo63) {
    for (std::uint32_t n = 0; n <= 63; ++n) {
        ASSERT_NE(streamName(n), nullptr);
        EXPECT_EQ(streamName(n), std::to_string(n));
    }
    EXPECT_EQ(streamName(63), streamName(63)) << "the same stored text every time";
    EXPECT_EQ(streamName(64), nullptr);
    EXPECT_EQ(streamName(0xFFFFFFFFu), nullptr);
}

TEST(NameLookups, AnalogChannelIndexOfAiThenAoNamesAndSiNames) {
    const struct {
        const char* name;
        long long index;
    } analog[] = {{"AI5", 5},      {"ai63", 63},      {"AO7", 7},
                  {"ao0", 0},      {"AI100", 100},    {"AI-1", 4294967295LL},
                  {"AI 2", 2},     {"Conn2/AI0", -1}, {"AI5 ", -1},
                  {"AI0-AI3", -1}, {"Ai5", -1},       {"DIO1", -1},
                  {"5", -1},       {"", -1},          {nullptr, -1}};
    for (const auto& row : analog) {
        EXPECT_EQ(analogChannelIndex(row.name), row.index) << (row.name ? row.name : "(null)");
    }
    for (const char* si : {"SI0", "si7", "SI9"}) EXPECT_TRUE(isSiName(si)) << si;
    for (const char* other : {"Si1", "SO1", "Ser1_RefClk", "SI", "SI1,SI2", ""}) {
        EXPECT_FALSE(isSiName(other)) << other;
    }
    EXPECT_FALSE(isSiName(nullptr));
}

}  // namespace
}  // namespace zyostrel::attributes
