// Path expansion and the library functions the translator scripts call.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ScriptState.h"
#include "status/StatusExpect.h"
#include "translator/script/XlatorLuaUtils.h"

namespace {

using zyxlator::script::expandPath;

// TMPDIR set for one test, restored after it.
struct TempDirVariable {
    const char* const old = std::getenv("TMPDIR");
    const std::string saved = old != nullptr ? old : "";
    explicit TempDirVariable(const char* value) { ::setenv("TMPDIR", value, 1); }
    ~TempDirVariable() {
        old != nullptr ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    }
};

TEST(ExpandPath, ReplacesEveryVariableUpToTheNextSlash) {
    TempDirVariable tmp("/scratch");
    zyerr::Status status;
    EXPECT_EQ(expandPath("x", "$_tempDir/a/$_commonAppDataDir/b", status),
              "/scratch/a//var/local/zyvend/b");
    EXPECT_EQ(expandPath("x", "$_noSuchVariable/errors", status), "/errors");
    EXPECT_EQ(expandPath("x", "plain/path", status), "plain/path");
    EXPECT_EQ(expandPath("x", "", status), "");
    EXPECT_CODE(0, status);
}

TEST(ExpandPath, DoesNotExpandTextThatAValueBroughtIn) {
    // A value naming a variable again must not make the expansion loop.
    TempDirVariable tmp("/t/$_tempDir");
    zyerr::Status status;
    EXPECT_EQ(expandPath("x", "$_tempDir/errors", status), "/t/$_tempDir/errors");
    EXPECT_CODE(0, status);
}

TEST(ExpandPath, AVariableAtTheEndIsExpandedButRecordedAsInvalid) {
    TempDirVariable tmp("/scratch");
    zyerr::Status status;
    EXPECT_EQ(expandPath("x", "lib/$_tempDir", status), "lib//scratch");
    EXPECT_FAILURE(-52005, R"("zyxlatordll":"plugin dll path invalid")", status);
    EXPECT_EQ(zytest::memberOf(status, "zyxlator_debug", "dllPath"), "lib/$_tempDir");
}

TEST(XlatorLuaUtils, ScriptFunctionsAnswerOrRaiseTheElaboration) {
    TempDirVariable tmp("/scratch");
    zytest::ScriptState script;
    auto call = [&script](const std::string& expression) {
        return script.run("local u = require('zyxlatorluautils') return " + expression);
    };
    EXPECT_EQ(call("u.expandPath('x', '$_tempDir/a')"), "/scratch/a");
    EXPECT_EQ(call("u.lookupVariable('x', '_tempDir')"), "/scratch");
    EXPECT_EQ(call("u.lookupVariable('x', 'nothing')"), "");
    EXPECT_EQ(call("u.mbsToUtf8(3, 'テキスト')"), "テキスト");
    EXPECT_EQ(call("u.convertLangToDir(0) .. u.convertLangToDir(5)"), "EnglishChineseS");

    const std::string invalidPath = call("u.expandPath('x', 'a/$_tempDir')");
    EXPECT_EQ(invalidPath.rfind("error: {", 0), 0u) << invalidPath;
    EXPECT_NE(invalidPath.find("plugin dll path invalid"), std::string::npos);
    const std::string invalidLanguage = call("u.convertLangToDir(6)");
    EXPECT_NE(invalidLanguage.find("invalid language"), std::string::npos) << invalidLanguage;
    EXPECT_NE(call("u.convertLangToDir(-1)").find("invalid language"), std::string::npos);

    // Searches of directories that do not exist fail with the library's status.
    const std::string missingDir = call("u.findErrorDescriptionFromDir('/nonexistent/zy', -52005)");
    EXPECT_NE(missingDir.find("zyapalerr_resourceNotFound"), std::string::npos) << missingDir;
    EXPECT_NE(call("u.findErrorDescriptionFromFile('/nonexistent/zy', 1)").find("resourceNotFound"),
              std::string::npos);
    EXPECT_NE(call("u.findErrorDescriptionFromDir('/tmp', 2^40)").find("out of range"),
              std::string::npos);
}

TEST(Bootstrap, SearchPathComesOnlyFromTheRegistration) {
    TempDirVariable tmp("/scratch");
    zytest::ScriptState script;
    const std::string setup =
        "require('zyxlatorlua') zyxlatorlua_setupEnv('x', [[{\"zyxlatorlua_xlator\":"
        "\"zymxl_utilities\"";
    // Without "zyxlatorlua_path" only the embedded modules can be required.
    EXPECT_EQ(script.run(setup + "}]]) return package.path .. '|' .. package.cpath"), "|");
    EXPECT_EQ(script.run("return pcall(require, 'dkjson')"), "false");
    EXPECT_EQ(script.run("return zyxlatorlua_name .. type(zyxlatorlua_xlator.longName)"),
              "xfunction");
    EXPECT_EQ(script.run(setup + R"(,"zyxlatorlua_path":"$_tempDir/a;b\\c/"}]]) )"
                                 "return package.path"),
              "/scratch/a/?.lua;b/c/?.lua");
}

}  // namespace
