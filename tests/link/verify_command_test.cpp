// gatewaycfg verify and download --verify against gateway-sim.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "file/config_file.h"
#include "link_test_support.h"
#include "model/lang_strings.h"
#include "sim_process.h"
#include "support/run_in_process.h"

namespace {

using namespace link_test;
namespace fs = std::filesystem;

class VerifyCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("verify-command-" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = (m_dir / "plant.xml").string();
        m_state = (m_dir / "module.state").string();
        ASSERT_TRUE(SaveFile(*MakeConfig(MODE_MODBUS_MASTER, 3), m_file).ok);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    std::string m_file;
    std::string m_state;
};

TEST_F(VerifyCommand, EqualRightAfterADownloadThenNamesTheItemTheModuleChanged)
{
    {
        SimProcess sim({"--state", m_state});
        const ProgramRun down = RunTool({"download", m_file, "--port", sim.Path(), "--verify"});
        EXPECT_EQ(down.status, 0) << down.out << down.err;
        EXPECT_NE(down.out.find("holds what the file says"), std::string::npos) << down.out;
        const ProgramRun verify = RunTool({"verify", m_file, "--port", sim.Path(), "--json"});
        EXPECT_EQ(verify.status, 0) << verify.err;
        EXPECT_EQ(verify.out, "{\"equal\": true, \"differences\": []}\n");
    }
    // The module's copy of the third command's starting address (207 = 00CFh) changes.
    std::string state = ReadWholeFile(m_state);
    state = std::regex_replace(state, std::regex("(command 02 11 03) 00 CF"), "$1 01 00");
    std::ofstream(m_state, std::ios::trunc) << state;
    const std::string before = ReadWholeFile(m_file);

    SimProcess sim({"--state", m_state});
    const ProgramRun text = RunTool({"verify", m_file, "--port", sim.Path()});
    EXPECT_EQ(text.status, 1) << text.err;
    EXPECT_EQ(text.out, "command:3 / Starting Address: 207 \u2192 256\n");
    const ProgramRun json = RunTool({"verify", m_file, "--port", sim.Path(), "--json", "--trace"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out, "{\"equal\": false, \"differences\": [\n"
                        "  {\"node\": \"command:3\", \"item\": \"Starting Address\", \"left\": \"207\", \"right\": \"256\"}\n]}\n");
    EXPECT_NE(json.err.find("-> READ_VERSION"), std::string::npos) << "the trace keeps out of the JSON";
    EXPECT_EQ(ReadWholeFile(m_file), before) << "verify never writes FILE";
}

TEST_F(VerifyCommand, AFaultEndsWithItsCodeAndLeavesTheFile)
{
    const std::string before = ReadWholeFile(m_file);
    struct Row {
        std::vector<std::string> simArgs;
        int status;
    };
    const Row rows[] = {
        {{"--bad-checksum", "--fault-on", "15"}, RESULT_REPLY_MISMATCH},
        {{"--product", "0x05"}, RESULT_VERSION_MISMATCH},
        {{"--hw-version", "3.0"}, RESULT_VERSION_MISMATCH},
    };
    for (const Row& row : rows) {
        SimProcess sim(row.simArgs);
        const ProgramRun run = RunTool({"verify", m_file, "--port", sim.Path()});
        EXPECT_EQ(run.status, row.status) << row.simArgs[0] << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(ReadWholeFile(m_file), before);
    }
    EXPECT_EQ(RunTool({"verify", (m_dir / "missing.xml").string(), "--port", "/dev/null"}).status, 65);
}

// A typed probing time-out whose low byte is FFh is taken by the module but reads back as
// "Default Value": the download's check catches what the plain download reports as success.
TEST_F(VerifyCommand, DownloadVerifyFailsOnWhatDoesNotComeBack)
{
    auto root = MakeConfig(MODE_MODBUS_MASTER, 2);
    root->Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value = "511";
    ASSERT_TRUE(SaveFile(*root, m_file).ok);
    SimProcess sim({});
    const ProgramRun run = RunTool({"download", m_file, "--port", sim.Path(), "--verify"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find(GetLangString(29)), std::string::npos) << "the download itself succeeded";
    EXPECT_NE(run.out.find("profibus / Timeout Duration of Probing Modbus Node(ms): 511 \u2192 Default Value"),
              std::string::npos) << run.out;
}

} // namespace
