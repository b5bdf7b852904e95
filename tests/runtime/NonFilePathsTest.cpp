// Paths that name no regular file, or a file too large to hold, are refused at once: by the
// emulated runtime's open, reached through the library's session open, and by the platform
// file reader.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "platform/FileRead.h"
#include "support/EmulatorFixture.h"
#include "support/TempPath.h"
#include "tests/status/StatusExpect.h"
#include "zyostrelapi.h"

namespace {

// A directory, a device, a named pipe without a writer and a socket, made for one test.
class NonFilePaths : public zytest::EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
        listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(socketPath.size(), sizeof address.sun_path);
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
            << std::strerror(errno);
    }
    void TearDown() override {
        ::close(listener);
        std::remove(socketPath.c_str());
        std::remove(fifo.c_str());
        EmulatorTest::TearDown();
    }

    // Runs open on its own thread. Should it block on the pipe, a writer releases it so the
    // test fails instead of hanging.
    int32_t openWithin(const std::function<int32_t()>& open) {
        auto result = std::async(std::launch::async, open);
        if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "the open waited for a writer";
            ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        }
        return result.get();
    }

    std::vector<std::string> paths() const {
        return {::testing::TempDir(), "/dev/zero", "/dev/null", fifo, socketPath};
    }

    const std::string fifo = zytest::uniqueTempPath("bitfile.fifo");
    const std::string socketPath = "/tmp/zyemu." + std::to_string(::getpid()) + ".socket";
    int listener = -1;
};

// The library's open reaches the runtime's with the path unchanged (OpenCloseTest).
TEST_F(NonFilePaths, OpenRefusesThemWithoutASession) {
    for (const std::string& path : paths()) {
        SCOPED_TRACE(path);
        uint32_t session = 0;
        EXPECT_EQ(openWithin([&] {
                      return zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, path.c_str(), 0,
                                                  &session);
                  }),
                  ZYEMU_STATUS_BITFILE_NOT_A_FILE);
        EXPECT_EQ(zyemu_open_session_count(), 0u);
    }
}

TEST_F(NonFilePaths, PlatformReaderRefusesThemAsNoFile) {
    for (const std::string& path : paths()) {
        SCOPED_TRACE(path);
        zyerr::Status status;
        std::vector<char> buffer{'x'};
        EXPECT_FALSE(openWithin(
            [&] { return zyostrel::platform::readWholeFile(path.c_str(), buffer, status); }));
        EXPECT_TRUE(buffer.empty());
        EXPECT_CODE(-52006, status);
        const int expected = path == ::testing::TempDir() ? EISDIR : ENODEV;
        EXPECT_EQ(zytest::memberOf(status, "internal_error", "code"), std::to_string(expected));
        EXPECT_EQ(zytest::memberOf(status, "zysysq_debug", "desc"), "not a regular file");
    }
}

// The size check comes before any byte is read: a sparse file one byte past the maximum is
// refused as fast as a small one.
TEST(BitfileSizeTest, FileOnePastTheMaximumIsRefused) {
    zyemu_reset();
    const std::string path = zytest::uniqueTempPath("oversize_bitfile.xml");
    { std::ofstream(path) << "<Bitfile/>"; }
    ASSERT_EQ(::truncate(path.c_str(), off_t{ZYEMU_MAX_BITFILE_SIZE} + 1), 0);
    uint32_t session = 0;
    EXPECT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, path.c_str(), 0, &session),
              ZYEMU_STATUS_BITFILE_TOO_LARGE);
    EXPECT_EQ(zyemu_open_session_count(), 0u);
    std::remove(path.c_str());
    zyemu_reset();
}

// The reader holds at most maxSize bytes, whatever the file's size said when it was opened: a
// file of the system's own shows size 0 and has content.
TEST(ReadWholeFileLimitTest, LargerFilesAndFilesGrowingPastTheLimitAreRefused) {
    const std::string path = zytest::uniqueTempPath("limit.txt");
    std::ofstream(path) << "12345";
    const struct {
        const char* path;
        std::size_t maxSize;
        bool read;
    } rows[] = {
        {path.c_str(), 5, true},
        {path.c_str(), 4, false},
        {"/proc/self/status", 16, false},
        {"/proc/self/status", zyostrel::platform::kWholeFileMaxSize, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " within " + std::to_string(row.maxSize));
        zyerr::Status status;
        std::vector<char> buffer;
        EXPECT_EQ(zyostrel::platform::readWholeFile(row.path, buffer, status, row.maxSize),
                  row.read);
        EXPECT_EQ(status.code, row.read ? 0 : -52000);
        if (row.read) {
            ASSERT_GT(buffer.size(), 1u);
            EXPECT_LE(buffer.size(), row.maxSize + 1);
            EXPECT_EQ(buffer.back(), '\0');
        } else {
            EXPECT_TRUE(buffer.empty());
        }
    }
    std::remove(path.c_str());
}

}  // namespace
