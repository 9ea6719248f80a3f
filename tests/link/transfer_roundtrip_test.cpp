// Download then upload through a real pseudo-terminal with gateway-sim on the other end.

#include <gtest/gtest.h>

#include <filesystem>

#include "link/transfer_run.h"
#include "link_test_support.h"
#include "model/lang_strings.h"
#include "sim_process.h"

namespace {

using namespace link_test;

struct RoundTrip {
    int mode;
    const char* hardware;
    int commands;   // -1: no slave node at all
};

std::string Name(const RoundTrip& t)
{
    return std::string(t.mode == MODE_MODBUS_MASTER ? "master" : "user") + " on " + t.hardware + " with " +
           std::to_string(t.commands) + " commands";
}

void PrintTo(const RoundTrip& t, std::ostream* out) { *out << Name(t); }

class TransferRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(TransferRoundTrip, UploadGivesBackWhatWasDownloaded)
{
    const RoundTrip& t = GetParam();
    SimProcess sim({"--hw-version", t.hardware});
    ASSERT_TRUE(sim.Running());

    auto source = MakeConfig(t.mode, t.commands);
    const std::string sourceText = FileText(*source);
    RecordingObserver down;
    const TransferOutcome downloaded = RunTransfer(TransferDirection::Download, sim.Path(), *source, &down);
    ASSERT_EQ(downloaded.code, RESULT_OK) << Name(t) << ": " << downloaded.message;
    EXPECT_EQ(downloaded.message, GetLangString(29));
    EXPECT_EQ(FileText(*source), sourceText) << "a download only reads the configuration";
    ExpectSteadyProgress(down, "download " + Name(t));

    // Upload into a new default configuration, so that every carried value has to come back.
    CDeviceConfig target;
    RecordingObserver up;
    const TransferOutcome uploaded = RunTransfer(TransferDirection::Upload, sim.Path(), target, &up);
    ASSERT_EQ(uploaded.code, RESULT_OK) << Name(t) << ": " << uploaded.message;
    EXPECT_TRUE(uploaded.configurationReplaced);
    EXPECT_EQ(uploaded.message, GetLangString(30));
    ExpectSteadyProgress(up, "upload " + Name(t));

