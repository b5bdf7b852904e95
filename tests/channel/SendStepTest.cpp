// What the send step hands to the runtime, seen from the emulator's call log.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <thread>
#include <vector>

#include "channel/CommandChannel.h"
#include "status/Status.h"
#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace zyostrel::channel {
namespace {

#pragma pack(push, 1)
struct ProbeRecord {
    CommandHeader header;
    uint32_t value;
    char text[8];
};
#pragma pack(pop)

class SendStepTest : public zytest::EmulatorTest {
protected:
    uint32_t open(const char* resource = ZYEMU_RESOURCE_DEFAULT) {
        uint32_t session = 0;
        EXPECT_EQ(zyOstrel_OpenSession(resource, nullptr, 0, &session), 0);
        zyemu_clear_log();
        return session;
    }
};

TEST_F(SendStepTest, InterfaceCallCarriesGroupFunctionAndTheWholeRecord) {
    const uint32_t session = open();
    ProbeRecord record{{InterfaceId(Interface::Routing, 7, 9), 42}, 0xA1B2C3D4, {}};
    copyTextField(record.text, "PFI0");
    std::array<uint8_t, 4> reply{};

    sendInterfaceCommand(session, record, reply);

    ASSERT_EQ(zyemu_call_count(), 1u);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.entry, ZYEMU_ENTRY_CLIENT_CALL);
    EXPECT_EQ(call.session, session);
    EXPECT_EQ(call.functionGroup, 2u);
    EXPECT_EQ(call.functionNumber, 256u);
    ASSERT_EQ(call.inputSize, sizeof(ProbeRecord));
    EXPECT_EQ(call.inputSize, 32u);
    EXPECT_EQ(0, std::memcmp(call.input, &record, sizeof record));
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 0), 261u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 4), 0u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 8), 7u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 12), 9u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 16), 42u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 20), 0xA1B2C3D4u);
    EXPECT_EQ(call.outputGiven, 1);
    EXPECT_EQ(call.outputSize, 4u);
    zyOstrel_CloseSession(session, 0);
}

TEST_F(SendStepTest, CommandWithoutReplyPassesNullAndZero) {
    const uint32_t session = open();
    CommandHeader header{InterfaceId(Interface::Synchronisation), 10};
    sendInterfaceCommand(session, header);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.inputSize, 20u);
    EXPECT_EQ(call.outputGiven, 0);
    EXPECT_EQ(call.outputSize, 0u);
    zyOstrel_CloseSession(session, 0);
}

