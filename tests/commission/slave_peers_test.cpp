// modbus-slave-sim driven by masters written by others: pymodbus's client with the requests a
// field master sends that no table answers (functions 7, 8, 43, quantities past the limits) and
// a damaged frame; mbpoll reading the values whose meaning is known, the same way probe's views
// read them.

#include <gtest/gtest.h>

#include <regex>

#include "support/probe_json.h"
#include "support/run_program.h"

namespace {

using namespace test_config;

// 25.0 as a float (41C8 0000) in the four orders from 100, -5 at 108.
const std::vector<std::string> kKnownValues = {"--holding", "100=0x41C8,0,0,0x41C8,0xC841,0,0,0xC841,0xFFFB",
                                               "--holding", "0=1,2,0x1234", "--idle-exit", "60"};

TEST(SlaveSimulatorWithAnIndependentMaster, AnswersAtOnceAndFindsTheNextRequest)
{
    ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--holding", "100=1,2,0x1234", "--idle-exit", "60"});
    ASSERT_TRUE(sim.Running());
    ScratchFolder folder;
    const ProgramRun run = RunProgram("/usr/bin/python3", {INDEPENDENT_MASTER_PATH, sim.Path()}, folder.Path().string());
    const char* expected[] = {
        "read exception status: exception 1", "diagnostics: exception 1", "device identification: exception 1",
        "126 registers: exception 3", "3 registers: 1 2 4660", "write 124 registers: exception 3",
        "damaged frame, then 3 registers: 1 2 4660",
    };
    std::istringstream lines(run.out);
    std::string line;
    for (const char* outcome : expected) {
        ASSERT_TRUE(std::getline(lines, line)) << run.out << run.err;
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, std::regex("(.*) in (\\d+) ms"))) << line;
        EXPECT_EQ(match[1].str(), outcome);
        EXPECT_LT(std::stoi(match[2]), 250) << line;   // at once, not after a time-out of its own
    }
}

TEST(ValueViews, ProbeReadsWhatMbpollReads)
{
    const struct {
        int start;
        int count;
        const char* view;            // probe --view
        const char* mbpollType;      // mbpoll -t, and -B for high word first
        bool highWordFirst;
        const char* reading;
    } cases[] = {
        {100, 2, "float:abcd", "4:float", true, "25"},
        {102, 2, "float:cdab", "4:float", false, "25"},
        {104, 2, "float:badc", nullptr, false, "25"},
        {106, 2, "float:dcba", nullptr, false, "25"},
        {108, 1, "signed", "4", false, "-5"},
        {100, 2, "int32:abcd", "4:int", true, "1103626240"},
        {102, 2, "uint32:cdab", "4:int", false, "1103626240"},
        {108, 1, "hex", "4:hex", false, "0xFFFB"},
        {108, 1, "binary", nullptr, false, "1111111111111011"},
    };
    ServingProcess sim([] {
        std::vector<std::string> args{MODBUS_SLAVE_SIM_PATH};
        args.insert(args.end(), kKnownValues.begin(), kKnownValues.end());
        return args;
    }());
    ASSERT_TRUE(sim.Running());
    ScratchFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view);
        const std::string file = SaveProbeConfig(folder / "config.xml", {{3, std::to_string(c.start), std::to_string(c.count)}});
        const ProgramRun run = RunTool({"probe", file, "--port", sim.Path(), "--json", "--view", std::string("1=") + c.view});
        EXPECT_NE(run.out.find("\"view\": \"" + std::string(c.view) + "\", \"reading\": [\"" + c.reading + "\"]"),
                  std::string::npos) << run.out;
        if (!c.mbpollType)
            continue;
        std::vector<std::string> args = {"-m", "rtu", "-a", "1", "-b", "19200", "-P", "none", "-0", "-1",
                                         "-t", c.mbpollType, "-r", std::to_string(c.start), "-c", "1", sim.Path()};
        if (c.highWordFirst)
            args.insert(args.begin(), "-B");
        const ProgramRun mbpoll = RunProgram("/usr/bin/mbpoll", args, folder.Path().string());
        std::smatch match;
        ASSERT_TRUE(std::regex_search(mbpoll.out, match, std::regex("\\[\\d+\\]:\\s+(\\S+)"))) << mbpoll.out << mbpoll.err;
        const std::string theirs = match[1].str();
        EXPECT_EQ(theirs == "65531" ? "-5" : theirs, c.reading);
    }
}

} // namespace
