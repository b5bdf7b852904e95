// Device services: packing, output handling whatever the status, and their limits.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <numeric>
#include <tuple>
#include <vector>

#include "support/EmulatorFixture.h"

namespace {

using zytest::Bytes;
using zytest::Fault;

class DeviceServicesTest : public zytest::SessionTest {
protected:
    // Expects the last call to be the direct function with that input.
    static void expectDirect(uint32_t function, const Bytes& input) {
        EXPECT_EQ(lastCall().functionNumber, function);
        EXPECT_EQ(inputOf(lastCall()), input) << "function " << function;
    }
};

TEST_F(DeviceServicesTest, CommitIsAConfigurationTreeRecord) {
    EXPECT_STATUS(0, zyOstrel_Commit(session));
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 256u);
    ASSERT_EQ(call.inputSize, 24u);
    EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 16, 20}), (std::vector<uint32_t>{0xDE7EC7ED, 342, 0}));
    EXPECT_EQ(call.outputGiven, 0);
}

TEST_F(DeviceServicesTest, CalibrationIsAnEightByteHeaderAndItsData) {
    Bytes data(100);
    std::iota(data.begin(), data.end(), uint8_t{1});
    EXPECT_STATUS(0, zyOstrel_WriteCalibrationData(session, 0xC0DE, data.data(), data.size()));
    Bytes record{0xDE, 0xC0, 0, 0, 100, 0, 0, 0};
    record.insert(record.end(), data.begin(), data.end());
    expectDirect(6, record);
    EXPECT_EQ(lastCall().outputGiven, 0);

    Bytes back(100, 0);
    EXPECT_STATUS(0, zyOstrel_ReadCalibrationData(session, 0xC0DE, back.data(), back.size()));
    EXPECT_EQ(back, data);
    expectDirect(7, {0xDE, 0xC0, 0, 0});
    EXPECT_EQ(lastCall().outputSize, 100u);
    EXPECT_STATUS(ZYEMU_STATUS_NO_CALIBRATION,
                  zyOstrel_ReadCalibrationData(session, 2, back.data(), 2));

    // No data: the header goes alone.
    EXPECT_STATUS(0, zyOstrel_WriteCalibrationData(session, 3, data.data(), 0));
    expectDirect(6, {3, 0, 0, 0, 0, 0, 0, 0});
}

TEST_F(DeviceServicesTest, CalibrationSizesBeyondTheLengthFieldAreRefused) {
    // The length field has 32 bits; larger sizes, the wrapping ones among them, never reach
    // the allocation or the device.
    const uint8_t byte = 0;
    const size_t max = std::numeric_limits<size_t>::max();
    for (size_t size : {size_t{1} << 32, max - 8, max - 7, max}) {
        EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                      zyOstrel_WriteCalibrationData(session, 1, &byte, size))
            << size;
    }
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(DeviceServicesTest, BarRegistersReadBackAndOutputIsWrittenWhateverTheStatus) {
    uint32_t value = 0;
    EXPECT_STATUS(0, ostrel_readBar32(session, 0, &value));
    EXPECT_EQ(value, 0x05731A01u);
    EXPECT_STATUS(0, ostrel_writeBar32(session, 0x40, 0xDEADBEEF));
    EXPECT_EQ(inputOf(lastCall()), (Bytes{0x40, 0, 0, 0, 0xEF, 0xBE, 0xAD, 0xDE}));
    EXPECT_STATUS(ZYEMU_STATUS_READ_ONLY_LOCATION, ostrel_writeBar32(session, 0, 1));
    value = 77;
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE, ostrel_readBar32(session, 0x41, &value));
    EXPECT_EQ(value, 0u);
}

TEST_F(DeviceServicesTest, DirectInstructionReadReturnsTheLowWord) {
    uint32_t response = 0;
    EXPECT_STATUS(0, ostrel_instructionFifoRead(session, 0x77, 0x1122334455667788ull, &response));
    expectDirect(2, {0x77, 0, 0, 0, 0, 0, 0, 0, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11});
    EXPECT_EQ(lastCall().outputSize, 8u);
    EXPECT_EQ(response, 0x55667788u);  // the high word holds the instruction
    EXPECT_STATUS(0, ostrel_instructionFifoWrite(session, 0x78, 5));
    EXPECT_EQ(lastCall().functionNumber, 3u);
    EXPECT_EQ(lastCall().outputGiven, 0);
}

TEST_F(DeviceServicesTest, LimitsReadBackAndInvalidLimitsAreRefused) {
    double limit = 0;
    EXPECT_STATUS(0, zyOstrel_SetTemperatureLimit(session, 70.5));
    EXPECT_EQ(lastCall().functionNumber, 14u);
    EXPECT_EQ(fieldAt<double>(lastCall(), 0), 70.5);
    EXPECT_STATUS(0, zyOstrel_SetPowerLimit(session, 90.0));
    EXPECT_EQ(lastCall().functionNumber, 15u);
    EXPECT_STATUS(0, zyOstrel_GetTemperatureLimit(session, &limit));
    EXPECT_EQ(limit, 70.5);
    expectDirect(16, {});
    EXPECT_STATUS(0, zyOstrel_GetPowerLimit(session, &limit));
    EXPECT_EQ(limit, 90.0);
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE, zyOstrel_SetPowerLimit(session, -1.0));
}

