// The bitfile queries forward their arguments to the runtime unchanged.
#include <gtest/gtest.h>

#include "support/EmulatorFixture.h"

namespace {

using BitfileQueryTest = zytest::SessionTest;

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
        EXPECT_STATUS(row.status,
                      zyOstrel_QueryBitfileRegister(session, row.name, row.type, &offset));
        if (row.offset == kAnyFound) {
            EXPECT_NE(offset, kUnchanged);
            EXPECT_NE(offset, 0u);
        } else {
            EXPECT_EQ(offset, row.offset);
        }
        const ZyEmuCall call = lastCall();
        EXPECT_EQ(std::vector<uint32_t>({call.entry, call.session, call.word}),
                  std::vector<uint32_t>({ZYEMU_ENTRY_FIND_REGISTER, session, row.type}));
        EXPECT_STREQ(call.text, row.name);
    }
    EXPECT_STATUS(
        ZYEMU_STATUS_INVALID_ARGUMENT,
        zyOstrel_QueryBitfileRegister(session, "ostrel.module.data valid 0", 0xFFFFFFFF, nullptr));
    uint32_t offset = 0;
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_SESSION,
                  zyOstrel_QueryBitfileRegister(session + 1000, "x", 0xFFFFFFFF, &offset));
}

TEST_F(BitfileQueryTest, FifoLookupReturnsAllThreeOutputs) {
    ASSERT_EQ(zyemu_define_fifo(ZYEMU_RESOURCE_DEFAULT, "Samples", 3, 0, 4096), 0);
    uint32_t number = 0, implementation = 9, elements = 0;
    EXPECT_STATUS(0, zyOstrel_QueryBitfileFifo(session, "Samples", 0xFFFFFFFF, &number,
                                               &implementation, &elements));
    EXPECT_EQ(std::vector<uint32_t>({number, implementation, elements}),
              std::vector<uint32_t>({3, 0, 4096}));
    EXPECT_EQ(lastCall().entry, ZYEMU_ENTRY_FIND_FIFO);
    EXPECT_STATUS(ZYEMU_STATUS_NOT_FOUND,
                  zyOstrel_QueryBitfileFifo(session, "Other", 0xFFFFFFFF, &number, &implementation,
                                            &elements));
}

}  // namespace
