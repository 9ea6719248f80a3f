#pragma once
// States of the simulated module for tests of what an upload brings.

#include "sim/module_state.h"

// A module holding values that no edit would accept: a response time-out of 0 ms and a command
// 03 of 512 registers.
inline ModuleState ModuleHoldingImpossibleValues()
{
    ModuleState module = ModuleState::Factory();
    module.serial[8] = 0;
    module.serial[9] = 0;
    module.commands.push_back({0, 17, 3, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0, 0, 0});
    return module;
}
