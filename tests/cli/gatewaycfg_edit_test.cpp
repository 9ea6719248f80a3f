// gatewaycfg show, set, add-command, delete-command, check, automap and map on a file: what is
// printed, the exit status, and what the file holds afterwards.

#include "support/cli_fixture.h"
#include "file/config_file.h"
#include "support/config_builder.h"

namespace {

const std::string kTimeout = "Response Timeout(50~60000ms)";

TEST_F(Cli, ShowPrintsTheTreeAndEveryItemWithReadOnlyMarks)
{
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "5"}});
    EXPECT_EQ(Shown(""), "PROFIBUS\nSubnet\n  Node(1)\n    05 Force Single Coil\n");
    EXPECT_EQ(Shown("slave"), "[slave] Node(1)\n  Slave Address = 1\n");
    EXPECT_EQ(Shown("command:1").rfind("[command:1] 05 Force Single Coil\n  Function Code = 5  (read-only)\n"
                                       "  Starting Address = \n  Number of Data = 1  (read-only)\n", 0), 0u);
    for (const char* line : {"Mapping Bit(0-7) = 0", "Number of Byte = 1  (read-only)", "Mnemonic = "})
        EXPECT_TRUE(Shows("command:1", line)) << line;
    EXPECT_TRUE(Shows("subnet", "Slave Address =   (read-only)"));

    // A hand-edited file cannot make show print lines of its own: line breaks and control
    // characters in names and values are printed escaped.
    std::string text = dir.Read("plant.xml");
    text.replace(text.find("<Command Value=\"05 Force Single Coil\""), 37, "<Command Value=\"05&#x0A;  Node(2)\"");
    const std::string mnemonic = "<CurrentVal Value=\"\"", at = "<Item Value=\"Mnemonic\">";
    text.replace(text.find(mnemonic, text.find(at)), mnemonic.size(), "<CurrentVal Value=\"pump&#x0D;&#x0A;[slave] x&#x0D;&#x09;&#x7F;\"");
    dir.Write("plant.xml", text);
    EXPECT_EQ(Shown(""), "PROFIBUS\nSubnet\n  Node(1)\n    05\\n  Node(2)\n");
    EXPECT_TRUE(Shows("command:1", "Mnemonic = pump\\n[slave] x\\n\\t\\x7F")) << Shown("command:1");
}

TEST_F(Cli, SetStoresAcceptedValuesAndLeavesTheFileAloneOnRefusal)
{
    const std::string range = "An item is Out of range", illegal = "Illegal character in an item";
    const std::string readOnly = "the item is read-only", map = "Mapping Address(HEX)";
    struct Row {
        const char* node;
        std::string label;
        const char* value;
        int status;
        std::string text;   // accepted: the item's line in show and the first line printed; else in stderr
    };
    const std::vector<Row> rows = {
        {"subnet", kTimeout, "49", 8, "plant.xml: Subnet / " + kTimeout + ": " + range + " (\"49\")"},
        {"subnet", kTimeout, "", 6, "plant.xml: Subnet / " + kTimeout + ": An item is empty"},
        {"subnet", kTimeout, "5x0", 7, illegal + " (\"5x0\")"},
        {"SUBNET", "response timeout(50~60000ms)", "400", 0, kTimeout + " = 400"},
        {"subnet", "Delay between Polls(0~2500ms)", "2345", 0, "Delay between Polls(0~2500ms) = 2340"},
        {"subnet", "Baud Rate", "4800", 8, "\"4800\" is not one of the choices: \"300\""},
        {"subnet", "Data Bits", "7", 1, "Subnet / Data Bits: " + readOnly},
        {"profibus", "Timeout Duration of Probing Modbus Node(ms)", "250", 0,
         "Timeout Duration of Probing Modbus Node(ms) = 250"},
        {"slave", "Slave Address", "247", 0, "Slave Address = 247"},
        {"slave:1", "Slave Address", "248", 8, range},
        {"command:1", "Starting Address", "65536", 8, "03 Read Holding Register / Starting Address: " + range},
        {"command:1", map, "f3h", 0, map + " = F3H"},
        {"command:1", map, "F4", 8, range},
        {"command:3", map, "40F3", 0, map + " = 40F3H"},
        {"command:2", "Mapping Bit(0-7)", "7", 0, "Mapping Bit(0-7) = 7"},
        {"command:1", "Mapping Bit(0-7)", "3", 1, readOnly},
        {"command:1", "Mnemonic", "pump <1> & \"valve\" 泵站", 0, "Mnemonic = pump <1> & \"valve\" 泵站"},
        {"gateway", "Baud Rate", "9600", 64, "unknown node \"gateway\""},
        {"command:4", "Starting Address", "1", 64, "there is no command 4 (the configuration has 3)"},
        {"command:x", "Starting Address", "1", 64, "command:N"},
        {"slave:2", "Slave Address", "3", 64, "there is no slave node 2"},
        {"subnet", "Colour", "red", 64, "no item is labelled \"Colour\""},
        {"subnet", "Frame Type", "Delimiter", 64, "no item is labelled \"Frame Type\""},
    };
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "3"}, {"add-command", "plant.xml", "1"},
             {"add-command", "plant.xml", "5"}});
    const std::string plant = dir.Read("plant.xml");
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.node) + " / " + row.label + " = " + row.value);
        dir.Write("plant.xml", plant);
        const ProgramRun run = RunTool({"set", "plant.xml", row.node, row.label, row.value});
        EXPECT_EQ(run.status, row.status) << run.err;
        if (row.status == 0) {
            EXPECT_EQ(run.out.rfind(row.text + "\n", 0), 0u) << run.out;
            std::string section = row.node;
            for (char& c : section)
                c = static_cast<char>(std::tolower(c));
            EXPECT_TRUE(Shows(section, row.text)) << Shown(section);
        } else {
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err.rfind("plant.xml: ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(row.text), std::string::npos) << run.err;
            EXPECT_EQ(dir.Read("plant.xml"), plant) << "a refused value changed the file";
        }
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"plant.xml"});
    }
    dir.Write("plant.xml", plant);
    EXPECT_EQ(RunTool({"set", "plant.xml", "subnet", kTimeout, "300"}).status, 0);
    EXPECT_EQ(dir.Read("plant.xml"), plant) << "the same value again rewrote the file";
}

