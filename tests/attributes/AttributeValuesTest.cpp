// Values through the emulated instrument's attribute store: round trips, defaults per name,
// outputs on warnings and errors, string cutting and the set loop's status rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AttributeSession.h"
#include "attributes/Attributes.h"

namespace {

constexpr uint32_t kAiRange = 0x20000010;
constexpr uint32_t kOffsetDac = 0x1000001C;
constexpr uint32_t kStreamDataFormat = 0x10000003;  // enumerated: 0, 1
constexpr uint32_t kFpgaTemperature = 0x20000005;   // read-only
constexpr uint32_t kTriggerSource = 0x30000000;
constexpr uint32_t kSerialNumber = 0x30000010;
constexpr uint32_t kAiChannelEnabled = 0x40000000;
constexpr uint32_t kReferenceClockSource = 0x1000000B;

class AttributeValuesTest : public zytest::SessionTest {};

TEST_F(AttributeValuesTest, ValuesAreKeptPerNameOtherNamesKeepTheDefaultAndRestoreBringsItBack) {
    ASSERT_EQ(zyOstrel_SetAttributeDouble(session, "AI1-AI2", kAiRange, 0.25), 0);
    double value = 0;
    ASSERT_EQ(zyOstrel_GetAttributeDouble(session, "AI2", kAiRange, &value), 0);
    EXPECT_EQ(value, 0.25);
    ASSERT_EQ(zyOstrel_GetAttributeDouble(session, "AI0", kAiRange, &value), 0);
    EXPECT_EQ(value, 2.0);

    ASSERT_EQ(zyOstrel_SetAttributeInt32(session, "AO1", kOffsetDac, -123456), 0);
    int32_t i32 = 0;
    ASSERT_EQ(zyOstrel_GetAttributeInt32(session, "ao1", kOffsetDac, &i32), 0);
    EXPECT_EQ(i32, -123456);

    ASSERT_EQ(zyOstrel_SetAttributeUInt64(session, "5", 0x50000000, ~uint64_t{0}), 0);
    uint64_t u64 = 0;
    ASSERT_EQ(zyOstrel_GetAttributeUInt64(session, "5", 0x50000000, &u64), 0);
    EXPECT_EQ(u64, ~uint64_t{0});

    ASSERT_EQ(zyOstrel_SetAttributeInt32(session, "", kReferenceClockSource, 3), 0);
    ASSERT_EQ(zyostrel::attributes::restoreAttributeDefault(session, "", kReferenceClockSource), 0);
    ASSERT_EQ(zyOstrel_GetAttributeInt32(session, "", kReferenceClockSource, &i32), 0);
    EXPECT_EQ(i32, 0) << "restoring brings the default back";
}

TEST_F(AttributeValuesTest, GettersPassTheDeviceValue) {
    uint32_t value = 9;
    ASSERT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, &value), 0);
    EXPECT_EQ(value, 1u);
    ASSERT_EQ(zyOstrel_SetAttributeBoolean(session, "AI0", kAiChannelEnabled, 0), 0);
    ASSERT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, &value), 0);
    EXPECT_EQ(value, 0u);

    // A device that answers another byte is passed on as it is; an Int32 getter takes the
    // low half of the device's 64-bit value.
    uint8_t reply[281] = {};
    reply[280] = 0x7F;
    const int64_t wide = 0x00000001FFFFFFFE;  // low 32 bits: -2
    std::memcpy(reply + 8, &wide, 8);
    answerMethod(721, 0, reply, sizeof reply);
    ASSERT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, &value), 0);
    EXPECT_EQ(value, 0x7Fu);
    int32_t i32 = 0;
    ASSERT_EQ(zyOstrel_GetAttributeInt32(session, "", kOffsetDac, &i32), 0);
    EXPECT_EQ(i32, -2);
}

TEST_F(AttributeValuesTest, GettersLeaveTheOutputAloneOnWarningsAndErrors) {
    failCall(0, 17);
    failCall(1, 17);
    failCall(2, -5000);
    failCall(3, 17);
    double f64 = -1;
    uint32_t boolean = 42;
    int32_t i32 = -1;
    char text[8] = "keep";
    EXPECT_EQ(zyOstrel_GetAttributeDouble(session, "AI0", kAiRange, &f64), 17);
    EXPECT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, &boolean), 17);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", kOffsetDac, &i32), -5000);
    EXPECT_EQ(zyOstrel_GetAttributeString(session, "", kSerialNumber, sizeof text, text), 17);
    EXPECT_EQ(f64, -1);
    EXPECT_EQ(boolean, 42u);
    EXPECT_EQ(i32, -1);
    EXPECT_STREQ(text, "keep");
}

