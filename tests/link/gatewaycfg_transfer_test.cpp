// gatewaycfg download, upload and verify as scripts run them: what they print, the exit status
// of each outcome, lock files, and values no edit could store.

#include <gtest/gtest.h>

#include <regex>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "file/config_file.h"
#include "link/uucp_lock.h"
#include "model/lang_strings.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"
#include "support/run_program.h"

namespace {

using namespace test_config;
namespace fs = std::filesystem;

// Through gateway-sim itself, by the link it makes to its terminal: the link goes with the
// simulator, whether it ends idle or by SIGTERM.
TEST(GatewaycfgTransfer, DownloadVerifyAndUploadThroughGatewaySim)
{
    ScratchFolder folder;
    const std::string link = folder / "module", plant = SaveConfig(*MakeFilledConfig(MODE_MODBUS_MASTER, 7), folder / "plant.xml");
    ServingProcess sim({GATEWAY_SIM_PATH, "--idle-exit", "1", "--link", link});
    ASSERT_TRUE(sim.Running() && fs::is_symlink(link));
    const ProgramRun down = RunTool({"download", plant, "--port", link, "--trace"});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_TRUE(Has(down.out, gw::GetLangString(MessageText::DownloadSucceeded)) && Has(down.out, "-> ") && Has(down.out, "<- ")) << down.out;
    EXPECT_TRUE(Has(down.out, "07 04 01 00 04 D2")) << "the bus block with the probe time-out 1234: " << down.out;
    int done = 0, planned = 0;
    ASSERT_EQ(std::sscanf(down.err.c_str() + down.err.rfind("exchange "), "exchange %d of %d", &done, &planned), 2) << down.err;
    EXPECT_EQ(done, planned) << "the progress ends at the last exchange";
    EXPECT_EQ(RunTool({"verify", plant, "--port", link}).status, 0);
    ASSERT_EQ(RunTool({"upload", folder / "read.xml", "--port", link}).status, 0);
    EXPECT_EQ(RunTool({"diff", "--module", plant, folder / "read.xml"}).out, "");
    EXPECT_EQ(sim.Wait(), 0) << "an idle simulator ends by itself";
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    ServingProcess again({GATEWAY_SIM_PATH, "--idle-exit", "60", "--link", link});
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(again.Stop(), 0) << "SIGTERM ends the simulator cleanly";
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(GatewaycfgTransfer, EachOutcomeHasItsExitStatusAndKeepsTheFile)
{
    ScratchFolder folder;
    const std::string plant = SaveConfig(*MakeFilledConfig(MODE_MODBUS_MASTER, 3), folder / "plant.xml");
    auto changed = MakeFilledConfig(MODE_MODBUS_MASTER, 3);
    SetValue(changed->Subnet().GetNodeAt(0)->GetCommandAt(2)->GetItemAt(CMD_ROW_START_ADDRESS), "256");
    auto unsent = MakeFilledConfig(MODE_MODBUS_MASTER, 2);   // a typed time-out with low byte FFh reads back as the default
    SetValue(unsent->Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), "511");
    CDeviceConfig empty;
    SetValue(empty.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "");
    const std::string emptyItem = SaveConfig(empty, folder / "empty.xml"), missing = folder / "missing.xml";
    InProcessModule module({}), otherProduct({0x05}), hardware3({0x81, 3, 0}), badCount({}, {.badChecksum = true, .onCommand = 0x15});

    const ProgramRun loaded = RunTool({"download", plant, "--port", module.Path(), "--verify"});
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_TRUE(Has(loaded.out, "holds what the file says")) << loaded.out;
    // The time the module was read, in the form a file records its save time.
    const auto undated = [](const std::string& json) {
        return std::regex_replace(json, std::regex(R"("date": "\d{4}-\d\d-\d\d \d\d:\d\d:\d\d")"), "\"date\": \"-\"");
    };
    EXPECT_EQ(undated(RunTool({"verify", plant, "--port", module.Path(), "--json"}).out),
              "{\"equal\": true, \"hardware\": \"2.1\", \"date\": \"-\", \"differences\": []}\n");
    ASSERT_EQ(RunTool({"download", SaveConfig(*changed, folder / "changed.xml"), "--port", module.Path()}).status, 0);
    const ProgramRun json = RunTool({"verify", plant, "--port", module.Path(), "--json", "--trace"});
    EXPECT_EQ(undated(json.out), "{\"equal\": false, \"hardware\": \"2.1\", \"date\": \"-\", \"differences\": [\n"
                        "  {\"node\": \"command:3\", \"item\": \"Starting Address\", \"left\": \"207\", \"right\": \"256\"}\n]}\n");
    EXPECT_TRUE(Has(json.err, "-> READ_VERSION")) << "the trace keeps out of the JSON";

    const std::string before = ReadWholeFile(plant);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;   // the whole of stdout, or "*": only part of it, in err
        std::string err;   // part of stderr
    } rows[] = {
        {{"verify", plant, "--port", module.Path()}, 1, "command:3 / Starting Address: 207 \u2192 256\n", ""},
        {{"download", SaveConfig(*unsent, folder / "unsent.xml"), "--port", module.Path(), "--verify"}, 1, "*",
         "profibus / Timeout Duration of Probing Modbus Node(ms): 511 \u2192 Default Value"},
        {{"verify", plant, "--port", badCount.Path()}, RESULT_REPLY_MISMATCH, "", ""},
        {{"upload", plant, "--port", missing}, RESULT_PORT_NOT_OPENED, "", gw::ResultMessage(RESULT_PORT_NOT_OPENED)},
        {{"download", plant, "--port", plant}, RESULT_PORT_NOT_OPENED, "", gw::ResultMessage(RESULT_PORT_NOT_OPENED)},   // not a terminal
        {{"download", emptyItem, "--port", module.Path(), "--trace"}, RESULT_EMPTY_ITEM, "", ""},
        {{"upload", plant, "--port", otherProduct.Path()}, RESULT_VERSION_MISMATCH, "", gw::ResultMessage(RESULT_VERSION_MISMATCH)},
        {{"download", plant, "--port", otherProduct.Path()}, RESULT_VERSION_MISMATCH, "*", plant},
        {{"verify", plant, "--port", hardware3.Path()}, RESULT_VERSION_MISMATCH, "", ""},
        {{"download", plant}, 64, "", ""},
        {{"download", missing, "--port", module.Path()}, 65, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args[0] + " " + row.args[1]);
        const ProgramRun run = RunTool(row.args);
        EXPECT_EQ(run.status, row.status) << run.err;
        if (row.out == "*") {
            EXPECT_TRUE(Has(run.out + run.err, row.err)) << run.out << run.err;
        } else {
            EXPECT_EQ(run.out, row.out);
            EXPECT_TRUE(Has(run.err, row.err)) << run.err;
        }
        EXPECT_EQ(ReadWholeFile(plant), before);
    }
}

