#pragma once
// The serial link under the transfer protocol: one exclusively held port at 19200 bit/s 8N1,
// whole-frame writes, reads of a known length with the module's time-outs, the comparison of a
// reply with the acknowledgement it must be, and the one-byte checksum of every frame.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "link/link_observer.h"
#include "link/port_line.h"
#include "model/outcome.h"
#include "model/wire_layout.h"

class CPortSlot;

namespace gw {

// The functions that are CPortSlot's friends, declared before it; they are described below.
Outcome OpenPort(CPortSlot& slot, const std::string& device);
void AttachLine(CPortSlot& slot, std::unique_ptr<CPortLine> line);
ResultCode WriteFrame(CPortSlot& slot, std::span<const std::uint8_t> bytes);
ResultCode ReadFrame(CPortSlot& slot, std::span<std::uint8_t> buffer, std::size_t* received);
ResultCode Transact(CPortSlot& slot, std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                    std::span<const std::uint8_t> expected);

} // namespace gw

// The port of one transfer run. It closes itself when it goes out of scope; a failing write,
// read or set-up closes it at once and leaves it cleared, so nothing uses it afterwards.
class CPortSlot {
public:
    enum class State { NotOpened, Open, Cleared };

    CPortSlot() = default;
    // The observer may be gone by now: nothing more is reported.
    ~CPortSlot()
    {
        m_observer = nullptr;
        Close();
    }
    CPortSlot(const CPortSlot&) = delete;
    CPortSlot& operator=(const CPortSlot&) = delete;

    State GetState() const { return m_state; }
    bool IsOpen() const { return m_state == State::Open; }
    // Closes an open port (the slot is then cleared); does nothing otherwise.
    void Close();

    // A flag that, once true, ends the run: the write, read or pause under way ends at once, the
    // port is closed and the exchange fails with RESULT_STOPPED. None by default.
    void SetStopRequest(const std::atomic<bool>* stop);
    bool StopRequested() const { return m_stop && m_stop->load(); }

    // The hardware version the module must report: any other ends the run with 9 before a
    // configuration frame is sent. None by default.
    void ExpectVersion(std::optional<HardwareVersion> version) { m_expectedVersion = version; }
    const std::optional<HardwareVersion>& ExpectedVersion() const { return m_expectedVersion; }

    // Frames the run has started to write, whether or not they went out whole.
    int FramesWritten() const { return m_framesWritten; }

    void SetObserver(CLinkObserver* observer) { m_observer = observer; }
    CLinkObserver* Observer() const { return m_observer; }
    LinkTimings& Timings() { return m_timings; }
    const LinkTimings& Timings() const { return m_timings; }

    // Exchanges are counted for the progress shown to the user. The total is set once the
    // transfer knows it; until then exchanges are reported against a total of 0 (not known yet).
    // Each exchange is reported once, when the next request goes out, the total becomes known
    // or the port closes, so that the count never repeats and the share done never shrinks.
    void SetTotalExchanges(int total);
    int DoneExchanges() const { return m_done; }
    int TotalExchanges() const { return m_total; }

private:
    friend Outcome gw::OpenPort(CPortSlot& slot, const std::string& device);
    friend void gw::AttachLine(CPortSlot& slot, std::unique_ptr<CPortLine> line);
    friend ResultCode gw::WriteFrame(CPortSlot& slot, std::span<const std::uint8_t> bytes);
    friend ResultCode gw::ReadFrame(CPortSlot& slot, std::span<std::uint8_t> buffer, std::size_t* received);
    friend ResultCode gw::Transact(CPortSlot& slot, std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                               std::span<const std::uint8_t> expected);
    // Closes after a failure: the slot is cleared.
    void Fail();
    // Closes after a stop request: RESULT_STOPPED.
    ResultCode Stop();
    void CountExchange()
    {
        ++m_done;
        m_unreported = true;
    }
    // Tells the observer of the last exchange counted, once.
    void ReportProgress();

    std::unique_ptr<CPortLine> m_line;
    State m_state = State::NotOpened;
    CLinkObserver* m_observer = nullptr;
    const std::atomic<bool>* m_stop = nullptr;
    LinkTimings m_timings;
    std::optional<HardwareVersion> m_expectedVersion;
    int m_framesWritten = 0;
    int m_done = 0;
    int m_total = 0;
    bool m_unreported = false;   // the last exchange counted has not been reported yet
};

namespace gw {

// Opens the port (a device path such as /dev/ttyUSB0 or a pseudo-terminal held exclusively, or
// a serial device server: socket://HOST:PORT, rfc2217://HOST:PORT), sets its line to raw
// 19200 bit/s, 8 data bits, no parity, 1 stop bit, and empties the buffers. A failure has the
// code RESULT_PORT_NOT_OPENED and says why in a sentence for the user.
Outcome OpenPort(CPortSlot& slot, const std::string& device);

// Makes line the open port of the slot (a line in memory, for one).
void AttachLine(CPortSlot& slot, std::unique_ptr<CPortLine> line);

// Writes the whole frame; anything less fails. 0 or 5 (or RESULT_STOPPED, as every exchange
// after a stop request).
ResultCode WriteFrame(CPortSlot& slot, std::span<const std::uint8_t> bytes);

// Reads a reply of buffer.size() bytes. 0 when it arrived whole; 3 when the time limits ended it
// short (the port stays open; the bytes not received keep what the buffer held); 5 when no byte
// came at all or the line hung up, whatever had arrived. received (optional) gets the count.
ResultCode ReadFrame(CPortSlot& slot, std::span<std::uint8_t> buffer, std::size_t* received = nullptr);

// 0 when the first expected.size() bytes of received equal expected, 3 otherwise.
ResultCode CompareReply(std::span<const std::uint8_t> received, std::span<const std::uint8_t> expected);

// One request answered by a fixed acknowledgement: the reply buffer is cleared, the request
// written, the pause waited, the reply read and compared. 0, 3, 5 or RESULT_STOPPED.
ResultCode Transact(CPortSlot& slot, std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                    std::span<const std::uint8_t> expected);

// The 8-bit wrapping sum of the bytes: the last byte of every frame.
std::uint8_t Checksum8(std::span<const std::uint8_t> bytes);

} // namespace gw
