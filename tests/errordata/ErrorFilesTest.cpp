// The generated error description files, read the way the default translator reads them:
// every status the library or the emulated runtime returns has a description in each
// language, and each file keeps to the line format of the description parser.
#include <gtest/gtest.h>
#include <iconv.h>
#include <strings.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "status/Status.h"
#include "status/StatusCodes.h"
#include "zyemu/control.h"

namespace {

const char* const kLanguages[] = {"English", "French", "German", "Japanese", "Korean", "ChineseS"};
// The parser reads through a 1024-byte buffer: 1022 bytes, the line feed and the NUL.
constexpr std::size_t kMaxLineBytes = 1022;

bool startsWith(const std::string& line, const char* prefix) {
    return strncasecmp(line.c_str(), prefix, std::char_traits<char>::length(prefix)) == 0;
}

struct ErrorFile {
    std::vector<std::string> lines;               // raw lines, line feed removed
    std::map<int32_t, std::string> descriptions;  // first block of each code
    std::map<int32_t, int> blockCount;
    std::vector<std::string> problems;  // format faults found while walking
};

// Walks the blocks after the two header lines the way the parser does, and records whatever
// the parser would skip, stop at or misread.
ErrorFile readErrorFile(const std::string& language) {
    ErrorFile file;
    std::ifstream in(std::string(ZY_ERRORS_DIR) + "/" + language + "/zyostrelapi-errors.txt",
                     std::ios::binary);
    for (std::string line; std::getline(in, line);) file.lines.push_back(line);
    enum { Outside, InBlock, InComment, Ended } state = Outside;
    int code = 0;
    std::string text;
    for (std::size_t i = 2; i < file.lines.size(); ++i) {
        const std::string& line = file.lines[i];
        if (state == Ended) {
            file.problems.push_back("line after </zydocument>: " + line);
        } else if (state == InComment) {
            if (startsWith(line, "</zycomment>")) state = Outside;
        } else if (state == InBlock && startsWith(line, "</zyerror>")) {
            if (file.blockCount[code]++ == 0) file.descriptions[code] = text;
            state = Outside;
        } else if (state == InBlock) {
            if (line.rfind('<', 0) == 0) file.problems.push_back("text taken for a tag: " + line);
            text += (text.empty() ? "" : "\n") + line;
        } else if (startsWith(line, "<zyerror code=\"")) {
            if (std::sscanf(line.c_str() + 15, "%i", &code) != 1) {
                file.problems.push_back("unreadable code: " + line);
            }
            text.clear();
            state = InBlock;
        } else if (startsWith(line, "<zycomment>")) {
            state = InComment;
        } else if (startsWith(line, "</zydocument>")) {
            state = Ended;
        } else {
            file.problems.push_back("line outside any block: " + line);
        }
    }
    if (state != Ended) file.problems.push_back("no </zydocument> after every block");
    return file;
}

const ErrorFile& errorFile(const std::string& language) {
    static const std::map<std::string, ErrorFile> files = [] {
        std::map<std::string, ErrorFile> read;
        for (const char* each : kLanguages) read[each] = readErrorFile(each);
        return read;
    }();
    return files.at(language);
}

// The emulated runtime's statuses as its header declares them, enumerators and macros alike.
std::map<std::string, int32_t> emulatorStatuses() {
    std::ifstream in(ZY_EMULATOR_CONTROL_HEADER);
    std::stringstream text;
    text << in.rdbuf();
    const std::string header = text.str();
    const std::regex declaration(R"(\b(ZYEMU_STATUS_[A-Z0-9_]+)(?:\s*=\s*|\s+\()(-[0-9]+))");
    std::map<std::string, int32_t> statuses;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), declaration);
         it != std::sregex_iterator(); ++it) {
        statuses[(*it)[1].str()] = std::stoi((*it)[2].str());
    }
    return statuses;
}

