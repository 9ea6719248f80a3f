// gatewaycfg show, set, add-command and delete-command as a user runs them on a file: what is
// printed, the exit status, and what the file holds afterwards.

#include <gtest/gtest.h>

#include "cli_process.h"

using namespace cli_test;

namespace {

using Lines = std::vector<std::string>;

const Lines kProfibusRows = {
    "Type of Protocol = PROFIBUS  (read-only)",
    "Number of Bytes = Setting by Hardware Configuration of PROFIBUS DP  (read-only)",
    "Number of Bytes = Setting by Hardware Configuration of PROFIBUS DP  (read-only)",
    "Mode of PROFIBUS Addr Setting = Probe Addr Automatically",
    "Timeout Duration of Probing Modbus Node(ms) = Default Value",
};

// Rows 0-5; the protocol row is editable in files written by this program (it is the way to
// choose the mode).
const Lines kSubnetBaseRows = {
    "Baud Rate = 19200",
    "Data Bits = 8  (read-only)",
    "Check Bit = None",
    "Stop Bits = 1",
    "Slave Address =   (read-only)",
};

Lines SubnetRows(bool userConfig)
{
    Lines rows{userConfig ? "Protocol Select = User Config" : "Protocol Select = Modbus Master"};
    rows.insert(rows.end(), kSubnetBaseRows.begin(), kSubnetBaseRows.end());
    const char* grey = userConfig ? "  (read-only)" : "";
    rows.push_back("Transmission Mode = RTU  (read-only)");
    rows.push_back(std::string("Response Timeout(50~60000ms) = 300") + grey);
    rows.push_back(std::string("Delay between Polls(0~2500ms) = 0") + grey);
    rows.push_back(std::string("Output Mode = Change of Value") + grey);
    rows.push_back("Output Pulse =   (read-only)");
    rows.push_back(std::string("Scan Rate = 10") + grey);
    if (userConfig) {
        for (const char* row : {"Frame Type = Time Interval between Characters",
                                "Time Interval between Characters = 10", "Frame Length = 111  (read-only)",
                                "Start Delimiter = 0  (read-only)", "End Delimiter = 0  (read-only)",
                                "Enable Auto Sending = Disable", "Period of Auto Sending = 1000  (read-only)",
                                "Enable CRC Check = Disable"})
            rows.push_back(row);
    }
    return rows;
}

TEST(CliShow, PrintsTheTreeAndEveryRowInOrderWithReadOnlyMarks)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    const ProgramRun fresh = ws.Gatewaycfg({"show", "plant.xml"});
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_EQ(fresh.err, "");
    EXPECT_EQ(Section(fresh.out, ""), (Lines{"PROFIBUS", "Subnet"}));
    EXPECT_EQ(Section(fresh.out, "profibus"), kProfibusRows);
    EXPECT_EQ(Section(fresh.out, "subnet"), SubnetRows(false));
    EXPECT_EQ(fresh.out.find("[slave]"), std::string::npos);

