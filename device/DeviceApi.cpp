// Exported I2C, QSFP and device-service entry points. Each checks the pointers it requires,
// then runs its work through the exception boundary.
#include "zyostrelapi.h"

#include "attributes/Attributes.h"
#include "channel/CommandChannel.h"
#include "device/DeviceRecords.h"
#include "device/DeviceServices.h"
#include "device/I2c.h"
#include "status/EntryPoint.h"

using zyerr::callBoundary;
using zyostrel::channel::sendDirectCommand;
using zyostrel::device::DeviceFunction;
using zyostrel::device::I2cTarget;
using zyostrel::device::IoModuleInfo;

namespace {

constexpr uint32_t fn(DeviceFunction function) noexcept { return static_cast<uint32_t>(function); }

// "IO Module Ref Clk Pin Src": 0 disabled, 1 PXI_Clk10, 2 PXIe_Clk100.
constexpr uint32_t kIoModuleRefClkPinSource = 0x10000017;
static_assert(zyostrel::attributes::attributeTableHas(kIoModuleRefClkPinSource,
                                                      zyostrel::attributes::AttributeType::Int32));

constexpr uint8_t lowByte(int32_t value) noexcept { return static_cast<uint8_t>(value & 0xFF); }

int32_t sendWithoutData(uint32_t session, DeviceFunction function) {
    return sendDirectCommand(session, fn(function), nullptr, 0, nullptr, 0);
}

template <class Input>
int32_t sendInput(uint32_t session, DeviceFunction function, const Input& input) {
    return sendDirectCommand(session, fn(function), &input, sizeof input, nullptr, 0);
}

// Sends a request whose reply goes to output whatever the status; the value is meaningful
// only on success.
template <class Output>
int32_t sendForReply(uint32_t session, DeviceFunction function, const void* input,
                     std::size_t inputSize, Output& output) {
    Output reply{};
    const int32_t status =
        sendDirectCommand(session, fn(function), input, inputSize, &reply, sizeof reply);
    output = reply;
    return status;
}

// The pointer checks of the forwarders with one required output.
template <class Output>
int32_t forwardForReply(uint32_t session, DeviceFunction function, const void* input,
                        std::size_t inputSize, Output* output) noexcept {
    if (output == nullptr) return ZYOSTREL_Status_InvalidParameter;
    return callBoundary([&] { return sendForReply(session, function, input, inputSize, *output); });
}

// The module information is stored whatever the status (all ones after a failure).
int32_t readIoModuleInfoInto(uint32_t session, uint16_t* infoField1, uint16_t* infoField2,
                             uint32_t* infoField3, uint32_t* infoField4, uint8_t* infoField5,
                             uint16_t* infoField6) {
    IoModuleInfo info{};
    const int32_t status = zyostrel::device::readIoModuleInfo(session, info);
    if (infoField1 != nullptr) *infoField1 = info.infoField1;
    if (infoField2 != nullptr) *infoField2 = info.infoField2;
    if (infoField3 != nullptr) *infoField3 = info.infoField3;
    if (infoField4 != nullptr) *infoField4 = info.infoField4;
    if (infoField5 != nullptr) *infoField5 = info.infoField5;
    if (infoField6 != nullptr) *infoField6 = info.infoField6;
    return status;
}

int32_t readIoModuleSlotsUsedInto(uint32_t session, uint8_t* slotsUsed) {
    IoModuleInfo info{};
    const int32_t status = zyostrel::device::readIoModuleInfo(session, info);
    if (slotsUsed != nullptr) *slotsUsed = info.slotsUsed;
    return status;
}

}  // namespace

