// gatewaycfg check, automap, map and export on a configuration edited with gatewaycfg itself,
// as a user prepares a download: empty items, a conflict typed by hand, the automatic mapping
// that repairs it, an overflow, the memory map picture and the workbook.

#include <gtest/gtest.h>

#include "cli_process.h"

using namespace cli_test;

namespace {

void Set(const Workspace& ws, const std::string& node, const std::string& label, const std::string& value)
{
    const ProgramRun run = ws.Gatewaycfg({"set", "plant.xml", node, label, value});
    ASSERT_EQ(run.status, 0) << node << " / " << label << " = " << value << ": " << run.err;
}

TEST(CliCheck, EmptyItemsThenAConflictThenAutomapClearsBoth)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    ProgramRun run = ws.Gatewaycfg({"check", "plant.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "plant.xml: no faults found\n");

    ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "3"}).status, 0);
    ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "4"}).status, 0);
    ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "15"}).status, 0);

    // The first empty item, command by command and row by row, until none is left.
    struct Step {
        const char* node;
        const char* label;
        const char* value;
    };
    const std::vector<std::pair<std::string, Step>> empties = {
        {"\"03 Read Holding Register\\Starting Address\"", {"command:1", "Starting Address", "0"}},
        {"\"03 Read Holding Register\\Number of Data\"", {"command:1", "Number of Data", "2"}},
        {"\"03 Read Holding Register\\Mapping Address(HEX)\"", {"command:1", "Mapping Address(HEX)", "0"}},
        {"\"04 Read Input Register\\Starting Address\"", {"command:2", "Starting Address", "10"}},
        {"\"04 Read Input Register\\Number of Data\"", {"command:2", "Number of Data", "2"}},
        {"\"04 Read Input Register\\Mapping Address(HEX)\"", {"command:2", "Mapping Address(HEX)", "2"}},
        {"\"15 Force Multiple Coils\\Starting Address\"", {"command:3", "Starting Address", "0"}},
        {"\"15 Force Multiple Coils\\Number of Data\"", {"command:3", "Number of Data", "9"}},
        {"\"15 Force Multiple Coils\\Mapping Address(HEX)\"", {"command:3", "Mapping Address(HEX)", "4000"}},
    };
    for (const auto& [named, fill] : empties) {
        SCOPED_TRACE(named);
        const std::string before = ws.Read("plant.xml");
        run = ws.Gatewaycfg({"check", "plant.xml"});
        EXPECT_EQ(run.status, 6);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "plant.xml: The Following data is empty! " + named + "\n");
        EXPECT_EQ(ws.Read("plant.xml"), before) << "check changed the file";
        Set(ws, fill.node, fill.label, fill.value);
    }

    // Registers of command 1 at 0000H-0003H, of command 2 from 0002H: two bytes claimed twice.
    run = ws.Gatewaycfg({"check", "plant.xml"});
    EXPECT_EQ(run.status, 11);
    EXPECT_EQ(run.err, "plant.xml: Mapping address conflict\n"
                       "  conflict in the input area at 0002H bits 0-7: commands 1, 2\n"
                       "  conflict in the input area at 0003H bits 0-7: commands 1, 2\n");

    run = ws.Gatewaycfg({"automap", "plant.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Node(1) command 1 (03 Read Holding Register): 0000H, 4 byte(s)\n"
                       "Node(1) command 2 (04 Read Input Register): 0004H, 4 byte(s)\n"
                       "Node(1) command 3 (15 Force Multiple Coils): 4000H, 2 byte(s)\n");
    const std::string shown = ws.Gatewaycfg({"show", "plant.xml"}).out;
    const auto command2 = Section(shown, "command:2");
    ASSERT_EQ(command2.size(), 10u);
    EXPECT_EQ(command2[3], "Mapping Address(HEX) = 0004H");
    EXPECT_EQ(command2[5], "Number of Byte = 4  (read-only)");
    run = ws.Gatewaycfg({"check", "plant.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "plant.xml: no faults found\n");

    // An empty slave address is found before any command.
    std::string text = ws.Read("plant.xml");
    const std::string address = "<CurrentVal Value=\"1\" />";
    const std::size_t at = text.find(address, text.find("<SlaveAddress "));
    ASSERT_NE(at, std::string::npos);
    WriteAll(ws / "plant.xml", text.replace(at, address.size(), "<CurrentVal Value=\"\" />"));
    run = ws.Gatewaycfg({"check", "plant.xml"});
    EXPECT_EQ(run.status, 6);
    EXPECT_EQ(run.err, "plant.xml: The Following data is empty! \"Slave Address\"\n");
}

TEST(CliAutomap, OverflowIsReportedAndTheAddressesAreStillWritten)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    for (int n = 1; n <= 3; ++n) {
        ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "3"}).status, 0);
        const std::string node = "command:" + std::to_string(n);
        Set(ws, node, "Starting Address", "0");
        Set(ws, node, "Number of Data", "122");
    }
    ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "6"}).status, 0);
    Set(ws, "command:4", "Starting Address", "5");

    const ProgramRun run = ws.Gatewaycfg({"automap", "plant.xml"});
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.status, 13);
    EXPECT_EQ(run.err, "plant.xml: Input mapping address overflow!\n");
    EXPECT_NE(run.out.find("Node(1) command 1 (03 Read Holding Register): 0000H, 244 byte(s)\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Node(1) command 4 (06 Preset Single Register): 4000H, 2 byte(s)\n"), std::string::npos)
        << run.out;

    const std::string shown = ws.Gatewaycfg({"show", "plant.xml"}).out;
    EXPECT_EQ(Section(shown, "command:1")[3], "Mapping Address(HEX) = 0000H");
    EXPECT_EQ(Section(shown, "command:4")[3], "Mapping Address(HEX) = 4000H");
    EXPECT_NE(Section(shown, "command:2")[3], "Mapping Address(HEX) = ");
    const ProgramRun checked = ws.Gatewaycfg({"check", "plant.xml"});
    // The addresses past the input area are values no edit could store.
    EXPECT_EQ(checked.status, 8);
    EXPECT_NE(checked.err.find("plant.xml: command:2 / Mapping Address(HEX) = \"00F4H\": An item is Out of range\n"),
              std::string::npos) << checked.err;
}