    const bool framingCarried = t.mode == MODE_USER_CONFIG;
    std::vector<std::string> expected = CarriedView(*source, framingCarried);
    if (t.mode == MODE_USER_CONFIG && std::string(t.hardware) == "2.0")
        expected[expected.size() - 1] = "bus 3 = " + GetLangString(82);   // this hardware is not asked
    if (t.commands > 0) {
        // The uploaded node is named after its address.
        for (auto& line : expected)
            if (line.rfind("slave ", 0) == 0)
                line = "slave Node(17) address 17";
    }
    if (t.commands == 0 || t.commands < 0) {
        // A module without commands gives no slave node back.
        std::erase_if(expected, [](const std::string& line) { return line.rfind("slave ", 0) == 0; });
    }
    EXPECT_EQ(CarriedView(target, framingCarried), expected) << Name(t);
}

INSTANTIATE_TEST_SUITE_P(
    ModesVersionsCounts, TransferRoundTrip,
    ::testing::Values(RoundTrip{MODE_MODBUS_MASTER, "2.1", -1}, RoundTrip{MODE_MODBUS_MASTER, "2.1", 0},
                      RoundTrip{MODE_MODBUS_MASTER, "2.1", 1}, RoundTrip{MODE_MODBUS_MASTER, "2.1", 6},
                      RoundTrip{MODE_MODBUS_MASTER, "2.1", 7}, RoundTrip{MODE_MODBUS_MASTER, "2.1", 48},
                      RoundTrip{MODE_MODBUS_MASTER, "2.0", 7}, RoundTrip{MODE_MODBUS_MASTER, "1.3", 6},
                      RoundTrip{MODE_USER_CONFIG, "2.0", 0}, RoundTrip{MODE_USER_CONFIG, "2.1", 0}),
    [](const auto& info) {
        std::string name = Name(info.param);
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

struct Sequence {
    int mode;
    const char* hardware;
    std::vector<std::uint8_t> codes;
};

TEST(WholeDownload, FramesAsTheModuleSeesThem)
{
    const Sequence rows[] = {
        {MODE_MODBUS_MASTER, "1.0", {0x01, 0x01, 0x03, 0x14, 0x10, 0x10, 0x32, 0x07}},
        {MODE_MODBUS_MASTER, "2.0", {0x01, 0x01, 0x03, 0x14, 0x10, 0x10, 0x32, 0x07}},
        {MODE_USER_CONFIG, "2.0", {0x01, 0x01, 0x03, 0x32, 0x07}},
        {MODE_USER_CONFIG, "2.1", {0x01, 0x01, 0x03, 0x05, 0x30}},
        {MODE_MODBUS_MASTER, "3.0", {0x01, 0x01, 0x32, 0x07}},
        {MODE_USER_CONFIG, "3.2", {0x01, 0x01, 0x30}},
    };
    for (const Sequence& row : rows) {
        SimProcess sim({"--hw-version", row.hardware});
        ASSERT_TRUE(sim.Running());
        auto root = MakeConfig(row.mode, 2);
        RecordingObserver observer;
        const TransferOutcome outcome = RunTransfer(TransferDirection::Download, sim.Path(), *root, &observer);
        EXPECT_EQ(outcome.code, RESULT_OK) << row.hardware << ": " << outcome.message;
        EXPECT_EQ(observer.SentCodes(), row.codes) << "mode " << row.mode << " on " << row.hardware;
        if (row.codes.size() > 2 && row.codes[2] == 0x03) {
            EXPECT_EQ(observer.sent[2].size(), std::string(row.hardware) == "2.0" ? 28u : 17u);
        }
    }
}

TEST(WholeDownload, UserConfigAddressModeFrame)
{
    for (const int addressMode : {0, 1}) {
        SimProcess sim({"--hw-version", "2.1"});
        auto root = MakeConfig(MODE_USER_CONFIG, 0);
        root->Bus().SetChoice(BUS_ROW_ADDRESS_MODE, addressMode);
        RecordingObserver observer;
        ASSERT_EQ(RunTransfer(TransferDirection::Download, sim.Path(), *root, &observer).code, RESULT_OK);
        const std::vector<std::uint8_t> expected = {0x30, 0x03, 0x00, 0x00, static_cast<std::uint8_t>(addressMode),
                                                    static_cast<std::uint8_t>(0x33 + addressMode)};
        EXPECT_EQ(observer.sent.back(), expected);
    }
}

TEST(WholeUpload, SevenCommandsAreReadInTwoPages)
{
    SimProcess sim({"--hw-version", "2.1"});
    auto source = MakeConfig(MODE_MODBUS_MASTER, 7);
    ASSERT_EQ(RunTransfer(TransferDirection::Download, sim.Path(), *source).code, RESULT_OK);
    CDeviceConfig target;
    RecordingObserver observer;
    ASSERT_EQ(RunTransfer(TransferDirection::Upload, sim.Path(), target, &observer).code, RESULT_OK);
    std::vector<std::vector<std::uint8_t>> pages;
    std::vector<std::size_t> replyLengths;
    for (std::size_t i = 0; i < observer.sent.size(); ++i) {
        if (observer.sent[i][0] == 0x16) {
            pages.push_back(observer.sent[i]);
            replyLengths.push_back(observer.received[i].size());
        }
    }
    EXPECT_EQ(pages, (std::vector<std::vector<std::uint8_t>>{{0x16, 0x02, 0x00, 0x00, 0x18}, {0x16, 0x02, 0x00, 0x01, 0x19}}));
    EXPECT_EQ(replyLengths, (std::vector<std::size_t>{76, 16}));
    EXPECT_EQ(target.GetCommandCount(), 7);
}

TEST(WholeUpload, KeepsWhatTheModuleDoesNotReport)
{
    SimProcess sim({"--hw-version", "2.1"});
    auto source = MakeConfig(MODE_MODBUS_MASTER, 1);
    ASSERT_EQ(RunTransfer(TransferDirection::Download, sim.Path(), *source).code, RESULT_OK);

    CDeviceConfig target;
    SetText(target.Subnet().GetItemAt(SUBNET_ROW_SLAVE_ADDRESS), "9");
    SetText(target.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_PULSE), "5");
    target.Subnet().SetMode(MODE_USER_CONFIG);
    SetText(target.Subnet().GetItemAt(SUBNET_ROW_CHAR_INTERVAL), "77");   // a User Config row, not read in master mode
    SetText(target.Bus().GetItemAt(BUS_ROW_INPUT_BYTES), "kept");
    ASSERT_EQ(RunTransfer(TransferDirection::Upload, sim.Path(), target).code, RESULT_OK);
    EXPECT_EQ(target.Subnet().GetMode(), MODE_MODBUS_MASTER);
    EXPECT_EQ(target.Subnet().GetItemAt(SUBNET_ROW_SLAVE_ADDRESS)->value, "9");
    EXPECT_EQ(target.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_PULSE)->value, "5");
    EXPECT_EQ(target.Bus().GetItemAt(BUS_ROW_INPUT_BYTES)->value, "kept");
    target.Subnet().SetMode(MODE_USER_CONFIG);
    EXPECT_EQ(target.Subnet().GetItemAt(SUBNET_ROW_CHAR_INTERVAL)->value, "77");
}

TEST(WholeUpload, StateFileCarriesTheConfigurationToALaterRun)
{
    const std::string state = ::testing::TempDir() + "/gateway-sim-state.txt";
    std::remove(state.c_str());
    auto source = MakeConfig(MODE_MODBUS_MASTER, 6);
    {
        SimProcess sim({"--state", state});
        ASSERT_EQ(RunTransfer(TransferDirection::Download, sim.Path(), *source).code, RESULT_OK);
    }
    SimProcess later({"--state", state});
    CDeviceConfig target;
    ASSERT_EQ(RunTransfer(TransferDirection::Upload, later.Path(), target).code, RESULT_OK);
    EXPECT_EQ(target.GetCommandCount(), 6);
    EXPECT_EQ(CarriedView(target, false).back(), CarriedView(*source, false).back());
    std::remove(state.c_str());
}

// The simulator's life: a symbolic link to its terminal while it runs, gone after an idle
// time-out and after SIGTERM.
TEST(SimulatorLifetime, LinkServesTransfersAndGoesWithTheSimulator)
{
    namespace fs = std::filesystem;
    const fs::path link = fs::path(::testing::TempDir()) / "gateway-sim-link";
    fs::remove(link);
    {
        SimProcess sim({"--idle-exit", "1", "--link", link.string()});
        ASSERT_TRUE(sim.Running());
        ASSERT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link).string(), sim.Path());
        auto root = MakeConfig(MODE_MODBUS_MASTER, 1);
        EXPECT_EQ(RunTransfer(TransferDirection::Download, link.string(), *root).code, RESULT_OK);
        EXPECT_EQ(sim.Wait(), 0) << "an idle simulator ends by itself";
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link goes with it";
    }
    SimProcess sim({"--link", link.string()});
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(sim.Stop(), 0) << "SIGTERM ends the simulator cleanly";
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

} // namespace