TEST_F(DeviceServicesTest, NullOutputsAreRefusedBeforeAnythingIsSent) {
    const int32_t results[] = {
        ostrel_readBar32(session, 0x40, nullptr),
        ostrel_instructionFifoRead(session, 1, 2, nullptr),
        zyOstrel_GetTemperatureLimit(session, nullptr),
        zyOstrel_GetPowerLimit(session, nullptr),
        zyOstrel_ReadCalibrationData(session, 1, nullptr, 0),
        zyOstrel_WriteCalibrationData(session, 1, nullptr, 0),
        zyOstrelMDK_writeInstructionFifo(session, 1, 0, nullptr),
        zyOstrel_ReadInstructionFifo(session, 0xAB, 0, nullptr, nullptr),
    };
    EXPECT_EQ(std::vector<int32_t>(std::begin(results), std::end(results)),
              std::vector<int32_t>(std::size(results), ZYOSTREL_Status_InvalidParameter));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(DeviceServicesTest, RequestsWithoutPayload) {
    EXPECT_STATUS(0, zyOstrel_UpdateVerificationInformation(session));
    expectDirect(20, {});
    EXPECT_STATUS(0, zyOstrel_StartCableSense(session));
    expectDirect(38, {});
    EXPECT_STATUS(0, zyOstrel_StopCableSense(session));
    expectDirect(39, {});
    EXPECT_EQ(lastCall().input, nullptr);
}

TEST_F(DeviceServicesTest, ModuleInfoWriteLeavesSlotsUsedAlone) {
    ASSERT_STATUS(0, zyOstrelMDK_writeIoModuleSlotsUsed(session, 0x103));
    expectDirect(33, {3});
    ASSERT_STATUS(0, zyOstrelMDK_writeIoModuleInfo(session, 0x1111, 0x2222, 0x33333333, 0x44444444,
                                                   0x55, 0x6666));
    expectDirect(22, {0x33, 0x33, 0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x11, 0x11, 0x22, 0x22, 0x66,
                      0x66, 0x55, 0xFF});
    uint16_t f1 = 0, f2 = 0, f6 = 0;
    uint32_t f3 = 0, f4 = 0;
    uint8_t f5 = 0, slots = 0;
    EXPECT_STATUS(0, zyOstrelMDK_readIoModuleInfo(session, &f1, &f2, &f3, &f4, &f5, &f6));
    EXPECT_EQ(lastCall().functionNumber, 23u);
    EXPECT_EQ(std::make_tuple(f1, f2, f3, f4, f5, f6),
              std::make_tuple(uint16_t{0x1111}, uint16_t{0x2222}, 0x33333333u, 0x44444444u,
                              uint8_t{0x55}, uint16_t{0x6666}));
    EXPECT_STATUS(0, zyOstrelMDK_readIoModuleSlotsUsed(session, &slots));
    EXPECT_EQ(slots, 3);
}

// A failed read gives all ones; a warning counts as success.
TEST_F(DeviceServicesTest, ModuleInfoOnFailureIsAllOnes) {
    Fault::function(23).status(-70000).times(1).add();
    uint16_t f1 = 0, f6 = 0;
    uint32_t f4 = 0;
    uint8_t f5 = 0;
    EXPECT_STATUS(-70000,
                  zyOstrelMDK_readIoModuleInfo(session, &f1, nullptr, nullptr, &f4, &f5, &f6));
    EXPECT_EQ(std::make_tuple(f1, f4, f5, f6),
              std::make_tuple(uint16_t{0xFFFF}, 0xFFFFFFFFu, uint8_t{0xFF}, uint16_t{0xFFFF}));
    Fault::function(23).status(-70001).times(1).add();
    uint8_t slots = 0;
    EXPECT_STATUS(-70001, zyOstrelMDK_readIoModuleSlotsUsed(session, &slots));
    EXPECT_EQ(slots, 255);
    EXPECT_STATUS(0, zyOstrelMDK_readIoModuleSlotsUsed(session, nullptr));
    EXPECT_STATUS(0, zyOstrelMDK_readIoModuleInfo(session, nullptr, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr));
    Fault::function(23).status(9).afterRunning().add();
    EXPECT_STATUS(
        9, zyOstrelMDK_readIoModuleInfo(session, &f1, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(f1, 0x1093);
}

TEST_F(DeviceServicesTest, InstructionFifoTakesFifteenArgumentsNotSixteen) {
    std::vector<uint64_t> arguments(16);
    std::iota(arguments.begin(), arguments.end(), uint64_t{0x100});
    EXPECT_STATUS(0, zyOstrelMDK_writeInstructionFifo(session, 0xAB, 15, arguments.data()));
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 156u);
    EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 16, 20, 24}), (std::vector<uint32_t>{262, 1, 0xAB, 15}));
    EXPECT_EQ(0, std::memcmp(call.input + 28, arguments.data(), 120));
    EXPECT_EQ(fieldAt<uint64_t>(call, 148), 0u);

    zyemu_clear_log();
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                  zyOstrelMDK_writeInstructionFifo(session, 0xAB, 16, arguments.data()));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(DeviceServicesTest, BothNamesOfTheInstructionFifoSendTheSameRecords) {
    const uint64_t arguments[2] = {5, 6};
    uint64_t first = 0;
    uint64_t second = 0;
    ASSERT_STATUS(0, zyOstrelMDK_readInstructionFifo(session, 0x10, 2, arguments, &first));
    const Bytes mdkRecord = inputOf(lastCall());
    ASSERT_STATUS(0, zyOstrel_ReadInstructionFifo(session, 0x10, 2, arguments, &second));
    EXPECT_EQ(inputOf(lastCall()), mdkRecord);
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 16), 0u);
    EXPECT_EQ(lastCall().outputSize, 8u);
    EXPECT_EQ(first, (uint64_t{0x10} << 32) | 11u);
    EXPECT_EQ(second, first);

    ASSERT_STATUS(0, zyOstrelMDK_writeInstructionFifo(session, 0x11, 2, arguments));
    const Bytes writeRecord = inputOf(lastCall());
    ASSERT_STATUS(0, zyOstrel_WriteInstructionFifo(session, 0x11, 2, arguments));
    EXPECT_EQ(inputOf(lastCall()), writeRecord);
}