TEST_F(Cli, SwitchingTheProtocolChangesRowsTreeAndCommands)
{
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "3"}, {"add-command", "plant.xml", "1"}});
    ProgramRun run = RunTool({"set", "plant.xml", "subnet", "Protocol Select", "User Config"});
    EXPECT_EQ(run.out, "Protocol Select = User Config\nSubnet protocol: User Config\n");
    EXPECT_EQ(Shown(""), "PROFIBUS\nSubnet\n");

    // The User Config rows and their enable rules, step by step.
    const std::vector<std::tuple<std::string, std::string, int>> steps = {
        {"Frame Type", "Delimiter", 0},           {"Start Delimiter", "256", 8},
        {"Start Delimiter", "2", 0},              {"Enable CRC Check", "Enable", 1},
        {"Frame Type", "Frame Length", 0},        {"Frame Length", "166", 0},
        {"Frame Length", "167", 8},               {"Enable Auto Sending", "Enable", 0},
        {"Period of Auto Sending", "9", 8},       {"Period of Auto Sending", "10", 0},
        {"Time Interval between Characters", "9", 8}, {kTimeout, "500", 1},
    };
    for (const auto& [label, value, status] : steps)
        EXPECT_EQ(RunTool({"set", "plant.xml", "subnet", label, value}).status, status) << label << " = " << value;
    for (const char* line : {"Frame Type = Frame Length", "Frame Length = 166", "Start Delimiter = 2  (read-only)",
                             "Enable Auto Sending = Enable", "Period of Auto Sending = 10", "Enable CRC Check = Disable"})
        EXPECT_TRUE(Shows("subnet", line)) << line;

    // No commands in User Config mode; the ones there come back with Modbus Master.
    const std::string before = dir.Read("plant.xml");
    run = RunTool({"add-command", "plant.xml", "3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("\"User Config\""), std::string::npos) << run.err;
    EXPECT_EQ(dir.Read("plant.xml"), before);
    run = RunTool({"set", "plant.xml", "subnet", "Protocol Select", "Modbus Master"});
    EXPECT_EQ(run.out, "Protocol Select = Modbus Master\nSubnet protocol: Modbus Master\n");
    EXPECT_EQ(Shown(""), "PROFIBUS\nSubnet\n  Node(1)\n    03 Read Holding Register\n    01 Read Coil Status\n");
}

