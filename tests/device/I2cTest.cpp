// I2C reads, writes and transfers: argument checks, records, counts and the emulated parts.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device/DeviceFixture.h"

namespace {

constexpr uint64_t kBus = 1;
constexpr int32_t kEeprom = 0x50;
constexpr int32_t kSensor = 0x48;
constexpr size_t kUnset = 12345;

using Bytes = std::vector<uint8_t>;

class I2cTest : public zytest::DeviceTest {
protected:
    int32_t read(uint8_t* data, size_t size, size_t* count, int32_t address = kEeprom) {
        return zyOstrel_ReadI2C(session, kBus, address, data, size, 0, count);
    }
    int32_t write(const uint8_t* data, size_t size, size_t* count, int32_t address = kEeprom) {
        return zyOstrel_WriteI2C(session, kBus, address, data, size, 0, count);
    }
    int32_t transfer(const uint8_t* out, size_t outSize, uint8_t* in, size_t inSize,
                     size_t* written, size_t* readCount) {
        return zyOstrel_TransferI2C(session, kBus, kEeprom, out, outSize, in, inSize, 0, written,
                                    readCount);
    }

    // Writes the EEPROM from a start address, as the part expects: pointer byte, then data.
    void writeEeprom(uint8_t start, const Bytes& data) {
        Bytes bytes{start};
        bytes.insert(bytes.end(), data.begin(), data.end());
        size_t written = 0;
        ASSERT_EQ(write(bytes.data(), bytes.size(), &written), 0);
        ASSERT_EQ(written, bytes.size());
    }

    // Answers the next I2C command with a reply whose counts differ from the request.
    void injectReply(uint32_t method, Bytes reply) {
        injected = std::move(reply);
        ZyEmuFault fault = faultOn(ZYEMU_MATCH_INTERFACE | ZYEMU_MATCH_METHOD, 263, 0);
        fault.method = method;
        fault.reply = injected.data();
        fault.replySize = injected.size();
        addFault(fault);
    }

    Bytes injected;
};

TEST_F(I2cTest, ReadRecordIsLaidOutFieldByField) {
    uint8_t data[4];
    size_t read = 0;
    ASSERT_EQ(zyOstrel_ReadI2C(session, 0x0102030405060708ull, 70000, data, 4, 7, &read),
              ZYEMU_STATUS_I2C_NO_ACKNOWLEDGE);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 35u);
    EXPECT_EQ(call.outputSize, 259u);
    expectU32s(call, {{0, 263u}, {16, 0u}, {31, 4u}});
    EXPECT_EQ(zytest::fieldAt<uint64_t>(call, 20), 0x0102030405060708ull);
    EXPECT_EQ(zytest::fieldAt<uint16_t>(call, 28), 4464);  // 70000 cut to 16 bits
    EXPECT_EQ(zytest::fieldAt<uint8_t>(call, 30), 1);      // any non-zero option is 1
    EXPECT_EQ(read, 0u);
}

TEST_F(I2cTest, WriteRecordCarriesTheDataZeroPadded) {
    const uint8_t bytes[3] = {0x10, 0xAA, 0xBB};
    size_t written = 0;
    ASSERT_EQ(write(bytes, 3, &written), 0);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 1059u);
    EXPECT_EQ(call.outputSize, 4u);
    expectU32s(call, {{16, 1u}, {1055, 3u}});
    EXPECT_EQ(0, std::memcmp(call.input + 31, bytes, 3));
    for (size_t i = 34; i < 1055; ++i) ASSERT_EQ(call.input[i], 0) << i;
}

TEST_F(I2cTest, ReadLimitIs255BytesAndWriteLimit1023) {
    Bytes data(1024, 0xEE);
    size_t count = kUnset;
    EXPECT_EQ(read(data.data(), 255, &count), 0);
    EXPECT_EQ(count, 255u);
    count = kUnset;
    EXPECT_EQ(read(data.data(), 256, &count), ZYOSTREL_Status_I2cReadTooLong);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(write(data.data(), 1023, &count), 0);
    EXPECT_EQ(count, 1023u);
    count = kUnset;
    EXPECT_EQ(write(data.data(), 1024, &count), ZYOSTREL_Status_I2cWriteTooLong);
    EXPECT_EQ(count, 0u);
}

