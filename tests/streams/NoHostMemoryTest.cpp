// Outside the graphical host its memory manager is absent: the host reads say so.
#include <gtest/gtest.h>

#include "streams/HostMemory.h"
#include "support/EmulatorFixture.h"

namespace {

using NoHostMemoryTest = zytest::SessionTest;

TEST_F(NoHostMemoryTest, HostReadsReportTheMissingMemoryManager) {
    ASSERT_FALSE(zyostrel::host::memoryManagerPresent());
    uint8_t block[64] = {};
    uint8_t* pointer = block;
    uint8_t info[80];
    EXPECT_STATUS(ZYOSTREL_Status_ResourceNotFound,
                  zyOstrel_WbReadStreamI16(session, 0, 0, 4, &pointer, info));
    EXPECT_STATUS(ZYOSTREL_Status_ResourceNotFound,
                  zyOstrel_WbReadStream2DF64(session, 0, 0, 2, 2, &pointer, &pointer));
    EXPECT_EQ(zyemu_call_count(), 0u);
    EXPECT_STATUS(0, zyOstrel_WbReadStreamF64(simulated, 0, 0, 4, &pointer, info), simulated);
}

}  // namespace
