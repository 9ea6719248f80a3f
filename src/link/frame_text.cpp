#include "link/frame_text.h"

#include <algorithm>
#include <cstdio>

#include "link/protocol.h"

std::string FormatFrame(FrameDirection direction, std::span<const std::uint8_t> bytes)
{
    std::string line = direction == FrameDirection::ToModule ? "-> " : "<- ";
    if (bytes.empty())
        return line;
    const std::string_view name = CommandName(bytes[0]);
    line += name;
    line += std::string(20 - std::min<std::size_t>(19, name.size()), ' ');
    char part[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(part, sizeof part, i == 0 ? "%02X" : " %02X", bytes[i]);
        line += part;
    }
    return line;
}
