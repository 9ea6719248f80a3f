// The exported workbook read back with openpyxl: sheet names and order, headings, and the
// configuration's values in the cells they belong to, as text.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sys/stat.h>

#include "export/workbook_export.h"
#include "export_test_support.h"

using namespace export_test;

namespace {

const std::vector<std::string> kSheetNames = {"Order list", "PROFIBUS", "Subnet"};

const std::vector<std::string> kOrderListHeadings = {
    "No.", "Function Code", "Starting Address", "Number of Data", "Mapping Address(HEX)", "Mapping Bit(0-7)",
    "Number of Byte", "Byte Swap", "Type of Check", "Type of Scan", "Mnemonic"};

const std::vector<std::string> kFieldbusHeadings = {"Type of Protocol ", "Number of Bytes", "Number of Bytes ",
                                                    "Mode of PROFIBUS Addr Setting",
                                                    "Timeout Duration of Probing Modbus Node(ms)"};

const std::vector<std::string> kSubnetBaseHeadings = {"Protocol Select", "Baud Rate", "Data Bits",
                                                      "Check Bit",       "Stop Bits", "Slave Address"};
const std::vector<std::string> kMasterHeadings = {"Transmission Mode", "Response Timeout(50~60000ms)",
                                                  "Delay between Polls(0~2500ms)", "Output Mode", "Output Pulse",
                                                  "Scan Rate"};
const std::vector<std::string> kUserConfigOnlyHeadings = {
    "Frame Type",           "Time Interval between Characters ", "Frame Length",    "Start Delimiter",
    "End Delimiter",        "Enable Auto Sending",               "Period of Auto Sending",
    "Enable CRC Check"};

const char* const kByHardware = "Setting by Hardware Configuration of PROFIBUS DP";
const std::vector<std::string> kFieldbusDefaults = {"PROFIBUS", kByHardware, kByHardware, "Probe Addr Automatically",
                                                    "Default Value"};

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> MasterSubnetHeadings()
{
    return Joined(kSubnetBaseHeadings, kMasterHeadings);
}

std::vector<std::string> UserConfigSubnetHeadings()
{
    return Joined(Joined(kSubnetBaseHeadings, kMasterHeadings), kUserConfigOnlyHeadings);
}

struct LayoutCase {
    const char* name;
    std::function<void(CDeviceConfig&)> build;
    Rows orderList;
    Rows fieldbus;
    Rows subnet;
};

CSlaveNode& FirstSlave(CDeviceConfig& root)
{
    CSlaveNode* slave = root.Subnet().GetNodeAt(0);
    return slave ? *slave : *root.Subnet().AddNode();
}

void SetSubnet(CDeviceConfig& root, int row, const std::string& value)
{
    SetItem(root.Subnet().GetItemAt(row), value);
}

// Forty-eight commands over all configurable functions, each with its own values.
void AddFortyEightCommands(CDeviceConfig& root)
{
    static constexpr int kCodes[] = {1, 2, 3, 4, 5, 6, 15, 16};
    CSlaveNode& slave = FirstSlave(root);
    for (int n = 1; n <= 48; ++n) {
        const int code = kCodes[(n - 1) % 8];
        char address[8];
        std::snprintf(address, sizeof address, "%s%02XH", code <= 4 ? "" : "40", n);
        AddCommand(slave, {code, std::to_string(1000 + n), std::to_string(n % 7 + 1), address, std::to_string(n % 8),
                           std::to_string(n % 5 + 1), "Non-exchange", "CRC", n % 2 ? "Fast Scan" : "Slow Scan",
                           "command " + std::to_string(n)});
    }
}

Rows FortyEightCommandRows()
{
    static constexpr int kCodes[] = {1, 2, 3, 4, 5, 6, 15, 16};
    Rows rows{kOrderListHeadings};
    for (int n = 1; n <= 48; ++n) {
        const int code = kCodes[(n - 1) % 8];
        char address[8];
        std::snprintf(address, sizeof address, "%s%02XH", code <= 4 ? "" : "40", n);
        rows.push_back({std::to_string(n), std::to_string(code), std::to_string(1000 + n), std::to_string(n % 7 + 1),
                        address, std::to_string(n % 8), std::to_string(n % 5 + 1), "Non-exchange", "CRC",
                        n % 2 ? "Fast Scan" : "Slow Scan", "command " + std::to_string(n)});
    }
    return rows;
}

std::vector<LayoutCase> LayoutCases()
{
    const std::vector<std::string> masterDefaults = {"Modbus Master", "19200", "8", "None", "1", "",
                                                     "RTU", "300", "0", "Change of Value", "", "10"};
    return {
        {"a new configuration: headings and defaults, an empty value leaves its cell empty",
         [](CDeviceConfig&) {},
         {kOrderListHeadings},
         {kFieldbusHeadings, kFieldbusDefaults},
         {MasterSubnetHeadings(), masterDefaults}},

        {"one slave node with three commands, twelve subnet values and five fieldbus values",
         [](CDeviceConfig& root) {
             CSlaveNode& slave = FirstSlave(root);
             AddCommand(slave, {3, "100", "10", "0000H", "0", "20", "Non-exchange", "CRC", "Slow Scan", "tank level"});
             AddCommand(slave, {1, "0", "12", "0014H", "3", "2", "Non-exchange", "CRC", "Fast Scan", "pump status"});
             AddCommand(slave, {16, "200", "4", "4000H", "0", "8", "Non-exchange", "CRC", "Fast Scan", "set points"});
             SetSubnet(root, SUBNET_ROW_BAUD_RATE, "9600");
             SetSubnet(root, SUBNET_ROW_SLAVE_ADDRESS, "1");
             SetSubnet(root, SUBNET_ROW_RESPONSE_TIMEOUT, "500");
             SetSubnet(root, SUBNET_ROW_OUTPUT_PULSE, "0");
             root.Bus().SetChoice(BUS_ROW_ADDRESS_MODE, 0);
             SetItem(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), "2000");
         },
         {kOrderListHeadings,
          {"1", "3", "100", "10", "0000H", "0", "20", "Non-exchange", "CRC", "Slow Scan", "tank level"},
          {"2", "1", "0", "12", "0014H", "3", "2", "Non-exchange", "CRC", "Fast Scan", "pump status"},
          {"3", "16", "200", "4", "4000H", "0", "8", "Non-exchange", "CRC", "Fast Scan", "set points"}},
         {kFieldbusHeadings, {"PROFIBUS", kByHardware, kByHardware, "Set by I/O Port", "2000"}},
         {MasterSubnetHeadings(),
          {"Modbus Master", "9600", "8", "None", "1", "1", "RTU", "500", "0", "Change of Value", "0", "10"}}},

        {"the numbering runs on over the slave nodes, in list order",
         [](CDeviceConfig& root) {
             CSlaveNode* first = root.Subnet().AddNode();
             CSlaveNode* second = root.Subnet().AddNode();
             AddCommand(*first, {4, "1", "2", "0000H", "0", "4", "Non-exchange", "CRC", "Fast Scan", "first A"});
             AddCommand(*first, {6, "2", "1", "4000H", "0", "2", "Non-exchange", "CRC", "Fast Scan", "first B"});
             AddCommand(*second, {2, "3", "8", "0004H", "5", "1", "Non-exchange", "CRC", "Fast Scan", "second A"});
         },
         {kOrderListHeadings,
          {"1", "4", "1", "2", "0000H", "0", "4", "Non-exchange", "CRC", "Fast Scan", "first A"},
          {"2", "6", "2", "1", "4000H", "0", "2", "Non-exchange", "CRC", "Fast Scan", "first B"},
          {"3", "2", "3", "8", "0004H", "5", "1", "Non-exchange", "CRC", "Fast Scan", "second A"}},
         {kFieldbusHeadings, kFieldbusDefaults},
         {MasterSubnetHeadings(), masterDefaults}},

        {"User Config: no command rows, twenty subnet values",
         [](CDeviceConfig& root) {
             AddCommand(FirstSlave(root), {3, "1", "1", "0000H", "0", "2", "Non-exchange", "CRC", "Fast Scan", "kept"});
             root.Subnet().SetMode(MODE_USER_CONFIG);
             SetSubnet(root, SUBNET_ROW_SLAVE_ADDRESS, "7");
             SetSubnet(root, SUBNET_ROW_OUTPUT_PULSE, "5");
             SetSubnet(root, SUBNET_ROW_FRAME_TYPE, "Delimiter");
             SetSubnet(root, SUBNET_ROW_START_DELIMITER, "2");
             SetSubnet(root, SUBNET_ROW_END_DELIMITER, "3");
             SetSubnet(root, SUBNET_ROW_CRC_CHECK, "Enable");
         },
         {kOrderListHeadings},
         {kFieldbusHeadings, kFieldbusDefaults},
         {UserConfigSubnetHeadings(),
          {"User Config", "19200", "8", "None", "1", "7", "RTU", "300", "0", "Change of Value", "5", "10",
           "Delimiter", "10", "111", "2", "3", "Disable", "1000", "Enable"}}},

        {"a mode number no build knows (from a file): the base items only",
         [](CDeviceConfig& root) {
             AddCommand(FirstSlave(root), {3, "1", "1", "0000H", "0", "2", "Non-exchange", "CRC", "Fast Scan", ""});
             root.Subnet().SetModeField(2);
         },
         {kOrderListHeadings},
         {kFieldbusHeadings, kFieldbusDefaults},
         {kSubnetBaseHeadings, {"Modbus Master", "19200", "8", "None", "1", ""}}},

        {"texts stay exactly as typed: Chinese, leading zeros, formulas, blanks, number-like",
         [](CDeviceConfig& root) {
             CSlaveNode& slave = FirstSlave(root);
             AddCommand(slave, {3, "007", "1E3", "0010H", "0", "2", "Non-exchange", "CRC", "Fast Scan",
                                "温度传感器（一号）"});
             AddCommand(slave, {3, " 12 ", "0x10", "00F3H", "0", "2", "Non-exchange", "CRC", "Fast Scan", "=1+1"});
             AddCommand(slave, {3, "-5", "1.50", "0020H", "0", "2", "Non-exchange", "CRC", "Fast Scan",
                                "tab\tand\nnew line \\ backslash"});
             SetSubnet(root, SUBNET_ROW_SLAVE_ADDRESS, "泵站 二");
             SetItem(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), "0060000");
         },
         {kOrderListHeadings,
          {"1", "3", "007", "1E3", "0010H", "0", "2", "Non-exchange", "CRC", "Fast Scan", "温度传感器（一号）"},
          {"2", "3", " 12 ", "0x10", "00F3H", "0", "2", "Non-exchange", "CRC", "Fast Scan", "=1+1"},
          {"3", "3", "-5", "1.50", "0020H", "0", "2", "Non-exchange", "CRC", "Fast Scan",
           "tab\tand\nnew line \\ backslash"}},
         {kFieldbusHeadings, {"PROFIBUS", kByHardware, kByHardware, "Probe Addr Automatically", "0060000"}},
         {MasterSubnetHeadings(),
          {"Modbus Master", "19200", "8", "None", "1", "泵站 二", "RTU", "300", "0", "Change of Value", "", "10"}}},

