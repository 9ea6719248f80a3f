// gatewaycfg probe end to end: the configuration's commands against two Modbus RTU slaves on
// pseudo-terminals, pymodbus (written by others) and modbus-slave-sim, one table of cases for both.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "support/run_in_process.h"
#include "support/serving_process.h"

namespace {

// What the slave holds, in the table options both slaves take.
const std::vector<std::string> kSlaveTables = {
    "--holding", "100=1,2,0x1234", "--input-registers", "200=7,0xBEEF", "--coils", "10=1,0,1,1,0,0,1,1,1",
    "--inputs", "20=0,1,1", "--holding", "300=5"};

// One command per row of the configuration: function code, then "label", "value" pairs.
struct ConfiguredCommand {
    int function;
    std::vector<std::string> items;
};
const std::vector<ConfiguredCommand> kCommands = {
    {3, {"Starting Address", "100", "Number of Data", "3"}},
    {4, {"Starting Address", "200", "Number of Data", "2"}},
    {1, {"Starting Address", "10", "Number of Data", "9", "Mapping Bit(0-7)", "3"}},
    {2, {"Starting Address", "20", "Number of Data", "3"}},
    {3, {"Starting Address", "5000", "Number of Data", "2"}},   // the slave has no such registers
    {6, {"Starting Address", "300"}},
    {3, {"Starting Address", "300", "Number of Data", "1"}},
};

struct Polled {
    std::string status;
    std::string exception;
    std::string values;
};

// The commands of probe's JSON object, by command number, and its input image.
std::map<int, Polled> ParseCommands(const std::string& json, std::string& image)
{
    std::map<int, Polled> polled;
    static const std::regex entry(
        R"re(\{"command": (\d+), "function": \d+, "start": \d+, "count": \d+, "status": "(\w+)", "exception": (\w+), "ms": [\d.]+, "values": \[([\d, ]*)\]\})re");
    for (std::sregex_iterator it(json.begin(), json.end(), entry), end; it != end; ++it)
        polled[std::stoi((*it)[1])] = {(*it)[2], (*it)[3], (*it)[4]};
    std::smatch match;
    if (std::regex_search(json, match, std::regex(R"re("input_image": "([0-9A-F]*)")re")))
        image = match[1];
    return polled;
}

struct ProbeCase {
    const char* name;
    std::vector<std::string> slaveArgs;      // beyond the tables
    std::vector<std::string> subnetItems;    // label, value pairs set on the subnet
    std::vector<std::string> probeArgs;
    int exitStatus;
    std::map<int, Polled> expected;          // by command number
    std::string imageStart;                  // the input image's first bytes, in hex
};

const Polled kOk1 = {"ok", "null", "1, 2, 4660"};
const std::vector<ProbeCase> kCases = {
    {"every_read_function_and_the_image", {}, {}, {}, 2,
     {{1, kOk1}, {2, {"ok", "null", "7, 48879"}}, {3, {"ok", "null", "1, 0, 1, 1, 0, 0, 1, 1, 1"}},
      {4, {"ok", "null", "0, 1, 1"}}, {5, {"exception", "2", ""}}, {6, {"skipped", "null", ""}},
      {7, {"ok", "null", "5"}}},
     // 3 registers | 2 input registers | coils from bit 3 | inputs | the failed command's 4 bytes | 1 register
     "000100021234" "0007BEEF" "680E" "06" "00000000" "0005"},
    {"write_goes_out_only_when_asked", {}, {}, {"--write", "6=77"}, 2,
     {{6, {"ok", "null", "77"}}, {7, {"ok", "null", "77"}}}, ""},
    {"selected_commands_only", {}, {}, {"--command", "1", "--command", "7"}, 0,
     {{1, kOk1}, {7, {"ok", "null", "5"}}}, "000100021234" + std::string(22, '0') + "0005"},
    // A slave that answers to another address than the configured one (1) stays silent.
    {"silent_slave_times_out", {"--address", "9"}, {}, {"--command", "1"}, 2, {{1, {"timeout", "null", ""}}}, ""},
    {"slow_slave_within_the_configured_timeout", {"--slow", "300"}, {"Response Timeout(50~60000ms)", "1500"},
     {"--command", "1"}, 0, {{1, kOk1}}, ""},
    {"slow_slave_past_the_configured_timeout", {"--slow", "300"}, {"Response Timeout(50~60000ms)", "100"},
     {"--command", "1"}, 2, {{1, {"timeout", "null", ""}}}, ""},
};

enum class Slave { Pymodbus, Simulator };

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }
void PrintTo(Slave slave, std::ostream* os) { *os << (slave == Slave::Pymodbus ? "pymodbus" : "modbus-slave-sim"); }