TEST(CliMap, PrintsBothAreasAndDrawsTheSvg)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "1"}).status, 0);
    Set(ws, "command:1", "Starting Address", "0");
    Set(ws, "command:1", "Number of Data", "10");
    Set(ws, "command:1", "Mapping Bit(0-7)", "4");
    ASSERT_EQ(ws.Gatewaycfg({"automap", "plant.xml"}).status, 0);
    const std::string before = ws.Read("plant.xml");

    const ProgramRun run = ws.Gatewaycfg({"map", "plant.xml", "--svg", "map.svg"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Input Memory (0000H-00F3H)\n"
                       "  0000H  ....####  command 1\n"
                       "  0001H  ######..  command 1\n"
                       "Output Memory (4000H-40F3H)\n"
                       "  (not used)\n"
                       "Faults\n"
                       "  none\n");
    const std::string svg = ws.Read("map.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
    EXPECT_EQ(ws.Read("plant.xml"), before);

    const ProgramRun noFolder = ws.Gatewaycfg({"map", "plant.xml", "--svg", "pictures/map.svg"});
    EXPECT_EQ(noFolder.status, 74);
    EXPECT_NE(noFolder.err.find("pictures/map.svg"), std::string::npos) << noFolder.err;
}

TEST(CliExport, WritesAWorkbookAndKeepsTheConfiguration)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "3"}).status, 0);
    const std::string before = ws.Read("plant.xml");
    const ProgramRun run = ws.Gatewaycfg({"export", "plant.xml", "plant.xlsx"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Exported plant.xml to plant.xlsx\n");
    EXPECT_EQ(ws.Read("plant.xlsx").rfind("PK\x03\x04", 0), 0u);   // an .xlsx is a zip archive
    EXPECT_EQ(ws.Read("plant.xml"), before);
}

} // namespace
