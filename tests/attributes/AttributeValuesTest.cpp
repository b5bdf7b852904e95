// Values through the emulated instrument's attribute store: round trips, defaults per name,
// outputs on warnings and errors, string cutting and the set loop's status rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "support/EmulatorFixture.h"

namespace {

constexpr uint32_t kAiRange = 0x20000010;
constexpr uint32_t kOffsetDac = 0x1000001C;
constexpr uint32_t kTriggerSource = 0x30000000;
constexpr uint32_t kSerialNumber = 0x30000010;
constexpr uint32_t kAiChannelEnabled = 0x40000000;

using AttributeValuesTest = zytest::SessionTest;
using zytest::Fault;

// The getters take their value from its offset of the device's reply (Double 0, 64-bit
// integer 8, UInt64 16, Boolean byte 280). A Boolean byte is passed on as it is and an Int32
// is the low half of the 64-bit integer. The setters' records are checked byte by byte in
// AttributeRecordsTest.
TEST_F(AttributeValuesTest, GettersTakeTheirValueFromItsOffsetInTheReply) {
    uint8_t reply[281] = {};
    const double f64 = 0.25;
    const int64_t wide = 0x00000001FFFFFFFE;  // low 32 bits: -2
    const uint64_t u64 = 0xFEDCBA9876543210;
    std::memcpy(reply, &f64, 8);
    std::memcpy(reply + 8, &wide, 8);
    std::memcpy(reply + 16, &u64, 8);
    reply[280] = 0x7F;
    Fault::method(258, 721).reply(zytest::Bytes(reply, reply + sizeof reply)).add();
    double asDouble = 0;
    int32_t asInt32 = 0;
    uint64_t asUInt64 = 0;
    uint32_t asBoolean = 0;
    ASSERT_STATUS(0, zyOstrel_GetAttributeDouble(session, "AI2", kAiRange, &asDouble));
    ASSERT_STATUS(0, zyOstrel_GetAttributeInt32(session, "", kOffsetDac, &asInt32));
    ASSERT_STATUS(0, zyOstrel_GetAttributeUInt64(session, "5", 0x50000000, &asUInt64));
    ASSERT_STATUS(0, zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, &asBoolean));
    EXPECT_EQ(std::make_tuple(asDouble, asInt32, asUInt64, asBoolean),
              std::make_tuple(f64, -2, u64, 0x7Fu));
}

TEST_F(AttributeValuesTest, GettersLeaveTheOutputAloneOnWarningsAndErrors) {
    Fault::callAt(0).status(17).afterRunning().add();
    Fault::callAt(1).status(17).afterRunning().add();
    Fault::callAt(2).status(-5000).afterRunning().add();
    Fault::callAt(3).status(17).afterRunning().add();
    double f64 = -1;
    uint32_t boolean = 42;
    int32_t i32 = -1;
    char text[8] = "keep";
    EXPECT_STATUS(17, zyOstrel_GetAttributeDouble(session, "AI0", kAiRange, &f64));
    EXPECT_STATUS(17, zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, &boolean));
    EXPECT_STATUS(-5000, zyOstrel_GetAttributeInt32(session, "", kOffsetDac, &i32));
    EXPECT_STATUS(17, zyOstrel_GetAttributeString(session, "", kSerialNumber, sizeof text, text));
    EXPECT_EQ(f64, -1);
    EXPECT_EQ(boolean, 42u);
    EXPECT_EQ(i32, -1);
    EXPECT_STREQ(text, "keep");
}

TEST_F(AttributeValuesTest, StringGetterCutsToTheBufferAndNeverReadsPastTheDeviceText) {
    char buffer[400];
    const auto read = [&](uint64_t size) {
        std::memset(buffer, '#', sizeof buffer);
        ASSERT_STATUS(0, zyOstrel_GetAttributeString(session, "", kTriggerSource, size, buffer));
    };
    ASSERT_STATUS(0, zyOstrel_SetAttributeString(session, "", kTriggerSource, "PXI_Trig07"));
    read(4);
    EXPECT_EQ(std::string(buffer, 8), "PXI_####") << "cut without a terminator";
    read(0);
    EXPECT_EQ(buffer[0], '#');
    read(16);
    EXPECT_EQ(std::string(buffer, 17), "PXI_Trig07" + std::string(6, '\0') + "#") << "zero padded";

    // A device text that fills its field has no terminator; nothing past it is read.
    const std::string full(256, 'v');
    ASSERT_STATUS(0, zyOstrel_SetAttributeString(session, "", kTriggerSource, full.c_str()));
    read(sizeof buffer);
    EXPECT_EQ(std::string(buffer, sizeof buffer), full + std::string(144, '\0'));
}

// A warning of an earlier name is not kept.
TEST_F(AttributeValuesTest, SetStopsAtTheFirstErrorElseReturnsTheStatusOfTheLastName) {
    const struct {
        const char* names;
        uint64_t failing;
        int32_t status, expected;
        size_t calls;
    } rows[] = {
        {"AI0-AI3", 1, -7001, -7001, 2}, {"AI0,AI1", 0, 31, 0, 2}, {"AI0-AI2", 2, 44, 44, 3}};
    for (const auto& row : rows) {
        zyemu_clear_faults();
        zyemu_clear_log();
        Fault::callAt(row.failing).status(row.status).afterRunning().add();
        EXPECT_STATUS(row.expected, zyOstrel_SetAttributeInt32(session, row.names, kOffsetDac, 1));
        EXPECT_EQ(zyemu_call_count(), row.calls) << row.names;
    }
}

}  // namespace
