// Routes between terminals and the synchronisation pulse.
#include <gtest/gtest.h>

#include <string>

#include "timing/TimingFixture.h"

namespace {

class RouteTest : public zytest::TimingTest {
protected:
    ZyEmuTimingState timingState() const {
        ZyEmuTimingState state{};
        zyemu_get_timing_state(ZYEMU_RESOURCE_DEFAULT, &state);
        return state;
    }
};

TEST_F(RouteTest, RouteRecordCarriesBothTerminalsAndReturnsTheIdentifier) {
    uint32_t routeId = 0;
    EXPECT_EQ(zyOstrel_RouteSignal(session, "PFI0", "PXI_Trig3", &routeId), 0);
    EXPECT_NE(routeId, 0u);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 1044u);
    EXPECT_EQ(call.interfaceNumber, 261u);
    EXPECT_EQ(call.method, 0u);
    EXPECT_EQ(call.outputSize, 4u);
    EXPECT_EQ(textAt(call, 20, 512), "PFI0");
    EXPECT_EQ(textAt(call, 532, 512), "PXI_Trig3");
    char source[32];
    char destination[32];
    ASSERT_EQ(zyemu_get_route(ZYEMU_RESOURCE_DEFAULT, routeId, source, sizeof source, destination,
                              sizeof destination),
              0);
    EXPECT_STREQ(source, "PFI0");
    EXPECT_STREQ(destination, "PXI_Trig3");
}

TEST_F(RouteTest, LongTerminalNamesKeepTheirFirst511Characters) {
    const std::string source(600, 's');
    const std::string destination(511, 'd');
    EXPECT_EQ(zyOstrel_RouteSignal(session, source.c_str(), destination.c_str(), nullptr), 0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(textAt(call, 20, 512), std::string(511, 's'));
    EXPECT_EQ(call.input[20 + 511], 0);
    EXPECT_EQ(textAt(call, 532, 512), destination);
    EXPECT_EQ(call.input[532 + 511], 0);
}

TEST_F(RouteTest, IdentifierIsWrittenWhateverTheStatus) {
    const uint32_t injected = 0xABCD;
    ZyEmuFault fault = makeFault(ZYEMU_MATCH_INTERFACE | ZYEMU_MATCH_METHOD, -77);
    fault.interfaceNumber = 261;
    fault.reply = &injected;
    fault.replySize = sizeof injected;
    addFault(fault);
    uint32_t routeId = 0;
    EXPECT_EQ(zyOstrel_RouteSignal(session, "PFI0", "PFI1", &routeId), -77);
    EXPECT_EQ(routeId, 0xABCDu);
}

TEST_F(RouteTest, UnrouteRemovesTheRouteAndRefusesUnknownIdentifiers) {
    uint32_t routeId = 0;
    ASSERT_EQ(zyOstrel_RouteSignal(session, "PFI0", "PFI1", &routeId), 0);
    EXPECT_EQ(timingState().routeCount, 1u);
    EXPECT_EQ(zyOstrel_UnrouteSignal(session, routeId), 0);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 24u);
    EXPECT_EQ(call.method, 1u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 20), routeId);
    EXPECT_EQ(timingState().routeCount, 0u);
    EXPECT_EQ(zyOstrel_UnrouteSignal(session, routeId), ZYEMU_STATUS_UNKNOWN_ROUTE);
    EXPECT_NE(zytest::elaborationOf(session).find("kUsageTypeRouteId"), std::string::npos);
}

TEST_F(RouteTest, EmptyOrNullTerminalsAreRefused) {
    uint32_t routeId = 5;
    EXPECT_EQ(zyOstrel_RouteSignal(session, "", "PFI1", &routeId), ZYEMU_STATUS_INVALID_VALUE);
    EXPECT_EQ(zyOstrel_RouteSignal(session, nullptr, "PFI1", &routeId),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_RouteSignal(session, "PFI1", nullptr, &routeId),
              ZYOSTREL_Status_InvalidParameter);
}

TEST_F(RouteTest, SimulatedSessionRoutesAndPulsesNothingAndLeavesTheIdentifier) {
    uint32_t routeId = 1234;
    EXPECT_EQ(zyOstrel_RouteSignal(simulated, "PFI0", "PFI1", &routeId), 0);
    EXPECT_EQ(routeId, 1234u);
    EXPECT_EQ(zyOstrel_UnrouteSignal(simulated, 99), 0);
    EXPECT_EQ(zyOstrel_SendSyncPulse(simulated), 0);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(RouteTest, SyncPulseRecord) {
    EXPECT_EQ(zyOstrel_SendSyncPulse(session), 0);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 24u);
    EXPECT_EQ(call.interfaceNumber, 260u);
    EXPECT_EQ(call.method, 1u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 20), 0u);
    EXPECT_EQ(timingState().syncPulses, 1u);
}

TEST_F(RouteTest, FailingPulseFetchesItsElaborationAndIsReportedEvenWhenThatFails) {
    ZyEmuFault pulse = makeFault(ZYEMU_MATCH_INTERFACE, -88);
    pulse.interfaceNumber = 260;
    addFault(pulse);
    EXPECT_EQ(zyOstrel_SendSyncPulse(session), -88);
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].functionNumber, 800u);
    EXPECT_EQ(zytest::fieldAt<int32_t>(log[1], 0), -88);
    ZyEmuFault fetch = makeFault(ZYEMU_MATCH_FUNCTION, -99);
    fetch.functionNumber = 800;
    addFault(fetch);
    EXPECT_EQ(zyOstrel_SendSyncPulse(session), -88);
}

}  // namespace