TEST_F(SendStepTest, SimulatedSessionNeverReachesTheRuntime) {
    const uint32_t session = open(ZYEMU_RESOURCE_SIMULATED);
    ASSERT_NE(session & kSimulatedSessionBit, 0u);
    CommandHeader header{InterfaceId(Interface::Stream), 278};
    EXPECT_EQ(sendInterfaceCommand(session, header), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
    zyOstrel_CloseSession(session, 0);
}

TEST_F(SendStepTest, SimulationBitAloneDecidesWithoutLookingUpTheSession) {
    CommandHeader header{InterfaceId(Interface::Attribute), 721};
    EXPECT_EQ(sendInterfaceCommand(0x2000u, header), -1);
    EXPECT_EQ(sendInterfaceCommand(0xFFFFFFFFu, header), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(SendStepTest, DirectFunctionOnSimulatedSessionReachesTheRuntime) {
    const uint32_t session = open(ZYEMU_RESOURCE_SIMULATED);
    const int32_t code = -61205;
    char reply[64];
    EXPECT_EQ(sendDirectCommand(session, 800, &code, sizeof code, reply, sizeof reply), 0);
    ASSERT_EQ(zyemu_call_count(), 1u);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionGroup, 2u);
    EXPECT_EQ(call.functionNumber, 800u);
    EXPECT_EQ(call.inputSize, 4u);
    EXPECT_EQ(zytest::fieldAt<int32_t>(call, 0), code);
    zyOstrel_CloseSession(session, 0);
}

TEST_F(SendStepTest, DirectFunctionWithoutInputPassesNull) {
    const uint32_t session = open();
    double limit = 0;
    sendDirectCommand(session, 16, nullptr, 0, &limit, sizeof limit);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 16u);
    EXPECT_EQ(call.input, nullptr);
    EXPECT_EQ(call.inputSize, 0u);
    EXPECT_EQ(call.outputSize, 8u);
    zyOstrel_CloseSession(session, 0);
}

TEST_F(SendStepTest, RuntimeStatusIsReturnedUnchanged) {
    const uint32_t session = open();
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_INTERFACE | ZYEMU_MATCH_METHOD;
    fault.interfaceNumber = 262;
    fault.method = 1;
    fault.status = -123456;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    CommandHeader header{InterfaceId(Interface::InstructionFifo), 1};
    EXPECT_EQ(sendInterfaceCommand(session, header), -123456);
    fault.status = 17;  // a warning passes through as well
    fault.method = 0;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    header.method = 0;
    EXPECT_EQ(sendInterfaceCommand(session, header), 17);
    zyOstrel_CloseSession(session, 0);
}

// The variant that reports through a status: a failing command is followed by command 800
// for its code, and the device's text lands in the status.
TEST_F(SendStepTest, ElaboratedSendFetchesTheDevicesTextForAFailure) {
    const uint32_t session = open();
    CommandHeader header{InterfaceId(Interface::Routing), 999};  // no such method
    zyerr::Status status;
    const int32_t result = sendElaboratedInterfaceCommand(session, header, &status);
    EXPECT_EQ(result, ZYEMU_STATUS_UNKNOWN_COMMAND);
    ASSERT_EQ(zyemu_call_count(), 2u);
    const ZyEmuCall fetch = lastCall();
    EXPECT_EQ(fetch.functionNumber, 800u);
    EXPECT_EQ(zytest::fieldAt<int32_t>(fetch, 0), result);
    EXPECT_EQ(fetch.outputSize, 8192u);
    EXPECT_EQ(status.code, result);
    EXPECT_NE(std::strstr(zyerr::elaborationText(status), R"("usage":"kUsageTypeMethod")"),
              nullptr);
    zyOstrel_CloseSession(session, 0);
}

TEST_F(SendStepTest, ElaboratedSendElaboratesAWarningButNotSuccess) {
    const uint32_t session = open();
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_INTERFACE;
    fault.interfaceNumber = 260;
    fault.count = 1;
    fault.status = 9;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    CommandHeader header{InterfaceId(Interface::Synchronisation), 10};
    zyerr::Status status;
    EXPECT_EQ(sendElaboratedInterfaceCommand(session, header, &status), 9);
    ASSERT_EQ(zyemu_call_count(), 2u);
    EXPECT_EQ(lastCall().functionNumber, 800u);
    EXPECT_EQ(status.code, 9);

    zyemu_clear_log();
    fault.status = 0;  // a command that succeeds
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    zyerr::Status untouched;
    EXPECT_EQ(sendElaboratedInterfaceCommand(session, header, &untouched), 0);
    EXPECT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(untouched.code, 0);
    EXPECT_EQ(untouched.elaboration, nullptr);
    zyOstrel_CloseSession(session, 0);
}

TEST_F(SendStepTest, ElaboratedSendWithoutStatusOrOnASimulatedSessionFetchesNothing) {
    const uint32_t session = open();
    CommandHeader header{InterfaceId(Interface::Routing), 999};
    EXPECT_EQ(sendElaboratedInterfaceCommand(session, header, nullptr),
              ZYEMU_STATUS_UNKNOWN_COMMAND);
    EXPECT_EQ(zyemu_call_count(), 1u);
    zyOstrel_CloseSession(session, 0);

    const uint32_t simulated = open(ZYEMU_RESOURCE_SIMULATED);
    zyerr::Status status;
    std::array<uint8_t, 4> reply{};
    EXPECT_EQ(sendElaboratedInterfaceCommand(simulated, header, reply, &status), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.elaboration, nullptr);
    zyOstrel_CloseSession(simulated, 0);
}

TEST_F(SendStepTest, ConcurrentCallersAreAllServed) {
    const uint32_t session = open();
    constexpr int kThreads = 4;
    constexpr int kCallsPerThread = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([session] {
            for (int i = 0; i < kCallsPerThread; ++i) {
                const int32_t code = -1;
                char reply[16];
                sendDirectCommand(session, 800, &code, sizeof code, reply, sizeof reply);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(zyemu_call_count(), size_t{kThreads * kCallsPerThread});
    zyOstrel_CloseSession(session, 0);
}

}  // namespace
}  // namespace zyostrel::channel
