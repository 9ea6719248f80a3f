#include "modbus_sim/slave_tables.h"

#include <algorithm>
#include <fstream>

#include "commission/value_text.h"

namespace {

constexpr int kDefaultTableSize = 100;

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool ParseNumber(const std::string& text, long max, long& value)
{
    std::uint32_t number = 0;
    if (!gw::ParseValueText(text, static_cast<std::uint32_t>(max), number))
        return false;
    value = static_cast<long>(number);
    return true;
}

} // namespace

const char* gw::SlaveTableName(int table)
{
    static const char* const names[] = {"coils", "inputs", "holding", "input-registers"};
    return table >= 0 && table < kSlaveTableCount ? names[table] : "?";
}

Outcome gw::AddTableValues(SlaveTables& tables, int table, const std::string& text)
{
    const auto eq = text.find('=');
    long start = 0;
    if (eq == std::string::npos || !ParseNumber(text.substr(0, eq), 0xFFFF, start))
        return Failure(std::string(SlaveTableName(table)) + ": \"" + text + "\" is not START=V[,V...]");
    const long max = table == TABLE_COILS || table == TABLE_INPUTS ? 1 : 0xFFFF;
    long address = start;
    std::size_t at = eq + 1;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        long value = 0;
        if (!ParseNumber(text.substr(at, comma - at), max, value)) {
            return Failure(std::string(SlaveTableName(table)) + ": \"" + Trim(text.substr(at, comma - at)) +
                    "\" is not a value from 0 to " + std::to_string(max));
        }
        if (address > 0xFFFF)
            return Failure(std::string(SlaveTableName(table)) + ": the values run past address 65535");
        tables.values[static_cast<std::size_t>(table)][static_cast<int>(address++)] = static_cast<std::uint16_t>(value);
        at = comma + 1;
    }
    return {};
}

Outcome gw::LoadTableFile(SlaveTables& tables, const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        return Failure(path + ": cannot be read");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        const auto space = line.find_first_of(" \t");
        const std::string name = line.substr(0, space);
        int table = -1;
        for (int t = 0; t < kSlaveTableCount; ++t)
            if (name == SlaveTableName(t))
                table = t;
        if (table < 0 || space == std::string::npos)
            return Failure(path + ":" + std::to_string(number) + ": a line starts with coils, inputs, holding or input-registers");
        if (const Outcome added = AddTableValues(tables, table, Trim(line.substr(space))); !added)
            return Failure(path + ":" + std::to_string(number) + ": " + added.message);
    }
    return {};
}

void gw::FillDefaultTables(SlaveTables& tables)
{
    for (int table = 0; table < kSlaveTableCount; ++table) {
        auto& values = tables.values[static_cast<std::size_t>(table)];
        if (!values.empty())
            continue;
        for (int address = 0; address < kDefaultTableSize; ++address)
            values[address] = static_cast<std::uint16_t>(table <= TABLE_INPUTS ? address & 1 : address);
    }
}
