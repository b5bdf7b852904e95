// A DSP reset of one, two and five emulated sessions, and the share of it the library spends
// polling the state registers. The program stands between the library and the runtime for
// the state reads, timing each one before handing it on.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "channel/FpgaRuntime.h"
#include "zyemu/control.h"
#include "zyostrelapi.h"

namespace {

using Clock = std::chrono::steady_clock;

struct PollTally {
    uint64_t reads = 0;
    Clock::duration spent{};
} tally;

using ReadU8 = int32_t (*)(uint32_t, uint32_t, uint8_t*);

ReadU8 runtimeReadU8() {
    static const auto next = reinterpret_cast<ReadU8>(dlsym(RTLD_NEXT, "ZyFpgaDll_ReadU8"));
    return next;
}

}  // namespace

// Takes the library's state reads; the benchmark runs on one thread, so the tally needs no
// lock.
extern "C" int32_t ZyFpgaDll_ReadU8(uint32_t session, uint32_t offset, uint8_t* value) {
    const Clock::time_point start = Clock::now();
    const int32_t status = runtimeReadU8()(session, offset, value);
    tally.spent += Clock::now() - start;
    ++tally.reads;
    return status;
}

namespace {

// One session on each of count instruments, the ready-made ones first.
std::vector<uint32_t> openSessions(int count) {
    std::vector<uint32_t> sessions;
    for (int i = 0; i < count; ++i) {
        const std::string resource = "ostrel" + std::to_string(i);
        if (i >= 3) zyemu_add_resource(resource.c_str());
        uint32_t session = 0;
        if (zyOstrel_OpenSession(resource.c_str(), nullptr, 0, &session) != 0) return {};
        sessions.push_back(session);
    }
    return sessions;
}

void ResetDsp(benchmark::State& state) {
    zyemu_reset();
    // The emulator's call log is a test aid: it only counts here.
    zyemu_set_log_limit(0, 0);
    const std::vector<uint32_t> sessions = openSessions(static_cast<int>(state.range(0)));
    if (sessions.empty() || runtimeReadU8() == nullptr) {
        state.SkipWithError("no sessions, or the runtime's state read not found");
        return;
    }
    tally = PollTally{};
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        if (zyOstrel_ResetDspSynchronously(sessions.data(), sessions.size(), 0, 0, nullptr) != 0) {
            state.SkipWithError("the reset failed");
            break;
        }
    }
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    const double polling = std::chrono::duration<double>(tally.spent).count();
    const auto resets = static_cast<double>(state.iterations());
    state.counters["polls"] = static_cast<double>(tally.reads) / resets;
    state.counters["poll_us"] = polling * 1e6 / resets;
    state.counters["poll_share"] = total > 0 ? polling / total : 0;
    for (uint32_t session : sessions) zyOstrel_CloseSession(session, 0);
}

BENCHMARK(ResetDsp)->Arg(1)->Arg(2)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
