#pragma once
// The Modbus RTU master on a serial port, as the module plays it on its serial side. Requests
// go out through libmodbus; every frame that comes back is judged against its request, so that
// a late, cut, echoed or foreign frame is never taken for an answer.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "commission/command_request.h"
#include "commission/direction_control.h"
#include "commission/line_settings.h"
#include "link/link_observer.h"

enum class PollStatus { Ok, Timeout, Incomplete, Exception, Error, Skipped };

namespace gw {

// "ok", "timeout", "incomplete", "exception", "error", "skipped".
const char* PollStatusName(PollStatus status);

} // namespace gw

struct PollOutcome {
    PollStatus status = PollStatus::Skipped;
    int exceptionCode = 0;          // the slave's Modbus exception code, 0 for none
    std::string detail;             // exception name or error text; empty when ok or skipped
    std::vector<std::string> notes; // what else happened on the line meanwhile (a late reply discarded ...)
    double ms = 0;                  // from the request's first byte out to the reply's last byte in
    std::vector<std::uint16_t> values;   // registers, or coils and inputs as 0/1
    bool lineLost = false;          // the port went away: nothing more can be sent
    bool stopped = false;           // the stop flag cut the exchange short: it has no outcome
};

namespace gw {

// Why these values cannot go out with the write command (wrong number of values, a coil other
// than 0/1, a read command); empty when they can.
std::string CheckWriteValues(const CommandRequest& request, std::span<const std::uint16_t> values);

} // namespace gw

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
    OpenOutcome Open(const std::string& port, const LineSettings& settings,
                     DirectionControl direction = DirectionControl::None);
    void Close();
    bool IsOpen() const;
    // A flag that, once raised, ends the exchange in progress soon (an outcome marked stopped).
    void SetStopFlag(const std::atomic<bool>* stop);
    // Sees every request sent and every frame or stray byte read (none by default).
    void SetObserver(CLinkObserver* observer);

    // Sends command number's read request and waits for its reply.
    PollOutcome Read(const CommandRequest& request, int number = 0);
    // Sends command number's write request with the values (coils as 0/1) and waits for its reply.
    PollOutcome Write(const CommandRequest& request, std::span<const std::uint16_t> values, int number = 0);

    // The silence that ends a reply early, from the line speed, with the floor USB adapters need.
    static std::chrono::microseconds ByteGap(const LineSettings& settings);

private:
    struct Context;
    std::unique_ptr<Context> m_context;
    const std::atomic<bool>* m_stop = nullptr;
    CLinkObserver* m_observer = nullptr;
};
