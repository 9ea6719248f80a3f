#pragma once
// Two configurations in, the list of their differences out. Commands are matched by position;
// a slave node or command present on one side only is one difference.

#include <optional>
#include <string>
#include <vector>

#include "model/device_config.h"
#include "model/wire_layout.h"

enum class DiffKind {
    Changed,
    OnlyLeft,
    OnlyRight,
    Same,   // listed only on request, for a view that shows the equal items too
};

enum class DiffNodeKind { Bus, Subnet, Slave, Command };

struct Difference {
    std::string node;    // "profibus", "subnet", "slave:1", "command:3" ("slave:2 command:3" past the first node)
    std::string item;    // the item's label; empty when a whole slave node or command differs
    std::optional<std::string> left;    // none: the left side lacks the item (or node)
    std::optional<std::string> right;
    DiffKind kind = DiffKind::Changed;
    // Where the difference sits, for a view that shows it: the node, its positions (from 0)
    // and the item's row (-1 for a whole node or command).
    DiffNodeKind nodeKind = DiffNodeKind::Subnet;
    int slave = -1;
    int command = -1;
    int row = -1;
};

enum class CompareScope {
    Whole,    // every item value, the mode, the slave nodes and the command lists
    Module,   // what a module of the given version keeps of the left side's mode: the download
              // sends it and the upload reads it back; nothing else counts
};

namespace gw {

// With includeSame, every compared item is listed, the equal ones with DiffKind::Same.
std::vector<Difference> CompareConfigurations(const CDeviceConfig& left, const CDeviceConfig& right,
                                              CompareScope scope, HardwareVersion version = {2, 1},
                                              bool includeSame = false);

// Module scope alone (the same as CompareConfigurations with CompareScope::Module).
std::vector<Difference> CompareModuleScope(const CDeviceConfig& left, const CDeviceConfig& right,
                                           HardwareVersion version, bool includeSame = false);

// The entry of one item at a row of the node where names: its label, both values (none for a
// side without the item) and the kind, Same when same is set.
Difference ItemDifference(Difference where, int row, const CParamItem* left, const CParamItem* right, bool same);

// The entry of the subnet's "Protocol Select" row: each side as its mode number says it (what
// the download goes by), with the row's own text where that says otherwise.
Difference ProtocolDifference(Difference where, const CSubnetNode& left, const CSubnetNode& right, bool same);

// True when a module of that version, holding a configuration of that mode, keeps the item or
// node a difference names.
bool ModuleKeeps(const Difference& difference, int mode, HardwareVersion version);

} // namespace gw
