// The fieldbus and subnet nodes as created and reset, the subnet's row mapping in its two
// modes, the item accessors, slave node naming and the tree of the configuration root.

#include "model/device_config.h"
#include "model/edit_actions.h"

#include "model_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using model_test::ExpectRow;
using model_test::RecordingGrid;
using model_test::RowSpec;

const std::vector<std::string> kBaudRates = {"300", "600", "1200", "2400", "9600", "19200", "38400", "57600", "115200"};
const std::vector<std::string> kCheckBits = {"None", "Odd", "Even", "Mark", "Space"};
const std::vector<std::string> kOutputModes = {"Cyclic", "Forbidden", "Change of Value"};
const std::vector<std::string> kOnOff = {"Disable", "Enable"};

std::vector<RowSpec> BaseRows()
{
    return {
        {"Protocol Select", "Modbus Master", 2, 1, {"Modbus Master", "User Config"}, 4002},
        {"Baud Rate", "19200", 2, 1, kBaudRates, 4004},
        {"Data Bits", "8", 0, 0, {"8", "7"}, 4006},
        {"Check Bit", "None", 2, 1, kCheckBits, 4008},
        {"Stop Bits", "1", 2, 1, {"1", "2"}, 4010},
        {"Slave Address", "", 0, 0, {}, 50},
    };
}

// Rows 6-11; the User Config copies of these items are all read-only.
std::vector<RowSpec> MasterRows(bool userConfigCopy)
{
    const int en = userConfigCopy ? 0 : 1;
    return {
        {"Transmission Mode", "RTU", 2, 0, {"RTU", "ASCII"}, 4012},
        {"Response Timeout(50~60000ms)", "300", 1, en, {}, 4014},
        {"Delay between Polls(0~2500ms)", "0", 1, en, {}, 4016},
        {"Output Mode", "Change of Value", 2, en, kOutputModes, 4018},
        {"Output Pulse", "", 0, 0, {}, 4020},
        {"Scan Rate", "10", 1, en, {}, 4022},
    };
}

std::vector<RowSpec> UserConfigOnlyRows()
{
    return {
        {"Frame Type", "Time Interval between Characters", 2, 1,
         {"Time Interval between Characters", "Frame Length", "Delimiter"}, 4036},
        {"Time Interval between Characters ", "10", 1, 1, {}, 58},
        {"Frame Length", "111", 1, 0, {}, 4024},
        {"Start Delimiter", "0", 1, 0, {}, 4026},
        {"End Delimiter", "0", 1, 0, {}, 4028},
        {"Enable Auto Sending", "Disable", 2, 1, kOnOff, 4032},
        {"Period of Auto Sending", "1000", 1, 0, {}, 4030},
        {"Enable CRC Check", "Disable", 2, 1, kOnOff, 4034},
    };
}

void ExpectNodeRows(const CConfigNode& node, const std::vector<RowSpec>& rows)
{
    ASSERT_EQ(node.GetRowCount(), static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        ExpectRow(node.GetItemAt(static_cast<int>(r)), rows[r]);
    }
    EXPECT_EQ(node.GetItemAt(static_cast<int>(rows.size())), nullptr);
}

TEST(BusNodeTest, FiveRowsAndTheirReset)
{
    CBusNode bus;
    EXPECT_EQ(bus.GetName(), "PROFIBUS");
    const std::string hardware = "Setting by Hardware Configuration of PROFIBUS DP";
    ExpectNodeRows(bus, {
        {"Type of Protocol ", "PROFIBUS", 0, 0, {}, 60},
        {"Number of Bytes", hardware, 0, 0, {}, 62},
        {"Number of Bytes ", hardware, 0, 0, {}, 65},
        {"Mode of PROFIBUS Addr Setting", "Probe Addr Automatically", 2, 1,
         {"Set by I/O Port", "Probe Addr Automatically"}, 83},
        {"Timeout Duration of Probing Modbus Node(ms)", "Default Value", 3, 1, {"Default Value", "Customized"}, 85},
    });
    EXPECT_EQ(bus.GetChoiceIndex(BUS_ROW_ADDRESS_MODE), 1);
    EXPECT_EQ(bus.GetChoiceIndex(BUS_ROW_PROBE_TIMEOUT), 0);
    EXPECT_EQ(bus.GetIntValue(BUS_ROW_PROBE_TIMEOUT), 0);

    // Reset restores the address mode and an enabled "Default Value" time-out.
    CParamItem* timeout = bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT);
    bus.SetChoice(BUS_ROW_ADDRESS_MODE, 0);
    timeout->SetEnable(0);
    timeout->value = "500";
    bus.SetMode(4);
    bus.Reset();
    EXPECT_EQ(bus.GetItemAt(BUS_ROW_ADDRESS_MODE)->value, "Probe Addr Automatically");
    EXPECT_EQ(timeout->value, "Default Value");
    EXPECT_EQ(timeout->enable, 1);
    EXPECT_EQ(bus.GetMode(), 0);
    EXPECT_EQ(bus.GetRowCount(), BUS_ROW_COUNT);
}

