// The download's first pre-check: the first empty row of the subnet in its mode, then the slave
// node's address and its commands, named in the message the user sees.

#include "model/device_config.h"
#include "support/config_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string M(const std::string& label) { return "The Following data is empty!\r\n\"" + label + "\""; }
std::string U(const std::string& label) { return "\"" + label + "\"\xE4\xB8\xAD\xE6\x95\xB0\xE6\x8D\xAE\xE4\xB8\xBA\xE7\xA9\xBA"; }

TEST(EmptyCheck, FirstEmptySubnetRowOfTheCurrentMode)
{
    struct Case {
        int mode;
        std::vector<int> emptied;
        std::string message;   // empty: the check passes
    };
    const std::string timeout = "Response Timeout(50~60000ms)", delay = "Delay between Polls(0~2500ms)";
    const int master = MODE_MODBUS_MASTER, user = MODE_USER_CONFIG;
    for (const Case& c : std::vector<Case>{
             {master, {5, 6, 10}, ""}, {master, {11, 8, 7}, M(timeout)}, {master, {11, 8}, M(delay)},   // 5, 6, 10 never required
             {master, {11}, M("Scan Rate")}, {user, {12, 17, 19}, ""}, {user, {7}, U(timeout)}, {user, {8}, U(delay)},
             {user, {11}, U("Scan Rate")}, {user, {13}, U("Time Interval between Characters ")},
             {user, {14}, U("Frame Length")}, {user, {16, 15}, U("Start Delimiter")}, {user, {16}, U("End Delimiter")},
             {user, {18}, U("Period of Auto Sending")}}) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " expecting " + c.message);
        CDeviceConfig root;
        root.Subnet().SetMode(c.mode);
        for (int row : c.emptied)
            root.Subnet().GetItemAt(row)->value.clear();
        // The other mode's list is never looked at.
        (c.mode == master ? root.Subnet().GetCommonModeItemAt(8) : root.Subnet().GetMasterModeItemAt(1))->value.clear();
        const Outcome empty = root.CheckEmpty();
        EXPECT_EQ(empty.code, c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
        EXPECT_EQ(empty.message, c.message);
    }
}

TEST(EmptyCheck, SlaveAddressFirstThenCommandsInOrderAndBitOnlyForBitFunctions)
{
    struct Case {
        std::vector<test_config::CommandValues> commands;
        std::vector<std::pair<int, int>> emptied;   // (command position, row); position -1: the slave address
        std::string message;
    };
    const int start = CMD_ROW_START_ADDRESS, bit = CMD_ROW_MAP_BIT;
    for (const Case& c : std::vector<Case>{
             {{{3}, {1}}, {}, ""}, {{{3}, {1}}, {{-1, 0}, {0, start}}, M("Slave Address")},
             {{{3}, {1}}, {{1, CMD_ROW_DATA_COUNT}}, M("01 Read Coil Status\\Number of Data")},
             {{{3}, {1}}, {{1, start}, {0, CMD_ROW_MAP_ADDRESS}}, M("03 Read Holding Register\\Mapping Address(HEX)")},
             {{{3}, {4}, {6}, {16}}, {{0, bit}, {1, bit}, {2, bit}, {3, bit}, {3, CMD_ROW_MNEMONIC}}, ""},
             {{{2}}, {{0, bit}}, M("02 Read Input Status\\Mapping Bit(0-7)")},
             {{{5}}, {{0, bit}}, M("05 Force Single Coil\\Mapping Bit(0-7)")},
             {{{15}}, {{0, bit}, {0, start}}, M("15 Force Multiple Coils\\Starting Address")}}) {
        SCOPED_TRACE(c.message);
        auto root = test_config::MakeConfig(c.commands);
        CSlaveNode& slave = *root->Subnet().GetNodeAt(0);
        for (int i = 0; i < slave.GetCommandCount(); ++i)
            slave.GetCommandAt(i)->GetItemAt(CMD_ROW_MAP_ADDRESS)->value = "1";
        for (const auto& [position, row] : c.emptied)
            (position < 0 ? slave.GetItemAt(row) : slave.GetCommandAt(position)->GetItemAt(row))->value.clear();
        const Outcome empty = root->CheckEmpty();
        EXPECT_EQ(empty.code, c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
        EXPECT_EQ(empty.message, c.message);
    }
}

TEST(EmptyCheck, OnlyTheFirstSlaveNodeInModbusMasterButEveryOneInUserConfig)
{
    auto root = test_config::MakeConfig({{3, "1", "1", "1"}});
    auto second = std::make_unique<CSlaveNode>("Node(2)");   // only a file brings a second one
    second->GetItemAt(SLAVE_ROW_ADDRESS)->value.clear();
    root->Subnet().AttachNode(std::move(second));
    EXPECT_TRUE(root->CheckEmpty().Ok());
    root->Subnet().SetMode(MODE_USER_CONFIG);
    const Outcome empty = root->CheckEmpty();
    EXPECT_EQ(empty.code, RESULT_EMPTY_ITEM);
    EXPECT_EQ(empty.message, M("Slave Address"));
}

} // namespace
