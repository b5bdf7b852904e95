// Routes between terminals and the synchronisation pulse.
#include <gtest/gtest.h>

#include <string>

#include "support/EmulatorFixture.h"

namespace {

using zytest::Fault;

using RouteTest = zytest::SessionTest;

// Both terminals travel in 512-byte fields that keep a terminating NUL.
TEST_F(RouteTest, RouteRecordCarriesBothTerminalsAndReturnsTheIdentifier) {
    uint32_t routeId = 0;
    EXPECT_STATUS(0, zyOstrel_RouteSignal(session, "PFI0", "PXI_Trig3", &routeId));
    EXPECT_NE(routeId, 0u);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 1044u);
    EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 16}), (std::vector<uint32_t>{261, 0}));
    EXPECT_EQ(call.outputSize, 4u);
    EXPECT_EQ(textAt(call, 20, 512), "PFI0");
    EXPECT_EQ(textAt(call, 532, 512), "PXI_Trig3");

    const std::string longSource(600, 's');
    const std::string longDestination(511, 'd');
    EXPECT_STATUS(
        0, zyOstrel_RouteSignal(session, longSource.c_str(), longDestination.c_str(), nullptr));
    EXPECT_EQ(textAt(lastCall(), 20, 512), std::string(511, 's'));
    EXPECT_EQ(textAt(lastCall(), 532, 512), longDestination);
}

TEST_F(RouteTest, IdentifierIsWrittenWhateverTheStatus) {
    Fault::interface(261).status(-77).reply(uint32_t{0xABCD}).add();
    uint32_t routeId = 0;
    EXPECT_STATUS(-77, zyOstrel_RouteSignal(session, "PFI0", "PFI1", &routeId));
    EXPECT_EQ(routeId, 0xABCDu);
}

TEST_F(RouteTest, UnrouteRecordCarriesTheIdentifier) {
    uint32_t routeId = 0;
    ASSERT_STATUS(0, zyOstrel_RouteSignal(session, "PFI0", "PFI1", &routeId));
    EXPECT_STATUS(0, zyOstrel_UnrouteSignal(session, routeId));
    ASSERT_EQ(lastCall().inputSize, 24u);
    EXPECT_EQ(fieldsAt<uint32_t>(lastCall(), {0, 16, 20}),
              (std::vector<uint32_t>{261, 1, routeId}));
    EXPECT_STATUS(ZYEMU_STATUS_UNKNOWN_ROUTE, zyOstrel_UnrouteSignal(session, routeId));
}

// An empty terminal is the device's to refuse; a null one is refused before sending.
TEST_F(RouteTest, EmptyOrNullTerminalsAreRefused) {
    uint32_t routeId = 5;
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE, zyOstrel_RouteSignal(session, "", "PFI1", &routeId));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_RouteSignal(session, nullptr, "PFI1", &routeId));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_RouteSignal(session, "PFI1", nullptr, &routeId));
}

// A failing pulse fetches its elaboration (function 800) and is reported even when that
// fetch fails.
TEST_F(RouteTest, PulseRecordAndItsFailures) {
    EXPECT_STATUS(0, zyOstrel_SendSyncPulse(session));
    ASSERT_EQ(lastCall().inputSize, 24u);
    EXPECT_EQ(fieldsAt<uint32_t>(lastCall(), {0, 16, 20}), (std::vector<uint32_t>{260, 1, 0}));

    Fault::interface(260).status(-88).add();
    zyemu_clear_log();
    EXPECT_STATUS(-88, zyOstrel_SendSyncPulse(session));
    const auto log = calls();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].functionNumber, 800u);
    EXPECT_EQ(fieldAt<int32_t>(log[1], 0), -88);
    Fault::function(800).status(-99).add();
    EXPECT_STATUS(-88, zyOstrel_SendSyncPulse(session));
}

}  // namespace
