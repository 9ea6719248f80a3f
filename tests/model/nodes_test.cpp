// The nodes of a configuration: the subnet's rows in each mode, reset, slave node naming, the
// tree and the edit actions it offers.

#include "model/device_config.h"
#include "model/edit_actions.h"
#include "support/config_builder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using test_config::SetValue;

class CountingGrid : public CGridSink {
public:
    void ShowItem(int, CParamItem&) override { ++shown; }
    int shown = 0;
};

TEST(SubnetNode, RowsOfEachModeAndRowsThatDoNotExist)
{
    struct Case {
        int mode, rows, listed;   // rows drawn, rows reachable through GetItemAt
        bool masterList;          // rows from 6 on come from the Modbus Master list
        int protocolCode;
    };
    // Mode 2 only a file brings.
    for (const Case& c : {Case{MODE_MODBUS_MASTER, 12, 12, true, 0}, Case{MODE_USER_CONFIG, 20, 20, false, 3},
                          Case{2, 6, 20, false, -1}}) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        CSubnetNode subnet;
        subnet.SetMode(c.mode);
        EXPECT_EQ(subnet.GetRowCount(), c.rows);
        CountingGrid grid;
        EXPECT_EQ(subnet.ShowItems(&grid), c.rows);
        EXPECT_EQ(grid.shown, c.rows);
        EXPECT_EQ(subnet.GetItemAt(6), c.masterList ? subnet.GetMasterModeItemAt(0) : subnet.GetCommonModeItemAt(0));
        EXPECT_NE(subnet.GetItemAt(c.listed - 1), nullptr);
        EXPECT_EQ(subnet.GetProtocolCode(), c.protocolCode);
        for (int row : {-1, -100, c.listed}) {
            EXPECT_EQ(subnet.GetItemAt(row), nullptr);
            EXPECT_EQ(subnet.GetChoiceIndex(row), -1);
            EXPECT_EQ(subnet.GetIntValue(row), -1);
            EXPECT_EQ(subnet.SetChoice(row, 0), 0);
            EXPECT_EQ(subnet.SetIntValue(row, 5), 0);
        }
    }
    CSubnetNode subnet;
    EXPECT_EQ(subnet.ShowItems(nullptr), 0);
    EXPECT_EQ(subnet.SetChoice(SUBNET_ROW_BAUD_RATE, 9) + subnet.SetChoice(SUBNET_ROW_BAUD_RATE, -1), 0);
    SetValue(subnet.GetItemAt(SUBNET_ROW_CHECK_BIT), "odd");   // byte-for-byte match only
    EXPECT_EQ(subnet.GetChoiceIndex(SUBNET_ROW_CHECK_BIT), -1);
    subnet.SetModeField(MODE_USER_CONFIG);   // as a file sets it: row 0 keeps its text
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_PROTOCOL)->value, "Modbus Master");
}

TEST(DeviceConfig, ResetRestoresValuesButNotEnablesOrRowZero)
{
    auto root = test_config::MakeFilledConfig(MODE_MODBUS_MASTER, 2);
    const std::string fresh = test_config::ConfigText(CDeviceConfig());
    CSubnetNode& subnet = root->Subnet();
    subnet.SetMode(MODE_USER_CONFIG);
    subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH)->SetEnable(1);
    SetValue(subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH), "5");
    root->Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->SetEnable(0);
    root->Bus().SetChoice(BUS_ROW_ADDRESS_MODE, 0);

    root->ResetAll();
    EXPECT_EQ(subnet.GetMode(), MODE_MODBUS_MASTER);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_PROTOCOL)->value, "User Config");   // only the mode field
    EXPECT_EQ(subnet.GetNodeCount(), 0);
    EXPECT_EQ(subnet.GetCommonModeItemAt(8)->enable, 1);   // enables stay as they were
    EXPECT_EQ(subnet.GetCommonModeItemAt(8)->value, "111");
    EXPECT_EQ(root->Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->enable, 1);   // but the fieldbus time-out opens again
    SetValue(subnet.GetItemAt(SUBNET_ROW_PROTOCOL), "Modbus Master");
    subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value = "Change of Value";   // reset picks "Cyclic"
    subnet.GetCommonModeItemAt(3)->value = "Change of Value";
    subnet.GetCommonModeItemAt(8)->SetEnable(0);
    EXPECT_EQ(test_config::ConfigText(*root), fresh);
}

