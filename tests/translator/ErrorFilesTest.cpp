// Error description files: the parser's rules, the directory search and the default
// translator's language fallbacks.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "ErrorsDirFixture.h"
#include "translator/DefaultXlator.h"
#include "translator/ErrorFileParser.h"
#include "translator/ErrorFiles.h"
#include "translator/Session.h"

namespace {

using zytest::descriptionFile;

const std::string kHead = "<?xml version=\"1.0\"?>\n<zydocument>\n";

std::string parse(const std::string& content, int32_t code, zyerr::Status& status) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        fmemopen(const_cast<char*>(content.data()), content.size(), "r"), &std::fclose);
    return zyxlator::parseErrorStream(file.get(), code, status);
}

std::string parse(const std::string& content, int32_t code) {
    zyerr::Status status;
    std::string description = parse(content, code, status);
    EXPECT_CODE(0, status);
    return description;
}

TEST(ErrorFileParserTest, FindsTheFirstBlockOfTheCode) {
    const std::string file = descriptionFile(
        {{"-5", "Five."}, {"0x10", "Sixteen,\r\nin two lines."}, {"-5", "Second five."}});
    EXPECT_EQ(parse(file, -5), "Five.");
    EXPECT_EQ(parse(file, 16), "Sixteen,\r\nin two lines.") << "0x10 is read as hexadecimal";
    EXPECT_EQ(parse(file, 7), "");
    EXPECT_EQ(parse(descriptionFile({{"010", "Octal."}}), 8), "Octal.");
    EXPECT_EQ(parse(descriptionFile({{"99999999999", "Too large."}}), -1), "");
}

TEST(ErrorFileParserTest, HeaderLinesCommentsAndTheDocumentEnd) {
    EXPECT_EQ(parse(descriptionFile({{"1", "One."}}, "<?XML VERSION=\"1.0\"?>"), 1), "One.");
    EXPECT_EQ(parse(descriptionFile({{"1", "One."}}, "<?xml version=\"1.1\"?>"), 1), "");
    const std::string block = "<zyerror code=\"1\">\nOne.\n</zyerror>\n";
    EXPECT_EQ(parse("<?xml version=\"1.0\"?>\n<ZYDOCUMENT>\n<ZyError code=\"1\">\nOne.\n"
                    "</ZYERROR>\n",
                    1),
              "One.");
    EXPECT_EQ(parse("<?xml version=\"1.0\"?>\n<other>\n" + block, 1), "");
    EXPECT_EQ(parse("", 1), "");
    EXPECT_EQ(parse(kHead + "<zycomment>\n<zyerror code=\"1\">\nHidden.\n</zyerror>\n</zycomment>\n"
                            "stray line\n<zyerror code=\"1\">\nShown.\n</zyerror>\n",
                    1),
              "Shown.");
    EXPECT_EQ(parse(kHead + "</zydocument>\n" + block, 1), "");
}

TEST(ErrorFileParserTest, LongLinesAreReadInPieces) {
    // A piece of 1023 bytes that happens to begin a closing tag ends the block.
    const std::string longLine(zyxlator::kMaxErrorFileLine, 'a');
    EXPECT_EQ(parse(descriptionFile({{"1", longLine + "</zyerror>"}}), 1), longLine);
    const std::string longer(3000, 'b');
    EXPECT_EQ(parse(descriptionFile({{"1", longer}}), 1), longer);
}

TEST(ErrorFileParserTest, MalformedOrMissingFilesRecordResourceNotFound) {
    const struct {
        std::string content;
        const char* message;
    } cases[] = {
        {kHead + "<zyerror code=\"1\">\nNever closed.\n", "Could not find the end"},
        {kHead + "<zyerror code=\"2\">\nOther, never closed.\n", "Could not find the end"},
        {kHead + "<zyerror code=\"x\">\n</zyerror>\n", "\"sscanf\":0"},
        {kHead + "<zyerror code=\"\n</zyerror>\n", "\"sscanf\":-1"},
        {kHead + std::string(1, '\0') + "\n", "Unidentified section heading"},
    };
    for (const auto& c : cases) {
        zyerr::Status status;
        EXPECT_EQ(parse(c.content, 1, status), "");
        EXPECT_FAILURE(-52006, c.message, status);
    }
    zyerr::Status status;
    EXPECT_EQ(zyxlator::parseErrorFile("/nonexistent/a.txt", 1, status), "");
    EXPECT_FAILURE(-52006, "/nonexistent/a.txt", status);
}

