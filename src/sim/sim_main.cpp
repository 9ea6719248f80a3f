// gateway-sim: a stand-in for the gateway module on the end of a serial line.

#include <limits>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include "file/regular_file.h"
#include "model/wire_layout.h"
#include "sim/module_responder.h"
#include "sim/sim_arguments.h"
#include "sim/sim_process.h"
#include "sim/sim_server.h"
#include "version/build_version.h"

int main(int argc, char** argv)
{
    CLI::App app{"gateway-sim: simulates the PROFIBUS-DP / serial gateway module on a serial line",
                 "gateway-sim"};
    app.set_version_flag("--version", std::string("gateway-sim ") + gw::BuildVersion());
    std::string linkPath, portPath, statePath, version = "2.1";
    int product = 0x81;
    bool wireTime = false;
    SimFaults faults;
    SimServeOptions serve;
    std::string faultOn;

    app.add_option("--link", linkPath, "Make PATH a symbolic link to the new pseudo-terminal");
    app.add_option("--port", portPath, "Serve this serial device instead of a new pseudo-terminal");
    app.add_option("--state", statePath, "Keep the downloaded configuration in FILE (read at start when it exists)");
    app.add_option("--product", product, "Product code in the version reply (default 0x81)")
        ->check(CLI::Range(0, 255));
    app.add_option("--hw-version", version, "Hardware version MAJOR.MINOR (default 2.1)");
    app.add_flag("--wire-time", wireTime, "Take as long for every byte as a 19200 8N1 line does");
    app.add_option("--idle-exit", serve.idleExitSeconds, "Stop after SECONDS without traffic")->check(CLI::Range(0, std::numeric_limits<int>::max()));
    app.add_flag("-v,--verbose", serve.verbose, "Log every frame on stderr");
    app.add_flag("--no-answer", faults.noAnswer, "Fault: do not answer");
    app.add_flag("--bad-checksum", faults.badChecksum, "Fault: answer with a wrong checksum");
    app.add_flag("--short-reply", faults.shortReply, "Fault: send only the first half of each reply");
    app.add_option("--fault-on", faultOn, "Apply the fault only to requests with this command code (hex, e.g. 10)");
    app.add_option("--fault-after", faults.after, "Answer the first N requests normally")->check(CLI::Range(0, std::numeric_limits<int>::max()));
    app.add_option("--drop-after", faults.dropAfter, "Hang up the line after N answered requests")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    if (const std::optional<int> status = gw::ParseSimulatorArguments(app, argc, argv))
        return *status;

    SimIdentity identity;
    identity.product = static_cast<std::uint8_t>(product);
    HardwareVersion parsed;
    if (!gw::ParseHardwareVersion(version, parsed)) {
        std::cerr << "gateway-sim: --hw-version takes MAJOR.MINOR, such as 2.0, not \"" << version << "\"\n";
        return 64;
    }
    identity.major = parsed.major;
    identity.minor = parsed.minor;
    if (!faultOn.empty()) {
        char* end = nullptr;
        const long code = std::strtol(faultOn.c_str(), &end, 16);
        if (*end != '\0' || code < 0 || code > 255) {
            std::cerr << "gateway-sim: --fault-on takes a command code in hex, not \"" << faultOn << "\"\n";
            return 64;
        }
        faults.onCommand = static_cast<int>(code);
    }
    if (!linkPath.empty() && !portPath.empty()) {
        std::cerr << "gateway-sim: --link and --port cannot be used together\n";
        return 64;
    }

    ModuleState state = ModuleState::Factory();
    serve.statePath = statePath;
    // The state file is written after every download: a device or FIFO there is refused now.
    if (struct stat st {}; !statePath.empty() && stat(statePath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        std::cerr << "gateway-sim: " << statePath << ": " << gw::NotARegularFile(st.st_mode) << '\n';
        return 74;
    }
    if (!statePath.empty() && access(statePath.c_str(), F_OK) == 0) {
        if (const Outcome loaded = gw::LoadModuleState(statePath, state); !loaded) {
            std::cerr << "gateway-sim: " << loaded.message << '\n';
            return 65;
        }
    }

    const std::atomic<bool>& stop = gw::InstallStopSignals();
    CSimLine line;
    line.SetWireTime(wireTime);
    if (const Outcome opened = portPath.empty() ? line.OpenPseudoTerminal() : line.OpenDevice(portPath); !opened) {
        std::cerr << "gateway-sim: " << opened.message << '\n';
        return 1;
    }
    if (!gw::AnnounceTerminal("gateway-sim", linkPath, line.TerminalPath()))
        return 1;

    CModuleResponder responder(identity, faults, state);
    const int status = gw::ServeLine(line, responder, serve, stop, std::cerr);
    line.Close();
    if (!linkPath.empty())
        unlink(linkPath.c_str());
    return status;
}
