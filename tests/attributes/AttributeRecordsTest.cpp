// The attribute records as the runtime receives them: layout, wire types, qualifiers,
// range limits and which calls are sent at all.
#include <gtest/gtest.h>

#include <string>

#include "attributes/Attributes.h"
#include "support/EmulatorFixture.h"

namespace {

using zytest::AttributeCall;

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
        EXPECT_EQ(call.inputSize, size);
        EXPECT_EQ(fieldsAt<uint32_t>(call, {0, 4, 8, 12, 16, 20}),
                  (std::vector<uint32_t>{258, 0, 0, 0, method, id}));
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
        std::string qualifier(row.qualifier);
        qualifier.resize(256, '\0');
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(call.input) + 28, 256), qualifier);
        EXPECT_EQ(call.outputSize, 281u);
    }
}

TEST_F(AttributeRecordsTest, SetRecordPlacesEachTypeAtItsValueOffset) {
    const std::string longText(300, 'x');
    ASSERT_STATUS(0, zyOstrel_SetAttributeDouble(session, "AI0", kAiRange, 0.5));
    ASSERT_STATUS(0, zyOstrel_SetAttributeInt32(session, "", kTriggerChannel, -2));
    ASSERT_STATUS(0,
                  zyOstrel_SetAttributeUInt64(session, "3", kStreamSamples, 0x1122334455667788u));
    ASSERT_STATUS(0,
                  zyOstrel_SetAttributeString(session, nullptr, kTriggerSource, longText.c_str()));
    ASSERT_STATUS(0, zyOstrel_SetAttributeBoolean(session, "AI2", kAiChannelEnabled, 5));
    // Int32 values travel sign-extended, a long text is cut without a terminator and any
    // nonzero Boolean is sent as 1.
    EXPECT_EQ(attributeCalls(), (std::vector<AttributeCall>{
                                    {722, kAiRange, "AI0", "0.5"},
                                    {722, kTriggerChannel, "0", "-2"},
                                    {722, kStreamSamples, "3", "0x1122334455667788"},
                                    {722, kTriggerSource, "", std::string(256, 'x')},
                                    {722, kAiChannelEnabled, "AI2", "1"},
                                }));
    const auto log = calls();
    const uint32_t wireTypes[] = {1, 2, 5, 6, 0};
    for (size_t i = 0; i < log.size(); ++i) {
        expectHeader(log[i], 722, fieldAt<uint32_t>(log[i], 20), 565);
        EXPECT_EQ(fieldAt<uint32_t>(log[i], 24), wireTypes[i]);
        EXPECT_FALSE(log[i].outputGiven);
    }
    EXPECT_EQ(log[3].input[564], 0) << "the text field's end";
    // Only the field of the type is filled.
    EXPECT_EQ(fieldAt<uint64_t>(log[4], 284), 0u);
    EXPECT_EQ(fieldAt<uint64_t>(log[0], 292), 0u);
}

