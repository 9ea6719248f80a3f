// The download's first pre-check: empty subnet rows in either mode, then the slave node's
// address and its commands.

#include "model/device_config.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kHead = "The Following data is empty!\r\n";

std::string MasterMessage(const std::string& label)
{
    return kHead + "\"" + label + "\"";
}

std::string UserConfigMessage(const std::string& label)
{
    return "\"" + label + "\"\xE4\xB8\xAD\xE6\x95\xB0\xE6\x8D\xAE\xE4\xB8\xBA\xE7\xA9\xBA";   // "中数据为空"
}

struct EmptyRowCase {
    int mode;
    std::vector<int> emptied;
    std::string message;   // empty: the check passes
};

TEST(SubnetEmptyCheckTest, ReportsTheFirstEmptyRowOfTheCurrentMode)
{
    const std::string timeout = "Response Timeout(50~60000ms)";
    const std::vector<EmptyRowCase> cases = {
        {MODE_MODBUS_MASTER, {}, ""}, {MODE_MODBUS_MASTER, {5, 6, 10}, ""},   // rows never required
        {MODE_MODBUS_MASTER, {7}, MasterMessage(timeout)},
        {MODE_MODBUS_MASTER, {8}, MasterMessage("Delay between Polls(0~2500ms)")},
        {MODE_MODBUS_MASTER, {11}, MasterMessage("Scan Rate")},
        {MODE_MODBUS_MASTER, {11, 8, 7}, MasterMessage(timeout)},
        {MODE_MODBUS_MASTER, {11, 8}, MasterMessage("Delay between Polls(0~2500ms)")},
        {MODE_USER_CONFIG, {}, ""}, {MODE_USER_CONFIG, {12, 17, 19}, ""},
        {MODE_USER_CONFIG, {7}, UserConfigMessage(timeout)},
        {MODE_USER_CONFIG, {11}, UserConfigMessage("Scan Rate")},
        {MODE_USER_CONFIG, {13}, UserConfigMessage("Time Interval between Characters ")},
        {MODE_USER_CONFIG, {14}, UserConfigMessage("Frame Length")},
        {MODE_USER_CONFIG, {16, 15}, UserConfigMessage("Start Delimiter")},
        {MODE_USER_CONFIG, {16}, UserConfigMessage("End Delimiter")},
        {MODE_USER_CONFIG, {18}, UserConfigMessage("Period of Auto Sending")},
    };
    for (const EmptyRowCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " expecting " + c.message);
        CDeviceConfig root;
        root.Subnet().SetMode(c.mode);
        for (int row : c.emptied)
            root.Subnet().GetItemAt(row)->value.clear();
        std::string message = "untouched";
        EXPECT_EQ(root.CheckEmpty(&message), c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
        EXPECT_EQ(message, c.message.empty() ? "untouched" : c.message);
    }
}

TEST(SubnetEmptyCheckTest, TheOtherModeListIsNotChecked)
{
    CDeviceConfig root;
    root.Subnet().GetCommonModeItemAt(8)->value.clear();   // User Config "Frame Length"
    EXPECT_EQ(root.CheckEmpty(nullptr), RESULT_OK);
    root.Subnet().SetMode(MODE_USER_CONFIG);
    root.Subnet().GetMasterModeItemAt(1)->value.clear();   // Modbus Master "Response Timeout"
    std::string message;
    EXPECT_EQ(root.CheckEmpty(&message), RESULT_EMPTY_ITEM);
    EXPECT_EQ(message, UserConfigMessage("Frame Length"));
}

// A slave node whose commands have every required row filled.
std::unique_ptr<CSlaveNode> FilledSlave(const std::string& name, std::vector<int> functions)
{
    auto slave = std::make_unique<CSlaveNode>(name);
    for (int index : functions) {
        CModbusCommand* command = slave->AddCommand(index);
        for (int row : {CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS})
            command->GetItemAt(row)->value = "1";
    }
    return slave;
}

TEST(SlaveEmptyCheckTest, AddressFirstThenCommandsInOrder)
{
    struct Case {
        std::string what;
        bool emptyAddress;
        std::vector<std::pair<int, int>> emptied;   // (command position, row)
        std::string message;
    };
    const std::vector<Case> cases = {
        {"all filled", false, {}, ""},
        {"address", true, {}, MasterMessage("Slave Address")},
        {"address before commands", true, {{0, CMD_ROW_START_ADDRESS}}, MasterMessage("Slave Address")},
        {"second command", false, {{1, CMD_ROW_DATA_COUNT}}, kHead + "\"01 Read Coil Status\\Number of Data\""},
        {"bit of coils", false, {{1, CMD_ROW_MAP_BIT}}, kHead + "\"01 Read Coil Status\\Mapping Bit(0-7)\""},
        {"bit of registers", false, {{0, CMD_ROW_MAP_BIT}}, ""},
        {"first command wins", false, {{1, CMD_ROW_START_ADDRESS}, {0, CMD_ROW_MAP_ADDRESS}},
         kHead + "\"03 Read Holding Register\\Mapping Address(HEX)\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDeviceConfig root;
        root.Subnet().AttachNode(FilledSlave("Node(1)", {2, 0}));
        CSlaveNode* slave = root.Subnet().GetNodeAt(0);
        if (c.emptyAddress)
            slave->GetItemAt(SLAVE_ROW_ADDRESS)->value.clear();
        for (const auto& [position, row] : c.emptied)
            slave->GetCommandAt(position)->GetItemAt(row)->value.clear();
        std::string message = "untouched";
        EXPECT_EQ(slave->CheckEmpty(&message), c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
        EXPECT_EQ(message, c.message.empty() ? "untouched" : c.message);
        std::string rootMessage = "untouched";
        EXPECT_EQ(root.CheckEmpty(&rootMessage), c.message.empty() ? RESULT_OK : RESULT_EMPTY_ITEM);
        EXPECT_EQ(rootMessage, message);
    }
}

TEST(SlaveEmptyCheckTest, SubnetRowsFirstThenOnlyTheFirstSlaveNodeInModbusMaster)
{
    CDeviceConfig root;
    root.Subnet().AttachNode(FilledSlave("Node(1)", {2}));
    auto second = FilledSlave("Node(2)", {13});   // only a file can bring a second one
    second->GetItemAt(SLAVE_ROW_ADDRESS)->value.clear();
    root.Subnet().AttachNode(std::move(second));
    EXPECT_EQ(root.CheckEmpty(nullptr), RESULT_OK);

    root.Subnet().GetNodeAt(0)->GetItemAt(SLAVE_ROW_ADDRESS)->value.clear();
    root.Subnet().GetItemAt(SUBNET_ROW_SCAN_RATE)->value.clear();
    std::string message;
    EXPECT_EQ(root.CheckEmpty(&message), RESULT_EMPTY_ITEM);
    EXPECT_EQ(message, MasterMessage("Scan Rate"));

    // User Config checks every slave node, though none is shown.
    root.Subnet().GetNodeAt(0)->GetItemAt(SLAVE_ROW_ADDRESS)->value = "1";
    root.Subnet().SetMode(MODE_USER_CONFIG);
    EXPECT_EQ(root.CheckEmpty(&message), RESULT_EMPTY_ITEM);
    EXPECT_EQ(message, MasterMessage("Slave Address"));
}

} // namespace
