#pragma once
// A picture of both memory areas, bit by bit: used bits green, conflicts red, overflows yellow.

#include <string>

class CSubnetNode;

std::string RenderMemoryMapSvg(const CSubnetNode& subnet);
