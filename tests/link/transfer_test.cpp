// Downloads and uploads against the simulated module inside the test process: the frames that go
// out, what an upload brings back, and how each fault of the module ends a run.

#include <gtest/gtest.h>

#include <functional>

#include "compare/config_diff.h"
#include "compare/diff_format.h"
#include "link/transfer_run.h"
#include "model/lang_strings.h"
#include "recorder.h"
#include "sim/sim_line.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"
#include "support/scratch_folder.h"

namespace {

using namespace test_config;

// Exchange 1, 2, 3, ... each once; the total, once known, never changes; the run ends at it.
void ExpectSteadyProgress(const Recorder& r, const std::string& what)
{
    ASSERT_FALSE(r.progress.empty()) << what;
    const int total = r.progress.back().second;
    for (std::size_t i = 0; i < r.progress.size(); ++i) {
        EXPECT_EQ(r.progress[i].first, static_cast<int>(i) + 1) << what;
        EXPECT_TRUE(r.progress[i].second == 0 || r.progress[i].second == total) << what << ": the total changed";
    }
    EXPECT_EQ(r.progress.back().first, total) << what;
    EXPECT_EQ(total, static_cast<int>(r.received.size())) << what;
}

void ExpectPortFree(const std::string& path)
{
    CPortSlot slot;
    EXPECT_EQ(OpenPort(slot, path), RESULT_OK) << "the run left " << path << " held";
}

TEST(Transfer, UploadGivesBackWhatWasDownloaded)
{
    const int M = MODE_MODBUS_MASTER, U = MODE_USER_CONFIG;
    const struct {
        int mode;
        HardwareVersion hw;
        int commands;   // -1: no slave node at all
        const char* codes;
        ResultCode down, up;
    } rows[] = {
        {M, {2, 1}, -1, "01 01 03 14 32 07", RESULT_OK, RESULT_OK},
        {M, {2, 1}, 0, "01 01 03 14 32 07", RESULT_OK, RESULT_OK},
        {M, {2, 1}, 1, "01 01 03 14 10 32 07", RESULT_OK, RESULT_OK},
        {M, {2, 1}, 7, "01 01 03 14 10x7 32 07", RESULT_OK, RESULT_OK},
        {M, {2, 1}, 48, "01 01 03 14 10x48 32 07", RESULT_OK, RESULT_OK},
        {M, {2, 0}, 7, "01 01 03 14 10x7 32 07", RESULT_OK, RESULT_OK},
        {M, {1, 3}, 6, "01 01 03 14 10x6 32 07", RESULT_OK, RESULT_OK},
        {M, {3, 0}, 2, "01 01 32 07", RESULT_OK, RESULT_VERSION_MISMATCH},
        {U, {2, 0}, 0, "01 01 03 32 07", RESULT_OK, RESULT_OK},
        {U, {2, 1}, 0, "01 01 03 05 30", RESULT_OK, RESULT_OK},
        {U, {3, 2}, 0, "01 01 30", RESULT_OK, RESULT_VERSION_MISMATCH},
        {U, {1, 0}, 0, "01 01", RESULT_VERSION_MISMATCH, RESULT_OK},
    };
    const LinkTimings timings = SteadyTimings();
    for (const auto& row : rows) {
        const std::string what = std::to_string(row.mode) + " on " + std::to_string(row.hw.major) + "." +
                                 std::to_string(row.hw.minor) + " with " + std::to_string(row.commands);
        SCOPED_TRACE(what);
        InProcessModule module(SimIdentity{0x81, row.hw.major, row.hw.minor});
        auto source = MakeFilledConfig(row.mode, row.commands);
        if (row.mode == U)
            source->Bus().SetChoice(BUS_ROW_ADDRESS_MODE, 1);
        const std::string sourceText = ConfigText(*source);
        Recorder down;
        const TransferOutcome downloaded = RunTransfer(TransferDirection::Download, module.Path(), *source, &down, &timings);
        EXPECT_EQ(downloaded.code, row.down) << downloaded.message;
        EXPECT_EQ(down.Codes(), row.codes);
        EXPECT_EQ(ConfigText(*source), sourceText) << "a download only reads the configuration";
        if (row.down != RESULT_OK) {
            EXPECT_EQ(down.messages, std::vector<std::string>{GetLangString(5013)});
            continue;
        }
        EXPECT_EQ(downloaded.message, GetLangString(29));
        ExpectSteadyProgress(down, "download");
        if (down.sent.size() > 2 && down.sent[2][0] == 0x03) {
            EXPECT_EQ(down.sent[2].size(), row.hw.major == 2 && row.hw.minor == 0 ? 28u : 17u);
        }
        if (std::string(row.codes).ends_with("30")) {
            EXPECT_EQ(down.sent.back(), Bytes({0x30, 0x03, 0x00, 0x00, 0x01, 0x34}));
        }

        // Into values the module does not report: they stay as they were.
        CDeviceConfig target;
        SetValue(target.Subnet().GetItemAt(SUBNET_ROW_SLAVE_ADDRESS), "9");
        SetValue(target.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_PULSE), "5");
        SetValue(target.Bus().GetItemAt(BUS_ROW_INPUT_BYTES), "kept");
        Recorder up;
        const TransferOutcome uploaded = RunTransfer(TransferDirection::Upload, module.Path(), target, &up, &timings);
        ASSERT_EQ(uploaded.code, row.up) << uploaded.message;
        EXPECT_EQ(uploaded.configurationReplaced, row.up == RESULT_OK);
        if (row.up != RESULT_OK)
            continue;
        EXPECT_EQ(uploaded.message, GetLangString(30));
        ExpectSteadyProgress(up, "upload");
        const auto differences = CompareConfigurations(*source, target, CompareScope::Module, row.hw);
        EXPECT_TRUE(differences.empty()) << FormatDifferences(differences);
        EXPECT_EQ(target.Subnet().GetNodeAt(0) != nullptr, row.commands > 0) << "a module without commands has no slave node";
        EXPECT_EQ(ValueOf(target.Bus().GetItemAt(BUS_ROW_INPUT_BYTES)), "kept");
        if (row.mode == M) {
            EXPECT_EQ(ValueOf(target.Subnet().GetItemAt(SUBNET_ROW_SLAVE_ADDRESS)) + ValueOf(target.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_PULSE)), "95");
        }
    }
}

