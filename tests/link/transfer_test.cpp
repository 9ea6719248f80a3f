// Downloads and uploads against the simulated module inside the test process: the frames that go
// out, what an upload brings back, and how each fault of the module ends a run.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "compare/config_diff.h"
#include "compare/diff_format.h"
#include "link/transfer_run.h"
#include "link/uucp_lock.h"
#include "model/lang_strings.h"
#include "support/transfer_recorder.h"
#include "sim/sim_line.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"

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
        const TransferOutcome downloaded = gw::RunTransfer(TransferDirection::Download, module.Path(), *source, &down, &timings);
        EXPECT_EQ(downloaded.code, row.down) << downloaded.message;
        EXPECT_EQ(down.Codes(), row.codes);
        EXPECT_EQ(ConfigText(*source), sourceText) << "a download only reads the configuration";
        if (row.down != RESULT_OK) {
            EXPECT_EQ(down.messages, std::vector<std::string>{gw::GetLangString(MessageText::UserConfigNotSupported)});
            continue;
        }
        EXPECT_EQ(downloaded.message, gw::GetLangString(MessageText::DownloadSucceeded));
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
        const TransferOutcome uploaded = gw::RunTransfer(TransferDirection::Upload, module.Path(), target, &up, &timings);
        ASSERT_EQ(uploaded.code, row.up) << uploaded.message;
        EXPECT_EQ(uploaded.configurationReplaced, row.up == RESULT_OK);
        if (row.up != RESULT_OK)
            continue;
        EXPECT_EQ(uploaded.message, gw::GetLangString(MessageText::UploadSucceeded));
        ExpectSteadyProgress(up, "upload");
        const auto differences = gw::CompareConfigurations(*source, target, CompareScope::Module, row.hw);
        EXPECT_TRUE(differences.empty()) << gw::FormatDifferences(differences);
        EXPECT_EQ(target.Subnet().GetNodeAt(0) != nullptr, row.commands > 0) << "a module without commands has no slave node";
        EXPECT_EQ(ValueOf(target.Bus().GetItemAt(BUS_ROW_INPUT_BYTES)), "kept");
        if (row.mode == M) {
            EXPECT_EQ(ValueOf(target.Subnet().GetItemAt(SUBNET_ROW_SLAVE_ADDRESS)) + ValueOf(target.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_PULSE)), "95");
        }
    }
}

