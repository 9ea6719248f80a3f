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

int CharacterBits(const LineSettings& settings)
{
    return 1 + settings.dataBits + (settings.parity == 'N' ? 0 : 1) + settings.stopBits;
}

bool ReadLineSettings(const CDeviceConfig& root, LineSettings& settings, std::string& error)
{
    const CSubnetNode& subnet = root.Subnet();
    if (subnet.GetMode() != MODE_MODBUS_MASTER) {
        error = "the subnet is not in Modbus Master mode";
        return false;
    }
    const CSlaveNode* slave = subnet.GetNodeAt(0);
    if (!slave) {
        error = "the subnet has no slave node";
        return false;
    }
    // Numbers are read from the value texts: they are the same in every language, and a file
    // does not keep the choices of "Data Bits".
    settings.baud = subnet.GetIntValue(SUBNET_ROW_BAUD_RATE);
    if (!IsKnownBaud(settings.baud)) {
        error = "unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_BAUD_RATE));
        return false;
    }
    settings.dataBits = subnet.GetIntValue(SUBNET_ROW_DATA_BITS);
    if (settings.dataBits != 7 && settings.dataBits != 8) {
        error = "unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_DATA_BITS));
        return false;
    }
    const int check = subnet.GetCheckBit();
    if (check < 0 || check > 4) {
        error = "unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_CHECK_BIT));
        return false;
    }
    settings.parity = kParityLetters[check];
    settings.stopBits = subnet.GetIntValue(SUBNET_ROW_STOP_BITS);
    if (settings.stopBits != 1 && settings.stopBits != 2) {
        error = "unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_STOP_BITS));
        return false;
    }
    settings.slaveAddress = slave->GetIntValue(SLAVE_ROW_ADDRESS);
    if (settings.slaveAddress < 1 || settings.slaveAddress > 247) {
        error = slave->GetName() + ": unusable " + Quoted(slave->GetItemAt(SLAVE_ROW_ADDRESS));
        return false;
    }
    settings.responseTimeoutMs = subnet.GetResponseTimeout();
    if (settings.responseTimeoutMs < 1 || settings.responseTimeoutMs > 60000) {
        error = "unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT));
        return false;
    }
    // The module waits in whole tens of milliseconds.
    settings.pollDelayMs = subnet.GetIntValue(SUBNET_ROW_POLL_DELAY) / 10 * 10;
    if (settings.pollDelayMs < 0 || settings.pollDelayMs > 2500) {
        error = "unusable " + Quoted(subnet.GetItemAt(SUBNET_ROW_POLL_DELAY));
        return false;
    }
    return true;
}