TEST_F(I2cTest, TransferLimitsAre1023WrittenAnd255Read) {
    Bytes out(1024, 0x33);
    out[0] = 0;  // the EEPROM's pointer byte
    Bytes in(256, 0xEE);
    size_t written = kUnset;
    size_t read = kUnset;
    EXPECT_EQ(transfer(out.data(), 1023, in.data(), 255, &written, &read), 0);
    EXPECT_EQ(written, 1023u);
    EXPECT_EQ(read, 255u);
    expectU32s(lastCall(), {{1059, 1023u}, {31, 255u}});

    zyemu_clear_log();
    written = read = kUnset;
    EXPECT_EQ(transfer(out.data(), 1024, in.data(), 255, &written, &read),
              ZYOSTREL_Status_I2cWriteTooLong);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(transfer(out.data(), 1023, in.data(), 256, &written, &read),
              ZYOSTREL_Status_I2cReadTooLong);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(I2cTest, ArgumentChecksComeInOrderAndSendNothing) {
    uint8_t data[4] = {};
    size_t count = kUnset;
    EXPECT_EQ(read(nullptr, 300, nullptr), ZYOSTREL_Status_I2cReadCountNull);
    EXPECT_EQ(read(nullptr, 300, &count), ZYOSTREL_Status_I2cReadTooLong);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(read(nullptr, 0, &count), ZYOSTREL_Status_I2cReadDataNull);
    EXPECT_EQ(read(data, 0, &count), 0);

    EXPECT_EQ(write(nullptr, 2000, nullptr), ZYOSTREL_Status_I2cWriteCountNull);
    count = kUnset;
    EXPECT_EQ(write(nullptr, 2000, &count), ZYOSTREL_Status_I2cWriteTooLong);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(write(nullptr, 0, &count), ZYOSTREL_Status_I2cWriteDataNull);
    EXPECT_EQ(write(data, 0, &count), 0);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(I2cTest, TransferChecksComeInOrder) {
    uint8_t out[2] = {};
    uint8_t in[2] = {};
    size_t written = kUnset;
    size_t read = kUnset;
    EXPECT_EQ(transfer(out, 1, in, 1, nullptr, &read), ZYOSTREL_Status_I2cWriteCountNull);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(transfer(out, 1, in, 1, &written, nullptr), ZYOSTREL_Status_I2cReadCountNull);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(transfer(nullptr, 2000, nullptr, 300, &written, &read),
              ZYOSTREL_Status_I2cWriteDataNull);
    EXPECT_EQ(transfer(out, 2000, nullptr, 300, &written, &read), ZYOSTREL_Status_I2cWriteTooLong);
    EXPECT_EQ(transfer(out, 1, nullptr, 300, &written, &read), ZYOSTREL_Status_I2cReadDataNull);
    EXPECT_EQ(transfer(out, 1, in, 256, &written, &read), ZYOSTREL_Status_I2cReadTooLong);
    EXPECT_EQ(transfer(out, 0, in, 0, &written, &read), 0);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(I2cTest, TransferWithoutWriteBytesReadsFromThePointer) {
    writeEeprom(0x40, {9, 8, 7, 6, 5});
    const uint8_t pointer = 0x41;
    size_t written = 0;
    ASSERT_EQ(write(&pointer, 1, &written), 0);
    uint8_t in[4] = {};
    size_t read = 0;
    EXPECT_EQ(transfer(&pointer, 0, in, 4, &written, &read), 0);
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 1063u);
    EXPECT_EQ(call.outputSize, 263u);
    expectU32s(call, {{16, 2u}, {31, 4u}, {1059, 0u}});
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(Bytes(in, in + 4), (Bytes{8, 7, 6, 5}));
}

TEST_F(I2cTest, TransferSetsThePointerThenReads) {
    writeEeprom(0x80, {0xC0, 0xFF, 0xEE});
    const uint8_t pointer = 0x80;
    uint8_t in[3] = {};
    size_t written = 0;
    size_t read = 0;
    EXPECT_EQ(transfer(&pointer, 1, in, 3, &written, &read), 0);
    EXPECT_EQ(written, 1u);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(Bytes(in, in + 3), (Bytes{0xC0, 0xFF, 0xEE}));
    EXPECT_EQ(zytest::fieldAt<uint8_t>(lastCall(), 35), 0x80);
}

TEST_F(I2cTest, SensorGivingOrTakingFewerBytesIsACountMismatch) {
    uint8_t data[10];
    std::memset(data, 0x5A, sizeof data);
    size_t count = kUnset;
    EXPECT_EQ(read(data, 10, &count, kSensor), ZYOSTREL_Status_I2cReadCountMismatch);
    EXPECT_EQ(count, 0u);
    for (uint8_t byte : data) EXPECT_EQ(byte, 0x5A);  // nothing copied
    EXPECT_EQ(read(data, 2, &count, kSensor), 0);
    EXPECT_EQ(data[0], 0x1A);
    EXPECT_EQ(data[1], 0x80);
    count = kUnset;
    EXPECT_EQ(write(data, 3, &count, kSensor), ZYOSTREL_Status_I2cWriteCountMismatch);
    EXPECT_EQ(count, 0u);
}

TEST_F(I2cTest, ShortReadOfNineForTenCopiesNothing) {
    Bytes reply(259, 0x77);
    const uint32_t nine = 9;
    std::memcpy(&reply[255], &nine, 4);
    injectReply(0, reply);
    uint8_t data[10] = {};
    size_t count = kUnset;
    EXPECT_EQ(read(data, 10, &count), ZYOSTREL_Status_I2cReadCountMismatch);
    EXPECT_EQ(count, 0u);
    for (uint8_t byte : data) EXPECT_EQ(byte, 0);
}

TEST_F(I2cTest, TransferCopiesOnlyWhenBothCountsMatch) {
    Bytes reply(263, 0x77);
    const uint32_t readCount = 2;
    const uint32_t writtenCount = 0;  // the device took none of the one byte
    std::memcpy(&reply[255], &readCount, 4);
    std::memcpy(&reply[259], &writtenCount, 4);
    injectReply(2, reply);
    const uint8_t out = 1;
    uint8_t in[2] = {};
    size_t written = kUnset;
    size_t read = kUnset;
    EXPECT_EQ(transfer(&out, 1, in, 2, &written, &read), ZYOSTREL_Status_I2cWriteCountMismatch);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(in[0], 0);
}

TEST_F(I2cTest, DeviceWarningIsReturnedWithTheData) {
    writeEeprom(0, {});
    addFault(faultOn(ZYEMU_MATCH_INTERFACE, 263, 42, ZYEMU_FAULT_AFTER_RUNNING));
    uint8_t data[1] = {};
    size_t count = 0;
    EXPECT_EQ(read(data, 1, &count), 42);
    EXPECT_EQ(count, 1u);
}

TEST_F(I2cTest, AbsentDeviceFailsWithAnElaboration) {
    uint8_t data[1];
    size_t count = kUnset;
    EXPECT_EQ(read(data, 1, &count, 0x33), ZYEMU_STATUS_I2C_NO_ACKNOWLEDGE);
    EXPECT_EQ(count, 0u);
    const std::string text = zytest::elaborationOf(session);
    EXPECT_NE(text.find("\"kUsageTypeI2cAddress\",\"value\":\"51\""), std::string::npos) << text;
}

TEST_F(I2cTest, SimulatedSessionFailsAfterTheChecksWithoutReachingTheRuntime) {
    uint8_t data[2] = {};
    size_t count = kUnset;
    size_t other = kUnset;
    EXPECT_EQ(zyOstrel_ReadI2C(simulated, kBus, kEeprom, data, 2, 0, &count), -1);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(zyOstrel_WriteI2C(simulated, kBus, kEeprom, data, 2, 0, &count), -1);
    EXPECT_EQ(zyOstrel_TransferI2C(simulated, kBus, kEeprom, data, 1, data, 1, 0, &count, &other),
              -1);
    EXPECT_EQ(zyOstrel_ReadI2C(simulated, kBus, kEeprom, data, 256, 0, &count),
              ZYOSTREL_Status_I2cReadTooLong);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
