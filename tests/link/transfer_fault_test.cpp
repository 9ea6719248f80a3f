// Transfers against a module that misbehaves: every fault ends the run with its code and
// message, leaves the port free for the next program and the configuration untouched.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "link/transfer_run.h"
#include "link_test_support.h"
#include "model/lang_strings.h"
#include "sim/sim_line.h"
#include "sim_process.h"
#include "support/run_program.h"

namespace {

using namespace link_test;

// Short limits, so that a silent module costs a fraction of a second per read.
LinkTimings QuickTimings()
{
    LinkTimings t;
    t.readInterval = 100;
    t.readTotalConstant = 150;
    t.readTotalPerByte = 5;
    return t;
}

// The port can be taken again: the run closed it.
void ExpectPortFree(const std::string& path)
{
    CPortSlot slot;
    EXPECT_EQ(OpenPort(slot, path), RESULT_OK) << "the run left " << path << " held";
}

struct Fault {
    const char* name;
    std::vector<std::string> simArgs;
    ResultCode code;
    bool lineGone = false;   // the module hung up: the terminal is gone with it
};

// Equal file texts, or the first line where they part.
::testing::AssertionResult SameText(const std::string& before, const std::string& after)
{
    if (before == after)
        return ::testing::AssertionSuccess();
    std::istringstream a(before), b(after);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, la));
        const bool moreB = static_cast<bool>(std::getline(b, lb));
        if (!moreA && !moreB)
            break;
        if (la != lb || moreA != moreB)
            return ::testing::AssertionFailure() << "line " << line << " was \"" << la << "\", is \"" << lb << "\"";
    }
    return ::testing::AssertionFailure() << "the texts differ";
}

class DownloadFault : public ::testing::TestWithParam<Fault> {};

TEST_P(DownloadFault, EndsWithItsCodeAndChangesNothing)
{
    const Fault& f = GetParam();
    SimProcess sim(f.simArgs);
    ASSERT_TRUE(sim.Running());
    auto root = MakeConfig(MODE_MODBUS_MASTER, 6);
    const std::string before = FileText(*root);
    RecordingObserver observer;
    const LinkTimings timings = QuickTimings();
    const TransferOutcome outcome = RunTransfer(TransferDirection::Download, sim.Path(), *root, &observer, &timings);
    EXPECT_EQ(outcome.code, f.code) << f.name;
    EXPECT_EQ(outcome.message, ResultMessage(f.code)) << f.name;
    EXPECT_FALSE(outcome.configurationReplaced);
    EXPECT_TRUE(SameText(before, FileText(*root))) << f.name;
    EXPECT_FALSE(observer.sent.empty()) << f.name << ": the run never reached the module";
    if (!f.lineGone)
        ExpectPortFree(sim.Path());
}

