// Path variables, the shared directory and the standard directory table.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Paths.h"
#include "support/TempPath.h"
#include "tests/status/StatusExpect.h"

namespace zyostrel::platform {
namespace {

// The shared directory file is read on every use and trimmed to the bare path; without it
// the default holds, without an error.
TEST(SharedDirTest, FileIsReadOnEveryUseAndTrimmedToTheBarePath) {
    const std::string path = zytest::uniqueTempPath("share_dir_test.dir");
    setShareDirFileForTesting(path.c_str());
    zyerr::Status status;
    EXPECT_EQ(getSharedDir(status), kDefaultSharedDir);
    EXPECT_EQ(status.elaboration, nullptr);
    std::ofstream(path, std::ios::binary) << " /opt/zyvend/share/ \n";
    EXPECT_EQ(getSharedDir(status), "/opt/zyvend/share");
    EXPECT_EQ(lookupPathVariable("_zySharedDir", status), "/opt/zyvend/share");
    EXPECT_EQ(lookupPathVariable("_zyShared32Dir", status), "/opt/zyvend/share");
    // NULs, slashes and tabs go.
    std::ofstream(path, std::ios::binary) << std::string("\t\n/srv/share//\0\0 \r\n", 20);
    EXPECT_EQ(getSharedDir(status), "/srv/share");
    EXPECT_CODE(0, status);
    setShareDirFileForTesting(nullptr);
    std::remove(path.c_str());
}

TEST(TrimSharedDirTextTest, EdgeCases) {
    for (const char* blank : {"", "   ", "/"}) EXPECT_EQ(trimSharedDirText(blank), "") << blank;
    EXPECT_EQ(trimSharedDirText("a b/ "), "a b");
    EXPECT_EQ(trimSharedDirText(std::string("/x\0y", 4)), std::string("/x\0y", 4));
}

TEST(PathVariableTest, FixedValuesUnknownNamesAndAHeldError) {
    zyerr::Status status;
    EXPECT_EQ(lookupPathVariable("_commonAppDataDir", status), "/var/local/zyvend");
    EXPECT_EQ(lookupPathVariable("_unknown", status), "");
    EXPECT_EQ(lookupPathVariable("$_tempDir", status), "");  // the dollar belongs to callers
    EXPECT_EQ(lookupPathVariable(nullptr, status), "");
    EXPECT_CODE(0, status);
    zyerr::Status failed(-1);  // nothing happens on a status holding an error
    EXPECT_EQ(lookupPathVariable("_commonAppDataDir", failed), "");
    EXPECT_EQ(getStandardDir("bindir", failed), "");
    EXPECT_CODE(-1, failed);
}

TEST(PathVariableTest, TempDirFollowsTmpdir) {
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved != nullptr ? saved : "/tmp";
    zyerr::Status status;
    setenv("TMPDIR", "/var/tmp/mine", 1);
    EXPECT_EQ(lookupPathVariable("_tempDir", status), "/var/tmp/mine");
    unsetenv("TMPDIR");
    EXPECT_EQ(lookupPathVariable("_tempDir", status), "/tmp");
    setenv("TMPDIR", savedValue.c_str(), 1);
}

TEST(StandardDirTest, WithoutTheRelocationLibraryTheDefaultsHoldAndUnknownNamesFail) {
    zyerr::Status status;
    EXPECT_EQ(getStandardDir("multiarchlibdir", status), "/usr/lib/x86_64-linux-gnu");
    EXPECT_EQ(getStandardDir("initddir", status), "/etc/init.d");
    EXPECT_EQ(lookupPathVariable("_multiarchlibdir", status), "/usr/lib/x86_64-linux-gnu");
    EXPECT_CODE(0, status);
    EXPECT_EQ(getStandardDir("nosuchdir", status), "");
    EXPECT_CODE(-52008, status);
    EXPECT_EQ(zytest::memberOf(status, "zysysq_debug", "name"), "nosuchdir");
}

// A missing library or one without the function leaves the defaults, unreported.
TEST(StandardDirTableTest, WithoutTheFunctionTheDefaultsStay) {
    for (const char* library :
         {"/nonexistent/libzyrelocations.so.0", ZY_TEST_RELOCATIONS_NOSYMBOL}) {
        zyerr::Status outcome;
        EXPECT_EQ(buildStandardDirTable(library, outcome).entries.size(), 19u) << library;
        EXPECT_CODE(0, outcome);
        EXPECT_EQ(outcome.elaboration, nullptr) << library;
    }
}

TEST(StandardDirTableTest, RelocationLibraryReplacesTheTable) {
    zyerr::Status outcome;
    const StandardDirTable table = buildStandardDirTable(ZY_TEST_RELOCATIONS, outcome);
    EXPECT_CODE(0, outcome);
    ASSERT_EQ(table.entries.size(), 4u);
    EXPECT_EQ(table.entries[0].name, "prefixdir");
    EXPECT_EQ(table.entries[0].value, "/opt/relocated");
    EXPECT_EQ(table.entries[1].name, "libdir");
    EXPECT_EQ(table.find("multiarchlibdir")->value, "/opt/relocated/lib/multiarch");
    // Names it does not answer have no entry: the defaults were discarded.
    EXPECT_EQ(table.find("bindir"), nullptr);
    // A full buffer without a NUL is taken up to the buffer's end.
    ASSERT_NE(table.find("docdir"), nullptr);
    EXPECT_EQ(table.find("docdir")->value, std::string(kRelocatedDirSize, 'd'));
}

TEST(StandardDirTableTest, FailingNameIsRecorded) {
    zyerr::Status outcome;
    const StandardDirTable table = buildStandardDirTable(ZY_TEST_RELOCATIONS_FAILING, outcome);
    ASSERT_NE(table.find("runstatedir"), nullptr);
    EXPECT_EQ(table.find("runstatedir")->status, -52006);
    EXPECT_CODE(-52006, outcome);
    EXPECT_EQ(zytest::memberOf(outcome, "zysysq_debug", "name"), "runstatedir");
    EXPECT_EQ(table.find("prefixdir")->value, "/opt/relocated");
}

}  // namespace
}  // namespace zyostrel::platform
