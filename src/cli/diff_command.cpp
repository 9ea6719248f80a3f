#include "cli/diff_command.h"

#include <CLI/CLI.hpp>

#include "cli/exit_codes.h"
#include "compare/diff_format.h"
#include "file/config_file.h"

namespace {

bool Load(CDeviceConfig& root, const std::string& file, std::ostream& err)
{
    const FileResult result = gw::LoadFile(root, file);
    if (!result.ok)
        err << (result.languageMismatch ? file + ": " : std::string()) << result.message << '\n';
    return result.ok;
}

} // namespace

int gw::PrintDifferences(const std::vector<Difference>& differences, bool json, std::ostream& out,
                         const std::vector<JsonFact>& facts)
{
    out << (json ? DifferencesJson(differences, facts) : FormatDifferences(differences));
    return differences.empty() ? 0 : kExitRefused;
}

int gw::RunDiffCommand(const DiffCommandOptions& options, std::ostream& out, std::ostream& err)
{
    HardwareVersion version;
    if (!ParseHardwareVersion(options.hardware, version)) {
        err << "--hw " << options.hardware << ": give the hardware version as MAJOR.MINOR, such as 2.1\n";
        return kExitUsage;
    }
    CDeviceConfig left, right;
    if (!Load(left, options.left, err) || !Load(right, options.right, err))
        return kExitBadFile;
    const CompareScope scope = options.module ? CompareScope::Module : CompareScope::Whole;
    return PrintDifferences(CompareConfigurations(left, right, scope, version), options.json, out);
}

void gw::AddDiffCommand(CLI::App& app, DiffCommandOptions& options, std::function<int()>& action, std::ostream& out,
                        std::ostream& err)
{
    auto* command = app.add_subcommand("diff", "List the differences between two configuration files");
    command->add_option("A", options.left, "Configuration file, the left side")->required();
    command->add_option("B", options.right, "Configuration file, the right side")->required();
    command->add_flag("--module", options.module,
                      "Compare only what a module keeps: what a download sends and an upload reads back for the\n"
                      "hardware version of --hw and A's mode (help texts, mnemonics and the like never count)");
    command->add_option("--hw", options.hardware,
                        "Hardware version of the module that --module compares as (default 2.1, that of gateway-sim)")
        ->capture_default_str();
    command->add_flag("--json", options.json, "Print {\"equal\": ..., \"differences\": [...]} instead of lines");
    command->footer("Exit status: 0 equal, 1 different, 65 a file that cannot be read.");
    command->callback([&] { action = [&] { return RunDiffCommand(options, out, err); }; });
}