// Puts value into the file as a hand edit does: into the first item after anchor.
void HandEdit(const ScratchFolder& dir, const std::string& anchor, const std::string& value)
{
    std::string text = dir.Read("plant.xml");
    const std::size_t at = text.find("<CurrentVal Value=\"", text.find(anchor)) + 19;
    dir.Write("plant.xml", text.replace(at, text.find('"', at) - at, value));
}

// A value a hand edit put in the file: setting it again saves what its rule does too.
TEST_F(Cli, SetSavesTheSideEffectsOfItsRule)
{
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "3"}});
    HandEdit(dir, "<SlaveAddress ", "7");
    EXPECT_EQ(RunTool({"set", "plant.xml", "slave", "Slave Address", "7"}).out,
              "Slave Address = 7\nSlave node renamed Node(7)\n");
    EXPECT_TRUE(Shows("", "Node(7)")) << Shown("");
    Prepare({{"set", "plant.xml", "subnet", "Protocol Select", "User Config"}});
    HandEdit(dir, "<Item Value=\"Frame Type\">", "Delimiter");
    EXPECT_EQ(RunTool({"set", "plant.xml", "subnet", "Frame Type", "Delimiter"}).out, "Frame Type = Delimiter\n");
    EXPECT_TRUE(Shows("subnet", "Start Delimiter = 0")) << Shown("subnet");
}

TEST_F(Cli, FortyEightCommandsAtMostAndDeletingRenumbers)
{
    Prepare({{"new", "plant.xml"}});
    ProgramRun run = RunTool({"add-command", "plant.xml", "16"});
    EXPECT_EQ(run.out, "Added slave node Node(1)\nAdded command 1: 16 Preset Multiple Registers\n");
    const auto config = test_config::MakeConfig(std::vector<test_config::CommandValues>(46, {3}));
    test_config::AddCommand(test_config::SlaveOf(*config), {1});
    ASSERT_TRUE(gw::SaveFile(*config, "plant.xml").ok);
    run = RunTool({"add-command", "plant.xml", "16"});
    EXPECT_EQ(run.out, "Added command 48: 16 Preset Multiple Registers\n");
    const std::string full = dir.Read("plant.xml");
    run = RunTool({"add-command", "plant.xml", "3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "plant.xml: Node(17): MODBUS Command number is more than 48!\n");
    EXPECT_EQ(dir.Read("plant.xml"), full);
    EXPECT_TRUE(Shows("command:47", "Function Code = 1  (read-only)"));

    run = RunTool({"delete-command", "plant.xml", "1"});
    EXPECT_EQ(run.out, "Deleted command 1: 03 Read Holding Register\n");
    EXPECT_TRUE(Shows("command:46", "Function Code = 1  (read-only)"));   // was command 47
    EXPECT_EQ(Shown("command:48"), "");
    Prepare({{"add-command", "plant.xml", "4"}});
    run = RunTool({"delete-command", "plant.xml", "49"});
    EXPECT_EQ(run.status, 64);
    EXPECT_NE(run.err.find("there is no command 49 (the configuration has 48)"), std::string::npos) << run.err;
}

TEST_F(Cli, CheckFindsEmptyItemsAndConflictsThatAutomapClears)
{
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "3"}, {"add-command", "plant.xml", "4"},
             {"add-command", "plant.xml", "15"}});
    ProgramRun run;

    // The first empty item, command by command and row by row, until none is left.
    const char* commands[] = {"03 Read Holding Register", "04 Read Input Register", "15 Force Multiple Coils"};
    const char* labels[] = {"Starting Address", "Number of Data", "Mapping Address(HEX)"};
    const char* values[] = {"0", "2", "0", "10", "2", "2", "0", "9", "4000"};
    for (int i = 0; i < 9; ++i) {
        const std::string before = dir.Read("plant.xml");
        run = RunTool({"check", "plant.xml"});
        EXPECT_EQ(run.status, 6);
        EXPECT_EQ(run.err, "plant.xml: The Following data is empty! \"" + std::string(commands[i / 3]) + "\\" +
                               labels[i % 3] + "\"\n");
        EXPECT_EQ(dir.Read("plant.xml"), before) << "check changed the file";
        Prepare({{"set", "plant.xml", "command:" + std::to_string(i / 3 + 1), labels[i % 3], values[i]}});
    }

    // Registers of command 1 at 0000H-0003H, of command 2 from 0002H: two bytes claimed twice.
    run = RunTool({"check", "plant.xml"});
    EXPECT_EQ(run.status, 11);
    EXPECT_EQ(run.err, "plant.xml: Mapping address conflict\n"
                       "  conflict in the input area at 0002H bits 0-7: commands 1, 2\n"
                       "  conflict in the input area at 0003H bits 0-7: commands 1, 2\n");
    run = RunTool({"automap", "plant.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Node(1) command 1 (03 Read Holding Register): 0000H, 4 byte(s)\n"
                       "Node(1) command 2 (04 Read Input Register): 0004H, 4 byte(s)\n"
                       "Node(1) command 3 (15 Force Multiple Coils): 4000H, 2 byte(s)\n");
    EXPECT_TRUE(Shows("command:2", "Mapping Address(HEX) = 0004H"));
    EXPECT_TRUE(Shows("command:2", "Number of Byte = 4  (read-only)"));
    EXPECT_EQ(RunTool({"check", "plant.xml"}).out, "plant.xml: no faults found\n");

    // Each within its range, "Starting Address" and "Number of Data" together run past 65535.
    Prepare({{"set", "plant.xml", "command:1", "Starting Address", "65535"}});
    run = RunTool({"check", "plant.xml"});
    EXPECT_EQ(run.status, 8);
    EXPECT_EQ(run.err, "plant.xml: command:1 / Number of Data = \"2\": from \"Starting Address\" 65535 the data run past "
                       "address 65535\n");
    Prepare({{"set", "plant.xml", "command:1", "Starting Address", "65534"}});
    EXPECT_EQ(RunTool({"check", "plant.xml"}).status, 0);

    // Slave values a hand edit put in the file: an empty address first, then one out of range.
    for (const auto& [value, status, says] : std::vector<std::tuple<std::string, int, std::string>>{
             {"", 6, "plant.xml: The Following data is empty! \"Slave Address\"\n"},
             {"248", 8, "slave:1 / Slave Address = \"248\": An item is Out of range"}}) {
        HandEdit(dir, "<SlaveAddress ", value);
        run = RunTool({"check", "plant.xml"});
        EXPECT_EQ(run.status, status);
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
    }
}

