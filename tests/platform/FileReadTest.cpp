// Reading whole files, and the diagnostics of a file that cannot be read.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/FileRead.h"
#include "status/ElaborationReader.h"
#include "support/TempPath.h"

namespace zyostrel::platform {
namespace {

using zyerr::JsonText;

// The whole file, embedded NULs and all, followed by one NUL; an empty file is just the NUL.
TEST(ReadWholeFileTest, BytesFollowedByNul) {
    const std::string path = zytest::uniqueTempPath("read_whole_file_test.bin");
    for (const std::string& content : {std::string("a\0b\xff", 4), std::string()}) {
        std::ofstream(path, std::ios::binary) << content;
        zyerr::Status status;
        std::vector<char> buffer{'x'};
        ASSERT_TRUE(readWholeFile(path.c_str(), buffer, status));
        EXPECT_EQ(std::string(buffer.begin(), buffer.end()), content + '\0');
    }
    std::remove(path.c_str());
}

TEST(ReadWholeFileTest, MissingFileRecordsNotFoundWithErrno) {
    zyerr::Status status;
    std::vector<char> buffer;
    EXPECT_FALSE(readWholeFile("/nonexistent/file.txt", buffer, status));
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(status.code, -52006);
    const JsonText text(zyerr::elaborationText(status));
    const std::size_t internal = text.findKey(0, "internal_error");
    EXPECT_TRUE(text.stringEquals(text.findKey(internal, "api"), "errno"));
    EXPECT_EQ(text.integerAt(text.findKey(internal, "code"), 0), ENOENT);
    EXPECT_FALSE(text.stringAt(text.findKey(internal, "string"), "").empty());
    const std::size_t debug = text.findKey(0, "zysysq_debug");
    EXPECT_TRUE(text.stringEquals(text.findKey(debug, "desc"), "error opening file"));
    EXPECT_TRUE(text.stringEquals(text.findKey(debug, "filename"), "/nonexistent/file.txt"));
    EXPECT_LT(internal, debug);  // the system's error comes first
}

TEST(ReadWholeFileTest, DirectoryOrNullPathIsNoFileAndAnErrorHeldStopsTheRead) {
    zyerr::Status status;
    std::vector<char> buffer;
    EXPECT_FALSE(readWholeFile(::testing::TempDir().c_str(), buffer, status));
    EXPECT_EQ(status.code, -52006);
    const JsonText text(zyerr::elaborationText(status));
    EXPECT_EQ(text.integerAt(text.findKey(text.findKey(0, "internal_error"), "code"), 0), EISDIR);
    zyerr::Status nullPath;
    EXPECT_FALSE(readWholeFile(nullptr, buffer, nullPath));
    EXPECT_EQ(nullPath.code, -52006);
    zyerr::Status failed(-3);
    EXPECT_FALSE(readWholeFile("/etc/hostname", buffer, failed));
    EXPECT_EQ(failed.code, -3);
}

}  // namespace
}  // namespace zyostrel::platform