    for (const char* code : {"3", "5", "1", "6"})
        ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", code}).status, 0);
    const ProgramRun shown = ws.Gatewaycfg({"show", "plant.xml"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(Section(shown.out, ""), (Lines{"PROFIBUS", "Subnet", "  Node(1)", "    03 Read Holding Register",
                                             "    05 Force Single Coil", "    01 Read Coil Status",
                                             "    06 Preset Single Register"}));
    EXPECT_EQ(Section(shown.out, "slave"), (Lines{"Slave Address = 1"}));
    EXPECT_EQ(Section(shown.out, "command:1"),
              (Lines{"Function Code = 3  (read-only)", "Starting Address = ", "Number of Data = ",
                     "Mapping Address(HEX) = ", "Mapping Bit(0-7) = 0  (read-only)", "Number of Byte = 0  (read-only)",
                     "Byte Swap = Non-exchange  (read-only)", "Type of Check = CRC  (read-only)",
                     "Type of Scan = Fast Scan", "Mnemonic = "}));
    EXPECT_EQ(Section(shown.out, "command:2"),
              (Lines{"Function Code = 5  (read-only)", "Starting Address = ", "Number of Data = 1  (read-only)",
                     "Mapping Address(HEX) = ", "Mapping Bit(0-7) = 0", "Number of Byte = 1  (read-only)",
                     "Byte Swap = Non-exchange  (read-only)", "Type of Check = CRC  (read-only)",
                     "Type of Scan = Fast Scan", "Mnemonic = "}));
    const Lines coils = Section(shown.out, "command:3");
    ASSERT_EQ(coils.size(), 10u);
    EXPECT_EQ(coils[2], "Number of Data = ");
    EXPECT_EQ(coils[4], "Mapping Bit(0-7) = 0");
    const Lines single = Section(shown.out, "command:4");
    ASSERT_EQ(single.size(), 10u);
    EXPECT_EQ(single[4], "Mapping Bit(0-7) = 0  (read-only)");
    EXPECT_EQ(single[5], "Number of Byte = 2  (read-only)");
}

struct SetCase {
    const char* node;
    const char* label;
    const char* value;
    int status;
    std::string message;      // on stdout when accepted, on stderr when refused
    const char* section;      // show section that holds the item
    std::string storedLine;   // the item's line in show afterwards; empty: not checked
};

// A file in Modbus Master mode with a slave node and the commands 03, 01 and 05.
void MakePlant(const Workspace& ws)
{
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    for (const char* code : {"3", "1", "5"})
        ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", code}).status, 0);
}

TEST(CliSet, AcceptedValuesAreStoredRefusedOnesLeaveTheFileAlone)
{
    const std::string empty = "An item is empty";
    const std::string illegal = "Illegal character in an item";
    const std::string range = "An item is Out of range";
    const std::string timeout = "Response Timeout(50~60000ms)";
    const std::vector<SetCase> cases = {
        {"subnet", timeout.c_str(), "500", 0, timeout + " = 500\n", "subnet", timeout + " = 500"},
        {"subnet", timeout.c_str(), "60000", 0, "", "subnet", timeout + " = 60000"},
        {"subnet", timeout.c_str(), "49", 8, "plant.xml: Subnet / " + timeout + ": " + range + " (\"49\")", "", ""},
        {"subnet", timeout.c_str(), "60001", 8, range, "", ""},
        {"subnet", timeout.c_str(), "", 6, "plant.xml: Subnet / " + timeout + ": " + empty, "", ""},
        {"subnet", timeout.c_str(), "5x0", 7, illegal + " (\"5x0\")", "", ""},
        {"subnet", timeout.c_str(), "-300", 7, illegal, "", ""},
        {"SUBNET", "response timeout(50~60000ms)", "400", 0, "", "subnet", timeout + " = 400"},
        {"subnet", "Delay between Polls(0~2500ms)", "2345", 0, "", "subnet", "Delay between Polls(0~2500ms) = 2340"},
        {"subnet", "Delay between Polls(0~2500ms)", "2501", 8, range, "", ""},
        {"subnet", "Scan Rate", "256", 8, range, "", ""},
        {"subnet", "Baud Rate", "9600", 0, "", "subnet", "Baud Rate = 9600"},
        {"subnet", "Baud Rate", "4800", 8, "\"4800\" is not one of the choices: \"300\"", "", ""},
        {"subnet", "Data Bits", "7", 1, "Subnet / Data Bits: the item is read-only", "", ""},
        {"profibus", "Timeout Duration of Probing Modbus Node(ms)", "250", 0, "", "profibus",
         "Timeout Duration of Probing Modbus Node(ms) = 250"},
        {"profibus", "Timeout Duration of Probing Modbus Node(ms)", "60001", 8, range, "", ""},
        {"profibus", "Type of Protocol", "DP", 1, "the item is read-only", "", ""},
        {"slave", "Slave Address", "247", 0, "Slave Address = 247\nSlave node renamed Node(247)\n", "slave",
         "Slave Address = 247"},
        {"slave:1", "Slave Address", "248", 8, range, "", ""},
        {"slave", "Slave Address", "0", 8, range, "", ""},
        {"command:1", "Starting Address", "0", 0, "", "command:1", "Starting Address = 0"},
        {"command:1", "Starting Address", "65536", 8, "03 Read Holding Register / Starting Address: " + range, "", ""},
        {"command:1", "Number of Data", "122", 0, "", "command:1", "Number of Data = 122"},
        {"command:1", "Number of Data", "123", 8, range, "", ""},
        {"command:2", "Number of Data", "400", 0, "", "command:2", "Number of Data = 400"},
        {"command:2", "Number of Data", "401", 8, range, "", ""},
        {"command:1", "Mapping Address(HEX)", "f3h", 0, "Mapping Address(HEX) = F3H\n", "command:1",
         "Mapping Address(HEX) = F3H"},
        {"command:1", "Mapping Address(HEX)", "F4", 8, range, "", ""},
        {"command:1", "Mapping Address(HEX)", "1G", 7, illegal, "", ""},
        {"command:3", "Mapping Address(HEX)", "40F3", 0, "", "command:3", "Mapping Address(HEX) = 40F3H"},
        {"command:3", "Mapping Address(HEX)", "3FFF", 8, range, "", ""},
        {"command:3", "Mapping Address(HEX)", "40F3A", 8, range, "", ""},
        {"command:2", "Mapping Bit(0-7)", "7", 0, "", "command:2", "Mapping Bit(0-7) = 7"},
        {"command:2", "Mapping Bit(0-7)", "8", 8, range, "", ""},
        {"command:1", "Mapping Bit(0-7)", "3", 1, "the item is read-only", "", ""},
        {"command:3", "Number of Data", "2", 1, "the item is read-only", "", ""},
        {"command:1", "Function Code", "4", 1, "the item is read-only", "", ""},
        {"command:1", "Type of Scan", "Slow Scan", 0, "", "command:1", "Type of Scan = Slow Scan"},
        {"command:1", "Mnemonic", "pump <1> & \"valve\" 泵站", 0, "", "command:1",
         "Mnemonic = pump <1> & \"valve\" 泵站"},
        {"gateway", "Baud Rate", "9600", 64, "unknown node \"gateway\"", "", ""},
        {"command:4", "Starting Address", "1", 64, "there is no command 4 (the configuration has 3)", "", ""},
        {"command:x", "Starting Address", "1", 64, "command:N", "", ""},
        {"slave:2", "Slave Address", "3", 64, "there is no slave node 2", "", ""},
        {"subnet", "Colour", "red", 64, "no item is labelled \"Colour\"", "", ""},
        {"subnet", "Frame Type", "Delimiter", 64, "no item is labelled \"Frame Type\"", "", ""},
    };
    Workspace ws;
    MakePlant(ws);
    const std::string plant = ws.Read("plant.xml");
    for (const SetCase& c : cases) {
        SCOPED_TRACE(std::string(c.node) + " / " + c.label + " = " + c.value);
        WriteAll(ws / "plant.xml", plant);
        const ProgramRun run = ws.Gatewaycfg({"set", "plant.xml", c.node, c.label, c.value});
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status == 0) {
            EXPECT_EQ(run.err, "");
            EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
            if (!c.storedLine.empty()) {
                const Lines rows = Section(ws.Gatewaycfg({"show", "plant.xml"}).out, c.section);
                EXPECT_NE(std::find(rows.begin(), rows.end(), c.storedLine), rows.end()) << c.storedLine;
            }
        } else {
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
            EXPECT_EQ(run.err.rfind("plant.xml: ", 0), 0u) << run.err;
            EXPECT_EQ(ws.Read("plant.xml"), plant) << "a refused value changed the file";
        }
        EXPECT_EQ(ws.Names(), std::vector<std::string>{"plant.xml"});
    }
}

TEST(CliSet, SettingTheSameValueAgainLeavesTheFileUntouched)
{
    Workspace ws;
    MakePlant(ws);
    const std::string before = ws.Read("plant.xml");
    const ProgramRun run = ws.Gatewaycfg({"set", "plant.xml", "subnet", "Response Timeout(50~60000ms)", "300"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ws.Read("plant.xml"), before);
}

TEST(CliSet, SwitchingTheProtocolChangesRowsTreeAndCommands)
{
    Workspace ws;
    MakePlant(ws);
    const ProgramRun toUser = ws.Gatewaycfg({"set", "plant.xml", "subnet", "Protocol Select", "User Config"});
    ASSERT_EQ(toUser.status, 0) << toUser.err;
    EXPECT_EQ(toUser.out, "Protocol Select = User Config\nSubnet protocol: User Config\n");
    ProgramRun shown = ws.Gatewaycfg({"show", "plant.xml"});
    EXPECT_EQ(Section(shown.out, "subnet"), SubnetRows(true));
    EXPECT_EQ(Section(shown.out, ""), (Lines{"PROFIBUS", "Subnet"}));

    // The User Config rows and their enable rules; a label with a trailing blank is found without it.
    const std::vector<std::pair<std::vector<std::string>, int>> steps = {
        {{"Frame Type", "Delimiter"}, 0},
        {{"Start Delimiter", "256"}, 8},
        {{"Start Delimiter", "2"}, 0},
        {{"Enable CRC Check", "Enable"}, 1},
        {{"Frame Type", "Frame Length"}, 0},
        {{"Frame Length", "166"}, 0},
        {{"Frame Length", "167"}, 8},
        {{"Enable Auto Sending", "Enable"}, 0},
        {{"Period of Auto Sending", "9"}, 8},
        {{"Period of Auto Sending", "10"}, 0},
        {{"Time Interval between Characters", "9"}, 8},
        {{"Response Timeout(50~60000ms)", "500"}, 1},
    };
    for (const auto& [labelValue, status] : steps) {
        SCOPED_TRACE(labelValue[0] + " = " + labelValue[1]);
        const ProgramRun run = ws.Gatewaycfg({"set", "plant.xml", "subnet", labelValue[0], labelValue[1]});
        EXPECT_EQ(run.status, status) << run.err;
    }
    shown = ws.Gatewaycfg({"show", "plant.xml"});
    const Lines rows = Section(shown.out, "subnet");
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[12], "Frame Type = Frame Length");
    EXPECT_EQ(rows[14], "Frame Length = 166");
    EXPECT_EQ(rows[15], "Start Delimiter = 2  (read-only)");
    EXPECT_EQ(rows[17], "Enable Auto Sending = Enable");
    EXPECT_EQ(rows[18], "Period of Auto Sending = 10");
    EXPECT_EQ(rows[19], "Enable CRC Check = Disable");

    // No commands in User Config mode; the ones there come back with Modbus Master.
    const std::string before = ws.Read("plant.xml");
    const ProgramRun add = ws.Gatewaycfg({"add-command", "plant.xml", "3"});
    EXPECT_EQ(add.status, 1);
    EXPECT_NE(add.err.find("\"User Config\""), std::string::npos) << add.err;
    EXPECT_EQ(ws.Read("plant.xml"), before);

    const ProgramRun back = ws.Gatewaycfg({"set", "plant.xml", "subnet", "Protocol Select", "Modbus Master"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out, "Protocol Select = Modbus Master\nSubnet protocol: Modbus Master\n");
    shown = ws.Gatewaycfg({"show", "plant.xml"});
    EXPECT_EQ(Section(shown.out, ""), (Lines{"PROFIBUS", "Subnet", "  Node(1)", "    03 Read Holding Register",
                                             "    01 Read Coil Status", "    05 Force Single Coil"}));
    EXPECT_EQ(Section(shown.out, "subnet").size(), 12u);
    const ProgramRun refused = ws.Gatewaycfg({"set", "plant.xml", "subnet", "Protocol Select", "Profinet"});
    EXPECT_EQ(refused.status, 8);
    EXPECT_NE(refused.err.find("\"Modbus Master\" \"User Config\""), std::string::npos) << refused.err;
}

TEST(CliCommands, FortyEightCommandsAtMostAndDeletingRenumbers)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    const std::vector<std::string> codes = {"1", "2", "3", "4", "5", "6", "15", "16"};
    const ProgramRun first = ws.Gatewaycfg({"add-command", "plant.xml", "16"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "Added slave node Node(1)\nAdded command 1: 16 Preset Multiple Registers\n");
    for (int n = 2; n <= 48; ++n) {
        const ProgramRun run = ws.Gatewaycfg({"add-command", "plant.xml", codes[static_cast<std::size_t>(n) % codes.size()]});
        ASSERT_EQ(run.status, 0) << n << ": " << run.err;
        ASSERT_EQ(run.out.rfind("Added command " + std::to_string(n) + ": ", 0), 0u) << run.out;
    }
    const std::string full = ws.Read("plant.xml");
    const ProgramRun refused = ws.Gatewaycfg({"add-command", "plant.xml", "3"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "plant.xml: Node(1): MODBUS Command number is more than 48!\n");
    EXPECT_EQ(ws.Read("plant.xml"), full);

    ProgramRun shown = ws.Gatewaycfg({"show", "plant.xml"});
    EXPECT_EQ(Section(shown.out, "").size(), 3u + 48u);
    EXPECT_EQ(Section(shown.out, "command:48")[0], "Function Code = 1  (read-only)");   // 48 % 8 = 0: code 1

    // Deleting command 1 moves the others up by one; the 48th place is free again.
    const ProgramRun deleted = ws.Gatewaycfg({"delete-command", "plant.xml", "1"});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "Deleted command 1: 16 Preset Multiple Registers\n");
    shown = ws.Gatewaycfg({"show", "plant.xml"});
    EXPECT_EQ(Section(shown.out, "command:1")[0], "Function Code = 3  (read-only)");   // was command 2
    EXPECT_EQ(shown.out.find("[command:48]"), std::string::npos);
    EXPECT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "4"}).status, 0);
    const ProgramRun gone = ws.Gatewaycfg({"delete-command", "plant.xml", "49"});
    EXPECT_EQ(gone.status, 64);
    EXPECT_NE(gone.err.find("there is no command 49 (the configuration has 48)"), std::string::npos) << gone.err;
    EXPECT_EQ(ws.Names(), std::vector<std::string>{"plant.xml"});
}

} // namespace

