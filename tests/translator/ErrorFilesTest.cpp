// Error description files: the parser's rules, the directory search and the default
// translator's language fallbacks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "ErrorsDirFixture.h"
#include "translator/DefaultXlator.h"
#include "translator/ErrorFileParser.h"
#include "translator/ErrorFiles.h"
#include "translator/Session.h"

namespace {

using zytest::descriptionFile;
using zytest::textOf;

std::string parse(const std::string& content, int32_t code, zyerr::Status& status) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        fmemopen(const_cast<char*>(content.data()), content.size(), "r"), &std::fclose);
    return zyxlator::parseErrorStream(file.get(), code, status);
}

std::string parse(const std::string& content, int32_t code) {
    zyerr::Status status;
    std::string description = parse(content, code, status);
    EXPECT_EQ(status.code, 0) << textOf(status);
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

TEST(ErrorFileParserTest, HeaderLinesAreCheckedWithoutRegardToCase) {
    EXPECT_EQ(parse(descriptionFile({{"1", "One."}}, "<?XML VERSION=\"1.0\"?>"), 1), "One.");
    EXPECT_EQ(parse(descriptionFile({{"1", "One."}}, "<?xml version=\"1.1\"?>"), 1), "");
    EXPECT_EQ(parse("<?xml version=\"1.0\"?>\n<ZYDOCUMENT>\n<ZyError code=\"1\">\nOne.\n"
                    "</ZYERROR>\n",
                    1),
              "One.");
    EXPECT_EQ(
        parse("<?xml version=\"1.0\"?>\n<other>\n<zyerror code=\"1\">\nOne.\n</zyerror>\n", 1), "");
    EXPECT_EQ(parse("", 1), "");
}

TEST(ErrorFileParserTest, SkipsCommentsAndStopsAtTheDocumentEnd) {
    const std::string head = "<?xml version=\"1.0\"?>\n<zydocument>\n";
    EXPECT_EQ(parse(head + "<zycomment>\n<zyerror code=\"1\">\nHidden.\n</zyerror>\n</zycomment>\n"
                           "stray line\n<zyerror code=\"1\">\nShown.\n</zyerror>\n",
                    1),
              "Shown.");
    EXPECT_EQ(parse(head + "</zydocument>\n<zyerror code=\"1\">\nAfter.\n</zyerror>\n", 1), "");
}

TEST(ErrorFileParserTest, LongLinesAreReadInPieces) {
    // A piece of 1023 bytes that happens to begin a closing tag ends the block.
    const std::string longLine(zyxlator::kMaxErrorFileLine, 'a');
    EXPECT_EQ(parse(descriptionFile({{"1", longLine + "</zyerror>"}}), 1), longLine);
    const std::string longer(3000, 'b');
    EXPECT_EQ(parse(descriptionFile({{"1", longer}}), 1), longer);
}

TEST(ErrorFileParserTest, MalformedFilesRecordResourceNotFound) {
    const std::string head = "<?xml version=\"1.0\"?>\n<zydocument>\n";
    struct Case {
        std::string content;
        const char* message;
    } cases[] = {
        {head + "<zyerror code=\"1\">\nNever closed.\n", "Could not find the end"},
        {head + "<zyerror code=\"2\">\nOther, never closed.\n", "Could not find the end"},
        {head + "<zyerror code=\"x\">\n</zyerror>\n", "\"sscanf\":0"},
        {head + "<zyerror code=\"\n</zyerror>\n", "\"sscanf\":-1"},
        {head + std::string(1, '\0') + "\n", "Unidentified section heading"},
    };
    for (const Case& c : cases) {
        zyerr::Status status;
        EXPECT_EQ(parse(c.content, 1, status), "");
        EXPECT_EQ(status.code, -52006);
        EXPECT_NE(textOf(status).find(c.message), std::string::npos) << textOf(status);
    }
}

TEST(ErrorFileParserTest, MissingFileNamesItsPath) {
    zyerr::Status status;
    EXPECT_EQ(zyxlator::parseErrorFile("/nonexistent/a.txt", 1, status), "");
    EXPECT_EQ(status.code, -52006);
    EXPECT_NE(textOf(status).find("/nonexistent/a.txt"), std::string::npos);
}

class ErrorsDirTest : public ::testing::Test {
protected:
    // The default translator's description of code in language, or its failure.
    std::string describe(int32_t code, uint32_t language, zyerr::Status& status) {
        zyxlator::Xlator* xlator = zyxlator::createDefaultXlator("zyxlator_default", "{}", &status);
        char* text = xlator->getStaticDesc(xlator, code, zyxlator::makeLanguageWord(language),
                                           &zyxlator::translatorRealloc, nullptr, &status);
        const std::string description = text != nullptr ? text : "";
        zyxlator::translatorRealloc(text, 0, nullptr, nullptr);
        return description;
    }
    std::string describe(int32_t code, uint32_t language) {
        zyerr::Status status;
        std::string description = describe(code, language, status);
        EXPECT_EQ(status.code, 0) << textOf(status);
        return description;
    }

    zytest::SharedDir shared;
};

TEST_F(ErrorsDirTest, OnlyExactTxtAndErrExtensionsAreRead) {
    shared.writeErrors("English", "a.txt", descriptionFile({{"1", "From a."}}));
    shared.writeErrors("English", "b.err", descriptionFile({{"2", "From b."}}));
    shared.writeErrors("English", "c.TXT", descriptionFile({{"3", "From c."}}));
    shared.writeErrors("English", "d.txt.bak", descriptionFile({{"4", "From d."}}));
    shared.writeErrors("English", "e.txt/inner.txt", descriptionFile({{"5", "From e."}}));
    EXPECT_EQ(describe(1, zyxlator::kEnglish), "From a.");
    EXPECT_EQ(describe(2, zyxlator::kEnglish), "From b.");
    for (int32_t ignored : {3, 4, 5}) {
        zyerr::Status status;
        EXPECT_EQ(describe(ignored, zyxlator::kEnglish, status), "");
        EXPECT_EQ(status.code, -52006);
        EXPECT_NE(textOf(status).find("couldn't find description for code"), std::string::npos)
            << textOf(status);
    }
}

TEST_F(ErrorsDirTest, MissingLanguageFallsBackToEnglish) {
    shared.writeErrors("English", "a.txt", descriptionFile({{"-7", "Seven in English."}}));
    shared.writeErrors("", "top.txt", descriptionFile({{"-7", "Seven for all."}}));
    EXPECT_EQ(describe(-7, zyxlator::kJapanese), "Seven in English.");

    // The Japanese search fails (no folder) and is cleared before the English one.
    zyerr::Status status;
    EXPECT_EQ(zyxlator::findErrorDescriptionFromErrorsDir(shared.errorsDir().c_str(), -7,
                                                          zyxlator::kJapanese, status),
              "");
    EXPECT_EQ(status.code, -52006);
    EXPECT_NE(textOf(status).find("open dir failed"), std::string::npos);
}

TEST_F(ErrorsDirTest, LanguageWithoutTheCodeSearchesTheErrorsDirFirst) {
    shared.writeErrors("Japanese", "a.txt", descriptionFile({{"-8", "Eight in Japanese."}}));
    shared.writeErrors("English", "a.txt", descriptionFile({{"-7", "Seven in English."}}));
    shared.writeErrors("", "top.txt", descriptionFile({{"-7", "Seven for all."}}));
    EXPECT_EQ(describe(-8, zyxlator::kJapanese), "Eight in Japanese.");
    EXPECT_EQ(describe(-7, zyxlator::kJapanese), "Seven for all.");
    EXPECT_EQ(describe(-7, zyxlator::kEnglish), "Seven in English.");
}

TEST_F(ErrorsDirTest, UnknownLanguageIsRefusedByTheSearchAndFallsBackInTheTranslator) {
    shared.writeErrors("English", "a.txt", descriptionFile({{"-7", "Seven in English."}}));
    EXPECT_EQ(zyxlator::languageDirectoryName(5), std::string("ChineseS"));
    EXPECT_EQ(zyxlator::languageDirectoryName(6), nullptr);
    zyerr::Status status;
    EXPECT_EQ(
        zyxlator::findErrorDescriptionFromErrorsDir(shared.errorsDir().c_str(), -7, 9, status), "");
    EXPECT_EQ(status.code, -52005);
    EXPECT_NE(textOf(status).find("\"lang\":9"), std::string::npos) << textOf(status);
    EXPECT_EQ(describe(-7, 9), "Seven in English.");
}

TEST_F(ErrorsDirTest, NoDescriptionAnywhereNamesCodeLanguageAndEnvironment) {
    shared.writeErrors("English", "a.txt", descriptionFile({{"-1", "One."}}));
    zyerr::Status status;
    zyxlator::Xlator* xlator = zyxlator::createDefaultXlator("zyxlator_default", "{}", &status);
    EXPECT_EQ(xlator->getStaticDesc(xlator, -9, zyxlator::makeLanguageWord(2, 3),
                                    &zyxlator::translatorRealloc, nullptr, &status),
              nullptr);
    EXPECT_EQ(status.code, -52006);
    EXPECT_NE(textOf(status).find("\"code\":-9,\"lang\":0,\"ade\":3"), std::string::npos)
        << textOf(status);
    EXPECT_EQ(zyxlator::createDefaultXlator("zyxlator_default", "{}", &status), nullptr)
        << "a status holding an error creates nothing";
}

TEST_F(ErrorsDirTest, ABrokenFileEndsTheSearch) {
    shared.writeErrors("English", "a.txt",
                       "<?xml version=\"1.0\"?>\n<zydocument>\n<zyerror code=\"-7\">\nopen\n");
    zyerr::Status status;
    EXPECT_EQ(zyxlator::findErrorDescriptionFromDir((shared.errorsDir() + "/English").c_str(), -7,
                                                    status),
              "");
    EXPECT_EQ(status.code, -52006);
}

}  // namespace
