#include "link/frame_text.h"

#include <algorithm>

#include "link/protocol.h"
#include "model/hex_text.h"

std::string gw::FormatFrame(FrameDirection direction, std::span<const std::uint8_t> bytes)
{
    std::string line = direction == FrameDirection::ToModule ? "-> " : "<- ";
    if (bytes.empty())
        return line;
    const std::string_view name = CommandName(bytes[0]);
    line += name;
    line += std::string(20 - std::min<std::size_t>(19, name.size()), ' ');
    return line + HexText(bytes);
}