TEST_F(AttributeRecordsTest, RestoreDefaultSendsTheTextUnchangedAndCutAt255) {
    using zyostrel::attributes::restoreAttributeDefault;
    const std::string longName(300, 'n');
    EXPECT_STATUS(0, restoreAttributeDefault(session, "", 0x1000000B));
    restoreAttributeDefault(session, longName.c_str(), 0x1000000B);
    restoreAttributeDefault(session, "not a name", 0x1000FFFF);  // no range check either

    EXPECT_EQ(attributeCalls(), (std::vector<AttributeCall>{
                                    {723, 0x1000000B, ""},
                                    {723, 0x1000000B, std::string(255, 'n')},
                                    {723, 0x1000FFFF, "not a name"},
                                }));
    const ZyEmuCall first = calls().at(0);
    expectHeader(first, 723, 0x1000000B, 284);
    EXPECT_EQ(fieldAt<uint32_t>(first, 24), 0u) << "no wire type in a restore";
    EXPECT_FALSE(first.outputGiven);
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
    EXPECT_STATUS(-63196, zyOstrel_SetAttributeInt32(session, "", 0x1000FFFF, 1));
    EXPECT_STATUS(-63196, zyOstrel_SetAttributeDouble(session, "", 0x1FFFFFFF, 1.0));
    EXPECT_STATUS(-63196, zyOstrel_SetAttributeString(session, "", 0x20000000, "x"));
    EXPECT_STATUS(-63196, zyOstrel_SetAttributeBoolean(session, "", 0x50000000, 1));
    EXPECT_STATUS(-63196, zyOstrel_SetAttributeUInt64(session, "", 0x10000000, 1));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(AttributeRecordsTest, SetSendsOneRecordPerNameInOrder) {
    ASSERT_STATUS(0, zyOstrel_SetAttributeInt32(session, "AI3-AI0,conn2/ai5", 0x1000001C, 12));
    std::vector<AttributeCall> expected;
    for (const char* name : {"AI0", "AI1", "AI2", "AI3", "Conn2/AI5"}) {
        expected.push_back({722, 0x1000001C, name, "12"});
    }
    EXPECT_EQ(attributeCalls(), expected);
}

TEST_F(AttributeRecordsTest, NameErrorsAndGetsOnSeveralNamesAreRefusedBeforeSending) {
    i32 = 77;
    boolean = 3;
    EXPECT_STATUS(-304420, zyOstrel_GetAttributeInt32(session, "AI0-AI3", 0x1000001C, &i32));
    EXPECT_STATUS(-304420, zyOstrel_GetAttributeInt32(session, "AI0,AI1", 0x1000001C, &i32));
    EXPECT_STATUS(-304420,
                  zyOstrel_GetAttributeBoolean(session, "AI0,AI1", kAiChannelEnabled, &boolean));
    EXPECT_STATUS(-304422, zyOstrel_GetAttributeInt32(session, "64", 0x1000001C, &i32));
    EXPECT_EQ(i32, 77);
    EXPECT_EQ(boolean, 3u);
    EXPECT_STATUS(-304419, zyOstrel_SetAttributeInt32(session, "Ai5", 0x1000001C, 1));
    EXPECT_STATUS(-304419, zyOstrel_SetAttributeInt32(session, "AI0,", 0x1000001C, 1));
    EXPECT_STATUS(-304421, zyOstrel_SetAttributeInt32(session, "AI60-AI70", 0x1000001C, 1));
    EXPECT_STATUS(-304420, zyOstrel_SetAttributeInt32(session, "DIO0-DIO95,AI0", 0x1000001C, 1));
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(AttributeRecordsTest, NullOutputGivesMinusOneAfterTheRangeAndNameChecks) {
    EXPECT_STATUS(-63196, zyOstrel_GetAttributeInt32(session, "", 0x1000FFFF, nullptr));
    EXPECT_STATUS(-304420,
                  zyOstrel_GetAttributeInt32(session, "AI0,AI1", kChannelsInStream, nullptr));
    EXPECT_STATUS(-1, zyOstrel_GetAttributeInt32(session, "", kChannelsInStream, nullptr));
    EXPECT_STATUS(-1, zyOstrel_GetAttributeUInt64(session, "", kStreamSamples, nullptr));
    EXPECT_STATUS(-1, zyOstrel_GetAttributeDouble(session, "", kAiRange, nullptr));
    EXPECT_STATUS(-1, zyOstrel_GetAttributeString(session, "", kTriggerSource, 10, nullptr));
    EXPECT_EQ(zyemu_call_count(), 0u);

    // The Boolean getter sends its record all the same.
    EXPECT_STATUS(0, zyOstrel_GetAttributeBoolean(session, "AI0", kAiChannelEnabled, nullptr));
    ASSERT_EQ(zyemu_call_count(), 1u);
    EXPECT_EQ(lastCall().method, 721u);
    EXPECT_EQ(lastCall().outputSize, 281u);
}

}  // namespace
