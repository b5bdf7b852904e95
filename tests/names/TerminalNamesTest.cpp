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

struct Resolution {
    std::int32_t status;
    Names names;
};

Resolution resolve(const char* text, std::uint32_t attributeId = 0) {
    ResolvedNames list(text, attributeId);
    Resolution result{resolveNames(list), {}};
    for (const char* name : list) result.names.emplace_back(name != nullptr ? name : "(null)");
    return result;
}

Names sequence(const std::string& prefix, unsigned first, unsigned last,
               const std::string& suffix = "") {
    Names names;
    for (unsigned i = first; i <= last; ++i) names.push_back(prefix + std::to_string(i) + suffix);
    return names;
}

void expectNames(const char* text, const Names& names) {
    const Resolution result = resolve(text);
    EXPECT_EQ(result.status, 0) << text;
    EXPECT_EQ(result.names, names) << text;
}

void expectFailure(const char* text, std::int32_t status, const Names& namesSoFar = {}) {
    const Resolution result = resolve(text);
    EXPECT_EQ(result.status, status) << text;
    EXPECT_EQ(result.names, namesSoFar) << text;
}

struct FamilyCase {
    const char* upperPrefix;
    const char* lowerPrefix;
    const char* upperSuffix;
    const char* lowerSuffix;
    unsigned highestIndex;
};

const FamilyCase kFamilies[] = {
    {"AI", "ai", "", "", 63},           {"AO", "ao", "", "", 63},
    {"CLK", "clk", "", "", 63},         {"SI", "si", "", "", 7},
    {"SO", "so", "", "", 7},            {"Ser", "ser", "_RefClk", "_refclk", 7},
    {"Des", "des", "_RefClk", "_refclk", 7}, {"DataClk", "dataclk", "", "", 3},
    {"RxBank", "rxbank", "", "", 15},   {"DI", "di", "", "", 63},
    {"DO", "do", "", "", 63},           {"DIO", "dio", "", "", 95},
    {"PFI", "pfi", "", "", 63},         {"DIFF PFI", "diff pfi", "", "", 63},
};

std::string nameOf(const char* prefix, unsigned index, const char* suffix) {
    return prefix + std::to_string(index) + suffix;
}

TEST(TerminalNameFamilies, EveryIndexOfEveryFamilyInBothCasesAndNoFurther) {
    for (const FamilyCase& family : kFamilies) {
        const unsigned top = family.highestIndex;
        const Names all = sequence(family.upperPrefix, 0, top, family.upperSuffix);
        for (unsigned i = 0; i <= top; ++i) {
            expectNames(nameOf(family.upperPrefix, i, family.upperSuffix).c_str(), {all[i]});
            expectNames(nameOf(family.lowerPrefix, i, family.lowerSuffix).c_str(), {all[i]});
        }
        expectFailure(nameOf(family.upperPrefix, top + 1, family.upperSuffix).c_str(),
                      ZYOSTREL_Status_TerminalIndexOutOfRange);
        expectFailure(nameOf(family.lowerPrefix, top + 1, family.lowerSuffix).c_str(),
                      ZYOSTREL_Status_TerminalIndexOutOfRange);

        const std::string upperRange = nameOf(family.upperPrefix, 0, family.upperSuffix) + "-" +
                                       nameOf(family.upperPrefix, top, family.upperSuffix);
        const std::string lowerRange = nameOf(family.lowerPrefix, top, family.lowerSuffix) + "-" +
                                       nameOf(family.lowerPrefix, 0, family.lowerSuffix);
        expectNames(upperRange.c_str(), all);
        expectNames(lowerRange.c_str(), all);
    }
}

