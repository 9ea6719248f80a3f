#pragma once
// A serial device (or pseudo-terminal) as the line of a port: opened exclusively, raw 19200 bit/s
// 8N1, with both buffers emptied.

#include <memory>
#include <string>

#include "link/port_line.h"

struct TtyOpening {
    std::unique_ptr<CPortLine> line;   // empty when the device could not be taken
    bool reached = false;              // the device was opened but could not be set up
    std::string refusal;               // why the port was refused, when that is worth telling
};

TtyOpening OpenTtyLine(const std::string& device);
