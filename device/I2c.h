// I2C transfers through the device daemon.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyostrel::device {

struct I2cTarget {
    uint32_t session;
    uint64_t busId;
    int32_t deviceAddress;  // the low 16 bits go on the wire
    bool option;
};

int32_t readI2c(const I2cTarget& target, uint8_t* readData, std::size_t readCount,
                std::size_t* bytesRead);
int32_t writeI2c(const I2cTarget& target, const uint8_t* writeData, std::size_t writeCount,
                 std::size_t* bytesWritten);
int32_t transferI2c(const I2cTarget& target, const uint8_t* writeData, std::size_t writeCount,
                    uint8_t* readData, std::size_t readCount, std::size_t* bytesWritten,
                    std::size_t* bytesRead);

}  // namespace zyostrel::device
