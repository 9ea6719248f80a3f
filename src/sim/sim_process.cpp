#include "sim/sim_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

#include <unistd.h>

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) { g_stop.store(true); }

} // namespace

const std::atomic<bool>& InstallStopSignals()
{
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return g_stop;
}

bool AnnounceTerminal(const std::string& program, const std::string& linkPath, const std::string& terminal)
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
