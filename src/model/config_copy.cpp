#include "model/config_copy.h"

namespace {

std::unique_ptr<CModbusCommand> CopyCommand(const CModbusCommand& from)
{
    auto copy = CModbusCommand::MakeEmpty(from.GetName(), from.GetCommandType());
    for (const auto& item : from.Items())
        copy->AppendItem(std::make_unique<CParamItem>(*item));
    return copy;
}

std::unique_ptr<CSlaveNode> CopySlave(const CSlaveNode& from)
{
    auto copy = CSlaveNode::MakeEmpty(from.GetName());
    for (const auto& item : from.Items())
        copy->AppendItem(std::make_unique<CParamItem>(*item));
    for (const auto& command : from.Commands())
        copy->AttachCommand(CopyCommand(*command));
    return copy;
}

void CopyNode(const CConfigNode& from, CConfigNode& to)
{
    to.RemoveAllNodes();
    to.RemoveAllCommands();
    to.ItemListRef() = CopyItemList(from.Items());
    for (const auto& slave : from.Nodes())
        to.AttachNode(CopySlave(*slave));
    for (const auto& command : from.Commands())
        to.AttachCommand(CopyCommand(*command));
}

} // namespace

ItemList CopyItemList(const ItemList& list)
{
    ItemList copy;
    copy.reserve(list.size());
    for (const auto& item : list)
        copy.push_back(std::make_unique<CParamItem>(*item));
    return copy;
}

void CopyConfiguration(const CDeviceConfig& from, CDeviceConfig& to)
{
    if (&from == &to)
        return;
    const CSubnetNode& subnet = from.Subnet();
    CopyNode(subnet, to.Subnet());
    to.Subnet().MasterModeItems() = CopyItemList(subnet.MasterModeItems());
    to.Subnet().CommonModeItems() = CopyItemList(subnet.CommonModeItems());
    to.Subnet().SetModeField(subnet.GetMode());
    CopyNode(from.Bus(), to.Bus());
    to.Bus().SetMode(from.Bus().GetMode());
}
