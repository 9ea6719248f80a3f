// gatewaycfg diff on files with known differences, whole and in the module scope, as text and JSON.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "file/config_file.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "support/run_in_process.h"

namespace {

namespace fs = std::filesystem;

// Modbus Master, slave 1 with two "03 Read Holding Register" commands.
void MakeBase(CDeviceConfig& root)
{
    CSlaveNode* slave = AddSlaveNode(root, TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet()));
    for (int i = 0; i < 2; ++i) {
        CModbusCommand* command = AddCommandTo(slave, 2).command;
        command->GetItemAt(CMD_ROW_START_ADDRESS)->value = std::to_string(i * 100);
        command->GetItemAt(CMD_ROW_DATA_COUNT)->value = "10";
        command->GetItemAt(CMD_ROW_MAP_ADDRESS)->value = i == 0 ? "0H" : "14H";
    }
}

CModbusCommand& Command(CDeviceConfig& root, int index) { return *root.Subnet().GetNodeAt(0)->GetCommandAt(index); }

struct Row {
    const char* name;
    std::function<void(CDeviceConfig&)> edit;   // applied to the right side
    std::string whole;                          // the whole scope's lines
    std::string module;                         // the module scope's lines (hardware 2.1)
};

TEST(DiffCommand, ListsWhatDiffersInEachScope)
{
    const fs::path dir = fs::path(::testing::TempDir()) / ("diff-command-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string left = (dir / "left.xml").string(), right = (dir / "right.xml").string();
    CDeviceConfig base;
    MakeBase(base);
    ASSERT_TRUE(SaveFile(base, left).ok);

    const Row rows[] = {
        {"equal", [](CDeviceConfig&) {}, "", ""},
        {"value", [](CDeviceConfig& r) { r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "500"; },
         "subnet / Response Timeout(50~60000ms): 300 \u2192 500\n", "subnet / Response Timeout(50~60000ms): 300 \u2192 500\n"},
        {"same address spelled otherwise", [](CDeviceConfig& r) { Command(r, 1).GetItemAt(CMD_ROW_MAP_ADDRESS)->value = "0014H"; },
         "", ""},
        {"text the module does not keep", [](CDeviceConfig& r) { Command(r, 0).GetItemAt(CMD_ROW_MNEMONIC)->value = "pump"; },
         "command:1 / Mnemonic:  \u2192 pump\n", ""},
        {"slave",
         [](CDeviceConfig& r) {
             r.Subnet().GetNodeAt(0)->GetItemAt(SLAVE_ROW_ADDRESS)->value = "5";
             r.Subnet().GetNodeAt(0)->SetName("Node(5)");
         },
         "slave:1: Node(1) \u2192 Node(5)\nslave:1 / Slave Address: 1 \u2192 5\n", "slave:1 / Slave Address: 1 \u2192 5\n"},
        {"command count", [](CDeviceConfig& r) { r.Subnet().GetNodeAt(0)->RemoveCommand(&Command(r, 1)); },
         "command:2: 03 Read Holding Register \u2192 (none)\n", "command:2: 03 Read Holding Register \u2192 (none)\n"},
        {"mode", [](CDeviceConfig& r) { r.Subnet().SetMode(MODE_USER_CONFIG); },
         "", "subnet / Protocol Select: Modbus Master \u2192 User Config\n"},
    };
    for (const Row& row : rows) {
        CDeviceConfig other;
        ASSERT_TRUE(LoadFile(other, left).ok);
        row.edit(other);
        ASSERT_TRUE(SaveFile(other, right).ok);
        const ProgramRun whole = RunTool({"diff", left, right});
        const ProgramRun module = RunTool({"diff", "--module", left, right});
        EXPECT_EQ(module.out, row.module) << row.name;
        EXPECT_EQ(module.status, row.module.empty() ? 0 : 1) << row.name;
        EXPECT_EQ(whole.status, row.module.empty() && row.whole.empty() && std::string(row.name) != "mode" ? 0 : 1);
        if (std::string(row.name) == "mode") {
            // The mode, and the User Config rows the right side shows beyond it.
            EXPECT_EQ(whole.out.rfind("subnet / Protocol Select: Modbus Master \u2192 User Config\n", 0), 0u) << whole.out;
            EXPECT_NE(whole.out.find("subnet / Frame Type: (none) \u2192 "), std::string::npos) << whole.out;
        } else {
            EXPECT_EQ(whole.out, row.whole) << row.name;
        }
    }

    EXPECT_EQ(RunTool({"diff", "--json", left, right}).out.substr(0, 36), "{\"equal\": false, \"differences\": [\n  ");
    CDeviceConfig shorter;
    ASSERT_TRUE(LoadFile(shorter, left).ok);
    shorter.Subnet().GetNodeAt(0)->RemoveCommand(&Command(shorter, 1));
    ASSERT_TRUE(SaveFile(shorter, right).ok);
    EXPECT_EQ(RunTool({"diff", "--json", right, left}).out,
              "{\"equal\": false, \"differences\": [\n"
              "  {\"node\": \"command:2\", \"item\": \"\", \"left\": null, \"right\": \"03 Read Holding Register\"}\n]}\n");
    EXPECT_EQ(RunTool({"diff", "--json", left, left}).out, "{\"equal\": true, \"differences\": []}\n");

    EXPECT_EQ(RunTool({"diff", left, (dir / "missing.xml").string()}).status, 65);
    EXPECT_EQ(RunTool({"diff", "--module", "--hw", "two", left, right}).status, 64);
    // A module of hardware 1.x keeps the command list as well.
    EXPECT_EQ(RunTool({"diff", "--module", "--hw", "1.3", right, left}).out, "command:2: (none) \u2192 03 Read Holding Register\n");
    fs::remove_all(dir);
}

} // namespace
