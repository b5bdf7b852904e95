// The terminal and channel name grammar: families, the table of rules, list and token limits
// and the name lookups. The defaults of an empty text are checked through the attribute
// records (AttributeRecordsTest) and against the reference (NamesDifferentialTest).
#include <gtest/gtest.h>

#include <string>

#include "attributes/TerminalNames.h"
#include "tests/names/NameSamples.h"

namespace zyostrel::attributes {
namespace {

using namespace zytest::names;

// Resolves the text and checks the status and the names resolved up to it, in order.
void expectResolution(const std::string& text, std::int32_t status, const Names& names = {}) {
    ResolvedNames list(text.c_str(), 0);
    EXPECT_EQ(resolveNames(list), status) << text;
    Names resolved;
    for (const char* name : list) resolved.emplace_back(name != nullptr ? name : "(null)");
    EXPECT_EQ(resolved, names) << text;
}

Names sequence(const std::string& prefix, unsigned first, unsigned last) {
    Names names;
    for (unsigned i = first; i <= last; ++i) names.push_back(prefix + std::to_string(i));
    return names;
}

Names join(Names names, const Names& more) {
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

TEST(TerminalNameFamilies, EveryIndexOfEveryFamilyInBothCasesAndNoFurther) {
    for (const Family& f : kFamilies) {
        Names all;
        for (unsigned i = 0; i <= f.top; ++i) {
            all.push_back(f.upper(i));
            expectResolution(f.upper(i), 0, {all[i]});
            expectResolution(f.lower(i), 0, {all[i]});
        }
        expectResolution(f.upper(f.top + 1), kIndex);
        expectResolution(f.lower(f.top + 1), kIndex);
        expectResolution(f.upper(0) + "-" + f.upper(f.top), 0, all);
        expectResolution(f.lower(f.top) + "-" + f.lower(0), 0, all);
    }
}

TEST(TerminalNameGrammar, EachTextResolvesToItsNamesOrFailsWithItsStatus) {
    for (const GrammarRow& row : kGrammarRows) expectResolution(row.text, row.status, row.names);
}

TEST(TerminalNameConnectors, ResolvingAgainStartsAFreshList) {
    ResolvedNames qualified("conn1/ai0-ai3,conn2/ao1,7", 0);
    ASSERT_EQ(resolveNames(qualified), 0);
    EXPECT_FALSE(qualified.ownedTexts.empty());
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
    expectResolution("AI1," + longest, 0, {"AI1", "AI5"});
    expectResolution("AI1,AI" + std::string(253, '0') + "5", kBad, {"AI1"});
    expectResolution("conn1/ai1 " + std::string(246, 'x'), kBad);
    expectResolution("conn1/ai1 " + std::string(245, 'x'), 0, {"Conn1/AI1"});
}

// The lookups on one name; the differential test compares them with the reference on many
// more texts, but never on a null one.
TEST(NameLookups, AnalogChannelIndexOfAiThenAoNamesAndSiNames) {
    EXPECT_EQ(analogChannelIndex("AO7"), 7);
    EXPECT_EQ(analogChannelIndex("AI-1"), 4294967295LL);
    EXPECT_EQ(analogChannelIndex("Conn2/AI0"), -1);
    EXPECT_EQ(analogChannelIndex(nullptr), -1);
    EXPECT_TRUE(isSiName("si7"));
    EXPECT_FALSE(isSiName(nullptr));
}

}  // namespace
}  // namespace zyostrel::attributes
