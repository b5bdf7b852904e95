// Sessions for the device tests, the device state the emulator reports, and fault helpers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

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

    // A fault on one direct function (match FUNCTION) or one interface (match INTERFACE),
    // firing count times (0: on every matching call).
    static ZyEmuFault faultOn(uint32_t match, uint32_t number, int32_t status,
                              uint32_t action = ZYEMU_FAULT_REPLACE, uint32_t count = 0) {
        ZyEmuFault fault{};
        fault.match = match;
        fault.functionNumber = fault.interfaceNumber = number;
        fault.status = status;
        fault.action = action;
        fault.count = count;
        return fault;
    }

    static void addFault(const ZyEmuFault& fault) { ASSERT_GT(zyemu_add_fault(&fault), 0); }

    // Expects the 32-bit fields of a logged record, each at its offset.
    static void expectU32s(const ZyEmuCall& call,
                           std::initializer_list<std::pair<size_t, uint32_t>> fields) {
        for (const auto& [offset, value] : fields) {
            EXPECT_EQ(fieldAt<uint32_t>(call, offset), value) << "at offset " << offset;
        }
    }
};

}  // namespace zytest
