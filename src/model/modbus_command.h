#pragma once
// A Modbus command: one request the module sends to a slave again and again, with the
// place in the module's memory where its data go or come from.

#include <cstdint>
#include <string>

#include "model/item_list.h"
#include "model/outcome.h"

// Rows of a command's items.
enum CommandRow : int {
    CMD_ROW_FUNCTION_CODE = 0,
    CMD_ROW_START_ADDRESS = 1,
    CMD_ROW_DATA_COUNT = 2,
    CMD_ROW_MAP_ADDRESS = 3,
    CMD_ROW_MAP_BIT = 4,
    CMD_ROW_BYTE_COUNT = 5,
    CMD_ROW_BYTE_SWAP = 6,
    CMD_ROW_CHECK_TYPE = 7,
    CMD_ROW_SCAN_TYPE = 8,
    CMD_ROW_MNEMONIC = 9,
    CMD_ROW_COUNT = 10,
};

// The function table: function index 0-13 to Modbus function code and name. A command stores
// its index as its command type.
enum FunctionIndex : int {
    FUNCTION_READ_COIL_STATUS = 0,            // code 1
    FUNCTION_READ_INPUT_STATUS = 1,           // code 2
    FUNCTION_READ_HOLDING_REGISTER = 2,       // code 3
    FUNCTION_READ_INPUT_REGISTER = 3,         // code 4
    FUNCTION_FORCE_SINGLE_COIL = 4,           // code 5
    FUNCTION_PRESET_SINGLE_REGISTER = 5,      // code 6
    FUNCTION_READ_EXCEPTION_STATUS = 6,       // code 7
    FUNCTION_DIAGNOSTICS = 7,                 // code 8
    FUNCTION_FETCH_COMM_EVENT_COUNTER = 8,    // code 11
    FUNCTION_FETCH_COMM_EVENT_LOG = 9,        // code 12
    FUNCTION_PROGRAM_CONTROLLER = 10,         // code 13
    FUNCTION_POLL_CONTROLLER = 11,            // code 14
    FUNCTION_FORCE_MULTIPLE_COILS = 12,       // code 15
    FUNCTION_PRESET_MULTIPLE_REGISTERS = 13,  // code 16
};
inline constexpr int kFunctionCount = 14;
// Index that GetFunctionByCode answers for a code it does not know.
inline constexpr int kUnknownFunctionIndex = kFunctionCount;

namespace gw {

// Function code of an index (-1 outside 0-13); sets whether a command can be made for it
// and the function's name text in the built language.
int GetFunctionInfo(int index, int* supported, std::string* name);
// Name text of a supported Modbus function code; sets its index. Any other code gives
// "Error command" and index 14.
std::string GetFunctionByCode(int code, int* index);
// True for the eight indexes a command can be made for (codes 1-6, 15, 16).
bool IsSupportedFunctionIndex(int index);
// Read commands (codes 1-4) use the input area; all others the output area.
bool IsInputAreaFunctionIndex(int index);
// Bit functions (codes 1, 2, 5, 15) place their data at a mapping bit.
bool IsBitFunctionIndex(int index);
// Register functions (codes 3, 4, 6, 16) have no mapping bit.
bool IsRegisterFunctionIndex(int index);

} // namespace gw

class CModbusCommand {
public:
    // Builds the ten items for a supported function index; an unsupported index gives no items.
    CModbusCommand(std::string name, int functionIndex);
    // A command whose items will be read from elsewhere (a file): no items are built.
    static std::unique_ptr<CModbusCommand> MakeEmpty(std::string name, int commandType);

    int AppendItem(std::unique_ptr<CParamItem> item);
    int RemoveItem(const CParamItem* item);
    CParamItem* GetItemAt(int row) const { return gw::ItemAt(m_items, row); }
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    void RemoveAllItems() { m_items.clear(); }
    const ItemList& Items() const { return m_items; }

    std::string GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    int ShowItems(CGridSink* grid) const { return gw::ShowItemList(m_items, grid); }
    int GetCommandType() const { return m_commandType; }

    int GetChoiceIndex(int row) const { return gw::ChoiceIndexOf(GetItemAt(row)); }
    int GetIntValue(int row) const { return gw::IntValueOf(GetItemAt(row)); }
    int SetChoice(int row, int index) { return gw::SetChoiceOf(GetItemAt(row), index); }
    int SetIntValue(int row, int number) { return gw::SetIntValueOf(GetItemAt(row), number); }

    // Leading decimal number of row 0's value; -1 when there is no row 0.
    int GetFunctionCode() const { return GetIntValue(CMD_ROW_FUNCTION_CODE); }

    // Refuses an empty starting address, data count or mapping address, and an empty
    // mapping bit of a bit function. On refusal returns 6 and sets the message to show.
    Outcome CheckEmpty() const;

private:
    struct NoItems {};
    CModbusCommand(std::string name, int commandType, NoItems);
    void BuildItems();

    ItemList m_items;
    std::string m_name;
    int m_commandType = 0;
};

namespace gw {

// "The Following data is empty!" + CR LF + the quoted text: the message of every empty check.
std::string EmptyItemMessage(const std::string& quoted);

} // namespace gw
