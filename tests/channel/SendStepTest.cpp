// What the send step hands to the runtime, seen from the emulator's call log.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <thread>
#include <vector>

#include "channel/CommandChannel.h"
#include "status/Status.h"
#include "support/EmulatorFixture.h"

namespace zyostrel::channel {
namespace {

using zytest::Fault;

#pragma pack(push, 1)
struct ProbeRecord {
    CommandHeader header;
    uint32_t value;
    char text[8];
};
#pragma pack(pop)

using SendStepTest = zytest::SessionTest;

TEST_F(SendStepTest, InterfaceCallCarriesGroupFunctionAndTheWholeRecord) {
    ProbeRecord record{{InterfaceId(Interface::Routing, 7, 9), 42}, 0xA1B2C3D4, {}};
    copyTextField(record.text, "PFI0");
    std::array<uint8_t, 4> reply{};
    sendInterfaceCommand(session, record, reply);
    ASSERT_EQ(zyemu_call_count(), 1u);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(
        std::vector<uint32_t>({call.entry, call.session, call.functionGroup, call.functionNumber}),
        std::vector<uint32_t>({ZYEMU_ENTRY_CLIENT_CALL, session, 2, 256}));
    ASSERT_EQ(call.inputSize, 32u);
    EXPECT_EQ(0, std::memcmp(call.input, &record, sizeof record));
    EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 4, 8, 12, 16, 20}),
              (std::vector<uint32_t>{261, 0, 7, 9, 42, 0xA1B2C3D4}));
    EXPECT_EQ(call.outputGiven, 1);
    EXPECT_EQ(call.outputSize, 4u);

    // A command without a reply passes null and zero.
    sendInterfaceCommand(session, CommandHeader{InterfaceId(Interface::Synchronisation), 10});
    EXPECT_EQ(lastCall().inputSize, 20u);
    EXPECT_EQ(lastCall().outputGiven, 0);
    EXPECT_EQ(lastCall().outputSize, 0u);
}

// The simulation bit alone decides, without looking the session up.
TEST_F(SendStepTest, SimulatedSessionNeverReachesTheRuntime) {
    ASSERT_NE(simulated & kSimulatedSessionBit, 0u);
    EXPECT_EQ(sendInterfaceCommand(simulated, CommandHeader{InterfaceId(Interface::Stream), 278}),
              -1);
    const CommandHeader header{InterfaceId(Interface::Attribute), 721};
    EXPECT_EQ(sendInterfaceCommand(0x2000u, header), -1);
    EXPECT_EQ(sendInterfaceCommand(0xFFFFFFFFu, header), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(SendStepTest, DirectFunctionReachesTheRuntimeEvenOnASimulatedSession) {
    const int32_t code = -61205;
    char reply[64];
    EXPECT_STATUS(0, sendDirectCommand(simulated, 800, &code, sizeof code, reply, sizeof reply),
                  simulated);
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(std::vector<uint32_t>({lastCall().functionGroup, lastCall().functionNumber}),
              std::vector<uint32_t>({2, 800}));
    EXPECT_EQ(inputOf(lastCall()), zytest::Bytes({0xEB, 0x10, 0xFF, 0xFF}));

    // Without input the runtime is given null.
    double limit = 0;
    sendDirectCommand(session, 16, nullptr, 0, &limit, sizeof limit);
    EXPECT_EQ(lastCall().functionNumber, 16u);
    EXPECT_EQ(lastCall().input, nullptr);
    EXPECT_EQ(lastCall().inputSize, 0u);
    EXPECT_EQ(lastCall().outputSize, 8u);
}

// The variant that reports through a status: a failing command is followed by command 800
// for its code, and the device's text lands in the status.
TEST_F(SendStepTest, ElaboratedSendFetchesTheDevicesTextForAFailure) {
    const CommandHeader header{InterfaceId(Interface::Routing), 999};  // no such method
    zyerr::Status status;
    const int32_t result = sendElaboratedInterfaceCommand(session, header, &status);
    EXPECT_STATUS(ZYEMU_STATUS_UNKNOWN_COMMAND, result);
    ASSERT_EQ(zyemu_call_count(), 2u);
    EXPECT_EQ(lastCall().functionNumber, 800u);
    EXPECT_EQ(status.code, result);
    EXPECT_NE(std::strstr(zyerr::elaborationText(status), R"("usage":"kUsageTypeMethod")"),
              nullptr);
}

TEST_F(SendStepTest, ElaboratedSendElaboratesAWarningButNotSuccess) {
    Fault::interface(260).status(9).times(1).add();
    const CommandHeader header{InterfaceId(Interface::Synchronisation), 10};
    zyerr::Status status;
    EXPECT_STATUS(9, sendElaboratedInterfaceCommand(session, header, &status));
    ASSERT_EQ(zyemu_call_count(), 2u);
    EXPECT_EQ(lastCall().functionNumber, 800u);
    EXPECT_EQ(status.code, 9);

    zyemu_clear_log();
    Fault::interface(260).times(1).add();  // a command that succeeds
    zyerr::Status untouched;
    EXPECT_STATUS(0, sendElaboratedInterfaceCommand(session, header, &untouched));
    EXPECT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(untouched.code, 0);
    EXPECT_EQ(untouched.elaboration, nullptr);
}

TEST_F(SendStepTest, ElaboratedSendWithoutStatusFetchesNothing) {
    const CommandHeader header{InterfaceId(Interface::Routing), 999};
    EXPECT_STATUS(ZYEMU_STATUS_UNKNOWN_COMMAND,
                  sendElaboratedInterfaceCommand(session, header, nullptr));
    EXPECT_EQ(zyemu_call_count(), 1u);
}

TEST_F(SendStepTest, ConcurrentCallersAreAllServed) {
    constexpr int kThreads = 4;
    constexpr int kCallsPerThread = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this] {
            for (int i = 0; i < kCallsPerThread; ++i) {
                const int32_t code = -1;
                char reply[16];
                sendDirectCommand(session, 800, &code, sizeof code, reply, sizeof reply);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(zyemu_call_count(), size_t{kThreads * kCallsPerThread});
}

}  // namespace
}  // namespace zyostrel::channel