class ProbeTest : public ::testing::TestWithParam<std::tuple<Slave, ProbeCase>> {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("probe_test_" + std::to_string(getpid()) + "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(m_dir);
        m_file = (m_dir / "config.xml").string();
        ASSERT_EQ(RunTool({"new", m_file}).status, 0);
        for (std::size_t i = 0; i < kCommands.size(); ++i) {
            ASSERT_EQ(RunTool({"add-command", m_file, std::to_string(kCommands[i].function)}).status, 0);
            for (std::size_t k = 0; k + 1 < kCommands[i].items.size(); k += 2)
                ASSERT_EQ(RunTool({"set", m_file, "command:" + std::to_string(i + 1), kCommands[i].items[k],
                                   kCommands[i].items[k + 1]}).status, 0);
        }
        ASSERT_EQ(RunTool({"automap", m_file}).status, 0);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::vector<std::string> SlaveCommand(Slave slave) const
    {
        if (slave == Slave::Pymodbus)
            return {"/usr/bin/python3", PYMODBUS_SLAVE_PATH, "--lifetime", "60"};
        return {MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"};
    }

    std::filesystem::path m_dir;
    std::string m_file;
};

TEST_P(ProbeTest, ReportsWhatTheSlaveAnswers)
{
    const auto& [slave, c] = GetParam();
    std::vector<std::string> command = SlaveCommand(slave);
    command.insert(command.end(), kSlaveTables.begin(), kSlaveTables.end());
    command.insert(command.end(), c.slaveArgs.begin(), c.slaveArgs.end());
    for (std::size_t k = 0; k + 1 < c.subnetItems.size(); k += 2)
        ASSERT_EQ(RunTool({"set", m_file, "subnet", c.subnetItems[k], c.subnetItems[k + 1]}).status, 0);

    ServingProcess server(command);
    ASSERT_TRUE(server.Running());
    std::vector<std::string> args = {"probe", m_file, "--port", server.Path(), "--json"};
    args.insert(args.end(), c.probeArgs.begin(), c.probeArgs.end());
    const ProgramRun run = RunTool(args);
    EXPECT_EQ(run.status, c.exitStatus) << run.err;

    std::string image;
    const std::map<int, Polled> polled = ParseCommands(run.out, image);
    EXPECT_EQ(image.size(), 488u) << run.out;
    EXPECT_EQ(image.substr(0, c.imageStart.size()), c.imageStart);
    for (const auto& [number, want] : c.expected) {
        ASSERT_TRUE(polled.count(number)) << "command " << number << " missing in " << run.out;
        const Polled& got = polled.at(number);
        EXPECT_EQ(got.status, want.status) << "command " << number;
        EXPECT_EQ(got.exception, want.exception) << "command " << number;
        EXPECT_EQ(got.values, want.values) << "command " << number;
    }
    if (!c.probeArgs.empty() && c.probeArgs[0] == "--command") {
        EXPECT_EQ(polled.size(), c.expected.size()) << "only the selected commands are polled";
    }
}

INSTANTIATE_TEST_SUITE_P(BothSlaves, ProbeTest,
                         ::testing::Combine(::testing::Values(Slave::Pymodbus, Slave::Simulator),
                                            ::testing::ValuesIn(kCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == Slave::Pymodbus ? "pymodbus_" : "sim_") +
                                    std::get<1>(info.param).name;
                         });

} // namespace

namespace {

struct RefusalCase {
    const char* name;
    std::vector<std::string> edit;        // a gatewaycfg set before the probe; empty for none
    const char* storedAs = nullptr;       // then put this in the file for the value set, as only a file can
    std::vector<std::string> probeArgs;   // "PORT" stands for the simulator's terminal
    int exitStatus;
    const char* message;                  // part of what probe says on stderr
};

TEST(ProbeRefusals, NothingIsPolledWhenTheRunCannotStart)
{
    const std::vector<RefusalCase> cases = {
        {"parity", {"subnet", "Check Bit", "Even"}, nullptr, {"--port", "PORT"}, 4, "the port refused parity Even"},
        {"no port", {}, nullptr, {"--port", "/dev/no-such-port"}, 4, "cannot open /dev/no-such-port"},
        {"write to a read", {}, nullptr, {"--port", "PORT", "--write", "1=5"}, 64, "the command does not write"},
        {"values", {}, nullptr, {"--port", "PORT", "--write", "2=1,2"}, 64, "writes 1 value(s), not 2"},
        {"bad value", {}, nullptr, {"--port", "PORT", "--write", "2=70000"}, 64, "not a value from 0 to 65535"},
        {"no command", {}, nullptr, {"--port", "PORT", "--command", "99"}, 64, "there is no such command"},
        {"empty item", {"command:1", "Starting Address", "4321"}, "", {"--port", "PORT"}, 6, "nothing was sent"},
        {"impossible value", {"subnet", "Response Timeout(50~60000ms)", "4321"}, "0", {"--port", "PORT"}, 8,
         "subnet / Response Timeout(50~60000ms) = \"0\""},
        {"unreadable", {}, nullptr, {"--port", "PORT"}, 65, ""},
    };
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("probe_refusals_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "config.xml").string();
    ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"});
    ASSERT_TRUE(sim.Running());
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(RunTool({"new", file, "--force"}).status, 0);
        for (const char* function : {"3", "6"})
            ASSERT_EQ(RunTool({"add-command", file, function}).status, 0);
        for (const char* command : {"command:1", "command:2"})
            ASSERT_EQ(RunTool({"set", file, command, "Starting Address", "1"}).status, 0);
        ASSERT_EQ(RunTool({"set", file, "command:1", "Number of Data", "1"}).status, 0);
        ASSERT_EQ(RunTool({"automap", file}).status, 0);
        if (!c.edit.empty()) {
            ASSERT_EQ(RunTool({"set", file, c.edit[0], c.edit[1], c.edit[2]}).status, 0);
        }
        if (c.storedAs) {
            std::string xml = ReadWholeFile(file);
            xml.replace(xml.find("Value=\"" + c.edit[2] + "\""), c.edit[2].size() + 8,
                        "Value=\"" + std::string(c.storedAs) + "\"");
            std::ofstream(file, std::ios::binary | std::ios::trunc) << xml;
        }
        const std::string target = c.exitStatus == 65 ? (dir / "missing.xml").string() : file;
        std::vector<std::string> args = {"probe", target};
        for (const std::string& arg : c.probeArgs)
            args.push_back(arg == "PORT" ? sim.Path() : arg);
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, c.exitStatus) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    std::filesystem::remove_all(dir);
}

} // namespace