TEST(DeviceConfig, SlaveNodesAreNamedFromTheListSizeAndShownOnlyInModbusMaster)
{
    auto root = test_config::MakeConfig({{3}, {16}});
    CSubnetNode& subnet = root->Subnet();
    CSlaveNode& slave = *subnet.GetNodeAt(0);
    EXPECT_EQ(subnet.AddNode()->GetName(), "Node(2)");   // only a file brings a second one
    subnet.GetNodeAt(1)->AddCommand(FUNCTION_READ_INPUT_STATUS);
    CSlaveNode stranger("Node(9)");
    EXPECT_EQ(subnet.RemoveNode(&stranger), 1);   // not in the list: nothing changes
    EXPECT_EQ(subnet.RemoveNode(nullptr) + subnet.AttachNode(nullptr), 0);
    EXPECT_EQ(root->GetCommandCount(), 2);   // the first slave node's
    const TreeEntries tree = root->BuildTree();
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].record, TreeRecord::ForNode(RECORD_FIELDBUS, &root->Bus()));
    EXPECT_TRUE(tree[0].children.empty());
    ASSERT_EQ(tree[1].children.size(), 2u);
    EXPECT_EQ(tree[1].children[0].record, TreeRecord::ForSlave(&slave));
    ASSERT_EQ(tree[1].children[0].children.size(), 2u);
    EXPECT_EQ(tree[1].children[0].children[1].record, TreeRecord::ForCommand(&slave, slave.GetCommandAt(1)));
    subnet.SetMode(MODE_USER_CONFIG);
    EXPECT_TRUE(root->BuildTree()[1].children.empty());
    subnet.RemoveNode(subnet.GetNodeAt(1));
    subnet.RemoveNode(&slave);
    EXPECT_EQ(subnet.GetNodeAt(0), nullptr);
    EXPECT_EQ(subnet.AddNode()->GetName(), "Node(1)");
}

TEST(EditActions, WhatEachSelectionOffers)
{
    CDeviceConfig root;
    const TreeRecord subnet = TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet());
    const TreeRecord bus = TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus());
    root.Subnet().SetMode(MODE_USER_CONFIG);
    EXPECT_FALSE(gw::CanAddNode(root, subnet));
    root.Subnet().SetMode(MODE_MODBUS_MASTER);
    EXPECT_EQ(gw::AddSlaveNode(root, bus), nullptr);
    CSlaveNode* slave = gw::AddSlaveNode(root, subnet);
    ASSERT_NE(slave, nullptr);
    EXPECT_EQ(gw::AddSlaveNode(root, subnet), nullptr);   // one slave node at most
    const TreeRecord slaveRecord = TreeRecord::ForSlave(slave);
    const TreeRecord command = TreeRecord::ForCommand(slave, slave->AddCommand(FUNCTION_READ_COIL_STATUS));
    for (const auto& [record, offers] : {std::pair{bus, "---"}, {subnet, "---"}, {slaveRecord, "DA-"}, {command, "--D"}})
        EXPECT_EQ(std::string(gw::CanDeleteNode(record) ? "D" : "-") + (gw::CanAddCommand(record) ? "A" : "-") +
                      (gw::CanDeleteCommand(record) ? "D" : "-"), offers);
    EXPECT_FALSE(gw::DeleteSlaveNode(root, nullptr));
    EXPECT_TRUE(gw::DeleteSlaveNode(root, slave));
    EXPECT_TRUE(gw::CanAddNode(root, subnet) && !gw::CanAddNode(root, bus));
}

} // namespace
