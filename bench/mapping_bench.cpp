// Automatic mapping and the download's mapping check on a full slave node: 48 commands of
// mixed function codes.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/modbus_command.h"

namespace {

void SetRow(CModbusCommand& command, int row, const std::string& value)
{
    if (CParamItem* item = command.GetItemAt(row))
        item->value = value;
}

std::unique_ptr<CDeviceConfig> MakeFullConfig()
{
    // Function indexes of codes 1, 2, 3, 4, 5, 6, 15 and 16, with small counts so that all
    // 48 commands fit into the two areas.
    constexpr std::array<int, 8> kIndexes = {0, 1, 2, 3, 4, 5, 12, 13};
    constexpr std::array<const char*, 8> kCounts = {"10", "7", "3", "2", "1", "1", "13", "4"};
    auto root = std::make_unique<CDeviceConfig>();
    CSubnetNode& subnet = root->Subnet();
    CSlaveNode* slave = AddSlaveNode(*root, TreeRecord::ForNode(RECORD_SUBNET, &subnet));
    for (int i = 0; i < kMaxCommandsPerSlave; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % kIndexes.size();
        CModbusCommand* command = AddCommandTo(slave, kIndexes[k]).command;
        SetRow(*command, CMD_ROW_START_ADDRESS, "1");
        SetRow(*command, CMD_ROW_DATA_COUNT, kCounts[k]);
        if (IsBitFunctionIndex(kIndexes[k]))
            SetRow(*command, CMD_ROW_MAP_BIT, std::to_string(i % 8));
    }
    return root;
}

void BM_AutoMapAndCheck(benchmark::State& state)
{
    auto root = MakeFullConfig();
    for (auto _ : state) {
        const AutoMapResult mapped = AutoMap(*root);
        UsageMap map;
        BuildUsageMap(root->Subnet(), map);
        const ResultCode code = CheckMapping(map);
        benchmark::DoNotOptimize(mapped.result);
        benchmark::DoNotOptimize(code);
    }
    if (CheckMapping(*root) != RESULT_OK)
        state.SkipWithError("the automatic mapping left a fault");
    state.SetItemsProcessed(state.iterations() * kMaxCommandsPerSlave);
}
BENCHMARK(BM_AutoMapAndCheck);

} // namespace
