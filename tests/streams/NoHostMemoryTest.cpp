// Outside the graphical host its memory manager is absent: the host reads say so.
#include <gtest/gtest.h>

#include "AttributeSession.h"
#include "streams/HostMemory.h"

namespace {

class NoHostMemoryTest : public zytest::SessionTest {};

TEST_F(NoHostMemoryTest, HostReadsReportTheMissingMemoryManager) {
    ASSERT_FALSE(zyostrel::host::memoryManagerPresent());
    uint8_t block[64] = {};
    uint8_t* pointer = block;
    uint8_t info[80];
    EXPECT_EQ(zyOstrel_WbReadStreamI16(session, 0, 0, 4, &pointer, info),
              ZYOSTREL_Status_ResourceNotFound);
    EXPECT_EQ(zyOstrel_WbReadStream2DF64(session, 0, 0, 2, 2, &pointer, &pointer),
              ZYOSTREL_Status_ResourceNotFound);
    EXPECT_EQ(zyemu_call_count(), 0u);
    EXPECT_EQ(zyOstrel_WbReadStreamF64(kSimulated, 0, 0, 4, &pointer, info), 0);
}

}  // namespace
