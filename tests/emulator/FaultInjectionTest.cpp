// Faults injected by tests: which calls they hit, how often, and what they answer.
#include <gtest/gtest.h>

#include <cstring>

#include "channel/FpgaRuntime.h"
#include "emulator/SessionFixture.h"

namespace {

class FaultInjectionTest : public zytest::OneSessionTest {
protected:
    int32_t interfaceCall(uint32_t interfaceNumber, uint32_t method, uint32_t attribute = 0) {
        uint32_t record[6] = {interfaceNumber, 0, 0, 0, method, attribute};
        return ZyFpgaDll_ClientFunctionCall(session, 2, 256, record, sizeof record, nullptr, 0);
    }

    int32_t elaborate(uint64_t size = 8) {
        const int32_t code = -1;
        return ZyFpgaDll_ClientFunctionCall(session, 2, 800, &code, 4, reply, size);
    }

    char reply[8] = {};
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
    ZyEmuFault fault = functionFault(800, -300);
    fault.skip = 2;
    fault.count = 1;
    const int32_t id = zyemu_add_fault(&fault);
    EXPECT_EQ(elaborate(), 0);
    EXPECT_EQ(elaborate(), 0);
    EXPECT_EQ(elaborate(), -300);
    EXPECT_EQ(elaborate(), 0);
    EXPECT_EQ(zyemu_fault_hits(id), 1u);
}

TEST_F(FaultInjectionTest, MatchesAPositionInTheCallLog) {
    ZyEmuFault fault{};
    fault.match = ZYEMU_MATCH_CALL_INDEX;
    fault.callIndex = zyemu_call_count() + 1;
    fault.status = -400;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    EXPECT_EQ(elaborate(), 0);
    EXPECT_EQ(elaborate(), -400);
    EXPECT_EQ(lastCall().status, -400);
}

TEST_F(FaultInjectionTest, ReplacingFaultWritesItsReplyCutToTheBuffer) {
    const char injected[] = "0123456789";
    ZyEmuFault fault = functionFault(800, 0);
    fault.reply = injected;
    fault.replySize = 10;
    ASSERT_GT(zyemu_add_fault(&fault), 0);
    EXPECT_EQ(elaborate(6), 0);
    EXPECT_EQ(0, std::memcmp(reply, "012345\0\0", 8));
}

TEST_F(FaultInjectionTest, ReplacingFaultSkipsTheCommandOneAfterRunningKeepsItsEffect) {
    for (const uint32_t action : {ZYEMU_FAULT_REPLACE, ZYEMU_FAULT_AFTER_RUNNING}) {
        const bool runs = action == ZYEMU_FAULT_AFTER_RUNNING;
        SCOPED_TRACE(runs ? "after running" : "replacing");
        zyemu_clear_faults();
        ASSERT_EQ(zyemu_set_register_u8(ZYEMU_RESOURCE_DEFAULT, 0x40, 0), 0);
        ZyEmuFault fault{};
        fault.match = runs ? ZYEMU_MATCH_ENTRY : ZYEMU_MATCH_ENTRY | ZYEMU_MATCH_SESSION;
        fault.entry = ZYEMU_ENTRY_WRITE_U8;
        fault.session = session;
        fault.action = action;
        fault.status = runs ? 7 : -9;
        ASSERT_GT(zyemu_add_fault(&fault), 0);
        EXPECT_EQ(ZyFpgaDll_WriteU8(session, 0x40, 0x5A), fault.status);
        uint8_t value = 1;
        EXPECT_EQ(zyemu_get_register_u8(ZYEMU_RESOURCE_DEFAULT, 0x40, &value), 0);
        EXPECT_EQ(value, runs ? 0x5A : 0);
    }
}

TEST_F(FaultInjectionTest, OldestMatchingFaultWins) {
    const ZyEmuFault first = functionFault(800, -1);
    const ZyEmuFault second = functionFault(800, -2);
    const int32_t firstId = zyemu_add_fault(&first);
    const int32_t secondId = zyemu_add_fault(&second);
    EXPECT_EQ(elaborate(), -1);
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
