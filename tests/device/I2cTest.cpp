// I2C reads, writes and transfers: argument checks, records, counts and the emulated parts.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/EmulatorFixture.h"

namespace {

constexpr uint64_t kBus = 1;
constexpr int32_t kEeprom = 0x50;
constexpr int32_t kSensor = 0x48;
constexpr size_t kUnset = 12345;

using zytest::Bytes;
using zytest::Fault;

class I2cTest : public zytest::SessionTest {
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
        ASSERT_STATUS(0, write(bytes.data(), bytes.size(), &written));
        ASSERT_EQ(written, bytes.size());
    }
};

TEST_F(I2cTest, ReadRecordIsLaidOutFieldByField) {
    uint8_t data[4];
    size_t read = 0;
    ASSERT_STATUS(ZYEMU_STATUS_I2C_NO_ACKNOWLEDGE,
                  zyOstrel_ReadI2C(session, 0x0102030405060708ull, 70000, data, 4, 7, &read));
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 35u);
    EXPECT_EQ(call.outputSize, 259u);
    EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 16, 31}), (std::vector<uint32_t>{263, 0, 4}));
    EXPECT_EQ(fieldAt<uint64_t>(call, 20), 0x0102030405060708ull);
    EXPECT_EQ(fieldAt<uint16_t>(call, 28), 4464);  // 70000 cut to 16 bits
    EXPECT_EQ(fieldAt<uint8_t>(call, 30), 1);      // any non-zero option is 1
    EXPECT_EQ(read, 0u);
}

TEST_F(I2cTest, WriteRecordCarriesTheDataZeroPadded) {
    const uint8_t bytes[3] = {0x10, 0xAA, 0xBB};
    size_t written = 0;
    ASSERT_STATUS(0, write(bytes, 3, &written));
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 1059u);
    EXPECT_EQ(call.outputSize, 4u);
    EXPECT_EQ(fieldsAt<uint32_t>(call, {16, 1055}), (std::vector<uint32_t>{1, 3}));
    Bytes data(1024, 0);
    std::memcpy(data.data(), bytes, 3);
    EXPECT_EQ(Bytes(call.input + 31, call.input + 1055), data);
}

// Reads take at most 255 bytes, writes 1023 (one more is refused in the argument checks).
TEST_F(I2cTest, LimitsAre255BytesReadAnd1023Written) {
    Bytes out(1023, 0x33);
    out[0] = 0;  // the EEPROM's pointer byte
    Bytes in(255, 0xEE);
    size_t count = kUnset;
    size_t other = kUnset;
    EXPECT_STATUS(0, read(in.data(), 255, &count));
    EXPECT_EQ(count, 255u);
    EXPECT_STATUS(0, write(out.data(), 1023, &count));
    EXPECT_EQ(count, 1023u);
    EXPECT_STATUS(0, transfer(out.data(), 1023, in.data(), 255, &count, &other));
    EXPECT_EQ(std::make_pair(count, other), std::make_pair(size_t{1023}, size_t{255}));
    EXPECT_EQ(fieldsAt<uint32_t>(lastCall(), {1059, 31}), (std::vector<uint32_t>{1023, 255}));
}

// The sizes are one past the limits; a refused count is reported as zero.
TEST_F(I2cTest, ArgumentChecksComeInOrderAndSendNothing) {
    uint8_t data[4] = {};
    size_t count = kUnset;
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadCountNull, read(nullptr, 256, nullptr));
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadTooLong, read(nullptr, 256, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadDataNull, read(nullptr, 0, &count));
    EXPECT_STATUS(0, read(data, 0, &count));
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteCountNull, write(nullptr, 1024, nullptr));
    count = kUnset;
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteTooLong, write(nullptr, 1024, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteDataNull, write(nullptr, 0, &count));
    EXPECT_STATUS(0, write(data, 0, &count));

    size_t written = kUnset;
    size_t read = kUnset;
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteCountNull, transfer(data, 1, data, 1, nullptr, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadCountNull, transfer(data, 1, data, 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteDataNull,
                  transfer(nullptr, 1024, nullptr, 256, &written, &read));
    written = read = kUnset;
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteTooLong,
                  transfer(data, 1024, nullptr, 256, &written, &read));
    EXPECT_EQ(std::make_pair(written, read), std::make_pair(size_t{0}, size_t{0}));
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadDataNull,
                  transfer(data, 1, nullptr, 256, &written, &read));
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadTooLong, transfer(data, 1, data, 256, &written, &read));
    EXPECT_STATUS(0, transfer(data, 0, data, 0, &written, &read));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

