// Automatic mapping and the download's mapping check on a full slave node: 48 commands of
// mixed function codes.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "bench_config.h"
#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/modbus_command.h"

namespace {

using bench::MakeFullConfig;

void BM_AutoMapAndCheck(benchmark::State& state)
{
    auto root = MakeFullConfig();
    for (auto _ : state) {
        const AutoMapResult mapped = gw::AutoMap(*root);
        UsageMap map;
        gw::BuildUsageMap(root->Subnet(), map);
        const ResultCode code = gw::CheckMapping(map);
        benchmark::DoNotOptimize(mapped.result);
        benchmark::DoNotOptimize(code);
    }
    if (gw::CheckMapping(*root) != RESULT_OK)
        state.SkipWithError("the automatic mapping left a fault");
    state.SetItemsProcessed(state.iterations() * kMaxCommandsPerSlave);
}
BENCHMARK(BM_AutoMapAndCheck);

} // namespace
