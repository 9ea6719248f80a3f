#include "mapping/usage_map.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string>

#include "mapping/auto_map.h"
#include "model/device_config.h"
#include "model/validation.h"

std::int64_t CommandMapping::FirstBit() const
{
    const std::int64_t base = area == AREA_OUTPUT ? kOutputAreaBase : 0;
    return (static_cast<std::int64_t>(startAddress) - base) * 8 + bitOffset;
}

CommandMapping gw::GetMapping(const CModbusCommand& command)
{
    CommandMapping mapping;
    const int code = command.GetFunctionCode();
    mapping.area = code >= 1 && code <= 4 ? AREA_INPUT : AREA_OUTPUT;

    if (const CParamItem* item = command.GetItemAt(CMD_ROW_MAP_ADDRESS)) {
        std::string text = item->value;
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        const auto h = text.rfind('H');
        mapping.startAddress = h == std::string::npos ? 0 : HexToNumber(std::string_view(text).substr(0, h));
    }
    mapping.bitOffset = std::max(0, command.GetIntValue(CMD_ROW_MAP_BIT));
    const std::int64_t n = std::max(0, command.GetIntValue(CMD_ROW_DATA_COUNT));
    switch (code) {
    case 1:
    case 2:
    case 15: mapping.bitCount = n; break;
    case 5: mapping.bitCount = 1; break;
    default: mapping.bitCount = 16 * n; break;
    }
    return mapping;
}

int gw::MarkUsage(const CModbusCommand& command, UsageMap& map)
{
    const CommandMapping mapping = GetMapping(command);
    auto& counters = map.Area(mapping.area);
    ForEachCountedBit(mapping, [&](int bit, std::uint64_t times) {
        const std::uint64_t sum = counters[static_cast<std::size_t>(bit)] + times;
        counters[static_cast<std::size_t>(bit)] =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(sum, std::numeric_limits<std::uint32_t>::max()));
    });
    return 0;
}

int gw::BuildUsageMap(const CSlaveNode& slave, UsageMap& map)
{
    for (const auto& command : slave.Commands())
        MarkUsage(*command, map);
    return 0;
}

int gw::BuildUsageMap(const CSubnetNode& subnet, UsageMap& map)
{
    const CSlaveNode* first = subnet.GetNodeAt(0);
    return first ? BuildUsageMap(*first, map) : 0;
}

ResultCode gw::CheckMapping(const UsageMap& map)
{
    for (int area : {AREA_INPUT, AREA_OUTPUT}) {
        const auto& counters = map.Area(area);
        for (int bit = 0; bit < kAreaBits; ++bit) {
            if (counters[static_cast<std::size_t>(bit)] > 1)
                return RESULT_MAPPING_CONFLICT;
        }
    }
    for (int area : {AREA_INPUT, AREA_OUTPUT}) {
        const auto& counters = map.Area(area);
        for (int bit = kAreaBits; bit < kCountedBits; ++bit) {
            if (counters[static_cast<std::size_t>(bit)] != 0)
                return RESULT_MAPPING_OVERFLOW;
        }
    }
    return RESULT_OK;
}

ResultCode gw::CheckMapping(const CDeviceConfig& root)
{
    UsageMap map;
    BuildUsageMap(root.Subnet(), map);
    return CheckMapping(map);
}

BitClass gw::ClassifyBit(int bit, std::uint32_t count)
{
    if (count == 0)
        return BitClass::Unused;
    if (bit >= kAreaBits)
        return BitClass::Overflow;
    return count > 1 ? BitClass::Conflict : BitClass::Legal;
}

std::uint32_t gw::BitClassColour(BitClass cls)
{
    switch (cls) {
    case BitClass::Legal: return kColourLegal;
    case BitClass::Conflict: return kColourConflict;
    case BitClass::Overflow: return kColourOverflow;
    case BitClass::Unused:
    default: return kColourUnused;
    }
}

MemoryOccupancy gw::BuildOccupancy(const CSubnetNode& subnet)
{
    MemoryOccupancy occupancy;
    const CSlaveNode* first = subnet.GetNodeAt(0);
    if (!first)
        return occupancy;
    for (int i = 0; i < first->GetCommandCount(); ++i) {
        const CommandMapping mapping = GetMapping(*first->GetCommandAt(i));
        AreaOccupancy& area = occupancy.Area(mapping.area);
        ForEachCountedBit(mapping, [&](int bit, std::uint64_t) {
            // Each command is listed once at every bit it uses, clamped bits included.
            auto& users = area.commands[static_cast<std::size_t>(bit)];
            if (users.empty() || users.back() != i)
                users.push_back(i);
        });
    }
    return occupancy;
}

std::vector<MappingFault> gw::FindMappingFaults(const CSubnetNode& subnet)
{
    UsageMap map;
    BuildUsageMap(subnet, map);
    const MemoryOccupancy occupancy = BuildOccupancy(subnet);
    std::vector<MappingFault> faults;
    for (int area : {AREA_INPUT, AREA_OUTPUT}) {
        for (int bit = 0; bit < kCountedBits; ++bit) {
            const BitClass cls = ClassifyBit(bit, map.Area(area)[static_cast<std::size_t>(bit)]);
            if (cls != BitClass::Conflict && cls != BitClass::Overflow)
                continue;
            faults.push_back({area, bit, cls, occupancy.Area(area).commands[static_cast<std::size_t>(bit)]});
        }
    }
    return faults;
}
