// Translator data and usage items in an elaboration.
#include <gtest/gtest.h>

#include <string>

#include "status/ElaborationReader.h"
#include "status/TranslatorData.h"

namespace zyerr {
namespace {

TEST(TranslatorDataTest, FirstOpeningWritesTheTranslatorAndItsInfo) {
    Status status;
    ElaborationCursor cursor = openTranslatorData(status, kLibraryTranslator);
    ASSERT_FALSE(cursor.isNull());
    cursor = addUsageItem(cursor, "kUsageTypeSessionIndex", 3);
    addUsageItem(cursor, "kUsageTypeAttribute", 18446744073709551615ull);
    EXPECT_STREQ(elaborationText(status),
                 R"({"translator":"mxlator_zyostrelapi","translator_info":{"is_debug":"0",)"
                 R"("version":1,"ordered_data":[{"type":"usage","usage":"kUsageTypeSessionIndex",)"
                 R"("value":"3","value_type":"uint64_t"},{"type":"usage",)"
                 R"("usage":"kUsageTypeAttribute","value":"18446744073709551615",)"
                 R"("value_type":"uint64_t"}]}})");
}

// After a location the translator data follows; reopening the same translator appends.
TEST(TranslatorDataTest, LocationFirstThenItemsAppendedOnEachOpening) {
    Status status;
    setCode(status, -304329, SourceLocation{"DspReset.cpp", 12, kComponent, ""});
    addUsageItem(openTranslatorData(status, kLibraryTranslator), "first", 1);
    addUsageItem(openTranslatorData(status, kLibraryTranslator), "second", 2);
    const JsonText text(elaborationText(status));
    EXPECT_EQ(text.stringAt(text.findKey(0, "file"), ""), "DspReset.cpp");
    const std::size_t data = text.findKey(text.findKey(0, "translator_info"), "ordered_data");
    const std::size_t first = text.firstElement(data);
    const std::size_t second = text.nextElement(first);
    EXPECT_EQ(text.stringAt(text.findKey(first, "usage"), ""), "first");
    EXPECT_EQ(text.stringAt(text.findKey(second, "usage"), ""), "second");
    EXPECT_EQ(text.nextElement(second), JsonText::npos);
    EXPECT_NE(text.endOf(0), JsonText::npos);
}

TEST(TranslatorDataTest, AnotherTranslatorsElaborationIsLeftAlone) {
    Status status;
    const char* original =
        R"({"translator":"mxlator_other","translator_info":{"ordered_data":[]}})";
    ASSERT_TRUE(setElaboration(status, original));
    const ElaborationCursor cursor = openTranslatorData(status, kLibraryTranslator);
    EXPECT_TRUE(cursor.isNull());
    EXPECT_TRUE(addUsageItem(cursor, "k", 1).isNull());
    EXPECT_STREQ(elaborationText(status), original);
}

TEST(TranslatorDataTest, MissingPartsOfTheSameTranslatorAreCreated) {
    const struct {
        const char* given;
        const char* expected;
    } rows[] = {
        {R"({"translator":"mxlator_zyostrelapi"})",
         R"({"translator":"mxlator_zyostrelapi","translator_info":{"is_debug":"0",)"
         R"("version":1,"ordered_data":[{"type":"usage","usage":"k","value":"1",)"
         R"("value_type":"uint64_t"}]}})"},
        {R"({"translator":"mxlator_zyostrelapi","translator_info":{"version":1}})",
         R"({"translator":"mxlator_zyostrelapi","translator_info":{"version":1,)"
         R"("ordered_data":[{"type":"usage","usage":"k","value":"1",)"
         R"("value_type":"uint64_t"}]}})"},
    };
    for (const auto& row : rows) {
        Status status;
        ASSERT_TRUE(setElaboration(status, row.given));
        addUsageItem(openTranslatorData(status, kLibraryTranslator), "k", 1);
        EXPECT_STREQ(elaborationText(status), row.expected);
    }
}

TEST(TranslatorDataTest, MalformedDeviceTextGetsNoItems) {
    const char* const samples[] = {
        R"({"translator":"mxlator_zyostrelapi","translator_info":{"ordered_data":[)",
        R"({"translator":"mxlator_zyostrelapi","translator_info":"x"})",
        R"({"translator":"mxlator_zyostrelapi","translator_info":{"ordered_data":{}}})",
        R"({"translator":7})",
        R"([])",
    };
    for (const char* sample : samples) {
        Status status;
        ASSERT_TRUE(setElaboration(status, sample));
        EXPECT_TRUE(openTranslatorData(status, kLibraryTranslator).isNull()) << sample;
        EXPECT_STREQ(elaborationText(status), sample);
    }
}

}  // namespace
}  // namespace zyerr