class ErrorsDirTest : public ::testing::Test {
protected:
    // The default translator's description of code in a language word, or its failure.
    std::string describe(int32_t code, uint32_t languageWord, zyerr::Status& status) {
        zyxlator::Xlator* xlator = zyxlator::createDefaultXlator("zyxlator_default", "{}", &status);
        char* text = xlator->getStaticDesc(xlator, code, languageWord, &zyxlator::translatorRealloc,
                                           nullptr, &status);
        const std::string description = text != nullptr ? text : "";
        zyxlator::translatorRealloc(text, 0, nullptr, nullptr);
        return description;
    }
    std::string describe(int32_t code, uint32_t language) {
        zyerr::Status status;
        std::string description = describe(code, zyxlator::makeLanguageWord(language), status);
        EXPECT_CODE(0, status);
        return description;
    }
    std::string search(int32_t code, uint32_t language, zyerr::Status& status) {
        return zyxlator::findErrorDescriptionFromErrorsDir(shared.errorsDir().c_str(), code,
                                                           language, status);
    }

    zytest::SharedDir shared;
};

TEST_F(ErrorsDirTest, OnlyExactTxtAndErrExtensionsAreRead) {
    const char* const names[] = {"a.txt", "b.err", "c.TXT", "d.txt.bak", "e.txt/inner.txt"};
    for (int32_t code = 1; code <= 5; ++code) {
        shared.writeErrors("English", names[code - 1],
                           descriptionFile({{std::to_string(code), "Read."}}));
    }
    EXPECT_EQ(describe(1, zyxlator::kEnglish), "Read.");
    EXPECT_EQ(describe(2, zyxlator::kEnglish), "Read.");
    for (int32_t ignored : {3, 4, 5}) {
        zyerr::Status status;
        EXPECT_EQ(describe(ignored, zyxlator::makeLanguageWord(zyxlator::kEnglish), status), "");
        EXPECT_FAILURE(-52006, "couldn't find description for code", status);
    }
}

TEST_F(ErrorsDirTest, LanguageFallbacks) {
    shared.writeErrors("Japanese", "a.txt", descriptionFile({{"-8", "Eight in Japanese."}}));
    shared.writeErrors("English", "a.txt", descriptionFile({{"-7", "Seven in English."}}));
    shared.writeErrors("", "top.txt", descriptionFile({{"-7", "Seven for all."}}));
    EXPECT_EQ(describe(-8, zyxlator::kJapanese), "Eight in Japanese.");
    // A language folder without the code: the errors folder before English.
    EXPECT_EQ(describe(-7, zyxlator::kJapanese), "Seven for all.");
    EXPECT_EQ(describe(-7, zyxlator::kEnglish), "Seven in English.");
    // No folder for the language: its search fails, is cleared, and English is asked.
    EXPECT_EQ(describe(-7, zyxlator::kKorean), "Seven in English.");
    zyerr::Status status;
    EXPECT_EQ(search(-7, zyxlator::kKorean, status), "");
    EXPECT_FAILURE(-52006, "open dir failed", status);
    // An unknown language number is refused by the search, and English answers it.
    EXPECT_STREQ(zyxlator::languageDirectoryName(5), "ChineseS");
    EXPECT_EQ(zyxlator::languageDirectoryName(6), nullptr);
    zyerr::Status unknown;
    EXPECT_EQ(search(-7, 9, unknown), "");
    EXPECT_FAILURE(-52005, "\"lang\":9", unknown);
    EXPECT_EQ(describe(-7, 9), "Seven in English.");
}

TEST_F(ErrorsDirTest, NoDescriptionAnywhereNamesCodeLanguageAndEnvironment) {
    shared.writeErrors("English", "a.txt", descriptionFile({{"-1", "One."}}));
    zyerr::Status status;
    EXPECT_EQ(describe(-9, zyxlator::makeLanguageWord(2, 3), status), "");
    EXPECT_FAILURE(-52006, "\"code\":-9,\"lang\":0,\"ade\":3", status);
    EXPECT_EQ(zyxlator::createDefaultXlator("zyxlator_default", "{}", &status), nullptr)
        << "a status holding an error creates nothing";
}

TEST_F(ErrorsDirTest, ABrokenFileEndsTheSearch) {
    shared.writeErrors("English", "a.txt", kHead + "<zyerror code=\"-7\">\nopen\n");
    zyerr::Status status;
    EXPECT_EQ(zyxlator::findErrorDescriptionFromDir((shared.errorsDir() + "/English").c_str(), -7,
                                                    status),
              "");
    EXPECT_CODE(-52006, status);
}

}  // namespace
