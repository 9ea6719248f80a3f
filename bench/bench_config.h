#pragma once
// The configuration the benchmarks work on: one slave node with 48 commands of every supported
// function code in turn, filled so that all of them fit into the two memory areas.

#include <array>
#include <memory>
#include <string>

#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/modbus_command.h"

namespace bench {

inline void SetRow(CModbusCommand& command, int row, const std::string& value)
{
    if (CParamItem* item = command.GetItemAt(row))
        item->value = value;
}

// Fills the configuration's subnet with a slave node and 48 commands.
inline void Fill48Commands(CDeviceConfig& root)
{
    // The functions of codes 1, 2, 3, 4, 5, 6, 15 and 16, with small counts.
    constexpr std::array<int, 8> kIndexes = {FUNCTION_READ_COIL_STATUS,       FUNCTION_READ_INPUT_STATUS,
                                             FUNCTION_READ_HOLDING_REGISTER,  FUNCTION_READ_INPUT_REGISTER,
                                             FUNCTION_FORCE_SINGLE_COIL,      FUNCTION_PRESET_SINGLE_REGISTER,
                                             FUNCTION_FORCE_MULTIPLE_COILS,   FUNCTION_PRESET_MULTIPLE_REGISTERS};
    constexpr std::array<const char*, 8> kCounts = {"10", "7", "3", "2", "1", "1", "13", "4"};
    CSlaveNode* slave = gw::AddSlaveNode(root, TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet()));
    for (int i = 0; i < kMaxCommandsPerSlave; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % kIndexes.size();
        CModbusCommand* command = gw::AddCommandTo(slave, kIndexes[k]).command;
        SetRow(*command, CMD_ROW_START_ADDRESS, std::to_string(100 + i));
        SetRow(*command, CMD_ROW_DATA_COUNT, kCounts[k]);
        SetRow(*command, CMD_ROW_MNEMONIC, "pump " + std::to_string(i + 1));
        if (gw::IsBitFunctionIndex(kIndexes[k]))
            SetRow(*command, CMD_ROW_MAP_BIT, std::to_string(i % 8));
    }
}

inline std::unique_ptr<CDeviceConfig> MakeFullConfig()
{
    auto root = std::make_unique<CDeviceConfig>();
    Fill48Commands(*root);
    return root;
}

} // namespace bench
