#pragma once
// gatewaycfg: the command-line tool on the configuration model, for scripting and for
// people without a display.

#include <ostream>

namespace gw {

// Runs the tool on its arguments (argv[0] is the program name); returns the exit status.
int RunGatewayCfg(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace gw
