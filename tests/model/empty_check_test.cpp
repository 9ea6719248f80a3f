// The download's first pre-check: the first empty row of the subnet in its mode, then the slave
// node's address and its commands, named in the message the user sees.

#include "model/device_config.h"
#include "support/config_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kHead = "The Following data is empty!\r\n\"";

std::string UserConfigMessage(const std::string& label)
{
    return "\"" + label + "\"\xE4\xB8\xAD\xE6\x95\xB0\xE6\x8D\xAE\xE4\xB8\xBA\xE7\xA9\xBA";   // "中数据为空"
}

TEST(EmptyCheck, FirstEmptySubnetRowOfTheCurrentMode)
{
    struct Case {
        int mode;
        std::vector<int> emptied;
        std::string message;   // empty: the check passes
    };
    const std::string timeout = "Response Timeout(50~60000ms)";
    const std::vector<Case> cases = {
        {MODE_MODBUS_MASTER, {5, 6, 10}, ""},   // rows never required
        {MODE_MODBUS_MASTER, {11, 8, 7}, kHead + timeout + "\""},
        {MODE_MODBUS_MASTER, {11, 8}, kHead + "Delay between Polls(0~2500ms)\""},
        {MODE_MODBUS_MASTER, {11}, kHead + "Scan Rate\""},
        {MODE_USER_CONFIG, {12, 17, 19}, ""},
        {MODE_USER_CONFIG, {7}, UserConfigMessage(timeout)},
        {MODE_USER_CONFIG, {8}, UserConfigMessage("Delay between Polls(0~2500ms)")},
        {MODE_USER_CONFIG, {11}, UserConfigMessage("Scan Rate")},
        {MODE_USER_CONFIG, {13}, UserConfigMessage("Time Interval between Characters ")},
        {MODE_USER_CONFIG, {14}, UserConfigMessage("Frame Length")},
        {MODE_USER_CONFIG, {16, 15}, UserConfigMessage("Start Delimiter")},
        {MODE_USER_CONFIG, {16}, UserConfigMessage("End Delimiter")},
        {MODE_USER_CONFIG, {18}, UserConfigMessage("Period of Auto Sending")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " expecting " + c.message);
        CDeviceConfig root;
        root.Subnet().SetMode(c.mode);
        for (int row : c.emptied)
            root.Subnet().GetItemAt(row)->value.clear();
        // The other mode's list is never looked at.
        (c.mode == MODE_MODBUS_MASTER ? root.Subnet().GetCommonModeItemAt(8) : root.Subnet().GetMasterModeItemAt(1))
            ->value.clear();
        std::string message = "untouched";
        EXPECT_EQ(root.CheckEmpty(&message), c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
        EXPECT_EQ(message, c.message.empty() ? "untouched" : c.message);
    }
}

TEST(EmptyCheck, SlaveAddressFirstThenCommandsInOrderAndBitOnlyForBitFunctions)
{
    struct Case {
        std::vector<test_config::CommandSpec> commands;
        bool emptyAddress;
        std::vector<std::pair<int, int>> emptied;   // (command position, row)
        std::string message;
    };
    const std::vector<Case> cases = {
        {{{3}, {1}}, false, {}, ""},
        {{{3}, {1}}, true, {{0, CMD_ROW_START_ADDRESS}}, kHead + "Slave Address\""},
        {{{3}, {1}}, false, {{1, CMD_ROW_DATA_COUNT}}, kHead + "01 Read Coil Status\\Number of Data\""},
        {{{3}, {1}}, false, {{1, CMD_ROW_START_ADDRESS}, {0, CMD_ROW_MAP_ADDRESS}},
         kHead + "03 Read Holding Register\\Mapping Address(HEX)\""},
        {{{3}, {4}, {6}, {16}}, false, {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {3, CMD_ROW_MNEMONIC}}, ""},
        {{{2}}, false, {{0, CMD_ROW_MAP_BIT}}, kHead + "02 Read Input Status\\Mapping Bit(0-7)\""},
        {{{5}}, false, {{0, CMD_ROW_MAP_BIT}}, kHead + "05 Force Single Coil\\Mapping Bit(0-7)\""},
        {{{15}}, false, {{0, CMD_ROW_MAP_BIT}, {0, CMD_ROW_START_ADDRESS}},
         kHead + "15 Force Multiple Coils\\Starting Address\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        auto root = test_config::MakeConfig(c.commands);
        CSlaveNode& slave = *root->Subnet().GetNodeAt(0);
        for (int i = 0; i < slave.GetCommandCount(); ++i)
            slave.GetCommandAt(i)->GetItemAt(CMD_ROW_MAP_ADDRESS)->value = "1";
        if (c.emptyAddress)
            slave.GetItemAt(SLAVE_ROW_ADDRESS)->value.clear();
        for (const auto& [position, row] : c.emptied)
            slave.GetCommandAt(position)->GetItemAt(row)->value.clear();
        std::string message = "untouched";
        EXPECT_EQ(root->CheckEmpty(&message), c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
        EXPECT_EQ(message, c.message.empty() ? "untouched" : c.message);
        EXPECT_EQ(root->CheckEmpty(nullptr), c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
    }
}

TEST(EmptyCheck, SubnetRowsFirstThenOnlyTheFirstSlaveNodeInModbusMaster)
{
    auto root = test_config::MakeConfig({{3, "1", "1", "1"}});
    auto second = std::make_unique<CSlaveNode>("Node(2)");   // only a file brings a second one
    second->GetItemAt(SLAVE_ROW_ADDRESS)->value.clear();
    root->Subnet().AttachNode(std::move(second));
    EXPECT_EQ(root->CheckEmpty(nullptr), RESULT_OK);

    root->Subnet().GetNodeAt(0)->GetItemAt(SLAVE_ROW_ADDRESS)->value.clear();
    root->Subnet().GetItemAt(SUBNET_ROW_SCAN_RATE)->value.clear();
    std::string message;
    EXPECT_EQ(root->CheckEmpty(&message), RESULT_EMPTY_ITEM);
    EXPECT_EQ(message, kHead + "Scan Rate\"");

    // User Config checks every slave node, though none is shown.
    root->Subnet().GetNodeAt(0)->GetItemAt(SLAVE_ROW_ADDRESS)->value = "1";
    root->Subnet().SetMode(MODE_USER_CONFIG);
    EXPECT_EQ(root->CheckEmpty(&message), RESULT_EMPTY_ITEM);
    EXPECT_EQ(message, kHead + "Slave Address\"");
}

} // namespace