struct Fault {
    const char* name;
    SimIdentity module;
    SimFaults faults;
    ResultCode code;
    std::function<void(CDeviceConfig&)> spoil = {};   // a configuration refused before the line is used
};

TEST(Transfer, DownloadFaultsEndWithTheirCodeAndChangeNothing)
{
    const Fault rows[] = {
        {"silent", {}, {.noAnswer = true}, RESULT_SERIAL_IO},
        {"silent after the version", {}, {.noAnswer = true, .after = 2}, RESULT_SERIAL_IO},
        {"bad checksum on the version", {}, {.badChecksum = true, .onCommand = 0x01}, RESULT_REPLY_MISMATCH},
        {"bad checksum on a command record", {}, {.badChecksum = true, .onCommand = 0x10, .after = 3}, RESULT_REPLY_MISMATCH},
        {"short reply", {}, {.shortReply = true, .onCommand = 0x03}, RESULT_REPLY_MISMATCH},
        {"line dropped", {}, {.dropAfter = 4}, RESULT_SERIAL_IO},
        {"other product", {0x05}, {}, RESULT_VERSION_MISMATCH},
        {"empty item", {}, {}, RESULT_EMPTY_ITEM, [](CDeviceConfig& r) { SetValue(r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), ""); }},
        {"two commands on one byte", {}, {}, RESULT_MAPPING_CONFLICT, [](CDeviceConfig& r) {
             CSlaveNode* slave = r.Subnet().GetNodeAt(0);
             SetValue(slave->GetCommandAt(3)->GetItemAt(CMD_ROW_MAP_ADDRESS), ValueOf(slave->GetCommandAt(1)->GetItemAt(CMD_ROW_MAP_ADDRESS)));
         }},
    };
    const LinkTimings timings = SteadyTimings();
    for (const Fault& f : rows) {
        SCOPED_TRACE(f.name);
        InProcessModule module(f.module, f.faults);
        auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 6);
        if (f.spoil)
            f.spoil(*root);
        const std::string before = ConfigText(*root);
        Recorder observer;
        const TransferOutcome outcome = RunTransfer(TransferDirection::Download, module.Path(), *root, &observer, &timings);
        EXPECT_EQ(outcome.code, f.code);
        EXPECT_EQ(outcome.message, ResultMessage(f.code));
        EXPECT_EQ(ConfigText(*root), before);
        if (f.spoil) {
            EXPECT_TRUE(observer.sent.empty()) << "refused before anything is sent";
            EXPECT_EQ(observer.messages.empty(), f.code != RESULT_EMPTY_ITEM) << "the empty item is named";
        } else if (f.module.product != 0x81) {
            EXPECT_EQ(observer.Codes(), "01 01") << "only version requests may go out";
        }
        if (f.faults.dropAfter < 0)
            ExpectPortFree(module.Path());
    }
}

