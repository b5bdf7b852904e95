// The generated error description files, read by the description parser itself: every status
// the library or the emulated runtime returns is described once in each language, in
// well-formed UTF-8, and each language's text is its own.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "status/Status.h"
#include "status/StatusCodes.h"
#include "translator/ErrorFileParser.h"
#include "zyemu/control.h"

namespace {

const char* const kLanguages[] = {"English", "French", "German", "Japanese", "Korean", "ChineseS"};

std::string pathOf(const std::string& language) {
    return std::string(ZY_ERRORS_DIR) + "/" + language + "/zyostrelapi-errors.txt";
}

std::string contentOf(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// How often each code opens a block ("<zyerror code=" at a line start) in a text.
std::map<int32_t, int> blockCounts(const std::string& text) {
    const std::regex opening(R"re((?:^|\n)<zyerror code="(-?[0-9]+)">)re");
    std::map<int32_t, int> counts;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), opening);
         it != std::sregex_iterator(); ++it) {
        ++counts[std::stoi((*it)[1].str())];
    }
    return counts;
}

// The emulated runtime's statuses as its header declares them, enumerators and macros alike.
std::map<std::string, int32_t> emulatorStatuses() {
    const std::string header = contentOf(ZY_EMULATOR_CONTROL_HEADER);
    const std::regex declaration(R"(\b(ZYEMU_STATUS_[A-Z0-9_]+)(?:\s*=\s*|\s+\()(-[0-9]+))");
    std::map<std::string, int32_t> statuses;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), declaration);
         it != std::sregex_iterator(); ++it) {
        statuses[(*it)[1].str()] = std::stoi((*it)[2].str());
    }
    return statuses;
}

// Every code returned, with its name.
std::map<int32_t, std::string> returnedCodes() {
    std::map<int32_t, std::string> returned;
    for (const zyerr::StatusCodeInfo& info : zyerr::kStatusCodes) {
        returned[info.code] = info.headerName;
    }
    for (const auto& [name, code] : emulatorStatuses()) returned[code] = name;
    return returned;
}

// The description of each returned code in a language, as the parser reads it.
const std::map<int32_t, std::string>& descriptions(const std::string& language) {
    static std::map<std::string, std::map<int32_t, std::string>> read;
    auto& found = read[language];
    if (found.empty()) {
        for (const auto& [code, name] : returnedCodes()) {
            zyerr::Status status;
            found[code] = zyxlator::parseErrorFile(pathOf(language).c_str(), code, status);
            EXPECT_FALSE(status.isError()) << language << " " << name;
        }
    }
    return found;
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
    const std::map<std::string, int32_t> statuses = emulatorStatuses();
    // The header is read as text: make sure that reading sees what the compiler sees, at both
    // ends of the header and in both ways of declaring.
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_INVALID_ARGUMENT"), ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_BITFILE_TOO_LARGE"), ZYEMU_STATUS_BITFILE_TOO_LARGE);
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_UNKNOWN_ATTRIBUTE"), ZYEMU_STATUS_UNKNOWN_ATTRIBUTE);
    EXPECT_EQ(statuses.at("ZYEMU_STATUS_UNKNOWN_ROUTE"), ZYEMU_STATUS_UNKNOWN_ROUTE);
    const std::map<int32_t, std::string> returned = returnedCodes();
    for (const char* language : kLanguages) {
        SCOPED_TRACE(language);
        std::map<int32_t, int> counts = blockCounts(contentOf(pathOf(language)));
        for (const auto& [code, name] : returned) EXPECT_EQ(counts[code], 1) << name;
        EXPECT_EQ(counts.size(), returned.size()) << "a code that nothing returns is described";
        for (const auto& [code, text] : descriptions(language)) {
            std::vector<char32_t> points;
            EXPECT_FALSE(text.empty()) << returned.at(code);
            EXPECT_TRUE(decodeUtf8(text, points)) << returned.at(code);
            // A carriage return would end up in the description shown.
            EXPECT_EQ(text.find('\r'), std::string::npos) << returned.at(code);
        }
    }
}

TEST(ErrorFiles, EnglishOpensWithTheMeaningAndTranslationsAreNotCopiesOfIt) {
    const std::map<int32_t, std::string>& english = descriptions("English");
    for (const zyerr::StatusCodeInfo& info : zyerr::kStatusCodes) {
        const std::string& text = english.at(info.code);
        EXPECT_EQ(text.rfind(info.meaning, 0), 0u) << info.headerName << ": " << text;
        // The meaning alone says what happened, not what to do about it.
        EXPECT_GT(text.size(), std::string(info.meaning).size() + 1) << info.headerName;
    }
    for (const char* language : kLanguages) {
        if (std::string(language) == "English") continue;
        for (const auto& [code, text] : descriptions(language)) {
            EXPECT_NE(text, english.at(code)) << language << " " << code;
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
        for (const auto& [code, text] : descriptions(script.language)) {
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
}

}  // namespace
