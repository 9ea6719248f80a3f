#pragma once
// What repeated polling shows about each command: how often it was answered, timed out or
// failed, and the least, mean and greatest time of its answers.

#include <map>
#include <string>

#include "commission/modbus_master.h"

struct CommandStatistics {
    int ok = 0;
    int timeout = 0;
    int error = 0;       // exceptions, incomplete and wrong replies, a line that failed
    double minMs = 0;    // over the answered exchanges (ok), 0 while there is none
    double maxMs = 0;
    double totalMs = 0;

    int Sent() const { return ok + timeout + error; }
    double MeanMs() const { return ok ? totalMs / ok : 0; }
    // "ok 4  timeout 2  error 0  ms 0.3 / 0.4 / 0.6" (min / mean / max), or without the times
    // when nothing was answered.
    std::string Text() const;
};

class CPollStatistics {
public:
    // Counts one outcome of command number; skipped commands count nothing.
    void Add(int number, const PollOutcome& outcome);
    void Clear() { m_commands.clear(); }
    bool Empty() const { return m_commands.empty(); }
    // By command number, from 1.
    const std::map<int, CommandStatistics>& Commands() const { return m_commands; }

private:
    std::map<int, CommandStatistics> m_commands;
};
