#pragma once
// What every simulator program does around its line: stop cleanly on SIGTERM, SIGINT or SIGHUP, and
// give its terminal a fixed name on request.

#include <atomic>
#include <string>

namespace gw {

// Installs the handlers (and ignores SIGPIPE); the flag turns true when a stop signal arrives.
const std::atomic<bool>& InstallStopSignals();

// Makes linkPath (when given) a symbolic link to terminal, replacing what is there, and prints
// the terminal's path on stdout. False after saying why on stderr, after the program's name.
bool AnnounceTerminal(const std::string& program, const std::string& linkPath, const std::string& terminal);

} // namespace gw
