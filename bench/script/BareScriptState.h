// The floor under every script-translated description: a bare Lua state that opens the
// translator's libraries and compiles its embedded scripts, with nothing run. A description
// request can be measured against it in the same binary.
#pragma once

#include <benchmark/benchmark.h>

namespace zybench {

// Creates and closes one bare state per iteration.
void benchmarkBareScriptState(benchmark::State& state);

}  // namespace zybench
