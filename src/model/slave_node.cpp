#include "model/slave_node.h"

#include <algorithm>

#include "model/lang_strings.h"

std::string gw::SlaveNodeName(const std::string& addressText)
{
    return "Node(" + addressText + ")";
}

CSlaveNode::CSlaveNode(std::string name) : m_name(std::move(name))
{
    AppendItem(gw::MakeItem({.label = gw::GetLangString(SlaveText::Address), .help = gw::GetLangString(SlaveText::AddressHelp),
                         .value = "1", .state = STATE_TEXT, .enable = 1}));
}

std::unique_ptr<CSlaveNode> CSlaveNode::MakeEmpty(std::string name)
{
    return std::unique_ptr<CSlaveNode>(new CSlaveNode(std::move(name), NoItems{}));
}

CModbusCommand* CSlaveNode::AddCommand(int functionIndex)
{
    std::string name;
    int supported = 0;
    const int code = gw::GetFunctionInfo(functionIndex, &supported, &name);
    if (code < 0 || !supported)
        return nullptr;
    m_commands.push_back(std::make_unique<CModbusCommand>(std::move(name), functionIndex));
    return m_commands.back().get();
}

int CSlaveNode::AttachCommand(std::unique_ptr<CModbusCommand> command)
{
    if (!command || !gw::IsSupportedFunctionIndex(command->GetCommandType()))
        return 0;
    return gw::AppendOwned(m_commands, std::move(command));
}

int CSlaveNode::InsertCommand(int position, std::unique_ptr<CModbusCommand> command)
{
    if (!command || !gw::IsSupportedFunctionIndex(command->GetCommandType()))
        return 0;
    const auto at = std::clamp<std::ptrdiff_t>(position, 0, static_cast<std::ptrdiff_t>(m_commands.size()));
    m_commands.insert(m_commands.begin() + at, std::move(command));
    return 1;
}

int CSlaveNode::MoveCommand(int from, int to)
{
    const int count = GetCommandCount();
    if (from < 0 || to < 0 || from >= count || to >= count)
        return 0;
    auto command = std::move(m_commands[static_cast<std::size_t>(from)]);
    m_commands.erase(m_commands.begin() + from);
    m_commands.insert(m_commands.begin() + to, std::move(command));
    return 1;
}

int CSlaveNode::RemoveCommand(const CModbusCommand* command)
{
    return gw::RemoveOwned(m_commands, command);
}

Outcome CSlaveNode::CheckEmpty() const
{
    if (const CParamItem* address = GetItemAt(SLAVE_ROW_ADDRESS); address && address->value.empty())
        return gw::Failure(gw::EmptyItemMessage(address->label), RESULT_EMPTY_ITEM);
    for (const auto& command : m_commands) {
        if (Outcome empty = command->CheckEmpty(); !empty)
            return empty;
    }
    return {};
}
