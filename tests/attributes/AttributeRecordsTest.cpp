// The attribute records as the runtime receives them: layout, wire types, qualifiers,
// range limits and which calls are sent at all.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AttributeSession.h"
#include "attributes/Attributes.h"

namespace {

using zytest::fieldAt;

constexpr uint32_t kAiRange = 0x20000010;           // Double
constexpr uint32_t kChannelsInStream = 0x10000000;  // Int32
constexpr uint32_t kTriggerChannel = 0x10000008;    // Int32, empty text names "0"
constexpr uint32_t kTriggerSource = 0x30000000;     // String
constexpr uint32_t kAiChannelEnabled = 0x40000000;  // Boolean
constexpr uint32_t kStreamSamples = 0x50000000;     // UInt64

class AttributeRecordsTest : public zytest::SessionTest {
protected:
    // Checks the part every attribute record shares.
    static void expectHeader(const ZyEmuCall& call, uint32_t method, uint32_t id, uint64_t size) {
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
    // Reads with the getter of the wire type (0 Boolean, 1 Double, 2 Int32, 5 UInt64,
    // else String) into scratch outputs.
    int32_t get(uint32_t wireType, const char* names, uint32_t id) {
        switch (wireType) {
            case 0:
                return zyOstrel_GetAttributeBoolean(session, names, id, &boolean);
            case 1:
                return zyOstrel_GetAttributeDouble(session, names, id, &f64);
            case 2:
                return zyOstrel_GetAttributeInt32(session, names, id, &i32);
            case 5:
                return zyOstrel_GetAttributeUInt64(session, names, id, &u64);
            default:
                return zyOstrel_GetAttributeString(session, names, id, sizeof text, text);
        }
    }
    uint32_t boolean = 0;
    double f64 = 0;
    int32_t i32 = 0;
    uint64_t u64 = 0;
    char text[16] = {};
};

TEST_F(AttributeRecordsTest, GetRecordCarriesTypeCodeAndQualifierAt28) {
    const struct {
        uint32_t wireType;
        const char* names;
        uint32_t id;
        const char* qualifier;
    } rows[] = {{2, "AI3", kChannelsInStream, "AI3"},
                {1, "ai1", kAiRange, "AI1"},
                {6, "", kTriggerSource, ""},
                {0, "AI0", kAiChannelEnabled, "AI0"},
                {5, "7", kStreamSamples, "7"},
                // An empty text names "0" for the trigger attributes only.
                {2, "", kTriggerChannel, "0"},
                {1, nullptr, 0x20000002, "0"},
                {1, "", 0x20000003, "0"},
                {1, nullptr, 0x20000004, ""},
                {2, nullptr, kChannelsInStream, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.id);
        zyemu_clear_log();
        get(row.wireType, row.names, row.id);
        ASSERT_EQ(zyemu_call_count(), 1u);
        const ZyEmuCall call = lastCall();
        expectHeader(call, 721, row.id, 284);
        EXPECT_EQ(fieldAt<uint32_t>(call, 24), row.wireType);
        EXPECT_EQ(textAt(call, 28, 256), row.qualifier);
        EXPECT_TRUE(call.outputGiven);
        EXPECT_EQ(call.outputSize, 281u);
        for (size_t b = 28 + std::strlen(row.qualifier); b < 284; ++b) {
            ASSERT_EQ(call.input[b], 0) << b;
        }
    }
}

TEST_F(AttributeRecordsTest, SetRecordPlacesEachTypeAtItsValueOffset) {
    ASSERT_EQ(zyOstrel_SetAttributeDouble(session, "AI0", kAiRange, 0.5), 0);
    ASSERT_EQ(zyOstrel_SetAttributeInt32(session, "", kTriggerChannel, -2), 0);
    ASSERT_EQ(zyOstrel_SetAttributeUInt64(session, "3", kStreamSamples, 0x1122334455667788u), 0);
    const std::string longText(300, 'x');
    ASSERT_EQ(zyOstrel_SetAttributeString(session, nullptr, kTriggerSource, longText.c_str()), 0);
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
    for (size_t b = 308; b < 564; ++b) ASSERT_EQ(log[3].input[b], 'x') << b;
    EXPECT_EQ(log[3].input[564], 0) << "a long text is cut without a terminator";
    EXPECT_EQ(fieldAt<uint32_t>(log[4], 24), 0u);
    EXPECT_EQ(log[4].input[564], 1) << "any nonzero Boolean is sent as 1";
    // Only the field of the type is filled.
    EXPECT_EQ(fieldAt<uint64_t>(log[4], 284), 0u);
    EXPECT_EQ(fieldAt<uint64_t>(log[0], 292), 0u);
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
    const uint32_t wireTypeOfRange[] = {2, 1, 6, 0, 5};  // ranges 0x1000.. to 0x5000..
    for (uint32_t range = 0; range < 5; ++range) {
        const uint32_t last = 0x1000FFFE + range * 0x10000000;
        SCOPED_TRACE(testing::Message() << std::hex << last);
        zyemu_clear_log();
        get(wireTypeOfRange[range], "", last);
        ASSERT_EQ(zyemu_call_count(), 1u);
        EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 20), last);
        EXPECT_EQ(get(wireTypeOfRange[range], "", last + 1), -63196);
        EXPECT_EQ(zyemu_call_count(), 1u);
    }
    zyemu_clear_log();
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "", 0x1000FFFF, 1), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeDouble(session, "", 0x1FFFFFFF, 1.0), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeString(session, "", 0x20000000, "x"), -63196);
    EXPECT_EQ(zyOstrel_SetAttributeBoolean(session, "", 0x50000000, 1), -63196);
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

