#pragma once
// One module of a fleet run: its action carried out over its port, as the one-module commands
// of gatewaycfg do it, ending in a code and a one-line message. The code is the exit status the
// one-module command would end with: 0 success, the result code of the link (4 port refused,
// 5 hung up or silent, 9 other hardware ...), 1 a verify that found differences, 2 a probe
// whose commands were not all answered, 65 a file that cannot be read, 74 one that cannot be
// written, 75 a file another program is changing.

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "compare/config_diff.h"
#include "fleet/fleet_plan.h"
#include "link/link_observer.h"
#include "link/transfer_run.h"

inline constexpr int kModuleDifferent = 1;
inline constexpr int kModuleProbeFailed = 2;
inline constexpr int kModuleBadFile = 65;
inline constexpr int kModuleCannotWrite = 74;
inline constexpr int kModuleFileBusy = 75;

struct ModuleOutcome {
    int code = 0;
    std::string message;
    std::string file;   // the configuration file the action used: for an upload, the one written
};

// The configuration files of a run, each read once however many modules use it: parsing a
// file costs far more than copying what it holds.
class CPlanFiles {
public:
    // root gets the file's configuration; a failure has the reading's message. Safe from any thread.
    Outcome Load(const std::filesystem::path& path, CDeviceConfig& root);

private:
    struct File {
        std::once_flag read;
        bool ok = false;
        std::string message;
        CDeviceConfig root;
    };
    std::mutex m_lock;
    std::map<std::filesystem::path, std::unique_ptr<File>> m_files;
};

// The module read into a copy of root and compared with root as a module of the version it
// reports keeps it: the transfer's outcome, and the differences when it succeeded.
struct ModuleComparison {
    TransferOutcome transfer;
    std::vector<Difference> differences;
};

namespace gw {

ModuleComparison CompareWithModule(const std::string& port, const CDeviceConfig& root, CLinkObserver* observer,
                                   const std::atomic<bool>* stop, const HardwareVersion* expectedVersion = nullptr);

// Runs action on the module of plan, its file read through files. The observer sees the frames,
// the messages on the way and the progress (exchanges, or commands polled for a probe).
ModuleOutcome RunModuleAction(const FleetPlan& plan, const PlanModule& module, FleetAction action, CPlanFiles& files,
                              CLinkObserver* observer, const std::atomic<bool>* stop);

} // namespace gw
