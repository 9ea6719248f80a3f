#pragma once
// Configurations for the dialog tests and the screenshots.

#include <memory>
#include <sstream>
#include <string>

#include "file/config_file.h"
#include "mapping/auto_map.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/modbus_command.h"
#include "model/slave_node.h"

namespace dialog_test {

// A command of a Modbus function code placed by hand.
inline CModbusCommand* AddPlacedCommand(CSlaveNode& slave, int code, const std::string& mapAddress, int mapBit,
                                        int dataCount)
{
    int index = kUnknownFunctionIndex;
    GetFunctionByCode(code, &index);
    CModbusCommand* command = AddCommandTo(&slave, index).command;
    if (!command)
        return nullptr;
    command->GetItemAt(CMD_ROW_MAP_ADDRESS)->value = mapAddress;
    command->GetItemAt(CMD_ROW_MAP_BIT)->value = std::to_string(mapBit);
    if (code != 5 && code != 6)
        command->GetItemAt(CMD_ROW_DATA_COUNT)->value = std::to_string(dataCount);
    return command;
}

// The subnet's slave node (added when there is none yet), with the given address.
inline CSlaveNode& SlaveOf(CDeviceConfig& root, int address = 17)
{
    CSubnetNode& subnet = root.Subnet();
    CSlaveNode* slave = subnet.GetNodeAt(0);
    if (!slave)
        slave = AddSlaveNode(root, TreeRecord::ForNode(RECORD_SUBNET, &subnet));
    slave->GetItemAt(SLAVE_ROW_ADDRESS)->value = std::to_string(address);
    slave->SetName(SlaveNodeName(std::to_string(address)));
    return *slave;
}

// count commands of every supported code in turn, filled and mapped end to end.
inline std::unique_ptr<CDeviceConfig> MakeMappedConfig(int count)
{
    auto root = std::make_unique<CDeviceConfig>();
    root->Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "1500";
    CSlaveNode& slave = SlaveOf(*root);
    static const int kCodes[] = {1, 2, 3, 4, 5, 6, 15, 16};
    for (int i = 0; i < count; ++i) {
        const int code = kCodes[i % 8];
        CModbusCommand* command = AddPlacedCommand(slave, code, "0000H", 0, 1 + i % 3);
        if (!command)
            break;
        command->GetItemAt(CMD_ROW_START_ADDRESS)->value = std::to_string(100 * i + 7);
    }
    AutoMap(*root);
    return root;
}

// The whole configuration as its file text without the time it was written: equal texts mean
// nothing in the model changed.
inline std::string ModelText(const CDeviceConfig& root)
{
    std::string text;
    if (!WriteConfigText(root, &text).ok)
        return "<cannot write>";
    std::istringstream lines(text);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("<DateTime ") == std::string::npos)
            kept += line + '\n';
    }
    return kept;
}

} // namespace dialog_test
