// Opening and closing sessions: what reaches the runtime's open and close entries.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace {

using OpenCloseTest = zytest::EmulatorTest;

// Image names open the stored image (0xC0000000 with the caller's low bits); anything else,
// even a near miss of an image name, is a bitfile path or document (0x80000000).
TEST_F(OpenCloseTest, ImageNamesPathsAndDocumentsReachTheOpenEntry) {
    const std::string nearMiss = std::string(ZYOSTREL_IMAGE_USER) + "x";
    std::ifstream in(ZY_SAMPLE_BITFILE, std::ios::binary);
    const std::string document((std::istreambuf_iterator<char>(in)), {});
    ASSERT_FALSE(document.empty());
    const struct {
        const char* path;
        uint32_t attribute;
        int32_t status;
        uint32_t word;
        const char* text;  // what the runtime is given; null: the path itself
    } rows[] = {
        {nullptr, 0, 0, 0xC0000000u, "/com::zy::ostrel::image::default"},
        {ZYOSTREL_IMAGE_DEFAULT, 0, 0, 0xC0000000u, nullptr},
        {ZYOSTREL_IMAGE_USER, 0, 0, 0xC0000000u, nullptr},
        {ZYOSTREL_IMAGE_GOLDEN, 0, 0, 0xC0000000u, nullptr},
        {ZYOSTREL_IMAGE_USER, 0x00000105, 0, 0xC0000105u, nullptr},
        {nullptr, 0x40000001, 0, 0xC0000001u, "/com::zy::ostrel::image::default"},
        {nearMiss.c_str(), 0x10, ZYEMU_STATUS_BITFILE_UNREADABLE, 0x80000010u, nullptr},
        {"/com::zy::ostrel::image::", 0, ZYEMU_STATUS_BITFILE_UNREADABLE, 0x80000000u, nullptr},
        {"/COM::ZY::OSTREL::IMAGE::DEFAULT", 0, ZYEMU_STATUS_BITFILE_UNREADABLE, 0x80000000u,
         nullptr},
        {ZY_SAMPLE_BITFILE, 0, 0, 0x80000000u, nullptr},
        {document.c_str(), 0, 0, 0x80000000u, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.path != nullptr ? row.path : "(null)").substr(0, 60));
        zyemu_clear_log();
        uint32_t session = 0;
        EXPECT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, row.path, row.attribute, &session),
                  row.status);
        if (row.status == 0) {
            EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
        }
        const ZyEmuCall open = calls().at(0);
        EXPECT_EQ(open.entry, ZYEMU_ENTRY_OPEN);
        EXPECT_STREQ(open.text, row.text != nullptr ? row.text : row.path);
        EXPECT_STREQ(open.resource, ZYEMU_RESOURCE_DEFAULT);
        EXPECT_EQ(open.word, row.word);
        EXPECT_EQ(open.signatureGiven, 0);
    }
}

TEST_F(OpenCloseTest, BadArgumentsFailAndLeaveTheSessionUnset) {
    uint32_t session = 0xABCD;
    EXPECT_EQ(zyOstrel_OpenSession("no-such-device", nullptr, 0, &session),
              ZYEMU_STATUS_RESOURCE_NOT_FOUND);
    EXPECT_EQ(session, 0xABCDu);
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_ARGUMENT,
                  zyOstrel_OpenSession(nullptr, nullptr, 0, &session));
    EXPECT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, nullptr),
              ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(zyemu_open_session_count(), 0u);
}

TEST_F(OpenCloseTest, OpenStatusComesFromTheRuntimeUnchanged) {
    zytest::Fault::entry(ZYEMU_ENTRY_OPEN).status(-63150).add();
    uint32_t session = 0;
    EXPECT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), -63150);
}

TEST_F(OpenCloseTest, CloseForwardsSessionAndAttributeAndTheSecondCloseFails) {
    uint32_t session = 0;
    ASSERT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_SECOND, nullptr, 0, &session));
    zyemu_clear_log();
    EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0x55));
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(std::vector<uint32_t>({lastCall().entry, lastCall().session, lastCall().word}),
              std::vector<uint32_t>({ZYEMU_ENTRY_CLOSE, session, 0x55}));
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_SESSION, zyOstrel_CloseSession(session, 0));
}

TEST_F(OpenCloseTest, SimulationControlEntriesAlwaysFail) {
    EXPECT_EQ(zyOstrel_RestartSimulation(), -1);
    EXPECT_EQ(zyOstrel_DisposeSimulation(), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
