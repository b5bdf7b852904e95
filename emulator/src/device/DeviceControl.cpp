// Control functions of the emulated device services.
#include <algorithm>
#include <mutex>

#include "../Emulator.h"
#include "DeviceState.h"
#include "zyemu/control.h"

using zyemu::DeviceState;

extern "C" {

ZYEMU_API int32_t zyemu_set_qsfp_module_present(const char* resource, uint32_t port, int present) {
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        auto& ports = instrument.state<DeviceState>().qsfpPorts;
        if (port >= ports.size()) return ZYEMU_STATUS_INVALID_ARGUMENT;
        ports[port].present = present != 0;
        ports[port].memory = present != 0 ? zyemu::qsfpModuleMemory() : std::array<uint8_t, 256>{};
        return 0;
    });
}

ZYEMU_API int32_t zyemu_get_device_state(const char* resource, ZyEmuDeviceState* state) {
    if (state == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        const DeviceState& device = instrument.state<DeviceState>();
        *state = ZyEmuDeviceState{};
        state->commits = device.commits;
        state->verificationUpdates = device.verificationUpdates;
        state->qsfpResets = device.qsfpResets;
        state->qsfpLowPower = device.qsfpLowPower ? 1 : 0;
        state->cableSenseRunning = device.cableSenseRunning ? 1 : 0;
        state->instructionsReceived = device.instructionsReceived;
        state->lastInstruction = device.lastInstruction;
        state->lastArgumentCount = static_cast<uint32_t>(device.lastArguments.size());
        std::copy_n(device.lastArguments.begin(),
                    std::min<std::size_t>(device.lastArguments.size(), 16), state->lastArguments);
        state->temperatureLimit = device.temperatureLimit;
        state->powerLimit = device.powerLimit;
        return 0;
    });
}

}  // extern "C"
