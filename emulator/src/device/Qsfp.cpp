// QSFP cage ports of the emulated instrument: module presence, reset, low-power mode and
// each module's memory map (lower page and upper page 00h).
#include <cstring>

#include "../CommandRegistry.h"
#include "../Instrument.h"
#include "DeviceState.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

constexpr uint8_t kIdentifierQsfp28 = 0x11;
constexpr std::size_t kPowerControl = 93;
constexpr uint8_t kLowPowerBits = 0x03;  // power override and power set
// Control, mask, password and page-select bytes are writable; the rest is read-only.
constexpr std::size_t kFirstWritable = 86;
constexpr std::size_t kLastWritable = 127;

int32_t noModule(CommandContext& context, uint8_t port) {
    context.elaboration.addUsage("kUsageTypeQsfpPort", uint64_t{port});
    return ZYEMU_STATUS_NO_QSFP_MODULE;
}

QsfpPort* portOf(CommandContext& context, uint8_t port) {
    auto& ports = context.instrument.state<DeviceState>().qsfpPorts;
    return port < ports.size() ? &ports[port] : nullptr;
}

int32_t qsfpWrite(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 3)) return status;
    const uint8_t* in = context.input.data();
    QsfpPort* port = portOf(context, in[0]);
    if (port == nullptr || !port->present) return noModule(context, in[0]);
    if (in[1] < kFirstWritable || in[1] > kLastWritable) {
        context.elaboration.addUsage("kUsageTypeQsfpRegister", uint64_t{in[1]});
        return ZYEMU_STATUS_READ_ONLY_LOCATION;
    }
    port->memory[in[1]] = in[2];
    return 0;
}

int32_t qsfpRead(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 2)) return status;
    if (int32_t status = requireReplySize(context, 1)) return status;
    const uint8_t* in = context.input.data();
    QsfpPort* port = portOf(context, in[0]);
    if (port == nullptr || !port->present) return noModule(context, in[0]);
    context.reply.write(0, port->memory[in[1]]);
    return 0;
}

int32_t qsfpResetPorts(CommandContext& context) {
    DeviceState& device = context.instrument.state<DeviceState>();
    for (QsfpPort& port : device.qsfpPorts) {
        if (port.present) port.memory = qsfpModuleMemory();
    }
    device.qsfpLowPower = false;
    ++device.qsfpResets;
    return 0;
}

int32_t qsfpLowPowerMode(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 1)) return status;
    const uint8_t enable = context.input.data()[0];
    if (enable > 1) {
        context.elaboration.addUsage("kUsageTypeEnable", uint64_t{enable});
        return ZYEMU_STATUS_INVALID_VALUE;
    }
    DeviceState& device = context.instrument.state<DeviceState>();
    device.qsfpLowPower = enable != 0;
    for (QsfpPort& port : device.qsfpPorts) {
        port.memory[kPowerControl] = enable != 0 ? kLowPowerBits : 0;
    }
    return 0;
}

int32_t qsfpModulePresent(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 1)) return status;
    if (int32_t status = requireReplySize(context, 1)) return status;
    const uint8_t portNumber = context.input.data()[0];
    QsfpPort* port = portOf(context, portNumber);
    if (port == nullptr) return noModule(context, portNumber);
    context.reply.write(0, uint8_t{port->present ? uint8_t{1} : uint8_t{0}});
    return 0;
}

const CommandRegistration registrations[] = {
    {DirectCommand{34}, &qsfpWrite},         {DirectCommand{35}, &qsfpRead},
    {DirectCommand{36}, &qsfpResetPorts},    {DirectCommand{37}, &qsfpLowPowerMode},
    {DirectCommand{40}, &qsfpModulePresent},
};

}  // namespace

std::array<uint8_t, 256> qsfpModuleMemory() {
    std::array<uint8_t, 256> memory{};
    memory[0] = kIdentifierQsfp28;
    memory[1] = 0x07;  // revision compliance
    memory[128] = kIdentifierQsfp28;
    const char vendor[] = "ZY OPTICS       ";  // 16 characters, space padded
    std::memcpy(&memory[148], vendor, 16);
    const char part[] = "ZYQ-100G-SR4    ";
    std::memcpy(&memory[168], part, 16);
    return memory;
}

std::array<QsfpPort, 2> DeviceState::makePorts() {
    std::array<QsfpPort, 2> ports{};
    ports[0].present = true;  // the second cage is empty
    ports[0].memory = qsfpModuleMemory();
    return ports;
}

}  // namespace zyemu