INSTANTIATE_TEST_SUITE_P(
    InjectedBySimulator, DownloadFault,
    ::testing::Values(Fault{"silent", {"--no-answer"}, RESULT_SERIAL_IO},
                      Fault{"silent_after_the_version", {"--no-answer", "--fault-after", "2"}, RESULT_SERIAL_IO},
                      Fault{"bad_checksum", {"--bad-checksum"}, RESULT_REPLY_MISMATCH},
                      Fault{"bad_checksum_on_a_command_record", {"--bad-checksum", "--fault-on", "10", "--fault-after", "3"},
                            RESULT_REPLY_MISMATCH},
                      Fault{"short_reply", {"--short-reply", "--fault-on", "03"}, RESULT_REPLY_MISMATCH},
                      Fault{"line_dropped", {"--drop-after", "4"}, RESULT_SERIAL_IO, true},
                      Fault{"other_product", {"--product", "0x05"}, RESULT_VERSION_MISMATCH}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DownloadVersion, OtherProductStopsBeforeAnyConfigurationFrame)
{
    SimProcess sim({"--product", "0x05"});
    auto root = MakeConfig(MODE_MODBUS_MASTER, 2);
    RecordingObserver observer;
    EXPECT_EQ(RunTransfer(TransferDirection::Download, sim.Path(), *root, &observer).code, RESULT_VERSION_MISMATCH);
    for (const std::uint8_t code : observer.SentCodes())
        EXPECT_EQ(code, 0x01) << "only version requests may go out";
}

TEST(DownloadVersion, OldHardwareRefusesUserConfigWithItsMessage)
{
    SimProcess sim({"--hw-version", "1.0"});
    auto root = MakeConfig(MODE_USER_CONFIG, 0);
    RecordingObserver observer;
    const TransferOutcome outcome = RunTransfer(TransferDirection::Download, sim.Path(), *root, &observer);
    EXPECT_EQ(outcome.code, RESULT_VERSION_MISMATCH);
    EXPECT_EQ(observer.messages, std::vector<std::string>{GetLangString(5013)});
    for (const std::uint8_t code : observer.SentCodes())
        EXPECT_EQ(code, 0x01);
}

// The pre-checks refuse a configuration before the port is even opened.
TEST(DownloadPreCheck, RefusedConfigurationsSendNothing)
{
    struct Row {
        const char* name;
        void (*spoil)(CDeviceConfig&);
        ResultCode code;
    };
    const Row rows[] = {
        {"empty response timeout", [](CDeviceConfig& r) { r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value.clear(); },
         RESULT_EMPTY_ITEM},
        {"two commands on one byte",
         [](CDeviceConfig& r) {
             CSlaveNode* slave = r.Subnet().Nodes().front().get();
             slave->Commands()[3]->GetItemAt(CMD_ROW_MAP_ADDRESS)->value = slave->Commands()[1]->GetItemAt(CMD_ROW_MAP_ADDRESS)->value;
         },
         RESULT_MAPPING_CONFLICT},
    };
    for (const Row& row : rows) {
        SimProcess sim({});
        auto root = MakeConfig(MODE_MODBUS_MASTER, 6);
        row.spoil(*root);
        const std::string before = FileText(*root);
        RecordingObserver observer;
        const TransferOutcome outcome = RunTransfer(TransferDirection::Download, sim.Path(), *root, &observer);
        EXPECT_EQ(outcome.code, row.code) << row.name;
        EXPECT_TRUE(observer.sent.empty()) << row.name;
        EXPECT_TRUE(SameText(before, FileText(*root))) << row.name;
    }
}

TEST(DownloadPreCheck, NothingToDownloadIsSaid)
{
    CDeviceConfig root;
    root.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value.clear();
    SimProcess sim({});
    RecordingObserver observer;
    const TransferOutcome outcome = RunTransfer(TransferDirection::Download, sim.Path(), root, &observer);
    EXPECT_EQ(outcome.code, RESULT_EMPTY_ITEM);
    EXPECT_FALSE(observer.messages.empty()) << "the empty item is named before the run ends";
}

class UploadFault : public ::testing::TestWithParam<Fault> {};

TEST_P(UploadFault, LeavesTheConfigurationExactlyAsItWas)
{
    const Fault& f = GetParam();
    // The module holds seven commands, so that the upload reads two pages.
    const std::string state = ::testing::TempDir() + "/upload-fault-" + f.name + ".txt";
    std::remove(state.c_str());
    {
        SimProcess loader({"--state", state});
        auto module = MakeConfig(MODE_MODBUS_MASTER, 7);
        ASSERT_EQ(RunTransfer(TransferDirection::Download, loader.Path(), *module).code, RESULT_OK);
    }
    std::vector<std::string> args = f.simArgs;
    args.insert(args.begin(), {"--state", state});
    SimProcess sim(args);
    ASSERT_TRUE(sim.Running());

    auto root = MakeConfig(MODE_USER_CONFIG, 0);
    AddSlaveNode(*root, TreeRecord::ForNode(RECORD_SUBNET, &root->Subnet()));
    const std::string before = FileText(*root);
    const LinkTimings timings = QuickTimings();
    const TransferOutcome outcome = RunTransfer(TransferDirection::Upload, sim.Path(), *root, nullptr, &timings);
    EXPECT_EQ(outcome.code, f.code) << f.name;
    EXPECT_EQ(outcome.message, ResultMessage(f.code)) << f.name;
    EXPECT_FALSE(outcome.configurationReplaced);
    EXPECT_TRUE(SameText(before, FileText(*root))) << f.name;
    if (!f.lineGone)
        ExpectPortFree(sim.Path());
    std::remove(state.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    InjectedBySimulator, UploadFault,
    ::testing::Values(Fault{"silent", {"--no-answer"}, RESULT_SERIAL_IO},
                      Fault{"bad_checksum_on_the_bus_block", {"--bad-checksum", "--fault-on", "08"}, RESULT_REPLY_MISMATCH},
                      Fault{"bad_checksum_on_the_long_serial_block", {"--hw-version", "2.0", "--bad-checksum", "--fault-on", "04"},
                            RESULT_REPLY_MISMATCH},
                      Fault{"short_command_count", {"--short-reply", "--fault-on", "15"}, RESULT_REPLY_MISMATCH},
                      Fault{"line_dropped_among_the_pages", {"--drop-after", "5"}, RESULT_SERIAL_IO, true},
                      Fault{"other_product", {"--product", "0x05"}, RESULT_VERSION_MISMATCH},
                      Fault{"hardware_version_3", {"--hw-version", "3.0"}, RESULT_VERSION_MISMATCH}),
    [](const auto& info) { return std::string(info.param.name); });

// The module's page and short serial replies carry no checksum that it keeps to, so the tool
// does not examine them: a wrong last byte there must not fail an upload.
TEST(UploadRecords, UncheckedRepliesStillRead)
{
    for (const char* code : {"16", "04"}) {
        const std::string state = ::testing::TempDir() + "/upload-unchecked-" + code + ".txt";
        std::remove(state.c_str());
        auto module = MakeConfig(MODE_MODBUS_MASTER, 7);
        {
            SimProcess loader({"--state", state});
            ASSERT_EQ(RunTransfer(TransferDirection::Download, loader.Path(), *module).code, RESULT_OK);
        }
        SimProcess sim({"--state", state, "--bad-checksum", "--fault-on", code});
        CDeviceConfig root;
        EXPECT_EQ(RunTransfer(TransferDirection::Upload, sim.Path(), root).code, RESULT_OK) << code;
        EXPECT_EQ(root.GetCommandCount(), 7) << code;
        std::remove(state.c_str());
    }
}

// A command record with a function code the tool does not know fails the upload with 10.
TEST(UploadRecords, UnknownFunctionCodeIsRefused)
{
    const std::string state = ::testing::TempDir() + "/upload-unknown-code.txt";
    std::remove(state.c_str());
    {
        SimProcess loader({"--state", state});
        auto module = MakeConfig(MODE_MODBUS_MASTER, 3);
        ASSERT_EQ(RunTransfer(TransferDirection::Download, loader.Path(), *module).code, RESULT_OK);
    }
    std::string edited;
    std::istringstream lines(ReadWholeFile(state));
    bool spoiled = false;
    for (std::string line; std::getline(lines, line);) {
        if (!spoiled && line.rfind("command", 0) == 0) {
            std::istringstream tokens(line);
            std::vector<std::string> parts;
            for (std::string t; tokens >> t;)
                parts.push_back(t);
            ASSERT_GE(parts.size(), 4u);
            parts[3] = "07";   // key, sequence, slave address, function code
            line.clear();
            for (const auto& p : parts)
                line += (line.empty() ? "" : " ") + p;
            spoiled = true;
        }
        edited += line + "\n";
    }
    ASSERT_TRUE(spoiled);
    std::ofstream(state) << edited;

    SimProcess sim({"--state", state});
    CDeviceConfig root;
    const std::string before = FileText(root);
    const TransferOutcome outcome = RunTransfer(TransferDirection::Upload, sim.Path(), root);
    EXPECT_EQ(outcome.code, RESULT_COMMAND_UPLOAD);
    EXPECT_EQ(outcome.message, ResultMessage(RESULT_COMMAND_UPLOAD));
    EXPECT_TRUE(SameText(before, FileText(root)));
    std::remove(state.c_str());
}

// Opening the line: a held port, a missing device and something that is not a terminal.
TEST(PortOpening, RefusedDevicesGiveCode4)
{
    SimProcess sim({});
    CPortSlot first;
    ASSERT_EQ(OpenPort(first, sim.Path()), RESULT_OK);
    {
        CPortSlot second;
        EXPECT_EQ(OpenPort(second, sim.Path()), RESULT_PORT_NOT_OPENED) << "a held port is refused";
        EXPECT_FALSE(second.IsOpen());
    }
    {
        CDeviceConfig root;
        const TransferOutcome outcome = RunTransfer(TransferDirection::Upload, sim.Path(), root);
        EXPECT_EQ(outcome.code, RESULT_PORT_NOT_OPENED);
        EXPECT_EQ(outcome.message, ResultMessage(RESULT_PORT_NOT_OPENED));
    }
    first.Close();
    CPortSlot again;
    EXPECT_EQ(OpenPort(again, sim.Path()), RESULT_OK) << "closing gives the port back";

    const std::string regular = ::testing::TempDir() + "/not-a-terminal";
    std::ofstream(regular) << "x";
    for (const std::string& device : {std::string("/dev/ttyNOSUCH9"), regular, std::string()}) {
        CPortSlot slot;
        EXPECT_EQ(OpenPort(slot, device), RESULT_PORT_NOT_OPENED) << device;
        EXPECT_FALSE(slot.IsOpen()) << device;
    }
    std::remove(regular.c_str());
}

// A frame is written whole or not at all: a line that takes only part of it within the write
// limit fails the write with 5 and clears the port, and no frame is reported as sent.
TEST(PortWriting, AFrameThatCannotGoOutWholeFailsWith5)
{
    CSimLine module;   // a far end that never reads, so the line fills up
    std::string error;
    ASSERT_TRUE(module.OpenPseudoTerminal(error)) << error;
    CPortSlot slot;
    ASSERT_EQ(OpenPort(slot, module.TerminalPath()), RESULT_OK);
    slot.Timings().writeTotalConstant = 50;
    slot.Timings().writeTotalPerByte = 0;
    RecordingObserver observer;
    slot.SetObserver(&observer);

    const std::vector<std::uint8_t> small(16, 0x55);
    EXPECT_EQ(WriteFrame(slot, small), RESULT_OK);
    const std::vector<std::uint8_t> huge(4 << 20, 0xAA);   // far more than a terminal buffers
    EXPECT_EQ(WriteFrame(slot, huge), RESULT_SERIAL_IO);
    EXPECT_EQ(slot.GetState(), CPortSlot::State::Cleared);
    ASSERT_EQ(observer.sent.size(), 1u) << "only the whole frame counts as sent";
    EXPECT_EQ(WriteFrame(slot, small), RESULT_SERIAL_IO) << "a cleared port writes nothing more";
}

} // namespace
