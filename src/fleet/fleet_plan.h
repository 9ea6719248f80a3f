#pragma once
// A fleet plan: the modules of a project in a CSV file a spreadsheet can edit. A header row
// names the columns: name, port and file, and optionally hw (the hardware version the module
// must report) and action (download, verify, upload or probe). Fields follow RFC 4180: quoted
// when they hold a comma, a quote or a line break. A spreadsheet's semicolons are taken too,
// and the byte order mark some put first.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/outcome.h"
#include "model/wire_layout.h"

enum class FleetAction { Download, Verify, Upload, Probe };

namespace gw {

// "download", "verify", "upload", "probe".
const char* FleetActionName(FleetAction action);
bool ParseFleetAction(const std::string& text, FleetAction& action);

} // namespace gw

struct PlanModule {
    std::string name;
    std::string port;
    std::string file;                        // as the plan writes it; may be empty for an upload
    std::filesystem::path filePath;          // file, from the plan's folder
    std::optional<HardwareVersion> hardware; // the hw column
    std::optional<FleetAction> action;       // the action column
    int line = 0;                            // where the module's row starts in the plan
};

struct FleetPlan {
    std::filesystem::path path;
    std::filesystem::path folder;            // where the plan is: files are found and written there
    std::vector<PlanModule> modules;
};

namespace gw {

// Reads the plan. A failure names the fault, the plan and the line ("plan.csv:4:
// the name "a/b" cannot be a file name"): a missing or unknown column, a row with more fields
// than the header, an empty name or port, a name twice, an unknown action or hardware version,
// a plan with no module.
Outcome ReadFleetPlan(const std::filesystem::path& path, FleetPlan& plan);

// Where an upload of the module writes the configuration: NAME.xml beside the plan.
std::filesystem::path UploadTarget(const FleetPlan& plan, const PlanModule& module);

// True when path is the plan itself or a file one of its modules names: an upload never
// writes over those.
bool IsPlanFile(const FleetPlan& plan, const std::filesystem::path& path);

} // namespace gw
