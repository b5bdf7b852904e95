// The huge-page advice for large buffers: which span is advised, and that advice never
// disturbs the buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/LargeBuffer.h"

namespace zyostrel::platform {
namespace {

constexpr uintptr_t kPage = kHugePageBytes;

// Only whole huge pages inside a large buffer are advised; small buffers and ranges that
// wrap around the address space get an empty span.
TEST(HugePageSpanTest, WholePagesInsideALargeBufferOnly) {
    const HugePageSpan small = hugePageSpan(16 * kPage, kLargeBufferBytes - 1);
    EXPECT_EQ(small.first, small.last);
    const HugePageSpan aligned = hugePageSpan(16 * kPage, kLargeBufferBytes);
    EXPECT_EQ(aligned.first, 16 * kPage);
    EXPECT_EQ(aligned.last, 16 * kPage + kLargeBufferBytes);
    const HugePageSpan ragged = hugePageSpan(16 * kPage + 4096, kLargeBufferBytes + 3 * 4096);
    EXPECT_EQ(ragged.first, 17 * kPage);
    EXPECT_EQ(ragged.last, 16 * kPage + kLargeBufferBytes);
    const HugePageSpan top = hugePageSpan(UINTPTR_MAX - kLargeBufferBytes, kLargeBufferBytes);
    EXPECT_LT(top.first, top.last);  // ends exactly at the top: still a buffer
    EXPECT_EQ(hugePageSpan(UINTPTR_MAX - 4096, kLargeBufferBytes).last, 0u);
    EXPECT_EQ(hugePageSpan(UINTPTR_MAX - kLargeBufferBytes + 1, kLargeBufferBytes).last, 0u);
}

TEST(ReserveLargeTest, ContentsAndCapacitySurviveTheAdvice) {
    std::vector<uint8_t> buffer(100, 0x5A);
    reserveLarge(buffer, kLargeBufferBytes + 12345);
    EXPECT_GE(buffer.capacity(), kLargeBufferBytes + 12345);
    ASSERT_EQ(buffer.size(), 100u);
    EXPECT_EQ(buffer.front(), 0x5A);
    EXPECT_EQ(buffer.back(), 0x5A);
    buffer.resize(buffer.capacity(), 0xC3);
    EXPECT_EQ(buffer[kLargeBufferBytes], 0xC3);
    adviseHugePages(nullptr, kLargeBufferBytes);  // nothing to advise
}

}  // namespace
}  // namespace zyostrel::platform
