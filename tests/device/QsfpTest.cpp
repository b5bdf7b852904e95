// QSFP requests: one-byte payloads, output handling and the emulated module.
#include <gtest/gtest.h>

#include "device/DeviceFixture.h"

namespace {

using QsfpTest = zytest::DeviceTest;

TEST_F(QsfpTest, ReadSendsTheLowBytesOfPortAndRegisterAndWritesTheOutputWhateverTheStatus) {
    uint8_t value = 0;
    EXPECT_EQ(zyOstrel_QSFPRead(session, 0x100, 0x200, &value), 0);  // low bytes: 0 and 0
    EXPECT_EQ(value, 0x11);                                          // identifier of the module
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 35u);
    EXPECT_EQ(inputOf(call), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(call.outputSize, 1u);
    value = 0x99;
    EXPECT_EQ(zyOstrel_QSFPRead(session, 1, 0, &value), ZYEMU_STATUS_NO_QSFP_MODULE);
    EXPECT_EQ(value, 0);  // the reply buffer is handed back whatever the status
}

TEST_F(QsfpTest, WriteReadsBackAndReadOnlyBytesRefuse) {
    EXPECT_EQ(zyOstrel_QSFPWrite(session, 0, 100, 0x1234A5), 0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 34u);
    ASSERT_EQ(call.inputSize, 3u);
    EXPECT_EQ(call.input[2], 0xA5);
    uint8_t value = 0;
    EXPECT_EQ(zyOstrel_QSFPRead(session, 0, 100, &value), 0);
    EXPECT_EQ(value, 0xA5);
    EXPECT_EQ(zyOstrel_QSFPWrite(session, 0, 0, 0x22), ZYEMU_STATUS_READ_ONLY_LOCATION);
}

TEST_F(QsfpTest, NullOutputsAreRefusedBeforeSending) {
    EXPECT_EQ(zyOstrel_QSFPRead(session, 0, 0, nullptr), ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_QSFPGetModulePresent(session, 0, nullptr), ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(QsfpTest, PresenceFollowsTheModuleAndAFailedQueryYieldsZero) {
    uint32_t present = 7;
    EXPECT_EQ(zyOstrel_QSFPGetModulePresent(session, 0, &present), 0);
    EXPECT_EQ(present, 1u);
    EXPECT_EQ(zyOstrel_QSFPGetModulePresent(session, 1, &present), 0);
    EXPECT_EQ(present, 0u);
    ASSERT_EQ(zyemu_set_qsfp_module_present(ZYEMU_RESOURCE_DEFAULT, 1, 1), 0);
    EXPECT_EQ(zyOstrel_QSFPGetModulePresent(session, 1, &present), 0);
    EXPECT_EQ(present, 1u);
    EXPECT_EQ(zyOstrel_QSFPGetModulePresent(session, 9, &present), ZYEMU_STATUS_NO_QSFP_MODULE);
    EXPECT_EQ(present, 0u);
}

TEST_F(QsfpTest, LowPowerModeSendsOneOrZero) {
    EXPECT_EQ(zyOstrel_QSFPEnableLowPowerMode(session, 7), 0);
    EXPECT_EQ(lastCall().functionNumber, 37u);
    EXPECT_EQ(inputOf(lastCall()), std::vector<uint8_t>{1});
    EXPECT_EQ(deviceState().qsfpLowPower, 1);
    uint8_t power = 0;
    EXPECT_EQ(zyOstrel_QSFPRead(session, 0, 93, &power), 0);
    EXPECT_EQ(power, 0x03);
    EXPECT_EQ(zyOstrel_QSFPEnableLowPowerMode(session, 0), 0);
    EXPECT_EQ(inputOf(lastCall()), std::vector<uint8_t>{0});
    EXPECT_EQ(deviceState().qsfpLowPower, 0);
}

TEST_F(QsfpTest, ResetRestoresTheModuleMemory) {
    ASSERT_EQ(zyOstrel_QSFPWrite(session, 0, 120, 0x5A), 0);
    ASSERT_EQ(zyOstrel_QSFPEnableLowPowerMode(session, 1), 0);
    EXPECT_EQ(zyOstrel_QSFPResetPorts(session), 0);
    EXPECT_EQ(lastCall().functionNumber, 36u);
    EXPECT_EQ(lastCall().inputSize, 0u);
    uint8_t value = 0xFF;
    EXPECT_EQ(zyOstrel_QSFPRead(session, 0, 120, &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(deviceState().qsfpResets, 1u);
    EXPECT_EQ(deviceState().qsfpLowPower, 0);
}

TEST_F(QsfpTest, SimulatedSessionStillReachesTheRuntime) {
    uint8_t value = 0;
    uint32_t present = 0;
    EXPECT_EQ(zyOstrel_QSFPRead(simulated, 0, 0, &value), 0);
    EXPECT_EQ(zyOstrel_QSFPWrite(simulated, 0, 100, 1), 0);
    EXPECT_EQ(zyOstrel_QSFPResetPorts(simulated), 0);
    EXPECT_EQ(zyOstrel_QSFPEnableLowPowerMode(simulated, 1), 0);
    EXPECT_EQ(zyOstrel_QSFPGetModulePresent(simulated, 0, &present), 0);
    EXPECT_EQ(zyemu_call_count(), 5u);
}

}  // namespace
