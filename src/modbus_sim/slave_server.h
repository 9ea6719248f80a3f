#pragma once
// The simulated Modbus RTU slave: libmodbus's server side on a new pseudo-terminal or a serial
// device, answering from its four tables, with the faults a real slave shows.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <ostream>
#include <span>
#include <string>

#include "commission/direction_control.h"
#include "modbus_sim/slave_tables.h"
#include "sim/sim_line.h"
#include "model/outcome.h"

struct SlaveFaults {
    bool noAnswer = false;       // take every request, answer none
    int exceptionFirst = -1;     // requests touching these addresses get exceptionCode; -1: none
    int exceptionLast = -1;
    int exceptionCode = 2;       // illegal data address
    int slowMs = 0;              // wait this long before each answer
    int silentEvery = 0;         // leave every n-th request to this slave unanswered; 0: none
};

struct SlaveSerialSettings {
    int baud = 19200;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
    DirectionControl direction = DirectionControl::None;
};

struct SlaveServeOptions {
    int address = 1;
    int idleExitSeconds = 0;     // 0: never
    bool verbose = false;        // log every request on the log stream
    // Take as long as a real line would: a request counts as arriving over the wire at the
    // serial settings' pace, then 3.5 characters of silence, then the reply arrives when its
    // last byte would have crossed the wire at that pace. 0: answer at once.
    double charSeconds = 0;
};

namespace gw {

// Seconds one character takes on a line: start bit, data bits, parity bit, stop bits.
double CharacterSeconds(const SlaveSerialSettings& settings);

} // namespace gw

class CModbusSlaveServer {
public:
    CModbusSlaveServer();
    ~CModbusSlaveServer();
    CModbusSlaveServer(const CModbusSlaveServer&) = delete;
    CModbusSlaveServer& operator=(const CModbusSlaveServer&) = delete;

    // A new pseudo-terminal; TerminalPath() is the end a master opens.
    Outcome OpenPseudoTerminal();
    // A real serial device with these settings.
    Outcome OpenDevice(const std::string& path, const SlaveSerialSettings& settings);
    const std::string& TerminalPath() const { return m_path; }

    Outcome SetTables(const SlaveTables& tables);

    // Answers requests until stop is set or the line has been idle for idleExitSeconds; returns
    // the exit status (0).
    int Serve(const SlaveServeOptions& options, const SlaveFaults& faults, const std::atomic<bool>& stop,
              std::ostream& log);

private:
    // The libmodbus slave on the line just opened.
    Outcome SetUp(const SlaveSerialSettings& settings);
    // Sends the reply to a request (an exception when exception is not 0), at the pace of the
    // line when charSeconds is given.
    void Answer(std::span<const std::uint8_t> frame, int exception, double charSeconds, int slowMs,
                std::chrono::steady_clock::time_point arrived);

    struct Context;
    std::unique_ptr<Context> m_context;
    CSimLine m_line;
    std::string m_path;
};
