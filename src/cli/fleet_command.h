#pragma once
// gatewaycfg fleet: the modules of a plan in one run, a line for each as it ends, a summary
// table (or one JSON document for a scheduler) at the end.

#include <functional>
#include <ostream>

namespace CLI {
class App;
}

namespace gw {

// Adds the "fleet" sub-command; when it is chosen, action is set to run it.
void AddFleetCommand(CLI::App& app, std::function<int()>& action, std::ostream& out, std::ostream& err);

} // namespace gw
