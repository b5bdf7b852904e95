#include "device/I2c.h"

#include <cstring>

#include "channel/CommandChannel.h"
#include "device/DeviceRecords.h"
#include "zyostrelapi.h"

namespace zyostrel::device {
namespace {

using channel::Interface;
using channel::InterfaceId;
using channel::sendInterfaceCommand;

const InterfaceId kI2cInterface(Interface::I2c);

I2cAddress addressOf(const I2cTarget& target) noexcept {
    return I2cAddress{target.busId, static_cast<uint16_t>(target.deviceAddress & 0xFFFF),
                      static_cast<uint8_t>(target.option ? 1 : 0)};
}

}  // namespace

int32_t readI2c(const I2cTarget& target, uint8_t* readData, std::size_t readCount,
                std::size_t* bytesRead) {
    if (bytesRead == nullptr) return ZYOSTREL_Status_I2cReadCountNull;
    *bytesRead = 0;
    if (readCount > kI2cMaxRead) return ZYOSTREL_Status_I2cReadTooLong;
    if (readData == nullptr) return ZYOSTREL_Status_I2cReadDataNull;
    if (readCount == 0) return 0;

    const I2cReadRequest request{
        {kI2cInterface, kI2cRead}, addressOf(target), static_cast<uint32_t>(readCount)};
    I2cReadReply reply{};
    const int32_t status = sendInterfaceCommand(target.session, request, reply);
    if (status < 0) return status;
    if (reply.bytesRead != readCount) return ZYOSTREL_Status_I2cReadCountMismatch;
    std::memcpy(readData, reply.data, readCount);
    *bytesRead = readCount;
    return status;
}

int32_t writeI2c(const I2cTarget& target, const uint8_t* writeData, std::size_t writeCount,
                 std::size_t* bytesWritten) {
    if (bytesWritten == nullptr) return ZYOSTREL_Status_I2cWriteCountNull;
    *bytesWritten = 0;
    if (writeCount > kI2cMaxWrite) return ZYOSTREL_Status_I2cWriteTooLong;
    if (writeData == nullptr) return ZYOSTREL_Status_I2cWriteDataNull;
    if (writeCount == 0) return 0;

    I2cWriteRequest request{};
    request.header = {kI2cInterface, kI2cWrite};
    request.address = addressOf(target);
    std::memcpy(request.data, writeData, writeCount);
    request.writeCount = static_cast<uint32_t>(writeCount);
    I2cWriteReply reply{};
    const int32_t status = sendInterfaceCommand(target.session, request, reply);
    if (status < 0) return status;
    if (reply.bytesWritten != writeCount) return ZYOSTREL_Status_I2cWriteCountMismatch;
    *bytesWritten = writeCount;
    return status;
}

int32_t transferI2c(const I2cTarget& target, const uint8_t* writeData, std::size_t writeCount,
                    uint8_t* readData, std::size_t readCount, std::size_t* bytesWritten,
                    std::size_t* bytesRead) {
    if (bytesWritten == nullptr) {
        if (bytesRead != nullptr) *bytesRead = 0;
        return ZYOSTREL_Status_I2cWriteCountNull;
    }
    *bytesWritten = 0;
    if (bytesRead == nullptr) return ZYOSTREL_Status_I2cReadCountNull;
    *bytesRead = 0;
    if (writeData == nullptr) return ZYOSTREL_Status_I2cWriteDataNull;
    if (writeCount > kI2cMaxWrite) return ZYOSTREL_Status_I2cWriteTooLong;
    if (readData == nullptr) return ZYOSTREL_Status_I2cReadDataNull;
    if (readCount > kI2cMaxRead) return ZYOSTREL_Status_I2cReadTooLong;
    if (writeCount == 0 && readCount == 0) return 0;

    I2cTransferRequest request{};
    request.header = {kI2cInterface, kI2cTransfer};
    request.address = addressOf(target);
    request.readCount = static_cast<uint32_t>(readCount);
    if (writeCount != 0) std::memcpy(request.data, writeData, writeCount);
    request.writeCount = static_cast<uint32_t>(writeCount);
    I2cTransferReply reply{};
    const int32_t status = sendInterfaceCommand(target.session, request, reply);
    if (status < 0) return status;
    if (reply.bytesWritten != writeCount) return ZYOSTREL_Status_I2cWriteCountMismatch;
    if (reply.bytesRead != readCount) return ZYOSTREL_Status_I2cReadCountMismatch;
    *bytesWritten = writeCount;
    if (readCount != 0) std::memcpy(readData, reply.data, readCount);
    *bytesRead = readCount;
    return status;
}

}  // namespace zyostrel::device
