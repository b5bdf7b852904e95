// Device services of the emulated instrument: BAR registers, the instruction FIFO,
// calibration storage, limits, adapter-module information, cable sense, verification
// information and the commit.
#include <cmath>
#include <cstring>

#include "../CommandRegistry.h"
#include "../Instrument.h"
#include "DeviceState.h"
#include "channel/WireConstants.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

// The first BAR register identifies the device and cannot be written.
constexpr uint32_t kBarSignatureOffset = 0;
constexpr uint32_t kBarSignature = 0x05731A01;
constexpr uint8_t kSlotsUnchanged = 0xFF;

DeviceState& deviceOf(CommandContext& context) { return context.instrument.state<DeviceState>(); }

int32_t invalidValue(CommandContext& context, const char* usage, uint64_t value) {
    context.elaboration.addUsage(usage, value);
    return ZYEMU_STATUS_INVALID_VALUE;
}

int32_t checkBarOffset(CommandContext& context, uint32_t offset) {
    return offset % 4 == 0 ? 0 : invalidValue(context, "kUsageTypeRegisterOffset", offset);
}

int32_t readBar32(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 4)) return status;
    if (int32_t status = requireReplySize(context, 4)) return status;
    uint32_t offset = 0;
    context.input.read(0, offset);
    if (int32_t status = checkBarOffset(context, offset)) return status;
    const auto& registers = deviceOf(context).barRegisters;
    auto it = registers.find(offset);
    uint32_t value = offset == kBarSignatureOffset ? kBarSignature
                     : it != registers.end()       ? it->second
                                                   : 0;
    context.reply.write(0, value);
    return 0;
}

int32_t writeBar32(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 8)) return status;
    uint32_t offset = 0;
    uint32_t value = 0;
    context.input.read(0, offset);
    context.input.read(4, value);
    if (int32_t status = checkBarOffset(context, offset)) return status;
    if (offset == kBarSignatureOffset) {
        context.elaboration.addUsage("kUsageTypeRegisterOffset", uint64_t{offset});
        return ZYEMU_STATUS_READ_ONLY_LOCATION;
    }
    deviceOf(context).barRegisters[offset] = value;
    return 0;
}

// The FPGA answers an instruction with the instruction in the high word and the low word of
// the sum of its arguments in the low word.
uint64_t instructionResponse(uint32_t instruction, const std::vector<uint64_t>& arguments) {
    uint64_t sum = 0;
    for (uint64_t argument : arguments) sum += argument;
    return (uint64_t{instruction} << 32) | (sum & 0xFFFFFFFF);
}

void receiveInstruction(CommandContext& context, uint32_t instruction,
                        std::vector<uint64_t> arguments) {
    DeviceState& device = deviceOf(context);
    ++device.instructionsReceived;
    device.lastInstruction = instruction;
    device.lastArguments = std::move(arguments);
}

int32_t directInstruction(CommandContext& context, bool answer) {
    if (int32_t status = requireRecordSize(context, 16)) return status;
    if (answer) {
        if (int32_t status = requireReplySize(context, 8)) return status;
    }
    uint32_t instruction = 0;
    uint64_t argument = 0;
    context.input.read(0, instruction);
    context.input.read(8, argument);
    receiveInstruction(context, instruction, {argument});
    if (answer) context.reply.write(0, instructionResponse(instruction, {argument}));
    return 0;
}

int32_t instructionFifoRead(CommandContext& context) { return directInstruction(context, true); }
int32_t instructionFifoWrite(CommandContext& context) { return directInstruction(context, false); }

int32_t fifoRecord(CommandContext& context, bool answer) {
    if (int32_t status = requireRecordSize(context, 156)) return status;
    if (answer) {
        if (int32_t status = requireReplySize(context, 8)) return status;
    }
    uint32_t instruction = 0;
    uint32_t count = 0;
    context.input.read(20, instruction);
    context.input.read(24, count);
    if (count > 16) return invalidValue(context, "kUsageTypeArgumentCount", count);
    std::vector<uint64_t> arguments(count);
    for (uint32_t i = 0; i < count; ++i) context.input.read(28 + 8 * i, arguments[i]);
    if (answer) context.reply.write(0, instructionResponse(instruction, arguments));
    receiveInstruction(context, instruction, std::move(arguments));
    return 0;
}

int32_t fifoRecordRead(CommandContext& context) { return fifoRecord(context, true); }
int32_t fifoRecordWrite(CommandContext& context) { return fifoRecord(context, false); }

int32_t writeCalibration(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 8)) return status;
    uint32_t selector = 0;
    uint32_t length = 0;
    context.input.read(0, selector);
    context.input.read(4, length);
    const std::size_t payload = context.input.size() - 8;
    if (length != static_cast<uint32_t>(payload)) {
        context.elaboration.addUsage("kUsageTypeCalibrationSelector", uint64_t{selector});
        return invalidValue(context, "kUsageTypeCalibrationLength", length);
    }
    const uint8_t* data = context.input.data() + 8;
    deviceOf(context).calibration[selector].assign(data, data + payload);
    return 0;
}

