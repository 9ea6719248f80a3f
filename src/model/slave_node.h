#pragma once
// A Modbus slave device under the subnet: its address and the commands sent to it.

#include <memory>
#include <string>
#include <vector>

#include "model/item_list.h"
#include "model/modbus_command.h"
#include "model/owned_list.h"
#include "model/outcome.h"

// A slave node holds at most this many commands.
inline constexpr int kMaxCommandsPerSlave = 48;

enum SlaveRow : int { SLAVE_ROW_ADDRESS = 0 };

using CommandList = OwnedList<CModbusCommand>;

class CSlaveNode {
public:
    // Sets the name and builds the "Slave Address" item.
    explicit CSlaveNode(std::string name);
    // A node whose items will be read from elsewhere (a file): no items are built.
    static std::unique_ptr<CSlaveNode> MakeEmpty(std::string name);

    // Creates a command for a supported function index and appends it; none otherwise.
    CModbusCommand* AddCommand(int functionIndex);
    // Appends a command whose command type is a supported function index; 1 when appended,
    // 0 otherwise (the command is then dropped).
    int AttachCommand(std::unique_ptr<CModbusCommand> command);
    // Inserts a command of a supported function index before position (the end for a position
    // past it); 1 when inserted, 0 otherwise.
    int InsertCommand(int position, std::unique_ptr<CModbusCommand> command);
    // Moves the command at from to position to; 1 when both positions are in the list.
    int MoveCommand(int from, int to);
    // Takes the command out of the list and frees it; 1, or 0 when given none.
    int RemoveCommand(const CModbusCommand* command);
    CModbusCommand* GetCommandAt(int position) const { return gw::OwnedAt(m_commands, position); }
    int GetCommandCount() const { return static_cast<int>(m_commands.size()); }
    int RemoveAllCommands() { m_commands.clear(); return 1; }
    const CommandList& Commands() const { return m_commands; }
    // Position of a command in the list, -1 when it is not there.
    int IndexOfCommand(const CModbusCommand* command) const { return gw::IndexOfOwned(m_commands, command); }

    int AppendItem(std::unique_ptr<CParamItem> item) { return gw::AppendOwned(m_items, std::move(item)); }
    CParamItem* GetItemAt(int row) const { return gw::ItemAt(m_items, row); }
    const ItemList& Items() const { return m_items; }
    int GetChoiceIndex(int row) const { return gw::ChoiceIndexOf(GetItemAt(row)); }
    int GetIntValue(int row) const { return gw::IntValueOf(GetItemAt(row)); }

    std::string GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    int ShowItems(CGridSink* grid) const { return gw::ShowItemList(m_items, grid); }

    // Refuses an empty slave address, then runs every command's check in list order.
    Outcome CheckEmpty() const;

private:
    struct NoItems {};
    CSlaveNode(std::string name, NoItems) : m_name(std::move(name)) {}

    CommandList m_commands;
    ItemList m_items;
    std::string m_name;
};

namespace gw {

// "Node(%s)": the name a slave node takes from its address text.
std::string SlaveNodeName(const std::string& addressText);

} // namespace gw
