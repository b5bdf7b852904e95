// QSFP requests: one-byte payloads, output handling and the emulated module.
#include <gtest/gtest.h>

#include "support/EmulatorFixture.h"

namespace {

using zytest::Bytes;

class QsfpTest : public zytest::SessionTest {
protected:
    static ZyEmuDeviceState deviceState() {
        ZyEmuDeviceState state{};
        zyemu_get_device_state(ZYEMU_RESOURCE_DEFAULT, &state);
        return state;
    }
    uint8_t read(uint32_t port, uint32_t address) {
        uint8_t value = 0x99;
        EXPECT_STATUS(0, zyOstrel_QSFPRead(session, port, address, &value));
        return value;
    }
};

TEST_F(QsfpTest, ReadSendsTheLowBytesOfPortAndRegisterAndWritesTheOutputWhateverTheStatus) {
    EXPECT_EQ(read(0x100, 0x200), 0x11);  // low bytes 0 and 0: the module's identifier
    EXPECT_EQ(lastCall().functionNumber, 35u);
    EXPECT_EQ(inputOf(lastCall()), (Bytes{0, 0}));
    EXPECT_EQ(lastCall().outputSize, 1u);
    uint8_t value = 0x99;
    EXPECT_STATUS(ZYEMU_STATUS_NO_QSFP_MODULE, zyOstrel_QSFPRead(session, 1, 0, &value));
    EXPECT_EQ(value, 0);  // the reply buffer is handed back whatever the status
}

TEST_F(QsfpTest, WriteReadsBackAndReadOnlyBytesRefuse) {
    EXPECT_STATUS(0, zyOstrel_QSFPWrite(session, 0, 100, 0x1234A5));
    EXPECT_EQ(lastCall().functionNumber, 34u);
    EXPECT_EQ(inputOf(lastCall()), (Bytes{0, 100, 0xA5}));
    EXPECT_EQ(read(0, 100), 0xA5);
    EXPECT_STATUS(ZYEMU_STATUS_READ_ONLY_LOCATION, zyOstrel_QSFPWrite(session, 0, 0, 0x22));
}

TEST_F(QsfpTest, NullOutputsAreRefusedBeforeSending) {
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter, zyOstrel_QSFPRead(session, 0, 0, nullptr));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_QSFPGetModulePresent(session, 0, nullptr));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(QsfpTest, PresenceFollowsTheModuleAndAFailedQueryYieldsZero) {
    const auto present = [this](uint32_t port, int32_t status = 0) {
        uint32_t value = 7;
        EXPECT_STATUS(status, zyOstrel_QSFPGetModulePresent(session, port, &value));
        return value;
    };
    EXPECT_EQ(present(0), 1u);
    EXPECT_EQ(present(1), 0u);
    ASSERT_EQ(zyemu_set_qsfp_module_present(ZYEMU_RESOURCE_DEFAULT, 1, 1), 0);
    EXPECT_EQ(present(1), 1u);
    EXPECT_EQ(present(9, ZYEMU_STATUS_NO_QSFP_MODULE), 0u);
}

TEST_F(QsfpTest, LowPowerModeSendsOneOrZeroAndResetRestoresTheModule) {
    EXPECT_STATUS(0, zyOstrel_QSFPEnableLowPowerMode(session, 7));
    EXPECT_EQ(lastCall().functionNumber, 37u);
    EXPECT_EQ(inputOf(lastCall()), Bytes{1});
    EXPECT_EQ(deviceState().qsfpLowPower, 1);
    EXPECT_EQ(read(0, 93), 0x03);
    EXPECT_STATUS(0, zyOstrel_QSFPEnableLowPowerMode(session, 0));
    EXPECT_EQ(inputOf(lastCall()), Bytes{0});
    EXPECT_EQ(deviceState().qsfpLowPower, 0);

    ASSERT_STATUS(0, zyOstrel_QSFPWrite(session, 0, 120, 0x5A));
    ASSERT_STATUS(0, zyOstrel_QSFPEnableLowPowerMode(session, 1));
    EXPECT_STATUS(0, zyOstrel_QSFPResetPorts(session));
    EXPECT_EQ(lastCall().functionNumber, 36u);
    EXPECT_EQ(lastCall().inputSize, 0u);
    EXPECT_EQ(read(0, 120), 0);
    EXPECT_EQ(deviceState().qsfpResets, 1u);
    EXPECT_EQ(deviceState().qsfpLowPower, 0);
}

TEST_F(QsfpTest, SimulatedSessionStillReachesTheRuntime) {
    uint8_t value = 0;
    uint32_t present = 0;
    EXPECT_STATUS(0, zyOstrel_QSFPRead(simulated, 0, 0, &value), simulated);
    EXPECT_STATUS(0, zyOstrel_QSFPWrite(simulated, 0, 100, 1), simulated);
    EXPECT_STATUS(0, zyOstrel_QSFPResetPorts(simulated), simulated);
    EXPECT_STATUS(0, zyOstrel_QSFPEnableLowPowerMode(simulated, 1), simulated);
    EXPECT_STATUS(0, zyOstrel_QSFPGetModulePresent(simulated, 0, &present), simulated);
    EXPECT_EQ(zyemu_call_count(), 5u);
}

}  // namespace
