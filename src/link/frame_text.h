#pragma once
// One frame as a line of text: direction, command name and the bytes in hex, as --trace prints
// it and the desktop's line pane shows it.

#include <cstdint>
#include <span>
#include <string>

#include "link/link_observer.h"

namespace gw {

// "-> READ_VERSION        01 00 01"
std::string FormatFrame(FrameDirection direction, std::span<const std::uint8_t> bytes);

} // namespace gw
