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

TEST_F(BitfileQueryTest, RegisterLookupsForwardNameAndType) {
    ASSERT_EQ(zyemu_define_register(ZYEMU_RESOURCE_DEFAULT, "Count", 0x1234, 7), 0);
    constexpr uint32_t kUnchanged = 99, kAnyFound = 0;
    const struct {
        const char* name;
        uint32_t type;
        int32_t status;
        uint32_t offset;
    } rows[] = {
        {"ostrel.module.data valid 0", 0xFFFFFFFF, 0, kAnyFound},  // in the stored image
        {"Count", 7, 0, 0x1234},
        {"Count", 3, ZYEMU_STATUS_NOT_FOUND, kUnchanged},  // same name, other type
        {"ostrel.module.dram ready", 0xFFFFFFFF, ZYEMU_STATUS_NOT_FOUND, kUnchanged},
        {nullptr, 0xFFFFFFFF, ZYEMU_STATUS_INVALID_ARGUMENT, kUnchanged},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name != nullptr ? row.name : "(null)");
        uint32_t offset = kUnchanged;
        EXPECT_EQ(zyOstrel_QueryBitfileRegister(session, row.name, row.type, &offset), row.status);
        if (row.offset == kAnyFound) {
            EXPECT_NE(offset, kUnchanged);
            EXPECT_NE(offset, 0u);
        } else {
            EXPECT_EQ(offset, row.offset);
        }
        const ZyEmuCall call = lastCall();
        EXPECT_EQ(call.entry, ZYEMU_ENTRY_FIND_REGISTER);
        EXPECT_EQ(call.session, session);
        EXPECT_STREQ(call.text, row.name);
        EXPECT_EQ(call.word, row.type);
    }
    EXPECT_EQ(
        zyOstrel_QueryBitfileRegister(session, "ostrel.module.data valid 0", 0xFFFFFFFF, nullptr),
        ZYEMU_STATUS_INVALID_ARGUMENT);
    uint32_t offset = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileRegister(session + 1000, "x", 0xFFFFFFFF, &offset),
              ZYEMU_STATUS_INVALID_SESSION);
}

TEST_F(BitfileQueryTest, FifoLookupReturnsAllThreeOutputs) {
    ASSERT_EQ(zyemu_define_fifo(ZYEMU_RESOURCE_DEFAULT, "Samples", 3, 0, 4096), 0);
    uint32_t number = 0, implementation = 9, elements = 0;
    EXPECT_EQ(zyOstrel_QueryBitfileFifo(session, "Samples", 0xFFFFFFFF, &number, &implementation,
                                        &elements),
              0);
    EXPECT_EQ(number, 3u);
    EXPECT_EQ(implementation, 0u);
    EXPECT_EQ(elements, 4096u);
    EXPECT_EQ(lastCall().entry, ZYEMU_ENTRY_FIND_FIFO);
    EXPECT_EQ(zyOstrel_QueryBitfileFifo(session, "Other", 0xFFFFFFFF, &number, &implementation,
                                        &elements),
              ZYEMU_STATUS_NOT_FOUND);
}

using SimulatedSessionTest = zytest::EmulatorTest;

// Functions that are not interface commands reach the runtime even for a simulated session.
TEST_F(SimulatedSessionTest, ForwardersAndCloseReachTheRuntime) {
    uint32_t session = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &session), 0);
    ASSERT_NE(session & ZYOSTREL_SIMULATED_SESSION_BIT, 0u);
    uint32_t offset = 0, number = 0, implementation = 0, elements = 0;
    EXPECT_EQ(
        zyOstrel_QueryBitfileRegister(session, "ostrel.dsp.reset.state 0", 0xFFFFFFFF, &offset), 0);
    EXPECT_EQ(
        zyOstrel_QueryBitfileFifo(session, "none", 0xFFFFFFFF, &number, &implementation, &elements),
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
