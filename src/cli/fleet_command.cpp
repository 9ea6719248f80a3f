#include "cli/fleet_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <limits>
#include <memory>
#include <string>

#include <unistd.h>

#include "cli/exit_codes.h"
#include "cli/fleet_report.h"
#include "fleet/fleet_run.h"
#include "link/interrupt_signals.h"

namespace {

struct FleetCommandOptions {
    std::string plan;
    std::string action;
    int jobs = 0;
    bool json = false;
    std::string report;
};

int RunFleetCommand(const FleetCommandOptions& options, std::ostream& out, std::ostream& err)
{
    FleetPlan plan;
    if (const Outcome read = gw::ReadFleetPlan(options.plan, plan); !read) {
        err << read.message << '\n';
        return kExitBadFile;
    }
    FleetOptions fleet;
    fleet.jobs = options.jobs;
    if (!options.action.empty()) {
        FleetAction action;
        gw::ParseFleetAction(options.action, action);
        fleet.action = action;
    }
    if (!options.report.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options.report, ec);
        if (ec || !std::filesystem::is_directory(options.report, ec)) {
            err << options.report << ": the folder for the traces cannot be made: " << ec.message() << '\n';
            return kExitCannotWrite;
        }
        fleet.traceFolder = options.report;
    }
    // A signal stops every running module at once: each closes its port and removes its lock.
    const CInterruptSignals signals;
    fleet.stop = &CInterruptSignals::StopFlag();
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO);
    FleetResult result;
    {
        // With --json the document alone goes to standard output; the lines go with the messages.
        CFleetConsole console(plan, fleet, options.json ? err : out, terminal ? &err : nullptr);
        result = gw::RunFleet(plan, fleet, &console);
    }
    if (options.json)
        gw::PrintFleetJson(out, plan, result);
    else
        gw::PrintFleetSummary(out, plan, result);
    if (CInterruptSignals::Received() != 0) {
        err << options.plan << ": interrupted\n";
        return CInterruptSignals::ExitStatus();
    }
    return result.failed == 0 ? 0 : kExitRefused;
}

} // namespace

void gw::AddFleetCommand(CLI::App& app, std::function<int()>& action, std::ostream& out, std::ostream& err)
{
    auto options = std::make_shared<FleetCommandOptions>();
    auto* cmd = app.add_subcommand("fleet", "Run one action on every module of PLAN, many modules at a time");
    cmd->add_option("PLAN", options->plan,
                    "CSV file with a header row: name,port,file and optionally hw (hardware version) and action")
        ->required();
    cmd->add_option("--action", options->action,
                    "download, verify, upload (into NAME.xml beside the plan) or probe, for every module "
                    "(default: the action column, or verify)")
        ->check(CLI::IsMember({"download", "verify", "upload", "probe"}));
    cmd->add_option("--jobs", options->jobs, "Modules at a time (default: all)")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    cmd->add_flag("--json", options->json, "Print one JSON document instead of the summary table");
    cmd->add_option("--report", options->report, "Write every frame of module NAME into DIR/NAME.trace");
    cmd->footer("A line per module as it ends: name, port, result code, message, seconds. Exit status: 0 every module\n"
                "succeeded, 1 one or more failed, 65 the plan cannot be read, 74 DIR cannot be made, 128 plus the\n"
                "signal when SIGINT, SIGTERM or SIGHUP stopped the run.");
    cmd->callback([options, &action, &out, &err] { action = [options, &out, &err] { return RunFleetCommand(*options, out, err); }; });
}
