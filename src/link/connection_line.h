#pragma once
// A port of any kind as the line of a transfer: a serial device or a serial device server,
// opened through the port layer with its line at 19200 bit/s 8N1 and both buffers emptied.

#include <atomic>
#include <memory>
#include <string>

#include "link/port_line.h"

struct LineOpening {
    std::unique_ptr<CPortLine> line;   // empty when the port could not be had
    bool reached = false;              // the port was had but could not be set up
    std::string refusal;               // why the port was refused, as a sentence for the user
};

namespace gw {

// stop, when raised, ends a connection being made.
LineOpening OpenConnectionLine(const std::string& port, const std::atomic<bool>* stop = nullptr);

} // namespace gw
