#include "model/config_node.h"

#include <algorithm>

CModbusCommand* CConfigNode::AddCommand(int functionIndex)
{
    m_commands.push_back(std::make_unique<CModbusCommand>("Bus Command", functionIndex));
    return m_commands.back().get();
}

int CConfigNode::AttachCommand(std::unique_ptr<CModbusCommand> command)
{
    if (!command)
        return 0;
    m_commands.push_back(std::move(command));
    return 1;
}

CSlaveNode* CConfigNode::AddNode()
{
    m_nodes.push_back(std::make_unique<CSlaveNode>("Node(" + std::to_string(GetNodeCount() + 1) + ")"));
    return m_nodes.back().get();
}

int CConfigNode::AttachNode(std::unique_ptr<CSlaveNode> node)
{
    if (!node)
        return 0;
    m_nodes.push_back(std::move(node));
    return 1;
}

int CConfigNode::RemoveCommand(const CModbusCommand* command)
{
    if (!command)
        return 0;
    std::erase_if(m_commands, [command](const auto& p) { return p.get() == command; });
    return 1;
}

int CConfigNode::RemoveNode(const CSlaveNode* node)
{
    if (!node)
        return 0;
    std::erase_if(m_nodes, [node](const auto& p) { return p.get() == node; });
    return 1;
}

CModbusCommand* CConfigNode::GetCommandAt(int position) const
{
    if (position < 0 || static_cast<std::size_t>(position) >= m_commands.size())
        return nullptr;
    return m_commands[static_cast<std::size_t>(position)].get();
}

CSlaveNode* CConfigNode::GetNodeAt(int position) const
{
    if (position < 0 || static_cast<std::size_t>(position) >= m_nodes.size())
        return nullptr;
    return m_nodes[static_cast<std::size_t>(position)].get();
}

void CConfigNode::BuildTree(TreeEntries& children)
{
    for (const auto& slave : m_nodes) {
        TreeEntry slaveEntry{slave->GetName(), IMAGE_SLAVE, TreeRecord::ForSlave(slave.get()), {}};
        for (const auto& command : slave->Commands())
            slaveEntry.children.push_back(
                {command->GetName(), IMAGE_COMMAND, TreeRecord::ForCommand(slave.get(), command.get()), {}});
        children.push_back(std::move(slaveEntry));
    }
    for (const auto& command : m_commands)
        children.push_back({command->GetName(), IMAGE_COMMAND, TreeRecord::ForCommand(nullptr, command.get()), {}});
}

void CConfigNode::Reset()
{
    m_mode = 0;
    m_nodes.clear();
    m_commands.clear();
}

void CConfigNode::SwapContents(CConfigNode& other)
{
    m_commands.swap(other.m_commands);
    m_nodes.swap(other.m_nodes);
    m_items.swap(other.m_items);
    std::swap(m_mode, other.m_mode);
}
