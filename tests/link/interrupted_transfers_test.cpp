// gatewaycfg download, upload and verify stopped by SIGINT, SIGTERM or SIGHUP while gateway-sim
// keeps them waiting for a reply: the run ends at once (not by the module's time-out), says
// "interrupted" and what the module may now hold, removes its lock file, and exits 128 + signal.

#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "file/config_file.h"
#include "link/transfer_run.h"
#include "link/uucp_lock.h"
#include "support/config_builder.h"
#include "support/run_program.h"

namespace {

using namespace test_config;
namespace fs = std::filesystem;

TEST(InterruptedTransfers, EndAtOnceWithTheLockGone)
{
    const struct {
        const char* name;
        std::vector<std::string> command;   // FILE and --port follow
        const char* silentOn;               // the request gateway-sim leaves unanswered
        std::string waitFor;                // progress on stderr that shows the request went out
        std::size_t times;                  // ... this often; 0: wait for the run's lock file
        int signal;
        bool partial;                       // the module may hold part of the configuration
    } rows[] = {
        {"at the version request", {"download"}, "01", "", 0, SIGINT, false},
        {"at the command records", {"download"}, "10", "exchange 4 ", 1, SIGTERM, true},
        {"at the bus block", {"download"}, "07", "exchange 6 ", 1, SIGHUP, true},
        {"in an upload", {"upload"}, "16", "exchange 4", 1, SIGTERM, false},
        {"in the read-back of a verified download", {"download", "--verify"}, "16", "exchange 4", 2, SIGINT, false},
    };
    ScratchFolder folder;
    auto plant = MakeFilledConfig(MODE_MODBUS_MASTER, 1);
    ASSERT_TRUE(gw::SaveFile(*plant, folder / "plant.xml").ok);
    const std::string before = folder.Read("plant.xml");
    const bool locking = ::access(kSerialLockDirectory, W_OK) == 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.times == 0 && !locking)
            continue;   // nothing to tell when the run has got to the line
        const std::string link = folder / "module";
        ServingProcess sim({GATEWAY_SIM_PATH, "--link", link, "--idle-exit", "60", "--no-answer", "--fault-on", row.silentOn});
        ASSERT_TRUE(sim.Running());
        if (row.command[0] == "upload") {   // a module with a command to read
            ASSERT_EQ(RunProgram(GATEWAYCFG_PATH, {"download", folder / "plant.xml", "--port", link}, folder.Path().string()).status, 0);
        }
        std::vector<std::string> args = row.command;
        args.insert(args.begin() + 1, {folder / "plant.xml", "--port", link});
        BackgroundProgram tool(GATEWAYCFG_PATH, args, folder.Path().string(), RunOptions::Named("signalled"));
        const std::string lock = std::string(kSerialLockDirectory) + "/" + gw::LockFileName(link);
        ASSERT_TRUE(tool.WaitUntil([&] { return row.times == 0 ? fs::exists(lock) : Count(tool.Err(), row.waitFor) >= row.times; }))
            << tool.Err();
        tool.Signal(row.signal);
        const ProgramRun run = tool.Finish();
        EXPECT_EQ(run.status, 128 + row.signal) << run.err;
        EXPECT_NE(run.err.find(folder / "plant.xml via " + link + ": interrupted\n"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(gw::PartlyDownloadedText()) != std::string::npos, row.partial) << run.err;
        EXPECT_EQ(run.err.find(gw::ResultMessage(RESULT_SERIAL_IO)), std::string::npos) << "ended by the module's time-out";
        EXPECT_FALSE(fs::exists(lock)) << "the lock file is left behind";
        EXPECT_EQ(folder.Read("plant.xml"), before);
    }
}

} // namespace
