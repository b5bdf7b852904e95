// State of the emulated device services of one instrument.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace zyemu {

struct QsfpPort {
    bool present = false;
    std::array<uint8_t, 256> memory{};
};

struct DeviceState {
    std::map<uint32_t, uint32_t> barRegisters;
    std::map<uint32_t, std::vector<uint8_t>> calibration;
    double temperatureLimit = 85.0;
    double powerLimit = 150.0;
    uint8_t ioModuleInfo[16] = {0x02, 0x00, 0x01, 0x00,  // infoField3
                                0x00, 0x00, 0x00, 0x00,  // infoField4
                                0x93, 0x10,              // infoField1
                                0x31, 0x7A,              // infoField2
                                0x00, 0x00,              // infoField6
                                0x01,                    // infoField5
                                0x01};                   // slots used
    bool cableSenseRunning = false;
    uint32_t commits = 0;
    uint32_t verificationUpdates = 0;
    uint32_t qsfpResets = 0;
    bool qsfpLowPower = false;
    uint32_t instructionsReceived = 0;
    uint32_t lastInstruction = 0;
    std::vector<uint64_t> lastArguments;
    std::array<QsfpPort, 2> qsfpPorts = makePorts();

    static std::array<QsfpPort, 2> makePorts();
};

// Contents of a QSFP module's memory map after power-up or reset.
std::array<uint8_t, 256> qsfpModuleMemory();

}  // namespace zyemu
