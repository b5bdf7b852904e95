// The script-hosted translator through its translator entries, with elaborations written by
// the library's own status writers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Paths.h"
#include "status/StatusExpect.h"
#include "status/TranslatorData.h"
#include "support/TempPath.h"
#include "translator/ScriptXlator.h"

namespace {

using zyxlator::Xlator;

constexpr const char* kRegistration =
    R"({"zyxlatorlua_xlator":"mxlator","zyxlatorlua_settings":{"driverName":"zyostrelapi",)"
    R"("zySharedErrorsDir":"$_zyShared32Dir/errors","MIErrorsDir":"$_zyShared32Dir/mierrors"}})";

// A text returned by a translator entry, freed with the allocate function it came from.
struct Text {
    char* text = nullptr;
    ~Text() { zyxlator::translatorRealloc(text, 0, nullptr, nullptr); }
    std::string str() const { return text != nullptr ? text : "(null)"; }
};

class ScriptXlatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The shared directory is a scratch directory of this test, holding no error files
        // unless a test writes some.
        sharedDir_ = zytest::uniqueTempPath("zyshared");
        ::mkdir(sharedDir_.c_str(), 0700);
        shareDirFile_ = sharedDir_ + ".dir";
        std::ofstream(shareDirFile_) << sharedDir_ << "\n";
        zyostrel::platform::setShareDirFileForTesting(shareDirFile_.c_str());
        xlator_ = zyxlator::createScriptXlator("mxlator_zyostrelapi", kRegistration, &created_);
    }
    void TearDown() override {
        if (xlator_ != nullptr) xlator_->destroy(xlator_);
        zyostrel::platform::setShareDirFileForTesting(nullptr);
        std::remove(shareDirFile_.c_str());
        std::system(("rm -rf '" + sharedDir_ + "'").c_str());
    }

    std::string staticDesc(int32_t code, uint32_t languageWord) {
        Text text;
        text.text = xlator_->getStaticDesc(xlator_, code, languageWord,
                                           &zyxlator::translatorRealloc, nullptr, &status_);
        return text.str();
    }
    std::string dynamicDesc(const std::string& json, uint32_t languageWord = 0,
                            const char* format = "json1") {
        Text text;
        text.text = xlator_->getDynamicDesc(xlator_, json.c_str(), languageWord, format,
                                            &zyxlator::translatorRealloc, nullptr, &status_);
        return text.str();
    }
    // The dynamic items of an elaboration holding one usage item of key with value.
    std::string usageReport(const char* key, uint64_t value, uint32_t languageWord = 0) {
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

    std::string sharedDir_;
    std::string shareDirFile_;
    zyerr::Status created_;
    zyerr::Status status_;
    Xlator* xlator_ = nullptr;
};

TEST_F(ScriptXlatorTest, IsCreatedAsA32ByteRecordWithBothEntries) {
    ASSERT_CODE(0, created_);
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(xlator_->structSize, 32u);
    EXPECT_NE(xlator_->getStaticDesc, nullptr);
    EXPECT_NE(xlator_->getDynamicDesc, nullptr);
}

TEST_F(ScriptXlatorTest, ReportsUsageItemsWithTheirTermsInTheRequestedLanguage) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(usageReport("kUsageTypeSessionIndex", 2),
              R"({"dynamic":[{"type":"usage","key":"Session index","value":"2"}]})");
    EXPECT_EQ(usageReport("kUsageTypeSessionIndex", 2, zyxlator::makeLanguageWord(2)),
              R"({"dynamic":[{"type":"usage","key":"Sitzungsindex","value":"2"}]})");
    EXPECT_EQ(usageReport("kUsageTypeSessionIndex", 2, zyxlator::makeLanguageWord(3)),
              R"({"dynamic":[{"type":"usage","key":"セッションインデックス","value":"2"}]})");
    // An unknown key is shown as it is.
    EXPECT_EQ(usageReport("kUsageTypeNotInAnyTable", 5),
              R"({"dynamic":[{"type":"usage","key":"kUsageTypeNotInAnyTable","value":"5"}]})");
    EXPECT_CODE(0, status_);
}

