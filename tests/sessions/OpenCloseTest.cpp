// Opening and closing sessions: what reaches the runtime's open and close entries.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "sessions/Sessions.h"
#include "support/EmulatorFixture.h"
#include "support/TempPath.h"
#include "zyostrelapi.h"

namespace {

using zytest::EmulatorTest;

class OpenCloseTest : public EmulatorTest {
protected:
    // Opens, checks the open entry's record, closes; returns the logged open call.
    ZyEmuCall openAndClose(const char* path, uint32_t attribute, int32_t expected = 0) {
        uint32_t session = 0;
        EXPECT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, path, attribute, &session),
                  expected);
        const ZyEmuCall open = calls().at(0);
        if (expected == 0) {
            EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
        }
        return open;
    }
};

TEST_F(OpenCloseTest, NullPathOpensTheDefaultImage) {
    const ZyEmuCall open = openAndClose(nullptr, 0);
    EXPECT_EQ(open.entry, ZYEMU_ENTRY_OPEN);
    EXPECT_STREQ(open.text, "/com::zy::ostrel::image::default");
    EXPECT_STREQ(open.resource, ZYEMU_RESOURCE_DEFAULT);
    EXPECT_EQ(open.word, 0xC0000000u);
    EXPECT_EQ(open.signatureGiven, 0);
}

TEST_F(OpenCloseTest, EveryImageNameOpensTheStoredImage) {
    for (const char* name : {ZYOSTREL_IMAGE_DEFAULT, ZYOSTREL_IMAGE_USER, ZYOSTREL_IMAGE_GOLDEN}) {
        zyemu_clear_log();
        const ZyEmuCall open = openAndClose(name, 0);
        EXPECT_STREQ(open.text, name);
        EXPECT_EQ(open.word, 0xC0000000u) << name;
    }
}

TEST_F(OpenCloseTest, CallerAttributeBitsAreKept) {
    EXPECT_EQ(openAndClose(ZYOSTREL_IMAGE_USER, 0x00000105).word, 0xC0000105u);
    zyemu_clear_log();
    EXPECT_EQ(openAndClose(nullptr, 0x40000001).word, 0xC0000001u);
}

TEST_F(OpenCloseTest, NameThatOnlyBeginsWithAnImageNameIsAPath) {
    const std::string longer = std::string(ZYOSTREL_IMAGE_USER) + "x";
    const ZyEmuCall open =
        openAndClose(longer.c_str(), 0x10, ZYEMU_STATUS_BITFILE_UNREADABLE);
    EXPECT_STREQ(open.text, longer.c_str());
    EXPECT_EQ(open.word, 0x80000010u);
}

TEST_F(OpenCloseTest, ImageNamePrefixIsAPath) {
    const ZyEmuCall open =
        openAndClose("/com::zy::ostrel::image::", 0, ZYEMU_STATUS_BITFILE_UNREADABLE);
    EXPECT_EQ(open.word, 0x80000000u);
}

TEST_F(OpenCloseTest, ImageNameInOtherCaseIsAPath) {
    const ZyEmuCall open =
        openAndClose("/COM::ZY::OSTREL::IMAGE::DEFAULT", 0, ZYEMU_STATUS_BITFILE_UNREADABLE);
    EXPECT_EQ(open.word, 0x80000000u);
}

TEST_F(OpenCloseTest, BitfilePathOpensWithTheLibraryBitOnly) {
    const ZyEmuCall open = openAndClose(ZY_SAMPLE_BITFILE, 0);
    EXPECT_STREQ(open.text, ZY_SAMPLE_BITFILE);
    EXPECT_EQ(open.word, 0x80000000u);
}

TEST_F(OpenCloseTest, BitfileDocumentTextIsAccepted) {
    std::ifstream in(ZY_SAMPLE_BITFILE, std::ios::binary);
    const std::string document((std::istreambuf_iterator<char>(in)), {});
    ASSERT_FALSE(document.empty());
    const ZyEmuCall open = openAndClose(document.c_str(), 0);
    EXPECT_EQ(open.word, 0x80000000u);
}

