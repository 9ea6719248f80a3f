#pragma once
// Helpers shared by the mapping tests: configurations built from rows of command values.
// Values are stored straight into the items, as a configuration file may bring them, so that
// texts the property grid would refuse reach the mapping too.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/modbus_command.h"

namespace mapping_test {

struct CmdSpec {
    int code = 3;                 // Modbus function code; 7 stands for a code the module does not know
    std::string count = "1";      // "Number of Data"
    std::string bit = "0";        // "Mapping Bit(0-7)"
    std::string address = "";     // "Mapping Address(HEX)"
};

inline void SetValue(CModbusCommand& command, int row, const std::string& value)
{
    CParamItem* item = command.GetItemAt(row);
    ASSERT_NE(item, nullptr) << "row " << row;
    item->value = value;
}

inline std::string ValueOf(const CModbusCommand& command, int row)
{
    const CParamItem* item = command.GetItemAt(row);
    return item ? item->value : "<no item>";
}

// Appends a command with the row's values; the starting address is filled so that the
// configuration passes the empty check.
inline CModbusCommand* AddCmd(CSlaveNode& slave, const CmdSpec& spec)
{
    const int code = spec.code == 7 ? 16 : spec.code;
    int index = kUnknownFunctionIndex;
    GetFunctionByCode(code, &index);
    const AddCommandResult added = AddCommandTo(&slave, index);
    EXPECT_NE(added.command, nullptr) << "code " << spec.code;
    if (!added.command)
        return nullptr;
    CModbusCommand& command = *added.command;
    if (spec.code == 7)
        SetValue(command, CMD_ROW_FUNCTION_CODE, "7");
    SetValue(command, CMD_ROW_START_ADDRESS, "1");
    SetValue(command, CMD_ROW_DATA_COUNT, spec.count);
    SetValue(command, CMD_ROW_MAP_BIT, spec.bit);
    SetValue(command, CMD_ROW_MAP_ADDRESS, spec.address);
    return &command;
}

// A configuration in Modbus Master mode with one slave node holding the commands.
inline std::unique_ptr<CDeviceConfig> MakeConfig(const std::vector<CmdSpec>& commands)
{
    auto root = std::make_unique<CDeviceConfig>();
    CSubnetNode& subnet = root->Subnet();
    CSlaveNode* slave = AddSlaveNode(*root, TreeRecord::ForNode(RECORD_SUBNET, &subnet));
    EXPECT_NE(slave, nullptr);
    if (slave) {
        for (const CmdSpec& spec : commands)
            AddCmd(*slave, spec);
    }
    return root;
}

// A further slave node, attached the way a file brings one (the tree offers only one).
inline CSlaveNode& AttachSlave(CDeviceConfig& root, const std::vector<CmdSpec>& commands, const std::string& address)
{
    auto node = std::make_unique<CSlaveNode>(SlaveNodeName(address));
    CSlaveNode* slave = node.get();
    if (CParamItem* item = slave->GetItemAt(SLAVE_ROW_ADDRESS))
        item->value = address;
    root.Subnet().AttachNode(std::move(node));
    for (const CmdSpec& spec : commands)
        AddCmd(*slave, spec);
    return *slave;
}

inline CSlaveNode& FirstSlave(CDeviceConfig& root)
{
    return *root.Subnet().GetNodeAt(0);
}

} // namespace mapping_test
