#include "cli/memory_report.h"

#include <algorithm>
#include <cstdio>

#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/subnet_node.h"

namespace {

std::string ByteAddress(int area, int byte)
{
    return gw::MappingAddressText(static_cast<std::uint64_t>(byte) + (area == AREA_OUTPUT ? kOutputAreaBase : 0));
}

std::string CommandNumbers(const std::vector<int>& commands)
{
    std::string text;
    for (int c : commands)
        text += (text.empty() ? "" : ", ") + std::to_string(c + 1);
    return text;
}

char BitSymbol(BitClass cls)
{
    switch (cls) {
    case BitClass::Legal: return '#';
    case BitClass::Conflict: return 'X';
    case BitClass::Overflow: return '!';
    case BitClass::Unused:
    default: return '.';
    }
}

const char* AreaName(int area)
{
    return area == AREA_INPUT ? "input" : "output";
}

} // namespace

void gw::PrintMemoryMap(const CSubnetNode& subnet, std::ostream& out)
{
    UsageMap map;
    BuildUsageMap(subnet, map);
    const MemoryOccupancy occupancy = BuildOccupancy(subnet);
    for (int area : {AREA_INPUT, AREA_OUTPUT}) {
        out << (area == AREA_INPUT ? "Input Memory (0000H-00F3H)" : "Output Memory (4000H-40F3H)") << '\n';
        int usedBytes = 0;
        for (int byte = 0; byte < kCountedBits / 8; ++byte) {
            std::string bits;
            std::vector<int> users;
            for (int b = 0; b < 8; ++b) {
                const int bit = byte * 8 + b;
                bits += BitSymbol(ClassifyBit(bit, map.Area(area)[static_cast<std::size_t>(bit)]));
                for (int c : occupancy.Area(area).commands[static_cast<std::size_t>(bit)]) {
                    if (std::find(users.begin(), users.end(), c) == users.end())
                        users.push_back(c);
                }
            }
            if (users.empty())
                continue;
            std::sort(users.begin(), users.end());
            ++usedBytes;
            out << "  " << ByteAddress(area, byte) << "  " << bits << "  command" << (users.size() > 1 ? "s " : " ")
                << CommandNumbers(users) << (byte * 8 >= kAreaBits ? "  (past the end of the area)" : "") << '\n';
        }
        if (usedBytes == 0)
            out << "  (not used)\n";
    }
    out << "Faults\n";
    if (PrintMappingFaults(subnet, out, "  ") == 0)
        out << "  none\n";
}

int gw::PrintMappingFaults(const CSubnetNode& subnet, std::ostream& out, const std::string& indent)
{
    const std::vector<MappingFault> faults = FindMappingFaults(subnet);
    int lines = 0;
    for (std::size_t i = 0; i < faults.size();) {
        // A run: same area, class and commands, consecutive bits within one byte.
        std::size_t j = i + 1;
        while (j < faults.size() && faults[j].area == faults[i].area && faults[j].cls == faults[i].cls &&
               faults[j].commands == faults[i].commands && faults[j].bit == faults[j - 1].bit + 1 &&
               faults[j].bit / 8 == faults[i].bit / 8)
            ++j;
        const MappingFault& first = faults[i];
        const int lastBit = faults[j - 1].bit % 8;
        out << indent << (first.cls == BitClass::Conflict ? "conflict" : "overflow") << " in the " << AreaName(first.area)
            << " area at " << ByteAddress(first.area, first.bit / 8) << " bit" << (lastBit != first.bit % 8 ? "s " : " ")
            << first.bit % 8 << (lastBit != first.bit % 8 ? "-" + std::to_string(lastBit) : std::string())
            << ": command" << (first.commands.size() > 1 ? "s " : " ") << CommandNumbers(first.commands) << '\n';
        ++lines;
        i = j;
    }
    return lines;
}