TEST_F(DeviceServicesTest, InstructionFifoResponseIsStoredWhateverTheStatus) {
    Fault::interface(262).status(-5).reply(uint64_t{0x0102030405060708}).add();
    const uint64_t argument = 1;
    uint64_t response = 0;
    EXPECT_STATUS(-5, zyOstrelMDK_readInstructionFifo(session, 1, 1, &argument, &response));
    EXPECT_EQ(response, 0x0102030405060708u);
    EXPECT_STATUS(-5, zyOstrelMDK_readInstructionFifo(session, 1, 1, &argument, nullptr));
}

// The simulated session fails the interface commands (I2C after its argument checks) without
// reaching the runtime; the direct functions reach it.
// The second names of the instruction FIFO share the first names' code
// (BothNamesOfTheInstructionFifoSendTheSameRecords).
TEST_F(DeviceServicesTest, SimulatedSessionFailsOnlyTheInterfaceCommands) {
    const uint64_t argument = 1;
    uint64_t response = 0;
    uint8_t data[2] = {};
    size_t count = 12345;
    size_t other = 12345;
    const int32_t interfaceCommands[] = {
        zyOstrel_Commit(simulated),
        zyOstrelMDK_writeInstructionFifo(simulated, 1, 1, &argument),
        zyOstrelMDK_readInstructionFifo(simulated, 1, 1, &argument, &response),
        zyOstrelMDK_configureIoModuleRefClkPinSrc(simulated, 1),
        zyOstrel_ReadI2C(simulated, 1, 0x50, data, 2, 0, &count),
        zyOstrel_WriteI2C(simulated, 1, 0x50, data, 2, 0, &other),
        zyOstrel_TransferI2C(simulated, 1, 0x50, data, 1, data, 1, 0, &other, &other),
    };
    EXPECT_EQ(std::vector<int32_t>(std::begin(interfaceCommands), std::end(interfaceCommands)),
              std::vector<int32_t>(std::size(interfaceCommands), -1));
    EXPECT_EQ(count, 0u);
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadTooLong,
                  zyOstrel_ReadI2C(simulated, 1, 0x50, data, 256, 0, &count), simulated);
    EXPECT_EQ(zyemu_call_count(), 0u);

    uint32_t value = 0;
    const int32_t direct[] = {
        ostrel_readBar32(simulated, 0, &value),
        zyOstrel_StartCableSense(simulated),
        zyOstrelMDK_readIoModuleSlotsUsed(simulated, data),
        zyOstrel_QSFPRead(simulated, 0, 0, data),
        zyOstrel_QSFPWrite(simulated, 0, 100, 1),
        zyOstrel_QSFPResetPorts(simulated),
        zyOstrel_QSFPEnableLowPowerMode(simulated, 1),
        zyOstrel_QSFPGetModulePresent(simulated, 0, &value),
    };
    EXPECT_EQ(std::vector<int32_t>(std::begin(direct), std::end(direct)),
              std::vector<int32_t>(std::size(direct), 0));
    EXPECT_EQ(callsOf(ZYEMU_ENTRY_CLIENT_CALL).size(), std::size(direct));
}

TEST_F(DeviceServicesTest, RefClkPinSourceIsTheModuleAttributeOnNoChannel) {
    EXPECT_STATUS(0, zyOstrelMDK_configureIoModuleRefClkPinSrc(session, 2));
    EXPECT_EQ(attributeCalls(), (std::vector<zytest::AttributeCall>{{722, 0x10000017, "", "2"}}));
    EXPECT_LT(zyOstrelMDK_configureIoModuleRefClkPinSrc(session, 3), 0);  // not a source
}

}  // namespace