TEST(SubnetNodeTest, TwelveRowsInModbusMasterAndTwentyInUserConfig)
{
    CSubnetNode subnet;
    EXPECT_EQ(subnet.GetName(), "Subnet");
    EXPECT_EQ(subnet.GetMode(), MODE_MODBUS_MASTER);
    std::vector<RowSpec> master = BaseRows();
    for (RowSpec& r : MasterRows(false))
        master.push_back(r);
    ExpectNodeRows(subnet, master);

    subnet.SetMode(MODE_USER_CONFIG);
    std::vector<RowSpec> user = BaseRows();
    user[0].value = "User Config";
    for (RowSpec& r : MasterRows(true))
        user.push_back(r);
    for (RowSpec& r : UserConfigOnlyRows())
        user.push_back(r);
    ExpectNodeRows(subnet, user);
}

TEST(SubnetNodeTest, RowsFromSixOnComeFromTheCurrentModeList)
{
    CSubnetNode subnet;
    const CParamItem* base3 = subnet.GetItemAt(3);
    EXPECT_EQ(subnet.GetItemAt(6), subnet.GetMasterModeItemAt(0));
    EXPECT_EQ(subnet.GetItemAt(11), subnet.GetMasterModeItemAt(5));
    EXPECT_NE(subnet.GetMasterModeItemAt(1), subnet.GetCommonModeItemAt(1));
    RecordingGrid master;
    EXPECT_EQ(subnet.ShowItems(&master), 12);
    ASSERT_EQ(master.rows.size(), 12u);
    EXPECT_EQ(master.rows[11], std::make_pair(11, subnet.GetItemAt(11)));

    subnet.SetMode(MODE_USER_CONFIG);
    EXPECT_EQ(subnet.GetItemAt(3), base3);
    EXPECT_EQ(subnet.GetItemAt(6), subnet.GetCommonModeItemAt(0));
    EXPECT_EQ(subnet.GetItemAt(19), subnet.GetCommonModeItemAt(13));
    RecordingGrid user;
    EXPECT_EQ(subnet.ShowItems(&user), 20);
    ASSERT_EQ(user.rows.size(), 20u);
    EXPECT_EQ(user.rows[19], std::make_pair(19, subnet.GetCommonModeItemAt(13)));
    EXPECT_EQ(subnet.ShowItems(nullptr), 0);

    // A mode only a file can bring: rows map to the User Config list, but only rows 0-5 are drawn.
    subnet.SetMode(2);
    EXPECT_EQ(subnet.GetItemAt(0)->value, "User Config");
    EXPECT_EQ(subnet.GetItemAt(6), subnet.GetCommonModeItemAt(0));
    EXPECT_EQ(subnet.GetRowCount(), 6);
    RecordingGrid other;
    EXPECT_EQ(subnet.ShowItems(&other), 6);
    EXPECT_EQ(subnet.GetProtocolCode(), -1);

    subnet.SetMode(MODE_MODBUS_MASTER);
    EXPECT_EQ(subnet.GetItemAt(0)->value, "Modbus Master");
    subnet.SetModeField(MODE_USER_CONFIG);   // as a file sets it: row 0 keeps its text
    EXPECT_EQ(subnet.GetMode(), MODE_USER_CONFIG);
    EXPECT_EQ(subnet.GetItemAt(0)->value, "Modbus Master");
}

