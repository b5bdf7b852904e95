// One description of a device failure, end to end, against the bare Lua state it is built on:
// the request fetches the elaboration from the emulated device and builds and closes a script
// state, so the bare state is the floor it is measured against.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "BareScriptState.h"
#include "zyostrelapi.h"

namespace {

uint32_t session = 0;
int32_t failure = 0;

// A session whose last command was refused, so the device holds an elaboration for the code.
bool provokeFailure() {
    if (zyOstrel_OpenSession("ostrel0", nullptr, 0, &session) != 0) return false;
    failure = zyOstrel_SetAttributeInt32(session, "", ZYOSTREL_Attr_StreamDataFormat, 7);
    return failure < 0;
}

void GetErrorWithDeviceElaboration(benchmark::State& state) {
    char description[4096];
    for (auto _ : state) {
        const int32_t status = zyOstrel_GetError(session, failure, sizeof description, description);
        if (status != 0) {
            state.SkipWithError("zyOstrel_GetError failed");
            break;
        }
        benchmark::DoNotOptimize(description);
    }
    state.counters["chars"] = static_cast<double>(std::strlen(description));
}

BENCHMARK(zybench::benchmarkBareScriptState)
    ->Name("BareScriptState")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(GetErrorWithDeviceElaboration)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!provokeFailure()) {
        std::fprintf(stderr, "could not provoke a device failure on ostrel0\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zyOstrel_CloseSession(session, 0);
    return 0;
}
