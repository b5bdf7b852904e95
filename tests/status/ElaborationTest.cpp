// The in-place reader (lookups, values, escapes into UTF-8, malformed or cut input), the
// in-place writer (cursors on both bracket kinds, escaping, growth, the null cursor) and the
// translator data and usage items written with it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "status/ElaborationReader.h"
#include "status/ElaborationWriter.h"
#include "status/Status.h"
#include "status/TranslatorData.h"

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
    EXPECT_EQ(text.findKey(text.findKey(root, "ab"), "x"), npos);  // not an object
}

TEST(ElaborationReaderTest, ValueTypes) {
    const JsonText text(R"([null,true,false,-1.5e3,"s",[],{},nul,tru])");
    std::vector<JsonType> types;
    for (std::size_t e = text.firstElement(text.root()); e != npos; e = text.nextElement(e)) {
        types.push_back(text.typeAt(e));
    }
    using T = JsonType;
    EXPECT_EQ(types, (std::vector<T>{T::Null, T::Boolean, T::Boolean, T::Number, T::String,
                                     T::Array, T::Object}));  // "nul" ends the walk: no value
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
    char exact[6];  // the 5 bytes and the NUL: not cut
    EXPECT_TRUE(euro.copyStringAt(e, exact, sizeof(exact)));
    EXPECT_STREQ(exact, "ab\xe2\x82\xac");
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

// Cut, unbalanced, or closed by the other kind of bracket.
TEST(ElaborationReaderTest, CutUnbalancedOrMismatchedTextHasNoEnd) {
    const char* const samples[] = {
        "",     "{", "{\"a\"",         "{\"a\":", "{\"a\":1", "{\"a\":\"open}",
        "\"\\", "}", "{\"a\":\"\\u12", "[1}",     "{\"a\":1]"};
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

std::string textOf(const Status& status) { return elaborationText(status); }

TEST(ElaborationWriterTest, ClosingBracketAppendsOpeningBracketPrepends) {
    Status status;
    ElaborationCursor cursor = rootCursor(status);
    ASSERT_FALSE(cursor.isNull());
    cursor.addInt("a", -1).addUInt("b", 4294967295u).addUInt64("c", 18446744073709551615ull);
    EXPECT_EQ(textOf(status), R"({"a":-1,"b":4294967295,"c":18446744073709551615})");
    // An opening bracket prepends, with the comma after.
    Status front;
    ASSERT_TRUE(setElaboration(front, "{}"));
    const ElaborationCursor opening(front, 0);
    opening.addInt("first", 1);
    EXPECT_EQ(textOf(front), R"({"first":1})");
    opening.addInt("second", 2);
    EXPECT_EQ(textOf(front), R"({"second":2,"first":1})");
}

TEST(ElaborationWriterTest, ArraysTakeValuesWithoutKeysAtBothBrackets) {
    Status status;
    ASSERT_TRUE(setElaboration(status, R"({"list":[],"n":0})"));  // empty, then a sibling
    const ElaborationCursor opening(status, 8);
    opening.addString("ignored", "x");
    const ElaborationCursor closing(status,
                                    std::strchr(status.elaboration, ']') - status.elaboration);
    closing.addInt(nullptr, 3);
    opening.addInt(nullptr, 1);
    EXPECT_EQ(textOf(status), R"({"list":[1,"x",3],"n":0})");
}

TEST(ElaborationWriterTest, NestedContainersAndEnd) {
    Status status;
    ElaborationCursor inner =
        rootCursor(status).beginObject("outer").addString("k", "v").beginArray("list");
    inner = inner.beginObject(nullptr).addInt("n", 1).end();
    ElaborationCursor outer = inner.beginObject(nullptr).addInt("n", 2).end().end();
    outer = outer.addInt("after", 3);
    EXPECT_EQ(textOf(status), R"({"outer":{"k":"v","list":[{"n":1},{"n":2}],"after":3}})");
    outer.end().addInt("last", 4);
    EXPECT_EQ(textOf(status), R"({"outer":{"k":"v","list":[{"n":1},{"n":2}],"after":3},"last":4})");
    EXPECT_TRUE(rootCursor(status).end().isNull());  // the root has no enclosing container
}

TEST(ElaborationWriterTest, EndOfAContainerWrittenAtAnOpeningBracketReachesTheParentsEnd) {
    Status status;
    ASSERT_TRUE(setElaboration(status, R"({"z":1})"));
    ElaborationCursor front(status, 0);
    front.beginObject("o").addInt("i", 1).end().addInt("tail", 2);
    EXPECT_EQ(textOf(status), R"({"o":{"i":1},"z":1,"tail":2})");
}

TEST(ElaborationWriterTest, StringsAndKeysAreEscaped) {
    Status status;
    rootCursor(status).addString("s", "q\"t\t\x01 \\ \b\f\n\r \x7f \xc3\xa9");
    EXPECT_EQ(textOf(status), "{\"s\":\"q\\\"t\\t\\u0001 \\\\ \\b\\f\\n\\r \\u007f \xc3\xa9\"}");
    Status key;
    rootCursor(key).addString("a\"b", nullptr);  // a null value is the empty string
    EXPECT_EQ(textOf(key), R"({"a\"b":""})");
    char out[6];  // a bounded escape tells the full length
    EXPECT_EQ(escapeJsonString("a\"b\tc", out, sizeof(out)), 7u);
    EXPECT_STREQ(out, "a\\\"b\\");
}

TEST(ElaborationWriterTest, GrowthPast512BytesDoublesAndAnExactFitDoesNot) {
    Status status;
    ElaborationCursor cursor = rootCursor(status);
    ASSERT_EQ(status.capacity, 512u);
    const std::string value(100, 'v');
    std::string expected = "{";
    for (int i = 0; i < 12; ++i) {
        cursor = cursor.addString("key", value.c_str());
        ASSERT_FALSE(cursor.isNull());
        expected += (i == 0 ? "" : ",") + std::string("\"key\":\"") + value + "\"";
    }
    expected += "}";
    EXPECT_EQ(textOf(status), expected);
    EXPECT_EQ(status.capacity, 2048u);
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');
    EXPECT_EQ(strnlen(status.elaboration, status.capacity), expected.size());
    // An exact fit uses the last free byte: 510 of text, NUL, 'J'; {"k":"<v>"} is 8 + v bytes.
    Status exact;
    rootCursor(exact).addString("k", std::string(510 - 8, 'x').c_str());
    EXPECT_EQ(exact.capacity, 512u);
    EXPECT_EQ(std::strlen(exact.elaboration), 510u);
    EXPECT_EQ(exact.elaboration[511], 'J');
}

bool refuseToGrow(Status&) { return false; }

TEST(ElaborationWriterTest, FailedGrowthGivesANullCursorThatWritesNothing) {
    Status status;
    ElaborationCursor cursor = rootCursor(status, &refuseToGrow);
    cursor = cursor.addString("small", "fits");
    ASSERT_FALSE(cursor.isNull());
    const std::string big(600, 'b');
    ElaborationCursor failed = cursor.addString("big", big.c_str());
    EXPECT_TRUE(failed.isNull());
    EXPECT_TRUE(failed.addInt("later", 1).isNull());
    EXPECT_TRUE(failed.beginObject("o").end().isNull());
    EXPECT_EQ(textOf(status), R"({"small":"fits"})");
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');
}

TEST(ElaborationWriterTest, CursorsOffABracketStaleOnAnUnterminatedBufferOrOnNoObjectAreNull) {
    Status status;
    ASSERT_TRUE(setElaboration(status, R"({"a":1})"));
    EXPECT_TRUE(ElaborationCursor(status, 1).isNull());
    EXPECT_TRUE(ElaborationCursor(status, 100).isNull());
    Status noBuffer;
    EXPECT_TRUE(ElaborationCursor(noBuffer, 0).isNull());
    Status stale;
    const ElaborationCursor root = rootCursor(stale);  // on the '}' at offset 1
    root.addInt("a", 1);                               // the '}' moves to offset 7
    EXPECT_TRUE(root.addInt("b", 2).isNull());
    EXPECT_EQ(textOf(stale), R"({"a":1})");
    // A buffer that lost its terminator is not written.
    std::memset(status.elaboration, ' ', status.capacity - 1);  // no NUL before the 'J'
    status.elaboration[0] = '{';
    status.elaboration[100] = '}';
    EXPECT_TRUE(ElaborationCursor(status, 100).addString("k", "v").isNull());
    EXPECT_EQ(status.elaboration[100], '}');
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');
    // A root cursor needs an object.
    ASSERT_TRUE(setElaboration(status, "[1,2]"));
    EXPECT_TRUE(rootCursor(status).isNull());
    ASSERT_TRUE(setElaboration(status, R"({"cut":)"));
    EXPECT_TRUE(rootCursor(status).isNull());
    ASSERT_TRUE(setElaboration(status, ""));
    EXPECT_FALSE(rootCursor(status).isNull());  // empty text counts as the empty object
    EXPECT_EQ(textOf(status), "{}");
}

// The library's translator head, and one usage item as the writer records it.
constexpr const char* kTranslator = R"({"translator":"mxlator_zyostrelapi")";
constexpr const char* kInfo = R"("translator_info":{"is_debug":"0","version":1,)";
std::string usage(const std::string& name, const std::string& value) {
    return R"({"type":"usage","usage":")" + name + R"(","value":")" + value +
           R"(","value_type":"uint64_t"})";
}

