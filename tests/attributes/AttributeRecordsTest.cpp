// The attribute records as the runtime receives them: layout, wire types, qualifiers,
// range limits and which calls are sent at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "AttributeSession.h"
#include "attributes/Attributes.h"

namespace {

using zytest::fieldAt;

constexpr uint32_t kAiRange = 0x20000010;             // Double
constexpr uint32_t kChannelsInStream = 0x10000000;    // Int32
constexpr uint32_t kTriggerChannel = 0x10000008;      // Int32, empty text names "0"
constexpr uint32_t kTriggerSource = 0x30000000;       // String
constexpr uint32_t kAiChannelEnabled = 0x40000000;    // Boolean
constexpr uint32_t kStreamSamples = 0x50000000;       // UInt64

class AttributeRecordsTest : public zytest::SessionTest {
protected:
    // Checks the part every attribute record shares.
    static void expectHeader(const ZyEmuCall& call, uint32_t method, uint32_t id,
                             uint64_t size) {
        EXPECT_EQ(call.functionNumber, 256u);
        EXPECT_EQ(call.interfaceNumber, 258u);
        EXPECT_EQ(call.method, method);
        EXPECT_EQ(call.inputSize, size);
        EXPECT_EQ(fieldAt<uint32_t>(call, 4), 0u);
        EXPECT_EQ(fieldAt<uint32_t>(call, 8), 0u);
        EXPECT_EQ(fieldAt<uint32_t>(call, 12), 0u);
        EXPECT_EQ(fieldAt<uint32_t>(call, 20), id);
        EXPECT_EQ(call.input[283], 0) << "the qualifier's last byte is always NUL";
    }
};

TEST_F(AttributeRecordsTest, GetRecordCarriesTypeCodeAndQualifierAt28) {
    int32_t i32 = 0;
    uint64_t u64 = 0;
    double f64 = 0;
    uint32_t boolean = 0;
    char text[16];
    zyOstrel_GetAttributeInt32(session, "AI3", kChannelsInStream, &i32);
    zyOstrel_GetAttributeDouble(session, "ai1", kAiRange, &f64);
    zyOstrel_GetAttributeString(session, "", kTriggerSource, sizeof text, text);
    zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, &boolean);
    zyOstrel_GetAttributeUInt64(session, "7", kStreamSamples, &u64);

    const auto log = calls();
    ASSERT_EQ(log.size(), 5u);
    const uint32_t wireTypes[] = {2, 1, 6, 0, 5};
    const uint32_t ids[] = {kChannelsInStream, kAiRange, kTriggerSource, kAiChannelEnabled,
                            kStreamSamples};
    const char* names[] = {"AI3", "AI1", "", "AI0", "7"};
    for (size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        expectHeader(log[i], 721, ids[i], 284);
        EXPECT_EQ(fieldAt<uint32_t>(log[i], 24), wireTypes[i]);
        EXPECT_EQ(textAt(log[i], 28, 256), names[i]);
        EXPECT_TRUE(log[i].outputGiven);
        EXPECT_EQ(log[i].outputSize, 281u);
        for (size_t b = 28 + std::strlen(names[i]); b < 284; ++b) ASSERT_EQ(log[i].input[b], 0) << b;
    }
}

TEST_F(AttributeRecordsTest, SetRecordPlacesEachTypeAtItsValueOffset) {
    ASSERT_EQ(zyOstrel_SetAttributeDouble(session, "AI0", kAiRange, 0.5), 0);
    ASSERT_EQ(zyOstrel_SetAttributeInt32(session, "", kTriggerChannel, -2), 0);
    ASSERT_EQ(zyOstrel_SetAttributeUInt64(session, "3", kStreamSamples, 0x1122334455667788u), 0);
    ASSERT_EQ(zyOstrel_SetAttributeString(session, nullptr, kTriggerSource, "PFI1"), 0);
    ASSERT_EQ(zyOstrel_SetAttributeBoolean(session, "AI2", kAiChannelEnabled, 5), 0);

    const auto log = calls();
    ASSERT_EQ(log.size(), 5u);
    for (const auto& call : log) {
        expectHeader(call, 722, fieldAt<uint32_t>(call, 20), 565);
        EXPECT_FALSE(call.outputGiven);
    }
    EXPECT_EQ(fieldAt<uint32_t>(log[0], 24), 1u);
    EXPECT_EQ(fieldAt<double>(log[0], 284), 0.5);
    EXPECT_EQ(fieldAt<uint32_t>(log[1], 24), 2u);
    EXPECT_EQ(textAt(log[1], 28, 256), "0");
    EXPECT_EQ(fieldAt<int64_t>(log[1], 292), -2) << "Int32 values travel sign-extended";
    EXPECT_EQ(fieldAt<uint32_t>(log[2], 24), 5u);
    EXPECT_EQ(fieldAt<uint64_t>(log[2], 300), 0x1122334455667788u);
    EXPECT_EQ(fieldAt<uint32_t>(log[3], 24), 6u);
    EXPECT_EQ(textAt(log[3], 28, 256), "");
    EXPECT_EQ(textAt(log[3], 308, 256), "PFI1");
    EXPECT_EQ(fieldAt<uint32_t>(log[4], 24), 0u);
    EXPECT_EQ(log[4].input[564], 1) << "any nonzero Boolean is sent as 1";
    // Only the field of the type is filled.
    EXPECT_EQ(fieldAt<uint64_t>(log[4], 284), 0u);
    EXPECT_EQ(fieldAt<uint64_t>(log[0], 292), 0u);
}