int32_t readCalibration(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 4)) return status;
    uint32_t selector = 0;
    context.input.read(0, selector);
    const auto& stored = deviceOf(context).calibration;
    auto it = stored.find(selector);
    if (it == stored.end()) {
        context.elaboration.addUsage("kUsageTypeCalibrationSelector", uint64_t{selector});
        return ZYEMU_STATUS_NO_CALIBRATION;
    }
    const std::size_t capacity = context.reply.capacity();
    const std::size_t copied = std::min(capacity, it->second.size());
    context.reply.bytes(0, it->second.data(), copied);
    if (capacity > copied) std::memset(context.reply.data() + copied, 0, capacity - copied);
    return 0;
}

int32_t setLimit(CommandContext& context, double DeviceState::*limit) {
    if (int32_t status = requireRecordSize(context, 8)) return status;
    double value = 0;
    context.input.read(0, value);
    if (!std::isfinite(value) || value <= 0) {
        context.elaboration.addUsage("kUsageTypeLimit", std::to_string(value));
        return ZYEMU_STATUS_INVALID_VALUE;
    }
    deviceOf(context).*limit = value;
    return 0;
}

int32_t getLimit(CommandContext& context, double DeviceState::*limit) {
    if (int32_t status = requireReplySize(context, 8)) return status;
    context.reply.write(0, deviceOf(context).*limit);
    return 0;
}

int32_t setTemperatureLimit(CommandContext& c) {
    return setLimit(c, &DeviceState::temperatureLimit);
}
int32_t setPowerLimit(CommandContext& c) { return setLimit(c, &DeviceState::powerLimit); }
int32_t getTemperatureLimit(CommandContext& c) {
    return getLimit(c, &DeviceState::temperatureLimit);
}
int32_t getPowerLimit(CommandContext& c) { return getLimit(c, &DeviceState::powerLimit); }

int32_t updateVerificationInformation(CommandContext& context) {
    ++deviceOf(context).verificationUpdates;
    return 0;
}

int32_t writeIoModuleInfo(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 16)) return status;
    uint8_t* info = deviceOf(context).ioModuleInfo;
    const uint8_t slots = context.input.data()[15];
    std::memcpy(info, context.input.data(), 15);
    if (slots != kSlotsUnchanged) info[15] = slots;
    return 0;
}

int32_t readIoModuleInfo(CommandContext& context) {
    if (int32_t status = requireReplySize(context, 16)) return status;
    context.reply.bytes(0, deviceOf(context).ioModuleInfo, 16);
    return 0;
}

int32_t writeIoModuleSlotsUsed(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 1)) return status;
    deviceOf(context).ioModuleInfo[15] = context.input.data()[0];
    return 0;
}

int32_t startCableSense(CommandContext& context) {
    deviceOf(context).cableSenseRunning = true;
    return 0;
}

int32_t stopCableSense(CommandContext& context) {
    deviceOf(context).cableSenseRunning = false;
    return 0;
}

int32_t commit(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 24)) return status;
    uint32_t reserved = 0;
    context.input.read(20, reserved);
    if (reserved != 0) return invalidValue(context, "kUsageTypeReserved", reserved);
    ++deviceOf(context).commits;
    return 0;
}

const CommandRegistration registrations[] = {
    {DirectCommand{0}, &readBar32},
    {DirectCommand{1}, &writeBar32},
    {DirectCommand{2}, &instructionFifoRead},
    {DirectCommand{3}, &instructionFifoWrite},
    {DirectCommand{6}, &writeCalibration},
    {DirectCommand{7}, &readCalibration},
    {DirectCommand{14}, &setTemperatureLimit},
    {DirectCommand{15}, &setPowerLimit},
    {DirectCommand{16}, &getTemperatureLimit},
    {DirectCommand{17}, &getPowerLimit},
    {DirectCommand{20}, &updateVerificationInformation},
    {DirectCommand{22}, &writeIoModuleInfo},
    {DirectCommand{23}, &readIoModuleInfo},
    {DirectCommand{33}, &writeIoModuleSlotsUsed},
    {DirectCommand{38}, &startCableSense},
    {DirectCommand{39}, &stopCableSense},
    {InterfaceCommand{zyostrel::wire::kInstructionFifoInterface, 0}, &fifoRecordRead},
    {InterfaceCommand{zyostrel::wire::kInstructionFifoInterface, 1}, &fifoRecordWrite},
    {InterfaceCommand{0xDE7EC7ED, 342}, &commit},
};

}  // namespace
}  // namespace zyemu
