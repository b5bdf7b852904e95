// A session on the default emulated instrument for the device tests.
#pragma once

#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace zytest {

class DeviceTest : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &simulated), 0);
        zyemu_clear_log();
    }
    void TearDown() override {
        EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
        EXPECT_EQ(zyOstrel_CloseSession(simulated, 0), 0);
        EmulatorTest::TearDown();
    }

    ZyEmuDeviceState deviceState() const {
        ZyEmuDeviceState state{};
        zyemu_get_device_state(ZYEMU_RESOURCE_DEFAULT, &state);
        return state;
    }

    uint32_t session = 0;
    uint32_t simulated = 0;
};

}  // namespace zytest