TEST_F(Cli, AutomapReportsAnOverflowAndStillWritesTheAddresses)
{
    ASSERT_TRUE(gw::SaveFile(*test_config::MakeConfig({{3, "0", "122"}, {3, "0", "122"}, {3, "0", "122"}, {6, "5"}}), "plant.xml").ok);
    const ProgramRun run = RunTool({"automap", "plant.xml"});
    EXPECT_EQ(run.status, 13);
    EXPECT_EQ(run.err, "plant.xml: Input mapping address overflow!\n");
    EXPECT_NE(run.out.find("Node(17) command 1 (03 Read Holding Register): 0000H, 244 byte(s)\n"), std::string::npos);
    EXPECT_NE(run.out.find("Node(17) command 4 (06 Preset Single Register): 4000H, 2 byte(s)\n"), std::string::npos);
    EXPECT_TRUE(Shows("command:4", "Mapping Address(HEX) = 4000H"));
    // The addresses past the input area are values no edit could store.
    const ProgramRun checked = RunTool({"check", "plant.xml"});
    EXPECT_EQ(checked.status, 8);
    EXPECT_NE(checked.err.find("plant.xml: command:2 / Mapping Address(HEX) = \"00F4H\": An item is Out of range\n"),
              std::string::npos) << checked.err;
}

TEST_F(Cli, MapPrintsBothAreasAndDrawsTheSvg)
{
    ASSERT_TRUE(gw::SaveFile(*test_config::MakeConfig({{1, "0", "10", "", "4"}}), "plant.xml").ok);
    Prepare({{"automap", "plant.xml"}});
    const std::string before = dir.Read("plant.xml");
    ProgramRun run = RunTool({"map", "plant.xml", "--svg", "map.svg"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Input Memory (0000H-00F3H)\n"
                       "  0000H  ....####  command 1\n"
                       "  0001H  ######..  command 1\n"
                       "Output Memory (4000H-40F3H)\n"
                       "  (not used)\n"
                       "Faults\n"
                       "  none\n");
    EXPECT_NE(dir.Read("map.svg").find("</svg>"), std::string::npos);
    EXPECT_EQ(dir.Read("plant.xml"), before);
    run = RunTool({"map", "plant.xml", "--svg", "pictures/map.svg"});
    EXPECT_EQ(run.status, 74);
    EXPECT_NE(run.err.find("pictures/map.svg"), std::string::npos) << run.err;
}

} // namespace
