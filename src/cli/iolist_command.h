#pragma once
// gatewaycfg iolist and gatewaycfg report: the hand-over documents of a configuration, the I/O
// list for the PLC programmer and the commissioning report for the customer.

#include <functional>
#include <ostream>

namespace CLI {
class App;
}

namespace gw {

// Adds the "iolist" and "report" sub-commands; the one chosen sets action to run it.
void AddHandoverCommands(CLI::App& app, std::function<int()>& action, std::ostream& out, std::ostream& err);

} // namespace gw
