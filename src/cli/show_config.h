#pragma once
// Printing a configuration the way the tree and the property grid show it.

#include <ostream>

class CDeviceConfig;

namespace gw {

// The tree, then for every node each item as "label = value" in row order, read-only items marked.
void ShowConfig(CDeviceConfig& root, std::ostream& out);

} // namespace gw
