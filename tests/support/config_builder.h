#pragma once
// Configurations built the way the tree and the grid build them, for tests of every layer.

#include <memory>
#include <string>
#include <vector>

#include "model/device_config.h"

namespace test_config {

// One command's values; row 0 (the function code) comes from the code. Code 7 stands for a
// code the module does not know: the command is made as 16 and its code row says 7.
struct CommandValues {
    int code = 3;
    std::string start = "1";      // "Starting Address"
    std::string count = "1";      // "Number of Data"; left alone for codes 05 and 06
    std::string address = "";     // "Mapping Address(HEX)"
    std::string bit = "0";        // "Mapping Bit(0-7)"
};

// Stores text in the item as a file would, past every rule. A configuration that cannot be
// built as asked (a missing item, the 49th command) stops the test program with a message.
void SetValue(CParamItem* item, const std::string& text);
std::string ValueOf(const CParamItem* item);

CModbusCommand* AddCommand(CSlaveNode& slave, const CommandValues& values);

// The subnet's slave node (added when there is none yet), with the given address and name.
CSlaveNode& SlaveOf(CDeviceConfig& root, int address = 17);

// Modbus Master with one slave node (address 17) holding the commands as given.
std::unique_ptr<CDeviceConfig> MakeConfig(const std::vector<CommandValues>& commands);

// Non-default values everywhere a download carries them. Modbus Master: one slave (address 17)
// with count commands of every supported code in turn, filled and mapped end to end (count < 0:
// no slave node). User Config: non-default framing values.
std::unique_ptr<CDeviceConfig> MakeFilledConfig(int mode, int count);

// Saves root to path, where a test starts from it; a file that cannot be saved stops the test
// program with a message. The path.
std::string SaveConfig(const CDeviceConfig& root, const std::string& path);

// The configuration as its file text without the time it was saved: equal texts mean that
// nothing at all differs.
std::string ConfigText(const CDeviceConfig& root);

} // namespace test_config