        {"forty-eight commands fill rows 2 to 49",
         AddFortyEightCommands,
         FortyEightCommandRows(),
         {kFieldbusHeadings, kFieldbusDefaults},
         {MasterSubnetHeadings(), masterDefaults}},
    };
}

class WorkbookLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!BuiltInEnglish())
            GTEST_SKIP() << "the expected texts are the English build's";
    }
};

TEST_F(WorkbookLayout, SheetsHoldTheConfigurationAsText)
{
    for (const LayoutCase& c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        CDeviceConfig root;
        c.build(root);
        const ExportResult result = ExportWorkbook(root, dir / "book.xlsx");
        ASSERT_TRUE(result.ok) << result.message;
        const ReadWorkbook book = ReadWorkbookFile(dir / "book.xlsx");
        ASSERT_TRUE(book.ok) << book.error;
        EXPECT_EQ(book.SheetNames(), kSheetNames);
        ExpectSheetRows(book, "Order list", c.orderList);
        ExpectSheetRows(book, "PROFIBUS", c.fieldbus);
        ExpectSheetRows(book, "Subnet", c.subnet);
        EXPECT_EQ(dir.Listing(), std::set<std::string>{"book.xlsx"}) << "temporary files left behind";
    }
}

// A finished export replaces an existing file and keeps its permissions; a new file gets the
// usual ones, not those of a private temporary file.
TEST_F(WorkbookLayout, ReplacesAnExistingFileAndKeepsItsPermissions)
{
    struct Case {
        const char* name;
        bool existing;
        mode_t existingMode;
        mode_t expectedMode;
    };
    const Case cases[] = {
        {"new file, umask 022", false, 0, 0644},
        {"existing file with mode 0640", true, 0640, 0640},
        {"existing file with mode 0604", true, 0604, 0604},
    };
    const mode_t oldMask = ::umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string target = dir / "book.xlsx";
        if (c.existing) {
            WriteAll(target, "an older export");
            ASSERT_EQ(::chmod(target.c_str(), c.existingMode), 0);
        }
        CDeviceConfig root;
        AddCommand(FirstSlave(root), {5, "9", "1", "4000H", "2", "1", "Non-exchange", "CRC", "Fast Scan", "coil"});
        const ExportResult result = ExportWorkbook(root, target);
        ASSERT_TRUE(result.ok) << result.message;
        struct stat st {};
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.expectedMode);
        const ReadWorkbook book = ReadWorkbookFile(target);
        ASSERT_TRUE(book.ok) << book.error;
        ExpectSheetRows(book, "Order list",
                        {kOrderListHeadings, {"1", "5", "9", "1", "4000H", "2", "1", "Non-exchange", "CRC", "Fast Scan", "coil"}});
        EXPECT_EQ(dir.Listing(), std::set<std::string>{"book.xlsx"});
    }
    ::umask(oldMask);
}

} // namespace
