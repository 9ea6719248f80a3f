#pragma once
// The Modbus RTU master on a serial port, as the module plays it on its serial side.
// Owns the libmodbus context and with it the open port.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "commission/command_request.h"
#include "commission/line_settings.h"

enum class PollStatus { Ok, Timeout, Exception, Error, Skipped };

// "ok", "timeout", "exception", "error", "skipped".
const char* PollStatusName(PollStatus status);

struct PollOutcome {
    PollStatus status = PollStatus::Skipped;
    int exceptionCode = 0;          // the slave's Modbus exception code, 0 for none
    std::string detail;             // exception name or error text; empty when ok or skipped
    double ms = 0;                  // from the request's first byte out to the reply's last byte in
    std::vector<std::uint16_t> values;   // registers, or coils and inputs as 0/1
};

// Why these values cannot go out with the write command (wrong number of values, a coil other
// than 0/1, a read command); empty when they can.
std::string CheckWriteValues(const CommandRequest& request, std::span<const std::uint16_t> values);

struct OpenOutcome {
    bool ok = false;
    bool refusedSetting = false;    // the port opened but would not take a setting
    std::string message;
};

class CModbusMaster {
public:
    CModbusMaster();
    ~CModbusMaster();
    CModbusMaster(const CModbusMaster&) = delete;
    CModbusMaster& operator=(const CModbusMaster&) = delete;

    // Opens the port with the line settings and checks that the port took each of them.
    OpenOutcome Open(const std::string& port, const LineSettings& settings);
    void Close();
    bool IsOpen() const;

    // Sends one read request and waits for its reply.
    PollOutcome Read(const CommandRequest& request);
    // Sends one write request with the values (coils as 0/1) and waits for its reply.
    PollOutcome Write(const CommandRequest& request, std::span<const std::uint16_t> values);

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};