// A run against a module with a fault, or with a configuration refused before the line is used.
// An upload finds the module loaded with seven commands (13 requests), so that it reads two pages;
// its faults count from the upload on.
TEST(Transfer, EachFaultEndsWithItsCodeAndChangesNothing)
{
    const auto D = TransferDirection::Download, U = TransferDirection::Upload;
    const struct {
        const char* name;
        TransferDirection direction;
        SimIdentity module;
        SimFaults faults;
        ResultCode code;
        std::function<void(CDeviceConfig&)> spoil = {};
        bool partial = false;   // a configuration frame went out: the module may hold part of it
    } rows[] = {
        {"silent", D, {}, {.noAnswer = true}, RESULT_SERIAL_IO},
        {"silent after the version", D, {}, {.noAnswer = true, .after = 2}, RESULT_SERIAL_IO, {}, true},
        {"bad checksum on the version", D, {}, {.badChecksum = true, .onCommand = 0x01}, RESULT_REPLY_MISMATCH},
        {"bad checksum on a command record", D, {}, {.badChecksum = true, .onCommand = 0x10, .after = 3}, RESULT_REPLY_MISMATCH, {}, true},
        {"short reply", D, {}, {.shortReply = true, .onCommand = 0x03}, RESULT_REPLY_MISMATCH, {}, true},
        {"line dropped", D, {}, {.dropAfter = 4}, RESULT_SERIAL_IO, {}, true},
        {"other product", D, {0x05}, {}, RESULT_VERSION_MISMATCH},
        {"empty item", D, {}, {}, RESULT_EMPTY_ITEM, [](CDeviceConfig& r) { SetValue(r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), ""); }},
        {"two commands on one byte", D, {}, {}, RESULT_MAPPING_CONFLICT, [](CDeviceConfig& r) {
             CSlaveNode* slave = r.Subnet().GetNodeAt(0);
             SetValue(slave->GetCommandAt(3)->GetItemAt(CMD_ROW_MAP_ADDRESS), ValueOf(slave->GetCommandAt(1)->GetItemAt(CMD_ROW_MAP_ADDRESS)));
         }},
        {"silent", U, {}, {.noAnswer = true}, RESULT_SERIAL_IO},
        {"bad checksum on the bus block", U, {}, {.badChecksum = true, .onCommand = 0x08}, RESULT_REPLY_MISMATCH},
        {"bad checksum on the long serial block", U, {0x81, 2, 0}, {.badChecksum = true, .onCommand = 0x04}, RESULT_REPLY_MISMATCH},
        {"bad checksum on the command count", U, {}, {.badChecksum = true, .onCommand = 0x15}, RESULT_REPLY_MISMATCH},
        {"short command count", U, {}, {.shortReply = true, .onCommand = 0x15}, RESULT_REPLY_MISMATCH},
        {"line dropped among the pages", U, {}, {.dropAfter = 5}, RESULT_SERIAL_IO},
        {"other product", U, {0x05}, {}, RESULT_VERSION_MISMATCH},
        {"hardware 3.0", U, {0x81, 3, 0}, {}, RESULT_VERSION_MISMATCH},
        // The module keeps to no checksum on pages and the short serial block: they are not examined.
        {"bad checksum on a page", U, {}, {.badChecksum = true, .onCommand = 0x16}, RESULT_OK},
        {"bad checksum on the short serial block", U, {}, {.badChecksum = true, .onCommand = 0x04}, RESULT_OK},
    };
    const LinkTimings timings = SteadyTimings();
    for (const auto& f : rows) {
        SCOPED_TRACE(std::string(f.direction == D ? "download, " : "upload, ") + f.name);
        SimFaults faults = f.faults;
        if (f.direction == U) {
            faults.after += 13;
            faults.dropAfter += faults.dropAfter >= 0 ? 13 : 0;
        }
        InProcessModule module(f.module, faults);
        if (f.direction == U)
            gw::RunTransfer(D, module.Path(), *MakeFilledConfig(MODE_MODBUS_MASTER, 7), nullptr, &timings);
        auto root = f.direction == D ? MakeFilledConfig(MODE_MODBUS_MASTER, 6) : MakeFilledConfig(MODE_USER_CONFIG, 0);
        if (f.spoil)
            f.spoil(*root);
        const std::string before = ConfigText(*root);
        Recorder observer;
        const TransferOutcome outcome = gw::RunTransfer(f.direction, module.Path(), *root, &observer, &timings);
        EXPECT_EQ(outcome.code, f.code);
        EXPECT_EQ(outcome.message, f.code == RESULT_OK ? gw::GetLangString(MessageText::UploadSucceeded)
                                   : gw::ResultMessage(f.code) + (f.partial ? "\n" + gw::PartlyDownloadedText() : ""));
        EXPECT_EQ(outcome.partlyDownloaded, f.partial);
        EXPECT_EQ(f.code == RESULT_OK ? std::to_string(root->GetCommandCount()) : ConfigText(*root), f.code == RESULT_OK ? "7" : before);
        if (f.spoil) {
            EXPECT_TRUE(observer.sent.empty()) << "refused before anything is sent";
            EXPECT_EQ(observer.messages.empty(), f.code != RESULT_EMPTY_ITEM) << "the empty item is named";
        } else if (f.module.product != 0x81) {
            EXPECT_EQ(observer.Codes(), "01 01") << "only version requests may go out";
        }
        CPortSlot again;
        EXPECT_TRUE(f.faults.dropAfter >= 0 || gw::OpenPort(again, module.Path()).code == RESULT_OK) << "the run left the port held";
    }
}

