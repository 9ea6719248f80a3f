#pragma once
// What the simulated module keeps: the serial parameter block (with the framing fields in its
// long part), the fieldbus block, the address-mode byte and the command records. It can be
// kept in a small text file so that a later run holds what an earlier one was given.

#include <string>
#include <vector>

#include "link/protocol.h"
#include "model/outcome.h"

struct ModuleState {
    SerialBlock serial{};
    BusBlock bus{};
    std::uint8_t addressMode = 0;
    std::vector<CommandRecord> commands;

    // What a module fresh from the factory holds: Modbus Master at 19200 8N1, no commands.
    static ModuleState Factory();
};

namespace gw {

// Reads a state file; a failure with a message naming the line when it cannot be read.
Outcome LoadModuleState(const std::string& path, ModuleState& state);
// Replaces the state file as a whole (through a symbolic link); a failure with a message when it cannot.
Outcome SaveModuleState(const std::string& path, const ModuleState& state);

std::string FormatModuleState(const ModuleState& state);
Outcome ParseModuleState(const std::string& text, ModuleState& state);

} // namespace gw
