// The json1 formatter's plain-text layout, report items, nested errors and the fallbacks of
// translate, with a test translator in place of the script-hosted one.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ErrorsDirFixture.h"
#include "status/Exception.h"
#include "translator/Json1.h"
#include "translator/Registration.h"

namespace {

using zytest::descriptionFile;
using zyxlator::Xlator;

// The test translator: "Text <code>." over two lines as its static description (none for
// codes from -400 down), and the report it is given as its dynamic description.
std::string report = "{}";
int dynamicCalls = 0;

char* copyText(const std::string& text, zyxlator::AllocateFunction allocate, void* context,
               zyerr::Status* status) {
    auto* copy = static_cast<char*>(allocate(nullptr, text.size() + 1, context, status));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

char* testStatic(Xlator*, int32_t code, uint32_t, zyxlator::AllocateFunction allocate,
                 void* context, zyerr::Status* status) {
    if (code <= -400) {
        zyerr::setCode(*status, -52006);
        return nullptr;
    }
    return copyText("Text " + std::to_string(code) + ".\nSecond line.", allocate, context, status);
}

char* testDynamic(Xlator*, const char*, uint32_t, const char* format,
                  zyxlator::AllocateFunction allocate, void* context, zyerr::Status* status) {
    ++dynamicCalls;
    EXPECT_STREQ(format, "json1");
    return copyText(report, allocate, context, status);
}

Xlator testXlator{zyxlator::kXlatorStructSize, [](Xlator*) {}, &testStatic, &testDynamic};

const zyxlator::XlatorRegistration kTestRegistrations[] = {
    {"test_xlator", "{}",
     [](const char*, const char*, zyerr::Status* status) -> Xlator* {
         return status->isError() ? nullptr : &testXlator;
     }},
};

constexpr const char* kOwnText = "Text -1.\nSecond line.";

class Json1Test : public ::testing::Test {
protected:
    void SetUp() override {
        report = "{}";
        dynamicCalls = 0;
        zyxlator::setTestRegistrations(kTestRegistrations, 1);
        shared.writeErrors("English", "codes.txt",
                           descriptionFile({{"-1", "Default one."}, {"-404", "Default 404."}}));
    }
    void TearDown() override { zyxlator::setTestRegistrations(nullptr, 0); }

    static zyerr::Status statusWith(
        int32_t code, const std::string& elaboration = R"({"translator":"test_xlator"})") {
        zyerr::Status status;
        zyerr::setCode(status, code);
        zyerr::setElaboration(status, elaboration.c_str());
        return status;
    }
    // One formatting run without fallbacks; its failure is left in failure.
    static void format(const zyerr::Status& source, uint32_t flags, zyerr::Status& failure) {
        zyerr::Status sessionStatus;
        zyxlator::SessionPtr session = zyxlator::createSession(sessionStatus);
        zyhtl::BasicString out;
        zyxlator::json1::formatRawText(*session, source, 0, flags, out, failure);
    }
    static std::string translate(const zyerr::Status& source, uint32_t flags = 3) {
        zyhtl::BasicString out;
        zyxlator::translate(source, 0, flags, out);
        return std::string(out.view());
    }

    zytest::SharedDir shared;
};

TEST_F(Json1Test, ReportItemsByStyle) {
    report = R"({"dynamic":[{"type":"usage","key":"Session index","value":"2"}],"debug":[]})";
    EXPECT_EQ(translate(statusWith(-1)), std::string(kOwnText) + "\n\nSession index: 2\n\n");
    report = R"({"dynamic":[{"type":"elaboration","value":"Bare text."},)"
             R"({"type":"usage","key":"Port","value":["A","B"]},)"
             R"({"type":"usage","key":"","value":"no key"},)"
             R"({"type":"usage","key":"Tab\tbed","value":"\u00e9"}],)"
             R"("debug":[{"key":"Debug","value":"only with 4"}]})";
    EXPECT_EQ(translate(statusWith(-1)), std::string(kOwnText) +
                                             "\nBare text.\nPort: A, B\nno key\nTab\tbed: "
                                             "\xC3\xA9\n\n");
    EXPECT_EQ(translate(statusWith(-1), 1 | 4),
              std::string(kOwnText) + "\n\nDebug: only with 4\n\n");
}

TEST_F(Json1Test, MalformedReportItemsRecordInvalidParameter) {
    const struct {
        const char* report;
        const char* message;
    } cases[] = {
        {R"({"dynamic":[1]})", "each array item must be an object"},
        {R"({"dynamic":{"key":"k"}})", "each array item must be an object"},
        {R"({"dynamic":[{"key":"k","value":5}]})", "\"value type\":3"},
        {R"({"dynamic":[{"key":"k","value":["a",true]}]})", "\"value type\":2"},
        {R"({"dynamic":[{"key":"k","value":"cut)", "json1 report is not a JSON object"},
        {"not json", "json1 report is not a JSON object"},
    };
    for (const auto& c : cases) {
        report = c.report;
        zyerr::Status failure;
        format(statusWith(-1), 3, failure);
        EXPECT_FAILURE(-52005, c.message, failure);
    }
}

TEST_F(Json1Test, ElaborationWithoutTranslatorAsksOnlyTheDefaultTranslator) {
    EXPECT_EQ(translate(statusWith(-1, "{}")), "Default one.\n\n");
    EXPECT_EQ(translate(statusWith(-1, "not json at all")), "Default one.\n\n");
    EXPECT_EQ(dynamicCalls, 0);
    EXPECT_EQ(translate(statusWith(0)), "");
}

TEST_F(Json1Test, NestedErrorsAreIndentedThreeBlanksPerLevel) {
    const zyerr::Status status = statusWith(
        -1, R"({"translator":"test_xlator","nested_error":{"code":-2,"translator":"test_xlator",)"
            R"("nested_error":[{"code":-3,"translator":"test_xlator"},{"code":-1}]}})");
    EXPECT_EQ(translate(status, 1 | 2 | 8), std::string(kOwnText) +
                                                "\n\n   Text -2.\n   Second line.\n\n"
                                                "      Text -3.\n      Second line.\n\n"
                                                "      Default one.\n\n");
    EXPECT_EQ(translate(status, 1 | 2), std::string(kOwnText) + "\n\n");
}

TEST_F(Json1Test, BadNestedErrorsFallBackToTheParentAlone) {
    const std::string parent = R"({"translator":"test_xlator","nested_error":)";
    zyerr::Status failure;
    const zyerr::Status mixed = statusWith(-1, parent + R"([{"code":-2},3]})");
    format(mixed, 1 | 2 | 8, failure);
    EXPECT_FAILURE(-52005, "\"invalid json_type\":3", failure);
    zyerr::Status wrongType;
    format(statusWith(-1, parent + R"("text"})"), 1 | 8, wrongType);
    EXPECT_FAILURE(-52005, "\"jsonz_type\":4", wrongType);
    EXPECT_EQ(translate(mixed, 1 | 2 | 8), std::string(kOwnText) + "\n\n");
}

TEST_F(Json1Test, DeepNestingIsBoundedWithoutRecursingThroughIt) {
    for (const int levels : {33, 100000}) {
        std::string elaboration;
        for (int i = 0; i < levels; ++i) elaboration += R"({"code":-1,"nested_error":)";
        elaboration += "{}" + std::string(static_cast<std::size_t>(levels), '}');
        const zyerr::Status status = statusWith(-1, elaboration);
        zyerr::Status failure;
        format(status, 1 | 8, failure);
        EXPECT_FAILURE(-52005, "nested too deeply", failure);
        EXPECT_EQ(translate(status, 1 | 8), "Default one.\n\n") << levels << " levels";
    }
}

TEST_F(Json1Test, FailedStaticDescriptionFallsBackToTheCodeAlone) {
    report = R"({"dynamic":[{"key":"Lost","value":"x"}]})";
    EXPECT_EQ(translate(statusWith(-404)), "Default 404.\n\n");
    EXPECT_EQ(translate(statusWith(-404, R"({"translator":"no_such_xlator"})")),
              "Default 404.\n\n");
}

TEST_F(Json1Test, TranslationThatFailsThrowsAndReadsAsFailed) {
    const zyerr::Status status = statusWith(-405);
    zyhtl::BasicString out;
    const zytest::Thrown thrown = zytest::thrownBy([&] { zyxlator::translate(status, 0, 3, out); });
    EXPECT_EQ(thrown, -52006);
    EXPECT_NE(std::string(out.view()).find("couldn't find description for code"), std::string::npos)
        << out.c_str();
    zyxlator::json1::translateErrStatusToRawText(status, 0, 3, out);
    EXPECT_STREQ(out.c_str(), "Failed to translate error elaboration.");
}

}  // namespace
