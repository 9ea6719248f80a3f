#pragma once
// NODE arguments of gatewaycfg: "profibus", "subnet", "slave" (or "slave:N") and "command:N",
// N counted from 1; commands are those of the first slave node.

#include <string>

#include "model/config_tree.h"
#include "model/item_text.h"

class CDeviceConfig;

struct NodeSelection {
    TreeRecord record;
    std::string error;   // set when the selector names nothing
};

namespace gw {

NodeSelection SelectNode(CDeviceConfig& root, const std::string& selector);

// Row of the item whose label, trailing blanks ignored, equals label; -1 when there is none.
// An exact match wins; otherwise a match that ignores case.
int FindRowByLabel(const TreeRecord& record, const std::string& label);

} // namespace gw
