// Modbus commands: the function table, the ten items per function, the empty check and the
// limit of 48 commands per slave node.

#include "model/edit_actions.h"
#include "model/modbus_command.h"
#include "model/slave_node.h"

#include "model_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using model_test::ExpectRow;
using model_test::RowSpec;

struct FunctionSpec {
    int index;
    int code;
    const char* name;
    bool supported;
    bool inputArea;
    bool bitFunction;
};

const std::vector<FunctionSpec> kFunctions = {
    {0, 1, "01 Read Coil Status", true, true, true},
    {1, 2, "02 Read Input Status", true, true, true},
    {2, 3, "03 Read Holding Register", true, true, false},
    {3, 4, "04 Read Input Register", true, true, false},
    {4, 5, "05 Force Single Coil", true, false, true},
    {5, 6, "06 Preset Single Register", true, false, false},
    {6, 7, "07 Read Exception Status", false, false, false},
    {7, 8, "08 Diagnostics", false, false, false},
    {8, 11, "11 Fetech Comm Event Ctr", false, false, false},
    {9, 12, "12 Fetech Comm Event Log", false, false, false},
    {10, 13, "13 Program Controller", false, false, false},
    {11, 14, "14 Poll controller", false, false, false},
    {12, 15, "15 Force Multiple Coils", true, false, true},
    {13, 16, "16 Preset Multiple Registers", true, false, false},
};

TEST(FunctionTableTest, BothLookupsAndWhichIndexesMakeACommand)
{
    CSlaveNode slave("Node(1)");
    for (const FunctionSpec& f : kFunctions) {
        SCOPED_TRACE(f.name);
        int supported = -7;
        std::string name;
        EXPECT_EQ(GetFunctionInfo(f.index, &supported, &name), f.code);
        EXPECT_EQ(supported, f.supported ? 1 : 0);
        EXPECT_EQ(name, f.name);
        int index = -7;
        EXPECT_EQ(GetFunctionByCode(f.code, &index), f.supported ? f.name : "Error command");
        EXPECT_EQ(index, f.supported ? f.index : kUnknownFunctionIndex);
        if (f.supported) {
            EXPECT_EQ(IsInputAreaFunctionIndex(f.index), f.inputArea);
            EXPECT_EQ(IsBitFunctionIndex(f.index), f.bitFunction);
        }
        // An unsupported function adds nothing, and says nothing.
        const AddCommandResult added = AddCommandTo(&slave, f.index);
        EXPECT_FALSE(added.limitReached);
        EXPECT_TRUE(added.message.empty());
        ASSERT_EQ(added.command != nullptr, f.supported);
        if (added.command) {
            EXPECT_EQ(added.command->GetName(), f.name);
            EXPECT_EQ(added.command->GetCommandType(), f.index);
            EXPECT_EQ(added.command->GetFunctionCode(), f.code);
            EXPECT_EQ(slave.GetCommandAt(slave.GetCommandCount() - 1), added.command);
        }
    }
    EXPECT_EQ(slave.GetCommandCount(), 8);
    for (int index : {-1, 14, 1000}) {
        SCOPED_TRACE("index " + std::to_string(index));
        int supported = -7;
        std::string name;
        EXPECT_EQ(GetFunctionInfo(index, &supported, &name), -1);
        EXPECT_EQ(supported, 0);
        EXPECT_EQ(name, "Error command");
        EXPECT_EQ(slave.AddCommand(index), nullptr);
    }
    for (int code : {0, -1, 9, 17}) {
        int index = -7;
        EXPECT_EQ(GetFunctionByCode(code, &index), "Error command");
        EXPECT_EQ(index, 14);
    }
    EXPECT_EQ(slave.AttachCommand(CModbusCommand::MakeEmpty("07 Read Exception Status", 6)), 0);
    EXPECT_EQ(slave.AttachCommand(CModbusCommand::MakeEmpty("03 Read Holding Register", 2)), 1);
    EXPECT_EQ(slave.GetCommandCount(), 9);
    EXPECT_EQ(AddCommandTo(nullptr, 2).command, nullptr);

    const CModbusCommand bare("07 Read Exception Status", 6);   // no items for an unsupported index
    EXPECT_EQ(bare.GetItemCount(), 0);
    EXPECT_EQ(bare.GetFunctionCode(), -1);
}

