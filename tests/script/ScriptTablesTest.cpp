// The libraries, embedded modules and generated tables every script state starts with.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptState.h"
#include "attributes/AttributeTable.h"
#include "status/StatusExpect.h"
#include "translator/script/EmbeddedScripts.h"

namespace {

const char* const kLanguages[] = {"eng", "fra", "deu", "jpn", "kor", "chs"};

// Usage keys written into elaborations by the library's and the emulator's sources.
std::set<std::string> usageKeysInSources() {
    const std::regex key("\"((ostrel_)?kUsageType[A-Za-z0-9_]+)\"");
    std::set<std::string> keys;
    for (const char* folder :
         {"channel", "sessions", "attributes", "streams", "timing", "device", "firmware", "bitfile",
          "status", "platform", "translator", "emulator"}) {
        const std::filesystem::path root = std::filesystem::path(ZY_SOURCE_DIR) / folder;
        if (!std::filesystem::exists(root)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h" && extension != ".c") continue;
            std::stringstream text;
            text << std::ifstream(entry.path()).rdbuf();
            const std::string content = text.str();
            for (std::sregex_iterator it(content.begin(), content.end(), key), end; it != end;
                 ++it) {
                keys.insert((*it)[1].str());
            }
        }
    }
    return keys;
}

class ScriptTablesTest : public ::testing::Test {
protected:
    zytest::ScriptState script_;
};

TEST_F(ScriptTablesTest, OpensEveryLibraryAndLoadsEveryEmbeddedModule) {
    ASSERT_CODE(0, script_.status());
    for (const char* library : {"package", "table", "io", "os", "string", "math", "debug", "lfs",
                                "stdint", "cjson", "zyxlatorluautils"}) {
        EXPECT_EQ(script_.run(std::string("return type(package.loaded['") + library + "'])"),
                  "table")
            << library;
    }
    for (std::size_t i = 0; i < zyxlator::script::kEmbeddedScriptCount; ++i) {
        std::string name = zyxlator::script::kEmbeddedScripts[i].fileName;
        name.erase(name.rfind('.'));
        // The bootstrap defines globals and returns nothing; every other module a table.
        const char* expected = name == "zyxlatorlua" ? "boolean" : "table";
        EXPECT_EQ(script_.run("return type(require('" + name + "'))"), expected) << name;
    }
    EXPECT_EQ(script_.run("return require('json').encode({1, 'a'})"), R"([1,"a"])");
    EXPECT_EQ(script_.run("return require('util').serialise_value('x')"), R"("x")");
}

TEST(EmbeddedScripts, OnlyLuaFilesGiveModuleNames) {
    char name[8];
    EXPECT_TRUE(zyxlator::script::moduleNameOf("json.lua", name, sizeof(name)));
    EXPECT_STREQ(name, "json");
    EXPECT_TRUE(zyxlator::script::moduleNameOf("a.b.luac", name, sizeof(name)));
    EXPECT_STREQ(name, "a.b");
    EXPECT_TRUE(zyxlator::script::moduleNameOf("1234567.lua", name, sizeof(name)));
    EXPECT_FALSE(zyxlator::script::moduleNameOf("12345678.lua", name, sizeof(name)));
    for (const char* other : {"x.lua.bak", "x.LUA", "x", ".lua", "x.txt"}) {
        EXPECT_FALSE(zyxlator::script::moduleNameOf(other, name, sizeof(name))) << other;
    }
}

TEST_F(ScriptTablesTest, EveryUsageKeyInTheSourcesHasAnEnglishTerm) {
    const std::set<std::string> keys = usageKeysInSources();
    EXPECT_GT(keys.size(), 30u);
    for (const std::string& key : keys) {
        EXPECT_NE(script_.run("return require('commonTerms_eng').getString('" + key + "')"), "nil")
            << key << " is written into elaborations but has no row in CommonTerms.tsv";
    }
}

// Rows of the term dictionary: the key, then the six texts.
std::vector<std::vector<std::string>> dictionaryRows() {
    std::ifstream file(std::string(ZY_SOURCE_DIR) + "/translator/script/terms/CommonTerms.tsv");
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::stringstream stream(line);
        rows.emplace_back();
        for (std::string field; std::getline(stream, field, '\t');) rows.back().push_back(field);
    }
    return rows;
}

TEST_F(ScriptTablesTest, TermTablesAnswerEveryKeyOfTheDictionaryInTheirLanguage) {
    const auto rows = dictionaryRows();
    ASSERT_GT(rows.size(), 50u);
    for (std::size_t language = 0; language < 6; ++language) {
        const std::string table =
            std::string("require('commonTerms_") + kLanguages[language] + "')";
        EXPECT_EQ(script_.run("return " + table + ".encoding"), "utf-8");
        EXPECT_EQ(script_.run("return " + table + ".getString('kUsageTypeNoSuchKey')"), "nil");
        std::size_t sameAsEnglish = 0;
        for (const auto& row : rows) {
            ASSERT_EQ(row.size(), 7u) << row[0];
            EXPECT_EQ(script_.run("return " + table + ".getString('" + row[0] + "')"),
                      row[1 + language]);
            if (language > 0 && row[1 + language] == row[1]) ++sameAsEnglish;
        }
        // Translated, not copied: only names such as "Interface" stay the same.
        EXPECT_LT(sameAsEnglish * 10, rows.size()) << kLanguages[language];
    }
}

TEST_F(ScriptTablesTest, AttributeTableNamesEveryAttributeAndEnumValue) {
    using namespace zyostrel::attributes;
    const std::string table = "require('zyostrelapi_attributes_eng')";
    EXPECT_EQ(script_.run("return " + table + ".encoding"), "utf-8");
    for (const AttributeInfo& attribute : kAttributeTable) {
        char id[16];
        std::snprintf(id, sizeof(id), "%08X", attribute.id);
        EXPECT_EQ(script_.run("return " + table + ".getAttribute('" + id + "').shortName"),
                  attribute.displayName);
    }
    for (const AttributeEnumValue& value : kAttributeEnumValues) {
        char chunk[160];
        std::snprintf(chunk, sizeof(chunk), "return %s.getAttribute('%08X').enums['%d']",
                      table.c_str(), value.id, value.value);
        EXPECT_EQ(script_.run(chunk), value.name);
    }
    EXPECT_EQ(script_.run("return " + table + ".getAttribute('10000002')"), "nil");
    EXPECT_EQ(script_.run("return " + table + ".getAttribute('10000003').enums['2']"), "nil");
    EXPECT_EQ(script_.run("return require('zymxl_defaultAttrTable').getAttribute('10000003')"),
              "nil");
}

}  // namespace