TEST(TranslatorDataTest, FirstOpeningWritesTheTranslatorAndItsInfo) {
    Status status;
    ElaborationCursor cursor = openTranslatorData(status, kLibraryTranslator);
    ASSERT_FALSE(cursor.isNull());
    cursor = addUsageItem(cursor, "kUsageTypeSessionIndex", 3);
    addUsageItem(cursor, "kUsageTypeAttribute", 18446744073709551615ull);
    EXPECT_EQ(textOf(status), std::string(kTranslator) + "," + kInfo + R"("ordered_data":[)" +
                                  usage("kUsageTypeSessionIndex", "3") + "," +
                                  usage("kUsageTypeAttribute", "18446744073709551615") + "]}}");
}

// After a location the translator data follows; reopening the same translator appends.
TEST(TranslatorDataTest, LocationFirstThenItemsAppendedOnEachOpening) {
    Status status;
    setCode(status, -304329, SourceLocation{"f.cpp", 12, nullptr, ""});
    addUsageItem(openTranslatorData(status, kLibraryTranslator), "first", 1);
    addUsageItem(openTranslatorData(status, kLibraryTranslator), "second", 2);
    EXPECT_EQ(textOf(status), R"({"file":"f.cpp","line":12,"translator":"mxlator_zyostrelapi",)" +
                                  std::string(kInfo) + R"("ordered_data":[)" + usage("first", "1") +
                                  "," + usage("second", "2") + "]}}");
}