TEST_F(ScriptXlatorTest, UnknownLanguageNumberFallsBackToEnglish) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(usageReport("kUsageTypeStreamNumber", 64, zyxlator::makeLanguageWord(9)),
              R"({"dynamic":[{"type":"usage","key":"Stream number","value":"64"}]})");
    EXPECT_EQ(staticDesc(-52005, zyxlator::makeLanguageWord(9)), "Error description not found");
    EXPECT_CODE(0, status_);
}

TEST_F(ScriptXlatorTest, ShowsAttributeIdentifiersByTheirDisplayNames) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(usageReport("kUsageTypeAttributeId", 268435459),
              R"({"dynamic":[{"type":"usage","key":"Attribute","value":"Stream Data Format"}]})");
    // An identifier the table does not name, and one beyond 32 bits.
    EXPECT_EQ(
        usageReport("kUsageTypeConflictingAttr", 0x10000002),
        R"({"dynamic":[{"type":"usage","key":"Conflicting attribute","value":"0x10000002"}]})");
    EXPECT_EQ(usageReport("kUsageTypeAffectedAttribute", 0x100000000),
              R"({"dynamic":[{"type":"usage","key":"Affected attribute","value":"4294967296"}]})");
    // Other usages keep the number.
    EXPECT_EQ(usageReport("kUsageTypeValue", 268435459),
              R"({"dynamic":[{"type":"usage","key":"Value","value":"268435459"}]})");
}

TEST_F(ScriptXlatorTest, ShowsEnumValuesByTheirNames) {
    ASSERT_NE(xlator_, nullptr);
    const std::string head =
        R"({"translator":"mxlator_zyostrelapi","translator_info":{"ordered_data":[)";
    EXPECT_EQ(dynamicItems(head + R"({"type":"usage","usage":"kUsageTypeValue","value":"1",)"
                                  R"("value_type":{"type":"enum","id":268435459}}]}})"),
              R"({"dynamic":[{"type":"usage","key":"Value","value":"FIFO Per Channel"}]})");
    // Arrays map element by element; a value without a name keeps its number.
    EXPECT_EQ(dynamicItems(head + R"({"type":"usage","usage":"kUsageTypeValue","value":[0,7,)"
                                  R"(2147483646],"value_type":{"type":"enum","id":268435478}}]}})"),
              R"({"dynamic":[{"type":"usage","key":"Value","value":["0","7","Falling Edge"]}]})");
    EXPECT_EQ(dynamicItems(head + R"({"type":"usage","usage":"kUsageTypeValue","value":3,)"
                                  R"("value_type":{"type":"enum","id":1}}]}})"),
              R"({"dynamic":[{"type":"usage","key":"Value","value":"3"}]})");
}

TEST_F(ScriptXlatorTest, KeepsTheOrderAndKindOfReportItems) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(
        dynamicItems(R"({"translator_info":{"ordered_data":[{"type":"header","usage":)"
                     R"("kAuxTermPossibleCauses"},{"type":"empty"},{"type":"bogus"},)"
                     R"({"type":"elaboration","usage":"kAuxTermNone"},)"
                     R"({"type":"usage","usage":"kUsageTypeValue","value":[]}]}})",
                     zyxlator::makeLanguageWord(1)),
        R"({"dynamic":[{"type":"header","value":"Causes possibles"},{"type":"empty"},)"
        R"({"type":"elaboration","value":"Aucun"},{"type":"usage","key":"Valeur","value":[]}]})");
    // Without usage items the report still holds arrays, as the json1 format requires.
    EXPECT_EQ(dynamicItems("{}"), R"({"dynamic":[]})");
}

TEST_F(ScriptXlatorTest, DebugItemsCarryTheSourceAndTheRestOfTheElaboration) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(
        dynamicDesc(R"({"component":"zyostrelapi","file":"a.cpp","line":12,)"
                    R"("translator_info":{},"error_constant":"x"})"),
        R"({"dynamic":[],"debug":[{"type":"usage","key":"Component","value":"zyostrelapi"},)"
        R"({"type":"usage","key":"File","value":"a.cpp"},)"
        R"({"type":"usage","key":"Line","value":"12"},)"
        R"({"type":"usage","key":"rest_of_input_json","value":"{\"error_constant\":\"x\"}"}]})");
}

