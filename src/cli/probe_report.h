#pragma once
// What gatewaycfg probe prints: a line per command polled, the statistics of repeated passes,
// the commands whose bytes the module swaps, and the input image; or all of it as one JSON
// object.

#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include "commission/poll_statistics.h"
#include "commission/probe_run.h"
#include "commission/value_view.h"

// The views asked for: one for every register command, and some for single commands.
struct ViewChoice {
    std::optional<ValueView> all;
    std::map<int, ValueView> byCommand;

    // The view command number's values are read through; none for coils and inputs, or when
    // no view was asked for.
    std::optional<ValueView> For(int number, const CommandRequest& request) const;
};

namespace gw {

// One command's line. sentEarlier: a write that went out in an earlier pass.
void PrintPoll(std::ostream& out, const ProbeSetup& setup, const CommandPoll& poll, const ViewChoice& views,
               bool sentEarlier);
void PrintStatistics(std::ostream& out, const ProbeSetup& setup, const CPollStatistics& statistics, int passes);
// The commands polled whose "Byte Swap" is other than none.
void PrintByteSwaps(std::ostream& out, const ProbeSetup& setup, std::span<const CommandPoll> polls);
// Nothing when no read command has bytes in the image.
void PrintImage(std::ostream& out, const InputImage& image);

// statistics: only when there were repeated passes.
void PrintJson(std::ostream& out, const ProbeSetup& setup, std::span<const CommandPoll> polls, const ViewChoice& views,
               const CPollStatistics* statistics, const InputImage& image);

} // namespace gw
