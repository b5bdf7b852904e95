// Device services: packing, output handling whatever the status, and their limits.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <numeric>
#include <tuple>
#include <vector>

#include "device/DeviceFixture.h"

namespace {

using DeviceServicesTest = zytest::DeviceTest;
using RefClkPinTest = zytest::DeviceTest;

TEST_F(DeviceServicesTest, CommitIsAConfigurationTreeRecord) {
    EXPECT_EQ(zyOstrel_Commit(session), 0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 256u);
    ASSERT_EQ(call.inputSize, 24u);
    expectU32s(call, {{0, 0xDE7EC7EDu}, {16, 342u}, {20, 0u}});
    EXPECT_EQ(call.outputGiven, 0);
    EXPECT_EQ(deviceState().commits, 1u);
}

TEST_F(DeviceServicesTest, CalibrationIsAnEightByteHeaderAndItsData) {
    std::vector<uint8_t> data(100);
    std::iota(data.begin(), data.end(), uint8_t{1});
    EXPECT_EQ(zyOstrel_WriteCalibrationData(session, 0xC0DE, data.data(), data.size()), 0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 6u);
    ASSERT_EQ(call.inputSize, 108u);
    expectU32s(call, {{0, 0xC0DEu}, {4, 100u}});
    EXPECT_EQ(0, std::memcmp(call.input + 8, data.data(), 100));
    EXPECT_EQ(call.outputGiven, 0);

    std::vector<uint8_t> back(100, 0);
    EXPECT_EQ(zyOstrel_ReadCalibrationData(session, 0xC0DE, back.data(), back.size()), 0);
    EXPECT_EQ(back, data);
    EXPECT_EQ(lastCall().functionNumber, 7u);
    EXPECT_EQ(lastCall().inputSize, 4u);
    EXPECT_EQ(lastCall().outputSize, 100u);

    // No data: the header goes alone.
    EXPECT_EQ(zyOstrel_WriteCalibrationData(session, 3, data.data(), 0), 0);
    EXPECT_EQ(lastCall().inputSize, 8u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(lastCall(), 4), 0u);
}

TEST_F(DeviceServicesTest, CalibrationSizesBeyondTheLengthFieldAreRefused) {
    // The length field has 32 bits; larger sizes, the wrapping ones among them, never reach
    // the allocation or the device.
    const uint8_t byte = 0;
    const size_t max = std::numeric_limits<size_t>::max();
    for (size_t size : {size_t{1} << 32, max - 8, max - 7, max}) {
        EXPECT_EQ(zyOstrel_WriteCalibrationData(session, 1, &byte, size),
                  ZYOSTREL_Status_InvalidParameter)
            << size;
    }
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(DeviceServicesTest, CalibrationSelectorsAreKeptApart) {
    const uint8_t first[2] = {1, 2};
    ASSERT_EQ(zyOstrel_WriteCalibrationData(session, 1, first, 2), 0);
    uint8_t back[2] = {};
    EXPECT_EQ(zyOstrel_ReadCalibrationData(session, 2, back, 2), ZYEMU_STATUS_NO_CALIBRATION);
}

TEST_F(DeviceServicesTest, BarRegistersReadBackAndOutputIsWrittenWhateverTheStatus) {
    uint32_t value = 0;
    EXPECT_EQ(ostrel_readBar32(session, 0, &value), 0);
    EXPECT_EQ(value, 0x05731A01u);
    EXPECT_EQ(ostrel_writeBar32(session, 0x40, 0xDEADBEEF), 0);
    ASSERT_EQ(lastCall().inputSize, 8u);
    expectU32s(lastCall(), {{0, 0x40u}, {4, 0xDEADBEEFu}});
    EXPECT_EQ(ostrel_readBar32(session, 0x40, &value), 0);
    EXPECT_EQ(value, 0xDEADBEEFu);
    EXPECT_EQ(ostrel_writeBar32(session, 0, 1), ZYEMU_STATUS_READ_ONLY_LOCATION);
    value = 77;
    EXPECT_EQ(ostrel_readBar32(session, 0x41, &value), ZYEMU_STATUS_INVALID_VALUE);
    EXPECT_EQ(value, 0u);
}

TEST_F(DeviceServicesTest, DirectInstructionReadReturnsTheLowWord) {
    uint32_t response = 0;
    EXPECT_EQ(ostrel_instructionFifoRead(session, 0x77, 0x1122334455667788ull, &response), 0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 2u);
    ASSERT_EQ(call.inputSize, 16u);
    expectU32s(call, {{0, 0x77u}, {4, 0u}});
    EXPECT_EQ(zytest::fieldAt<uint64_t>(call, 8), 0x1122334455667788ull);
    EXPECT_EQ(call.outputSize, 8u);
    EXPECT_EQ(response, 0x55667788u);  // the high word holds the instruction
    EXPECT_EQ(ostrel_instructionFifoWrite(session, 0x78, 5), 0);
    EXPECT_EQ(lastCall().functionNumber, 3u);
    EXPECT_EQ(lastCall().outputGiven, 0);
    EXPECT_EQ(deviceState().lastInstruction, 0x78u);
}

TEST_F(DeviceServicesTest, LimitsReadBackAndInvalidLimitsAreRefused) {
    EXPECT_EQ(zyOstrel_SetTemperatureLimit(session, 70.5), 0);
    EXPECT_EQ(lastCall().functionNumber, 14u);
    EXPECT_EQ(zytest::fieldAt<double>(lastCall(), 0), 70.5);
    EXPECT_EQ(zyOstrel_SetPowerLimit(session, 90.0), 0);
    EXPECT_EQ(lastCall().functionNumber, 15u);
    double limit = 0;
    EXPECT_EQ(zyOstrel_GetTemperatureLimit(session, &limit), 0);
    EXPECT_EQ(limit, 70.5);
    EXPECT_EQ(lastCall().functionNumber, 16u);
    EXPECT_EQ(lastCall().inputSize, 0u);
    EXPECT_EQ(zyOstrel_GetPowerLimit(session, &limit), 0);
    EXPECT_EQ(limit, 90.0);
    EXPECT_EQ(zyOstrel_SetPowerLimit(session, -1.0), ZYEMU_STATUS_INVALID_VALUE);
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
    for (size_t i = 0; i < std::size(results); ++i) {
        EXPECT_EQ(results[i], ZYOSTREL_Status_InvalidParameter) << "call " << i;
    }
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(DeviceServicesTest, RequestsWithoutPayload) {
    EXPECT_EQ(zyOstrel_UpdateVerificationInformation(session), 0);
    EXPECT_EQ(lastCall().functionNumber, 20u);
    EXPECT_EQ(zyOstrel_StartCableSense(session), 0);
    EXPECT_EQ(lastCall().functionNumber, 38u);
    EXPECT_EQ(deviceState().cableSenseRunning, 1);
    EXPECT_EQ(zyOstrel_StopCableSense(session), 0);
    EXPECT_EQ(lastCall().functionNumber, 39u);
    EXPECT_EQ(lastCall().input, nullptr);
    EXPECT_EQ(deviceState().cableSenseRunning, 0);
    EXPECT_EQ(deviceState().verificationUpdates, 1u);
}

TEST_F(DeviceServicesTest, ModuleInfoWriteLeavesSlotsUsedAlone) {
    ASSERT_EQ(zyOstrelMDK_writeIoModuleSlotsUsed(session, 0x103), 0);
    EXPECT_EQ(lastCall().functionNumber, 33u);
    ASSERT_EQ(lastCall().inputSize, 1u);
    EXPECT_EQ(lastCall().input[0], 3);
    ASSERT_EQ(zyOstrelMDK_writeIoModuleInfo(session, 0x1111, 0x2222, 0x33333333, 0x44444444, 0x55,
                                            0x6666),
              0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 22u);
    ASSERT_EQ(call.inputSize, 16u);
    expectU32s(call, {{0, 0x33333333u}, {4, 0x44444444u}});
    EXPECT_EQ(zytest::fieldAt<uint16_t>(call, 8), 0x1111);
    EXPECT_EQ(zytest::fieldAt<uint16_t>(call, 10), 0x2222);
    EXPECT_EQ(zytest::fieldAt<uint16_t>(call, 12), 0x6666);
    EXPECT_EQ(zytest::fieldAt<uint8_t>(call, 14), 0x55);
    EXPECT_EQ(zytest::fieldAt<uint8_t>(call, 15), 0xFF);

    uint16_t f1 = 0, f2 = 0, f6 = 0;
    uint32_t f3 = 0, f4 = 0;
    uint8_t f5 = 0, slots = 0;
    EXPECT_EQ(zyOstrelMDK_readIoModuleInfo(session, &f1, &f2, &f3, &f4, &f5, &f6), 0);
    EXPECT_EQ(lastCall().functionNumber, 23u);
    EXPECT_EQ(std::make_tuple(f1, f2, f3, f4, f5, f6),
              std::make_tuple(uint16_t{0x1111}, uint16_t{0x2222}, 0x33333333u, 0x44444444u,
                              uint8_t{0x55}, uint16_t{0x6666}));
    EXPECT_EQ(zyOstrelMDK_readIoModuleSlotsUsed(session, &slots), 0);
    EXPECT_EQ(slots, 3);
}

TEST_F(DeviceServicesTest, ModuleInfoOnFailureIsAllOnes) {
    addFault(faultOn(ZYEMU_MATCH_FUNCTION, 23, -70000, ZYEMU_FAULT_REPLACE, 1));
    uint16_t f1 = 0, f6 = 0;
    uint32_t f4 = 0;
    uint8_t f5 = 0;
    EXPECT_EQ(zyOstrelMDK_readIoModuleInfo(session, &f1, nullptr, nullptr, &f4, &f5, &f6), -70000);
    EXPECT_EQ(std::make_tuple(f1, f4, f5, f6),
              std::make_tuple(uint16_t{0xFFFF}, 0xFFFFFFFFu, uint8_t{0xFF}, uint16_t{0xFFFF}));
    addFault(faultOn(ZYEMU_MATCH_FUNCTION, 23, -70001, ZYEMU_FAULT_REPLACE, 1));
    uint8_t slots = 0;
    EXPECT_EQ(zyOstrelMDK_readIoModuleSlotsUsed(session, &slots), -70001);
    EXPECT_EQ(slots, 255);
    EXPECT_EQ(zyOstrelMDK_readIoModuleSlotsUsed(session, nullptr), 0);
    EXPECT_EQ(
        zyOstrelMDK_readIoModuleInfo(session, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
        0);
}

TEST_F(DeviceServicesTest, ModuleInfoWarningCountsAsSuccess) {
    addFault(faultOn(ZYEMU_MATCH_FUNCTION, 23, 9, ZYEMU_FAULT_AFTER_RUNNING));
    uint16_t f1 = 0;
    EXPECT_EQ(
        zyOstrelMDK_readIoModuleInfo(session, &f1, nullptr, nullptr, nullptr, nullptr, nullptr), 9);
    EXPECT_EQ(f1, 0x1093);
}

TEST_F(DeviceServicesTest, InstructionFifoTakesFifteenArgumentsNotSixteen) {
    std::vector<uint64_t> arguments(16);
    std::iota(arguments.begin(), arguments.end(), uint64_t{0x100});
    EXPECT_EQ(zyOstrelMDK_writeInstructionFifo(session, 0xAB, 15, arguments.data()), 0);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 156u);
    expectU32s(call, {{0, 262u}, {16, 1u}, {20, 0xABu}, {24, 15u}});
    EXPECT_EQ(0, std::memcmp(call.input + 28, arguments.data(), 120));
    EXPECT_EQ(zytest::fieldAt<uint64_t>(call, 148), 0u);
    EXPECT_EQ(deviceState().lastArgumentCount, 15u);

    zyemu_clear_log();
    EXPECT_EQ(zyOstrelMDK_writeInstructionFifo(session, 0xAB, 16, arguments.data()),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(DeviceServicesTest, BothNamesOfTheInstructionFifoSendTheSameRecords) {
    const uint64_t arguments[2] = {5, 6};
    uint64_t first = 0;
    uint64_t second = 0;
    ASSERT_EQ(zyOstrelMDK_readInstructionFifo(session, 0x10, 2, arguments, &first), 0);
    const std::vector<uint8_t> mdkRecord = inputOf(lastCall());
    ASSERT_EQ(zyOstrel_ReadInstructionFifo(session, 0x10, 2, arguments, &second), 0);
    EXPECT_EQ(inputOf(lastCall()), mdkRecord);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(lastCall(), 16), 0u);
    EXPECT_EQ(lastCall().outputSize, 8u);
    EXPECT_EQ(first, (uint64_t{0x10} << 32) | 11u);
    EXPECT_EQ(second, first);

    ASSERT_EQ(zyOstrelMDK_writeInstructionFifo(session, 0x11, 2, arguments), 0);
    const std::vector<uint8_t> writeRecord = inputOf(lastCall());
    ASSERT_EQ(zyOstrel_WriteInstructionFifo(session, 0x11, 2, arguments), 0);
    EXPECT_EQ(inputOf(lastCall()), writeRecord);
}

TEST_F(DeviceServicesTest, InstructionFifoResponseIsStoredWhateverTheStatus) {
    const uint64_t reply = 0x0102030405060708ull;
    ZyEmuFault fault = faultOn(ZYEMU_MATCH_INTERFACE, 262, -5);
    fault.reply = &reply;
    fault.replySize = sizeof reply;
    addFault(fault);
    const uint64_t argument = 1;
    uint64_t response = 0;
    EXPECT_EQ(zyOstrelMDK_readInstructionFifo(session, 1, 1, &argument, &response), -5);
    EXPECT_EQ(response, reply);
    EXPECT_EQ(zyOstrelMDK_readInstructionFifo(session, 1, 1, &argument, nullptr), -5);
}

TEST_F(DeviceServicesTest, SimulatedSessionFailsOnlyTheInterfaceCommands) {
    const uint64_t argument = 1;
    uint64_t response = 0;
    EXPECT_EQ(zyOstrel_Commit(simulated), -1);
    EXPECT_EQ(zyOstrelMDK_writeInstructionFifo(simulated, 1, 1, &argument), -1);
    EXPECT_EQ(zyOstrel_WriteInstructionFifo(simulated, 1, 1, &argument), -1);
    EXPECT_EQ(zyOstrelMDK_readInstructionFifo(simulated, 1, 1, &argument, &response), -1);
    EXPECT_EQ(zyOstrel_ReadInstructionFifo(simulated, 1, 1, &argument, &response), -1);
    EXPECT_EQ(zyOstrelMDK_configureIoModuleRefClkPinSrc(simulated, 1), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);

    // The direct functions reach the runtime on the simulated session too.
    uint32_t value = 0;
    double limit = 0;
    uint8_t slots = 0;
    uint8_t data[4] = {1, 2, 3, 4};
    uint16_t field1 = 0;
    const int32_t results[] = {
        ostrel_readBar32(simulated, 0, &value),
        ostrel_writeBar32(simulated, 4, 1),
        ostrel_instructionFifoRead(simulated, 1, 1, &value),
        ostrel_instructionFifoWrite(simulated, 1, 1),
        zyOstrel_WriteCalibrationData(simulated, 1, data, sizeof data),
        zyOstrel_ReadCalibrationData(simulated, 1, data, sizeof data),
        zyOstrel_SetTemperatureLimit(simulated, 80.0),
        zyOstrel_SetPowerLimit(simulated, 100.0),
        zyOstrel_GetTemperatureLimit(simulated, &limit),
        zyOstrel_GetPowerLimit(simulated, &limit),
        zyOstrel_UpdateVerificationInformation(simulated),
        zyOstrel_StartCableSense(simulated),
        zyOstrel_StopCableSense(simulated),
        zyOstrelMDK_writeIoModuleInfo(simulated, 1, 2, 3, 4, 5, 6),
        zyOstrelMDK_readIoModuleInfo(simulated, &field1, nullptr, nullptr, nullptr, nullptr,
                                     nullptr),
        zyOstrelMDK_writeIoModuleSlotsUsed(simulated, 2),
        zyOstrelMDK_readIoModuleSlotsUsed(simulated, &slots),
    };
    for (size_t i = 0; i < std::size(results); ++i) EXPECT_EQ(results[i], 0) << "call " << i;
    EXPECT_EQ(zyemu_call_count(), std::size(results));
    for (const ZyEmuCall& call : calls()) EXPECT_EQ(call.session, simulated);
}

TEST_F(RefClkPinTest, PinSourceIsTheModuleAttributeOnNoChannel) {
    EXPECT_EQ(zyOstrelMDK_configureIoModuleRefClkPinSrc(session, 2), 0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.interfaceNumber, 258u);
    EXPECT_EQ(call.method, 722u);
    EXPECT_EQ(zytest::fieldAt<uint32_t>(call, 20), 0x10000017u);
    EXPECT_EQ(zytest::fieldAt<uint8_t>(call, 28), 0);  // empty channel name
    EXPECT_EQ(zytest::fieldAt<int64_t>(call, 292), 2);
    EXPECT_LT(zyOstrelMDK_configureIoModuleRefClkPinSrc(session, 3), 0);  // not a source
}

}  // namespace