std::vector<RowSpec> CommandRows(const FunctionSpec& f)
{
    const bool single = f.index == 4 || f.index == 5;
    const bool registers = f.index == 2 || f.index == 3 || f.index == 5 || f.index == 13;
    const std::string byteCount = f.index == 4 ? "1" : f.index == 5 ? "2" : "0";
    return {
        {"Function Code", std::to_string(f.code), 0, 0, {}, 3052},
        {"Starting Address", "", 1, 1, {}, 3054},
        {"Number of Data", single ? "1" : "", 1, single ? 0 : 1, {}, 3006},
        {"Mapping Address(HEX)", "", 1, 1, {}, f.inputArea ? 3008 : 3009},
        {"Mapping Bit(0-7)", "0", 1, registers ? 0 : 1, {}, 3011},
        {"Number of Byte", byteCount, 0, 0, {}, 0},
        {"Byte Swap", "Non-exchange", 2, 0, {"Non-exchange", "Double-byte-exchange", "Four-byte-exchange"}, 3015},
        {"Type of Check", "CRC", 0, 0, {}, 0},
        {"Type of Scan", "Fast Scan", 2, 1, {"Fast Scan", "Slow Scan"}, 0},
        {"Mnemonic", "", 1, 1, {}, 3021},
    };
}

TEST(ModbusCommandTest, TenItemsPerSupportedFunction)
{
    for (const FunctionSpec& f : kFunctions) {
        if (!f.supported)
            continue;
        SCOPED_TRACE(f.name);
        const CModbusCommand command(f.name, f.index);
        const std::vector<RowSpec> rows = CommandRows(f);
        ASSERT_EQ(command.GetItemCount(), CMD_ROW_COUNT);
        for (int r = 0; r < CMD_ROW_COUNT; ++r) {
            SCOPED_TRACE("row " + std::to_string(r));
            ExpectRow(command.GetItemAt(r), rows[static_cast<std::size_t>(r)]);
        }
        EXPECT_EQ(command.GetItemAt(CMD_ROW_BYTE_COUNT)->help, "");
        EXPECT_EQ(command.GetItemAt(CMD_ROW_COUNT), nullptr);
        EXPECT_EQ(command.GetItemAt(-1), nullptr);
        EXPECT_EQ(command.GetChoiceIndex(CMD_ROW_BYTE_SWAP), 0);
        EXPECT_EQ(command.GetChoiceIndex(CMD_ROW_SCAN_TYPE), 0);
    }
}

// Fills the three always-required rows of a command.
void FillRequired(CModbusCommand& command)
{
    for (int row : {CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS})
        command.GetItemAt(row)->value = "1";
}

