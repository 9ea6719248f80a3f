#include "fleet/fleet_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "commission/reply_check.h"
#include "file/replacement_file.h"
#include "link/frame_text.h"
#include "model/hex_text.h"
#include "model/lang_strings.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string Stamp(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%8.3f  ", seconds);
    return text;
}

// One module's link observer: its progress goes to the fleet's observer, and every frame and
// message into the module's trace, with the time since the module started.
class CModuleWatch : public CLinkObserver {
public:
    CModuleWatch(std::size_t index, FleetAction action, std::mutex& lock, CFleetObserver* fleet)
        : m_index(index), m_action(action), m_lock(lock), m_fleet(fleet)
    {
    }

    void ShowMessage(const std::string& text) override
    {
        m_trace += Stamp(SecondsSince(m_start)) + "note: " + gw::MessageOnOneLine(text) + "\n";
    }
    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        // Modbus frames have no names of the module's protocol: they are shown as bytes.
        const std::string line = m_action == FleetAction::Probe
                                     ? (direction == FrameDirection::ToModule ? "-> " : "<- ") + gw::HexText(bytes)
                                     : gw::FormatFrame(direction, bytes);
        m_trace += Stamp(SecondsSince(m_start)) + line + "\n";
    }
    void OnProgress(int done, int planned) override
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (m_fleet)
            m_fleet->OnProgress(m_index, done, planned);
    }

    const std::string& Trace() const { return m_trace; }
    double Seconds() const { return SecondsSince(m_start); }

private:
    const std::size_t m_index;
    const FleetAction m_action;
    std::mutex& m_lock;
    CFleetObserver* m_fleet;
    const Clock::time_point m_start = Clock::now();
    std::string m_trace;
};

ModuleResult RunOne(const FleetPlan& plan, std::size_t index, const FleetOptions& options, CPlanFiles& files,
                    std::mutex& lock, CFleetObserver* observer)
{
    const PlanModule& module = plan.modules[index];
    ModuleResult result;
    result.action = gw::ActionOf(module, options);
    result.started = true;
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (observer)
            observer->OnStarted(index);
    }
    CModuleWatch watch(index, result.action, lock, observer);
    result.outcome = gw::RunModuleAction(plan, module, result.action, files, &watch, options.stop);
    result.seconds = watch.Seconds();
    result.trace = module.name + " via " + module.port + ": " + gw::FleetActionName(result.action) + " " + result.outcome.file +
                   "\n" + watch.Trace() + "=> " + std::to_string(result.outcome.code) + " " + result.outcome.message + "\n";
    if (!options.traceFolder.empty()) {
        if (const Outcome written = gw::ReplaceFileContents(gw::TraceFile(options.traceFolder, module).string(), result.trace);
            !written) {
            result.outcome.message += "; the trace cannot be written: " + written.message;
            if (result.outcome.code == 0)
                result.outcome.code = kModuleCannotWrite;
        }
    }
    return result;
}

} // namespace

FleetAction gw::ActionOf(const PlanModule& module, const FleetOptions& options)
{
    return options.action.value_or(module.action.value_or(FleetAction::Verify));
}

std::filesystem::path gw::TraceFile(const std::filesystem::path& folder, const PlanModule& module)
{
    return folder / (module.name + ".trace");
}

FleetResult gw::RunFleet(const FleetPlan& plan, const FleetOptions& options, CFleetObserver* observer)
{
    FleetResult fleet;
    const std::size_t count = plan.modules.size();
    fleet.modules.resize(count);
    std::mutex lock;
    CPlanFiles files;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t index = next++; index < count; index = next++) {
            ModuleResult result;
            if (options.stop && options.stop->load()) {
                result.action = gw::ActionOf(plan.modules[index], options);
                result.outcome = {static_cast<int>(RESULT_STOPPED), "not started (interrupted)", plan.modules[index].file};
            } else {
                result = RunOne(plan, index, options, files, lock, observer);
            }
            const std::lock_guard<std::mutex> hold(lock);
            fleet.modules[index] = result;
            if (observer && result.started)
                observer->OnEnded(index, result);
        }
    };
    const std::size_t jobs = options.jobs > 0 ? std::min<std::size_t>(static_cast<std::size_t>(options.jobs), count) : count;
    std::vector<std::thread> workers;
    for (std::size_t i = 1; i < jobs; ++i)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    for (const ModuleResult& result : fleet.modules)
        ++(result.outcome.code == 0 ? fleet.succeeded : fleet.failed);
    return fleet;
}