TEST_F(AttributeRecordsTest, LongStringValueIsCutWithoutTerminator) {
    const std::string value(300, 'x');
    zyOstrel_SetAttributeString(session, "", kTriggerSource, value.c_str());
    const ZyEmuCall call = lastCall();
    ASSERT_EQ(call.inputSize, 565u);
    for (size_t b = 308; b < 564; ++b) ASSERT_EQ(call.input[b], 'x') << b;
    EXPECT_EQ(call.input[564], 0);
}

TEST_F(AttributeRecordsTest, RestoreDefaultSendsTheTextUnchangedAndCutAt255) {
    using zyostrel::attributes::restoreAttributeDefault;
    const std::string longName(300, 'n');
    EXPECT_EQ(restoreAttributeDefault(session, "", 0x1000000B), 0);
    restoreAttributeDefault(session, longName.c_str(), 0x1000000B);
    restoreAttributeDefault(session, "not a name", 0x1000FFFF);  // no range check either

    const auto log = calls();
    ASSERT_EQ(log.size(), 3u);
    expectHeader(log[0], 723, 0x1000000B, 284);
    EXPECT_EQ(fieldAt<uint32_t>(log[0], 24), 0u) << "no wire type in a restore";
    EXPECT_FALSE(log[0].outputGiven);
    expectHeader(log[1], 723, 0x1000000B, 284);
    EXPECT_EQ(textAt(log[1], 28, 256), std::string(255, 'n'));
    EXPECT_EQ(textAt(log[2], 28, 256), "not a name");
    EXPECT_EQ(fieldAt<uint32_t>(log[2], 20), 0x1000FFFFu);
}

TEST_F(AttributeRecordsTest, LastIdentifierOfEachRangeIsSentAndTheNextIsRefused) {
    int32_t i32 = 0;
    double f64 = 0;
    uint32_t boolean = 0;
    uint64_t u64 = 0;
    char text[4];
    zyOstrel_GetAttributeInt32(session, "", 0x1000FFFE, &i32);
    zyOstrel_GetAttributeDouble(session, "", 0x2000FFFE, &f64);
    zyOstrel_GetAttributeString(session, "", 0x3000FFFE, sizeof text, text);
    zyOstrel_GetAttributeBoolean(session, "", 0x4000FFFE, &boolean);
    zyOstrel_GetAttributeUInt64(session, "", 0x5000FFFE, &u64);
    EXPECT_EQ(zyemu_call_count(), 5u);
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 20), 0x5000FFFEu);
    zyemu_clear_log();

    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", 0x1000FFFF, &i32), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "", 0x1000FFFF, 1), -63196);
    EXPECT_EQ(zyOstrel_GetAttributeDouble(session, "", 0x2000FFFF, &f64), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeDouble(session, "", 0x1FFFFFFF, 1.0), -63196);
    EXPECT_EQ(zyOstrel_GetAttributeString(session, "", 0x3000FFFF, 4, text), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeString(session, "", 0x20000000, "x"), -63196);
    EXPECT_EQ(zyOstrel_GetAttributeBoolean(session, "", 0x4000FFFF, &boolean), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeBoolean(session, "", 0x50000000, 1), -63196);
    EXPECT_EQ(zyOstrel_GetAttributeUInt64(session, "", 0x5000FFFF, &u64), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeUInt64(session, "", 0x10000000, 1), -63196);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(AttributeRecordsTest, SetSendsOneRecordPerNameInOrder) {
    ASSERT_EQ(zyOstrel_SetAttributeInt32(session, "AI3-AI0,conn2/ai5", 0x1000001C, 12), 0);
    const auto log = calls();
    ASSERT_EQ(log.size(), 5u);
    const char* expected[] = {"AI0", "AI1", "AI2", "AI3", "Conn2/AI5"};
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(textAt(log[i], 28, 256), expected[i]);
        EXPECT_EQ(fieldAt<int64_t>(log[i], 292), 12);
    }
}

