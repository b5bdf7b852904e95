// A session opened on a bitfile answers register and FIFO lookups from its document.
#include <gtest/gtest.h>

#include <tuple>

#include "channel/FpgaRuntime.h"
#include "zyemu/control.h"

namespace {

constexpr int32_t kNotFound = ZYEMU_STATUS_NOT_FOUND;

// A type other than the resource's is no match.
TEST(SessionLookup, RegistersAndFifosOfTheBitfileAreFoundByNameAndType) {
    zyemu_reset();
    uint32_t session = 0, offset = 0, number = 0, implementation = 0, elements = 0;
    ASSERT_EQ(ZyFpgaDll_Open(ZY_SAMPLE_BITFILE, nullptr, ZYEMU_RESOURCE_DEFAULT,
                             ZYFPGA_OPEN_ATTRIBUTE_LIBRARY, &session),
              0);
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session, "Gain & Offset", 10, &offset), 0);
    EXPECT_EQ(offset, 0x8024u);
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session, "Gain & Offset", 7, &offset), kNotFound);

    EXPECT_EQ(ZyFpgaDll_FindFifoPrivate(session, "Peer Input", ZYFPGA_ANY_TYPE, &number,
                                        &implementation, &elements),
              0);
    EXPECT_EQ(std::make_tuple(number, implementation, elements), std::make_tuple(2u, 2u, 1023u));
    EXPECT_EQ(
        ZyFpgaDll_FindFifoPrivate(session, "AI Samples", 4, &number, &implementation, &elements),
        0);
    EXPECT_EQ(number, 0u);
    EXPECT_EQ(
        ZyFpgaDll_FindFifoPrivate(session, "AI Samples", 9, &number, &implementation, &elements),
        kNotFound);
    EXPECT_EQ(ZyFpgaDll_Close(session, 0), 0);
    zyemu_reset();
}

}  // namespace
