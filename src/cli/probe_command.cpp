#include "cli/probe_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "model/result_codes.h"
#include "commission/probe_run.h"
#include "file/config_file.h"
#include "model/device_config.h"

namespace {

constexpr int kExitPollFailed = 2;
constexpr int kExitPort = 4;

struct ProbeOptions {
    std::string file;
    std::string port;
    std::vector<int> commands;
    int repeat = 1;
    std::vector<std::string> writes;
    bool json = false;
};

// "N=V[,V...]".
bool ParseWrite(const std::string& text, int& number, std::vector<std::uint16_t>& values, std::string& error)
{
    const auto eq = text.find('=');
    std::size_t used = 0;
    try {
        if (eq != std::string::npos && eq > 0)
            number = std::stoi(text.substr(0, eq), &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != eq) {
        error = "--write takes N=V[,V...], not \"" + text + "\"";
        return false;
    }
    if (!ParseValueList(text.substr(eq + 1), values, error)) {
        error = "--write " + text + ": " + error;
        return false;
    }
    return true;
}

std::string ValuesText(const std::vector<std::uint16_t>& values, bool hex, bool bits)
{
    std::string text;
    char part[8];
    for (const std::uint16_t value : values) {
        std::snprintf(part, sizeof part, hex ? (bits ? "%X" : "%04X") : "%u", static_cast<unsigned>(value));
        text += (text.empty() ? "" : " ") + std::string(part);
    }
    return text;
}

void PrintPoll(std::ostream& out, const ProbeSetup& setup, const CommandPoll& poll)
{
    const CommandRequest& request = setup.commands[static_cast<std::size_t>(poll.number - 1)];
    const PollOutcome& outcome = poll.outcome;
    char head[96];
    std::snprintf(head, sizeof head, "%2d  fc %02d  start %5d  count %3d  %-9s", poll.number, request.function,
                  request.start, request.count, PollStatusName(outcome.status));
    out << head;
    if (outcome.status != PollStatus::Skipped) {
        char time[32];
        std::snprintf(time, sizeof time, "  %8.1f ms", outcome.ms);
        out << time;
    }
    if (outcome.status == PollStatus::Exception)
        out << "  exception " << outcome.exceptionCode << " (" << outcome.detail << ')';
    else if (!outcome.detail.empty())
        out << "  (" << outcome.detail << ')';
    else if (outcome.status == PollStatus::Skipped)
        out << "  (a write: sent only with --write " << poll.number << "=...)";
    if (!outcome.values.empty()) {
        const bool bits = request.IsBitFunction();
        out << "  " << ValuesText(outcome.values, false, bits) << "  hex " << ValuesText(outcome.values, true, bits);
    }
    out << '\n';
}

void PrintImage(std::ostream& out, const InputImage& image)
{
    out << "input image (below each byte the command that fills it; rows no command fills are left out):\n";
    char part[16];
    for (int row = 0; row < kInputImageBytes; row += 16) {
        const int end = std::min(row + 16, kInputImageBytes);
        if (std::all_of(&image.owner[static_cast<std::size_t>(row)], &image.owner[static_cast<std::size_t>(end - 1)] + 1,
                        [](int owner) { return owner == 0; }))
            continue;
        std::snprintf(part, sizeof part, "%04X ", row);
        std::string bytes = part, owners(5, ' ');
        for (int i = row; i < end; ++i) {
            std::snprintf(part, sizeof part, " %02X", image.bytes[static_cast<std::size_t>(i)]);
            bytes += part;
            const int owner = image.owner[static_cast<std::size_t>(i)];
            std::snprintf(part, sizeof part, owner ? " %2d" : "  .", owner);
            owners += part;
        }
        out << bytes << '\n' << owners << '\n';
    }
}

void PrintJson(std::ostream& out, const ProbeSetup& setup, const std::vector<CommandPoll>& polls, const InputImage& image)
{
    out << "{\"commands\": [";
    for (std::size_t i = 0; i < polls.size(); ++i) {
        const CommandPoll& poll = polls[i];
        const CommandRequest& request = setup.commands[static_cast<std::size_t>(poll.number - 1)];
        char ms[32];
        std::snprintf(ms, sizeof ms, "%.1f", poll.outcome.ms);
        out << (i ? ", " : "") << "{\"command\": " << poll.number << ", \"function\": " << request.function
            << ", \"start\": " << request.start << ", \"count\": " << request.count << ", \"status\": \""
            << PollStatusName(poll.outcome.status) << "\", \"exception\": "
            << (poll.outcome.status == PollStatus::Exception ? std::to_string(poll.outcome.exceptionCode) : "null")
            << ", \"ms\": " << ms << ", \"values\": [";
        for (std::size_t v = 0; v < poll.outcome.values.size(); ++v)
            out << (v ? ", " : "") << poll.outcome.values[v];
        out << "]}";
    }
    out << "], \"input_image\": \"" << ImageHex(image) << "\"}\n";
}

bool Failed(const CommandPoll& poll)
{
    return poll.outcome.status != PollStatus::Ok && poll.outcome.status != PollStatus::Skipped;
}

int RunProbe(const ProbeOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceConfig root;
    if (const FileResult loaded = LoadFile(root, options.file); !loaded.ok) {
        err << (loaded.languageMismatch ? options.file + ": " : std::string()) << loaded.message << '\n';
        return kExitBadFile;
    }
    std::string message;
    if (const int code = CheckBeforeCommissioning(root, message); code != 0) {
        err << options.file << ": " << MessageOnOneLine(message) << " (nothing was sent)\n";
        return code;
    }
    ProbeSetup setup;
    if (!ReadProbeSetup(root, setup, message)) {
        err << options.file << ": " << message << " (nothing was sent)\n";
        return kExitRefused;
    }
    const int total = static_cast<int>(setup.commands.size());
    for (const int number : options.commands) {
        if (number < 1 || number > total) {
            err << options.file << ": --command " << number << ": there is no such command (the configuration has "
                << total << ")\n";
            return kExitUsage;
        }
    }
    WriteValues writes;
    std::vector<int> numbers = options.commands;
    for (const std::string& text : options.writes) {
        int number = 0;
        std::vector<std::uint16_t> values;
        if (!ParseWrite(text, number, values, message)) {
            err << message << '\n';
            return kExitUsage;
        }
        if (number < 1 || number > total) {
            err << options.file << ": --write " << number << ": there is no such command (the configuration has "
                << total << ")\n";
            return kExitUsage;
        }
        if (const std::string fault = CheckWriteValues(setup.commands[static_cast<std::size_t>(number - 1)], values);
            !fault.empty()) {
            err << options.file << ": --write " << text << ": command " << number << " (" << setup.names[number - 1]
                << "): " << fault << '\n';
            return kExitUsage;
        }
        writes[number] = std::move(values);
        if (!numbers.empty())
            numbers.push_back(number);
    }

    CModbusMaster master;
    if (const OpenOutcome opened = master.Open(options.port, setup.line); !opened.ok) {
        err << opened.message << '\n';
        return kExitPort;
    }
    bool failed = false;
    std::vector<CommandPoll> polls;
    for (int round = 1; round <= options.repeat; ++round) {
        // Each asked-for write goes out once, in the first pass; later passes only read.
        polls = PollCommands(master, setup, numbers, round == 1 ? writes : WriteValues{});
        if (!options.json) {
            if (options.repeat > 1)
                out << "pass " << round << " of " << options.repeat << '\n';
            for (const CommandPoll& poll : polls)
                PrintPoll(out, setup, poll);
        }
        for (const CommandPoll& poll : polls)
            failed = failed || Failed(poll);
    }
    const InputImage image = BuildInputImage(setup, polls);
    if (options.json)
        PrintJson(out, setup, polls, image);
    else
        PrintImage(out, image);
    return failed ? kExitPollFailed : 0;
}

} // namespace

void AddProbeCommand(CLI::App& app, std::function<int()>& action, std::ostream& out, std::ostream& err)
{
    auto options = std::make_shared<ProbeOptions>();
    auto* cmd = app.add_subcommand("probe", "Send the configuration's Modbus commands to the slave on --port and "
                                            "show the replies and the input image they make");
    cmd->add_option("FILE", options->file, "Configuration file")->required();
    cmd->add_option("-p,--port", options->port, "Serial device with the Modbus slave, such as /dev/ttyUSB0")->required();
    cmd->add_option("--command", options->commands, "Poll only command N (from 1); may be repeated");
    cmd->add_option("--repeat", options->repeat, "Poll K times (writes go out in the first pass only)")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    cmd->add_option("--write", options->writes, "Send write command N once with these values; may be repeated");
    cmd->add_flag("--json", options->json, "Print one JSON object instead of text");
    cmd->footer("Write commands are skipped unless --write names them. Exit status: 0 every polled command answered,\n"
                "2 a command failed, 4 the port cannot be opened or refuses a setting, 1 no Modbus slave to poll,\n"
                "64 bad usage, 65 a file that cannot be read, or the result code of a check the configuration fails.");
    cmd->callback([options, &action, &out, &err] { action = [options, &out, &err] { return RunProbe(*options, out, err); }; });
}
