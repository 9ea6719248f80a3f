#include "cli/iolist_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/exit_codes.h"
#include "file/config_file.h"
#include "file/replacement_file.h"
#include "model/device_config.h"
#include "report/html_report.h"
#include "report/io_list_formats.h"

namespace {

struct HandoverOptions {
    std::string file;
    std::string output;
    std::string format = "csv";
    std::string addressing = "byte";
    std::optional<std::int64_t> inputBase;
    std::optional<std::int64_t> outputBase;
    bool bits = false;
    std::string probeJson;
    std::string verifyJson;

    IoListOptions IoList() const
    {
        return {bits, inputBase, outputBase, *gw::ParsePlcAddressing(addressing)};
    }
};

int Load(CDeviceConfig& root, const std::string& file, std::string* savedAt, std::ostream& err)
{
    const FileResult loaded = gw::LoadFile(root, file);
    if (!loaded.ok) {
        err << (loaded.languageMismatch ? file + ": " : std::string()) << loaded.message << '\n';
        return kExitBadFile;
    }
    if (savedAt)
        *savedAt = loaded.savedAt;
    return 0;
}

int Write(const std::string& path, const std::string& text, std::ostream& out, std::ostream& err)
{
    if (path.empty() || path == "-") {
        out << text;
        return 0;
    }
    if (const Outcome written = gw::ReplaceFileContents(path, text); !written) {
        err << path << ": cannot write: " << written.message << '\n';
        return kExitCannotWrite;
    }
    return 0;
}

int RunIoList(const HandoverOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceConfig root;
    if (const int status = Load(root, options.file, nullptr, err); status != 0)
        return status;
    const IoListResult result = gw::BuildIoList(root, options.IoList());
    if (result.code != RESULT_OK) {
        err << options.file << ": " << result.message << '\n';
        return static_cast<int>(result.code);
    }
    const IoList& list = result.list;
    if (options.format == "md")
        return Write(options.output, gw::IoListMarkdown(list), out, err);
    if (options.format == "json")
        return Write(options.output, gw::IoListJson(list), out, err);
    // A CSV holds the rows alone, so that every line is a record; what stands below the rows
    // in the other forms goes to the terminal.
    if (const int status = Write(options.output, gw::IoListCsv(list), out, err); status != 0)
        return status;
    for (const std::string& line : gw::IoListSummary(list))
        err << line << '\n';
    return 0;
}

int RunReport(const HandoverOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceConfig root;
    ReportInputs inputs;
    inputs.configPath = options.file;
    if (const int status = Load(root, options.file, &inputs.savedAt, err); status != 0)
        return status;
    ProbeResults probe;
    VerifyResults verify;
    if (!options.probeJson.empty()) {
        if (const Outcome loaded = gw::LoadProbeResults(options.probeJson, probe); !loaded) {
            err << loaded.message << '\n';
            return kExitBadFile;
        }
        inputs.probe = &probe;
    }
    if (!options.verifyJson.empty()) {
        if (const Outcome loaded = gw::LoadVerifyResults(options.verifyJson, verify); !loaded) {
            err << loaded.message << '\n';
            return kExitBadFile;
        }
        inputs.verify = &verify;
    }
    inputs.ioList = options.IoList();
    const ReportResult report = gw::BuildHtmlReport(root, inputs);
    if (report.code != RESULT_OK) {
        err << options.file << ": " << report.message << '\n';
        return static_cast<int>(report.code);
    }
    if (const int status = Write(options.output, report.html, out, err); status != 0)
        return status;
    out << "Wrote the report on " << options.file << " to " << options.output << '\n';
    return 0;
}

// The I/O list's options, which the report takes too.
void AddListOptions(CLI::App* command, HandoverOptions& options)
{
    command->add_option("FILE", options.file, "Configuration file")->required();
    command->add_option("--input-base", options.inputBase,
                        "PLC byte address of the first input byte: the list names %IW, %IB, %IX addresses")
        ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 30));
    command->add_option("--output-base", options.outputBase,
                        "PLC byte address of the first output byte: the list names %QW, %QB, %QX addresses")
        ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 30));
    command->add_option("--plc-addressing", options.addressing,
                        "How the PLC numbers words: byte (%IW256 is bytes 256 and 257) or word (%IW128 is the same)")
        ->check(CLI::IsMember({"byte", "word"}))
        ->capture_default_str();
    command->add_flag("--bits", options.bits, "One row per bit of coils and inputs");
}

} // namespace

void gw::AddHandoverCommands(CLI::App& app, std::function<int()>& action, std::ostream& out, std::ostream& err)
{
    auto options = std::make_shared<HandoverOptions>();
    auto* iolist = app.add_subcommand("iolist", "List where every command's data lands in the PROFIBUS master's "
                                                "input and output bytes");
    AddListOptions(iolist, *options);
    iolist->add_option("--format", options->format, "csv, md or json")
        ->check(CLI::IsMember({"csv", "md", "json"}))
        ->capture_default_str();
    iolist->add_option("-o,--output", options->output, "Write the list into OUT instead of printing it");
    iolist->footer("With csv the lines below the list (bytes the master must provide, shared bytes) go to stderr.\n"
                   "Exit status: 0, 6 an empty item, 7 or 8 a value no edit could store, 64 bad usage, 65 a file\n"
                   "that cannot be read, 74 OUT cannot be written.");
    iolist->callback([options, &action, &out, &err] {
        action = [options, &out, &err] { return RunIoList(*options, out, err); };
    });

    auto* report = app.add_subcommand("report", "Write a printable HTML report: items, commands, I/O list, memory map "
                                                "and the commissioning results");
    AddListOptions(report, *options);
    report->add_option("-o,--output", options->output, "The HTML file to write")->required();
    report->add_option("--probe-json", options->probeJson, "What 'gatewaycfg probe --json' printed");
    report->add_option("--verify-json", options->verifyJson, "What 'gatewaycfg verify --json' printed");
    report->footer("Exit status: 0, 6 an empty item, 7 or 8 a value no edit could store, 64 bad usage, 65 a file\n"
                   "that cannot be read, 74 the report cannot be written.");
    report->callback([options, &action, &out, &err] {
        action = [options, &out, &err] { return RunReport(*options, out, err); };
    });
}
