#include "model/device_config.h"

int CDeviceConfigBase::GetCommandCount() const
{
    int count = 0;
    for (const auto& node : m_topNodes) {
        count += node->GetCommandCount();
        for (const auto& slave : node->Nodes())
            count += slave->GetCommandCount();
    }
    return count;
}

int CDeviceConfig::GetCommandCount() const
{
    const CSlaveNode* first = m_subnet.GetNodeAt(0);
    return first ? first->GetCommandCount() : 0;
}

void CDeviceConfig::ResetAll()
{
    m_subnet.Reset();
    m_bus.Reset();
}

void CDeviceConfig::RemakeInActiveLanguage()
{
    CDeviceConfig fresh;
    TakeContentsFrom(fresh);
    m_subnet.SetName(fresh.m_subnet.GetName());
    m_bus.SetName(fresh.m_bus.GetName());
}

TreeEntries CDeviceConfig::BuildTree()
{
    TreeEntries top;
    top.push_back({m_bus.GetName(), IMAGE_TOP_NODE, TreeRecord::ForNode(RECORD_FIELDBUS, &m_bus), {}});
    top.push_back({m_subnet.GetName(), IMAGE_TOP_NODE, TreeRecord::ForNode(RECORD_SUBNET, &m_subnet), {}});
    m_bus.BuildTree(top[0].children);
    m_subnet.BuildTree(top[1].children);
    return top;
}

void CDeviceConfig::TakeContentsFrom(CDeviceConfig& other)
{
    m_subnet.SwapContents(other.m_subnet);
    m_bus.SwapContents(other.m_bus);
}
