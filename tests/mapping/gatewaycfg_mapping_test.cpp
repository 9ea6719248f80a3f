// gatewaycfg automap, map and check on configuration files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/gatewaycfg.h"
#include "support/run_in_process.h"
#include "file/config_file.h"
#include "mapping_test_support.h"
#include "model/lang_strings.h"
#include "model/result_codes.h"

using namespace mapping_test;
namespace fs = std::filesystem;

namespace {


class GatewayCfgMapping : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("gw-mapping-test-" + std::to_string(::getpid()) + "-" + info->name());
        fs::create_directories(dir_);
        file_ = (dir_ / "config.xml").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Save(const CDeviceConfig& root)
    {
        const FileResult saved = SaveFile(root, file_);
        ASSERT_TRUE(saved.ok) << saved.message;
    }

    std::unique_ptr<CDeviceConfig> Reload()
    {
        auto root = std::make_unique<CDeviceConfig>();
        const FileResult loaded = LoadFile(*root, file_);
        EXPECT_TRUE(loaded.ok) << loaded.message;
        return root;
    }

    // The line automap prints for a command.
    static std::string Line(const CSlaveNode& slave, int number, const CModbusCommand& command,
                            const std::string& address, const std::string& bytes)
    {
        return slave.GetName() + " command " + std::to_string(number) + " (" + command.GetName() + "): " + address +
               ", " + bytes + " byte(s)\n";
    }

    fs::path dir_;
    std::string file_;
};

TEST_F(GatewayCfgMapping, AutomapAssignsAddressesThenChecksPass)
{
    // No mapping addresses yet: the empty check refuses the file.
    auto root = MakeConfig({{1, "10", "3"}, {5, "1", "7"}, {3, "84"}, {16, "2"}});
    Save(*root);
    EXPECT_EQ(RunTool({"check", file_}).status, static_cast<int>(RESULT_EMPTY_ITEM));

    const ProgramRun mapped = RunTool({"automap", file_});
    EXPECT_EQ(mapped.status, 0) << mapped.err;
    EXPECT_EQ(mapped.err, "");
    const CSlaveNode& slave = FirstSlave(*root);
    EXPECT_EQ(mapped.out, Line(slave, 1, *slave.GetCommandAt(0), "0000H", "2") +
                              Line(slave, 2, *slave.GetCommandAt(1), "4000H", "1") +
                              Line(slave, 3, *slave.GetCommandAt(2), "0002H", "168") +
                              Line(slave, 4, *slave.GetCommandAt(3), "4001H", "4"));

    auto saved = Reload();
    const CSlaveNode& stored = FirstSlave(*saved);
    const std::vector<std::pair<std::string, std::string>> want = {
        {"0000H", "2"}, {"4000H", "1"}, {"0002H", "168"}, {"4001H", "4"}};
    ASSERT_EQ(stored.GetCommandCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ValueOf(*stored.GetCommandAt(i), CMD_ROW_MAP_ADDRESS), want[i].first);
        EXPECT_EQ(ValueOf(*stored.GetCommandAt(i), CMD_ROW_BYTE_COUNT), want[i].second);
    }

    const ProgramRun checked = RunTool({"check", file_});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_NE(checked.out.find("no faults found"), std::string::npos);

    const std::string svg = (dir_ / "map.svg").string();
    const ProgramRun map = RunTool({"map", file_, "--svg", svg});
    EXPECT_EQ(map.status, 0) << map.err;
    // Coils 3-12 from 0000H, registers from 0002H; nothing faulty.
    EXPECT_NE(map.out.find("  0000H  ...#####  command 1\n"), std::string::npos) << map.out;
    EXPECT_NE(map.out.find("  0001H  #####...  command 1\n"), std::string::npos);
    EXPECT_NE(map.out.find("  00A9H  ########  command 3\n"), std::string::npos);
    EXPECT_EQ(map.out.find("  00AAH"), std::string::npos);
    EXPECT_NE(map.out.find("  4000H  .......#  command 2\n"), std::string::npos);
    EXPECT_NE(map.out.find("Faults\n  none\n"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(svg).rfind("<?xml", 0), 0u);
}

