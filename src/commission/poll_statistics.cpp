#include "commission/poll_statistics.h"

#include <algorithm>
#include <cstdio>

std::string CommandStatistics::Text() const
{
    char text[160];
    int used = std::snprintf(text, sizeof text, "ok %d  timeout %d  error %d", ok, timeout, error);
    if (ok > 0)
        std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used), "  ms %.1f / %.1f / %.1f", minMs, MeanMs(), maxMs);
    return text;
}

void CPollStatistics::Add(int number, const PollOutcome& outcome)
{
    if (outcome.status == PollStatus::Skipped)
        return;
    CommandStatistics& command = m_commands[number];
    switch (outcome.status) {
    case PollStatus::Ok:
        command.minMs = command.ok ? std::min(command.minMs, outcome.ms) : outcome.ms;
        command.maxMs = std::max(command.maxMs, outcome.ms);
        command.totalMs += outcome.ms;
        ++command.ok;
        break;
    case PollStatus::Timeout: ++command.timeout; break;
    default: ++command.error; break;
    }
}
