#pragma once
// What the simulated module keeps: the serial parameter block (with the framing fields in its
// long part), the fieldbus block, the address-mode byte and the command records. It can be
// kept in a small text file so that a later run holds what an earlier one was given.

#include <string>
#include <vector>

#include "link/protocol.h"

struct ModuleState {
    SerialBlock serial{};
    BusBlock bus{};
    std::uint8_t addressMode = 0;
    std::vector<CommandRecord> commands;

    // What a module fresh from the factory holds: Modbus Master at 19200 8N1, no commands.
    static ModuleState Factory();
};

// Reads a state file; false with a message naming the line when it cannot be read.
bool LoadModuleState(const std::string& path, ModuleState& state, std::string& error);
// Replaces the state file as a whole (through a symbolic link); false with a message on failure.
bool SaveModuleState(const std::string& path, const ModuleState& state, std::string& error);

std::string FormatModuleState(const ModuleState& state);
bool ParseModuleState(const std::string& text, ModuleState& state, std::string& error);
