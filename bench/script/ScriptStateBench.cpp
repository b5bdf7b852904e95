// Cost of the script translator's state against the bare state it is built on.
#include <benchmark/benchmark.h>

#include "BareScriptState.h"
#include "status/Status.h"
#include "status/TranslatorData.h"
#include "translator/ScriptXlator.h"

namespace {

constexpr const char* kRegistration =
    R"({"zyxlatorlua_xlator":"mxlator","zyxlatorlua_settings":{"driverName":"zyostrelapi",)"
    R"("zySharedErrorsDir":"$_zyShared32Dir/errors","MIErrorsDir":"$_zyShared32Dir/mierrors"}})";

BENCHMARK(zybench::benchmarkBareScriptState)
    ->Name("BareScriptState")
    ->Unit(benchmark::kMicrosecond);

// What one description request costs the script side: a translator made, one report of an
// elaboration with two usage items, the translator destroyed.
void ScriptXlatorDynamicDesc(benchmark::State& state) {
    zyerr::Status elaboration;
    zyerr::ElaborationCursor cursor =
        zyerr::openTranslatorData(elaboration, zyerr::kLibraryTranslator);
    cursor = zyerr::addUsageItem(cursor, "kUsageTypeSessionIndex", 1);
    zyerr::addUsageItem(cursor, "kUsageTypeAttributeId", 0x1000000B);
    const char* json = zyerr::elaborationText(elaboration);
    for (auto _ : state) {
        zyerr::Status status;
        zyxlator::Xlator* xlator =
            zyxlator::createScriptXlator("mxlator_zyostrelapi", kRegistration, &status);
        if (xlator == nullptr) {
            state.SkipWithError(zyerr::elaborationText(status));
            break;
        }
        char* report = xlator->getDynamicDesc(xlator, json, 0, "json1",
                                              &zyxlator::translatorRealloc, nullptr, &status);
        benchmark::DoNotOptimize(report);
        zyxlator::translatorRealloc(report, 0, nullptr, nullptr);
        xlator->destroy(xlator);
    }
}
BENCHMARK(ScriptXlatorDynamicDesc)->Unit(benchmark::kMicrosecond);

}  // namespace
