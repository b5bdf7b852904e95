// The graphical host's DSP reset: a failure's description in the host's error text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DspResetSupport.h"
#include "support/HostBlock.h"

namespace {

std::vector<std::unique_ptr<zytest::Block>> hostBlocks;

}  // namespace

// The host's memory manager, as far as the description writer needs it.
extern "C" {

ZyHostHandle DSNewHandle(size_t size) {
    hostBlocks.push_back(std::make_unique<zytest::Block>());
    hostBlocks.back()->resize(size);
    return &hostBlocks.back()->data;
}

int32_t DSGetHandleSize(ZyHostHandle handle) {
    return static_cast<int32_t>(zytest::blockOf(handle)->store.size() - 1);
}

int32_t DSSetHandleSize(ZyHostHandle handle, size_t size) {
    zytest::blockOf(handle)->resize(size);
    return 0;
}

int32_t NumericArrayResize(int32_t, int32_t, ZyHostHandle* handle, size_t count) {
    zytest::blockOf(*handle)->resize(4 + count);
    return 0;
}

}  // extern "C"

namespace {

using namespace zytest;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string hostText(ZyHostHandle handle) {
    int32_t length = 0;
    std::memcpy(&length, *handle, sizeof length);
    return std::string(reinterpret_cast<const char*>(*handle) + 4, static_cast<size_t>(length));
}

TEST_F(DspResetTest, HostVariantDescribesOnlyAFailure) {
    openSessions(2);
    ZyHostHandle text = nullptr;
    ASSERT_EQ(zyOstrel_WbResetDspSynchronously(sessions.data(), 2, 0, &text), 0);
    EXPECT_EQ(text, nullptr);

    ASSERT_EQ(zyemu_hold_dsp_reset_state(sessions[1], 0, 3), 0);
    EXPECT_EQ(zyOstrel_WbResetDspSynchronously(sessions.data(), 2, 0, &text),
              ZYOSTREL_Status_DspResetTimeout);
    ASSERT_NE(text, nullptr);
    EXPECT_THAT(hostText(text), StartsWith("\n"));
    EXPECT_THAT(hostText(text), HasSubstr(sessionIndexLine(1)));
    expectLeftIdle();
}

}  // namespace
