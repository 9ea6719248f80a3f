// gatewaycfg probe holds its port as every program here does: a port another program holds (by
// its lock file or its flock) is refused, its own lock goes with the run, and a signal ends the
// run with the summary so far, the lock removed and the shell's exit status.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "link/uucp_lock.h"
#include "support/probe_json.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

std::string LockText(pid_t pid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
}

TEST(ProbePort, HonoursTheLocksOfOtherPrograms)
{
    if (::access(kSerialLockDirectory, W_OK) != 0)
        GTEST_SKIP() << kSerialLockDirectory << " cannot be written to here";
    ScratchFolder folder;
    const std::string file = SaveProbeConfig(folder / "config.xml", {{3, "1", "1"}});
    ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"});
    const std::string lock = std::string(kSerialLockDirectory) + "/" + gw::LockFileName(sim.Path());
    const struct {
        const char* holder;   // "lock file", "flock" or nothing
        int status;
        std::string says;
    } cases[] = {
        {"lock file", 4, "in use by process " + std::to_string(getppid())},
        {"flock", 4, "Another program holds " + sim.Path()},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.holder);
        std::unique_ptr<ServingProcess> flockHolder;
        if (std::string(c.holder) == "lock file")
            WriteWholeFile(lock, LockText(getppid()));
        if (std::string(c.holder) == "flock") {
            flockHolder = std::make_unique<ServingProcess>(std::vector<std::string>{
                "/usr/bin/python3", "-c",
                "import fcntl, os, sys, time\n"
                "fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY); fcntl.flock(fd, fcntl.LOCK_EX)\n"
                "print('held', flush=True); time.sleep(60)", sim.Path()});
            ASSERT_EQ(flockHolder->Path(), "held");
        }
        const ProgramRun run = RunTool({"probe", file, "--port", sim.Path()});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        if (std::string(c.holder) == "lock file")
            EXPECT_EQ(ReadWholeFile(lock), LockText(getppid())) << "another program's lock is left alone";
        else
            EXPECT_FALSE(fs::exists(lock)) << "the run's own lock is left behind";
        fs::remove(lock);
    }
}

TEST(ProbePort, ASignalEndsTheRunWithTheSummarySoFar)
{
    const std::pair<int, int> cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
    ScratchFolder folder;
    const std::string file = SaveProbeConfig(folder / "config.xml", {{3, "1", "2"}});
    for (const auto& [signal, status] : cases) {
        SCOPED_TRACE(signal);
        ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"});
        BackgroundProgram probe(GATEWAYCFG_PATH, {"probe", file, "--port", sim.Path(), "--repeat", "1000000"},
                                folder.Path().string());
        ASSERT_TRUE(probe.WaitUntil([&] { return folder.Read("run.stdout").find("pass 3 of") != std::string::npos; }));
        probe.Signal(signal);
        const ProgramRun run = probe.Finish();
        EXPECT_EQ(run.status, status) << run.err;
        EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
        // The last lines reach a file (or a pipe) whole: the statistics of the passes made, the image.
        std::smatch passes;
        ASSERT_TRUE(std::regex_search(run.out, passes, std::regex(R"(statistics over (\d+) passes)"))) << run.out.substr(run.out.size() - 400);
        EXPECT_NE(run.out.find(" 1  fc 03  ok " + passes[1].str() + "  timeout 0  error 0  ms "), std::string::npos);
        const std::string imageEnd = "\n       1  1  1  1  .  .  .  .  .  .  .  .  .  .  .  .\n";
        EXPECT_EQ(run.out.substr(run.out.size() - imageEnd.size()), imageEnd);
        EXPECT_FALSE(fs::exists(std::string(kSerialLockDirectory) + "/" + gw::LockFileName(sim.Path())));
    }
}

} // namespace
