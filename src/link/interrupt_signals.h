#pragma once
// SIGINT, SIGTERM and SIGHUP turned from the end of the process into a request to stop: while a
// CInterruptSignals lives, the first of them sets a flag that long operations watch (a transfer
// ends its current exchange at once) and is remembered, so that the program can clean up (the
// port's lock file goes with the port) and then end with the status a shell expects.

#include <atomic>

class CInterruptSignals {
public:
    // Catches the three signals (without restarting interrupted calls) and clears the flag.
    CInterruptSignals();
    // The handling from before returns.
    ~CInterruptSignals();
    CInterruptSignals(const CInterruptSignals&) = delete;
    CInterruptSignals& operator=(const CInterruptSignals&) = delete;

    // True once one of the signals has come.
    static const std::atomic<bool>& StopFlag();
    // The first signal that came; 0 when none has.
    static int Received();
    // 128 plus that signal: 130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP; 0 when none came.
    static int ExitStatus();
};
