#pragma once
// A serial device (or pseudo-terminal) as the line of a port: taken through the serial device
// layer, set raw to 19200 bit/s 8N1, with both buffers emptied.

#include <memory>
#include <string>

#include "link/port_line.h"

struct TtyOpening {
    std::unique_ptr<CPortLine> line;   // empty when the device could not be taken
    bool reached = false;              // the device was opened but could not be set up
    std::string refusal;               // why the port was refused, as a sentence for the user
};

TtyOpening OpenTtyLine(const std::string& device);
