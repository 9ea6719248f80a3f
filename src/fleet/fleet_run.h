#pragma once
// A fleet run: the modules of a plan, a number of them at a time, each on a thread of its own.
// One module's failure never stops the others; a stop request ends every running module at
// once (its port closed, its lock removed) and starts no other.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "fleet/fleet_plan.h"
#include "fleet/module_job.h"

struct FleetOptions {
    std::optional<FleetAction> action;   // for every module; otherwise its action column, or verify
    int jobs = 0;                        // modules at a time; 0: all at once
    std::filesystem::path traceFolder;   // when set: each module's trace also into NAME.trace there
    const std::atomic<bool>* stop = nullptr;
};

struct ModuleResult {
    FleetAction action = FleetAction::Verify;
    bool started = false;    // false: a stop request came before its turn
    ModuleOutcome outcome;
    double seconds = 0;
    std::string trace;       // every frame and message of the run, a line each with its time
};

// What a fleet run tells as it goes. Called from the modules' threads, one call at a time.
class CFleetObserver {
public:
    virtual ~CFleetObserver() = default;
    virtual void OnStarted(std::size_t /*module*/) {}
    // Exchanges (commands, for a probe) done of planned; planned is 0 until it is known.
    virtual void OnProgress(std::size_t /*module*/, int /*done*/, int /*planned*/) {}
    virtual void OnEnded(std::size_t /*module*/, const ModuleResult& /*result*/) {}
};

struct FleetResult {
    std::vector<ModuleResult> modules;   // in the plan's order
    int succeeded = 0;
    int failed = 0;
};

namespace gw {

// The action a module is given.
FleetAction ActionOf(const PlanModule& module, const FleetOptions& options);

// The trace file of a module: NAME.trace in folder.
std::filesystem::path TraceFile(const std::filesystem::path& folder, const PlanModule& module);

FleetResult RunFleet(const FleetPlan& plan, const FleetOptions& options, CFleetObserver* observer = nullptr);

} // namespace gw
