#include "support/config_builder.h"

#include <cstdio>
#include <cstdlib>

#include "file/config_file.h"
#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/edit_actions.h"

namespace test_config {

namespace {

// A configuration that cannot be built as the test asks is a fault of the test itself.
void Require(bool holds, const std::string& what)
{
    if (!holds) {
        std::fprintf(stderr, "test configuration: %s\n", what.c_str());
        std::abort();
    }
}

} // namespace

void SetValue(CParamItem* item, const std::string& text)
{
    Require(item != nullptr, "no item for \"" + text + "\"");
    item->value = text;
}

std::string ValueOf(const CParamItem* item)
{
    return item ? item->value : "<no item>";
}

CModbusCommand* AddCommand(CSlaveNode& slave, const CommandValues& values)
{
    const int code = values.code == 7 ? 16 : values.code;
    int index = kUnknownFunctionIndex;
    gw::GetFunctionByCode(code, &index);
    CModbusCommand* command = gw::AddCommandTo(&slave, index).command;
    Require(command != nullptr, "cannot add a command of code " + std::to_string(values.code));
    if (values.code == 7)
        SetValue(command->GetItemAt(CMD_ROW_FUNCTION_CODE), "7");
    SetValue(command->GetItemAt(CMD_ROW_START_ADDRESS), values.start);
    if (code != 5 && code != 6)
        SetValue(command->GetItemAt(CMD_ROW_DATA_COUNT), values.count);
    SetValue(command->GetItemAt(CMD_ROW_MAP_ADDRESS), values.address);
    SetValue(command->GetItemAt(CMD_ROW_MAP_BIT), values.bit);
    return command;
}

CSlaveNode& SlaveOf(CDeviceConfig& root, int address)
{
    CSubnetNode& subnet = root.Subnet();
    CSlaveNode* slave = subnet.GetNodeAt(0);
    if (!slave)
        slave = gw::AddSlaveNode(root, TreeRecord::ForNode(RECORD_SUBNET, &subnet));
    slave->GetItemAt(SLAVE_ROW_ADDRESS)->value = std::to_string(address);
    slave->SetName(gw::SlaveNodeName(std::to_string(address)));
    return *slave;
}

std::unique_ptr<CDeviceConfig> MakeConfig(const std::vector<CommandValues>& commands)
{
    auto root = std::make_unique<CDeviceConfig>();
    CSlaveNode& slave = SlaveOf(*root);
    for (const CommandValues& values : commands)
        AddCommand(slave, values);
    return root;
}

std::unique_ptr<CDeviceConfig> MakeFilledConfig(int mode, int count)
{
    auto root = std::make_unique<CDeviceConfig>();
    CSubnetNode& subnet = root->Subnet();
    subnet.SetChoice(SUBNET_ROW_BAUD_RATE, 7);
    subnet.SetChoice(SUBNET_ROW_CHECK_BIT, 2);
    subnet.SetChoice(SUBNET_ROW_STOP_BITS, 1);
    CBusNode& bus = root->Bus();
    SetValue(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT), "1234");
    if (mode == MODE_USER_CONFIG) {
        subnet.SetMode(MODE_USER_CONFIG);
        subnet.SetChoice(SUBNET_ROW_FRAME_TYPE, 2);
        SetValue(subnet.GetItemAt(SUBNET_ROW_CHAR_INTERVAL), "300");
        SetValue(subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH), "160");
        SetValue(subnet.GetItemAt(SUBNET_ROW_START_DELIMITER), "2");
        SetValue(subnet.GetItemAt(SUBNET_ROW_END_DELIMITER), "3");
        subnet.SetChoice(SUBNET_ROW_AUTO_SEND, 1);
        SetValue(subnet.GetItemAt(SUBNET_ROW_AUTO_SEND_PERIOD), "2500");
        subnet.SetChoice(SUBNET_ROW_CRC_CHECK, 1);
        bus.SetChoice(BUS_ROW_ADDRESS_MODE, 0);
        return root;
    }
    SetValue(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "1500");
    SetValue(subnet.GetItemAt(SUBNET_ROW_POLL_DELAY), "2340");
    subnet.SetChoice(SUBNET_ROW_OUTPUT_MODE, 0);
    SetValue(subnet.GetItemAt(SUBNET_ROW_SCAN_RATE), "25");
    if (count < 0)
        return root;
    CSlaveNode& slave = SlaveOf(*root);
    static const int kCodes[] = {1, 2, 3, 4, 5, 6, 15, 16};
    for (int i = 0; i < count; ++i) {
        CModbusCommand* command =
            AddCommand(slave, {kCodes[i % 8], std::to_string(100 * i + 7), std::to_string(1 + i % 3), "0000H", "0"});
        command->SetChoice(CMD_ROW_SCAN_TYPE, i % 2);
        command->SetChoice(CMD_ROW_BYTE_SWAP, i % 3);
    }
    Require(gw::AutoMap(*root).result == 1 && gw::CheckMapping(*root) == RESULT_OK, "the commands do not fit both areas");
    return root;
}

std::string SaveConfig(const CDeviceConfig& root, const std::string& path)
{
    Require(gw::SaveFile(root, path).ok, "cannot save " + path);
    return path;
}

std::string ConfigText(const CDeviceConfig& root)
{
    std::string text;
    Require(gw::WriteConfigText(root, &text).ok, "cannot write the configuration as text");
    const std::size_t stamp = text.find("<DateTime ");
    if (stamp != std::string::npos)
        text.erase(stamp, text.find('\n', stamp) - stamp);
    return text;
}

} // namespace test_config
