// gatewaycfg automap, map and check on configuration files: what they print, their exit codes
// and what they leave in the file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/config_file.h"
#include "model/lang_strings.h"
#include "model/result_codes.h"
#include "support/config_builder.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace {

test_config::CommandValues C(int code, std::string count, std::string bit = "0", std::string address = "")
{
    return {code, "1", std::move(count), std::move(address), std::move(bit)};
}

struct SavedConfig {
    ScratchFolder folder;
    std::string file = folder / "config.xml";
    std::unique_ptr<CDeviceConfig> root;

    explicit SavedConfig(std::unique_ptr<CDeviceConfig> config) : root(std::move(config))
    {
        EXPECT_TRUE(gw::SaveFile(*root, file).ok);
    }
    // The line automap prints for a command; commands are numbered on across slave nodes.
    std::string Line(int number, const std::string& address, const std::string& bytes) const
    {
        int node = 0, index = number - 1;
        while (index >= root->Subnet().GetNodeAt(node)->GetCommandCount())
            index -= root->Subnet().GetNodeAt(node++)->GetCommandCount();
        const CSlaveNode& slave = *root->Subnet().GetNodeAt(node);
        return slave.GetName() + " command " + std::to_string(number) + " (" + slave.GetCommandAt(index)->GetName() +
               "): " + address + ", " + bytes + " byte(s)\n";
    }
    std::string Stored(int i, int row, int node = 0) const
    {
        CDeviceConfig loaded;
        EXPECT_TRUE(gw::LoadFile(loaded, file).ok);
        return test_config::ValueOf(loaded.Subnet().GetNodeAt(node)->GetCommandAt(i)->GetItemAt(row));
    }
};

