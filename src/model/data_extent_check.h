#pragma once
// A command whose values run past the slave's last address: each of "Starting Address" and
// "Number of Data" passes its own range, but together they ask for data beyond 65535, which
// no request can carry.

#include <vector>

#include "model/value_rules.h"

class CDeviceConfig;

namespace gw {

// The commands of the first slave node (Modbus Master mode) whose data run past address 65535,
// as faults of their "Number of Data" (out of range); empty when none does.
std::vector<ValueFault> CheckDataPastLastAddress(const CDeviceConfig& root);

} // namespace gw
