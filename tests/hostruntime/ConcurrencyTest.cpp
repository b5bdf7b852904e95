// The process-wide state of the host-runtime sessions under concurrent first use: the loader
// of the graphical host's FPGA library and the registration of synchronisation references.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sessions/HostRuntime.h"
#include "support/EmulatorFixture.h"
#include "zyemu/registry.h"

namespace {

using namespace zytest;

template <class Function>
Function hostSymbol(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

class HostConcurrencyTest : public EmulatorTest {
protected:
    template <class Body>
    static void onThreads(int count, Body&& body) {
        std::vector<std::thread> threads;
        for (int i = 0; i < count; ++i) threads.emplace_back([&body, i] { body(i); });
        for (std::thread& thread : threads) thread.join();
    }
};

// Each test runs in its own process, so the loader starts out not done here.
TEST_F(HostConcurrencyTest, ConcurrentFirstOpensRunTheLoaderOnceAndHandOverTheTlsIndex) {
    SetWBRTTLSIndexHook(0x2A);
    constexpr int kThreads = 8;
    std::vector<uint32_t> sessions(kThreads, 0);
    std::vector<int32_t> statuses(kThreads, 1);
    onThreads(kThreads, [&](int i) {
        statuses[i] = zyOstrel_WbOpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &sessions[i]);
    });
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

// Sessions of one instrument share its stored reference: however the threads interleave,
// each instrument is registered once and every thread gets its instrument's key.
TEST_F(HostConcurrencyTest, ReferencesRequestedFromManyThreadsRegisterEachInstrumentOnce) {
    constexpr int kInstruments = 4;
    constexpr int kThreads = 12;
    ASSERT_EQ(zyemu_add_resource("ostrel3"), 0);
    std::vector<uint32_t> sessions(kThreads, 0);
    for (int i = 0; i < kThreads; ++i) {
        const std::string resource = "ostrel" + std::to_string(i % kInstruments);
        ASSERT_STATUS(0, zyOstrel_OpenSession(resource.c_str(), nullptr, 0, &sessions[i]), 0);
    }
    const size_t before = zyajel_registration_total();
    std::vector<uint32_t> keys(kThreads, 0);
    std::vector<int32_t> statuses(kThreads, 1);
    onThreads(kThreads,
              [&](int i) { statuses[i] = zyOstrel_GetSessionReference(sessions[i], &keys[i]); });

    EXPECT_EQ(zyajel_registration_total(), before + kInstruments);
    std::set<uint32_t> distinct;
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(statuses[i], 0) << "thread " << i;
        EXPECT_NE(keys[i], 0u);
        EXPECT_EQ(keys[i], keys[i % kInstruments]) << "thread " << i;
        ZyAjelTablePair pairs[ZYAJEL_TABLE_COUNT];
        EXPECT_EQ(zyajel_find(keys[i], pairs), 0) << "thread " << i;
        distinct.insert(keys[i]);
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kInstruments));
    for (uint32_t session : sessions) EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0), session);
}

}  // namespace
