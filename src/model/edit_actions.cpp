#include "model/edit_actions.h"

#include "model/device_config.h"
#include "model/lang_strings.h"

bool gw::CanAddNode(const CDeviceConfig& root, const TreeRecord& selected)
{
    const CSubnetNode& subnet = root.Subnet();
    return selected.type == RECORD_SUBNET && subnet.GetMode() == MODE_MODBUS_MASTER && subnet.GetNodeCount() == 0;
}

bool gw::CanDeleteNode(const TreeRecord& selected)
{
    return selected.type == RECORD_SLAVE && selected.slave;
}

bool gw::CanAddCommand(const TreeRecord& selected)
{
    return selected.type == RECORD_SLAVE && selected.slave;
}

bool gw::CanDeleteCommand(const TreeRecord& selected)
{
    return selected.type == RECORD_COMMAND && selected.command;
}

CSlaveNode* gw::AddSlaveNode(CDeviceConfig& root, const TreeRecord& selected)
{
    if (!CanAddNode(root, selected))
        return nullptr;
    return root.Subnet().AddNode();
}

bool gw::DeleteSlaveNode(CDeviceConfig& root, const CSlaveNode* slave)
{
    if (!slave)
        return false;
    const int before = root.Subnet().GetNodeCount();
    root.Subnet().RemoveNode(slave);
    return root.Subnet().GetNodeCount() != before;
}

AddCommandResult gw::AddCommandTo(CSlaveNode* slave, int functionIndex)
{
    AddCommandResult result;
    if (!slave)
        return result;
    // The limit is the slave node's own: it is the node whose commands go to the module.
    if (slave->GetCommandCount() >= kMaxCommandsPerSlave) {
        result.limitReached = true;
        result.message = GetLangString(MessageText::TooManyCommands);
        return result;
    }
    result.command = slave->AddCommand(functionIndex);
    return result;
}

bool gw::DeleteCommandFrom(CSlaveNode* slave, const CModbusCommand* command)
{
    if (!slave || !command || slave->IndexOfCommand(command) < 0)
        return false;
    slave->RemoveCommand(command);
    return true;
}

InsertCommandsResult gw::InsertCommandsAt(CSlaveNode* slave, int position,
                                          std::vector<std::unique_ptr<CModbusCommand>> commands)
{
    InsertCommandsResult result;
    if (!slave)
        return result;
    if (slave->GetCommandCount() + static_cast<int>(commands.size()) > kMaxCommandsPerSlave) {
        result.limitReached = true;
        result.message = GetLangString(MessageText::TooManyCommands);
        return result;
    }
    for (auto& command : commands)
        result.inserted += slave->InsertCommand(position + result.inserted, std::move(command));
    return result;
}

bool gw::MoveCommandBy(CSlaveNode* slave, int position, int step)
{
    return slave && slave->MoveCommand(position, position + step) == 1;
}
