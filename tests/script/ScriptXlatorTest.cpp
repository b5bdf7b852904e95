// The script-hosted translator through its translator entries, with elaborations written by
// the library's own status writers.
#include <gtest/gtest.h>

#include <string>

#include "status/StatusExpect.h"
#include "status/TranslatorData.h"
#include "tests/translator/ErrorsDirFixture.h"
#include "translator/ScriptXlator.h"

namespace {

using zytest::descriptionFile;
using zytest::memberOf;
using zyxlator::makeLanguageWord;

constexpr const char* kRegistration =
    R"({"zyxlatorlua_xlator":"mxlator","zyxlatorlua_settings":{"driverName":"zyostrelapi",)"
    R"("zySharedErrorsDir":"$_zyShared32Dir/errors","MIErrorsDir":"$_zyShared32Dir/mierrors"}})";

// The report of one usage item as the translator writes it.
std::string usageReport(const std::string& key, const std::string& value) {
    return R"({"dynamic":[{"type":"usage","key":")" + key + R"(","value":")" + value + R"("}]})";
}

class ScriptXlatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        xlator_ = zyxlator::createScriptXlator("mxlator_zyostrelapi", kRegistration, &created_);
        ASSERT_CODE(0, created_);
        ASSERT_NE(xlator_, nullptr);
    }
    void TearDown() override {
        if (xlator_ != nullptr) xlator_->destroy(xlator_);
    }

    // A text returned by an entry, "(null)" for none, freed with the function it came from.
    static std::string taken(char* text) {
        std::string taken = text != nullptr ? text : "(null)";
        zyxlator::translatorRealloc(text, 0, nullptr, nullptr);
        return taken;
    }
    std::string staticDesc(int32_t code, uint32_t languageWord) {
        return taken(xlator_->getStaticDesc(xlator_, code, languageWord,
                                            &zyxlator::translatorRealloc, nullptr, &status_));
    }
    std::string dynamicDesc(const std::string& json, uint32_t languageWord = 0,
                            const char* format = "json1") {
        return taken(xlator_->getDynamicDesc(xlator_, json.c_str(), languageWord, format,
                                             &zyxlator::translatorRealloc, nullptr, &status_));
    }
    // The dynamic items of an elaboration holding one usage item of key with value.
    std::string usageItems(const char* key, uint64_t value, uint32_t languageWord = 0) {
        zyerr::Status elaboration;
        zyerr::addUsageItem(zyerr::openTranslatorData(elaboration, zyerr::kLibraryTranslator), key,
                            value);
        return dynamicItems(zyerr::elaborationText(elaboration), languageWord);
    }
    std::string dynamicItems(const std::string& json, uint32_t languageWord = 0) {
        const std::string report = dynamicDesc(json, languageWord);
        const std::size_t end = report.find(R"(,"debug":)");
        return end == std::string::npos ? report : report.substr(0, end) + "}";
    }

    zytest::SharedDir shared_;  // holds no error files unless a test writes some
    zyerr::Status created_;
    zyerr::Status status_;
    zyxlator::Xlator* xlator_ = nullptr;
};

TEST_F(ScriptXlatorTest, IsCreatedAsA32ByteRecordWithBothEntries) {
    EXPECT_EQ(xlator_->structSize, 32u);
    EXPECT_NE(xlator_->getStaticDesc, nullptr);
    EXPECT_NE(xlator_->getDynamicDesc, nullptr);
}

TEST_F(ScriptXlatorTest, ReportsUsageItemsWithTheirTermsInTheRequestedLanguage) {
    const char* index = "kUsageTypeSessionIndex";
    EXPECT_EQ(usageItems(index, 2), usageReport("Session index", "2"));
    EXPECT_EQ(usageItems(index, 2, makeLanguageWord(2)), usageReport("Sitzungsindex", "2"));
    EXPECT_EQ(usageItems(index, 2, makeLanguageWord(3)),
              usageReport("セッションインデックス", "2"));
    // An unknown key is shown as it is; an unknown language number falls back to English.
    EXPECT_EQ(usageItems("kUsageTypeNotInAnyTable", 5),
              usageReport("kUsageTypeNotInAnyTable", "5"));
    EXPECT_EQ(usageItems("kUsageTypeStreamNumber", 64, makeLanguageWord(9)),
              usageReport("Stream number", "64"));
    EXPECT_EQ(staticDesc(-52005, makeLanguageWord(9)), "Error description not found");
    EXPECT_CODE(0, status_);
}

TEST_F(ScriptXlatorTest, ShowsAttributeIdentifiersAndEnumValuesByTheirNames) {
    EXPECT_EQ(usageItems("kUsageTypeAttributeId", 268435459),
              usageReport("Attribute", "Stream Data Format"));
    // An identifier the table does not name, one beyond 32 bits, and another usage's number.
    EXPECT_EQ(usageItems("kUsageTypeConflictingAttr", 0x10000002),
              usageReport("Conflicting attribute", "0x10000002"));
    EXPECT_EQ(usageItems("kUsageTypeAffectedAttribute", 0x100000000),
              usageReport("Affected attribute", "4294967296"));
    EXPECT_EQ(usageItems("kUsageTypeValue", 268435459), usageReport("Value", "268435459"));

    const std::string head = R"({"translator":"mxlator_zyostrelapi","translator_info":)"
                             R"({"ordered_data":[{"type":"usage","usage":"kUsageTypeValue",)";
    EXPECT_EQ(dynamicItems(head + R"("value":"1","value_type":{"type":"enum","id":268435459}}]}})"),
              usageReport("Value", "FIFO Per Channel"));
    // Arrays map element by element; a value without a name keeps its number.
    EXPECT_EQ(dynamicItems(head + R"("value":[0,7,2147483646],)"
                                  R"("value_type":{"type":"enum","id":268435478}}]}})"),
              R"({"dynamic":[{"type":"usage","key":"Value","value":["0","7","Falling Edge"]}]})");
    EXPECT_EQ(dynamicItems(head + R"("value":3,"value_type":{"type":"enum","id":1}}]}})"),
              usageReport("Value", "3"));
}