TEST(ModbusCommandTest, EmptyCheckNamesTheFirstEmptyRow)
{
    struct Case {
        int index;
        std::vector<int> emptied;   // rows emptied after the required rows were filled
        ResultCode code;
        std::string message;
    };
    const std::string head = "The Following data is empty!\r\n\"";
    const std::vector<Case> cases = {
        {2, {CMD_ROW_START_ADDRESS}, 6, head + "03 Read Holding Register\\Starting Address\""},
        {2, {CMD_ROW_DATA_COUNT}, 6, head + "03 Read Holding Register\\Number of Data\""},
        {2, {CMD_ROW_MAP_ADDRESS, CMD_ROW_DATA_COUNT}, 6, head + "03 Read Holding Register\\Number of Data\""},
        {13, {CMD_ROW_MAP_ADDRESS}, 6, head + "16 Preset Multiple Registers\\Mapping Address(HEX)\""},
        {2, {CMD_ROW_MAP_BIT, CMD_ROW_MNEMONIC}, 0, ""}, {3, {CMD_ROW_MAP_BIT}, 0, ""},   // registers: no bit
        {5, {CMD_ROW_MAP_BIT}, 0, ""}, {13, {CMD_ROW_MAP_BIT}, 0, ""}, {0, {}, 0, ""},
        {0, {CMD_ROW_MAP_BIT}, 6, head + "01 Read Coil Status\\Mapping Bit(0-7)\""},
        {1, {CMD_ROW_MAP_BIT}, 6, head + "02 Read Input Status\\Mapping Bit(0-7)\""},
        {4, {CMD_ROW_MAP_BIT}, 6, head + "05 Force Single Coil\\Mapping Bit(0-7)\""},
        {12, {CMD_ROW_MAP_BIT}, 6, head + "15 Force Multiple Coils\\Mapping Bit(0-7)\""},
        {12, {CMD_ROW_MAP_BIT, CMD_ROW_START_ADDRESS}, 6, head + "15 Force Multiple Coils\\Starting Address\""},
    };
    for (const Case& c : cases) {
        std::string name;
        GetFunctionInfo(c.index, nullptr, &name);
        SCOPED_TRACE(name + " / expected: " + c.message);
        CModbusCommand command(name, c.index);
        FillRequired(command);
        for (int row : c.emptied)
            command.GetItemAt(row)->value.clear();
        std::string message = "untouched";
        EXPECT_EQ(command.CheckEmpty(&message), c.code);
        EXPECT_EQ(message, c.code == RESULT_OK ? "untouched" : c.message);
    }

    // A new command is empty first at its starting address; no message text is needed to report it.
    const CModbusCommand fresh("05 Force Single Coil", 4);
    std::string message;
    EXPECT_EQ(fresh.CheckEmpty(&message), RESULT_EMPTY_ITEM);
    EXPECT_EQ(message, head + "05 Force Single Coil\\Starting Address\"");
    EXPECT_EQ(fresh.CheckEmpty(nullptr), RESULT_EMPTY_ITEM);
}

TEST(ModbusCommandTest, SlaveNodeHoldsAtMostFortyEightCommands)
{
    CSlaveNode slave("Node(1)");
    for (int i = 0; i < 47; ++i)
        ASSERT_NE(AddCommandTo(&slave, i % 2 == 0 ? 2 : 13).command, nullptr);

    const AddCommandResult the48th = AddCommandTo(&slave, 0);
    ASSERT_NE(the48th.command, nullptr);
    EXPECT_FALSE(the48th.limitReached);
    EXPECT_TRUE(the48th.message.empty());
    EXPECT_EQ(slave.GetCommandCount(), 48);

    const AddCommandResult the49th = AddCommandTo(&slave, 2);
    EXPECT_EQ(the49th.command, nullptr);
    EXPECT_TRUE(the49th.limitReached);
    EXPECT_EQ(the49th.message, "MODBUS Command number is more than 48!");
    EXPECT_EQ(slave.GetCommandCount(), 48);

    CSlaveNode other("Node(2)");
    EXPECT_FALSE(DeleteCommandFrom(&slave, nullptr));
    EXPECT_FALSE(DeleteCommandFrom(&other, the48th.command));   // not that node's command
    EXPECT_EQ(slave.GetCommandCount(), 48);
    EXPECT_TRUE(DeleteCommandFrom(&slave, the48th.command));
    EXPECT_EQ(slave.GetCommandCount(), 47);
    EXPECT_EQ(slave.IndexOfCommand(the48th.command), -1);

    const AddCommandResult again = AddCommandTo(&slave, 12);
    ASSERT_NE(again.command, nullptr);
    EXPECT_EQ(slave.GetCommandAt(47), again.command);
    EXPECT_TRUE(AddCommandTo(&slave, 12).limitReached);
}

} // namespace