TEST_F(AttributeValuesTest, StringGetterCutsToTheBufferAndNeverReadsPastTheDeviceText) {
    char buffer[400];
    const auto read = [&](uint64_t size) {
        std::memset(buffer, '#', sizeof buffer);
        ASSERT_EQ(zyOstrel_GetAttributeString(session, "", kTriggerSource, size, buffer), 0);
    };
    ASSERT_EQ(zyOstrel_SetAttributeString(session, "", kTriggerSource, "PXI_Trig07"), 0);
    read(4);
    EXPECT_EQ(std::string(buffer, 8), "PXI_####") << "cut without a terminator";
    read(0);
    EXPECT_EQ(buffer[0], '#');
    read(16);
    EXPECT_EQ(std::string(buffer, 17), "PXI_Trig07" + std::string(6, '\0') + "#") << "zero padded";

    // A device text that fills its field has no terminator; nothing past it is read.
    const std::string full(256, 'v');
    ASSERT_EQ(zyOstrel_SetAttributeString(session, "", kTriggerSource, full.c_str()), 0);
    read(sizeof buffer);
    EXPECT_EQ(std::string(buffer, sizeof buffer), full + std::string(144, '\0'));
}

TEST_F(AttributeValuesTest, SetStopsAtTheFirstErrorElseReturnsTheStatusOfTheLastName) {
    failCall(1, -7001);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "AI0-AI3", kOffsetDac, 1), -7001);
    EXPECT_EQ(zyemu_call_count(), 2u);
    zyemu_clear_faults();
    zyemu_clear_log();
    failCall(0, 31);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "AI0,AI1", kOffsetDac, 1), 0)
        << "a warning of an earlier name is not kept";
    zyemu_clear_faults();
    zyemu_clear_log();
    failCall(2, 44);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "AI0-AI2", kOffsetDac, 1), 44);
    EXPECT_EQ(zyemu_call_count(), 3u);
}

TEST_F(AttributeValuesTest, InstrumentRefusesBadValuesUnknownIdentifiersAndWrongWireTypes) {
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "0", kStreamDataFormat, 1), 0);
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE,
                  zyOstrel_SetAttributeInt32(session, "0", kStreamDataFormat, 2), session);
    const std::string elaboration = zytest::elaborationOf(session);
    for (const char* part : {"kUsageTypeAttributeId", "268435459", "kUsageTypeChannelName"}) {
        EXPECT_NE(elaboration.find(part), std::string::npos) << elaboration;
    }

    int32_t format = -1;
    ASSERT_EQ(zyOstrel_GetAttributeInt32(session, "0", kStreamDataFormat, &format), 0);
    EXPECT_EQ(format, 1) << "a refused value leaves the stored one";

    EXPECT_EQ(zyOstrel_SetAttributeDouble(session, "", kFpgaTemperature, 20.0),
              ZYEMU_STATUS_ATTRIBUTE_READ_ONLY);
    double temperature = 0;
    ASSERT_EQ(zyOstrel_GetAttributeDouble(session, "", kFpgaTemperature, &temperature), 0);
    EXPECT_GT(temperature, 0.0);
    ASSERT_EQ(zyemu_set_attribute_f64(ZYEMU_RESOURCE_DEFAULT, kFpgaTemperature, "", 81.5), 0);
    ASSERT_EQ(zyOstrel_GetAttributeDouble(session, "", kFpgaTemperature, &temperature), 0);
    EXPECT_EQ(temperature, 81.5);

    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", 0x10000002, &format),
              ZYEMU_STATUS_UNKNOWN_ATTRIBUTE);
    // A record whose wire type disagrees with the identifier's type.
    using namespace zyostrel::attributes;
    AttributeValue reply{};
    EXPECT_EQ(sendAttributeGet(session, "", kAiRange, WireType::Int32, reply),
              ZYEMU_STATUS_ATTRIBUTE_TYPE_MISMATCH);
}

}  // namespace
