// The bitfile queries forward their arguments to the runtime unchanged.
#include <gtest/gtest.h>

#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace {

class BitfileQueryTest : public zytest::EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
        zyemu_clear_log();
    }
    void TearDown() override {
        EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
        EmulatorTest::TearDown();
    }
    uint32_t session = 0;
};

TEST_F(BitfileQueryTest, RegisterOfTheStoredImageIsFound) {
    uint32_t offset = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, "ostrel.module.data valid 0", 0xFFFFFFFF,
                                            &offset),
              0);
    EXPECT_NE(offset, 0u);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.entry, ZYEMU_ENTRY_FIND_REGISTER);
    EXPECT_EQ(call.session, session);
    EXPECT_STREQ(call.text, "ostrel.module.data valid 0");
    EXPECT_EQ(call.word, 0xFFFFFFFFu);
}

TEST_F(BitfileQueryTest, RegisterDefinedByATestIsFoundWithItsType) {
    ASSERT_EQ(zyemu_define_register(ZYEMU_RESOURCE_DEFAULT, "Count", 0x1234, 7), 0);
    uint32_t offset = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, "Count", 7, &offset), 0);
    EXPECT_EQ(offset, 0x1234u);
    offset = 99;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, "Count", 3, &offset),
              ZYEMU_STATUS_NOT_FOUND);
    EXPECT_EQ(offset, 99u);
}

TEST_F(BitfileQueryTest, UnknownRegisterIsNotFound) {
    uint32_t offset = 5;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, "ostrel.module.dram ready", 0xFFFFFFFF,
                                            &offset),
              ZYEMU_STATUS_NOT_FOUND);
    EXPECT_EQ(offset, 5u);
}

TEST_F(BitfileQueryTest, NullArgumentsReachTheRuntimeUnchanged) {
    uint32_t offset = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, nullptr, 0xFFFFFFFF, &offset),
              ZYEMU_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(lastCall().text, nullptr);
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, "ostrel.module.data valid 0", 0xFFFFFFFF,
                                            nullptr),
              ZYEMU_STATUS_INVALID_ARGUMENT);
}

TEST_F(BitfileQueryTest, FifoLookupReturnsAllThreeOutputs) {
    ASSERT_EQ(zyemu_define_fifo(ZYEMU_RESOURCE_DEFAULT, "Samples", 3, 0, 4096), 0);
    uint32_t number = 0, implementation = 9, elements = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileFifo(session, "Samples", 0xFFFFFFFF, &number,
                                        &implementation, &elements),
              0);
    EXPECT_EQ(number, 3u);
    EXPECT_EQ(implementation, 0u);
    EXPECT_EQ(elements, 4096u);
    EXPECT_EQ(lastCall().entry, ZYEMU_ENTRY_FIND_FIFO);
    EXPECT_EQ(zyOstrel_QueryBitfileFifo(session, "Other", 0xFFFFFFFF, &number, &implementation,
                                        &elements),
              ZYEMU_STATUS_NOT_FOUND);
}

TEST_F(BitfileQueryTest, QueryOnAClosedSessionFails) {
    uint32_t offset = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session + 1000, "x", 0xFFFFFFFF, &offset),
              ZYEMU_STATUS_INVALID_SESSION);
}

}  // namespace

namespace {

using SimulatedSessionTest = zytest::EmulatorTest;

// Functions that are not interface commands reach the runtime even for a simulated session.
TEST_F(SimulatedSessionTest, ForwardersAndCloseReachTheRuntime) {
    uint32_t session = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &session), 0);
    ASSERT_NE(session & ZYOSTREL_SIMULATED_SESSION_BIT, 0u);
    uint32_t offset = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, "ostrel.dsp.reset.state 0", 0xFFFFFFFF,
                                            &offset),
              0);
    uint32_t number = 0, implementation = 0, elements = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileFifo(session, "none", 0xFFFFFFFF, &number, &implementation,
                                        &elements),
              ZYEMU_STATUS_NOT_FOUND);
    EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
    const auto log = calls();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1].entry, ZYEMU_ENTRY_FIND_REGISTER);
    EXPECT_EQ(log[2].entry, ZYEMU_ENTRY_FIND_FIFO);
    EXPECT_EQ(log[3].entry, ZYEMU_ENTRY_CLOSE);
    EXPECT_EQ(log[3].session, session);
}

}  // namespace
