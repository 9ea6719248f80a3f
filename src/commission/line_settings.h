#pragma once
// The serial line and timing a configuration asks of the Modbus master: the subnet's serial
// settings, the slave node's address, the response time-out and the delay between polls.

#include <string>

#include "model/outcome.h"

class CDeviceConfig;

struct LineSettings {
    int baud = 19200;
    int dataBits = 8;
    char parity = 'N';          // 'N', 'O', 'E', 'M' (mark) or 'S' (space)
    int stopBits = 1;
    int slaveAddress = 1;
    int responseTimeoutMs = 300;
    int pollDelayMs = 0;
};

namespace gw {

// Reads the settings from the configuration's subnet and its first slave node. On a value that
// cannot be used (no slave node, an unknown baud rate ...) fails with a message that names it.
Outcome ReadLineSettings(const CDeviceConfig& root, LineSettings& settings);

// Bits one character takes on the line: start bit, data bits, parity bit, stop bits.
int CharacterBits(const LineSettings& settings);

} // namespace gw
