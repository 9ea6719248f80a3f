#pragma once
// Automatic mapping: lays the data of all commands end to end in the two memory areas, in
// tree order, and writes each command's "Mapping Address(HEX)" and "Number of Byte".

#include <cstdint>
#include <string>

class CDeviceConfig;
class CSubnetNode;
class CSlaveNode;
class CModbusCommand;

// Each memory area holds 244 bytes: input 0000H-00F3H, output 4000H-40F3H.
inline constexpr std::uint32_t kAreaBytes = 244;
inline constexpr std::uint32_t kOutputAreaBase = 0x4000;

struct AutoMapResult {
    int result = 1;          // 1 when both areas fit, 0 after an overflow
    std::string message;     // "Input mapping address overflow!" or "Output mapping address overflow!"
};

// Byte cursors of the two areas: the offset of the first byte no command has taken yet.
// 64 bits wide, so that absurd counts read from a file cannot wrap them.
struct MapCursors {
    std::uint64_t input = 0;
    std::uint64_t output = 0;
};

namespace gw {

// Places one command at the cursor of its area and advances that cursor.
void MapCommand(CModbusCommand& command, MapCursors& cursors);
// Places every command of a slave node in list order.
void MapCommands(CSlaveNode& slave, MapCursors& cursors);
// Maps all slave nodes of the subnet, the cursors running on from node to node.
AutoMapResult AutoMap(CSubnetNode& subnet);
AutoMapResult AutoMap(CDeviceConfig& root);

// The "%4.4XH" text of an address.
std::string MappingAddressText(std::uint64_t address);

} // namespace gw