// Code points of a UTF-8 text; false when the bytes are not well-formed UTF-8 (the C
// library refuses overlong forms, surrogates and cut sequences).
bool decodeUtf8(std::string text, std::vector<char32_t>& out) {
    out.assign(text.size(), 0);
    if (text.empty()) return true;
    char* in = text.data();
    char* to = reinterpret_cast<char*>(out.data());
    std::size_t inLeft = text.size(), outLeft = out.size() * sizeof(char32_t);
    const iconv_t convert = iconv_open("UTF-32LE", "UTF-8");
    const bool decoded =
        iconv(convert, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(convert);
    out.resize(out.size() - outLeft / sizeof(char32_t));
    return decoded && inLeft == 0;
}

bool anyIn(const std::vector<char32_t>& points, char32_t first, char32_t last) {
    for (char32_t point : points) {
        if (point >= first && point <= last) return true;
    }
    return false;
}

TEST(ErrorFiles, EveryReturnedStatusIsDescribedOnceInEveryLanguageAndNothingElse) {
    std::map<int32_t, std::string> returned = {};
    for (const zyerr::StatusCodeInfo& info : zyerr::kStatusCodes) {
        returned[info.code] = info.headerName;
    }
    const std::map<std::string, int32_t> statuses = emulatorStatuses();
    // The header is read as text: make sure that reading sees what the compiler sees, at both
    // ends of the header and in both ways of declaring.
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_INVALID_ARGUMENT"), ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_BITFILE_TOO_LARGE"), ZYEMU_STATUS_BITFILE_TOO_LARGE);
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_UNKNOWN_ATTRIBUTE"), ZYEMU_STATUS_UNKNOWN_ATTRIBUTE);
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_UNKNOWN_ROUTE"), ZYEMU_STATUS_UNKNOWN_ROUTE);
    for (const auto& [name, code] : statuses) returned[code] = name;
    for (const char* language : kLanguages) {
        SCOPED_TRACE(language);
        const ErrorFile& file = errorFile(language);
        ASSERT_GE(file.lines.size(), 2u);
        EXPECT_TRUE(startsWith(file.lines[0], "<?xml version=\"1.0\""));
        EXPECT_TRUE(startsWith(file.lines[1], "<zydocument>"));
        EXPECT_EQ(file.problems, std::vector<std::string>());
        for (const auto& [code, name] : returned) {
            const auto count = file.blockCount.find(code);
            ASSERT_NE(count, file.blockCount.end()) << name;
            EXPECT_EQ(count->second, 1) << name;
            EXPECT_FALSE(file.descriptions.at(code).empty()) << name;
        }
        for (const auto& [code, count] : file.blockCount) {
            EXPECT_EQ(returned.count(code), 1u) << "a description of " << code;
        }
    }
}

TEST(ErrorFiles, EveryLineFitsTheParserBufferAndIsPlainUtf8) {
    for (const char* language : kLanguages) {
        const std::vector<std::string>& lines = errorFile(language).lines;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            SCOPED_TRACE(std::string(language) + " line " + std::to_string(i + 1));
            EXPECT_LE(lines[i].size(), kMaxLineBytes);
            std::vector<char32_t> points;
            EXPECT_TRUE(decodeUtf8(lines[i], points));
            // Carriage returns and NULs would end up in the description or end the parse.
            EXPECT_EQ(lines[i].find_first_of(std::string("\r\0", 2)), std::string::npos);
        }
    }
}

TEST(ErrorFiles, EnglishOpensWithTheMeaningAndTranslationsAreNotCopiesOfIt) {
    const ErrorFile& english = errorFile("English");
    for (const zyerr::StatusCodeInfo& info : zyerr::kStatusCodes) {
        const std::string& text = english.descriptions.at(info.code);
        EXPECT_EQ(text.rfind(info.meaning, 0), 0u) << info.headerName << ": " << text;
        // The meaning alone says what happened, not what to do about it.
        EXPECT_GT(text.size(), std::string(info.meaning).size() + 1) << info.headerName;
    }
    for (const char* language : kLanguages) {
        if (std::string(language) == "English") continue;
        for (const auto& [code, text] : errorFile(language).descriptions) {
            const auto original = english.descriptions.find(code);
            if (original != english.descriptions.end()) {
                EXPECT_NE(text, original->second) << language << " " << code;
            }
        }
    }
}

// A file put into the wrong language directory, or a text pasted from another language,
// shows in the script it is written in.
TEST(ErrorFiles, AsianLanguagesAreWrittenInTheirOwnScripts) {
    const struct {
        const char* language;
        char32_t first, last;  // a block every description of the language uses
    } scripts[] = {
        {"Japanese", 0x3040, 0x30FF},  // hiragana and katakana
        {"Korean", 0xAC00, 0xD7A3},    // hangul syllables
        {"ChineseS", 0x4E00, 0x9FFF},  // CJK ideographs
    };
    for (const auto& script : scripts) {
        for (const auto& [code, text] : errorFile(script.language).descriptions) {
            std::vector<char32_t> points;
            ASSERT_TRUE(decodeUtf8(text, points));
            EXPECT_TRUE(anyIn(points, script.first, script.last)) << script.language << " " << code;
            if (std::string(script.language) == "ChineseS") {
                EXPECT_FALSE(anyIn(points, 0x3040, 0x30FF)) << "kana in Chinese " << code;
                EXPECT_FALSE(anyIn(points, 0xAC00, 0xD7A3)) << "hangul in Chinese " << code;
            }
        }
    }
}

// The build tree's share.dir leads the platform code's path variable to these very files, as
// the system's share.dir does to the installed ones.
TEST(ErrorFiles, TheSharedDirectoryPathLeadsToThem) {
    using namespace zyostrel::platform;
    setShareDirFileForTesting(ZY_BUILD_SHARE_DIR_FILE);
    zyerr::Status status;
    const std::string errorsDir = lookupPathVariable("_zyShared32Dir", status) + "/errors";
    setShareDirFileForTesting(nullptr);
    ASSERT_FALSE(status.isError());
    EXPECT_EQ(errorsDir, ZY_ERRORS_DIR);
    for (const char* language : kLanguages) {
        EXPECT_TRUE(std::ifstream(errorsDir + "/" + language + "/zyostrelapi-errors.txt").good())
            << language;
    }
}

}  // namespace
