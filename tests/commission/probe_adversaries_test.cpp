// gatewaycfg probe against slaves that misbehave: a scripted hostile slave on a raw
// pseudo-terminal (late, cut, split, echoed, foreign and damaged replies), modbus-slave-sim
// leaving every third request unanswered, and a slave that goes away in the middle of a run.

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

#include "support/probe_json.h"
#include "support/run_program.h"

namespace {

using namespace test_config;

// Command 1 reads 3 holding registers at 100, command 2 two input registers at 200: replies
// of different shapes, so that one can never pass for the other.
const std::vector<CommandValues> kTwoReads = {{3, "100", "3"}, {4, "200", "2"}};
const std::string kSecondOk = "2 ok null [200, 201]\n";

TEST(ProbeAgainstAHostileSlave, EveryReplyBelongsToItsRequest)
{
    const struct {
        const char* script;   // the slave's behaviour for command 1, then for command 2
        std::string first;    // command 1: "status detail notes"
        bool answered;        // command 1 got its registers
        std::string secondNotes;
    } cases[] = {
        {"ok,ok", "ok null []", true, "[]"},
        {"late:800,ok:200", "timeout \"no reply within 300 ms\" []", false, "[\"late reply to command 1 discarded\"]"},
        {"split:20,ok", "ok null []", true, "[]"},
        {"split:400,ok", "incomplete \"incomplete reply (5 bytes)\" [\"garbled reply (6 bytes: 00 65 00 66 C0 88), discarded\"]",
         false, "[]"},
        {"short,ok", "incomplete \"incomplete reply (8 bytes)\" []", false, "[]"},
        {"echo,ok", "ok null [\"the adapter echoed the request\"]", true, "[]"},
        {"wrong-address,ok", "error \"reply from slave 2, not 1\" []", false, "[]"},
        {"wrong-function,ok", "error \"reply with function 4 to a function 3 request\" []", false, "[]"},
        {"wrong-count,ok", "error \"reply with 4 data bytes, not 6\" []", false, "[]"},
        {"bad-crc,ok", "error \"CRC error in the reply\" []", false, "[]"},
        {"garbage,ok", "error \"garbled reply (7 bytes: 55 AA 13 37 00 FF 42)\" []", false, "[]"},
        {"silent,ok", "timeout \"no reply within 300 ms\" []", false, "[]"},
    };
    // At 300 bit/s a reply ends after 128 ms of silence: far from the slave's pauses either way.
    ScratchFolder folder;
    const std::string file = SaveProbeConfig(folder / "config.xml", kTwoReads, [](CDeviceConfig& r) {
        SetValue(r.Subnet().GetItemAt(SUBNET_ROW_BAUD_RATE), "300");
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        ServingProcess slave({"/usr/bin/python3", HOSTILE_SLAVE_PATH, "--script", c.script, "--lifetime", "30"});
        ASSERT_TRUE(slave.Running());
        const ProgramRun run = RunTool({"probe", file, "--port", slave.Path(), "--json"});
        EXPECT_EQ(PolledLines(run.out, nullptr, true), "1 " + c.first + "\n2 ok null " + c.secondNotes + "\n") << run.out;
        const std::string values = PolledLines(run.out);
        EXPECT_EQ(values.substr(values.find('\n') + 1), kSecondOk);
        EXPECT_EQ(values.find("[100, 101, 102]") != std::string::npos, c.answered) << values;
        EXPECT_EQ(run.status, c.answered ? 0 : 2) << run.err;
    }
}

TEST(ProbeStatistics, CountEveryOutcomeOfRepeatedPasses)
{
    const struct {
        std::vector<std::string> args;
        const char* statistics;   // command, ok, timeout, error
    } cases[] = {
        {{"--repeat", "6"}, "1 4 2 0"},
        {{"--repeat", "3", "--command", "1"}, "1 2 1 0"},
    };
    ScratchFolder folder;
    const std::string file = SaveProbeConfig(folder / "config.xml", {{3, "10", "2"}}, [](CDeviceConfig& r) {
        SetValue(r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "100");
    });
    for (const auto& c : cases) {
        ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--silent-every", "3", "--idle-exit", "30"});
        std::vector<std::string> args = {"probe", file, "--port", sim.Path(), "--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun run = RunTool(args);
        std::smatch match;
        ASSERT_TRUE(std::regex_search(run.out, match, std::regex(R"re("statistics": \[\{"command": (\d+), "ok": (\d+), "timeout": (\d+), "error": (\d+), "min_ms": ([\d.]+), "mean_ms": ([\d.]+), "max_ms": ([\d.]+)\}\])re")))
            << run.out;
        EXPECT_EQ(match[1].str() + " " + match[2].str() + " " + match[3].str() + " " + match[4].str(), c.statistics);
        EXPECT_LE(std::stod(match[5]), std::stod(match[6]));
        EXPECT_LE(std::stod(match[6]), std::stod(match[7]));
        EXPECT_EQ(run.status, 2);
    }
}

TEST(ProbeLineLoss, ARunStopsWhenTheSlaveGoesAway)
{
    ScratchFolder folder;
    const std::string file = SaveProbeConfig(folder / "config.xml", {{3, "10", "2"}});
    auto sim = std::make_unique<ServingProcess>(std::vector<std::string>{MODBUS_SLAVE_SIM_PATH, "--idle-exit", "30"});
    std::thread killer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sim->Stop();
    });
    const auto start = std::chrono::steady_clock::now();
    const ProgramRun run = RunTool({"probe", file, "--port", sim->Path(), "--repeat", "100000"});
    killer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("hung up"), std::string::npos) << run.out.substr(run.out.size() > 2000 ? run.out.size() - 2000 : 0);
}

} // namespace
