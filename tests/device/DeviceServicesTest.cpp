// Device services and QSFP requests: packing, output handling whatever the status, limits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <tuple>
#include <vector>

#include "support/EmulatorFixture.h"

namespace {

using zytest::Bytes;
using zytest::Fault;

using DeviceServicesTest = zytest::SessionTest;

TEST_F(DeviceServicesTest, CommitIsAConfigurationTreeRecord) {
    EXPECT_STATUS(0, zyOstrel_Commit(session));
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, 256u);
    ASSERT_EQ(call.inputSize, 24u);
    EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 16, 20}), (std::vector<uint32_t>{0xDE7EC7ED, 342, 0}));
    EXPECT_EQ(call.outputGiven, 0);
}

template <class T>
Bytes bytesOf(T value) {
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// Every direct function in one pass: its number, its packed input and the reply it asks for
// (0: none). What one writes, a later one reads back.
TEST_F(DeviceServicesTest, DirectFunctionsSendTheirNumberInputAndReplySize) {
    Bytes data(100);
    std::iota(data.begin(), data.end(), uint8_t{1});
    Bytes calibration{0xDE, 0xC0, 0, 0, 100, 0, 0, 0};
    calibration.insert(calibration.end(), data.begin(), data.end());
    Bytes back(100, 0);
    uint32_t bar = 0, response = 0, present = 0;
    double limits[2] = {};
    uint16_t f1 = 0, f2 = 0, f6 = 0;
    uint32_t f3 = 0, f4 = 0;
    uint8_t f5 = 0, slots = 0, identifier = 0;
    const struct {
        uint32_t function;
        std::function<int32_t()> call;
        Bytes input;
        uint64_t replySize;
    } rows[] = {
        {1,
         [&] { return ostrel_writeBar32(session, 0x40, 0xDEADBEEF); },
         {0x40, 0, 0, 0, 0xEF, 0xBE, 0xAD, 0xDE},
         0},
        {0, [&] { return ostrel_readBar32(session, 0x40, &bar); }, {0x40, 0, 0, 0}, 4},
        {2,
         [&] { return ostrel_instructionFifoRead(session, 0x77, 0x1122334455667788, &response); },
         {0x77, 0, 0, 0, 0, 0, 0, 0, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11},
         8},
        {3,
         [&] { return ostrel_instructionFifoWrite(session, 0x78, 5); },
         {0x78, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0},
         0},
        {6, [&] { return zyOstrel_WriteCalibrationData(session, 0xC0DE, data.data(), 100); },
         calibration, 0},
        {6,
         [&] { return zyOstrel_WriteCalibrationData(session, 3, data.data(), 0); },
         {3, 0, 0, 0, 0, 0, 0, 0},
         0},
        {7,
         [&] { return zyOstrel_ReadCalibrationData(session, 0xC0DE, back.data(), 100); },
         {0xDE, 0xC0, 0, 0},
         100},
        {14, [&] { return zyOstrel_SetTemperatureLimit(session, 70.5); }, bytesOf(70.5), 0},
        {15, [&] { return zyOstrel_SetPowerLimit(session, 90.0); }, bytesOf(90.0), 0},
        {16, [&] { return zyOstrel_GetTemperatureLimit(session, &limits[0]); }, {}, 8},
        {17, [&] { return zyOstrel_GetPowerLimit(session, &limits[1]); }, {}, 8},
        {20, [&] { return zyOstrel_UpdateVerificationInformation(session); }, {}, 0},
        {33, [&] { return zyOstrelMDK_writeIoModuleSlotsUsed(session, 0x103); }, {3}, 0},
        {22,
         [&] {
             return zyOstrelMDK_writeIoModuleInfo(session, 0x1111, 0x2222, 0x33333333, 0x44444444,
                                                  0x55, 0x6666);
         },
         {0x33, 0x33, 0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x11, 0x11, 0x22, 0x22, 0x66, 0x66, 0x55,
          0xFF},  // the slots byte left alone
         0},
        {23,
         [&] { return zyOstrelMDK_readIoModuleInfo(session, &f1, &f2, &f3, &f4, &f5, &f6); },
         {},
         16},
        {23, [&] { return zyOstrelMDK_readIoModuleSlotsUsed(session, &slots); }, {}, 16},
        {34, [&] { return zyOstrel_QSFPWrite(session, 0, 100, 0x1234A5); }, {0, 100, 0xA5}, 0},
        {35, [&] { return zyOstrel_QSFPRead(session, 0x100, 0x200, &identifier); }, {0, 0}, 1},
        {36, [&] { return zyOstrel_QSFPResetPorts(session); }, {}, 0},
        {37, [&] { return zyOstrel_QSFPEnableLowPowerMode(session, 7); }, {1}, 0},
        {37, [&] { return zyOstrel_QSFPEnableLowPowerMode(session, 0); }, {0}, 0},
        {38, [&] { return zyOstrel_StartCableSense(session); }, {}, 0},
        {39, [&] { return zyOstrel_StopCableSense(session); }, {}, 0},
        {40, [&] { return zyOstrel_QSFPGetModulePresent(session, 0x100, &present); }, {0}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.function);
        zyemu_clear_log();
        EXPECT_STATUS(0, row.call());
        ASSERT_EQ(zyemu_call_count(), 1u);
        const ZyEmuCall call = lastCall();
        EXPECT_EQ(call.functionNumber, row.function);
        EXPECT_EQ(inputOf(call), row.input);
        EXPECT_EQ(call.outputSize, row.replySize);
        EXPECT_EQ(call.outputGiven != 0, row.replySize != 0);
    }
    EXPECT_EQ(bar, 0xDEADBEEFu);
    EXPECT_EQ(response, 0x55667788u);  // the low word; the high word holds the instruction
    EXPECT_EQ(back, data);
    EXPECT_EQ(std::vector<double>(limits, limits + 2), (std::vector<double>{70.5, 90.0}));
    EXPECT_EQ(std::make_tuple(f1, f2, f3, f4, f5, f6),
              std::make_tuple(uint16_t{0x1111}, uint16_t{0x2222}, 0x33333333u, 0x44444444u,
                              uint8_t{0x55}, uint16_t{0x6666}));
    EXPECT_EQ(slots, 3);
    EXPECT_EQ(std::make_pair(identifier, present), std::make_pair(uint8_t{0x11}, 1u));
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

// The device's statuses pass unchanged, and a failed read still writes its (zeroed) reply.
TEST_F(DeviceServicesTest, FailedReadsWriteTheirOutputAndDeviceStatusesPass) {
    uint32_t bar = 77, present = 7;
    uint8_t value = 0x99, back[2];
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE, ostrel_readBar32(session, 0x41, &bar));
    EXPECT_STATUS(ZYEMU_STATUS_NO_QSFP_MODULE, zyOstrel_QSFPRead(session, 1, 0, &value));
    EXPECT_STATUS(ZYEMU_STATUS_NO_QSFP_MODULE, zyOstrel_QSFPGetModulePresent(session, 9, &present));
    EXPECT_EQ(std::make_tuple(bar, value, present), std::make_tuple(0u, uint8_t{0}, 0u));
    EXPECT_STATUS(ZYEMU_STATUS_READ_ONLY_LOCATION, ostrel_writeBar32(session, 0, 1));
    EXPECT_STATUS(ZYEMU_STATUS_READ_ONLY_LOCATION, zyOstrel_QSFPWrite(session, 0, 0, 0x22));
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE, zyOstrel_SetPowerLimit(session, -1.0));
    EXPECT_STATUS(ZYEMU_STATUS_NO_CALIBRATION, zyOstrel_ReadCalibrationData(session, 2, back, 2));
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
        zyOstrel_QSFPRead(session, 0, 0, nullptr),
        zyOstrel_QSFPGetModulePresent(session, 0, nullptr),
    };
    EXPECT_THAT(results, ::testing::Each(ZYOSTREL_Status_InvalidParameter));
    EXPECT_EQ(zyemu_call_count(), 0u);
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

TEST_F(DeviceServicesTest, RefClkPinSourceIsTheModuleAttributeOnNoChannel) {
    EXPECT_STATUS(0, zyOstrelMDK_configureIoModuleRefClkPinSrc(session, 2));
    EXPECT_EQ(attributeCalls(), (std::vector<zytest::AttributeCall>{{722, 0x10000017, "", "2"}}));
    EXPECT_LT(zyOstrelMDK_configureIoModuleRefClkPinSrc(session, 3), 0);  // not a source
}

}  // namespace