TEST(GatewayCfgMapping, AutomapAssignsAddressesThenCheckAndMapPass)
{
    // No mapping addresses yet: the empty check refuses the file.
    SavedConfig saved(test_config::MakeConfig({C(1, "10", "3"), C(5, "1", "7"), C(3, "84"), C(16, "2")}));
    EXPECT_EQ(RunTool({"check", saved.file}).status, static_cast<int>(RESULT_EMPTY_ITEM));

    const ProgramRun mapped = RunTool({"automap", saved.file});
    EXPECT_EQ(mapped.status, 0) << mapped.err;
    EXPECT_EQ(mapped.err, "");
    EXPECT_EQ(mapped.out, saved.Line(1, "0000H", "2") + saved.Line(2, "4000H", "1") + saved.Line(3, "0002H", "168") +
                              saved.Line(4, "4001H", "4"));
    EXPECT_EQ(saved.Stored(2, CMD_ROW_MAP_ADDRESS) + saved.Stored(2, CMD_ROW_BYTE_COUNT), "0002H168");

    const ProgramRun checked = RunTool({"check", saved.file});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_NE(checked.out.find("no faults found"), std::string::npos);

    const std::string svg = saved.folder / "map.svg";
    const ProgramRun map = RunTool({"map", saved.file, "--svg", svg});
    EXPECT_EQ(map.status, 0) << map.err;
    for (const char* line : {"  0000H  ...#####  command 1\n", "  0001H  #####...  command 1\n",
                             "  00A9H  ########  command 3\n", "  4000H  .......#  command 2\n", "Faults\n  none\n"})
        EXPECT_NE(map.out.find(line), std::string::npos) << line << map.out;
    EXPECT_EQ(map.out.find("  00AAH"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(svg).rfind("<?xml", 0), 0u);
}

TEST(GatewayCfgMapping, AutomapWritesTheFileEvenOnOverflowAndRunsOnAcrossSlaveNodes)
{
    auto root = test_config::MakeConfig({C(3, "122"), C(2, "8"), C(16, "2")});
    test_config::SlaveOf(*root, 300);
    auto second = std::make_unique<CSlaveNode>("Node(2)");   // only a file brings a second one
    test_config::AddCommand(*second, C(4, "4"));
    root->Subnet().AttachNode(std::move(second));
    SavedConfig saved(std::move(root));
    const ProgramRun mapped = RunTool({"automap", saved.file});
    EXPECT_EQ(mapped.status, static_cast<int>(RESULT_MAPPING_OVERFLOW));
    EXPECT_NE(mapped.err.find(gw::GetLangString(MessageText::InputOverflow)), std::string::npos) << mapped.err;
    EXPECT_EQ(mapped.err.find(gw::GetLangString(MessageText::OutputOverflow)), std::string::npos);
    EXPECT_NE(mapped.out.find(saved.Line(2, "00F4H", "1")), std::string::npos) << mapped.out;
    EXPECT_NE(mapped.out.find(saved.Line(4, "00F5H", "8")), std::string::npos) << mapped.out;
    EXPECT_EQ(saved.Stored(1, CMD_ROW_MAP_ADDRESS), "00F4H");
    EXPECT_EQ(saved.Stored(0, CMD_ROW_MAP_ADDRESS, 1), "00F5H");

    // An address past the end of its area is a value no edit could store, as is the slave address.
    const ProgramRun checked = RunTool({"check", saved.file});
    EXPECT_EQ(checked.status, static_cast<int>(RESULT_OUT_OF_RANGE));
    EXPECT_EQ(checked.err, saved.file + ": slave:1 / Slave Address = \"300\": " + gw::ResultMessage(RESULT_OUT_OF_RANGE) +
                               "\n" + saved.file + ": command:2 / Mapping Address(HEX) = \"00F4H\": " +
                               gw::ResultMessage(RESULT_OUT_OF_RANGE) + "\n");

    // User Config has no commands to map: refused, the file left as it was.
    saved.root->Subnet().SetMode(MODE_USER_CONFIG);
    ASSERT_TRUE(gw::SaveFile(*saved.root, saved.file).ok);
    const std::string before = ReadWholeFile(saved.file);
    EXPECT_EQ(RunTool({"automap", saved.file}).status, 1);
    EXPECT_EQ(ReadWholeFile(saved.file), before);
}

TEST(GatewayCfgMapping, CheckAndMapReportHandSetConflicts)
{
    // A third command on one bit, and a second slave node that is not downloaded.
    auto root = test_config::MakeConfig({C(3, "2", "0", "0000H"), C(1, "16", "0", "0001H"), C(16, "1", "0", "4000H"),
                                         C(15, "3", "2", "4000H"), C(4, "1", "0", "00F3H"), C(5, "1", "3", "4000H")});
    auto second = std::make_unique<CSlaveNode>("Node(2)");
    test_config::AddCommand(*second, C(3, "1", "0", "0000H"));
    root->Subnet().AttachNode(std::move(second));
    SavedConfig saved(std::move(root));
    const ProgramRun checked = RunTool({"check", saved.file});
    EXPECT_EQ(checked.status, static_cast<int>(RESULT_MAPPING_CONFLICT));
    EXPECT_NE(checked.err.find(gw::ResultMessage(RESULT_MAPPING_CONFLICT)), std::string::npos);
    const std::string faults = "Faults\n"
                               "  conflict in the input area at 0001H bits 0-7: commands 1, 2\n"
                               "  conflict in the input area at 0002H bits 0-7: commands 1, 2\n"
                               "  overflow in the input area at 00F4H bits 0-7: command 5\n"
                               "  conflict in the output area at 4000H bit 2: commands 3, 4\n"
                               "  conflict in the output area at 4000H bit 3: commands 3, 4, 6\n"
                               "  conflict in the output area at 4000H bit 4: commands 3, 4\n";
    EXPECT_NE(checked.err.find(faults.substr(7)), std::string::npos) << checked.err;
    const ProgramRun map = RunTool({"map", saved.file});
    EXPECT_EQ(map.status, 0);
    EXPECT_EQ(map.out, "Input Memory (0000H-00F3H)\n"
                       "  0000H  ########  command 1\n"
                       "  0001H  XXXXXXXX  commands 1, 2\n"
                       "  0002H  XXXXXXXX  commands 1, 2\n"
                       "  0003H  ########  command 1\n"
                       "  00F3H  ########  command 5\n"
                       "  00F4H  !!!!!!!!  command 5  (past the end of the area)\n"
                       "Output Memory (4000H-40F3H)\n"
                       "  4000H  ##XXX###  commands 3, 4, 6\n"
                       "  4001H  ########  command 3\n" + faults);
}

} // namespace
