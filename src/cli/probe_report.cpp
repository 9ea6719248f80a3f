#include "cli/probe_report.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "model/hex_text.h"
#include "model/json_text.h"

namespace {

const CommandRequest& RequestOf(const ProbeSetup& setup, int number)
{
    return setup.commands[static_cast<std::size_t>(number - 1)];
}

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : " ") + part;
    return text;
}

std::string HexValues(const std::vector<std::uint16_t>& values, bool bits)
{
    std::vector<std::string> parts;
    char part[8];
    for (const std::uint16_t value : values) {
        std::snprintf(part, sizeof part, bits ? "%X" : "%04X", static_cast<unsigned>(value));
        parts.emplace_back(part);
    }
    return Joined(parts);
}

std::string JsonStrings(const std::vector<std::string>& texts)
{
    std::string list = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        list += (i ? ", " : "") + gw::JsonString(texts[i]);
    return list + "]";
}

std::string Ms(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", ms);
    return text;
}

} // namespace

std::optional<ValueView> ViewChoice::For(int number, const CommandRequest& request) const
{
    if (request.IsBitFunction())
        return std::nullopt;
    if (const auto one = byCommand.find(number); one != byCommand.end())
        return one->second;
    return all;
}

void gw::PrintPoll(std::ostream& out, const ProbeSetup& setup, const CommandPoll& poll, const ViewChoice& views, bool sentEarlier)
{
    const CommandRequest& request = RequestOf(setup, poll.number);
    const PollOutcome& outcome = poll.outcome;
    char head[96];
    std::snprintf(head, sizeof head, "%2d  fc %02d  start %5d  count %3d  %-10s", poll.number, request.function,
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
    else if (outcome.status == PollStatus::Skipped && sentEarlier)
        out << "  (a write: sent once, in the first pass)";
    else if (outcome.status == PollStatus::Skipped)
        out << "  (a write: sent only with --write " << poll.number << "=...)";
    if (!outcome.notes.empty())
        out << "  [" << Joined(outcome.notes) << ']';
    if (!outcome.values.empty()) {
        const bool bits = request.IsBitFunction();
        const std::optional<ValueView> view = views.For(poll.number, request);
        out << "  ";
        if (view)
            out << ValueViewName(*view) << ' ' << Joined(ReadThroughView(*view, outcome.values));
        else
            out << Joined(ReadThroughView(ValueView{}, outcome.values));
        if (!view || view->kind != ViewKind::Hex)
            out << "  hex " << HexValues(outcome.values, bits);
    }
    out << '\n';
}

void gw::PrintStatistics(std::ostream& out, const ProbeSetup& setup, const CPollStatistics& statistics, int passes)
{
    out << "statistics over " << passes << " passes (ms: least / mean / greatest time of the answers):\n";
    char head[32];
    for (const auto& [number, command] : statistics.Commands()) {
        std::snprintf(head, sizeof head, "%2d  fc %02d  ", number, RequestOf(setup, number).function);
        out << head << command.Text() << '\n';
    }
}

void gw::PrintByteSwaps(std::ostream& out, const ProbeSetup& setup, std::span<const CommandPoll> polls)
{
    for (const CommandPoll& poll : polls) {
        const CommandRequest& request = RequestOf(setup, poll.number);
        if (request.byteSwap == 0)
            continue;
        out << "command " << poll.number << " (" << setup.names[static_cast<std::size_t>(poll.number - 1)]
            << "): the module swaps its data (\"" << request.byteSwapText << "\")"
            << (request.IsRead() ? "; the input image shows the bytes unswapped, as the slave sent them" : "") << '\n';
    }
}

void gw::PrintImage(std::ostream& out, const InputImage& image)
{
    if (std::all_of(image.owner.begin(), image.owner.end(), [](int owner) { return owner == 0; }))
        return;
    out << "input image (below each byte the command that fills it, ** where two commands' data meet; -- a byte no "
           "reply filled; rows no command fills are left out):\n";
    char part[16];
    for (int row = 0; row < kInputImageBytes; row += 16) {
        const int end = std::min(row + 16, kInputImageBytes);
        if (std::all_of(&image.owner[static_cast<std::size_t>(row)], &image.owner[static_cast<std::size_t>(end - 1)] + 1,
                        [](int owner) { return owner == 0; }))
            continue;
        std::snprintf(part, sizeof part, "%04X ", row);
        std::string bytes = part, owners(5, ' ');
        for (int i = row; i < end; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const int owner = image.owner[at];
            if (owner && !image.known[at])
                bytes += " --";
            else
                bytes += " " + HexByte(image.bytes[at]);
            if (image.sharedBits[at])
                owners += " **";
            else {
                std::snprintf(part, sizeof part, owner ? " %2d" : "  .", owner);
                owners += part;
            }
        }
        out << bytes << '\n' << owners << '\n';
    }
}

void gw::PrintJson(std::ostream& out, const ProbeSetup& setup, std::span<const CommandPoll> polls, const ViewChoice& views,
                   const CPollStatistics* statistics, const InputImage& image)
{
    out << "{\"commands\": [";
    for (std::size_t i = 0; i < polls.size(); ++i) {
        const CommandPoll& poll = polls[i];
        const CommandRequest& request = RequestOf(setup, poll.number);
        const PollOutcome& outcome = poll.outcome;
        out << (i ? ", " : "") << "{\"command\": " << poll.number << ", \"function\": " << request.function
            << ", \"start\": " << request.start << ", \"count\": " << request.count << ", \"status\": \""
            << PollStatusName(outcome.status) << "\", \"exception\": "
            << (outcome.status == PollStatus::Exception ? std::to_string(outcome.exceptionCode) : "null")
            << ", \"ms\": " << Ms(outcome.ms) << ", \"values\": [";
        for (std::size_t v = 0; v < outcome.values.size(); ++v)
            out << (v ? ", " : "") << outcome.values[v];
        out << "], \"detail\": " << (outcome.detail.empty() ? "null" : gw::JsonString(outcome.detail))
            << ", \"notes\": " << JsonStrings(outcome.notes) << ", \"byte_swap\": " << gw::JsonString(request.byteSwapText);
        if (const std::optional<ValueView> view = views.For(poll.number, request))
            out << ", \"view\": " << gw::JsonString(ValueViewName(*view))
                << ", \"reading\": " << JsonStrings(ReadThroughView(*view, outcome.values));
        out << '}';
    }
    out << ']';
    if (statistics) {
        out << ", \"statistics\": [";
        bool first = true;
        for (const auto& [number, command] : statistics->Commands()) {
            out << (first ? "" : ", ") << "{\"command\": " << number << ", \"ok\": " << command.ok
                << ", \"timeout\": " << command.timeout << ", \"error\": " << command.error
                << ", \"min_ms\": " << Ms(command.minMs) << ", \"mean_ms\": " << Ms(command.MeanMs())
                << ", \"max_ms\": " << Ms(command.maxMs) << '}';
            first = false;
        }
        out << ']';
    }
    out << ", \"input_image\": \"" << ImageHex(image) << "\", \"input_without_value\": [";
    bool first = true;
    for (int at = 0; at < kInputImageBytes;) {
        const int owner = image.owner[static_cast<std::size_t>(at)];
        if (!owner || image.known[static_cast<std::size_t>(at)]) {
            ++at;
            continue;
        }
        int end = at;
        while (end + 1 < kInputImageBytes && image.owner[static_cast<std::size_t>(end + 1)] == owner &&
               !image.known[static_cast<std::size_t>(end + 1)])
            ++end;
        out << (first ? "" : ", ") << "{\"command\": " << owner << ", \"first\": " << at << ", \"last\": " << end << '}';
        first = false;
        at = end + 1;
    }
    out << "]}\n";
}
