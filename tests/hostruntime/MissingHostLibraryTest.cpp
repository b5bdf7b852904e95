// The graphical host's FPGA library cannot be found: opens fail without a session, and each
// one tries to load the library again. This program finds the runtime and the registry
// through a folder that holds only those two (see CMakeLists.txt).
#include <gtest/gtest.h>

#include "sessions/HostRuntime.h"
#include "support/EmulatorFixture.h"

namespace {

using namespace zytest;

class MissingHostLibraryTest : public EmulatorTest {};

TEST_F(MissingHostLibraryTest, OpenFailsAndTheNextOneTriesAgain) {
    uint32_t session = 0;
    EXPECT_EQ(zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyostrel::sessions::hostRuntimeLoaderRuns(), 2u);
    EXPECT_TRUE(callsOf(ZYEMU_ENTRY_OPEN).empty());
    EXPECT_EQ(zyemu_open_session_count(), 0u);
}

}  // namespace
