// gatewaycfg diff on files with known differences, whole and in the module scope, as text and JSON.

#include <gtest/gtest.h>

#include <functional>

#include "compare/config_diff.h"
#include "file/config_file.h"
#include "support/config_builder.h"
#include "support/run_program.h"

namespace {

CModbusCommand& Command(CDeviceConfig& root, int index) { return *root.Subnet().GetNodeAt(0)->GetCommandAt(index); }

TEST(DiffCommand, ListsWhatDiffersInEachScope)
{
    ScratchFolder folder;
    const std::string left = folder / "left.xml", right = folder / "right.xml";
    const auto base = [] { return test_config::MakeConfig({{3, "0", "10", "0H"}, {3, "100", "10", "14H"}}); };
    ASSERT_TRUE(gw::SaveFile(*base(), left).ok);
    const struct {
        const char* name;
        std::function<void(CDeviceConfig&)> edit;   // applied to the right side
        std::string whole;                          // the whole scope's lines (for the mode: the first)
        std::string module;                         // the module scope's lines (hardware 2.1)
    } rows[] = {
        {"equal", [](CDeviceConfig&) {}, "", ""},
        {"value", [](CDeviceConfig& r) { r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "500"; },
         "subnet / Response Timeout(50~60000ms): 300 \u2192 500\n", "subnet / Response Timeout(50~60000ms): 300 \u2192 500\n"},
        {"same address spelled otherwise", [](CDeviceConfig& r) { Command(r, 1).GetItemAt(CMD_ROW_MAP_ADDRESS)->value = "0014H"; }, "", ""},
        {"text the module does not keep", [](CDeviceConfig& r) { Command(r, 0).GetItemAt(CMD_ROW_MNEMONIC)->value = "pump"; },
         "command:1 / Mnemonic:  \u2192 pump\n", ""},
        {"slave", [](CDeviceConfig& r) { test_config::SlaveOf(r, 5); },
         "slave:1: Node(17) \u2192 Node(5)\nslave:1 / Slave Address: 17 \u2192 5\n", "slave:1 / Slave Address: 17 \u2192 5\n"},
        {"mode", [](CDeviceConfig& r) { r.Subnet().SetMode(MODE_USER_CONFIG); },
         "subnet / Protocol Select: Modbus Master \u2192 User Config\nsubnet / Frame Type: (none) \u2192 ", "subnet / Protocol Select: Modbus Master \u2192 User Config\n"},
        // A mode the protocol row does not say: what the download goes by is the mode number.
        {"mode without its text", [](CDeviceConfig& r) { r.Subnet().SetModeField(2); },
         "subnet / Protocol Select: Modbus Master \u2192 unknown mode 2 (the row reads \"Modbus Master\")\n",
         "subnet / Protocol Select: Modbus Master \u2192 unknown mode 2 (the row reads \"Modbus Master\")\n"},
        {"command count", [](CDeviceConfig& r) { r.Subnet().GetNodeAt(0)->RemoveCommand(&Command(r, 1)); },
         "command:2: 03 Read Holding Register \u2192 (none)\n", "command:2: 03 Read Holding Register \u2192 (none)\n"},
    };
    for (const auto& row : rows) {
        auto other = base();
        row.edit(*other);
        ASSERT_TRUE(gw::SaveFile(*other, right).ok);
        const ProgramRun whole = RunTool({"diff", left, right});
        const ProgramRun module = RunTool({"diff", "--module", left, right});
        EXPECT_EQ(module.out, row.module) << row.name;
        EXPECT_EQ(module.status, row.module.empty() ? 0 : 1) << row.name;
        EXPECT_EQ(std::string(row.name) == "mode" ? whole.out.substr(0, row.whole.size()) : whole.out, row.whole) << row.name;
        EXPECT_EQ(whole.status, whole.out.empty() ? 0 : 1) << row.name;
    }

    // The right file is now the one without the second command.
    EXPECT_EQ(RunTool({"diff", "--json", right, left}).out,
              "{\"equal\": false, \"differences\": [\n"
              "  {\"node\": \"command:2\", \"item\": \"\", \"left\": null, \"right\": \"03 Read Holding Register\"}\n]}\n");
    EXPECT_EQ(RunTool({"diff", "--json", left, left}).out, "{\"equal\": true, \"differences\": []}\n");
    EXPECT_EQ(RunTool({"diff", left, folder / "missing.xml"}).status, 65);
    EXPECT_EQ(RunTool({"diff", "--module", "--hw", "two", left, right}).status, 64);
    // Which side alone holds a node is named by the difference's kind.
    const auto one = test_config::MakeConfig({test_config::CommandValues{}}), two = test_config::MakeConfig({{}, {}});
    EXPECT_EQ(gw::CompareConfigurations(*one, *two, CompareScope::Whole).back().kind, DiffKind::OnlyRight);
    EXPECT_EQ(gw::CompareConfigurations(*two, *one, CompareScope::Whole).back().kind, DiffKind::OnlyLeft);
    // A module of hardware 1.x keeps the command list as well.
    EXPECT_EQ(RunTool({"diff", "--module", "--hw", "1.3", right, left}).out, "command:2: (none) \u2192 03 Read Holding Register\n");
}

} // namespace
