#include "commission/line_settings.h"

#include "model/device_config.h"

namespace {

constexpr char kParityLetters[] = {'N', 'O', 'E', 'M', 'S'};

bool IsKnownBaud(int baud)
{
    for (const int known : {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        if (baud == known)
            return true;
    return false;
}

std::string Quoted(const CParamItem* item)
{
    return item ? "\"" + item->label + "\" (\"" + item->value + "\")" : std::string("a missing item");
}

} // namespace

int gw::CharacterBits(const LineSettings& settings)
{
    return 1 + settings.dataBits + (settings.parity == 'N' ? 0 : 1) + settings.stopBits;
}

Outcome gw::ReadLineSettings(const CDeviceConfig& root, LineSettings& settings)
{
    const CSubnetNode& subnet = root.Subnet();
    if (subnet.GetMode() != MODE_MODBUS_MASTER)
        return Failure("the subnet is not in Modbus Master mode");
    const CSlaveNode* slave = subnet.GetNodeAt(0);
    if (!slave)
        return Failure("the subnet has no slave node");
    // Numbers are read from the value texts: they are the same in every language, and a file
    // does not keep the choices of "Data Bits".
    settings.baud = subnet.GetIntValue(SUBNET_ROW_BAUD_RATE);
    if (!IsKnownBaud(settings.baud))
        return Failure("unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_BAUD_RATE)));
    settings.dataBits = subnet.GetIntValue(SUBNET_ROW_DATA_BITS);
    if (settings.dataBits != 7 && settings.dataBits != 8)
        return Failure("unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_DATA_BITS)));
    const int check = subnet.GetCheckBit();
    if (check < 0 || check > 4)
        return Failure("unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_CHECK_BIT)));
    settings.parity = kParityLetters[check];
    settings.stopBits = subnet.GetIntValue(SUBNET_ROW_STOP_BITS);
    if (settings.stopBits != 1 && settings.stopBits != 2)
        return Failure("unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_STOP_BITS)));
    settings.slaveAddress = slave->GetIntValue(SLAVE_ROW_ADDRESS);
    if (settings.slaveAddress < 1 || settings.slaveAddress > 247)
        return Failure(slave->GetName() + ": unusable " + Quoted(slave->GetItemAt(SLAVE_ROW_ADDRESS)));
    settings.responseTimeoutMs = subnet.GetResponseTimeout();
    if (settings.responseTimeoutMs < 1 || settings.responseTimeoutMs > 60000)
        return Failure("unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)));
    // The module waits in whole tens of milliseconds.
    settings.pollDelayMs = subnet.GetIntValue(SUBNET_ROW_POLL_DELAY) / 10 * 10;
    if (settings.pollDelayMs < 0 || settings.pollDelayMs > 2500)
        return Failure("unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_POLL_DELAY)));
    return {};
}
