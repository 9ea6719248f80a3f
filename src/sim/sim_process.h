#pragma once
// What every simulator program does around its line: stop cleanly on SIGTERM or SIGINT, and
// give its terminal a fixed name on request.

#include <atomic>
#include <string>

// Installs the handlers (and ignores SIGPIPE); the flag turns true when a stop signal arrives.
const std::atomic<bool>& InstallStopSignals();

// Makes linkPath a symbolic link to terminal, replacing what is there; false with a message.
bool LinkTerminal(const std::string& linkPath, const std::string& terminal, std::string& error);