TEST(ItemAccessorTest, MissingRowsAndUnmatchedValues)
{
    CSubnetNode subnet;
    for (int row : {-1, -100, 12, 20}) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(subnet.GetItemAt(row), nullptr);
        EXPECT_EQ(subnet.GetChoiceIndex(row), -1);
        EXPECT_EQ(subnet.GetIntValue(row), -1);
        EXPECT_EQ(subnet.SetChoice(row, 0), 0);
        EXPECT_EQ(subnet.SetIntValue(row, 5), 0);
    }
    EXPECT_EQ(subnet.GetChoiceIndex(SUBNET_ROW_RESPONSE_TIMEOUT), -1);   // no choices
    EXPECT_EQ(subnet.GetIntValue(SUBNET_ROW_SLAVE_ADDRESS), 0);          // empty value
    EXPECT_EQ(subnet.SetChoice(SUBNET_ROW_BAUD_RATE, 9), 0);             // equal to the number of choices
    EXPECT_EQ(subnet.SetChoice(SUBNET_ROW_BAUD_RATE, -1), 0);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_BAUD_RATE)->value, "19200");
    EXPECT_EQ(subnet.SetChoice(SUBNET_ROW_BAUD_RATE, 8), 1);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_BAUD_RATE)->value, "115200");
    subnet.GetItemAt(SUBNET_ROW_CHECK_BIT)->value = "odd";   // byte-for-byte match only
    EXPECT_EQ(subnet.GetChoiceIndex(SUBNET_ROW_CHECK_BIT), -1);
    EXPECT_EQ(subnet.SetIntValue(SUBNET_ROW_RESPONSE_TIMEOUT, -25), 1);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, "-25");
}

TEST(SubnetNodeTest, DeviceParametersOfANewSubnet)
{
    CSubnetNode subnet;
    const std::vector<int> master = {subnet.GetProtocolCode(), subnet.GetBaudRate(), subnet.GetDataBits(),
                                     subnet.GetCheckBit(), subnet.GetStopBits(), subnet.GetTransmissionMode(),
                                     subnet.GetResponseTimeout(), subnet.GetPollDelay(), subnet.GetOutputMode(),
                                     subnet.GetScanRate()};
    EXPECT_EQ(master, (std::vector<int>{0, 5, 0, 0, 0, 0, 300, 0, 3, 10}));
    // The User Config rows do not exist in Modbus Master mode.
    const std::vector<int> absent = {subnet.GetFrameType(), subnet.GetCharInterval(), subnet.GetFrameLength(),
                                     subnet.GetStartDelimiter(), subnet.GetEndDelimiter(), subnet.GetAutoSending(),
                                     subnet.GetAutoSendingPeriod(), subnet.GetCrcCheck()};
    EXPECT_EQ(absent, std::vector<int>(8, -1));

    subnet.GetItemAt(SUBNET_ROW_POLL_DELAY)->value = "2340";
    EXPECT_EQ(subnet.GetPollDelay(), 234);
    subnet.SetChoice(SUBNET_ROW_OUTPUT_MODE, 0);
    EXPECT_EQ(subnet.GetOutputMode(), 1);
    subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value = "Pulse";
    EXPECT_EQ(subnet.GetOutputMode(), 0);

    subnet.SetMode(MODE_USER_CONFIG);
    const std::vector<int> user = {subnet.GetProtocolCode(), subnet.GetOutputMode(), subnet.GetFrameType(),
                                   subnet.GetCharInterval(), subnet.GetFrameLength(), subnet.GetStartDelimiter(),
                                   subnet.GetEndDelimiter(), subnet.GetAutoSending(), subnet.GetAutoSendingPeriod(),
                                   subnet.GetCrcCheck()};
    EXPECT_EQ(user, (std::vector<int>{3, 3, 0, 10, 111, 0, 0, 0, 1000, 0}));   // its own output mode

    subnet.CommonModeItems().clear();   // a short list read from a file
    EXPECT_EQ(subnet.GetPollDelay(), -1);
    EXPECT_EQ(subnet.GetOutputMode(), 0);
}