TEST_F(AttributeRecordsTest, NameErrorsAndGetsOnSeveralNamesAreRefusedBeforeSending) {
    i32 = 77;
    boolean = 3;
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "AI0-AI3", 0x1000001C, &i32), -304420);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "AI0,AI1", 0x1000001C, &i32), -304420);
    EXPECT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0,AI1", kAiChannelEnabled, &boolean),
              -304420);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "64", 0x1000001C, &i32), -304422);
    EXPECT_EQ(i32, 77);
    EXPECT_EQ(boolean, 3u);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "Ai5", 0x1000001C, 1), -304419);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "AI0,", 0x1000001C, 1), -304419);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "AI60-AI70", 0x1000001C, 1), -304421);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(session, "DIO0-DIO95,AI0", 0x1000001C, 1), -304420);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(AttributeRecordsTest, NullOutputGivesMinusOneAfterTheRangeAndNameChecks) {
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", 0x1000FFFF, nullptr), -63196);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "AI0,AI1", kChannelsInStream, nullptr), -304420);
    EXPECT_EQ(zyOstrel_GetAttributeInt32(session, "", kChannelsInStream, nullptr), -1);
    EXPECT_EQ(zyOstrel_GetAttributeUInt64(session, "", kStreamSamples, nullptr), -1);
    EXPECT_EQ(zyOstrel_GetAttributeDouble(session, "", kAiRange, nullptr), -1);
    EXPECT_EQ(zyOstrel_GetAttributeString(session, "", kTriggerSource, 10, nullptr), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);

    // The Boolean getter sends its record all the same.
    EXPECT_EQ(zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, nullptr), 0);
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(lastCall().method, 721u);
    EXPECT_EQ(lastCall().outputSize, 281u);
}

TEST_F(AttributeRecordsTest, SimulatedSessionGivesMinusOneWithoutReachingTheRuntime) {
    int32_t number = 5;
    uint32_t flag = 5;
    char letters[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(zyOstrel_GetAttributeInt32(kSimulated, "AI0", kChannelsInStream, &number), -1);
    EXPECT_EQ(zyOstrel_GetAttributeBoolean(kSimulated, "AI0", kAiChannelEnabled, &flag), -1);
    EXPECT_EQ(zyOstrel_GetAttributeString(kSimulated, "", kTriggerSource, 4, letters), -1);
    EXPECT_EQ(zyOstrel_SetAttributeInt32(kSimulated, "AI0-AI3", kChannelsInStream, 1), -1);
    EXPECT_EQ(zyOstrel_SetAttributeDouble(kSimulated, "", kAiRange, 1.0), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(flag, 5u);
    EXPECT_EQ(letters[0], 'a');
}

}  // namespace