TEST_F(AttributeRecordsTest, GetOnSeveralNamesIsRefusedBeforeSending) {
    int32_t value = 77;
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "AI0-AI3", 0x1000001C, &value), -304420);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "AI0,AI1", 0x1000001C, &value), -304420);
    uint32_t boolean = 3;
    EXPECT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0,AI1", kAiChannelEnabled, &boolean),
              -304420);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(boolean, 3u);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(AttributeRecordsTest, NameErrorsAreReturnedWithoutSending) {
    int32_t value = 0;
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "Ai5", 0x1000001C, 1), -304419);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "AI0,", 0x1000001C, 1), -304419);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "AI60-AI70", 0x1000001C, 1), -304421);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "64", 0x1000001C, &value), -304422);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "DIO0-DIO95,AI0", 0x1000001C, 1), -304420);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(AttributeRecordsTest, NullOutputGivesMinusOneExceptForTheBooleanGetter) {
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", kChannelsInStream, nullptr), -1);
    EXPECT_EQ(zyOstrel_GetAttributeUInt64(session, "", kStreamSamples, nullptr), -1);
    EXPECT_EQ(zyOstrel_GetAttributeDouble(session, "", kAiRange, nullptr), -1);
    EXPECT_EQ(zyOstrel_GetAttributeString(session, "", kTriggerSource, 10, nullptr), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);

    EXPECT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, nullptr), 0);
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(lastCall().method, 721u);
    EXPECT_EQ(lastCall().outputSize, 281u);
}

TEST_F(AttributeRecordsTest, RangeCheckComesBeforeTheNullOutputCheck) {
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", 0x1000FFFF, nullptr), -63196);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "AI0,AI1", kChannelsInStream, nullptr),
              -304420);
}

TEST_F(AttributeRecordsTest, EmptyTextNamesZeroOnlyForTheTriggerAttributes) {
    int32_t i32 = 0;
    double f64 = 0;
    zyOstrel_GetAttributeInt32(session, "", kTriggerChannel, &i32);
    zyOstrel_GetAttributeDouble(session, nullptr, 0x20000002, &f64);
    zyOstrel_GetAttributeDouble(session, "", 0x20000003, &f64);
    zyOstrel_GetAttributeDouble(session, nullptr, 0x20000004, &f64);
    zyOstrel_GetAttributeInt32(session, nullptr, kChannelsInStream, &i32);
    const auto log = calls();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(textAt(log[0], 28, 256), "0");
    EXPECT_EQ(textAt(log[1], 28, 256), "0");
    EXPECT_EQ(textAt(log[2], 28, 256), "0");
    EXPECT_EQ(textAt(log[3], 28, 256), "");
    EXPECT_EQ(textAt(log[4], 28, 256), "");
}

TEST_F(AttributeRecordsTest, SimulatedSessionGivesMinusOneWithoutReachingTheRuntime) {
    int32_t i32 = 5;
    uint32_t boolean = 5;
    char text[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(zyOstrel_GetAttributeInt32(kSimulated, "AI0", kChannelsInStream, &i32), -1);
    EXPECT_EQ(zyOstrel_GetAttributeBoolean(kSimulated, "AI0", kAiChannelEnabled, &boolean), -1);
    EXPECT_EQ(zyOstrel_GetAttributeString(kSimulated, "", kTriggerSource, 4, text), -1);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(kSimulated, "AI0-AI3", kChannelsInStream, 1), -1);
    EXPECT_EQ(zyOstrel_SetAttributeDouble(kSimulated, "", kAiRange, 1.0), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
    EXPECT_EQ(i32, 5);
    EXPECT_EQ(boolean, 5u);
    EXPECT_EQ(text[0], 'a');
}

}  // namespace
