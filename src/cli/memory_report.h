#pragma once
// Text reports of the memory mapping for gatewaycfg.

#include <ostream>
#include <string>

class CSubnetNode;

namespace gw {

// Both areas byte by byte ('#' used, 'X' conflict, '!' overflow, '.' free; bit 0 first),
// then every conflicting and overflowing bit range with the commands that occupy it.
void PrintMemoryMap(const CSubnetNode& subnet, std::ostream& out);

// One line per run of faulty bits: "conflict in the input area at 0001H bits 0-7: commands 1, 2".
// Returns the number of lines written.
int PrintMappingFaults(const CSubnetNode& subnet, std::ostream& out, const std::string& indent);

} // namespace gw
