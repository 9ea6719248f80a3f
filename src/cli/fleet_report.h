#pragma once
// What gatewaycfg fleet prints: a line per module as it ends, the progress of the running
// modules on a terminal, the summary table and the JSON document.

#include <chrono>
#include <map>
#include <ostream>
#include <string>

#include "fleet/fleet_run.h"

namespace gw {

// "NAME via PORT: CODE MESSAGE (SECONDS s)".
std::string ModuleLine(const PlanModule& module, const ModuleResult& result);

// A table of every module, then the count of those that succeeded and failed.
void PrintFleetSummary(std::ostream& out, const FleetPlan& plan, const FleetResult& fleet);

// {"modules": [{"name", "port", "file", "action", "code", "message", "seconds"}, ...],
//  "succeeded": N, "failed": M}
void PrintFleetJson(std::ostream& out, const FleetPlan& plan, const FleetResult& fleet);

} // namespace gw

// Prints each module's line to lines as it ends. With progress set (a terminal), the running
// modules are shown below the lines, one row each, redrawn in place on progress.
class CFleetConsole : public CFleetObserver {
public:
    CFleetConsole(const FleetPlan& plan, const FleetOptions& options, std::ostream& lines, std::ostream* progress);
    ~CFleetConsole() override { Erase(); }

    void OnStarted(std::size_t module) override;
    void OnProgress(std::size_t module, int done, int planned) override;
    void OnEnded(std::size_t module, const ModuleResult& result) override;

private:
    void Erase();
    void Draw();

    const FleetPlan& m_plan;
    const FleetOptions& m_options;
    std::ostream& m_lines;
    std::ostream* m_progress;
    std::map<std::size_t, std::string> m_running;   // by module: how far it has got
    int m_drawn = 0;                                // rows of progress on the screen
    std::chrono::steady_clock::time_point m_lastDraw{};
};
