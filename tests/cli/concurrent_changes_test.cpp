// Two gatewaycfg runs changing one file at once: each holds the file's change lock from reading
// to writing, so both changes land (the second waits for the first) or the second is refused
// with 75 and who holds the file; none is lost.

#include "support/cli_fixture.h"
#include "support/run_program.h"

namespace {

const std::string kTimeout = "Response Timeout(50~60000ms)";

TEST_F(Cli, ConcurrentChangesBothLandOrOneIsRefused)
{
    const struct {
        const char* name;
        std::vector<std::string> first, second;   // plant.xml follows the command
        std::string firstShows, secondShows;       // in the section, a line "  ..." each run's change leaves
        std::string firstSection, secondSection;
    } rows[] = {
        {"two items", {"set", "subnet", kTimeout, "777"}, {"set", "subnet", "Scan Rate", "99"},
         kTimeout + " = 777", "Scan Rate = 99", "subnet", "subnet"},
        {"two commands", {"add-command", "3"}, {"add-command", "4"}, "03 Read Holding Register", "04 Read Input Register",
         "", ""},
    };
    for (const auto& row : rows) {
        for (int round = 0; round < 8; ++round) {
            SCOPED_TRACE(std::string(row.name) + ", round " + std::to_string(round));
            Prepare({{"new", "plant.xml", "--force"}, {"add-command", "plant.xml", "1"}});
            std::vector<std::string> first = row.first, second = row.second;
            first.insert(first.begin() + 1, "plant.xml");
            second.insert(second.begin() + 1, "plant.xml");
            RunOptions options;
            options.workingDir = dir.Path().string();
            options.name = "first";
            BackgroundProgram one(GATEWAYCFG_PATH, first, dir.Path().string(), options);
            options.name = "second";
            BackgroundProgram two(GATEWAYCFG_PATH, second, dir.Path().string(), options);
            const ProgramRun a = one.Finish(), b = two.Finish();
            for (const auto& [run, section, line] : {std::tuple{a, row.firstSection, row.firstShows},
                                                     std::tuple{b, row.secondSection, row.secondShows}}) {
                EXPECT_TRUE(run.status == 0 || run.status == 75) << run.err;
                const std::string shown = section.empty() ? Shown("") : Shown(section);
                EXPECT_EQ(shown.find(line) != std::string::npos, run.status == 0) << "lost: " << line << "\n" << shown;
            }
        }
    }
}

// A program that holds the file (flock, as editors and scripts take it) longer than a run
// waits: the run is refused with 75, names the holder and leaves the file alone.
TEST_F(Cli, AFileHeldByAnotherProgramIsRefusedWith75)
{
    Prepare({{"new", "plant.xml"}});
    const std::string before = dir.Read("plant.xml");
    ServingProcess holder({"/usr/bin/python3", "-c",
                           "import fcntl, os, sys, time\n"
                           "fd = os.open(sys.argv[1], os.O_RDONLY); fcntl.flock(fd, fcntl.LOCK_EX)\n"
                           "print('held', flush=True); time.sleep(60)", dir / "plant.xml"});
    ASSERT_EQ(holder.Path(), "held");
    const std::vector<std::string> changes[] = {   // each waits a few seconds before it gives up
        {"set", "plant.xml", "subnet", kTimeout, "500"}, {"upload", "plant.xml", "--port", "/dev/null"}};
    for (const auto& args : changes) {
        SCOPED_TRACE(args[0]);
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, 75);
        EXPECT_NE(run.err.find("plant.xml: process "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("(python3) is changing the file"), std::string::npos) << run.err;
        EXPECT_EQ(dir.Read("plant.xml"), before);
    }
    holder.Stop();
    EXPECT_EQ(RunTool(changes[0]).status, 0);
}

} // namespace
