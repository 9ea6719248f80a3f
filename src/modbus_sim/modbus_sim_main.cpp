// modbus-slave-sim: a Modbus RTU slave on a pseudo-terminal (or a serial device), so that the
// commissioning tools can be tried without hardware.

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <unistd.h>

#include "modbus_sim/slave_server.h"
#include "sim/sim_arguments.h"
#include "sim/sim_process.h"
#include "version/build_version.h"

namespace {

// "FIRST-LAST[:CODE]" or "ADDRESS[:CODE]".
bool ParseExceptionRange(const std::string& text, SlaveFaults& faults)
{
    unsigned first = 0, last = 0, code = 2;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%u-%u:%u%c", &first, &last, &code, &extra) == 3 ||
        (code = 2, std::sscanf(text.c_str(), "%u-%u%c", &first, &last, &extra) == 2)) {
    } else if (std::sscanf(text.c_str(), "%u:%u%c", &first, &code, &extra) == 2 ||
               (code = 2, std::sscanf(text.c_str(), "%u%c", &first, &extra) == 1)) {
        last = first;
    } else {
        return false;
    }
    if (first > last || last > 0xFFFF || code < 1 || code > 255)
        return false;
    faults.exceptionFirst = static_cast<int>(first);
    faults.exceptionLast = static_cast<int>(last);
    faults.exceptionCode = static_cast<int>(code);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"modbus-slave-sim: a Modbus RTU slave on a new pseudo-terminal, for trying the gateway's Modbus "
                 "commands without hardware. Prints the terminal's path, then answers requests.",
                 "modbus-slave-sim"};
    app.set_version_flag("--version", std::string("modbus-slave-sim ") + gw::BuildVersion());
    SlaveServeOptions serve;
    SlaveFaults faults;
    SlaveSerialSettings serial;
    std::string linkPath, portPath, tableFile, exceptionRange, parity = "N";
    std::vector<std::string> tableTexts[kSlaveTableCount];

    app.add_option("-a,--address", serve.address, "Slave address (default 1)")->check(CLI::Range(1, 247));
    app.add_option("--link", linkPath, "Make PATH a symbolic link to the new pseudo-terminal");
    app.add_option("--port", portPath, "Serve this serial device instead of a new pseudo-terminal");
    app.add_option("--baud", serial.baud, "Baud rate on --port and for --wire-time (default 19200)")->check(CLI::PositiveNumber);
    app.add_option("--parity", parity, "Parity on --port and for --wire-time: N, E, O, M (mark) or S (space) (default N)")
        ->check(CLI::IsMember({"N", "E", "O", "M", "S"}));
    app.add_option("--data-bits", serial.dataBits, "Data bits on --port (default 8)")->check(CLI::IsMember({7, 8}));
    app.add_option("--stop-bits", serial.stopBits, "Stop bits on --port (default 1)")->check(CLI::IsMember({1, 2}));
    bool rs485 = false;
    std::string rts;
    app.add_flag("--rs485", rs485, "Switch --port's driver to its RS-485 mode (on-board UARTs)");
    app.add_option("--rts", rts, "Drive --port's transmitter by RTS: raised (up) or lowered (down) while sending")
        ->check(CLI::IsMember({"up", "down"}));
    app.add_option("--coils", tableTexts[TABLE_COILS], "Coils from START: START=V[,V...] (0/1); may be repeated");
    app.add_option("--inputs", tableTexts[TABLE_INPUTS], "Discrete inputs from START: START=V[,V...]");
    app.add_option("--holding", tableTexts[TABLE_HOLDING], "Holding registers from START: START=V[,V...]");
    app.add_option("--input-registers", tableTexts[TABLE_INPUT_REGISTERS], "Input registers from START: START=V[,V...]");
    app.add_option("--tables", tableFile, "Read table values from FILE: lines such as 'holding 100 = 1, 2, 0x10'");
    app.add_flag("--no-answer", faults.noAnswer, "Fault: take requests but answer none");
    app.add_option("--exception", exceptionRange,
                   "Fault: answer requests touching FIRST-LAST with exception CODE (FIRST-LAST[:CODE], default 2)");
    app.add_option("--slow", faults.slowMs, "Fault: wait MS milliseconds before each answer")->check(CLI::Range(0, 600000));
    app.add_option("--silent-every", faults.silentEvery, "Fault: leave every Nth request unanswered")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    app.add_option("--idle-exit", serve.idleExitSeconds, "Stop after SECONDS without traffic")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    bool wireTime = false;
    app.add_flag("--wire-time", wireTime,
                 "Take as long as a line at --baud, --parity, --data-bits, --stop-bits does (also on a pseudo-terminal)");
    app.add_flag("-v,--verbose", serve.verbose, "Log every request on stderr");
    app.footer("A table given no values holds addresses 0-99: registers hold their address, coils and inputs its\n"
               "lowest bit. Addresses between given values hold 0; addresses outside a table's range get exception 2.\n"
               "Stops on SIGTERM or SIGINT.");
    if (const std::optional<int> status = gw::ParseSimulatorArguments(app, argc, argv))
        return *status;
    if (!exceptionRange.empty() && !ParseExceptionRange(exceptionRange, faults)) {
        std::cerr << "modbus-slave-sim: --exception takes FIRST-LAST[:CODE], not \"" << exceptionRange << "\"\n";
        return 64;
    }
    if (!linkPath.empty() && !portPath.empty()) {
        std::cerr << "modbus-slave-sim: --link and --port cannot be used together\n";
        return 64;
    }
    if ((rs485 || !rts.empty()) && portPath.empty()) {
        std::cerr << "modbus-slave-sim: --rs485 and --rts drive a serial device: they need --port\n";
        return 64;
    }
    if (rs485 && !rts.empty()) {
        std::cerr << "modbus-slave-sim: --rs485 and --rts cannot be used together\n";
        return 64;
    }
    serial.direction = rs485 ? DirectionControl::KernelRs485
                       : rts == "up" ? DirectionControl::RtsHigh
                       : rts == "down" ? DirectionControl::RtsLow
                                       : DirectionControl::None;
    serial.parity = parity[0];
    if (wireTime)
        serve.charSeconds = gw::CharacterSeconds(serial);

    SlaveTables tables;
    if (const Outcome loaded = tableFile.empty() ? Outcome{} : gw::LoadTableFile(tables, tableFile); !loaded) {
        std::cerr << "modbus-slave-sim: " << loaded.message << '\n';
        return 65;
    }
    for (int table = 0; table < kSlaveTableCount; ++table) {
        for (const std::string& text : tableTexts[table]) {
            if (const Outcome added = gw::AddTableValues(tables, table, text); !added) {
                std::cerr << "modbus-slave-sim: --" << added.message << '\n';
                return 64;
            }
        }
    }
    gw::FillDefaultTables(tables);

    const std::atomic<bool>& stop = gw::InstallStopSignals();
    CModbusSlaveServer server;
    Outcome ready = portPath.empty() ? server.OpenPseudoTerminal() : server.OpenDevice(portPath, serial);
    if (ready)
        ready = server.SetTables(tables);
    if (!ready) {
        std::cerr << "modbus-slave-sim: " << ready.message << '\n';
        return 1;
    }
    if (!gw::AnnounceTerminal("modbus-slave-sim", linkPath, server.TerminalPath()))
        return 1;
    const int status = server.Serve(serve, faults, stop, std::cerr);
    if (!linkPath.empty())
        unlink(linkPath.c_str());
    return status;
}
