#include "mapping/auto_map.h"

#include <algorithm>
#include <cstdio>

#include "model/device_config.h"
#include "model/lang_strings.h"

namespace {

// A count read from an item: its leading decimal number, never below 0.
std::uint64_t CountOf(const CModbusCommand& command, int row)
{
    return static_cast<std::uint64_t>(std::max(0, command.GetIntValue(row)));
}

std::uint64_t BytesForBits(std::uint64_t bits)
{
    return (bits >> 3) + ((bits & 7) != 0 ? 1 : 0);
}

} // namespace

std::string gw::MappingAddressText(std::uint64_t address)
{
    char text[32];
    std::snprintf(text, sizeof text, "%4.4llXH", static_cast<unsigned long long>(address));
    return text;
}

void gw::MapCommand(CModbusCommand& command, MapCursors& cursors)
{
    const int code = command.GetFunctionCode();
    const std::uint64_t n = CountOf(command, CMD_ROW_DATA_COUNT);
    const std::uint64_t b = CountOf(command, CMD_ROW_MAP_BIT);

    bool input = false;
    std::uint64_t bytes = 0;
    switch (code) {
    case 1:
    case 2: input = true; bytes = BytesForBits(n + b); break;
    case 3:
    case 4: input = true; bytes = 2 * n; break;
    case 5: bytes = BytesForBits(b + 1); break;
    case 15: bytes = BytesForBits(n + b); break;
    default: bytes = 2 * n; break;   // 6, 16 and any other code
    }

    std::uint64_t& cursor = input ? cursors.input : cursors.output;
    const std::uint64_t address = input ? cursor : kOutputAreaBase + cursor;
    if (CParamItem* item = command.GetItemAt(CMD_ROW_MAP_ADDRESS))
        item->value = MappingAddressText(address);
    cursor += bytes;
    if (CParamItem* item = command.GetItemAt(CMD_ROW_BYTE_COUNT))
        item->value = std::to_string(bytes);
}

void gw::MapCommands(CSlaveNode& slave, MapCursors& cursors)
{
    for (const auto& command : slave.Commands())
        MapCommand(*command, cursors);
}

AutoMapResult gw::AutoMap(CSubnetNode& subnet)
{
    MapCursors cursors;
    for (const auto& slave : subnet.Nodes())
        MapCommands(*slave, cursors);

    const std::uint64_t lastInput = cursors.input != 0 ? cursors.input - 1 : 0;
    const std::uint64_t lastOutput = cursors.output != 0 ? cursors.output - 1 : 0;
    AutoMapResult result;
    if (lastInput > kAreaBytes - 1) {
        result.result = 0;
        result.message = GetLangString(MessageText::InputOverflow);
    } else if (lastOutput > kAreaBytes - 1) {
        result.result = 0;
        result.message = GetLangString(MessageText::OutputOverflow);
    }
    return result;
}

AutoMapResult gw::AutoMap(CDeviceConfig& root)
{
    return AutoMap(root.Subnet());
}
