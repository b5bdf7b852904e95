// Sessions for the device tests, and the device state the emulator reports.
#pragma once

#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace zytest {

class DeviceTest : public SessionPairTest {
protected:
    ZyEmuDeviceState deviceState() const {
        ZyEmuDeviceState state{};
        zyemu_get_device_state(ZYEMU_RESOURCE_DEFAULT, &state);
        return state;
    }
};

}  // namespace zytest
