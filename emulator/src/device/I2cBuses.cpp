// I2C buses behind the instrument with devices that answer like the real parts: a 256-byte
// EEPROM with an address pointer and a read-only temperature sensor on every bus.
#include <array>
#include <cstring>
#include <map>
#include <memory>

#include "../CommandRegistry.h"
#include "../Instrument.h"
#include "channel/WireConstants.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

constexpr uint32_t kI2cInterface = zyostrel::wire::kI2cInterface;
constexpr uint32_t kBusCount = 2;
constexpr uint16_t kEepromAddress = 0x50;
constexpr uint16_t kSensorAddress = 0x48;
constexpr std::size_t kMaxRead = zyostrel::wire::kI2cMaxRead;
constexpr std::size_t kDataField = zyostrel::wire::kI2cDataFieldSize;

class I2cDevice {
public:
    virtual ~I2cDevice() = default;
    // Each returns the number of bytes the device took or gave.
    virtual std::size_t write(const uint8_t* data, std::size_t count) = 0;
    virtual std::size_t read(uint8_t* data, std::size_t count) = 0;
};

// Writing sets the address pointer from the first byte and stores the rest from there;
// reading returns bytes from the pointer on. The pointer wraps at the end of the memory.
class Eeprom final : public I2cDevice {
public:
    std::size_t write(const uint8_t* data, std::size_t count) override {
        if (count == 0) return 0;
        pointer_ = data[0];
        for (std::size_t i = 1; i < count; ++i) memory_[pointer_++] = data[i];
        return count;
    }
    std::size_t read(uint8_t* data, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) data[i] = memory_[pointer_++];
        return count;
    }

private:
    std::array<uint8_t, 256> memory_{};
    uint8_t pointer_ = 0;
};

// A temperature sensor: register 0 holds the temperature (two bytes, 1/256 degree steps);
// it takes only the register pointer byte and gives at most the two bytes of a register.
class TemperatureSensor final : public I2cDevice {
public:
    std::size_t write(const uint8_t* data, std::size_t count) override {
        if (count == 0) return 0;
        pointer_ = data[0] & 1;
        return 1;
    }
    std::size_t read(uint8_t* data, std::size_t count) override {
        const uint8_t registers[2][2] = {{0x1A, 0x80}, {0x00, 0x00}};  // 26.5 degrees
        const std::size_t given = count < 2 ? count : 2;
        std::memcpy(data, registers[pointer_], given);
        return given;
    }

private:
    uint8_t pointer_ = 0;
};

struct I2cState {
    std::map<std::pair<uint64_t, uint16_t>, std::unique_ptr<I2cDevice>> devices;

    I2cState() {
        for (uint64_t bus = 0; bus < kBusCount; ++bus) {
            devices[{bus, kEepromAddress}] = std::make_unique<Eeprom>();
            devices[{bus, kSensorAddress}] = std::make_unique<TemperatureSensor>();
        }
    }
};

struct I2cRequest {
    uint64_t busId = 0;
    uint16_t address = 0;
    uint8_t option = 0;
};

I2cDevice* findDevice(CommandContext& context, const I2cRequest& request) {
    auto& devices = context.instrument.state<I2cState>().devices;
    auto it = devices.find({request.busId, request.address});
    if (it != devices.end()) return it->second.get();
    context.elaboration.addUsage("kUsageTypeI2cBus", request.busId);
    context.elaboration.addUsage("kUsageTypeI2cAddress", uint64_t{request.address});
    return nullptr;
}

I2cRequest decodeAddress(const CommandContext& context) {
    I2cRequest request;
    context.input.read(20, request.busId);
    context.input.read(28, request.address);
    context.input.read(30, request.option);
    return request;
}

int32_t checkCount(CommandContext& context, const char* usage, uint32_t count, std::size_t limit) {
    if (count <= limit) return 0;
    context.elaboration.addUsage(usage, uint64_t{count});
    return ZYEMU_STATUS_INVALID_VALUE;
}

int32_t i2cRead(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 35)) return status;
    if (int32_t status = requireReplySize(context, 259)) return status;
    uint32_t readCount = 0;
    context.input.read(31, readCount);
    if (int32_t status = checkCount(context, "kUsageTypeReadCount", readCount, kMaxRead))
        return status;
    I2cDevice* device = findDevice(context, decodeAddress(context));
    if (device == nullptr) return ZYEMU_STATUS_I2C_NO_ACKNOWLEDGE;
    uint8_t data[kMaxRead] = {};
    const uint32_t bytesRead = static_cast<uint32_t>(device->read(data, readCount));
    context.reply.bytes(0, data, sizeof data);
    context.reply.write(255, bytesRead);
    return 0;
}

int32_t i2cWrite(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 1059)) return status;
    if (int32_t status = requireReplySize(context, 4)) return status;
    uint32_t writeCount = 0;
    context.input.read(1055, writeCount);
    if (int32_t status = checkCount(context, "kUsageTypeWriteCount", writeCount, kDataField))
        return status;
    I2cDevice* device = findDevice(context, decodeAddress(context));
    if (device == nullptr) return ZYEMU_STATUS_I2C_NO_ACKNOWLEDGE;
    const uint32_t written =
        static_cast<uint32_t>(device->write(context.input.data() + 31, writeCount));
    context.reply.write(0, written);
    return 0;
}

int32_t i2cTransfer(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 1063)) return status;
    if (int32_t status = requireReplySize(context, 263)) return status;
    uint32_t readCount = 0;
    uint32_t writeCount = 0;
    context.input.read(31, readCount);
    context.input.read(1059, writeCount);
    if (int32_t status = checkCount(context, "kUsageTypeReadCount", readCount, kMaxRead))
        return status;
    if (int32_t status = checkCount(context, "kUsageTypeWriteCount", writeCount, kDataField))
        return status;
    I2cDevice* device = findDevice(context, decodeAddress(context));
    if (device == nullptr) return ZYEMU_STATUS_I2C_NO_ACKNOWLEDGE;
    const uint32_t written =
        static_cast<uint32_t>(device->write(context.input.data() + 35, writeCount));
    uint8_t data[kMaxRead] = {};
    const uint32_t bytesRead = static_cast<uint32_t>(device->read(data, readCount));
    context.reply.bytes(0, data, sizeof data);
    context.reply.write(255, bytesRead);
    context.reply.write(259, written);
    return 0;
}

const CommandRegistration readRegistration{InterfaceCommand{kI2cInterface, 0}, &i2cRead};
const CommandRegistration writeRegistration{InterfaceCommand{kI2cInterface, 1}, &i2cWrite};
const CommandRegistration transferRegistration{InterfaceCommand{kI2cInterface, 2}, &i2cTransfer};

}  // namespace
}  // namespace zyemu
