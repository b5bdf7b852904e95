// Sessions opened through the graphical host's FPGA library, loaded once on first use.
#include <gtest/gtest.h>

#include "sessions/HostRuntime.h"
#include "support/EmulatorFixture.h"

namespace {

using namespace zytest;

class WbOpenSessionTest : public EmulatorTest {};

TEST_F(WbOpenSessionTest, OpensWithTheImageSelectionOfAnOrdinaryOpen) {
    uint32_t session = 0;
    ASSERT_STATUS(0, zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session));
    const ZyEmuCall open = callsOf(ZYEMU_ENTRY_OPEN).back();
    EXPECT_EQ(open.word, 0xC0000000u) << "stored default image";
    EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
    // A later open reuses the loaded library.
    ASSERT_STATUS(0, zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session));
    EXPECT_EQ(zyostrel::sessions::hostRuntimeLoaderRuns(), 1u);
    EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
    EXPECT_NE(zyOstrel_WbOpenSession("nosuchresource", nullptr, 0, &session), 0);
}

}  // namespace
