#include "cli/probe_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/probe_report.h"
#include "cli/transfer_command.h"
#include "model/result_codes.h"
#include "commission/probe_run.h"
#include "file/config_file.h"
#include "link/interrupt_signals.h"
#include "model/device_config.h"
#include "model/lang_strings.h"

namespace {

constexpr int kExitPollFailed = 2;
constexpr int kExitPort = 4;

struct ProbeOptions {
    std::string file;
    std::string port;
    std::vector<int> commands;
    int repeat = 1;
    std::vector<std::string> writes;
    std::vector<std::string> views;
    bool rs485 = false;
    std::string rts;
    bool json = false;
};

// "N=REST": the command number and the rest; false when text does not start so.
bool SplitNumbered(const std::string& text, int& number, std::string& rest)
{
    const auto eq = text.find('=');
    std::size_t used = 0;
    try {
        if (eq != std::string::npos && eq > 0)
            number = std::stoi(text.substr(0, eq), &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != eq)
        return false;
    rest = text.substr(eq + 1);
    return true;
}

bool CheckNumber(const ProbeOptions& options, const char* option, int number, int total, std::ostream& err)
{
    if (number >= 1 && number <= total)
        return true;
    err << options.file << ": " << option << ' ' << number << ": there is no such command (the configuration has " << total
        << ")\n";
    return false;
}

// --view VIEW or --view N=VIEW, for register commands only.
bool ReadViews(const ProbeOptions& options, const ProbeSetup& setup, ViewChoice& views, std::ostream& err)
{
    const int total = static_cast<int>(setup.commands.size());
    for (const std::string& text : options.views) {
        int number = 0;
        std::string name = text;
        const bool numbered = SplitNumbered(text, number, name);
        ValueView view;
        if (const Outcome parsed = gw::ParseValueView(name, view); !parsed) {
            err << "--view: " << parsed.message << '\n';
            return false;
        }
        if (!numbered) {
            views.all = view;
            continue;
        }
        if (!CheckNumber(options, "--view", number, total, err))
            return false;
        if (setup.commands[static_cast<std::size_t>(number - 1)].IsBitFunction()) {
            err << options.file << ": --view " << text << ": command " << number
                << " reads or writes coils or inputs, which a view does not change\n";
            return false;
        }
        views.byCommand[number] = view;
    }
    return true;
}

bool ReadWrites(const ProbeOptions& options, const ProbeSetup& setup, WriteValues& writes, std::ostream& err)
{
    const int total = static_cast<int>(setup.commands.size());
    for (const std::string& text : options.writes) {
        int number = 0;
        std::string list;
        std::vector<std::uint16_t> values;
        if (!SplitNumbered(text, number, list)) {
            err << "--write takes N=V[,V...], not \"" << text << "\"\n";
            return false;
        }
        if (const Outcome parsed = gw::ParseValueList(list, values); !parsed) {
            err << "--write " << text << ": " << parsed.message << '\n';
            return false;
        }
        if (!CheckNumber(options, "--write", number, total, err))
            return false;
        if (const std::string fault = gw::CheckWriteValues(setup.commands[static_cast<std::size_t>(number - 1)], values);
            !fault.empty()) {
            err << options.file << ": --write " << text << ": command " << number << " ("
                << setup.names[static_cast<std::size_t>(number - 1)] << "): " << fault << '\n';
            return false;
        }
        writes[number] = std::move(values);
    }
    return true;
}

bool Failed(const CommandPoll& poll)
{
    return poll.outcome.status != PollStatus::Ok && poll.outcome.status != PollStatus::Skipped;
}

// The latest outcome of each command: a write sent in an earlier pass keeps what it got then.
void KeepLatest(std::vector<CommandPoll>& latest, const std::vector<CommandPoll>& pass)
{
    for (const CommandPoll& poll : pass) {
        const auto same = std::find_if(latest.begin(), latest.end(), [&](const CommandPoll& p) { return p.number == poll.number; });
        if (same == latest.end())
            latest.push_back(poll);
        else if (poll.outcome.status != PollStatus::Skipped)
            *same = poll;
    }
    std::sort(latest.begin(), latest.end(), [](const CommandPoll& a, const CommandPoll& b) { return a.number < b.number; });
}

int RunProbe(const ProbeOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceConfig root;
    if (const FileResult loaded = gw::LoadFile(root, options.file); !loaded.ok) {
        err << (loaded.languageMismatch ? options.file + ": " : std::string()) << loaded.message << '\n';
        return kExitBadFile;
    }
    if (const Outcome checked = gw::CheckBeforeCommissioning(root); !checked) {
        err << options.file << ": " << gw::MessageOnOneLine(checked.message) << " (nothing was sent)\n";
        return static_cast<int>(checked.code);
    }
    ProbeSetup setup;
    if (const Outcome read = gw::ReadProbeSetup(root, setup); !read) {
        err << options.file << ": " << read.message << " (nothing was sent)\n";
        return kExitRefused;
    }
    const int total = static_cast<int>(setup.commands.size());
    for (const int number : options.commands)
        if (!CheckNumber(options, "--command", number, total, err))
            return kExitUsage;
    WriteValues writes;
    ViewChoice views;
    if (!ReadWrites(options, setup, writes, err) || !ReadViews(options, setup, views, err))
        return kExitUsage;
    if (options.rs485 && !options.rts.empty()) {
        err << "--rs485 and --rts cannot be used together: the kernel's RS-485 mode switches the line itself\n";
        return kExitUsage;
    }
    std::vector<int> numbers = options.commands;
    for (const auto& write : writes)
        if (!numbers.empty())
            numbers.push_back(write.first);
    const DirectionControl direction = options.rs485 ? DirectionControl::KernelRs485
                                       : options.rts == "up" ? DirectionControl::RtsHigh
                                       : options.rts == "down" ? DirectionControl::RtsLow
                                                               : DirectionControl::None;

    // A signal ends the run after the exchange in progress, with what the passes made so far.
    const CInterruptSignals signals;
    const std::atomic<bool>& stop = CInterruptSignals::StopFlag();
    CModbusMaster master;
    master.SetStopFlag(&stop);
    if (const OpenOutcome opened = master.Open(options.port, setup.line, direction); !opened.ok) {
        err << opened.message << '\n';
        return kExitPort;
    }
    bool failed = false;
    int passes = 0;
    std::vector<CommandPoll> latest;
    CPollStatistics statistics;
    for (int round = 1; round <= options.repeat && !stop.load(); ++round) {
        // Each asked-for write goes out once, in the first pass; later passes only read.
        const std::vector<CommandPoll> polls = gw::PollCommands(master, setup, numbers, round == 1 ? writes : WriteValues{},
                                                            [&stop](const CommandPoll&) { return !stop.load(); });
        if (polls.empty())
            break;
        ++passes;
        if (!options.json) {
            if (options.repeat > 1)
                out << "pass " << round << " of " << options.repeat << '\n';
            for (const CommandPoll& poll : polls)
                gw::PrintPoll(out, setup, poll, views, round > 1 && writes.count(poll.number));
        }
        for (const CommandPoll& poll : polls) {
            failed = failed || Failed(poll);
            statistics.Add(poll.number, poll.outcome);
        }
        KeepLatest(latest, polls);
        if (!polls.empty() && polls.back().outcome.lineLost)
            break;
    }
    const InputImage image = gw::BuildInputImage(setup, latest);
    if (options.json) {
        gw::PrintJson(out, setup, latest, views, options.repeat > 1 ? &statistics : nullptr, image);
    } else {
        if (options.repeat > 1)
            gw::PrintStatistics(out, setup, statistics, passes);
        gw::PrintByteSwaps(out, setup, latest);
        gw::PrintImage(out, image);
    }
    if (CInterruptSignals::Received() != 0) {
        err << options.file << " via " << options.port << ": interrupted\n";
        return CInterruptSignals::ExitStatus();
    }
    return failed ? kExitPollFailed : 0;
}

} // namespace

void gw::AddProbeCommand(CLI::App& app, std::function<int()>& action, std::ostream& out, std::ostream& err)
{
    auto options = std::make_shared<ProbeOptions>();
    auto* cmd = app.add_subcommand("probe", "Send the configuration's Modbus commands to the slave on --port and "
                                            "show the replies and the input image they make");
    cmd->add_option("FILE", options->file, "Configuration file")->required();
    cmd->add_option("-p,--port", options->port, std::string(kPortHelp) + ", with the Modbus slave")->required();
    cmd->add_option("--command", options->commands, "Poll only command N (from 1); may be repeated");
    cmd->add_option("--repeat", options->repeat, "Poll K times (writes go out in the first pass only) and show statistics")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    cmd->add_option("--write", options->writes,
                    "Send write command N once with these values (decimal, or hex after 0x); may be repeated");
    cmd->add_option("--view", options->views,
                    "Read register values as VIEW (all commands) or N=VIEW (command N): unsigned, signed, hex, binary, "
                    "int32, uint32 or float, the last three with :abcd (default), :cdab, :badc or :dcba");
    cmd->add_flag("--rs485", options->rs485, "Switch the port's driver to its RS-485 mode (on-board UARTs)");
    cmd->add_option("--rts", options->rts, "Drive the transmitter by RTS: raised (up) or lowered (down) while sending")
        ->check(CLI::IsMember({"up", "down"}));
    cmd->add_flag("--json", options->json, "Print one JSON object instead of text");
    cmd->footer("Write commands are skipped unless --write names them. Exit status: 0 every polled command answered,\n"
                "2 a command failed, 4 the port cannot be opened or refuses a setting, 1 no Modbus slave to poll,\n"
                "64 bad usage, 65 a file that cannot be read, or the result code of a check the configuration fails.");
    cmd->callback([options, &action, &out, &err] { action = [options, &out, &err] { return RunProbe(*options, out, err); }; });
}