TEST(SubnetNodeTest, ResetRestoresValuesButNotEnablesOrRowZero)
{
    CDeviceConfig root;
    CSubnetNode& subnet = root.Subnet();
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value, "Change of Value");
    subnet.AddNode()->AddCommand(2);
    subnet.SetChoice(SUBNET_ROW_BAUD_RATE, 0);
    subnet.SetChoice(SUBNET_ROW_CHECK_BIT, 2);
    subnet.SetChoice(SUBNET_ROW_STOP_BITS, 1);
    subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "999";
    subnet.GetItemAt(SUBNET_ROW_SCAN_RATE)->value = "";
    subnet.SetMode(MODE_USER_CONFIG);
    for (int row : {SUBNET_ROW_TRANSMISSION, SUBNET_ROW_OUTPUT_MODE, SUBNET_ROW_FRAME_TYPE, SUBNET_ROW_CRC_CHECK})
        subnet.SetChoice(row, 1);
    subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH)->value = "5";
    subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH)->SetEnable(1);
    subnet.GetItemAt(SUBNET_ROW_AUTO_SEND_PERIOD)->value = "20";
    subnet.GetItemAt(SUBNET_ROW_CRC_CHECK)->SetEnable(0);

    root.ResetAll();
    EXPECT_EQ(subnet.GetMode(), MODE_MODBUS_MASTER);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_PROTOCOL)->value, "User Config");   // only the mode field
    EXPECT_EQ(subnet.GetNodeCount(), 0);
    EXPECT_EQ(root.GetCommandCount(), 0);
    EXPECT_EQ(subnet.GetRowCount(), 12);
    std::vector<std::string> master;
    for (int row : {1, 3, 4, 7, 8, 9, 11})
        master.push_back(subnet.GetItemAt(row)->value);
    EXPECT_EQ(master, (std::vector<std::string>{"19200", "None", "1", "300", "0", "Cyclic", "10"}));
    std::vector<std::string> user;
    for (const auto& item : subnet.CommonModeItems())
        user.push_back(item->value);
    EXPECT_EQ(user, (std::vector<std::string>{"RTU", "300", "0", "Cyclic", "", "10",
                                              "Time Interval between Characters", "10", "111", "0", "0",
                                              "Disable", "1000", "Disable"}));
    EXPECT_EQ(subnet.CommonModeItems()[8]->enable, 1);    // enables stay as they were
    EXPECT_EQ(subnet.CommonModeItems()[13]->enable, 0);
}

TEST(ConfigNodeTest, SlaveNodesAreNamedFromTheListSize)
{
    CSubnetNode subnet;
    CSlaveNode* first = subnet.AddNode();
    EXPECT_EQ(first->GetName(), "Node(1)");
    ASSERT_EQ(first->Items().size(), 1u);
    ExpectRow(first->GetItemAt(SLAVE_ROW_ADDRESS), {"Slave Address", "1", 1, 1, {}, 79});
    EXPECT_EQ(subnet.AddNode()->GetName(), "Node(2)");

    CSlaveNode stranger("Node(9)");
    EXPECT_EQ(subnet.RemoveNode(&stranger), 1);   // not in the list: nothing changes
    EXPECT_EQ(subnet.RemoveNode(nullptr), 0);
    EXPECT_EQ(subnet.AttachNode(nullptr), 0);
    EXPECT_EQ(subnet.GetNodeCount(), 2);
    EXPECT_EQ(subnet.RemoveNode(subnet.GetNodeAt(1)), 1);
    EXPECT_EQ(subnet.RemoveNode(first), 1);
    EXPECT_EQ(subnet.GetNodeCount(), 0);
    EXPECT_EQ(subnet.GetNodeAt(0), nullptr);
    EXPECT_EQ(subnet.AddNode()->GetName(), "Node(1)");
}

