#include "file/command_clipboard.h"

#include "model/config_copy.h"
#include "model/device_config.h"

FileResult gw::WriteCommandsText(const std::vector<const CModbusCommand*>& commands, std::string* text)
{
    CDeviceConfig carrier;
    CSlaveNode* slave = carrier.Subnet().AddNode();
    for (const CModbusCommand* command : commands)
        slave->AttachCommand(CopyCommand(*command));
    return WriteConfigText(carrier, text);
}

FileResult gw::ReadCommandsText(std::string text, std::vector<std::unique_ptr<CModbusCommand>>* commands)
{
    CDeviceConfig carrier;
    FileResult result = ReadConfigText(carrier, std::move(text), "the clipboard");
    if (!result.ok)
        return result;
    if (const CSlaveNode* slave = carrier.Subnet().GetNodeAt(0)) {
        for (const auto& command : slave->Commands())
            commands->push_back(CopyCommand(*command));
    }
    return result;
}