TEST_F(ScriptXlatorTest, AFormatOtherThanJson1BecomesTheStatus) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(dynamicDesc("{}", 0, "json2"), "(null)");
    EXPECT_CODE(-52029, status_);
    EXPECT_EQ(zytest::memberOf(status_, "zyxlatorlua_debug", "debug"),
              "failed to get dynamic desc");
}

TEST_F(ScriptXlatorTest, AnElaborationThatIsNotJsonIsAScriptFailure) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(dynamicDesc("{not json"), "(null)");
    EXPECT_CODE(-52003, status_);
    EXPECT_EQ(zytest::memberOf(status_, "internal_error", "api"), "lua");
    EXPECT_EQ(zytest::memberOf(status_, "internal_error", "code"), "2");
    // The message handler adds where in the scripts the error arose.
    EXPECT_NE(zytest::memberOf(status_, "internal_error", "string").find("stack traceback"),
              std::string::npos);
    EXPECT_EQ(zytest::memberOf(status_, "zyxlatorlua_debug", "debug"),
              "failed to get dynamic desc");
    // An entry does nothing once the status holds an error.
    EXPECT_EQ(staticDesc(-52005, 0), "(null)");
}

TEST_F(ScriptXlatorTest, StaticDescriptionComesFromTheErrorsDirectory) {
    ASSERT_NE(xlator_, nullptr);
    EXPECT_EQ(staticDesc(-52005, 0), "Error description not found");
    const std::string errors = sharedDir_ + "/errors";
    ::mkdir(errors.c_str(), 0700);
    ::mkdir((errors + "/German").c_str(), 0700);
    ::mkdir((errors + "/English").c_str(), 0700);
    std::ofstream(errors + "/German/zy.txt")
        << "<?xml version=\"1.0\"?>\n<zydocument>\n<zyerror code=\"-52005\">\nUngültig\n"
           "</zyerror>\n</zydocument>\n";
    std::ofstream(errors + "/zy.txt")
        << "<?xml version=\"1.0\"?>\n<zydocument>\n<zyerror code=\"-52005\">\nInvalid\n"
           "</zyerror>\n</zydocument>\n";
    EXPECT_EQ(staticDesc(-52005, zyxlator::makeLanguageWord(2)), "Ungültig");
    // No French directory: the English one, which has nothing, then the errors directory.
    EXPECT_EQ(staticDesc(-52005, zyxlator::makeLanguageWord(1)), "Invalid");
    EXPECT_EQ(staticDesc(-52006, zyxlator::makeLanguageWord(2)), "Error description not found");
    EXPECT_CODE(0, status_);
}

TEST(ScriptXlatorCreation, FailsWithTheScriptErrorForABadRegistration) {
    zyerr::Status status;
    EXPECT_EQ(zyxlator::createScriptXlator("broken", "{not json", &status), nullptr);
    EXPECT_CODE(-52003, status);
    EXPECT_EQ(zytest::memberOf(status, "zyxlatorlua_debug", "debug"), "lua setupEnv failed");
    EXPECT_EQ(zytest::memberOf(status, "zyxlatorlua_debug", "name"), "broken");
    EXPECT_EQ(zytest::memberOf(status, "zyxlatorlua_debug", "registrationInfo"), "{not json");

    // A translator module that is not embedded, with no search path to find it on.
    zyerr::Status missing;
    EXPECT_EQ(zyxlator::createScriptXlator("x", R"({"zyxlatorlua_xlator":"nosuch"})", &missing),
              nullptr);
    EXPECT_CODE(-52003, missing);
    EXPECT_NE(zytest::memberOf(missing, "internal_error", "string").find("nosuch"),
              std::string::npos);

    zyerr::Status held(-1);
    EXPECT_EQ(zyxlator::createScriptXlator("x", kRegistration, &held), nullptr);
    EXPECT_EQ(held.code, -1);
}

}  // namespace
