#pragma once
// The fieldbus node: the module's PROFIBUS-DP side, five items and nothing else.

#include "model/config_node.h"

enum BusRow : int {
    BUS_ROW_PROTOCOL = 0,
    BUS_ROW_INPUT_BYTES = 1,
    BUS_ROW_OUTPUT_BYTES = 2,
    BUS_ROW_ADDRESS_MODE = 3,     // 0 "Set by I/O Port", 1 "Probe Addr Automatically"
    BUS_ROW_PROBE_TIMEOUT = 4,    // "Default Value" or 1..60000 ms
    BUS_ROW_COUNT = 5,
};

class CBusNode : public CConfigNode {
public:
    CBusNode();
    // Base reset, then "Probe Addr Automatically", and an enabled "Default Value" time-out.
    void Reset() override;
};