TEST_F(OpenCloseTest, DocumentThatIsNotADesignIsRejected) {
    openAndClose("<?xml version=\"1.0\"?><Bitfile/>", 0, ZYEMU_STATUS_BITFILE_INVALID);
}

TEST_F(OpenCloseTest, FileThatIsNotADocumentIsRejected) {
    const std::string path = zytest::uniqueTempPath("not_a_bitfile.bin");
    std::ofstream(path) << "plain text";
    openAndClose(path.c_str(), 0, ZYEMU_STATUS_BITFILE_INVALID);
    std::remove(path.c_str());
}

TEST_F(OpenCloseTest, UnknownResourceFailsAndLeavesTheSessionUnset) {
    uint32_t session = 0xABCD;
    EXPECT_EQ(zyOstrel_OpenSession("no-such-device", nullptr, 0, &session),
              ZYEMU_STATUS_RESOURCE_NOT_FOUND);
    EXPECT_EQ(session, 0xABCDu);
}

TEST_F(OpenCloseTest, NullArgumentsAreRejectedByTheRuntime) {
    uint32_t session = 0;
    EXPECT_EQ(zyOstrel_OpenSession(nullptr, nullptr, 0, &session),
              ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, nullptr),
              ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(zyemu_open_session_count(), 0u);
}

TEST_F(OpenCloseTest, OpenStatusComesFromTheRuntimeUnchanged) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_ENTRY;
    fault.entry = ZYEMU_ENTRY_OPEN;
    fault.status = -63150;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    uint32_t session = 0;
    EXPECT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), -63150);
}

TEST_F(OpenCloseTest, SimulatedResourceHandsOutSimulatedHandles) {
    uint32_t real = 0;
    uint32_t simulated = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &real), 0);
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &simulated), 0);
    EXPECT_EQ(real & ZYOSTREL_SIMULATED_SESSION_BIT, 0u);
    EXPECT_NE(simulated & ZYOSTREL_SIMULATED_SESSION_BIT, 0u);
    EXPECT_NE(real, simulated);
    EXPECT_EQ(zyOstrel_CloseSession(simulated, 0), 0);
    EXPECT_EQ(zyOstrel_CloseSession(real, 0), 0);
}

TEST_F(OpenCloseTest, CloseForwardsSessionAndAttribute) {
    uint32_t session = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_SECOND, nullptr, 0, &session), 0);
    zyemu_clear_log();
    EXPECT_EQ(zyOstrel_CloseSession(session, 0x55), 0);
    ASSERT_EQ(zyemu_call_count(), 1u);
    const ZyEmuCall close = lastCall();
    EXPECT_EQ(close.entry, ZYEMU_ENTRY_CLOSE);
    EXPECT_EQ(close.session, session);
    EXPECT_EQ(close.word, 0x55u);
}

TEST_F(OpenCloseTest, ClosingTwiceReportsTheRuntimeError) {
    uint32_t session = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
    EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
    EXPECT_EQ(zyOstrel_CloseSession(session, 0), ZYEMU_STATUS_INVALID_SESSION);
}

TEST_F(OpenCloseTest, SimulationControlEntriesAlwaysFail) {
    EXPECT_EQ(zyOstrel_RestartSimulation(), -1);
    EXPECT_EQ(zyOstrel_DisposeSimulation(), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST(OpenWithImageTest, UsesTheGivenOpenEntry) {
    static const char* seenPath;
    static uint32_t seenAttribute;
    auto entry = [](const char* path, const char* signature, const char*, uint32_t attribute,
                    uint32_t* session) -> int32_t {
        seenPath = path;
        seenAttribute = attribute;
        *session = 77;
        return signature == nullptr ? 3 : -1;
    };
    uint32_t session = 0;
    EXPECT_EQ(zyostrel::sessions::openWithImage(entry, "r", nullptr, 2, &session), 3);
    EXPECT_STREQ(seenPath, ZYOSTREL_IMAGE_DEFAULT);
    EXPECT_EQ(seenAttribute, 0xC0000002u);
    EXPECT_EQ(session, 77u);
}

}  // namespace
