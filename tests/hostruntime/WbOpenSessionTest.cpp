// Sessions opened through the graphical host's FPGA library, loaded once on first use.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "sessions/HostRuntime.h"
#include "support/EmulatorFixture.h"

namespace {

using namespace zytest;

template <class Function>
Function hostSymbol(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

class WbOpenSessionTest : public EmulatorTest {};

// Each test runs in its own process, so the loader starts out not done here.
TEST_F(WbOpenSessionTest, ConcurrentFirstOpensRunTheLoaderOnceAndHandOverTheTlsIndex) {
    SetWBRTTLSIndexHook(0x2A);
    constexpr int kThreads = 8;
    std::vector<uint32_t> sessions(kThreads, 0);
    std::vector<int32_t> statuses(kThreads, 1);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            statuses[i] = zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &sessions[i]);
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int i = 0; i < kThreads; ++i) EXPECT_EQ(statuses[i], 0) << "thread " << i;
    EXPECT_EQ(zyostrel::sessions::hostRuntimeLoaderRuns(), 1u);

    auto tlsIndex = hostSymbol<uint32_t (*)()>("zyfpgawb_tls_index");
    auto opens = hostSymbol<size_t (*)()>("zyfpgawb_open_count");
    ASSERT_NE(tlsIndex, nullptr) << "the host library is not loaded";
    ASSERT_NE(opens, nullptr);
    EXPECT_EQ(tlsIndex(), 0x2Au);
    EXPECT_EQ(opens(), static_cast<size_t>(kThreads));
    for (uint32_t session : sessions) EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
}

TEST_F(WbOpenSessionTest, OpensWithTheImageSelectionOfAnOrdinaryOpen) {
    uint32_t session = 0;
    ASSERT_STATUS(0, zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session));
    const ZyEmuCall open = callsOf(ZYEMU_ENTRY_OPEN).back();
    EXPECT_EQ(open.word, 0xC0000000u) << "stored default image";
    EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
    // A later open reuses the loaded library.
    ASSERT_STATUS(0, zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session));
    EXPECT_EQ(zyostrel::sessions::hostRuntimeLoaderRuns(), 1u);
    EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
    EXPECT_NE(zyOstrel_WbOpenSession("nosuchresource", nullptr, 0, &session), 0);
}

}  // namespace