// Stops the run a little after a frame of one code has gone out, from another thread, as the
// transfer dialog's Cancel does: the module does not answer it, so the run is then waiting.
struct StopAfterFrame : Recorder {
    StopAfterFrame(int frameCode, std::atomic<bool>& stopFlag) : code(frameCode), stop(stopFlag) {}
    ~StopAfterFrame() override
    {
        if (stopper.joinable())
            stopper.join();
    }
    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        Recorder::OnFrame(direction, bytes);
        if (direction == FrameDirection::ToModule && bytes[0] == code && !stopper.joinable())
            stopper = std::thread([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                stop = true;
            });
    }
    int code;
    std::atomic<bool>& stop;
    std::thread stopper;
};

// A stop request ends the run at the exchange it comes in, however long the module would keep
// it waiting (the time limits here outlast the test's own): the port is closed and its lock
// removed, the configuration is left as it was, and a download that got past the version says
// that the module may hold part of it.
TEST(Transfer, AStopRequestEndsTheRunAtOnce)
{
    const auto D = TransferDirection::Download, U = TransferDirection::Upload;
    const struct {
        TransferDirection direction;
        int code;        // the frame after which the stop comes; -1: before the run starts
        std::string sent;   // the frames that went out
        bool partial;
    } rows[] = {
        {D, -1, "", false},
        {D, 0x01, "01", false},
        {D, 0x03, "01 01 03", true},
        {D, 0x10, "01 01 03 14 10", true},
        {D, 0x07, "01 01 03 14 10x4 32 07", true},
        {U, 0x16, "01 01 04 15 16", false},
    };
    const LinkTimings patient = PatientTimings();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sent);
        InProcessModule module({}, {.noAnswer = true, .onCommand = row.code});
        auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 4);
        if (row.direction == U) {   // a module with commands to read
            ASSERT_EQ(gw::RunTransfer(D, module.Path(), *root, nullptr, &patient).code, RESULT_OK);
        }
        const std::string before = ConfigText(*root);
        std::atomic<bool> stop{row.code < 0};
        StopAfterFrame observer(row.code, stop);
        const TransferOutcome outcome = gw::RunTransfer(row.direction, module.Path(), *root, &observer, &patient, &stop);
        EXPECT_EQ(outcome.code, RESULT_STOPPED);
        EXPECT_EQ(outcome.message, gw::ResultMessage(RESULT_STOPPED) + (row.partial ? "\n" + gw::PartlyDownloadedText() : ""));
        EXPECT_EQ(outcome.partlyDownloaded, row.partial);
        EXPECT_EQ(observer.Codes(), row.sent);
        EXPECT_EQ(ConfigText(*root), before);
        EXPECT_FALSE(std::filesystem::exists(std::string(kSerialLockDirectory) + "/" + gw::LockFileName(module.Path())));
        CPortSlot again;
        EXPECT_EQ(gw::OpenPort(again, module.Path()).code, RESULT_OK) << "the run left the port held";
    }
}

// A frame goes out whole or not at all: one the line cannot take within the write limit fails
// with 5 and clears the port, and is not reported as sent.
TEST(Transfer, AFrameThatCannotGoOutWholeFailsWith5)
{
    CSimLine module;   // a far end that never reads, so the line fills up
    const Outcome opened = module.OpenPseudoTerminal();
    ASSERT_TRUE(opened) << opened.message;
    CPortSlot slot;
    ASSERT_EQ(gw::OpenPort(slot, module.TerminalPath()).code, RESULT_OK);
    slot.Timings().writeTotalConstant = 50;
    slot.Timings().writeTotalPerByte = 0;
    Recorder observer;
    slot.SetObserver(&observer);
    const Bytes small(16, 0x55);
    EXPECT_EQ(gw::WriteFrame(slot, small), RESULT_OK);
    EXPECT_EQ(gw::WriteFrame(slot, Bytes(4 << 20, 0xAA)), RESULT_SERIAL_IO);
    EXPECT_EQ(slot.GetState(), CPortSlot::State::Cleared);
    EXPECT_EQ(observer.sent.size(), 1u) << "only the whole frame counts as sent";
    EXPECT_EQ(gw::WriteFrame(slot, small), RESULT_SERIAL_IO) << "a cleared port writes nothing more";
}

} // namespace