TEST(TranslatorDataTest, MissingPartsOfTheSameTranslatorAreCreated) {
    const std::string item = R"("ordered_data":[)" + usage("k", "1") + "]}}";
    const struct {
        std::string given, expected;
    } rows[] = {
        {std::string(kTranslator) + "}", std::string(kTranslator) + "," + kInfo + item},
        {std::string(kTranslator) + R"(,"translator_info":{"version":1}})",
         std::string(kTranslator) + R"(,"translator_info":{"version":1,)" + item},
    };
    for (const auto& row : rows) {
        Status status;
        ASSERT_TRUE(setElaboration(status, row.given.c_str()));
        addUsageItem(openTranslatorData(status, kLibraryTranslator), "k", 1);
        EXPECT_EQ(textOf(status), row.expected);
    }
}

// Another translator's elaboration, or malformed device text, is left alone.
TEST(TranslatorDataTest, ForeignOrMalformedTextGetsNoItems) {
    const char* const samples[] = {
        R"({"translator":"mxlator_other","translator_info":{"ordered_data":[]}})",
        R"({"translator":"mxlator_zyostrelapi","translator_info":{"ordered_data":[)",
        R"({"translator":"mxlator_zyostrelapi","translator_info":"x"})",
        R"({"translator":"mxlator_zyostrelapi","translator_info":{"ordered_data":{}}})",
        R"({"translator":7})",
        R"([])",
    };
    for (const char* sample : samples) {
        Status status;
        ASSERT_TRUE(setElaboration(status, sample));
        const ElaborationCursor cursor = openTranslatorData(status, kLibraryTranslator);
        EXPECT_TRUE(cursor.isNull()) << sample;
        EXPECT_TRUE(addUsageItem(cursor, "k", 1).isNull()) << sample;
        EXPECT_STREQ(elaborationText(status), sample);
    }
}

}  // namespace
}  // namespace zyerr