TEST(Transfer, UploadFaultsLeaveTheConfigurationAsItWas)
{
    // The module is loaded with seven commands first (13 requests), so that the upload reads two
    // pages; the faults count from the upload on.
    const int kLoadRequests = 13;
    const Fault rows[] = {
        {"silent", {}, {.noAnswer = true}, RESULT_SERIAL_IO},
        {"bad checksum on the bus block", {}, {.badChecksum = true, .onCommand = 0x08}, RESULT_REPLY_MISMATCH},
        {"bad checksum on the long serial block", {0x81, 2, 0}, {.badChecksum = true, .onCommand = 0x04}, RESULT_REPLY_MISMATCH},
        {"bad checksum on the command count", {}, {.badChecksum = true, .onCommand = 0x15}, RESULT_REPLY_MISMATCH},
        {"short command count", {}, {.shortReply = true, .onCommand = 0x15}, RESULT_REPLY_MISMATCH},
        {"line dropped among the pages", {}, {.dropAfter = 5}, RESULT_SERIAL_IO},
        {"other product", {0x05}, {}, RESULT_VERSION_MISMATCH},
        {"hardware 3.0", {0x81, 3, 0}, {}, RESULT_VERSION_MISMATCH},
        // The module keeps to no checksum on pages and the short serial block: they are not examined.
        {"bad checksum on a page", {}, {.badChecksum = true, .onCommand = 0x16}, RESULT_OK},
        {"bad checksum on the short serial block", {}, {.badChecksum = true, .onCommand = 0x04}, RESULT_OK},
    };
    const LinkTimings timings = SteadyTimings();
    for (const Fault& f : rows) {
        SCOPED_TRACE(f.name);
        SimFaults faults = f.faults;
        faults.after += kLoadRequests;
        if (faults.dropAfter >= 0)
            faults.dropAfter += kLoadRequests;
        InProcessModule module(f.module, faults);
        Recorder load;
        RunTransfer(TransferDirection::Download, module.Path(), *MakeFilledConfig(MODE_MODBUS_MASTER, 7), &load, &timings);
        if (f.module.product == 0x81 && f.module.major < 3) {
            ASSERT_EQ(load.sent.size(), static_cast<std::size_t>(kLoadRequests));
        }

        auto root = MakeFilledConfig(MODE_USER_CONFIG, 0);
        const std::string before = ConfigText(*root);
        const TransferOutcome outcome = RunTransfer(TransferDirection::Upload, module.Path(), *root, nullptr, &timings);
        EXPECT_EQ(outcome.code, f.code);
        EXPECT_EQ(outcome.message, f.code == RESULT_OK ? GetLangString(30) : ResultMessage(f.code));
        if (f.code == RESULT_OK) {
            EXPECT_EQ(root->GetCommandCount(), 7);
        } else {
            EXPECT_EQ(ConfigText(*root), before);
        }
        if (f.faults.dropAfter < 0)
            ExpectPortFree(module.Path());
    }
}

// A missing device and something that is not a terminal are refused with 4.
TEST(Transfer, RefusedDevicesGiveCode4)
{
    ScratchFolder folder;
    folder.Write("not-a-terminal", "x");
    for (const std::string& device : {std::string("/dev/ttyNOSUCH9"), folder / "not-a-terminal", std::string()}) {
        CPortSlot slot;
        EXPECT_EQ(OpenPort(slot, device), RESULT_PORT_NOT_OPENED) << device;
        EXPECT_FALSE(slot.IsOpen()) << device;
    }
}

// A frame goes out whole or not at all: one the line cannot take within the write limit fails
// with 5 and clears the port, and is not reported as sent.
TEST(Transfer, AFrameThatCannotGoOutWholeFailsWith5)
{
    CSimLine module;   // a far end that never reads, so the line fills up
    std::string error;
    ASSERT_TRUE(module.OpenPseudoTerminal(error)) << error;
    CPortSlot slot;
    ASSERT_EQ(OpenPort(slot, module.TerminalPath()), RESULT_OK);
    slot.Timings().writeTotalConstant = 50;
    slot.Timings().writeTotalPerByte = 0;
    Recorder observer;
    slot.SetObserver(&observer);
    const Bytes small(16, 0x55);
    EXPECT_EQ(WriteFrame(slot, small), RESULT_OK);
    EXPECT_EQ(WriteFrame(slot, Bytes(4 << 20, 0xAA)), RESULT_SERIAL_IO);
    EXPECT_EQ(slot.GetState(), CPortSlot::State::Cleared);
    EXPECT_EQ(observer.sent.size(), 1u) << "only the whole frame counts as sent";
    EXPECT_EQ(WriteFrame(slot, small), RESULT_SERIAL_IO) << "a cleared port writes nothing more";
}

} // namespace
