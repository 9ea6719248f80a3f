#pragma once
// A deep copy of a whole configuration: every item with its description, every slave node and
// command. A transfer that rewrites part of the configuration works on such a copy and swaps
// it in only when it has succeeded.

#include "model/device_config.h"

namespace gw {

// Makes to hold what from holds: the same mode, items, slave nodes and commands.
void CopyConfiguration(const CDeviceConfig& from, CDeviceConfig& to);

// A command with all its items.
std::unique_ptr<CModbusCommand> CopyCommand(const CModbusCommand& from);

// Every item of a list, copied one by one.
ItemList CopyItemList(const ItemList& list);

// True when both hold the same mode, items (every field), slave nodes and commands.
bool SameConfiguration(const CDeviceConfig& a, const CDeviceConfig& b);

} // namespace gw
