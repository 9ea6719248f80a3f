// gatewaycfg probe end to end: the configuration's commands against two Modbus RTU slaves on
// pseudo-terminals, pymodbus (written by others) and modbus-slave-sim, one table of cases for both.

#include <gtest/gtest.h>

#include <functional>

#include "support/probe_json.h"
#include "support/run_program.h"

namespace {

using namespace test_config;

// What the slave holds, in the table options both slaves take.
const std::vector<std::string> kSlaveTables = {"--holding", "100=1,2,0x1234", "--input-registers", "200=7,0xBEEF", "--coils",
                                               "10=1,0,1,1,0,0,1,1,1", "--inputs", "20=0,1,1", "--holding", "300=5"};

std::string SavedConfig(const ScratchFolder& folder, const std::vector<CommandValues>& commands,
                        const std::function<void(CDeviceConfig&)>& edit = {})
{
    return SaveProbeConfig(folder / "config.xml", commands, edit);
}

class Probe : public ::testing::TestWithParam<bool> {};   // pymodbus, or modbus-slave-sim

TEST_P(Probe, ReportsWhatTheSlaveAnswers)
{
    const std::vector<CommandValues> commands = {{3, "100", "3"}, {4, "200", "2"}, {1, "10", "9", "", "3"}, {2, "20", "3"},
                                               {3, "5000", "2"},   // the slave has no such registers
                                               {6, "300"}, {3, "300", "1"}};
    const std::string all5 = "1 ok null [1, 2, 4660]\n2 ok null [7, 48879]\n3 ok null [1, 0, 1, 1, 0, 0, 1, 1, 1]\n"
                             "4 ok null [0, 1, 1]\n5 exception 2 []\n";
    const struct {
        const char* name;
        bool slow;                    // the slave waits 300 ms before each answer
        int slaveAddress;             // of the configuration; the slave answers to 1 only
        const char* responseTimeout;
        std::vector<std::string> probeArgs;
        int exitStatus;
        std::string polled;
        std::string imageStart;       // the input image's first bytes, in hex
    } cases[] = {
        // A request for another slave first: the next request to this one is still answered.
        {"silent slave times out", false, 9, "300", {"--command", "1"}, 2, "1 timeout null []\n", ""},
        // 3 registers | 2 input registers | coils from bit 3 | inputs | the failed command's 4 bytes | 1 register
        {"every command and the image", false, 1, "300", {}, 2, all5 + "6 skipped null []\n7 ok null [5]\n",
         "000100021234" "0007BEEF" "680E" "06" "00000000" "0005"},
        {"selected commands only", false, 1, "300", {"--command", "1", "--command", "7"}, 0, "1 ok null [1, 2, 4660]\n7 ok null [5]\n",
         "000100021234" + std::string(22, '0') + "0005"},
        {"a write goes out only when asked", false, 1, "300", {"--write", "6=77"}, 2, all5 + "6 ok null [77]\n7 ok null [77]\n", ""},
        {"a write sent in the first pass keeps its outcome", false, 1, "300", {"--write", "6=0x4E", "--repeat", "2"}, 2,
         all5 + "6 ok null [78]\n7 ok null [78]\n", ""},
        {"slow slave within the time-out", true, 1, "1500", {"--command", "1"}, 0, "1 ok null [1, 2, 4660]\n", ""},
        {"slow slave past the time-out", true, 1, "100", {"--command", "1"}, 2, "1 timeout null []\n", ""},
    };
    ScratchFolder folder;
    std::unique_ptr<ServingProcess> slave;
    bool slow = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!slave || c.slow != slow) {   // one slave for the quick cases, one for the slow
            slave.reset();
            slow = c.slow;
            std::vector<std::string> args = GetParam() ? std::vector<std::string>{"/usr/bin/python3", PYMODBUS_SLAVE_PATH, "--lifetime", "60"}
                                                       : std::vector<std::string>{MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"};
            args.insert(args.end(), kSlaveTables.begin(), kSlaveTables.end());
            if (c.slow)
                args.insert(args.end(), {"--slow", "300"});
            slave = std::make_unique<ServingProcess>(args);
            ASSERT_TRUE(slave->Running());
        }
        const std::string file = SavedConfig(folder, commands, [&](CDeviceConfig& r) {
            SlaveOf(r, c.slaveAddress);
            SetValue(r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), c.responseTimeout);
        });
        std::vector<std::string> args = {"probe", file, "--port", slave->Path(), "--json"};
        args.insert(args.end(), c.probeArgs.begin(), c.probeArgs.end());
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, c.exitStatus) << run.err;
        std::string image;
        EXPECT_EQ(PolledLines(run.out, &image), c.polled) << run.out;
        EXPECT_EQ(image.size(), 488u);
        EXPECT_EQ(image.substr(0, c.imageStart.size()), c.imageStart);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSlaves, Probe, ::testing::Values(true, false),
                         [](const auto& instance) { return std::string(instance.param ? "pymodbus" : "modbus_slave_sim"); });

