#pragma once
// Configurations for the transfer tests, and the view of a configuration that the protocol
// carries, so that a download followed by an upload can be compared with what was sent.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "file/config_file.h"
#include "link/download.h"
#include "link/link_observer.h"
#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/device_config.h"
#include "model/edit_actions.h"

namespace link_test {

inline void SetText(CParamItem* item, const std::string& value)
{
    ASSERT_NE(item, nullptr);
    item->value = value;
}

// Modbus Master: one slave (address 17) with count commands of every supported code in turn,
// filled, mapped without conflict. User Config: non-default framing values.
inline std::unique_ptr<CDeviceConfig> MakeConfig(int mode, int count)
{
    auto root = std::make_unique<CDeviceConfig>();
    CSubnetNode& subnet = root->Subnet();
    subnet.SetChoice(SUBNET_ROW_BAUD_RATE, 7);
    subnet.SetChoice(SUBNET_ROW_CHECK_BIT, 2);
    subnet.SetChoice(SUBNET_ROW_STOP_BITS, 1);
    CBusNode& bus = root->Bus();
    SetText(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT), "1234");
    if (mode == MODE_USER_CONFIG) {
        subnet.SetMode(MODE_USER_CONFIG);
        subnet.SetChoice(SUBNET_ROW_FRAME_TYPE, 2);
        SetText(subnet.GetItemAt(SUBNET_ROW_CHAR_INTERVAL), "300");
        SetText(subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH), "160");
        SetText(subnet.GetItemAt(SUBNET_ROW_START_DELIMITER), "2");
        SetText(subnet.GetItemAt(SUBNET_ROW_END_DELIMITER), "3");
        subnet.SetChoice(SUBNET_ROW_AUTO_SEND, 1);
        SetText(subnet.GetItemAt(SUBNET_ROW_AUTO_SEND_PERIOD), "2500");
        subnet.SetChoice(SUBNET_ROW_CRC_CHECK, 1);
        bus.SetChoice(BUS_ROW_ADDRESS_MODE, 0);
        return root;
    }
    SetText(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "1500");
    SetText(subnet.GetItemAt(SUBNET_ROW_POLL_DELAY), "2340");
    subnet.SetChoice(SUBNET_ROW_OUTPUT_MODE, 0);
    SetText(subnet.GetItemAt(SUBNET_ROW_SCAN_RATE), "25");
    if (count < 0)
        return root;
    CSlaveNode* slave = AddSlaveNode(*root, TreeRecord::ForNode(RECORD_SUBNET, &subnet));
    EXPECT_NE(slave, nullptr);
    SetText(slave->GetItemAt(SLAVE_ROW_ADDRESS), "17");
    static const int kCodes[] = {1, 2, 3, 4, 5, 6, 15, 16};
    for (int i = 0; i < count; ++i) {
        int index = kUnknownFunctionIndex;
        const int code = kCodes[i % 8];
        GetFunctionByCode(code, &index);
        CModbusCommand* command = AddCommandTo(slave, index).command;
        EXPECT_NE(command, nullptr);
        if (!command)
            break;
        SetText(command->GetItemAt(CMD_ROW_START_ADDRESS), std::to_string(100 * i + 7));
        if (code != 5 && code != 6)
            SetText(command->GetItemAt(CMD_ROW_DATA_COUNT), std::to_string(1 + i % 3));
        command->SetChoice(CMD_ROW_SCAN_TYPE, i % 2);
        command->SetChoice(CMD_ROW_BYTE_SWAP, i % 3);
    }
    EXPECT_EQ(AutoMap(*root).result, 1) << "the commands fit both areas";
    EXPECT_EQ(CheckMapping(*root), RESULT_OK);
    return root;
}

inline std::string ValueAt(const CParamItem* item)
{
    return item ? item->value + (item->enable == 1 ? "" : " (grey)") : "<none>";
}

