// Every device call of a DSP reset of three sessions fails in turn: each run reports the
// session that failed and leaves every request idle and every source it filled in empty.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DspResetSupport.h"

namespace {

using namespace zytest;
using ::testing::HasSubstr;

constexpr int32_t kFault = -70001;

class DspResetFaultTest : public DspResetTest {
protected:
    size_t positionOf(uint32_t session) const {
        return static_cast<size_t>(std::find(sessions.begin(), sessions.end(), session) -
                                   sessions.begin());
    }
};

TEST_F(DspResetFaultTest, EachCallFailingOnceIsReportedForItsSessionAndCleanedUp) {
    openSessions(3);
    ASSERT_EQ(reset(), 0) << description;
    const std::vector<ZyEmuCall> run = calls();
    // The clean-up starts after the last state read, the receivers' final wait.
    size_t cleanUpStart = 0;
    for (size_t i = 0; i < run.size(); ++i) {
        if (run[i].entry == ZYEMU_ENTRY_READ_U8) cleanUpStart = i + 1;
    }
    ASSERT_GT(cleanUpStart, 20u);
    ASSERT_LT(cleanUpStart, run.size());

    for (const bool afterRunning : {false, true}) {
        for (size_t i = 0; i < run.size(); ++i) {
            SCOPED_TRACE("call " + std::to_string(i) + " of " + std::to_string(run.size()) +
                         (afterRunning ? ", carried out" : ", not carried out"));
            zyemu_clear_log();
            Fault fault = Fault::callAt(i).status(kFault).times(1);
            if (afterRunning) fault.afterRunning();
            fault.add();
            const int32_t status = reset();
            zyemu_clear_faults();
            if (i < cleanUpStart) {
                EXPECT_EQ(status, kFault);
                EXPECT_THAT(description, HasSubstr(sessionIndexLine(positionOf(run[i].session))));
            } else {
                EXPECT_EQ(status, 0) << "a clean-up step that fails once is tried again";
            }
            expectLeftIdle();
            for (size_t s = 0; s < sessions.size(); ++s) EXPECT_EQ(registersOf(s)[1], 0);
        }
    }
}

TEST_F(DspResetFaultTest, CleanUpStepFailingTwiceIsReportedAfterASuccessfulReset) {
    openSessions(3);
    // Both wirings pass; every clearing of a source fails.
    Fault::attribute(kResetSourceId, 722).skip(2).status(kFault).add();
    EXPECT_EQ(reset(), kFault);
    EXPECT_THAT(description, HasSubstr(sessionIndexLine(1)));
    for (size_t i = 0; i < sessions.size(); ++i) EXPECT_EQ(registersOf(i)[0], 0);
    zyemu_clear_faults();
    ASSERT_EQ(zyemu_set_attribute_text("ostrel1", kResetSourceId, "0", ""), 0);
    ASSERT_EQ(zyemu_set_attribute_text("ostrel2", kResetSourceId, "0", ""), 0);

    // The reset's own failure comes first.
    ASSERT_EQ(zyemu_hold_dsp_reset_state(sessions[2], 0, 0), 0);
    Fault::attribute(kResetSourceId, 722).skip(2).status(kFault).add();
    EXPECT_EQ(reset(), ZYOSTREL_Status_DspResetTimeout);
    EXPECT_THAT(description, HasSubstr(sessionIndexLine(2)));
}

TEST_F(DspResetFaultTest, FailureIsReportedWhenItsElaborationCannotBeFetched) {
    openSessions(2);
    Fault::entry(ZYEMU_ENTRY_WRITE_U8).skip(2).status(kFault).times(1).add();
    Fault::function(800).status(-70002).add();
    EXPECT_EQ(reset(), kFault);
    EXPECT_THAT(description, HasSubstr(sessionIndexLine(1)));
    zyemu_clear_faults();
    expectLeftIdle();
}

}  // namespace
