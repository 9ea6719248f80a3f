#pragma once
// gatewaycfg probe: plays the module's Modbus master on a serial port with the configuration's
// line settings and commands, and shows what each command gets and where it lands.

#include <functional>
#include <ostream>

namespace CLI {
class App;
}

namespace gw {

// Adds the "probe" sub-command; when it is chosen, action is set to run it.
void AddProbeCommand(CLI::App& app, std::function<int()>& action, std::ostream& out, std::ostream& err);

} // namespace gw