extern "C" {

/* ---- I2C ------------------------------------------------------------------------------ */

ZYOSTREL_API int32_t zyOstrel_ReadI2C(uint32_t session, uint64_t busId, int32_t deviceAddress,
                                      uint8_t* readData, size_t readCount, uint8_t option,
                                      size_t* bytesRead) {
    return callBoundary([&] {
        return zyostrel::device::readI2c({session, busId, deviceAddress, option != 0}, readData,
                                         readCount, bytesRead);
    });
}

ZYOSTREL_API int32_t zyOstrel_WriteI2C(uint32_t session, uint64_t busId, int32_t deviceAddress,
                                       const uint8_t* writeData, size_t writeCount, uint8_t option,
                                       size_t* bytesWritten) {
    return callBoundary([&] {
        return zyostrel::device::writeI2c({session, busId, deviceAddress, option != 0}, writeData,
                                          writeCount, bytesWritten);
    });
}

ZYOSTREL_API int32_t zyOstrel_TransferI2C(uint32_t session, uint64_t busId, int32_t deviceAddress,
                                          const uint8_t* writeData, size_t writeCount,
                                          uint8_t* readData, size_t readCount, uint8_t option,
                                          size_t* bytesWritten, size_t* bytesRead) {
    return callBoundary([&] {
        return zyostrel::device::transferI2c({session, busId, deviceAddress, option != 0},
                                             writeData, writeCount, readData, readCount,
                                             bytesWritten, bytesRead);
    });
}

/* ---- QSFP ----------------------------------------------------------------------------- */

ZYOSTREL_API int32_t zyOstrel_QSFPWrite(uint32_t session, int32_t port, int32_t registerAddress,
                                        int32_t value) {
    const uint8_t input[3] = {lowByte(port), lowByte(registerAddress), lowByte(value)};
    return callBoundary([&] { return sendInput(session, DeviceFunction::QsfpWrite, input); });
}

ZYOSTREL_API int32_t zyOstrel_QSFPRead(uint32_t session, int32_t port, int32_t registerAddress,
                                       uint8_t* value) {
    const uint8_t input[2] = {lowByte(port), lowByte(registerAddress)};
    return forwardForReply(session, DeviceFunction::QsfpRead, input, sizeof input, value);
}

ZYOSTREL_API int32_t zyOstrel_QSFPResetPorts(uint32_t session) {
    return callBoundary([&] { return sendWithoutData(session, DeviceFunction::QsfpResetPorts); });
}

ZYOSTREL_API int32_t zyOstrel_QSFPEnableLowPowerMode(uint32_t session, int32_t enable) {
    const uint8_t input = enable != 0 ? 1 : 0;
    return callBoundary(
        [&] { return sendInput(session, DeviceFunction::QsfpLowPowerMode, input); });
}

ZYOSTREL_API int32_t zyOstrel_QSFPGetModulePresent(uint32_t session, int32_t port,
                                                   uint32_t* present) {
    if (present == nullptr) return ZYOSTREL_Status_InvalidParameter;
    const uint8_t input = lowByte(port);
    return callBoundary([&] {
        uint8_t reply = 0;
        const int32_t status =
            sendDirectCommand(session, fn(DeviceFunction::QsfpModulePresent), &input, 1, &reply, 1);
        *present = reply;
        return status;
    });
}

/* ---- Device services ------------------------------------------------------------------ */

ZYOSTREL_API int32_t zyOstrel_Commit(uint32_t session) {
    return callBoundary([&] { return zyostrel::device::commit(session); });
}

ZYOSTREL_API int32_t zyOstrel_ReadCalibrationData(uint32_t session, uint32_t calibrationSelector,
                                                  uint8_t* data, size_t dataSize) {
    if (data == nullptr) return ZYOSTREL_Status_InvalidParameter;
    return callBoundary([&] {
        return sendDirectCommand(session, fn(DeviceFunction::ReadCalibrationData),
                                 &calibrationSelector, sizeof calibrationSelector, data, dataSize);
    });
}

ZYOSTREL_API int32_t zyOstrel_WriteCalibrationData(uint32_t session, uint32_t calibrationSelector,
                                                   const uint8_t* data, size_t dataSize) {
    return callBoundary([&] {
        return zyostrel::device::writeCalibrationData(session, calibrationSelector, data, dataSize);
    });
}

ZYOSTREL_API int32_t zyOstrel_UpdateVerificationInformation(uint32_t session) {
    return callBoundary(
        [&] { return sendWithoutData(session, DeviceFunction::UpdateVerificationInformation); });
}

ZYOSTREL_API int32_t zyOstrel_StartCableSense(uint32_t session) {
    return callBoundary([&] { return sendWithoutData(session, DeviceFunction::StartCableSense); });
}

ZYOSTREL_API int32_t zyOstrel_StopCableSense(uint32_t session) {
    return callBoundary([&] { return sendWithoutData(session, DeviceFunction::StopCableSense); });
}

ZYOSTREL_API int32_t ostrel_readBar32(uint32_t session, uint32_t offset, uint32_t* value) {
    return forwardForReply(session, DeviceFunction::ReadBar32, &offset, sizeof offset, value);
}

ZYOSTREL_API int32_t ostrel_writeBar32(uint32_t session, uint32_t offset, uint32_t value) {
    const zyostrel::device::BarWrite input{offset, value};
    return callBoundary([&] { return sendInput(session, DeviceFunction::WriteBar32, input); });
}

ZYOSTREL_API int32_t ostrel_instructionFifoRead(uint32_t session, uint32_t instruction,
                                                uint64_t argument, uint32_t* response) {
    if (response == nullptr) return ZYOSTREL_Status_InvalidParameter;
    const zyostrel::device::InstructionFifoDirect input{instruction, 0, argument};
    return callBoundary([&] {
        uint64_t reply = 0;
        const int32_t status = sendDirectCommand(session, fn(DeviceFunction::InstructionFifoRead),
                                                 &input, sizeof input, &reply, sizeof reply);
        *response = static_cast<uint32_t>(reply);
        return status;
    });
}

ZYOSTREL_API int32_t ostrel_instructionFifoWrite(uint32_t session, uint32_t instruction,
                                                 uint64_t argument) {
    const zyostrel::device::InstructionFifoDirect input{instruction, 0, argument};
    return callBoundary(
        [&] { return sendInput(session, DeviceFunction::InstructionFifoWrite, input); });
}

ZYOSTREL_API int32_t zyOstrel_SetTemperatureLimit(uint32_t session, double limit) {
    return callBoundary(
        [&] { return sendInput(session, DeviceFunction::SetTemperatureLimit, limit); });
}

ZYOSTREL_API int32_t zyOstrel_SetPowerLimit(uint32_t session, double limit) {
    return callBoundary([&] { return sendInput(session, DeviceFunction::SetPowerLimit, limit); });
}

ZYOSTREL_API int32_t zyOstrel_GetTemperatureLimit(uint32_t session, double* limit) {
    return forwardForReply(session, DeviceFunction::GetTemperatureLimit, nullptr, 0, limit);
}

ZYOSTREL_API int32_t zyOstrel_GetPowerLimit(uint32_t session, double* limit) {
    return forwardForReply(session, DeviceFunction::GetPowerLimit, nullptr, 0, limit);
}

/* ---- Adapter-module development ------------------------------------------------------- */

ZYOSTREL_API int32_t zyOstrelMDK_configureIoModuleRefClkPinSrc(uint32_t session,
                                                               uint32_t refClkPinSource) {
    return callBoundary([&] {
        return zyostrel::attributes::setAttributeInt32(session, "", kIoModuleRefClkPinSource,
                                                       static_cast<int32_t>(refClkPinSource));
    });
}

ZYOSTREL_API int32_t zyOstrelMDK_writeIoModuleInfo(uint32_t session, uint16_t infoField1,
                                                   uint16_t infoField2, uint32_t infoField3,
                                                   uint32_t infoField4, uint8_t infoField5,
                                                   uint16_t infoField6) {
    // The slots-used byte is owned by zyOstrelMDK_writeIoModuleSlotsUsed; 0xFF leaves it.
    const IoModuleInfo info{infoField3, infoField4, infoField1, infoField2,
                            infoField6, infoField5, 0xFF};
    return callBoundary(
        [&] { return sendInput(session, DeviceFunction::WriteIoModuleInfo, info); });
}

ZYOSTREL_API int32_t zyOstrelMDK_readIoModuleInfo(uint32_t session, uint16_t* infoField1,
                                                  uint16_t* infoField2, uint32_t* infoField3,
                                                  uint32_t* infoField4, uint8_t* infoField5,
                                                  uint16_t* infoField6) {
    return callBoundary([&] {
        return readIoModuleInfoInto(session, infoField1, infoField2, infoField3, infoField4,
                                    infoField5, infoField6);
    });
}

ZYOSTREL_API int32_t zyOstrelMDK_writeIoModuleSlotsUsed(uint32_t session, int32_t slotsUsed) {
    const uint8_t input = lowByte(slotsUsed);
    return callBoundary(
        [&] { return sendInput(session, DeviceFunction::WriteIoModuleSlotsUsed, input); });
}

ZYOSTREL_API int32_t zyOstrelMDK_readIoModuleSlotsUsed(uint32_t session, uint8_t* slotsUsed) {
    return callBoundary([&] { return readIoModuleSlotsUsedInto(session, slotsUsed); });
}

ZYOSTREL_API int32_t zyOstrelMDK_writeInstructionFifo(uint32_t session, uint32_t instruction,
                                                      uint32_t argumentCount,
                                                      const uint64_t* arguments) {
    return callBoundary([&] {
        return zyostrel::device::writeInstructionFifo(session, instruction, argumentCount,
                                                      arguments);
    });
}

ZYOSTREL_API int32_t zyOstrel_WriteInstructionFifo(uint32_t session, uint32_t instruction,
                                                   uint32_t argumentCount,
                                                   const uint64_t* arguments) {
    return callBoundary([&] {
        return zyostrel::device::writeInstructionFifo(session, instruction, argumentCount,
                                                      arguments);
    });
}

ZYOSTREL_API int32_t zyOstrelMDK_readInstructionFifo(uint32_t session, uint32_t instruction,
                                                     uint32_t argumentCount,
                                                     const uint64_t* arguments,
                                                     uint64_t* response) {
    return callBoundary([&] {
        return zyostrel::device::readInstructionFifo(session, instruction, argumentCount, arguments,
                                                     response);
    });
}

ZYOSTREL_API int32_t zyOstrel_ReadInstructionFifo(uint32_t session, uint32_t instruction,
                                                  uint32_t argumentCount, const uint64_t* arguments,
                                                  uint64_t* response) {
    return callBoundary([&] {
        return zyostrel::device::readInstructionFifo(session, instruction, argumentCount, arguments,
                                                     response);
    });
}

}  // extern "C"
