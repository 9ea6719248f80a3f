#include "model/config_copy.h"

#include <algorithm>

namespace {

std::unique_ptr<CSlaveNode> CopySlave(const CSlaveNode& from)
{
    auto copy = CSlaveNode::MakeEmpty(from.GetName());
    for (const auto& item : from.Items())
        copy->AppendItem(std::make_unique<CParamItem>(*item));
    for (const auto& command : from.Commands())
        copy->AttachCommand(gw::CopyCommand(*command));
    return copy;
}

void CopyNode(const CConfigNode& from, CConfigNode& to)
{
    to.RemoveAllNodes();
    to.RemoveAllCommands();
    to.ItemListRef() = gw::CopyItemList(from.Items());
    for (const auto& slave : from.Nodes())
        to.AttachNode(CopySlave(*slave));
    for (const auto& command : from.Commands())
        to.AttachCommand(gw::CopyCommand(*command));
}

} // namespace

std::unique_ptr<CModbusCommand> gw::CopyCommand(const CModbusCommand& from)
{
    auto copy = CModbusCommand::MakeEmpty(from.GetName(), from.GetCommandType());
    for (const auto& item : from.Items())
        copy->AppendItem(std::make_unique<CParamItem>(*item));
    return copy;
}

ItemList gw::CopyItemList(const ItemList& list)
{
    ItemList copy;
    copy.reserve(list.size());
    for (const auto& item : list)
        copy.push_back(std::make_unique<CParamItem>(*item));
    return copy;
}

void gw::CopyConfiguration(const CDeviceConfig& from, CDeviceConfig& to)
{
    if (&from == &to)
        return;
    const CSubnetNode& subnet = from.Subnet();
    CopyNode(subnet, to.Subnet());
    to.Subnet().MasterModeItems() = gw::CopyItemList(subnet.MasterModeItems());
    to.Subnet().CommonModeItems() = gw::CopyItemList(subnet.CommonModeItems());
    to.Subnet().SetModeField(subnet.GetMode());
    CopyNode(from.Bus(), to.Bus());
    to.Bus().SetMode(from.Bus().GetMode());
}

namespace {

bool SameItems(const ItemList& a, const ItemList& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x->label == y->label && x->help == y->help && x->value == y->value && x->state == y->state &&
               x->enable == y->enable && x->choices == y->choices;
    });
}

bool SameCommands(const CommandList& a, const CommandList& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x->GetName() == y->GetName() && x->GetCommandType() == y->GetCommandType() &&
               SameItems(x->Items(), y->Items());
    });
}

bool SameNode(const CConfigNode& a, const CConfigNode& b)
{
    const bool slaves = std::equal(a.Nodes().begin(), a.Nodes().end(), b.Nodes().begin(), b.Nodes().end(),
                                   [](const auto& x, const auto& y) {
                                       return x->GetName() == y->GetName() && SameItems(x->Items(), y->Items()) &&
                                              SameCommands(x->Commands(), y->Commands());
                                   });
    return slaves && a.GetMode() == b.GetMode() && SameItems(a.Items(), b.Items()) &&
           SameCommands(a.Commands(), b.Commands());
}

} // namespace

bool gw::SameConfiguration(const CDeviceConfig& a, const CDeviceConfig& b)
{
    return SameNode(a.Subnet(), b.Subnet()) && SameNode(a.Bus(), b.Bus()) &&
           SameItems(a.Subnet().MasterModeItems(), b.Subnet().MasterModeItems()) &&
           SameItems(a.Subnet().CommonModeItems(), b.Subnet().CommonModeItems());
}
