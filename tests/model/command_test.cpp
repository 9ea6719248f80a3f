// Modbus commands: which functions make a command, the rows each function lets the user edit, and
// the limit of 48 commands per slave node.

#include "model/edit_actions.h"
#include "model/lang_strings.h"
#include "model/modbus_command.h"
#include "model/slave_node.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FunctionRow {
    int index, code;
    bool supported, inputArea, bitFunction;
};

const std::vector<FunctionRow> kFunctions = {
    {FUNCTION_READ_COIL_STATUS, 1, true, true, true},
    {FUNCTION_READ_INPUT_STATUS, 2, true, true, true},
    {FUNCTION_READ_HOLDING_REGISTER, 3, true, true, false},
    {FUNCTION_READ_INPUT_REGISTER, 4, true, true, false},
    {FUNCTION_FORCE_SINGLE_COIL, 5, true, false, true},
    {FUNCTION_PRESET_SINGLE_REGISTER, 6, true, false, false},
    {FUNCTION_READ_EXCEPTION_STATUS, 7, false, false, false},
    {FUNCTION_DIAGNOSTICS, 8, false, false, false},
    {FUNCTION_FETCH_COMM_EVENT_COUNTER, 11, false, false, false},
    {FUNCTION_FETCH_COMM_EVENT_LOG, 12, false, false, false},
    {FUNCTION_PROGRAM_CONTROLLER, 13, false, false, false},
    {FUNCTION_POLL_CONTROLLER, 14, false, false, false},
    {FUNCTION_FORCE_MULTIPLE_COILS, 15, true, false, true},
    {FUNCTION_PRESET_MULTIPLE_REGISTERS, 16, true, false, false},
};

TEST(FunctionTable, OnlySupportedFunctionsMakeACommandWithTheirEditableRows)
{
    CSlaveNode slave("Node(1)");
    for (const FunctionRow& f : kFunctions) {
        SCOPED_TRACE("function code " + std::to_string(f.code));
        int supported = -7;
        EXPECT_EQ(gw::GetFunctionInfo(f.index, &supported, nullptr), f.code);
        EXPECT_EQ(supported, f.supported ? 1 : 0);
        int index = -7;
        gw::GetFunctionByCode(f.code, &index);
        EXPECT_EQ(index, f.supported ? f.index : kUnknownFunctionIndex);
        const AddCommandResult added = gw::AddCommandTo(&slave, f.index);
        ASSERT_EQ(added.command != nullptr, f.supported);
        EXPECT_TRUE(added.message.empty());
        if (!added.command)
            continue;
        const CModbusCommand& command = *added.command;
        EXPECT_EQ(command.GetFunctionCode(), f.code);
        EXPECT_EQ(gw::IsInputAreaFunctionIndex(f.index), f.inputArea);
        EXPECT_EQ(gw::IsBitFunctionIndex(f.index), f.bitFunction);
        // Single writes carry one item; only bit functions place data at a bit.
        const bool single = f.code == 5 || f.code == 6;
        EXPECT_EQ(command.GetItemAt(CMD_ROW_DATA_COUNT)->enable, single ? 0 : 1);
        EXPECT_EQ(command.GetItemAt(CMD_ROW_DATA_COUNT)->value, single ? "1" : "");
        EXPECT_EQ(command.GetItemAt(CMD_ROW_MAP_BIT)->enable, f.bitFunction ? 1 : 0);
        EXPECT_EQ(command.GetItemAt(CMD_ROW_BYTE_COUNT)->value, f.code == 5 ? "1" : f.code == 6 ? "2" : "0");
        EXPECT_EQ(command.GetItemAt(CMD_ROW_MAP_ADDRESS)->help, gw::GetLangString(f.inputArea ? CommandText::MapAddressInputHelp : CommandText::MapAddressOutputHelp));
        for (int row : {CMD_ROW_FUNCTION_CODE, CMD_ROW_BYTE_COUNT, CMD_ROW_BYTE_SWAP, CMD_ROW_CHECK_TYPE})
            EXPECT_EQ(command.GetItemAt(row)->enable, 0) << "row " << row;
        EXPECT_EQ(command.GetItemAt(CMD_ROW_COUNT), command.GetItemAt(-1));
    }
    EXPECT_EQ(slave.GetCommandCount(), 8);
    for (int index : {-1, 14, 1000}) {
        EXPECT_EQ(gw::GetFunctionInfo(index, nullptr, nullptr), -1);
        EXPECT_EQ(slave.AddCommand(index), nullptr);
    }
    for (int code : {0, -1, 9, 17}) {
        int index = -7;
        gw::GetFunctionByCode(code, &index);
        EXPECT_EQ(index, kUnknownFunctionIndex) << code;
    }
    EXPECT_EQ(slave.AttachCommand(CModbusCommand::MakeEmpty("07 Read Exception Status", FUNCTION_READ_EXCEPTION_STATUS)), 0);
    EXPECT_EQ(gw::AddCommandTo(nullptr, FUNCTION_READ_HOLDING_REGISTER).command, nullptr);
    EXPECT_EQ(CModbusCommand("07 Read Exception Status", FUNCTION_READ_EXCEPTION_STATUS).GetItemCount(), 0);
}

TEST(FunctionTable, SlaveNodeHoldsAtMostFortyEightCommands)
{
    CSlaveNode slave("Node(1)");
    CModbusCommand* last = nullptr;
    for (int i = 0; i < 48; ++i) {
        const AddCommandResult added = gw::AddCommandTo(&slave, i % 2 == 0 ? FUNCTION_READ_HOLDING_REGISTER : FUNCTION_PRESET_MULTIPLE_REGISTERS);
        ASSERT_NE(added.command, nullptr) << i;
        EXPECT_FALSE(added.limitReached);
        last = added.command;
    }
    const AddCommandResult the49th = gw::AddCommandTo(&slave, FUNCTION_READ_HOLDING_REGISTER);
    EXPECT_EQ(the49th.command, nullptr);
    EXPECT_TRUE(the49th.limitReached);
    EXPECT_EQ(the49th.message, gw::GetLangString(MessageText::TooManyCommands));
    EXPECT_EQ(slave.GetCommandCount(), 48);

    CSlaveNode other("Node(2)");
    EXPECT_FALSE(gw::DeleteCommandFrom(&slave, nullptr) || gw::DeleteCommandFrom(&other, last));   // not that node's command
    EXPECT_TRUE(gw::DeleteCommandFrom(&slave, last));
    EXPECT_EQ(slave.IndexOfCommand(last), -1);
    EXPECT_NE(gw::AddCommandTo(&slave, FUNCTION_FORCE_MULTIPLE_COILS).command, nullptr);
    EXPECT_TRUE(gw::AddCommandTo(&slave, FUNCTION_FORCE_MULTIPLE_COILS).limitReached);
}

} // namespace
