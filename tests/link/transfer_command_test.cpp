// gatewaycfg download and upload as a user runs them, against gateway-sim.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

#include "file/config_file.h"
#include "link/uucp_lock.h"
#include "link_test_support.h"
#include "model/lang_strings.h"
#include "sim_process.h"
#include "support/run_program.h"

namespace {

using namespace link_test;
namespace fs = std::filesystem;

class TransferCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("transfer-command-" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
    ProgramRun Gatewaycfg(const std::vector<std::string>& args) const
    {
        return RunProgram(GATEWAYCFG_PATH, args, m_dir.string());
    }
    // Writes a configuration file and returns its path.
    std::string WriteConfig(const CDeviceConfig& root, const std::string& name) const
    {
        const std::string path = PathOf(name);
        EXPECT_TRUE(SaveFile(root, path).ok);
        return path;
    }

private:
    fs::path m_dir;
};

TEST_F(TransferCommand, DownloadThenUploadGivesTheSameConfiguration)
{
    SimProcess sim({});
    ASSERT_TRUE(sim.Running());
    auto source = MakeConfig(MODE_MODBUS_MASTER, 7);
    const std::string file = WriteConfig(*source, "plant.xml");

    const ProgramRun down = Gatewaycfg({"download", file, "--port", sim.Path(), "--trace"});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_NE(down.out.find(GetLangString(29)), std::string::npos) << down.out;
    // Every frame both ways, with its direction and name.
    EXPECT_NE(down.out.find("-> "), std::string::npos);
    EXPECT_NE(down.out.find("<- "), std::string::npos);
    EXPECT_NE(down.out.find("07 04 01 00 04 D2"), std::string::npos) << "the bus block with the probe time-out 1234: " << down.out;
    // The progress ends at the last exchange.
    const std::size_t last = down.err.rfind("exchange ");
    ASSERT_NE(last, std::string::npos) << down.err;
    int done = 0, planned = 0;
    ASSERT_EQ(std::sscanf(down.err.c_str() + last, "exchange %d of %d", &done, &planned), 2);
    EXPECT_EQ(done, planned);

    const std::string target = PathOf("read-back.xml");
    const ProgramRun up = Gatewaycfg({"upload", target, "--port", sim.Path()});
    ASSERT_EQ(up.status, 0) << up.err;
    CDeviceConfig readBack;
    ASSERT_TRUE(LoadFile(readBack, target).ok);
    std::vector<std::string> expected = CarriedView(*source, false);
    for (auto& line : expected)
        if (line.rfind("slave ", 0) == 0)
            line = "slave Node(17) address 17";
    EXPECT_EQ(CarriedView(readBack, false), expected);
}

TEST_F(TransferCommand, FailedRunsExitWithTheResultCodeAndKeepTheFile)
{
    SimProcess otherProduct({"--product", "0x05"});
    ASSERT_TRUE(otherProduct.Running());
    auto root = MakeConfig(MODE_MODBUS_MASTER, 3);
    const std::string file = WriteConfig(*root, "kept.xml");
    const std::string before = ReadWholeFile(file);
    struct Row {
        std::vector<std::string> args;
        int status;
        ResultCode message;
    };
    const Row rows[] = {
        {{"upload", file, "--port", PathOf("no-such-terminal")}, RESULT_PORT_NOT_OPENED, RESULT_PORT_NOT_OPENED},
        {{"download", file, "--port", PathOf("no-such-terminal")}, RESULT_PORT_NOT_OPENED, RESULT_PORT_NOT_OPENED},
        {{"upload", file, "--port", otherProduct.Path()}, RESULT_VERSION_MISMATCH, RESULT_VERSION_MISMATCH},
        {{"download", file, "--port", otherProduct.Path()}, RESULT_VERSION_MISMATCH, RESULT_VERSION_MISMATCH},
    };
    for (const Row& row : rows) {
        const ProgramRun run = Gatewaycfg(row.args);
        EXPECT_EQ(run.status, row.status) << row.args[0] << " via " << row.args[3];
        EXPECT_NE(run.err.find(ResultMessage(row.message)), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(file), std::string::npos) << "the message names the file: " << run.err;
        EXPECT_EQ(ReadWholeFile(file), before) << row.args[0] << " changed the file";
    }
}

TEST_F(TransferCommand, APortHeldByAnotherProgramIsRefused)
{
    SimProcess sim({});
    auto root = MakeConfig(MODE_MODBUS_MASTER, 1);
    const std::string file = WriteConfig(*root, "held.xml");
    CPortSlot holder;
    ASSERT_EQ(OpenPort(holder, sim.Path()), RESULT_OK);
    for (const char* command : {"download", "upload"}) {
        const ProgramRun run = Gatewaycfg({command, file, "--port", sim.Path()});
        EXPECT_EQ(run.status, RESULT_PORT_NOT_OPENED) << command << ": " << run.err;
        EXPECT_NE(run.err.find(ResultMessage(RESULT_PORT_NOT_OPENED)), std::string::npos) << run.err;
    }
    holder.Close();
    EXPECT_EQ(Gatewaycfg({"download", file, "--port", sim.Path()}).status, 0) << "the released port works";
}

TEST_F(TransferCommand, RefusedBeforeTheLineIsUsed)
{
    CDeviceConfig empty;
    empty.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value.clear();
    const std::string file = WriteConfig(empty, "empty-item.xml");
    SimProcess sim({});
    const ProgramRun run = Gatewaycfg({"download", file, "--port", sim.Path(), "--trace"});
    EXPECT_EQ(run.status, RESULT_EMPTY_ITEM) << run.err;
    EXPECT_EQ(run.out.find("-> "), std::string::npos) << "no frame may go out: " << run.out;

    EXPECT_EQ(Gatewaycfg({"download", file}).status, 64) << "the port is required";
    EXPECT_EQ(Gatewaycfg({"download", PathOf("missing.xml"), "--port", sim.Path()}).status, 65);
}

// Lock files in /var/lock, as terminal programs leave them: a living holder refuses the port with
// 4 and its PID, a lock whose process is gone is replaced, and the run's own lock goes with it.
TEST_F(TransferCommand, SerialLockFilesAreHonoured)
{
    if (::access(kSerialLockDirectory, W_OK) != 0)
        GTEST_SKIP() << kSerialLockDirectory << " cannot be written to here";
    SimProcess sim({});
    ASSERT_TRUE(sim.Running());
    const std::string file = WriteConfig(*MakeConfig(MODE_MODBUS_MASTER, 1), "locked.xml");
    const std::string lock = std::string(kSerialLockDirectory) + "/" + LockFileName(sim.Path());
    const auto lockText = [](pid_t pid) {
        char text[16];
        std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
        return std::string(text);
    };
    {
        CPortSlot slot;
        ASSERT_EQ(OpenPort(slot, sim.Path()), RESULT_OK);
        EXPECT_EQ(ReadWholeFile(lock), lockText(getpid())) << "an open port holds its lock";
    }
    EXPECT_FALSE(fs::exists(lock)) << "closing removes it";

    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    struct Row {
        const char* name;
        pid_t holder;   // 0: no lock file
        int status;
    };
    const Row rows[] = {{"living holder", getpid(), RESULT_PORT_NOT_OPENED}, {"holder gone", gone, 0}, {"no lock", 0, 0}};
    for (const Row& row : rows) {
        if (row.holder > 0)
            std::ofstream(lock) << lockText(row.holder);
        const ProgramRun run = Gatewaycfg({"download", file, "--port", sim.Path()});
        EXPECT_EQ(run.status, row.status) << row.name << ": " << run.err;
        if (row.status == 0) {
            EXPECT_FALSE(fs::exists(lock)) << row.name << ": the run's lock is left behind";
            continue;
        }
        EXPECT_NE(run.err.find(ResultMessage(RESULT_PORT_NOT_OPENED)), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("in use by process " + std::to_string(row.holder)), std::string::npos) << run.err;
        EXPECT_EQ(ReadWholeFile(lock), lockText(row.holder)) << "another program's lock is left alone";
        fs::remove(lock);
    }
}

} // namespace