// A transfer without write bytes reads from the pointer; one with a byte sets it first.
TEST_F(I2cTest, TransferReadsFromThePointerOrSetsItFirst) {
    writeEeprom(0x40, {9, 8, 7, 6, 5});
    const uint8_t pointer = 0x41;
    size_t written = kUnset;
    size_t read = kUnset;
    ASSERT_STATUS(0, write(&pointer, 1, &written));
    uint8_t in[4] = {};
    EXPECT_STATUS(0, transfer(&pointer, 0, in, 4, &written, &read));
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 1063u);
    EXPECT_EQ(call.outputSize, 263u);
    EXPECT_EQ(fieldsAt<uint32_t>(call, {16, 31, 1059}), (std::vector<uint32_t>{2, 4, 0}));
    EXPECT_EQ(std::make_pair(written, read), std::make_pair(size_t{0}, size_t{4}));
    EXPECT_EQ(Bytes(in, in + 4), (Bytes{8, 7, 6, 5}));

    const uint8_t start = 0x40;
    EXPECT_STATUS(0, transfer(&start, 1, in, 3, &written, &read));
    EXPECT_EQ(std::make_pair(written, read), std::make_pair(size_t{1}, size_t{3}));
    EXPECT_EQ(Bytes(in, in + 3), (Bytes{9, 8, 7}));
    EXPECT_EQ(fieldAt<uint8_t>(lastCall(), 35), 0x40);
}

// A device that gives or takes fewer bytes than asked is a count mismatch; nothing is copied.
TEST_F(I2cTest, SensorGivingOrTakingFewerBytesIsACountMismatch) {
    uint8_t data[10];
    std::memset(data, 0x5A, sizeof data);
    size_t count = kUnset;
    EXPECT_STATUS(ZYOSTREL_Status_I2cReadCountMismatch, read(data, 10, &count, kSensor));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(Bytes(data, data + 10), Bytes(10, 0x5A));
    EXPECT_STATUS(0, read(data, 2, &count, kSensor));
    EXPECT_EQ(Bytes(data, data + 2), (Bytes{0x1A, 0x80}));
    count = kUnset;
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteCountMismatch, write(data, 3, &count, kSensor));
    EXPECT_EQ(count, 0u);
}

TEST_F(I2cTest, TransferCopiesOnlyWhenBothCountsMatch) {
    // A reply whose counts (u32 each, from byte 255) say the device took none of the one byte.
    Bytes reply(263, 0x77);
    const uint32_t counts[2] = {2, 0};
    std::memcpy(&reply[255], counts, sizeof counts);
    Fault::method(263, 2).reply(reply).add();
    const uint8_t out = 1;
    uint8_t in[2] = {};
    size_t written = kUnset;
    size_t read = kUnset;
    EXPECT_STATUS(ZYOSTREL_Status_I2cWriteCountMismatch, transfer(&out, 1, in, 2, &written, &read));
    EXPECT_EQ(std::make_pair(written, read), std::make_pair(size_t{0}, size_t{0}));
    EXPECT_EQ(in[0], 0);
}

TEST_F(I2cTest, DeviceWarningIsReturnedWithTheData) {
    writeEeprom(0, {});
    Fault::interface(263).status(42).afterRunning().add();
    uint8_t data[1] = {};
    size_t count = 0;
    EXPECT_STATUS(42, read(data, 1, &count));
    EXPECT_EQ(count, 1u);
}

}  // namespace
