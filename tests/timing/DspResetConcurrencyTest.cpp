// DSP resets of separate session groups running at once, each group on its own instruments
// and its own trigger line.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "DspResetSupport.h"

namespace {

using namespace zytest;

TEST_F(DspResetTest, SeparateGroupsResetFromSeveralThreadsAtOnce) {
    constexpr size_t kGroups = 3;
    constexpr size_t kGroupSize = 2;
    constexpr int kRounds = 20;
    openSessions(kGroups * kGroupSize);
    for (size_t group = 0; group < kGroups; ++group) {
        const std::string line = "PXI_Trig" + std::to_string(group + 1);
        ASSERT_EQ(zyemu_set_attribute_text(resources[group * kGroupSize].c_str(),
                                           kSendingTerminalId, "0", line.c_str()),
                  0);
    }
    // A wait that polls keeps the log busy; none of it is needed here.
    zyemu_set_log_limit(0, 0);

    std::vector<std::vector<int32_t>> statuses(kGroups);
    std::vector<std::thread> threads;
    for (size_t group = 0; group < kGroups; ++group) {
        threads.emplace_back([&, group] {
            const uint32_t* members = sessions.data() + group * kGroupSize;
            for (int round = 0; round < kRounds; ++round) {
                statuses[group].push_back(
                    zyOstrel_ResetDspSynchronously(members, kGroupSize, 0, 0, nullptr));
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (size_t group = 0; group < kGroups; ++group) {
        EXPECT_EQ(statuses[group], std::vector<int32_t>(kRounds, 0)) << "group " << group;
    }
    expectLeftIdle();
}

}  // namespace
