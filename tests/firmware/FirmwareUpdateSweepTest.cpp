// A failure injected at every runtime call of a full update, in turn: whatever fails, the
// update ends as failed, leaves no session open and never writes the golden slot without a
// loadable default image that the device would boot from.
#include <gtest/gtest.h>

#include "firmware/UpdateFixtures.h"

namespace {

using namespace zytest;

using FirmwareUpdateSweep = EmulatorTest;

// The golden and the default bitfile and the adapter image all differ from the factory's, so
// every one of them is written.
TEST_F(FirmwareUpdateSweep, EveryFailingCallEndsTheUpdateSafely) {
    const auto bundle = UpdateBundle().bytes();
    ASSERT_EQ(updateWith(bundle), 0);
    ASSERT_EQ(progressOf(), endedAs(false));
    const std::vector<ZyEmuCall> clean = calls();
    ASSERT_GT(clean.size(), 20u);

    for (const int32_t injected : {-5, 5}) {
        for (size_t index = 0; index < clean.size(); ++index) {
            SCOPED_TRACE(testing::Message() << "status " << injected << " at call " << index);
            zyemu_reset();
            zyemu_clear_log();
            // A close that fails still ends the session, as it does on the device.
            Fault fault = Fault::callAt(index).status(injected);
            if (clean[index].entry == ZYEMU_ENTRY_CLOSE) fault.afterRunning();
            fault.add();
            const int32_t status = updateWith(bundle);
            // Steps run only while nothing was reported, so a warning ends the update too;
            // a failing read of the default slot is a failure, not an empty slot whose image
            // would be replaced and cleared.
            EXPECT_NE(status, 0);
            EXPECT_EQ(progressOf(), endedAs(status != 0));
            EXPECT_EQ(zyemu_open_session_count(), 0u);
            EXPECT_EQ(flashState().unprotectedGoldenWrites, 0u);
        }
    }
}

}  // namespace
