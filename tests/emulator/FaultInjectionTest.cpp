// Faults injected by tests: which calls they hit, how often, and what they answer.
#include <gtest/gtest.h>

#include <cstring>

#include "channel/FpgaRuntime.h"
#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace {

class FaultInjectionTest : public zytest::EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
    }
    void TearDown() override {
        zyemu_clear_faults();
        EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
        EmulatorTest::TearDown();
    }

    int32_t interfaceCall(uint32_t interfaceNumber, uint32_t method, uint32_t attribute = 0) {
        uint32_t record[6] = {interfaceNumber, 0, 0, 0, method, attribute};
        return ZyFpgaDll_ClientFunctionCall(session, 2, 256, record, sizeof record, nullptr, 0);
    }

    int32_t elaborate(char* reply, uint64_t size) {
        const int32_t code = -1;
        return ZyFpgaDll_ClientFunctionCall(session, 2, 800, &code, 4, reply, size);
    }

    uint32_t session = 0;
};

TEST_F(FaultInjectionTest, MatchesInterfaceAndMethodOnly) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_INTERFACE | ZYEMU_MATCH_METHOD;
    fault.interfaceNumber = 258;
    fault.method = 722;
    fault.status = -200;
    const int32_t id = zyemu_add_fault(&fault);
    ASSERT_GT(id, 0);
    EXPECT_EQ(interfaceCall(258, 722), -200);
    EXPECT_NE(interfaceCall(258, 721), -200) << "another method is not matched";
    EXPECT_EQ(interfaceCall(257, 722), ZYEMU_STATUS_UNKNOWN_COMMAND);
    EXPECT_EQ(interfaceCall(258, 722), -200);
    EXPECT_EQ(zyemu_fault_hits(id), 2u);
}

TEST_F(FaultInjectionTest, MatchesTheAttributeIdentifier) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_ATTRIBUTE;
    fault.attributeId = 0x20000010;
    fault.status = 5;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    EXPECT_EQ(interfaceCall(258, 722, 0x20000010), 5);
    EXPECT_NE(interfaceCall(258, 722, 0x20000011), 5) << "another attribute is not matched";
    EXPECT_EQ(interfaceCall(257, 722, 0x20000010), ZYEMU_STATUS_UNKNOWN_COMMAND);
}

TEST_F(FaultInjectionTest, SkipAndCountSelectTheNthMatchingCall) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_FUNCTION;
    fault.functionNumber = 800;
    fault.skip = 2;
    fault.count = 1;
    fault.status = -300;
    const int32_t id = zyemu_add_fault(&fault);
    char reply[8];
    EXPECT_EQ(elaborate(reply, sizeof reply), 0);
    EXPECT_EQ(elaborate(reply, sizeof reply), 0);
    EXPECT_EQ(elaborate(reply, sizeof reply), -300);
    EXPECT_EQ(elaborate(reply, sizeof reply), 0);
    EXPECT_EQ(zyemu_fault_hits(id), 1u);
}

TEST_F(FaultInjectionTest, MatchesAPositionInTheCallLog) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_CALL_INDEX;
    fault.callIndex = zyemu_call_count() + 1;
    fault.status = -400;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    char reply[8];
    EXPECT_EQ(elaborate(reply, sizeof reply), 0);
    EXPECT_EQ(elaborate(reply, sizeof reply), -400);
    EXPECT_EQ(lastCall().status, -400);
}

TEST_F(FaultInjectionTest, ReplacingFaultWritesItsReplyCutToTheBuffer) {
    const char injected[] = "0123456789";
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_FUNCTION;
    fault.functionNumber = 800;
    fault.reply = injected;
    fault.replySize = 10;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    char reply[8];
    std::memset(reply, 0, sizeof reply);
    char guard = 'g';
    EXPECT_EQ(elaborate(reply, 6), 0);
    EXPECT_EQ(0, std::memcmp(reply, "012345\0\0", 8));
    EXPECT_EQ(guard, 'g');
}

TEST_F(FaultInjectionTest, FaultAfterRunningKeepsTheCommandsEffect) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_ENTRY;
    fault.entry = ZYEMU_ENTRY_WRITE_U8;
    fault.action = ZYEMU_FAULT_AFTER_RUNNING;
    fault.status = 7;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    EXPECT_EQ(ZyFpgaDll_WriteU8(session, 0x40, 0x5A), 7);
    uint8_t value = 0;
    EXPECT_EQ(zyemu_get_register_u8(ZYEMU_RESOURCE_DEFAULT, 0x40, &value), 0);
    EXPECT_EQ(value, 0x5A);
}

TEST_F(FaultInjectionTest, ReplacingFaultSkipsTheCommand) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_ENTRY | ZYEMU_MATCH_SESSION;
    fault.entry = ZYEMU_ENTRY_WRITE_U8;
    fault.session = session;
    fault.status = -9;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    EXPECT_EQ(ZyFpgaDll_WriteU8(session, 0x40, 0x5A), -9);
    uint8_t value = 1;
    zyemu_get_register_u8(ZYEMU_RESOURCE_DEFAULT, 0x40, &value);
    EXPECT_EQ(value, 0);
}

TEST_F(FaultInjectionTest, OldestMatchingFaultWins) {
    ZyEmuFault first{};
    first.match = ZYEMU_MATCH_FUNCTION;
    first.functionNumber = 800;
    first.status = -1;
    ZyEmuFault second = first;
    second.status = -2;
    const int32_t firstId = zyemu_add_fault(&first);
    const int32_t secondId = zyemu_add_fault(&second);
    char reply[8];
    EXPECT_EQ(elaborate(reply, sizeof reply), -1);
    EXPECT_EQ(zyemu_fault_hits(firstId), 1u);
    EXPECT_EQ(zyemu_fault_hits(secondId), 0u);
}

TEST_F(FaultInjectionTest, MalformedFaultsAreRefused) {
    EXPECT_EQ(zyemu_add_fault(nullptr), ZYEMU_STATUS_INVALID_ARGUMENT);
    ZyEmuFault fault{};
    fault.replySize = 4;
    EXPECT_EQ(zyemu_add_fault(&fault), ZYEMU_STATUS_INVALID_ARGUMENT);
    fault.replySize = 0;
    fault.action = 9;
    EXPECT_EQ(zyemu_add_fault(&fault), ZYEMU_STATUS_INVALID_ARGUMENT);
}

TEST_F(FaultInjectionTest, ResetRemovesFaultsSessionsAndTheLog) {
    ZyEmuFault fault{};
    fault.status = -1;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    zyemu_reset();
    EXPECT_EQ(zyemu_call_count(), 0u);
    EXPECT_EQ(zyemu_open_session_count(), 0u);
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
}

}  // namespace
