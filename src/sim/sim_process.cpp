#include "sim/sim_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

#include <unistd.h>

#include "link/interrupt_signals.h"

const std::atomic<bool>& gw::InstallStopSignals()
{
    // Caught for the rest of the program's life.
    static const CInterruptSignals signals;
    signal(SIGPIPE, SIG_IGN);
    return CInterruptSignals::StopFlag();
}

bool gw::AnnounceTerminal(const std::string& program, const std::string& linkPath, const std::string& terminal)
{
    if (!linkPath.empty()) {
        unlink(linkPath.c_str());
        if (symlink(terminal.c_str(), linkPath.c_str()) != 0) {
            std::cerr << program << ": cannot link " << linkPath << ": " << std::strerror(errno) << '\n';
            return false;
        }
    }
    std::cout << terminal << std::endl;
    return true;
}