TEST_F(GatewayCfgMapping, AutomapWritesTheFileEvenOnOverflow)
{
    auto root = MakeConfig({{3, "122"}, {2, "8"}, {16, "2"}});
    Save(*root);
    const ProgramRun mapped = RunTool({"automap", file_});
    EXPECT_EQ(mapped.status, static_cast<int>(RESULT_MAPPING_OVERFLOW));
    EXPECT_NE(mapped.err.find(GetLangString(5015)), std::string::npos) << mapped.err;
    EXPECT_EQ(mapped.err.find(GetLangString(5016)), std::string::npos);
    const CSlaveNode& slave = FirstSlave(*root);
    EXPECT_NE(mapped.out.find(Line(slave, 2, *slave.GetCommandAt(1), "00F4H", "1")), std::string::npos) << mapped.out;

    auto saved = Reload();
    EXPECT_EQ(ValueOf(*FirstSlave(*saved).GetCommandAt(1), CMD_ROW_MAP_ADDRESS), "00F4H");
    EXPECT_EQ(ValueOf(*FirstSlave(*saved).GetCommandAt(2), CMD_ROW_MAP_ADDRESS), "4000H");

    // An address past the end of its area is a value no edit could store.
    const ProgramRun checked = RunTool({"check", file_});
    EXPECT_EQ(checked.status, static_cast<int>(RESULT_OUT_OF_RANGE));
    EXPECT_EQ(checked.err, file_ + ": command:2 / Mapping Address(HEX) = \"00F4H\": " + ResultMessage(RESULT_OUT_OF_RANGE) +
                               "\n");
}

TEST_F(GatewayCfgMapping, CheckAndMapReportHandSetConflicts)
{
    auto root = MakeConfig({{3, "2", "0", "0000H"}, {1, "16", "0", "0001H"}, {16, "1", "0", "4000H"},
                            {15, "3", "2", "4000H"}, {4, "1", "0", "00F3H"}});
    Save(*root);
    const ProgramRun checked = RunTool({"check", file_});
    EXPECT_EQ(checked.status, static_cast<int>(RESULT_MAPPING_CONFLICT));
    EXPECT_NE(checked.err.find(ResultMessage(RESULT_MAPPING_CONFLICT)), std::string::npos);
    const std::string faults = "  conflict in the input area at 0001H bits 0-7: commands 1, 2\n"
                               "  conflict in the input area at 0002H bits 0-7: commands 1, 2\n"
                               "  overflow in the input area at 00F4H bits 0-7: command 5\n"
                               "  conflict in the output area at 4000H bits 2-4: commands 3, 4\n";
    EXPECT_NE(checked.err.find(faults), std::string::npos) << checked.err;

    const ProgramRun map = RunTool({"map", file_});
    EXPECT_EQ(map.status, 0);
    EXPECT_NE(map.out.find("  0001H  XXXXXXXX  commands 1, 2\n"
                           "  0002H  XXXXXXXX  commands 1, 2\n"
                           "  0003H  ########  command 1\n"), std::string::npos) << map.out;
    EXPECT_NE(map.out.find("  00F4H  !!!!!!!!  command 5  (past the end of the area)\n"), std::string::npos);
    EXPECT_NE(map.out.find("  4000H  ##XXX###  commands 3, 4\n"), std::string::npos);
    EXPECT_NE(map.out.find("Faults\n" + faults), std::string::npos);
}

TEST_F(GatewayCfgMapping, AutomapRunsOnAcrossSlaveNodesOfAFile)
{
    auto root = MakeConfig({{3, "4", "0", "0040H"}});
    CSlaveNode& second = AttachSlave(*root, {{4, "4", "0", "0000H"}}, "2");
    Save(*root);
    const ProgramRun mapped = RunTool({"automap", file_});
    EXPECT_EQ(mapped.status, 0) << mapped.err;
    EXPECT_NE(mapped.out.find(Line(second, 2, *second.GetCommandAt(0), "0008H", "8")), std::string::npos)
        << mapped.out;
    auto saved = Reload();
    ASSERT_EQ(saved->Subnet().GetNodeCount(), 2);
    EXPECT_EQ(ValueOf(*saved->Subnet().GetNodeAt(1)->GetCommandAt(0), CMD_ROW_MAP_ADDRESS), "0008H");
}

TEST_F(GatewayCfgMapping, AutomapRefusedInUserConfigMode)
{
    auto root = MakeConfig({{3, "4", "0", "0040H"}});
    root->Subnet().SetMode(MODE_USER_CONFIG);
    Save(*root);
    const std::string before = ReadWholeFile(file_);
    EXPECT_EQ(RunTool({"automap", file_}).status, 1);
    EXPECT_EQ(ReadWholeFile(file_), before);
}

} // namespace