namespace {

// Replaces the CurrentVal of the first item after anchor, as a hand edit of the file does.
void EditValueAfter(const Workspace& ws, const std::string& anchor, const std::string& value)
{
    std::string text = ws.Read("plant.xml");
    const std::string head = "<CurrentVal Value=\"";
    const std::size_t at = text.find(head, text.find(anchor));
    ASSERT_NE(text.find(anchor), std::string::npos) << anchor;
    const std::size_t begin = at + head.size();
    text.replace(begin, text.find('"', begin) - begin, value);
    WriteAll(ws / "plant.xml", text);
}

TEST(CliSet, SideEffectsAreSavedAndNothingIsReportedBeforeTheSave)
{
    struct Case {
        std::vector<std::string> prepare;   // NODE LABEL VALUE of a set run first, or none
        const char* anchor;                 // hand edit: the value of the item after anchor
        const char* edited;
        std::vector<std::string> set;
        long maxFileBytes;
        int status;
        std::string out;
        const char* section;
        const char* shownLine;   // a line of show's section afterwards
    };
    const Case cases[] = {
        {{"subnet", "Protocol Select", "User Config"}, "<Item Value=\"Frame Type\">", "Delimiter",
         {"subnet", "Frame Type", "Delimiter"}, 0, 0, "Frame Type = Delimiter\n", "subnet", "Start Delimiter = 0"},
        {{}, "<SlaveAddress ", "7", {"slave", "Slave Address", "7"}, 0, 0,
         "Slave Address = 7\nSlave node renamed Node(7)\n", "", "  Node(7)"},
        {{}, "<SlaveAddress ", "1", {"subnet", "Scan Rate", "20"}, 2000, 74, "", "subnet", "Scan Rate = 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shownLine);
        Workspace ws;
        MakePlant(ws);
        if (!c.prepare.empty()) {
            ASSERT_EQ(ws.Gatewaycfg({"set", "plant.xml", c.prepare[0], c.prepare[1], c.prepare[2]}).status, 0);
        }
        EditValueAfter(ws, c.anchor, c.edited);
        std::vector<std::string> args = {"set", "plant.xml"};
        args.insert(args.end(), c.set.begin(), c.set.end());
        const ProgramRun run = ws.Gatewaycfg(args, c.maxFileBytes);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        const Lines rows = Section(ws.Gatewaycfg({"show", "plant.xml"}).out, c.section);
        EXPECT_NE(std::find(rows.begin(), rows.end(), c.shownLine), rows.end());
    }
}

} // namespace
