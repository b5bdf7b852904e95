// Resolution of typical channel texts: the hand-written scanner against the sscanf
// reference, in one run so that the two can be compared directly.
#include <benchmark/benchmark.h>

#include "attributes/TerminalNames.h"
#include "tests/names/ReferenceNames.h"

namespace {

using zyostrel::attributes::ResolvedNames;

void resolveWithScanner(benchmark::State& state, const char* text) {
    for (auto _ : state) {
        ResolvedNames list(text, 0);
        benchmark::DoNotOptimize(zyostrel::attributes::resolveNames(list));
        benchmark::DoNotOptimize(list.names.data());
        benchmark::ClobberMemory();
    }
}

void resolveWithReference(benchmark::State& state, const char* text) {
    for (auto _ : state) {
        ResolvedNames list(text, 0);
        benchmark::DoNotOptimize(zytest::names::referenceResolveNames(list));
        benchmark::DoNotOptimize(list.names.data());
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK_CAPTURE(resolveWithScanner, AI0_AI63, "AI0-AI63");
BENCHMARK_CAPTURE(resolveWithReference, AI0_AI63, "AI0-AI63");
BENCHMARK_CAPTURE(resolveWithScanner, conn2_ai0_ai7, "conn2/ai0-ai7");
BENCHMARK_CAPTURE(resolveWithReference, conn2_ai0_ai7, "conn2/ai0-ai7");
BENCHMARK_CAPTURE(resolveWithScanner, DIO0_DIO95, "DIO0-DIO95");
BENCHMARK_CAPTURE(resolveWithReference, DIO0_DIO95, "DIO0-DIO95");
BENCHMARK_CAPTURE(resolveWithScanner, single_AI5, "AI5");
BENCHMARK_CAPTURE(resolveWithReference, single_AI5, "AI5");
