// Packed records of the I2C interface, the instruction FIFO, the commit and the adapter
// module information block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/CommandRecords.h"

namespace zyostrel::device {

using channel::CommandHeader;

// Function numbers of the direct device functions.
enum class DeviceFunction : uint32_t {
    ReadBar32 = 0,
    WriteBar32 = 1,
    InstructionFifoRead = 2,
    InstructionFifoWrite = 3,
    WriteCalibrationData = 6,
    ReadCalibrationData = 7,
    SetTemperatureLimit = 14,
    SetPowerLimit = 15,
    GetTemperatureLimit = 16,
    GetPowerLimit = 17,
    UpdateVerificationInformation = 20,
    WriteIoModuleInfo = 22,
    ReadIoModuleInfo = 23,
    WriteIoModuleSlotsUsed = 33,
    QsfpWrite = 34,
    QsfpRead = 35,
    QsfpResetPorts = 36,
    QsfpLowPowerMode = 37,
    StartCableSense = 38,
    StopCableSense = 39,
    QsfpModulePresent = 40,
};

enum I2cMethod : uint32_t { kI2cRead = 0, kI2cWrite = 1, kI2cTransfer = 2 };
enum InstructionFifoMethod : uint32_t { kFifoRead = 0, kFifoWrite = 1 };
inline constexpr uint32_t kCommitMethod = 342;

inline constexpr std::size_t kI2cMaxRead = wire::kI2cMaxRead;
inline constexpr std::size_t kI2cMaxWrite = 1023;  // the data field holds one byte more
inline constexpr std::size_t kI2cDataField = wire::kI2cDataFieldSize;
inline constexpr uint32_t kInstructionFifoMaxArguments = 15;  // the area holds 16 words

#pragma pack(push, 1)

struct I2cAddress {
    uint64_t busId;
    uint16_t deviceAddress;
    uint8_t option;
};

struct I2cReadRequest {
    CommandHeader header;
    I2cAddress address;
    uint32_t readCount;
};

struct I2cReadReply {
    uint8_t data[kI2cMaxRead];
    uint32_t bytesRead;
};

struct I2cWriteRequest {
    CommandHeader header;
    I2cAddress address;
    uint8_t data[kI2cDataField];
    uint32_t writeCount;
};

struct I2cWriteReply {
    uint32_t bytesWritten;
};

struct I2cTransferRequest {
    CommandHeader header;
    I2cAddress address;
    uint32_t readCount;
    uint8_t data[kI2cDataField];
    uint32_t writeCount;
};

struct I2cTransferReply {
    uint8_t data[kI2cMaxRead];
    uint32_t bytesRead;
    uint32_t bytesWritten;
};

struct InstructionFifoRecord {
    CommandHeader header;
    uint32_t instruction;
    uint32_t argumentCount;
    uint64_t arguments[16];
};

struct CommitRecord {
    CommandHeader header;
    uint32_t reserved;
};

// Direct instruction FIFO access (functions 2 and 3).
struct InstructionFifoDirect {
    uint32_t instruction;
    uint32_t unused;
    uint64_t argument;
};

struct IoModuleInfo {
    uint32_t infoField3;
    uint32_t infoField4;
    uint16_t infoField1;
    uint16_t infoField2;
    uint16_t infoField6;
    uint8_t infoField5;
    uint8_t slotsUsed;
};

struct BarWrite {
    uint32_t offset;
    uint32_t value;
};

// Header of the calibration block; the data follows it.
struct CalibrationHeader {
    uint32_t calibrationSelector;
    uint32_t length;
};

#pragma pack(pop)

static_assert(sizeof(I2cAddress) == 11);
static_assert(sizeof(I2cReadRequest) == 35);
static_assert(offsetof(I2cReadRequest, address) + offsetof(I2cAddress, busId) == 20);
static_assert(offsetof(I2cReadRequest, address) + offsetof(I2cAddress, deviceAddress) == 28);
static_assert(offsetof(I2cReadRequest, address) + offsetof(I2cAddress, option) == 30);
static_assert(offsetof(I2cReadRequest, readCount) == 31);
static_assert(sizeof(I2cReadReply) == 259);
static_assert(offsetof(I2cReadReply, bytesRead) == 255);
static_assert(sizeof(I2cWriteRequest) == 1059);
static_assert(offsetof(I2cWriteRequest, data) == 31);
static_assert(offsetof(I2cWriteRequest, writeCount) == 1055);
static_assert(sizeof(I2cWriteReply) == 4);
static_assert(sizeof(I2cTransferRequest) == 1063);
static_assert(offsetof(I2cTransferRequest, readCount) == 31);
static_assert(offsetof(I2cTransferRequest, data) == 35);
static_assert(offsetof(I2cTransferRequest, writeCount) == 1059);
static_assert(sizeof(I2cTransferReply) == 263);
static_assert(offsetof(I2cTransferReply, bytesRead) == 255);
static_assert(offsetof(I2cTransferReply, bytesWritten) == 259);
static_assert(sizeof(InstructionFifoRecord) == 156);
static_assert(offsetof(InstructionFifoRecord, instruction) == 20);
static_assert(offsetof(InstructionFifoRecord, argumentCount) == 24);
static_assert(offsetof(InstructionFifoRecord, arguments) == 28);
static_assert(sizeof(CommitRecord) == 24);
static_assert(sizeof(InstructionFifoDirect) == 16);
static_assert(offsetof(InstructionFifoDirect, argument) == 8);
static_assert(sizeof(IoModuleInfo) == 16);
static_assert(offsetof(IoModuleInfo, infoField4) == 4);
static_assert(offsetof(IoModuleInfo, infoField1) == 8);
static_assert(offsetof(IoModuleInfo, infoField2) == 10);
static_assert(offsetof(IoModuleInfo, infoField6) == 12);
static_assert(offsetof(IoModuleInfo, infoField5) == 14);
static_assert(offsetof(IoModuleInfo, slotsUsed) == 15);
static_assert(sizeof(BarWrite) == 8);
static_assert(sizeof(CalibrationHeader) == 8);

}  // namespace zyostrel::device
