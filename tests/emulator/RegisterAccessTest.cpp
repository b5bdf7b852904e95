// FPGA register reads and writes through the runtime's register entries.
#include <gtest/gtest.h>

#include "channel/FpgaRuntime.h"
#include "emulator/SessionFixture.h"

namespace {

using RegisterAccessTest = zytest::OneSessionTest;

TEST_F(RegisterAccessTest, WriteIsLoggedAndReadsBackOnEverySessionOfTheInstrument) {
    uint32_t other = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &other), 0);
    EXPECT_EQ(ZyFpgaDll_WriteU8(session, 0x18014, 0xFE), 0);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.entry, ZYEMU_ENTRY_WRITE_U8);
    EXPECT_EQ(call.session, session);
    EXPECT_EQ(call.word, 0x18014u);
    EXPECT_EQ(call.value, 0xFEu);
    uint8_t value = 0;
    EXPECT_EQ(ZyFpgaDll_ReadU8(other, 0x18014, &value), 0);
    EXPECT_EQ(value, 0xFE);
    EXPECT_EQ(zyOstrel_CloseSession(other, 0), 0);
}

TEST_F(RegisterAccessTest, InstrumentsHaveTheirOwnRegisters) {
    ASSERT_EQ(zyemu_set_register_u8(ZYEMU_RESOURCE_SECOND, 0x10, 9), 0);
    uint8_t value = 1;
    EXPECT_EQ(ZyFpgaDll_ReadU8(session, 0x10, &value), 0);
    EXPECT_EQ(value, 0);
}

TEST_F(RegisterAccessTest, BooleanReadNormalisesToZeroOrOne) {
    ASSERT_EQ(zyemu_set_register_u8(ZYEMU_RESOURCE_DEFAULT, 0x18000, 0x80), 0);
    uint8_t value = 0;
    EXPECT_EQ(ZyFpgaDll_ReadBool(session, 0x18000, &value), 0);
    EXPECT_EQ(value, 1);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.entry, ZYEMU_ENTRY_READ_BOOL);
    EXPECT_EQ(call.word, 0x18000u);
    EXPECT_EQ(call.value, 1u);
}

TEST_F(RegisterAccessTest, BadSessionOrNullOutputIsRefused) {
    uint8_t value = 0;
    EXPECT_EQ(ZyFpgaDll_ReadU8(0, 0x10, &value), ZYEMU_STATUS_INVALID_SESSION);
    EXPECT_EQ(ZyFpgaDll_ReadBool(session, 0x10, nullptr), ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(ZyFpgaDll_WriteU8(session + 77, 0x10, 1), ZYEMU_STATUS_INVALID_SESSION);
}

TEST_F(RegisterAccessTest, InjectedReadAnswersTheGivenByte) {
    const uint8_t answer = 3;
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_ENTRY;
    fault.entry = ZYEMU_ENTRY_READ_U8;
    fault.reply = &answer;
    fault.replySize = 1;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    uint8_t value = 0;
    EXPECT_EQ(ZyFpgaDll_ReadU8(session, 0x18010, &value), 0);
    EXPECT_EQ(value, 3);
}

}  // namespace
