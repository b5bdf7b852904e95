// Device services that do more than forward one fixed request.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/DeviceRecords.h"

namespace zyostrel::device {

int32_t writeCalibrationData(uint32_t session, uint32_t calibrationSelector, const uint8_t* data,
                             std::size_t dataSize);

int32_t writeInstructionFifo(uint32_t session, uint32_t instruction, uint32_t argumentCount,
                             const uint64_t* arguments);
int32_t readInstructionFifo(uint32_t session, uint32_t instruction, uint32_t argumentCount,
                            const uint64_t* arguments, uint64_t* response);

// Adapter-module information; a negative status leaves every field all ones.
int32_t readIoModuleInfo(uint32_t session, IoModuleInfo& info);

int32_t commit(uint32_t session);

}  // namespace zyostrel::device
