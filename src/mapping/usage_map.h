#pragma once
// The bit usage map of the two memory areas: how many commands use each bit. It finds
// mapping conflicts (a bit used twice) and overflows (data past the end of an area).

#include <array>
#include <cstdint>
#include <vector>

#include "model/palette.h"
#include "model/result_codes.h"

class CDeviceConfig;
class CSubnetNode;
class CSlaveNode;
class CModbusCommand;

enum MemoryArea : int { AREA_INPUT = 0, AREA_OUTPUT = 1 };

// Bits 0-1951 lie inside an area (244 bytes); 1952-1999 only catch data that run past its end,
// and every bit above 1999 is counted at 1999.
inline constexpr int kAreaBits = 1952;
inline constexpr int kCountedBits = 2000;

struct UsageMap {
    std::array<std::uint32_t, kCountedBits> input{};
    std::array<std::uint32_t, kCountedBits> output{};

    std::array<std::uint32_t, kCountedBits>& Area(int area) { return area == AREA_INPUT ? input : output; }
    const std::array<std::uint32_t, kCountedBits>& Area(int area) const { return area == AREA_INPUT ? input : output; }
};

// Where a command's data lie.
struct CommandMapping {
    int area = AREA_INPUT;
    std::uint32_t startAddress = 0;   // as typed: output addresses still hold their 4000H
    std::int64_t bitOffset = 0;       // "Mapping Bit(0-7)"
    std::int64_t bitCount = 0;

    // Bit number of the first bit within the area (may lie below 0 for a bad address).
    std::int64_t FirstBit() const;
};

namespace gw {

CommandMapping GetMapping(const CModbusCommand& command);

// Calls visit(bit, times) for the bits of a mapping as the map counts them: bits inside 0-1999
// once each, the bits below 0 all at bit 0, those above 1999 all at 1999 (times says how many).
template <typename Visit>
void ForEachCountedBit(const CommandMapping& mapping, Visit&& visit)
{
    if (mapping.bitCount <= 0)
        return;
    const std::int64_t first = mapping.FirstBit();
    const std::int64_t last = first + mapping.bitCount - 1;
    if (first < 0)
        visit(0, static_cast<std::uint64_t>(std::min<std::int64_t>(last, -1) - first + 1));
    const std::int64_t lo = std::max<std::int64_t>(first, 0);
    const std::int64_t hi = std::min<std::int64_t>(last, kCountedBits - 2);
    for (std::int64_t bit = lo; bit <= hi; ++bit)
        visit(static_cast<int>(bit), 1);
    if (last >= kCountedBits - 1)
        visit(kCountedBits - 1, static_cast<std::uint64_t>(last - std::max<std::int64_t>(first, kCountedBits - 1) + 1));
}

// Adds a command's bits to the map; returns 0.
int MarkUsage(const CModbusCommand& command, UsageMap& map);
// Adds the bits of every command of the slave node, in list order; returns 0.
int BuildUsageMap(const CSlaveNode& slave, UsageMap& map);
// Adds the bits of the subnet's first slave node (the commands the download sends); returns 0.
int BuildUsageMap(const CSubnetNode& subnet, UsageMap& map);

// 11 when a bit inside an area is used more than once, else 13 when a bit past an area's end
// is used, else 0. A conflict wins over an overflow.
ResultCode CheckMapping(const UsageMap& map);
// The download's mapping pre-check: the usage map of the configuration, then CheckMapping.
ResultCode CheckMapping(const CDeviceConfig& root);

} // namespace gw

enum class BitClass { Unused, Legal, Conflict, Overflow };

namespace gw {

BitClass ClassifyBit(int bit, std::uint32_t count);
// The colour of a class (model/palette.h).
std::uint32_t BitClassColour(BitClass cls);

} // namespace gw

// Which commands (their positions in the first slave node, from 0) use each counted bit.
struct AreaOccupancy {
    std::array<std::vector<int>, kCountedBits> commands;
};
struct MemoryOccupancy {
    AreaOccupancy input;
    AreaOccupancy output;
    AreaOccupancy& Area(int area) { return area == AREA_INPUT ? input : output; }
    const AreaOccupancy& Area(int area) const { return area == AREA_INPUT ? input : output; }
};

namespace gw {

MemoryOccupancy BuildOccupancy(const CSubnetNode& subnet);

} // namespace gw

// A bit that makes the mapping check fail, with the commands that use it.
struct MappingFault {
    int area = AREA_INPUT;
    int bit = 0;
    BitClass cls = BitClass::Conflict;
    std::vector<int> commands;   // positions in the first slave node, from 0
};

namespace gw {

// Every conflicting and overflowing bit, input area first, in bit order.
std::vector<MappingFault> FindMappingFaults(const CSubnetNode& subnet);

} // namespace gw
