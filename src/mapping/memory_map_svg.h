#pragma once
// A picture of both memory areas, bit by bit, in the memory map dialog's colours and legend:
// bits used once grey, conflicts red, overflows yellow.

#include <string>

class CSubnetNode;

namespace gw {

std::string RenderMemoryMapSvg(const CSubnetNode& subnet);

} // namespace gw
