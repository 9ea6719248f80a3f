#pragma once
// The simulator's serving loop: bytes off the line are cut into frames, each frame goes to the
// responder, and the answer goes back with the line's timing.

#include <atomic>
#include <ostream>
#include <string>

#include "sim/module_responder.h"
#include "sim/sim_line.h"

struct SimServeOptions {
    std::string statePath;     // where the state is kept after every write; empty: memory only
    int idleExitSeconds = 0;   // stop after this long without a byte; 0: never
    bool verbose = false;      // log every frame on the log stream
};

namespace gw {

// Serves until stop is set, the idle time has passed, or the line is dropped.
// Returns 0, or 1 when the line failed or the state could not be written.
int ServeLine(CSimLine& line, CModuleResponder& responder, const SimServeOptions& options,
              const std::atomic<bool>& stop, std::ostream& log);

} // namespace gw
