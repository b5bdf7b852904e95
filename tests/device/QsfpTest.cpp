// QSFP requests: one-byte payloads and output handling.
#include <gtest/gtest.h>

#include "support/EmulatorFixture.h"

namespace {

using zytest::Bytes;

using QsfpTest = zytest::SessionTest;

TEST_F(QsfpTest, ReadSendsTheLowBytesOfPortAndRegisterAndWritesTheOutputWhateverTheStatus) {
    uint8_t value = 0x99;
    EXPECT_STATUS(0, zyOstrel_QSFPRead(session, 0x100, 0x200, &value));
    EXPECT_EQ(value, 0x11);  // low bytes 0 and 0: the module's identifier
    EXPECT_EQ(lastCall().functionNumber, 35u);
    EXPECT_EQ(inputOf(lastCall()), (Bytes{0, 0}));
    EXPECT_EQ(lastCall().outputSize, 1u);
    value = 0x99;
    EXPECT_STATUS(ZYEMU_STATUS_NO_QSFP_MODULE, zyOstrel_QSFPRead(session, 1, 0, &value));
    EXPECT_EQ(value, 0);  // the reply buffer is handed back whatever the status
}

TEST_F(QsfpTest, WriteSendsTheLowBytesAndReturnsTheDeviceStatus) {
    EXPECT_STATUS(0, zyOstrel_QSFPWrite(session, 0, 100, 0x1234A5));
    EXPECT_EQ(lastCall().functionNumber, 34u);
    EXPECT_EQ(inputOf(lastCall()), (Bytes{0, 100, 0xA5}));
    EXPECT_STATUS(ZYEMU_STATUS_READ_ONLY_LOCATION, zyOstrel_QSFPWrite(session, 0, 0, 0x22));
}

TEST_F(QsfpTest, NullOutputsAreRefusedBeforeSending) {
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter, zyOstrel_QSFPRead(session, 0, 0, nullptr));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrel_QSFPGetModulePresent(session, 0, nullptr));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(QsfpTest, PresenceIsPassedOnAndAFailedQueryYieldsZero) {
    uint32_t value = 7;
    EXPECT_STATUS(0, zyOstrel_QSFPGetModulePresent(session, 0, &value));
    EXPECT_EQ(value, 1u);
    value = 7;
    EXPECT_STATUS(ZYEMU_STATUS_NO_QSFP_MODULE, zyOstrel_QSFPGetModulePresent(session, 9, &value));
    EXPECT_EQ(value, 0u);
}

TEST_F(QsfpTest, LowPowerModeSendsOneOrZeroAndResetSendsNothing) {
    EXPECT_STATUS(0, zyOstrel_QSFPEnableLowPowerMode(session, 7));
    EXPECT_EQ(lastCall().functionNumber, 37u);
    EXPECT_EQ(inputOf(lastCall()), Bytes{1});
    EXPECT_STATUS(0, zyOstrel_QSFPEnableLowPowerMode(session, 0));
    EXPECT_EQ(inputOf(lastCall()), Bytes{0});
    EXPECT_STATUS(0, zyOstrel_QSFPResetPorts(session));
    EXPECT_EQ(lastCall().functionNumber, 36u);
    EXPECT_EQ(lastCall().inputSize, 0u);
}

}  // namespace
