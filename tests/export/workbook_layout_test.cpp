// The exported workbook read back with openpyxl: sheet names and order, a heading row of the
// items' labels, and the configuration's values in the cells they belong to, as text.

#include <gtest/gtest.h>

#include <functional>

#include "export/workbook_export.h"
#include "model/lang_strings.h"
#include "support/config_builder.h"
#include "support/scratch_folder.h"
#include "support/workbook_text.h"

using test_config::SetValue;

namespace {

const std::string kByHardware = "PROFIBUS|Setting by Hardware Configuration of PROFIBUS DP|"
                                "Setting by Hardware Configuration of PROFIBUS DP|";
const std::string kFieldbusDefaults = kByHardware + "Probe Addr Automatically|Default Value";
const std::string kMasterDefaults = "Modbus Master|19200|8|None|1||RTU|300|0|Change of Value||10";

// The labels of a node's first rows, joined as a sheet's heading row.
template <class Node>
std::string Labels(const Node& node, int rows)
{
    std::string line;
    for (int row = 0; row < rows; ++row)
        line += (row ? "|" : "") + node.GetItemAt(row)->label;
    return line + "\n";
}

CModbusCommand* Add(CSlaveNode& slave, const test_config::CommandValues& values, const std::string& mnemonic)
{
    CModbusCommand* command = test_config::AddCommand(slave, values);
    SetValue(command->GetItemAt(CMD_ROW_MNEMONIC), mnemonic);
    return command;
}

void Subnet(CDeviceConfig& root, const std::vector<std::pair<int, std::string>>& values)
{
    for (const auto& [row, value] : values)
        SetValue(root.Subnet().GetItemAt(row), value);
}

struct LayoutCase {
    const char* name;
    std::function<void(CDeviceConfig&)> build;
    std::string orderList;   // the rows below the headings
    std::string fieldbus;
    int subnetColumns;
    std::string subnet;
};

std::vector<LayoutCase> LayoutCases()
{
    std::string fortyEight;
    for (int n = 1; n <= 48; ++n)
        fortyEight += std::to_string(n) + "|6|" + std::to_string(n) + "|1|40" + std::to_string(n + 10) +
                      "H|0|2|Non-exchange|CRC|Fast Scan|c" + std::to_string(n) + "\n";
    return {
        {"a new configuration: an empty value leaves its cell empty", [](CDeviceConfig&) {}, "", kFieldbusDefaults, 12,
         kMasterDefaults},
        {"one slave node with three commands, subnet and fieldbus values",
         [](CDeviceConfig& root) {
             CSlaveNode& slave = test_config::SlaveOf(root);
             SetValue(Add(slave, {3, "100", "10", "0000H"}, "tank level")->GetItemAt(CMD_ROW_SCAN_TYPE), "Slow Scan");
             Add(slave, {1, "0", "12", "0014H", "3"}, "pump status");
             Add(slave, {16, "200", "4", "4000H"}, "set points");
             Subnet(root, {{SUBNET_ROW_BAUD_RATE, "9600"}, {SUBNET_ROW_SLAVE_ADDRESS, "1"},
                           {SUBNET_ROW_RESPONSE_TIMEOUT, "500"}, {SUBNET_ROW_OUTPUT_PULSE, "0"}});
             root.Bus().SetChoice(BUS_ROW_ADDRESS_MODE, 0);
             SetValue(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), "2000");
         },
         "1|3|100|10|0000H|0|0|Non-exchange|CRC|Slow Scan|tank level\n"
         "2|1|0|12|0014H|3|0|Non-exchange|CRC|Fast Scan|pump status\n"
         "3|16|200|4|4000H|0|0|Non-exchange|CRC|Fast Scan|set points\n",
         kByHardware + "Set by I/O Port|2000",
         12, "Modbus Master|9600|8|None|1|1|RTU|500|0|Change of Value|0|10"},
        {"the numbering runs on over the slave nodes, in list order",
         [](CDeviceConfig& root) {
             CSlaveNode* first = root.Subnet().AddNode();
             CSlaveNode* second = root.Subnet().AddNode();
             Add(*first, {4, "1", "2", "0000H"}, "first A");
             Add(*first, {6, "2", "1", "4000H"}, "first B");
             Add(*second, {2, "3", "8", "0004H", "5"}, "second A");
         },
         "1|4|1|2|0000H|0|0|Non-exchange|CRC|Fast Scan|first A\n"
         "2|6|2|1|4000H|0|2|Non-exchange|CRC|Fast Scan|first B\n"
         "3|2|3|8|0004H|5|0|Non-exchange|CRC|Fast Scan|second A\n",
         kFieldbusDefaults, 12, kMasterDefaults},
        {"User Config: no command rows, twenty subnet values",
         [](CDeviceConfig& root) {
             Add(test_config::SlaveOf(root), {3, "1", "1", "0000H"}, "kept");
             root.Subnet().SetMode(MODE_USER_CONFIG);
             Subnet(root, {{SUBNET_ROW_SLAVE_ADDRESS, "7"}, {SUBNET_ROW_OUTPUT_PULSE, "5"}, {SUBNET_ROW_FRAME_TYPE, "Delimiter"},
                           {SUBNET_ROW_START_DELIMITER, "2"}, {SUBNET_ROW_END_DELIMITER, "3"}, {SUBNET_ROW_CRC_CHECK, "Enable"}});
         },
         "", kFieldbusDefaults, 20,
         "User Config|19200|8|None|1|7|RTU|300|0|Change of Value|5|10|Delimiter|10|111|2|3|Disable|1000|Enable"},
        {"a mode number no build knows (from a file): the base items only",
         [](CDeviceConfig& root) {
             Add(test_config::SlaveOf(root), {3, "1", "1", "0000H"}, "");
             root.Subnet().SetModeField(2);
         },
         "", kFieldbusDefaults, 6, "Modbus Master|19200|8|None|1"},
        {"texts stay exactly as typed: Chinese, leading zeros, formulas, blanks, number-like, escapes",
         [](CDeviceConfig& root) {
             CSlaveNode& slave = test_config::SlaveOf(root);
             Add(slave, {3, "007", "1E3", "0010H"}, "温度传感器（一号）");
             Add(slave, {3, " 12 ", "0x10", "00F3H"}, "=1+1");
             Add(slave, {3, "-5", "1.50", "0020H"}, "tab\tand\nnew line \\ backslash | bar");
             Subnet(root, {{SUBNET_ROW_SLAVE_ADDRESS, "泵站 二"}});
             SetValue(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), "0060000");
         },
         "1|3|007|1E3|0010H|0|0|Non-exchange|CRC|Fast Scan|温度传感器（一号）\n"
         "2|3| 12 |0x10|00F3H|0|0|Non-exchange|CRC|Fast Scan|=1+1\n"
         "3|3|-5|1.50|0020H|0|0|Non-exchange|CRC|Fast Scan|tab\\tand\\nnew line \\\\ backslash \\| bar\n",
         kByHardware + "Probe Addr Automatically|0060000",
         12, "Modbus Master|19200|8|None|1|泵站 二|RTU|300|0|Change of Value||10"},
        {"forty-eight commands fill rows 2 to 49",
         [](CDeviceConfig& root) {
             for (int n = 1; n <= 48; ++n)
                 Add(test_config::SlaveOf(root), {6, std::to_string(n), "", "40" + std::to_string(n + 10) + "H"},
                     "c" + std::to_string(n));
         },
         fortyEight, kFieldbusDefaults, 12, kMasterDefaults},
    };
}

TEST(WorkbookLayout, SheetsHoldTheConfigurationAsText)
{
    if (gw::BuiltLanguage() != Language::English)
        GTEST_SKIP() << "the expected texts are the English build's";
    const CModbusCommand pattern("", 2);
    for (const LayoutCase& c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        const ScratchFolder dir;
        CDeviceConfig root;
        c.build(root);
        const ExportResult result = gw::ExportWorkbook(root, dir / "book.xlsx");
        ASSERT_TRUE(result.ok) << result.message;
        EXPECT_EQ(WorkbookText(dir / "book.xlsx"),
                  "[Order list]\nNo.|" + Labels(pattern, CMD_ROW_COUNT) + c.orderList + "[PROFIBUS]\n" +
                      Labels(root.Bus(), 5) + c.fieldbus + "\n[Subnet]\n" + Labels(root.Subnet(), c.subnetColumns) +
                      c.subnet + "\n");
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"book.xlsx"}) << "temporary files left behind";
    }
}

} // namespace