TEST(ProbeText, SaysWhatTheImageDoesNotShow)
{
    const struct {
        const char* name;
        std::vector<CommandValues> commands;
        std::vector<std::string> args;
        std::vector<std::string> shown;
        const char* notShown;
    } cases[] = {
        {"only writes: no image", {{6, "1"}}, {}, {"skipped"}, "input image"},
        {"a failed command's bytes", {{3, "5000", "2"}, {3, "1", "1"}}, {},
         {"0000  -- -- -- -- 00 01", "exception 2 (Illegal data address)"}, "0000  00 00 00 00"},
        {"byte swap", {{3, "1", "1"}}, {},
         {"command 1 (03 Read Holding Register): the module swaps its data (\"Double-byte-exchange\"); the input image "
          "shows the bytes unswapped, as the slave sent them"}, "Non-exchange"},
        {"repeated passes", {{6, "1"}, {3, "1", "1"}}, {"--write", "1=5", "--repeat", "2"},
         {"pass 2 of 2", "(a write: sent once, in the first pass)", "statistics over 2 passes", " 1  fc 06  ok 1  timeout 0  error 0  ms "},
         "sent only with --write"},
    };
    ScratchFolder folder;
    ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = SavedConfig(folder, c.commands, [](CDeviceConfig& r) {
            SetValue(r.Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_BYTE_SWAP), "Double-byte-exchange");
        });
        std::vector<std::string> args = {"probe", file, "--port", sim.Path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun run = RunTool(args);
        for (const std::string& text : c.shown)
            EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
        EXPECT_EQ(run.out.find(c.notShown), std::string::npos) << run.out;
    }
}

TEST(ProbeRefusals, NothingIsPolledWhenTheRunCannotStart)
{
    const auto subnet = [](int row, const char* value) {
        return [=](CDeviceConfig& r) { SetValue(r.Subnet().GetItemAt(row), value); };
    };
    const struct {
        const char* name;
        std::function<void(CDeviceConfig&)> edit;
        std::vector<std::string> probeArgs;   // "PORT" stands for the slave's terminal
        int exitStatus;
        const char* message;                  // part of what probe says on stderr
    } cases[] = {
        {"parity", subnet(SUBNET_ROW_CHECK_BIT, "Even"), {"--port", "PORT"}, 4, "the port refused parity Even"},
        {"no port", {}, {"--port", "/dev/no-such-port"}, 4, "/dev/no-such-port does not exist"},
        {"mark parity is tried", subnet(SUBNET_ROW_CHECK_BIT, "Mark"), {"--port", "PORT"}, 4, "the port refused parity Mark"},
        {"write to a read", {}, {"--port", "PORT", "--write", "1=5"}, 64, "the command does not write"},
        {"values", {}, {"--port", "PORT", "--write", "2=1,2"}, 64, "writes 1 value(s), not 2"},
        {"bad value", {}, {"--port", "PORT", "--write", "2=70000"}, 64, "not a value from 0 to 65535"},
        {"no command", {}, {"--port", "PORT", "--command", "99"}, 64, "there is no such command"},
        {"empty item", [](CDeviceConfig& r) { SetValue(r.Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_START_ADDRESS), ""); },
         {"--port", "PORT"}, 6, "nothing was sent"},
        {"impossible value", subnet(SUBNET_ROW_RESPONSE_TIMEOUT, "0"), {"--port", "PORT"}, 8, "subnet / Response Timeout(50~60000ms) = \"0\""},
        {"unreadable", {}, {"--port", "PORT"}, 65, ""},
        {"data past 65535", [](CDeviceConfig& r) {
             SetValue(r.Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_START_ADDRESS), "65535");
             SetValue(r.Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_DATA_COUNT), "2");
         }, {"--port", "PORT"}, 8, "command:1 / Number of Data = \"2\": from \"Starting Address\" 65535 the data run past address 65535"},
        {"no view", {}, {"--port", "PORT", "--view", "double"}, 64, "\"double\" is no view"},
        {"no kernel RS-485 on a pseudo-terminal", {}, {"--port", "PORT", "--rs485"}, 4, "the port's driver has no RS-485 mode"},
        {"no RTS on a pseudo-terminal", {}, {"--port", "PORT", "--rts", "up"}, 4, "the port has no RTS line to drive"},
    };
    ScratchFolder folder;
    ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"});
    ASSERT_TRUE(sim.Running());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = SavedConfig(folder, {{3, "1", "1"}, {6, "1"}}, c.edit);
        std::vector<std::string> args = {"probe", c.exitStatus == 65 ? folder / "missing.xml" : file};
        for (const std::string& arg : c.probeArgs)
            args.push_back(arg == "PORT" ? sim.Path() : arg);
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, c.exitStatus) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

} // namespace
