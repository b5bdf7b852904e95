#include "device/DeviceServices.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "channel/CommandChannel.h"
#include "zyostrelapi.h"

namespace zyostrel::device {
namespace {

using channel::Interface;
using channel::InterfaceId;
using channel::sendDirectCommand;
using channel::sendInterfaceCommand;

const InterfaceId kInstructionFifoInterface(Interface::InstructionFifo);
const InterfaceId kConfigurationTreeInterface(Interface::ConfigurationTree);

constexpr uint32_t fn(DeviceFunction function) { return static_cast<uint32_t>(function); }

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

bool buildInstructionFifoRecord(uint32_t method, uint32_t instruction, uint32_t argumentCount,
                                const uint64_t* arguments, InstructionFifoRecord& record) noexcept {
    if (arguments == nullptr || argumentCount > kInstructionFifoMaxArguments) return false;
    record = InstructionFifoRecord{};
    record.header = {kInstructionFifoInterface, method};
    record.instruction = instruction;
    record.argumentCount = argumentCount;
    if (argumentCount != 0) {
        std::memcpy(record.arguments, arguments, argumentCount * sizeof(uint64_t));
    }
    return true;
}

}  // namespace

int32_t writeCalibrationData(uint32_t session, uint32_t calibrationSelector, const uint8_t* data,
                             std::size_t dataSize) {
    if (data == nullptr) return ZYOSTREL_Status_InvalidParameter;
    // The record's length field has 32 bits: a larger block would reach the device with a
    // length that disagrees with it. This also keeps the block length from wrapping.
    if (dataSize > std::numeric_limits<uint32_t>::max()) return ZYOSTREL_Status_InvalidParameter;
    const std::size_t blockSize = dataSize + sizeof(CalibrationHeader);
    std::unique_ptr<uint8_t, FreeDeleter> block(static_cast<uint8_t*>(std::malloc(blockSize)));
    if (!block) return ZYOSTREL_Status_OutOfMemory;
    const CalibrationHeader header{calibrationSelector, static_cast<uint32_t>(dataSize)};
    std::memcpy(block.get(), &header, sizeof header);
    if (dataSize != 0) std::memcpy(block.get() + sizeof header, data, dataSize);
    return sendDirectCommand(session, fn(DeviceFunction::WriteCalibrationData), block.get(),
                             blockSize, nullptr, 0);
}

int32_t writeInstructionFifo(uint32_t session, uint32_t instruction, uint32_t argumentCount,
                             const uint64_t* arguments) {
    InstructionFifoRecord record;
    if (!buildInstructionFifoRecord(kFifoWrite, instruction, argumentCount, arguments, record)) {
        return ZYOSTREL_Status_InvalidParameter;
    }
    return sendInterfaceCommand(session, record);
}

int32_t readInstructionFifo(uint32_t session, uint32_t instruction, uint32_t argumentCount,
                            const uint64_t* arguments, uint64_t* response) {
    InstructionFifoRecord record;
    if (!buildInstructionFifoRecord(kFifoRead, instruction, argumentCount, arguments, record)) {
        return ZYOSTREL_Status_InvalidParameter;
    }
    uint64_t reply = 0;
    const int32_t status = sendInterfaceCommand(session, record, reply);
    if (response != nullptr) *response = reply;
    return status;
}

int32_t readIoModuleInfo(uint32_t session, IoModuleInfo& info) {
    const int32_t status = sendDirectCommand(session, fn(DeviceFunction::ReadIoModuleInfo), nullptr,
                                             0, &info, sizeof info);
    if (status < 0) std::memset(&info, 0xFF, sizeof info);
    return status;
}

int32_t commit(uint32_t session) {
    const CommitRecord record{{kConfigurationTreeInterface, kCommitMethod}, 0};
    return sendInterfaceCommand(session, record);
}

}  // namespace zyostrel::device