TEST(TerminalNameFamilies, CaseMustBeAllUpperOrAllLower) {
    expectFailure("Ai5", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("aI5", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("SER1_REFCLK", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("Dataclk1", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0-ai3", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("Diff Pfi1", ZYOSTREL_Status_InvalidTerminalName);
}

TEST(TerminalNameFamilies, SimilarPrefixesGoToTheirOwnFamily) {
    expectNames("DI3", {"DI3"});
    expectNames("DIO3", {"DIO3"});
    expectNames("DIFF PFI3", {"DIFF PFI3"});
    expectNames("DO3", {"DO3"});
    expectNames("DataClk3", {"DataClk3"});
    expectNames("Des3_RefClk", {"Des3_RefClk"});
    expectNames("SI3", {"SI3"});
    expectNames("Ser3_RefClk", {"Ser3_RefClk"});
    expectNames("DIO95", {"DIO95"});
    expectFailure("DI64", ZYOSTREL_Status_TerminalIndexOutOfRange);
    expectFailure("DataClk4", ZYOSTREL_Status_TerminalIndexOutOfRange);
    expectFailure("RxBank16", ZYOSTREL_Status_TerminalIndexOutOfRange);
}

TEST(TerminalNameRanges, EitherOrderGivesAscendingNames) {
    expectNames("AI3-AI0", {"AI0", "AI1", "AI2", "AI3"});
    expectNames("ai0-ai3", {"AI0", "AI1", "AI2", "AI3"});
    expectNames("PFI7-PFI7", {"PFI7"});
    expectNames("DIFF PFI1-DIFF PFI2", {"DIFF PFI1", "DIFF PFI2"});
    expectNames("Ser6_RefClk-Ser7_RefClk", {"Ser6_RefClk", "Ser7_RefClk"});
}

TEST(TerminalNameRanges, RangePastTheHighestIndexKeepsTheValidPartAndFails) {
    expectFailure("AI60-AI70", ZYOSTREL_Status_TerminalIndexOutOfRange,
                  {"AI60", "AI61", "AI62", "AI63"});
    expectFailure("AI70-AI60", ZYOSTREL_Status_TerminalIndexOutOfRange,
                  {"AI60", "AI61", "AI62", "AI63"});
    expectFailure("AI64-AI70", ZYOSTREL_Status_TerminalIndexOutOfRange);
    expectFailure("SI6-SI4294967295", ZYOSTREL_Status_TerminalIndexOutOfRange, {"SI6", "SI7"});
    expectFailure("AI64", ZYOSTREL_Status_TerminalIndexOutOfRange);
}

TEST(TerminalNameRanges, SeparatorMustFollowTheNumberDirectly) {
    expectFailure("AI0 -AI3", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0- AI3", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0-", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0-AI", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0-AI3 ", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0-AO3", ZYOSTREL_Status_InvalidTerminalName);
    expectNames("AI0-AI 2", {"AI0", "AI1", "AI2"});
}

// The numbers follow the C scanning rules: leading white space and a sign are accepted, a
// negative number wraps modulo 2^32, and a value is converted in 64 bits before the cut.
TEST(TerminalNameNumbers, FollowTheScanningRules) {
    expectNames("AI 5", {"AI5"});
    expectNames("AI\t\n5", {"AI5"});
    expectNames("AI+5", {"AI5"});
    expectNames("AI-0", {"AI0"});
    expectNames("AI0005", {"AI5"});
    expectNames("AI-4294967295", {"AI1"});
    expectNames("AI4294967296", {"AI0"});
    expectNames("AI-4294967294-AI-4294967293", {"AI2", "AI3"});
    expectFailure("AI-1", ZYOSTREL_Status_TerminalIndexOutOfRange);
    expectFailure("AI18446744073709551616", ZYOSTREL_Status_TerminalIndexOutOfRange);
    expectFailure("AI", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI+", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI- 5", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI+-5", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI5 ", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0x5", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure(" AI5", ZYOSTREL_Status_InvalidTerminalName);
}

TEST(TerminalNameNumbers, WhiteSpaceInsideAFamilyNameMatchesAnyWhiteSpace) {
    expectNames("DIFFPFI3", {"DIFF PFI3"});
    expectNames("DIFF \t PFI3", {"DIFF PFI3"});
    expectNames("diff\npfi3", {"DIFF PFI3"});
}

// A pattern that reads its number before a suffix counts as matched once the number is
// read, whatever follows, unless the whole suffix and then another character are present.
TEST(TerminalNameNumbers, RefClkSuffixNeedsOnlyItsNumber) {
    expectNames("Ser5", {"Ser5_RefClk"});
    expectNames("des2_ref", {"Des2_RefClk"});
    expectNames("Ser5-Ser7", {"Ser5_RefClk"});
    expectNames("Ser1_RefClk-Ser3", {"Ser1_RefClk", "Ser2_RefClk", "Ser3_RefClk"});
    expectFailure("Ser5_RefClkX", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("Ser8", ZYOSTREL_Status_TerminalIndexOutOfRange);
}

TEST(TerminalNamePlainNumbers, ZeroToSixtyThreeAndTheTriggerInput) {
    expectNames("0", {"0"});
    expectNames("63", {"63"});
    expectNames(" 7", {"7"});
    expectNames("+007", {"7"});
    expectNames("TRIGIN", {"TRIGIN"});
    expectFailure("64", ZYOSTREL_Status_TerminalNumberOutOfRange);
    expectFailure("-1", ZYOSTREL_Status_TerminalNumberOutOfRange);
    expectFailure("1-2", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("trigin", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("TRIGIN ", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("TRIGIN0", ZYOSTREL_Status_InvalidTerminalName);
}

TEST(TerminalNameConnectors, QualifyFamilyNamesWithTheConnectorNumber) {
    expectNames("conn2/ai0-ai1", {"Conn2/AI0", "Conn2/AI1"});
    expectNames("CONNECTOR2/AI0", {"Conn2/AI0"});
    expectNames("Conn12/Dio95", {"Conn12/DIO95"});
    expectNames("connector0/ser1_refclk", {"Conn0/Ser1_RefClk"});
    expectNames("conn 3/ pfi1 and the rest", {"Conn3/PFI1"});
    expectNames("conn+3/diffpfi1", {"Conn3/DIFF PFI1"});
    expectNames("conn-1/ai0", {"Conn4294967295/AI0"});
    expectNames("conn4294967298/ai0", {"Conn2/AI0"});
    expectNames("conn9223372036854775808/ai0", {"Conn4294967295/AI0"});
}

TEST(TerminalNameConnectors, PlainNumbersStayUnqualifiedAndTheRemainderIsLowerCase) {
    expectNames("conn1/5", {"5"});
    expectFailure("conn1/TRIGIN", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("conn2/DIFF PFI3", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("conn1/64", ZYOSTREL_Status_TerminalNumberOutOfRange);
    expectFailure("conn1/ai64", ZYOSTREL_Status_TerminalIndexOutOfRange);
}

TEST(TerminalNameConnectors, IncompletePrefixLeavesTheTokenUnqualified) {
    expectFailure("conn2/", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("conn2/ ", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("conn/ai0", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("connx2/ai0", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("conn2 /ai0", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("con2/ai0", ZYOSTREL_Status_InvalidTerminalName);
}

TEST(TerminalNameConnectors, OnlyQualifiedNamesAreOwned) {
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
}

TEST(TerminalNameLists, TokensResolveInOrderAndTheFirstFailureEndsTheList) {
    expectNames("AO1,AI0,conn3/clk2,TRIGIN,4", {"AO1", "AI0", "Conn3/CLK2", "TRIGIN", "4"});
    expectNames("AI0,AI0", {"AI0", "AI0"});
    expectFailure("AI0,", ZYOSTREL_Status_InvalidTerminalName, {"AI0"});
    expectFailure(",AI0", ZYOSTREL_Status_InvalidTerminalName);
    expectFailure("AI0,,AI1", ZYOSTREL_Status_InvalidTerminalName, {"AI0"});
    expectFailure("AI0, AI1", ZYOSTREL_Status_InvalidTerminalName, {"AI0"});
    expectFailure("AI0,AI64,AI1", ZYOSTREL_Status_TerminalIndexOutOfRange, {"AI0"});
    expectFailure("AI0,64,AI1", ZYOSTREL_Status_TerminalNumberOutOfRange, {"AI0"});
    expectFailure(",", ZYOSTREL_Status_InvalidTerminalName);
}

TEST(TerminalNameLists, AtMostNinetySixNames) {
    expectNames("AI0-AI63,AO0-AO31", [] {
        Names names = sequence("AI", 0, 63);
        const Names ao = sequence("AO", 0, 31);
        names.insert(names.end(), ao.begin(), ao.end());
        return names;
    }());
    expectFailure("DIO0-DIO95,AI0", ZYOSTREL_Status_TooManyTerminalNames, sequence("DIO", 0, 95));
    expectFailure("DIO0-DIO95,TRIGIN", ZYOSTREL_Status_TooManyTerminalNames,
                  sequence("DIO", 0, 95));
    expectFailure("AI0-AI63,AO0-AO40", ZYOSTREL_Status_TooManyTerminalNames, [] {
        Names names = sequence("AI", 0, 63);
        const Names ao = sequence("AO", 0, 31);
        names.insert(names.end(), ao.begin(), ao.end());
        return names;
    }());
    // The 97th name fails before the range's index check does.
    expectFailure("DIO0-DIO94,AI62-AI70", ZYOSTREL_Status_TooManyTerminalNames, [] {
        Names names = sequence("DIO", 0, 94);
        names.push_back("AI62");
        return names;
    }());
    expectFailure("conn1/dio0-dio95,conn1/ai0", ZYOSTREL_Status_TooManyTerminalNames,
                  sequence("Conn1/DIO", 0, 95));
    expectFailure("conn1/dio95,conn1/dio0-dio95", ZYOSTREL_Status_TooManyTerminalNames, [] {
        Names names{"Conn1/DIO95"};
        const Names all = sequence("Conn1/DIO", 0, 94);
        names.insert(names.end(), all.begin(), all.end());
        return names;
    }());

    std::string ninetySeven = "0";
    for (int i = 1; i < 97; ++i) ninetySeven += ",0";
    const Resolution result = resolve(ninetySeven.c_str());
    EXPECT_EQ(result.status, ZYOSTREL_Status_TooManyTerminalNames);
    EXPECT_EQ(result.names.size(), kMaxResolvedNames);
}

TEST(TerminalNameLists, TokensUpTo255Characters) {
    const std::string longest = "AI" + std::string(252, '0') + "5";
    ASSERT_EQ(longest.size(), kMaxTokenLength);
    expectNames(longest.c_str(), {"AI5"});
    expectNames(("AI1," + longest).c_str(), {"AI1", "AI5"});

    const std::string tooLong = "AI" + std::string(253, '0') + "5";
    expectFailure(tooLong.c_str(), ZYOSTREL_Status_InvalidTerminalName);
    expectFailure(("AI1," + tooLong).c_str(), ZYOSTREL_Status_InvalidTerminalName, {"AI1"});
    expectFailure(("conn1/ai1 " + std::string(246, 'x')).c_str(),
                  ZYOSTREL_Status_InvalidTerminalName);
    expectNames(("conn1/ai1 " + std::string(245, 'x')).c_str(), {"Conn1/AI1"});
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
    for (const std::uint32_t attribute : {0u, 0x10000009u, 0x20000004u, 0x40000000u}) {
        ResolvedNames absent(nullptr, attribute);
        EXPECT_EQ(resolveNames(absent), 0);
        ASSERT_EQ(absent.count, 1u);
        EXPECT_EQ(absent.names[0], nullptr);

        const char* empty = "";
        ResolvedNames blank(empty, attribute);
        EXPECT_EQ(resolveNames(blank), 0);
        ASSERT_EQ(blank.count, 1u);
        EXPECT_EQ(blank.names[0], empty);
    }
    // Not empty: a text of white space is a token that matches nothing.
    expectFailure(" ", ZYOSTREL_Status_InvalidTerminalName);
}

TEST(TerminalNameResolution, ResolvingAgainStartsAFreshList) {
    ResolvedNames list("conn1/ai0-ai7", 0);
    ASSERT_EQ(resolveNames(list), 0);
    ASSERT_EQ(list.count, 8u);
    list.input = "AO3";
    ASSERT_EQ(resolveNames(list), 0);
    ASSERT_EQ(list.count, 1u);
    EXPECT_STREQ(list.names[0], "AO3");
    EXPECT_TRUE(list.ownedTexts.empty());
}

TEST(StreamNames, DecimalTextUpTo63) {
    for (std::uint32_t n = 0; n <= 63; ++n) {
        ASSERT_NE(streamName(n), nullptr);
        EXPECT_EQ(streamName(n), std::to_string(n));
    }
    EXPECT_EQ(streamName(63), streamName(63));
    EXPECT_EQ(streamName(64), nullptr);
    EXPECT_EQ(streamName(0xFFFFFFFFu), nullptr);
}

TEST(NameLookups, AnalogChannelIndexOfAiThenAoNames) {
    EXPECT_EQ(analogChannelIndex("AI5"), 5);
    EXPECT_EQ(analogChannelIndex("ai63"), 63);
    EXPECT_EQ(analogChannelIndex("AO7"), 7);
    EXPECT_EQ(analogChannelIndex("ao0"), 0);
    EXPECT_EQ(analogChannelIndex("AI100"), 100);
    EXPECT_EQ(analogChannelIndex("AI-1"), 4294967295LL);
    EXPECT_EQ(analogChannelIndex("AI 2"), 2);
    EXPECT_EQ(analogChannelIndex("Conn2/AI0"), -1);
    EXPECT_EQ(analogChannelIndex("AI5 "), -1);
    EXPECT_EQ(analogChannelIndex("AI0-AI3"), -1);
    EXPECT_EQ(analogChannelIndex("Ai5"), -1);
    EXPECT_EQ(analogChannelIndex("DIO1"), -1);
    EXPECT_EQ(analogChannelIndex("5"), -1);
    EXPECT_EQ(analogChannelIndex(""), -1);
    EXPECT_EQ(analogChannelIndex(nullptr), -1);
}

TEST(NameLookups, SiNamesInEitherCase) {
    EXPECT_TRUE(isSiName("SI0"));
    EXPECT_TRUE(isSiName("si7"));
    EXPECT_TRUE(isSiName("SI9"));
    EXPECT_FALSE(isSiName("Si1"));
    EXPECT_FALSE(isSiName("SO1"));
    EXPECT_FALSE(isSiName("Ser1_RefClk"));
    EXPECT_FALSE(isSiName("SI"));
    EXPECT_FALSE(isSiName("SI1,SI2"));
    EXPECT_FALSE(isSiName(""));
    EXPECT_FALSE(isSiName(nullptr));
}

}  // namespace
}  // namespace zyostrel::attributes