TEST(DeviceConfigTest, TreeShowsFieldbusFirstAndSlaveNodesOnlyInModbusMaster)
{
    CDeviceConfig root;
    const TreeEntries fresh = root.BuildTree();
    ASSERT_EQ(fresh.size(), 2u);
    EXPECT_EQ(fresh[0].text, "PROFIBUS");
    EXPECT_EQ(fresh[0].record, TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus()));
    EXPECT_EQ(fresh[1].text, "Subnet");
    EXPECT_EQ(fresh[1].record, TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet()));
    EXPECT_TRUE(fresh[0].image == IMAGE_TOP_NODE && fresh[1].image == IMAGE_TOP_NODE);
    EXPECT_TRUE(fresh[0].children.empty() && fresh[1].children.empty());

    EXPECT_EQ(root.GetCommandCount(), 0);
    CSlaveNode* slave = root.Subnet().AddNode();
    EXPECT_EQ(root.GetCommandCount(), 0);
    CModbusCommand* read = slave->AddCommand(2);
    CModbusCommand* write = slave->AddCommand(13);
    auto second = std::make_unique<CSlaveNode>("Node(2)");   // only a file can bring a second one
    second->AddCommand(1);
    root.Subnet().AttachNode(std::move(second));
    EXPECT_EQ(root.GetCommandCount(), 2);   // the first slave node's
    const TreeEntries tree = root.BuildTree();
    EXPECT_TRUE(tree[0].children.empty());
    ASSERT_EQ(tree[1].children.size(), 2u);
    const TreeEntry& node = tree[1].children[0];
    EXPECT_EQ(node.text, "Node(1)");
    EXPECT_EQ(node.image, IMAGE_SLAVE);
    EXPECT_EQ(node.record, TreeRecord::ForSlave(slave));
    ASSERT_EQ(node.children.size(), 2u);
    EXPECT_EQ(node.children[0].text, "03 Read Holding Register");
    EXPECT_EQ(node.children[0].image, IMAGE_COMMAND);
    EXPECT_EQ(node.children[0].record, TreeRecord::ForCommand(slave, read));
    EXPECT_EQ(node.children[1].text, "16 Preset Multiple Registers");
    EXPECT_EQ(node.children[1].record, TreeRecord::ForCommand(slave, write));

    root.Subnet().SetMode(MODE_USER_CONFIG);
    EXPECT_TRUE(root.BuildTree()[1].children.empty());
    EXPECT_EQ(root.Subnet().GetNodeCount(), 2);
    root.Subnet().SetMode(MODE_MODBUS_MASTER);
    EXPECT_EQ(root.BuildTree()[1].children.size(), 2u);
}

TEST(DeviceConfigTest, TakeContentsFromExchangesEverythingButTheNames)
{
    CDeviceConfig root;
    CDeviceConfig loaded;
    loaded.Subnet().AddNode();
    loaded.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "999";
    loaded.Subnet().SetMode(MODE_USER_CONFIG);
    loaded.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value = "500";

    root.TakeContentsFrom(loaded);
    EXPECT_EQ(root.Subnet().GetName(), "Subnet");
    EXPECT_EQ(root.Bus().GetName(), "PROFIBUS");
    EXPECT_EQ(root.Subnet().GetMode(), MODE_USER_CONFIG);
    EXPECT_EQ(root.Subnet().GetNodeCount(), 1);
    EXPECT_EQ(root.Subnet().GetMasterModeItemAt(1)->value, "999");
    EXPECT_EQ(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value, "500");
    EXPECT_EQ(loaded.Subnet().GetMode(), MODE_MODBUS_MASTER);
    EXPECT_EQ(loaded.Subnet().GetNodeCount(), 0);
    EXPECT_EQ(loaded.Subnet().GetMasterModeItemAt(1)->value, "300");
}

TEST(EditActionsTest, OneSlaveNodeUnderTheSubnetInModbusMaster)
{
    CDeviceConfig root;
    const TreeRecord subnet = TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet());
    const TreeRecord bus = TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus());
    EXPECT_FALSE(CanAddNode(root, bus));
    EXPECT_EQ(AddSlaveNode(root, bus), nullptr);
    root.Subnet().SetMode(MODE_USER_CONFIG);
    EXPECT_FALSE(CanAddNode(root, subnet));
    root.Subnet().SetMode(MODE_MODBUS_MASTER);
    EXPECT_TRUE(CanAddNode(root, subnet));
    EXPECT_FALSE(CanDeleteNode(subnet) || CanAddCommand(subnet) || CanDeleteCommand(subnet));

    CSlaveNode* slave = AddSlaveNode(root, subnet);
    ASSERT_NE(slave, nullptr);
    EXPECT_EQ(AddSlaveNode(root, subnet), nullptr);   // one slave node at most
    const TreeRecord slaveRecord = TreeRecord::ForSlave(slave);
    EXPECT_TRUE(CanDeleteNode(slaveRecord) && CanAddCommand(slaveRecord));
    EXPECT_FALSE(CanDeleteCommand(slaveRecord));
    const TreeRecord command = TreeRecord::ForCommand(slave, slave->AddCommand(0));
    EXPECT_TRUE(CanDeleteCommand(command));
    EXPECT_FALSE(CanDeleteNode(command) || CanAddCommand(command));

    EXPECT_TRUE(DeleteSlaveNode(root, slave));
    EXPECT_FALSE(DeleteSlaveNode(root, nullptr));
    EXPECT_EQ(AddSlaveNode(root, subnet)->GetName(), "Node(1)");
}

} // namespace