// A port that cannot be had is refused with 4, "Failed to open serial port!" and why, before a
// byte is sent; the lock file the run took for it goes with it.
TEST(GatewaycfgTransfer, RefusedPortsSayWhy)
{
    ScratchFolder folder;
    fs::permissions(folder.Path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    const std::string plant = SaveConfig(*MakeFilledConfig(MODE_MODBUS_MASTER, 1), folder / "plant.xml");
    fs::permissions(plant, fs::perms::others_read, fs::perm_options::add);
    InProcessModule module({});
    // An independent program holding the port as terminal programs do: with flock.
    ServingProcess flockHolder({"/usr/bin/python3", "-c",
                                "import fcntl, os, sys, time\n"
                                "fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY); fcntl.flock(fd, fcntl.LOCK_EX)\n"
                                "print('held', flush=True); time.sleep(60)", module.Path()});
    ASSERT_EQ(flockHolder.Path(), "held");
    const bool root = ::geteuid() == 0;
    const std::pair<std::string, std::string> rows[] = {
        {folder / "ttyUSB9", "does not exist"},
        {plant, "is a regular file, not a serial port"},
        {"/dev/null", "is not a terminal"},
        {folder.Path().string(), "is a folder"},
        {module.Path(), "Another program holds " + module.Path()},
    };
    const std::string lock = std::string(kSerialLockDirectory) + "/" + gw::LockFileName(module.Path());
    for (const auto& [port, reason] : rows) {
        SCOPED_TRACE(reason);
        const ProgramRun run = RunProgram(GATEWAYCFG_PATH, {"download", plant, "--port", port}, folder.Path().string());
        EXPECT_EQ(run.status, RESULT_PORT_NOT_OPENED);
        EXPECT_TRUE(Has(run.err, gw::GetLangString(MessageText::PortOpenFailed) + " ") && Has(run.err, reason)) << run.err;
        EXPECT_FALSE(fs::exists(lock));
    }
    flockHolder.Stop();
    // Serial ports belong to the group dialout: whoever is not in it is told how to join.
    if (!root)
        fs::permissions(module.Path(), fs::perms::none);
    const ProgramRun refused = RunProgram(GATEWAYCFG_PATH, {"download", plant, "--port", module.Path()},
                                          folder.Path().string(), {.workingDir = {}, .maxFileBytes = 0, .killAfterMicroseconds = -1, .asUser = root ? 65534 : -1});
    EXPECT_EQ(refused.status, RESULT_PORT_NOT_OPENED);
    EXPECT_TRUE(Has(refused.err, "Permission to use " + module.Path() + " is refused") && Has(refused.err, "dialout"))
        << refused.err;
    if (!root)
        fs::permissions(module.Path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(module.RequestsSeen(), 0);
}

// A port whose lock file in /var/lock names a living process is refused with 4. A lock whose
// process is gone is replaced, and the run's own lock goes with it.
TEST(GatewaycfgTransfer, LockFiles)
{
    ScratchFolder folder;
    const std::string plant = SaveConfig(*MakeFilledConfig(MODE_MODBUS_MASTER, 1), folder / "plant.xml");
    InProcessModule module({});
    if (::access(kSerialLockDirectory, W_OK) != 0)
        GTEST_SKIP() << kSerialLockDirectory << " cannot be written to here";
    const std::string lock = std::string(kSerialLockDirectory) + "/" + gw::LockFileName(module.Path());
    const auto lockText = [](pid_t pid) {
        char text[16];
        std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
        return std::string(text);
    };
    BackgroundProgram ended("/bin/true", {}, folder.Path().string());
    const pid_t gone = ended.Pid();   // names nobody once the program has ended
    ended.Finish();
    const std::pair<pid_t, int> rows[] = {{getppid(), RESULT_PORT_NOT_OPENED}, {gone, 0}, {0, 0}};   // 0: no lock file
    for (const auto& [holder, status] : rows) {
        if (holder > 0)
            WriteWholeFile(lock, lockText(holder));
        const ProgramRun run = RunTool({"download", plant, "--port", module.Path()});
        EXPECT_EQ(run.status, status) << holder << ": " << run.err;
        if (status == 0) {
            EXPECT_FALSE(fs::exists(lock)) << holder << ": the run's lock is left behind";
            continue;
        }
        EXPECT_TRUE(Has(run.err, "in use by process " + std::to_string(holder))) << run.err;
        EXPECT_EQ(ReadWholeFile(lock), lockText(holder)) << "another program's lock is left alone";
        fs::remove(lock);
    }
}

// Values that no edit could store: check and download refuse them by node and label before
// the line is used; an upload keeps what the module holds and lists it.
TEST(GatewaycfgTransfer, ImpossibleValues)
{
    const std::string range = "An item is Out of range";
    const struct {
        int mode;
        std::function<void(CDeviceConfig&)> spoil;
        int status;                        // of check and download; 0: both pass
        std::vector<std::string> faults;   // the lines naming each value, in tree order
    } cases[] = {
        {MODE_MODBUS_MASTER, [](CDeviceConfig& r) {
             SetValue(r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "0");
             SetValue(r.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_MODE), "Often");
             SetValue(r.Subnet().GetItemAt(SUBNET_ROW_TRANSMISSION), "ASCII");
             SetValue(r.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), "5 s");
             SetValue(r.Subnet().GetNodeAt(0)->GetItemAt(SLAVE_ROW_ADDRESS), "300");
             SetValue(r.Subnet().GetNodeAt(0)->GetCommandAt(1)->GetItemAt(CMD_ROW_MAP_ADDRESS), "1GH");
             SetValue(r.Subnet().GetNodeAt(0)->GetCommandAt(2)->GetItemAt(CMD_ROW_DATA_COUNT), "46");
             SetValue(r.Subnet().GetNodeAt(0)->GetCommandAt(4)->GetItemAt(CMD_ROW_MAP_ADDRESS), "00F0H");
         }, 7, {"profibus / Timeout Duration of Probing Modbus Node(ms) = \"5 s\": Illegal character in an item",
                "subnet / Response Timeout(50~60000ms) = \"0\": " + range,
                "subnet / Output Mode = \"Often\": not one of the choices: \"Cyclic\" \"Forbidden\" \"Change of Value\"",
                "slave:1 / Slave Address = \"300\": " + range,
                "command:2 / Mapping Address(HEX) = \"1GH\": Illegal character in an item",
                "command:3 / Number of Data = \"46\": " + range, "command:5 / Mapping Address(HEX) = \"00F0H\": " + range}},
        {MODE_USER_CONFIG, [](CDeviceConfig& r) { SetValue(r.Subnet().GetItemAt(SUBNET_ROW_FRAME_LENGTH), "0"); },
         8, {"subnet / Frame Length = \"0\": " + range}},
        // The other mode's rows are not sent, so they are not judged.
        {MODE_MODBUS_MASTER, [](CDeviceConfig& r) { SetValue(r.Subnet().GetCommonModeItemAt(SUBNET_ROW_FRAME_LENGTH - kSubnetBaseRows), "0"); },
         0, {}},
    };
    ScratchFolder folder;
    InProcessModule module({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults.empty() ? "valid" : c.faults.front());
        auto root = MakeFilledConfig(c.mode, 8);
        c.spoil(*root);
        const std::string file = SaveConfig(*root, folder / "plant.xml");
        std::string listed;
        for (const std::string& fault : c.faults)
            listed += file + ": " + fault + "\n";
        const ProgramRun check = RunTool({"check", file});
        EXPECT_EQ(check.status, c.status);
        EXPECT_EQ(check.err, listed);
        const ProgramRun down = RunTool({"download", file, "--port", module.Path(), "--trace"});
        EXPECT_EQ(down.status, c.status) << down.err;
        EXPECT_EQ(down.err.rfind(listed, 0), 0u) << down.err;
        EXPECT_EQ(Has(down.out, "-> "), c.status == 0) << "a refused configuration reached the module: " << down.out;
    }

    InProcessModule holding({}, {}, ModuleHoldingImpossibleValues());
    const ProgramRun up = RunTool({"upload", folder / "read.xml", "--port", holding.Path()});
    EXPECT_EQ(up.status, 0) << up.err;
    EXPECT_EQ(up.out, gw::GetLangString(MessageText::UploadSucceeded) + "\n" + folder / "read.xml" + ": subnet / Response Timeout(50~60000ms) = \"0\": " + range +
                          "\n" + folder / "read.xml" + ": command:1 / Number of Data = \"512\": " + range + "\n");
    EXPECT_EQ(RunTool({"check", folder / "read.xml"}).status, 8) << "the file holds what the module holds";
    const ProgramRun unsaved = RunProgram(GATEWAYCFG_PATH, {"upload", "big.xml", "--port", holding.Path()}, folder.Path().string(),
                                          {.workingDir = folder.Path().string(), .maxFileBytes = 2000});
    EXPECT_EQ(unsaved.status, 74);
    EXPECT_EQ(unsaved.out, "") << "no success without the file";
}

} // namespace