TEST_F(ScriptXlatorTest, KeepsTheOrderAndKindOfReportItems) {
    EXPECT_EQ(
        dynamicItems(R"({"translator_info":{"ordered_data":[{"type":"header","usage":)"
                     R"("kAuxTermPossibleCauses"},{"type":"empty"},{"type":"bogus"},)"
                     R"({"type":"elaboration","usage":"kAuxTermNone"},)"
                     R"({"type":"usage","usage":"kUsageTypeValue","value":[]}]}})",
                     makeLanguageWord(1)),
        R"({"dynamic":[{"type":"header","value":"Causes possibles"},{"type":"empty"},)"
        R"({"type":"elaboration","value":"Aucun"},{"type":"usage","key":"Valeur","value":[]}]})");
    // Without usage items the report still holds arrays, as the json1 format requires.
    EXPECT_EQ(dynamicItems("{}"), R"({"dynamic":[]})");
}

TEST_F(ScriptXlatorTest, DebugItemsCarryTheSourceAndTheRestOfTheElaboration) {
    EXPECT_EQ(
        dynamicDesc(R"({"component":"zyostrelapi","file":"a.cpp","line":12,)"
                    R"("translator_info":{},"error_constant":"x"})"),
        R"({"dynamic":[],"debug":[{"type":"usage","key":"Component","value":"zyostrelapi"},)"
        R"({"type":"usage","key":"File","value":"a.cpp"},)"
        R"({"type":"usage","key":"Line","value":"12"},)"
        R"({"type":"usage","key":"rest_of_input_json","value":"{\"error_constant\":\"x\"}"}]})");
}

TEST_F(ScriptXlatorTest, AFormatOtherThanJson1BecomesTheStatus) {
    EXPECT_EQ(dynamicDesc("{}", 0, "json2"), "(null)");
    EXPECT_CODE(-52029, status_);
    EXPECT_EQ(memberOf(status_, "zyxlatorlua_debug", "debug"), "failed to get dynamic desc");
}

TEST_F(ScriptXlatorTest, AnElaborationThatIsNotJsonIsAScriptFailure) {
    EXPECT_EQ(dynamicDesc("{not json"), "(null)");
    EXPECT_CODE(-52003, status_);
    EXPECT_EQ(memberOf(status_, "internal_error", "api"), "lua");
    EXPECT_EQ(memberOf(status_, "internal_error", "code"), "2");
    // The message handler adds where in the scripts the error arose.
    EXPECT_NE(memberOf(status_, "internal_error", "string").find("stack traceback"),
              std::string::npos);
    EXPECT_EQ(memberOf(status_, "zyxlatorlua_debug", "debug"), "failed to get dynamic desc");
    // An entry does nothing once the status holds an error.
    EXPECT_EQ(staticDesc(-52005, 0), "(null)");
}

TEST_F(ScriptXlatorTest, StaticDescriptionComesFromTheErrorsDirectory) {
    EXPECT_EQ(staticDesc(-52005, 0), "Error description not found");
    shared_.writeErrors("German", "zy.txt", descriptionFile({{"-52005", "Ungültig"}}));
    shared_.writeErrors("English", "other.txt", descriptionFile({{"-1", "One"}}));
    shared_.writeErrors("", "zy.txt", descriptionFile({{"-52005", "Invalid"}}));
    EXPECT_EQ(staticDesc(-52005, makeLanguageWord(2)), "Ungültig");
    // No French directory: the English one, which has nothing, then the errors directory.
    EXPECT_EQ(staticDesc(-52005, makeLanguageWord(1)), "Invalid");
    EXPECT_EQ(staticDesc(-52006, makeLanguageWord(2)), "Error description not found");
    EXPECT_CODE(0, status_);
}

TEST(ScriptXlatorCreation, FailsWithTheScriptErrorForABadRegistration) {
    zyerr::Status status;
    EXPECT_EQ(zyxlator::createScriptXlator("broken", "{not json", &status), nullptr);
    EXPECT_CODE(-52003, status);
    EXPECT_EQ(memberOf(status, "zyxlatorlua_debug", "debug"), "lua setupEnv failed");
    EXPECT_EQ(memberOf(status, "zyxlatorlua_debug", "name"), "broken");
    EXPECT_EQ(memberOf(status, "zyxlatorlua_debug", "registrationInfo"), "{not json");

    // A translator module that is not embedded, with no search path to find it on.
    zyerr::Status missing;
    EXPECT_EQ(zyxlator::createScriptXlator("x", R"({"zyxlatorlua_xlator":"nosuch"})", &missing),
              nullptr);
    EXPECT_FAILURE(-52003, "nosuch", missing);

    zyerr::Status held(-1);
    EXPECT_EQ(zyxlator::createScriptXlator("x", kRegistration, &held), nullptr);
    EXPECT_CODE(-1, held);
}

}  // namespace
