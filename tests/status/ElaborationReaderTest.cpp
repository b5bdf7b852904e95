// The in-place reader: lookups, values, escapes into UTF-8, and malformed or cut input.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "status/ElaborationReader.h"

namespace zyerr {
namespace {

constexpr std::size_t npos = JsonText::npos;

TEST(ElaborationReaderTest, FindsTheFirstMemberWithTheExactKeyOrGivesTheDefault) {
    const JsonText text(R"( {"a":1, "ab" : "x", "a":2, "n":{"a":3}} )");
    const std::size_t root = text.root();
    EXPECT_EQ(text.integerAt(text.findKey(root, "a"), -1), 1);
    EXPECT_EQ(text.stringAt(text.findKey(root, "ab"), "d"), "x");
    EXPECT_EQ(text.findKey(root, "b"), npos);
    EXPECT_EQ(text.findKey(root, "A"), npos);
    const std::size_t nested = text.findKey(root, "n");
    EXPECT_EQ(text.integerAt(text.findKey(nested, "a"), -1), 3);
    // Missing or mistyped values give the default.
    EXPECT_EQ(text.stringAt(text.findKey(root, "a"), "dflt"), "dflt");
    EXPECT_EQ(text.stringAt(npos, "dflt"), "dflt");
    EXPECT_EQ(text.integerAt(text.findKey(root, "ab"), 77), 77);
    EXPECT_EQ(text.integerAt(text.findKey(root, "missing"), 77), 77);
    EXPECT_EQ(text.findKey(text.findKey(root, "ab"), "x"), npos);  // not an object
}

TEST(ElaborationReaderTest, ValueTypes) {
    const JsonText text(R"([null,true,false,-1.5e3,"s",[],{},nul,tru])");
    std::vector<JsonType> types;
    for (std::size_t e = text.firstElement(text.root()); e != npos; e = text.nextElement(e)) {
        types.push_back(text.typeAt(e));
    }
    const std::vector<JsonType> expected{JsonType::Null,   JsonType::Boolean, JsonType::Boolean,
                                         JsonType::Number, JsonType::String,  JsonType::Array,
                                         JsonType::Object};
    EXPECT_EQ(types, expected);  // "nul" ends the walk: it is no value
    EXPECT_EQ(text.typeAt(npos), JsonType::None);
}

std::vector<int32_t> integersOf(const char* array) {
    const JsonText text(array);
    std::vector<int32_t> values;
    for (std::size_t e = text.firstElement(0); e != npos; e = text.nextElement(e)) {
        values.push_back(text.integerAt(e, -1));
    }
    return values;
}

// Fractions are cut toward zero, out-of-range values saturate, a leading zero reads as octal.
TEST(ElaborationReaderTest, IntegersFractionsRangeAndOctal) {
    EXPECT_EQ(
        integersOf(R"([12, -7, 3.9, -3.9, 2e2, 99999999999, -99999999999, 1e300, 0])"),
        (std::vector<int32_t>{12, -7, 3, -3, 200, 2147483647, -2147483647 - 1, 2147483647, 0}));
    EXPECT_EQ(integersOf("[010, 09, -017, 0]"), (std::vector<int32_t>{8, 0, -15, 0}));
}

TEST(ElaborationReaderTest, FractionsUnderADecimalCommaLocale) {
    struct RestoreLocale {
        std::string saved = std::setlocale(LC_NUMERIC, nullptr);
        ~RestoreLocale() { std::setlocale(LC_NUMERIC, saved.c_str()); }
    } restore;
    setenv("LOCPATH", ZY_TEST_LOCPATH, 1);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
        << "the build compiles this locale into " ZY_TEST_LOCPATH;
    char printed[8];
    std::snprintf(printed, sizeof(printed), "%.1f", 1.5);
    ASSERT_STREQ(printed, "1,5");
    EXPECT_EQ(integersOf("[7.75,-2.5e1,1e2,42]"), (std::vector<int32_t>{7, -25, 100, 42}));
}

TEST(ElaborationReaderTest, StringsKeepEscapesRawAndDecodeOrCopyThemIntoUtf8) {
    const JsonText text(
        R"({"s":"a\"b\\c\/d\n\t\u00e9\u20ac\ud83d\ude00","lone":"x\ud800y","bad":"\u12"})");
    const std::size_t root = text.root();
    const std::size_t s = text.findKey(root, "s");
    EXPECT_EQ(text.stringAt(s, ""), R"(a\"b\\c\/d\n\t\u00e9\u20ac\ud83d\ude00)");
    std::string decoded;
    ASSERT_TRUE(text.decodeStringAt(s, decoded));
    EXPECT_EQ(decoded, "a\"b\\c/d\n\t\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    ASSERT_TRUE(text.decodeStringAt(text.findKey(root, "lone"), decoded));
    EXPECT_EQ(decoded, "x\xef\xbf\xbdy");
    ASSERT_TRUE(text.decodeStringAt(text.findKey(root, "bad"), decoded));
    EXPECT_EQ(decoded, "u12");
    // A copy into a buffer is decoded and cut on a character boundary.
    const JsonText euro(R"(["ab\u20ac"])");
    const std::size_t e = euro.firstElement(0);
    char big[16];
    EXPECT_TRUE(euro.copyStringAt(e, big, sizeof(big)));
    EXPECT_STREQ(big, "ab\xe2\x82\xac");
    char small[5];  // room for "ab" and 2 of the 3 bytes of the euro sign
    EXPECT_FALSE(euro.copyStringAt(e, small, sizeof(small)));
    EXPECT_STREQ(small, "ab");
    char none[4] = "zzz";
    EXPECT_FALSE(euro.copyStringAt(npos, none, sizeof(none)));
    EXPECT_STREQ(none, "");
}

TEST(ElaborationReaderTest, MembersAndEnds) {
    const JsonText text(R"({"a":[1,{"b":"]}"}],"c":{}})");
    const std::size_t root = text.root();
    std::vector<std::string> keys;
    for (std::size_t m = text.firstMember(root); m != npos; m = text.nextMember(m)) {
        keys.emplace_back(text.stringAt(m, ""));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(text.endOf(root), text.size() - 1);
    const std::size_t a = text.findKey(root, "a");
    EXPECT_EQ(text.view()[text.endOf(a)], ']');
    EXPECT_EQ(text.endOf(text.findKey(root, "c")), text.size() - 2);
}

TEST(ElaborationReaderTest, CutUnbalancedOrMismatchedTextHasNoEnd) {
    const char* const samples[] = {
        "",
        "{",
        "{\"a\"",
        "{\"a\":",
        "{\"a\":1",
        "{\"a\":[1,2}",
        "[1,2",
        "{\"a\":\"open}",
        "\"\\",
        "}",
        "]]]",
        "{\"x\":{\"y\":{\"z\":",
        "{\"a\":\"\\u12",
        "[1}",
        "{\"a\":1]",  // mismatched bracket kinds
    };
    for (const char* sample : samples) {
        const JsonText text(sample);
        const std::size_t root = text.root();
        EXPECT_EQ(text.endOf(root), npos) << sample;
        EXPECT_EQ(text.skipValue(root), npos) << sample;
        EXPECT_EQ(text.stringAt(text.findKey(root, "a"), "d"), "d") << sample;
    }
}

TEST(ElaborationReaderTest, MalformedMembersAreNotFound) {
    const char* const samples[] = {
        "{\"a\"1}", "{\"a\":-}",         "{\"a\":1.}",        "{\"a\":1e}",
        "{a:1}",    "{\"b\":x,\"a\":1}", "{\"b\":1 \"a\":1}",
    };
    for (const char* sample : samples) {
        const JsonText text(sample);
        const std::size_t value = text.findKey(text.root(), "a");
        EXPECT_EQ(text.typeAt(value), JsonType::None) << sample;
        EXPECT_EQ(text.integerAt(value, -9), -9) << sample;
    }
    const JsonText trailingComma("{\"a\":1,}");
    EXPECT_EQ(trailingComma.integerAt(trailingComma.findKey(0, "a"), -1), 1);
    EXPECT_EQ(trailingComma.nextMember(trailingComma.firstMember(0)), npos);
}

TEST(ElaborationReaderTest, ReadsStopAtTheGivenSize) {
    // The bytes after size hold a valid continuation that must not be seen.
    const char data[] = R"({"a":"abc"}{"b":2})";
    const JsonText cut(data, 8);  // {"a":"ab
    EXPECT_EQ(cut.stringAt(cut.findKey(cut.root(), "a"), "d"), "d");
    EXPECT_EQ(cut.endOf(cut.root()), npos);
    const JsonText number(R"({"a":12345})", 8);  // {"a":123
    EXPECT_EQ(number.integerAt(number.findKey(number.root(), "a"), -1), 123);
    const JsonText nulInside("{\"a\":1}\0{\"b\":2}", 15);
    EXPECT_EQ(nulInside.size(), 7u);
}

TEST(ElaborationReaderTest, DeepNestingDoesNotExhaustTheStack) {
    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    const JsonText text(deep.c_str());
    EXPECT_EQ(text.endOf(0), deep.size() - 1);
    const std::string unbalanced = std::string(200000, '[') + "]";
    EXPECT_EQ(JsonText(unbalanced.c_str()).endOf(0), npos);
}

}  // namespace
}  // namespace zyerr
