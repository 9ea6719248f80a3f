#include "model/config_node.h"

#include <algorithm>

CModbusCommand* CConfigNode::AddCommand(int functionIndex)
{
    m_commands.push_back(std::make_unique<CModbusCommand>("Bus Command", functionIndex));
    return m_commands.back().get();
}

int CConfigNode::AttachCommand(std::unique_ptr<CModbusCommand> command)
{
    return gw::AppendOwned(m_commands, std::move(command));
}

CSlaveNode* CConfigNode::AddNode()
{
    m_nodes.push_back(std::make_unique<CSlaveNode>("Node(" + std::to_string(GetNodeCount() + 1) + ")"));
    return m_nodes.back().get();
}

int CConfigNode::AttachNode(std::unique_ptr<CSlaveNode> node)
{
    return gw::AppendOwned(m_nodes, std::move(node));
}

int CConfigNode::RemoveCommand(const CModbusCommand* command)
{
    return gw::RemoveOwned(m_commands, command);
}

int CConfigNode::RemoveNode(const CSlaveNode* node)
{
    return gw::RemoveOwned(m_nodes, node);
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