// Everything a download sends and an upload reads back: the subnet's mode and rows (rows 12-19
// only where the hardware carries them), the bus address rows, the slave address and each
// command's sent items.
inline std::vector<std::string> CarriedView(const CDeviceConfig& root, bool framingCarried)
{
    std::vector<std::string> view;
    const CSubnetNode& subnet = root.Subnet();
    view.push_back("mode " + std::to_string(subnet.GetMode()));
    for (int row = 0; row < subnet.GetRowCount(); ++row) {
        if (row == SUBNET_ROW_SLAVE_ADDRESS || row == SUBNET_ROW_OUTPUT_PULSE)
            continue;
        if (row >= SUBNET_ROW_FRAME_TYPE && !framingCarried)
            continue;
        view.push_back("subnet " + std::to_string(row) + " = " + subnet.GetItemAt(row)->value);
    }
    const CBusNode& bus = root.Bus();
    view.push_back("bus 3 = " + ValueAt(bus.GetItemAt(BUS_ROW_ADDRESS_MODE)));
    if (subnet.GetMode() == MODE_MODBUS_MASTER)
        view.push_back("bus 4 = " + bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value);
    for (const auto& slave : subnet.Nodes()) {
        view.push_back("slave " + slave->GetName() + " address " + slave->GetItemAt(SLAVE_ROW_ADDRESS)->value);
        for (const auto& command : slave->Commands()) {
            std::string line = "  " + command->GetName() + ":";
            for (const int row : {CMD_ROW_FUNCTION_CODE, CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS,
                                  CMD_ROW_MAP_BIT, CMD_ROW_BYTE_SWAP, CMD_ROW_SCAN_TYPE})
                line += " " + command->GetItemAt(row)->value + ";";
            view.push_back(line);
        }
    }
    return view;
}

// The whole configuration as its file text, without the save time: equal texts mean nothing at
// all changed.
inline std::string FileText(const CDeviceConfig& root)
{
    std::string text;
    EXPECT_TRUE(WriteConfigText(root, &text).ok);
    const std::size_t stamp = text.find("<DateTime ");
    if (stamp != std::string::npos)
        text.erase(stamp, text.find('\n', stamp) - stamp);
    return text;
}

// Records what a transfer shows and sends.
class RecordingObserver : public CLinkObserver {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        (direction == FrameDirection::ToModule ? sent : received).emplace_back(bytes.begin(), bytes.end());
    }
    void OnProgress(int done, int planned) override
    {
        progress.emplace_back(done, planned);
    }
    // Command codes of the frames sent, in order.
    std::vector<std::uint8_t> SentCodes() const
    {
        std::vector<std::uint8_t> codes;
        for (const auto& frame : sent)
            codes.push_back(frame.empty() ? 0 : frame[0]);
        return codes;
    }

    std::vector<std::string> messages;
    std::vector<std::vector<std::uint8_t>> sent;
    std::vector<std::vector<std::uint8_t>> received;
    std::vector<std::pair<int, int>> progress;   // (done, planned) as reported
};

// Progress that a user can trust: exchange 1, 2, 3, ... each once; the total, once known, never
// changes, so the share done never shrinks; the run ends at its total.
inline void ExpectSteadyProgress(const RecordingObserver& observer, const std::string& what)
{
    ASSERT_FALSE(observer.progress.empty()) << what;
    int total = 0;
    for (std::size_t i = 0; i < observer.progress.size(); ++i) {
        const auto [done, planned] = observer.progress[i];
        EXPECT_EQ(done, static_cast<int>(i) + 1) << what << ": report " << i;
        if (total > 0) {
            EXPECT_EQ(planned, total) << what << ": the total changed at exchange " << done;
        }
        total = planned;
    }
    EXPECT_EQ(observer.progress.back().first, total) << what << ": the run ends at its total";
    EXPECT_EQ(total, static_cast<int>(observer.received.size())) << what;
}

} // namespace link_test
