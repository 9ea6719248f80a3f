// The module scope proven against the simulated module: seeded random configurations of both
// modes, 0-48 commands and three hardware versions go down and come back up; in the module scope
// nothing differs, and the whole scope lists only what the module does not keep.

#include <gtest/gtest.h>

#include <random>

#include "compare/config_diff.h"
#include "compare/diff_format.h"
#include "link/transfer_run.h"
#include "mapping/auto_map.h"
#include "model/edit_actions.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"

namespace {

std::unique_ptr<CDeviceConfig> RandomConfig(std::mt19937& rng, int mode, int commands)
{
    const auto between = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto root = std::make_unique<CDeviceConfig>();
    CSubnetNode& subnet = root->Subnet();
    subnet.SetMode(mode);
    for (const auto& [row, choices] : {std::pair{SUBNET_ROW_BAUD_RATE, 9}, {SUBNET_ROW_DATA_BITS, 2}, {SUBNET_ROW_CHECK_BIT, 5},
                                       {SUBNET_ROW_STOP_BITS, 2}, {SUBNET_ROW_TRANSMISSION, 2}, {SUBNET_ROW_OUTPUT_MODE, 3},
                                       {SUBNET_ROW_FRAME_TYPE, 3}, {SUBNET_ROW_AUTO_SEND, 2}, {SUBNET_ROW_CRC_CHECK, 2}})
        subnet.SetChoice(row, between(0, choices - 1));
    for (const auto& [row, low, high] : {std::tuple{SUBNET_ROW_RESPONSE_TIMEOUT, 50, 60000}, {SUBNET_ROW_SCAN_RATE, 1, 255},
                                         {SUBNET_ROW_CHAR_INTERVAL, 10, 60000}, {SUBNET_ROW_FRAME_LENGTH, 1, 166},
                                         {SUBNET_ROW_START_DELIMITER, 0, 255}, {SUBNET_ROW_END_DELIMITER, 0, 255},
                                         {SUBNET_ROW_AUTO_SEND_PERIOD, 10, 60000}})
        subnet.SetIntValue(row, between(low, high));
    subnet.SetIntValue(SUBNET_ROW_POLL_DELAY, 10 * between(0, 250));
    root->Bus().SetChoice(BUS_ROW_ADDRESS_MODE, between(0, 1));
    // A typed time-out whose low byte is FFh reads back as "Default Value".
    const int timeout = between(1, 60000);
    if (between(0, 1) == 1 && (timeout & 0xFF) != 0xFF)
        root->Bus().SetIntValue(BUS_ROW_PROBE_TIMEOUT, timeout);
    if (mode != MODE_MODBUS_MASTER || commands < 0)
        return root;
    CSlaveNode& slave = test_config::SlaveOf(*root, between(1, 247));
    static const int kIndexes[] = {FUNCTION_READ_COIL_STATUS,      FUNCTION_READ_INPUT_STATUS,
                                   FUNCTION_READ_HOLDING_REGISTER, FUNCTION_READ_INPUT_REGISTER,
                                   FUNCTION_FORCE_SINGLE_COIL,     FUNCTION_PRESET_SINGLE_REGISTER,
                                   FUNCTION_FORCE_MULTIPLE_COILS,  FUNCTION_PRESET_MULTIPLE_REGISTERS};
    for (int i = 0; i < commands; ++i) {
        const int index = kIndexes[between(0, 7)];
        CModbusCommand* command = gw::AddCommandTo(&slave, index).command;
        command->SetIntValue(CMD_ROW_START_ADDRESS, between(0, 65535));
        if (index != FUNCTION_FORCE_SINGLE_COIL && index != FUNCTION_PRESET_SINGLE_REGISTER)   // one datum
            command->SetIntValue(CMD_ROW_DATA_COUNT, gw::IsBitFunctionIndex(index) ? between(1, 32) : between(1, 2));
        command->SetChoice(CMD_ROW_BYTE_SWAP, between(0, 2));
        command->SetChoice(CMD_ROW_SCAN_TYPE, between(0, 1));
        command->GetItemAt(CMD_ROW_MNEMONIC)->value = "m" + std::to_string(between(0, 999));
    }
    EXPECT_EQ(gw::AutoMap(*root).result, 1);
    return root;
}

TEST(ModuleScope, RandomConfigurationsComeBackEqualInTheModuleScope)
{
    const HardwareVersion versions[] = {{1, 3}, {2, 0}, {2, 1}};
    std::vector<std::unique_ptr<InProcessModule>> modules;
    for (const HardwareVersion v : versions)
        modules.push_back(std::make_unique<InProcessModule>(SimIdentity{0x81, v.major, v.minor}));
    const LinkTimings timings = SteadyTimings();   // time-outs only cost on silence: room for a busy machine
    std::mt19937 rng(20261207);
    int compared = 0;
    for (int run = 0; run < 270; ++run) {
        const HardwareVersion version = versions[run % 3];
        const int mode = std::uniform_int_distribution<int>(0, 1)(rng);
        const int commands = std::uniform_int_distribution<int>(-1, 48)(rng);   // -1: no slave node at all
        auto source = RandomConfig(rng, mode, commands);
        const std::string what = "run " + std::to_string(run) + ": mode " + std::to_string(mode) + " on " +
                                 std::to_string(version.major) + "." + std::to_string(version.minor) + ", " + std::to_string(commands);
        const std::string& port = modules[run % 3]->Path();
        const TransferOutcome down = gw::RunTransfer(TransferDirection::Download, port, *source, nullptr, &timings);
        if (version.major < 2 && mode == MODE_USER_CONFIG) {
            EXPECT_EQ(down.code, RESULT_VERSION_MISMATCH) << what;
            continue;
        }
        ASSERT_EQ(down.code, RESULT_OK) << what << ": " << down.message;
        CDeviceConfig read;   // defaults: whatever the module does not give back stays default
        const TransferOutcome up = gw::RunTransfer(TransferDirection::Upload, port, read, nullptr, &timings);
        ASSERT_EQ(up.code, RESULT_OK) << what << ": " << up.message;
        EXPECT_EQ(up.version.major, version.major);
        const auto module = gw::CompareConfigurations(*source, read, CompareScope::Module, up.version);
        EXPECT_TRUE(module.empty()) << what << ":\n" << gw::FormatDifferences(module);
        for (const Difference& d : gw::CompareConfigurations(*source, read, CompareScope::Whole))
            EXPECT_FALSE(gw::ModuleKeeps(d, mode, version)) << what << ": " << gw::FormatDifference(d);
        ++compared;
    }
    EXPECT_GE(compared, 200);
}

} // namespace
