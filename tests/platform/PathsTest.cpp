// Path variables, the shared directory and the standard directory table.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Paths.h"
#include "status/ElaborationReader.h"
#include "support/TempPath.h"

namespace zyostrel::platform {
namespace {

class SharedDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = zytest::uniqueTempPath("share_dir_test.dir");
        setShareDirFileForTesting(path_.c_str());
    }
    void TearDown() override {
        setShareDirFileForTesting(nullptr);
        std::remove(path_.c_str());
    }
    void writeShareDir(const std::string& content) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    std::string path_;
};

TEST_F(SharedDirTest, ContentIsTrimmedToTheBarePath) {
    writeShareDir(" /opt/zyvend/share/ \n");
    zyerr::Status status;
    EXPECT_EQ(getSharedDir(status), "/opt/zyvend/share");
    EXPECT_EQ(lookupPathVariable("_zySharedDir", status), "/opt/zyvend/share");
    EXPECT_EQ(lookupPathVariable("_zyShared32Dir", status), "/opt/zyvend/share");
    EXPECT_EQ(status.code, 0);
    writeShareDir(std::string("\t\n/srv/share//\0\0 \r\n", 20));  // NULs, slashes, tabs go
    EXPECT_EQ(getSharedDir(status), "/srv/share");
}

TEST_F(SharedDirTest, FileIsReadOnEveryUse) {
    writeShareDir("/first");
    zyerr::Status status;
    EXPECT_EQ(getSharedDir(status), "/first");
    writeShareDir("/second");
    EXPECT_EQ(getSharedDir(status), "/second");
}

TEST_F(SharedDirTest, UnreadableFileGivesTheDefaultWithoutAnError) {
    zyerr::Status status;
    EXPECT_EQ(getSharedDir(status), kDefaultSharedDir);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.elaboration, nullptr);
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
    EXPECT_EQ(status.code, 0);
    zyerr::Status failed(-1);  // nothing happens on a status holding an error
    EXPECT_EQ(lookupPathVariable("_commonAppDataDir", failed), "");
    EXPECT_EQ(getStandardDir("bindir", failed), "");
    EXPECT_EQ(failed.code, -1);
}

TEST(PathVariableTest, TempDirFollowsTmpdir) {
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved != nullptr ? saved : "";
    zyerr::Status status;
    unsetenv("TMPDIR");
    EXPECT_EQ(lookupPathVariable("_tempDir", status), "/tmp");
    setenv("TMPDIR", "/var/tmp/mine", 1);
    EXPECT_EQ(lookupPathVariable("_tempDir", status), "/var/tmp/mine");
    if (saved != nullptr) {
        setenv("TMPDIR", savedValue.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

TEST(StandardDirTest, WithoutTheRelocationLibraryTheDefaultsHoldAndUnknownNamesFail) {
    zyerr::Status status;
    EXPECT_EQ(getStandardDir("multiarchlibdir", status), "/usr/lib/x86_64-linux-gnu");
    EXPECT_EQ(getStandardDir("initddir", status), "/etc/init.d");
    EXPECT_EQ(lookupPathVariable("_multiarchlibdir", status), "/usr/lib/x86_64-linux-gnu");
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(getStandardDir("nosuchdir", status), "");
    EXPECT_EQ(status.code, -52008);
    const zyerr::JsonText text(zyerr::elaborationText(status));
    const std::size_t debug = text.findKey(0, "zysysq_debug");
    EXPECT_TRUE(text.stringEquals(text.findKey(debug, "name"), "nosuchdir"));
}

// A missing library or one without the function leaves the defaults, unreported.
TEST(StandardDirTableTest, WithoutTheFunctionTheDefaultsStay) {
    for (const char* library :
         {"/nonexistent/libzyrelocations.so.0", ZY_TEST_RELOCATIONS_NOSYMBOL}) {
        zyerr::Status outcome;
        const StandardDirTable table = buildStandardDirTable(library, outcome);
        EXPECT_EQ(table.entries.size(), 19u) << library;
        EXPECT_EQ(outcome.code, 0) << library;
        EXPECT_EQ(outcome.elaboration, nullptr) << library;
    }
}

TEST(StandardDirTableTest, RelocationLibraryReplacesTheTable) {
    zyerr::Status outcome;
    const StandardDirTable table = buildStandardDirTable(ZY_TEST_RELOCATIONS, outcome);
    EXPECT_EQ(outcome.code, 0);
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
    EXPECT_EQ(outcome.code, -52006);
    const zyerr::JsonText text(zyerr::elaborationText(outcome));
    EXPECT_TRUE(
        text.stringEquals(text.findKey(text.findKey(0, "zysysq_debug"), "name"), "runstatedir"));
    EXPECT_EQ(table.find("prefixdir")->value, "/opt/relocated");
}

}  // namespace
}  // namespace zyostrel::platform
