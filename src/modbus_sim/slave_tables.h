#pragma once
// The four data tables of the simulated Modbus slave and how they are written down:
// "holding 100=1,2,0x10" on the command line, or a line "holding 100 = 1, 2, 0x10" in a file.

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "model/outcome.h"

enum SlaveTable : int { TABLE_COILS = 0, TABLE_INPUTS = 1, TABLE_HOLDING = 2, TABLE_INPUT_REGISTERS = 3 };
inline constexpr int kSlaveTableCount = 4;

namespace gw {

// Table names as written: "coils", "inputs", "holding", "input-registers".
const char* SlaveTableName(int table);

} // namespace gw

struct SlaveTables {
    std::array<std::map<int, std::uint16_t>, kSlaveTableCount> values;   // address -> value
};

namespace gw {

// Adds "START=V[,V...]" to a table; a failure with a message for a bad text (coils and inputs take
// 0 or 1, registers 0-65535, addresses 0-65535).
Outcome AddTableValues(SlaveTables& tables, int table, const std::string& text);

// Reads a file of lines "TABLE START = V, V, ..." ('#' starts a comment); a failure with a message
// naming the line.
Outcome LoadTableFile(SlaveTables& tables, const std::string& path);

// A table that was given no values holds addresses 0-99: registers the address itself, coils
// and inputs the address's lowest bit.
void FillDefaultTables(SlaveTables& tables);

} // namespace gw
