#pragma once
// The node base of the two top nodes: a name, parameter items, slave nodes and commands.

#include <memory>
#include <string>
#include <vector>

#include "model/config_tree.h"
#include "model/item_list.h"
#include "model/modbus_command.h"
#include "model/owned_list.h"
#include "model/slave_node.h"

using SlaveList = OwnedList<CSlaveNode>;

class CConfigNode {
public:
    explicit CConfigNode(std::string name) : m_name(std::move(name)) {}
    virtual ~CConfigNode() = default;
    CConfigNode(const CConfigNode&) = delete;
    CConfigNode& operator=(const CConfigNode&) = delete;

    // Commands hung directly under the node ("Bus Command"); the top nodes keep none.
    CModbusCommand* AddCommand(int functionIndex);
    int AttachCommand(std::unique_ptr<CModbusCommand> command);
    // Creates a slave node named "Node(%d)" from the node count plus 1 and appends it.
    CSlaveNode* AddNode();
    int AttachNode(std::unique_ptr<CSlaveNode> node);
    // Take the object out of its list and free it; 1, or 0 when given none.
    int RemoveCommand(const CModbusCommand* command);
    int RemoveNode(const CSlaveNode* node);
    void RemoveAllCommands() { m_commands.clear(); }
    void RemoveAllNodes() { m_nodes.clear(); }
    int GetCommandCount() const { return static_cast<int>(m_commands.size()); }
    int GetNodeCount() const { return static_cast<int>(m_nodes.size()); }
    CModbusCommand* GetCommandAt(int position) const { return gw::OwnedAt(m_commands, position); }
    CSlaveNode* GetNodeAt(int position) const { return gw::OwnedAt(m_nodes, position); }
    const CommandList& Commands() const { return m_commands; }
    const SlaveList& Nodes() const { return m_nodes; }

    // The item shown in a row; none past the end.
    virtual CParamItem* GetItemAt(int row) const { return gw::ItemAt(m_items, row); }
    // Number of rows the node shows in the grid.
    virtual int GetRowCount() const { return static_cast<int>(m_items.size()); }
    std::string GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    // Inserts the node's slave nodes (with their commands) and its own commands under parent.
    virtual void BuildTree(TreeEntries& children);
    // Writes the item list into the grid, row r showing item r; returns the rows written.
    virtual int ShowItems(CGridSink* grid) const { return gw::ShowItemList(m_items, grid); }
    void AppendItem(std::unique_ptr<CParamItem> item) { gw::AppendOwned(m_items, std::move(item)); }
    virtual int GetMode() const { return m_mode; }
    virtual void SetMode(int mode) { m_mode = mode; }

    int GetChoiceIndex(int row) const { return gw::ChoiceIndexOf(GetItemAt(row)); }
    int GetIntValue(int row) const { return gw::IntValueOf(GetItemAt(row)); }
    int SetChoice(int row, int index) { return gw::SetChoiceOf(GetItemAt(row), index); }
    int SetIntValue(int row, int number) { return gw::SetIntValueOf(GetItemAt(row), number); }

    // Back to the empty state: mode 0, no slave nodes, no commands; the items stay.
    virtual void Reset();

    // Exchanges everything but the name with another node of the same kind.
    virtual void SwapContents(CConfigNode& other);

    // The base item list, for the file layer, which replaces it wholesale.
    ItemList& ItemListRef() { return m_items; }
    const ItemList& Items() const { return m_items; }

private:
    CommandList m_commands;
    SlaveList m_nodes;
    ItemList m_items;
    std::string m_name;
    int m_mode = 0;
};
