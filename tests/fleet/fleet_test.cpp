// gatewaycfg fleet: sixteen simulated modules behind ser2net with every outcome a plant meets,
// plans as spreadsheets write them (and as they should not), uploads beside the plan, the
// progress of the running modules, and a signal that stops them all.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <sstream>

#include "cli/fleet_report.h"
#include "file/config_file.h"
#include "link/uucp_lock.h"
#include "support/config_builder.h"
#include "support/device_server.h"
#include "support/in_process_module.h"
#include "support/run_program.h"

namespace {

using namespace test_config;
namespace fs = std::filesystem;

// "name code" for each module of a fleet's JSON, in the plan's order.
std::string Codes(const std::string& json)
{
    static const std::regex module(R"re(\{"name": "([^"]*)", "port": "[^"]*", "file": "[^"]*", "action": "(\w+)", )re"
                                   R"re("code": (\d+), "message": "(?:[^"\\]|\\.)*", "seconds": [\d.]+\})re");
    std::string codes;
    for (std::sregex_iterator it(json.begin(), json.end(), module), end; it != end; ++it)
        codes += (*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str() + "\n";
    return codes;
}

TEST(Fleet, SixteenModulesBehindSer2net)
{
    ScratchFolder folder;
    SaveConfig(*MakeFilledConfig(MODE_MODBUS_MASTER, 3), folder / "plant.xml");
    auto plant = MakeFilledConfig(MODE_MODBUS_MASTER, 3);
    SetValue(plant->Subnet().GetNodeAt(0)->GetCommandAt(2)->GetItemAt(CMD_ROW_START_ADDRESS), "256");
    ASSERT_TRUE(gw::SaveFile(*plant, folder / "changed.xml").ok);
    // m01-m14 answer, m15 is silent, m16's port has no server; every other one is RFC 2217.
    std::vector<std::unique_ptr<InProcessModule>> modules;
    std::vector<ServedDevice> served;
    for (int i = 0; i < 15; ++i) {
        SimFaults faults;
        faults.noAnswer = i == 14;
        modules.push_back(std::make_unique<InProcessModule>(SimIdentity{}, faults));
        served.push_back({modules.back()->Path(), i % 2 == 1});
    }
    Ser2net ser2net(served, folder.Path().string());
    ASSERT_TRUE(ser2net.Running());
    const auto writePlan = [&](const std::string& fourteenth) {
        std::string plan = "name,port,file,hw\n";
        for (int i = 0; i < 16; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "m%02d", i + 1);
            const std::string port = i < 15 ? ser2net.Url(static_cast<std::size_t>(i)) : "socket://127.0.0.1:" + std::to_string(FreeTcpPort());
            plan += std::string(name) + "," + port + "," + (i == 13 ? fourteenth : "plant.xml") + "," + (i % 3 ? "2.1" : "") + "\n";
        }
        folder.Write("plan.csv", plan);
    };
    writePlan("plant.xml");
    const ProgramRun down = RunTool({"fleet", folder / "plan.csv", "--action", "download", "--jobs", "6"});
    EXPECT_EQ(down.status, 1) << down.err;
    EXPECT_TRUE(Has(down.out, "16 module(s): 14 succeeded, 2 failed")) << down.out;
    EXPECT_TRUE(Has(down.out, "m15 via " + ser2net.Url(14) + ": 5 ")) << down.out;

    writePlan("changed.xml");
    const ProgramRun verify = RunTool({"fleet", folder / "plan.csv", "--json", "--report", folder / "traces"});
    EXPECT_EQ(verify.status, 1) << verify.err;
    std::string expected;
    for (int i = 1; i <= 16; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "m%02d verify %d\n", i, i == 14 ? 1 : i == 15 ? 5 : i == 16 ? 4 : 0);
        expected += line;
    }
    EXPECT_EQ(Codes(verify.out), expected) << verify.out;
    EXPECT_TRUE(verify.out.ends_with("\n], \"succeeded\": 13, \"failed\": 3}\n")) << verify.out;
    EXPECT_TRUE(Has(verify.out, "differs in 1 item(s), first command:3 / Starting Address: ")) << verify.out;
    EXPECT_TRUE(Has(verify.err, "m16 via socket://127.0.0.1:")) << "the lines go with the messages";
    // The document is JSON as a scheduler's tools read it.
    folder.Write("fleet.json", verify.out);
    const ProgramRun parsed = RunProgram("/usr/bin/python3", {"-c", "import json, sys; d = json.load(open(sys.argv[1])); "
                                                                    "print(sorted(d), sorted(d['modules'][0]), len(d['modules']))",
                                                              folder / "fleet.json"},
                                         folder.Path().string());
    EXPECT_EQ(parsed.out, "['failed', 'modules', 'succeeded'] ['action', 'code', 'file', 'message', 'name', 'port', 'seconds'] 16\n")
        << parsed.err;
    const std::string trace = folder.Read("traces/m02.trace");
    EXPECT_TRUE(trace.starts_with("m02 via rfc2217://127.0.0.1:") && Has(trace, "-> READ_VERSION") &&
                trace.ends_with("=> 0 the module (hardware 2.1) holds what the file says\n"))
        << trace;
}

TEST(FleetPlan, IsReadAsSpreadsheetsWriteIt)
{
    const struct {
        const char* name;
        std::string text;
        std::string read;   // "name|port|file|hw|action" per module, or the fault (part of it)
    } rows[] = {
        {"plain", "name,port,file\nA1,/dev/ttyUSB0,a.xml\n", "A1|/dev/ttyUSB0|a.xml||\n"},
        {"quoted, any column order, CR LF, a blank row",
         "\xEF\xBB\xBFPort,Name,File,HW,Action\r\n\"socket://[::1]:4001\",\"Line 1, north\",\"my \"\"plant\"\".xml\",2.0,Upload\r\n,,,,\r\n",
         "Line 1, north|socket://[::1]:4001|my \"plant\".xml|2.0|upload\n"},
        {"semicolons", "name;port;file\nA1;rfc2217://h:1;a.xml\n", "A1|rfc2217://h:1|a.xml||\n"},
        {"an upload needs no file", "name,port,file,action\nA1,/dev/x,,upload\n", "A1|/dev/x|||upload\n"},
        {"empty", "", "the plan is empty"},
        {"an unknown column", "name,port,file,note\n", "unknown column \"note\""},
        {"a missing column", "name,port\nA,/dev/x\n", "the column \"file\" is missing"},
        {"no module", "name,port,file\n", "the plan names no module"},
        {"a name twice", "name,port,file\nA,/dev/x,a.xml\nA,/dev/y,b.xml\n", "plan.csv:3: the name \"A\" is given twice"},
        {"a name no file may have", "name,port,file\n../A,/dev/x,a.xml\n", "the name \"../A\" cannot be a file name"},
        {"no port", "name,port,file\nA,,a.xml\n", "A has no port"},
        {"no file", "name,port,file\nA,/dev/x,\n", "A has no file"},
        {"a row too long", "name,port,file\nA,/dev/x,a.xml,extra\n", "the row has 4 fields, the header names 3"},
        {"an unknown action", "name,port,file,action\nA,/dev/x,a.xml,flash\n", "not \"flash\""},
        {"a bad version", "name,port,file,hw\nA,/dev/x,a.xml,two\n", "hw takes a hardware version such as 2.1"},
        {"an open quote", "name,port,file\n\"A,/dev/x,a.xml\n", "plan.csv:"},
    };
    ScratchFolder folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        folder.Write("plan.csv", row.text);
        FleetPlan plan;
        std::string read;
        if (const Outcome parsed = gw::ReadFleetPlan(folder / "plan.csv", plan)) {
            for (const PlanModule& m : plan.modules)
                read += m.name + "|" + m.port + "|" + m.file + "|" + (m.hardware ? gw::HardwareVersionText(*m.hardware) : "") + "|" +
                        (m.action ? gw::FleetActionName(*m.action) : "") + "\n";
            EXPECT_EQ(read, row.read);
        } else {
            EXPECT_TRUE(Has(parsed.message, row.read) && Has(parsed.message, folder / "plan.csv")) << parsed.message;
        }
    }
    EXPECT_EQ(RunTool({"fleet", folder / "missing.csv"}).status, 65);
}

// An upload writes NAME.xml beside the plan, from the module's file, and never over a file of
// the plan.
TEST(Fleet, UploadsBesideThePlan)
{
    ScratchFolder folder;
    InProcessModule first({}), second({});
    ASSERT_EQ(RunTool({"download", SaveConfig(*MakeFilledConfig(MODE_MODBUS_MASTER, 3), folder / "plant.xml"), "--port", first.Path()}).status, 0);
    folder.Write("plan.csv", "name,port,file,action\nplant,/dev/null,plant.xml,verify\nline2," + first.Path() + ",,upload\nline3," +
                                 second.Path() + ",,upload\n");
    folder.Write("line3.xml", "");
    const std::string plan = folder.Read("plan.csv"), before = folder.Read("plant.xml");
    const ProgramRun run = RunTool({"fleet", folder / "plan.csv", "--action", "upload"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.out, "plant via /dev/null: 74 plant.xml is one of the plan's own files")) << run.out;
    EXPECT_TRUE(Has(run.out, "line2 via " + first.Path() + ": 0 Upload successfully! into line2.xml")) << run.out;
    EXPECT_TRUE(Has(run.out, "line3 via " + second.Path() + ": 0 ")) << "an earlier NAME.xml is replaced: " << run.out;
    EXPECT_EQ(RunTool({"diff", "--module", folder / "plant.xml", folder / "line2.xml"}).out, "");
    EXPECT_EQ(folder.Read("plant.xml"), before);
    EXPECT_EQ(folder.Read("plan.csv"), plan);
}

TEST(FleetConsole, ShowsEveryRunningModule)
{
    FleetPlan plan;
    plan.modules.resize(2);
    plan.modules[0].name = "north";
    plan.modules[0].port = "socket://h:1";
    plan.modules[1].name = "south";
    const FleetOptions options;
    std::ostringstream lines, progress;
    {
        CFleetConsole console(plan, options, lines, &progress);
        console.OnStarted(0);
        console.OnStarted(1);
        console.OnProgress(0, 3, 0);
        ModuleResult ended;
        ended.outcome = {5, "Failed to read serial port", "a.xml"};
        ended.seconds = 1.5;
        console.OnEnded(0, ended);
        console.OnProgress(1, 4, 9);
        console.OnStarted(0);
    }
    EXPECT_EQ(lines.str(), "north via socket://h:1: 5 Failed to read serial port (1.50 s)\n");
    const std::string shown = progress.str();
    EXPECT_TRUE(Has(shown, "  north: connecting\n  south: connecting\n")) << shown;
    EXPECT_TRUE(Has(shown, "\x1b[2A\x1b[J  south: connecting\n")) << "the ended module's row goes: " << shown;
    EXPECT_TRUE(Has(shown, "\x1b[1A\x1b[J  north: connecting\n  south: exchange 4 of 9\n")) << shown;
    EXPECT_TRUE(shown.ends_with("\x1b[2A\x1b[J")) << "the rows are erased at the end: " << shown;
}

// SIGTERM stops every running module at once: each port is let go with its lock, the modules
// not started yet are not, and the summary still comes.
TEST(Fleet, ASignalStopsEveryModule)
{
    ScratchFolder folder;
    const bool locking = ::access(kSerialLockDirectory, W_OK) == 0;
    std::vector<std::unique_ptr<ServingProcess>> sims;
    std::string plan = "name,port,file\n";
    for (int i = 0; i < 3; ++i) {
        sims.push_back(std::make_unique<ServingProcess>(
            std::vector<std::string>{GATEWAY_SIM_PATH, "--idle-exit", "60", "--no-answer", "--fault-on", "10"}));
        plan += "m" + std::to_string(i) + "," + sims.back()->Path() + ",plant.xml\n";
    }
    SaveConfig(*MakeFilledConfig(MODE_MODBUS_MASTER, 3), folder / "plant.xml");
    folder.Write("plan.csv", plan);
    BackgroundProgram fleet(GATEWAYCFG_PATH, {"fleet", folder / "plan.csv", "--action", "download", "--jobs", "2", "--json"},
                            folder.Path().string());
    const auto lock = [&](int i) { return std::string(kSerialLockDirectory) + "/" + gw::LockFileName(sims[i]->Path()); };
    ASSERT_TRUE(fleet.WaitUntil([&] { return !locking || (fs::exists(lock(0)) && fs::exists(lock(1))); })) << fleet.Finish().out;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));   // both wait for an answer
    fleet.Signal(SIGTERM);
    const ProgramRun run = fleet.Finish();
    EXPECT_EQ(run.status, 143) << run.err;
    EXPECT_TRUE(Has(run.err, "plan.csv: interrupted")) << run.err;
    EXPECT_EQ(Codes(run.out), "m0 download 14\nm1 download 14\nm2 download 14\n") << run.out;
    EXPECT_TRUE(Has(run.out, "\"not started (interrupted)\"")) << run.out;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(fs::exists(lock(i)));
}

} // namespace
