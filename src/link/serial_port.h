#pragma once
// The serial link under the transfer protocol: one exclusively held port at 19200 bit/s 8N1,
// whole-frame writes, reads of a known length with the module's time-outs, the comparison of a
// reply with the acknowledgement it must be, and the one-byte checksum of every frame.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "link/link_observer.h"
#include "model/result_codes.h"

// Time limits of the line, in milliseconds.
struct LinkTimings {
    int readInterval = 500;       // longest gap between two bytes of a reply
    int readTotalConstant = 500;  // a read ends at this plus readTotalPerByte per requested byte
    int readTotalPerByte = 500;
    int writeTotalConstant = 500; // a write must be done by this plus writeTotalPerByte per byte
    int writeTotalPerByte = 500;
    int transactPause = 100;      // between a request and the reading of its acknowledgement
};

// The port of one transfer run. It closes itself when it goes out of scope; a failing write,
// read or set-up closes it at once and leaves it cleared, so nothing uses it afterwards.
class CPortSlot {
public:
    enum class State { NotOpened, Open, Cleared };

    CPortSlot() = default;
    ~CPortSlot() { Close(); }
    CPortSlot(const CPortSlot&) = delete;
    CPortSlot& operator=(const CPortSlot&) = delete;

    State GetState() const { return m_state; }
    bool IsOpen() const { return m_state == State::Open; }
    // Closes an open port (the slot is then cleared); does nothing otherwise.
    void Close();

    void SetObserver(CLinkObserver* observer) { m_observer = observer; }
    CLinkObserver* Observer() const { return m_observer; }
    LinkTimings& Timings() { return m_timings; }
    const LinkTimings& Timings() const { return m_timings; }

    // Exchanges are counted for the progress shown to the user.
    void PlanExchanges(int planned);
    void AddPlannedExchanges(int more) { PlanExchanges(m_planned + more); }
    void CountExchange();
    int DoneExchanges() const { return m_done; }
    int PlannedExchanges() const { return m_planned; }

private:
    friend ResultCode OpenPort(CPortSlot& slot, const std::string& device);
    friend ResultCode WriteFrame(CPortSlot& slot, std::span<const std::uint8_t> bytes);
    friend ResultCode ReadFrame(CPortSlot& slot, std::span<std::uint8_t> buffer, std::size_t* received);
    // Closes after a failure: the slot is cleared.
    void Fail();

    int m_fd = -1;
    State m_state = State::NotOpened;
    CLinkObserver* m_observer = nullptr;
    LinkTimings m_timings;
    int m_done = 0;
    int m_planned = 0;
};

// Opens the device (a path such as /dev/ttyUSB0 or a pseudo-terminal) exclusively, sets it to
// raw 19200 bit/s, 8 data bits, no parity, 1 stop bit, and empties both buffers. 0 or 4.
ResultCode OpenPort(CPortSlot& slot, const std::string& device);

// Writes the whole frame; anything less fails. 0 or 5.
ResultCode WriteFrame(CPortSlot& slot, std::span<const std::uint8_t> bytes);

// Reads up to buffer.size() bytes; a short read counts, no byte at all fails. The bytes not
// received keep what the buffer held. 0 or 5; received (optional) gets the count.
ResultCode ReadFrame(CPortSlot& slot, std::span<std::uint8_t> buffer, std::size_t* received = nullptr);

// 0 when the first expected.size() bytes of received equal expected, 3 otherwise.
ResultCode CompareReply(std::span<const std::uint8_t> received, std::span<const std::uint8_t> expected);

// One request answered by a fixed acknowledgement: the reply buffer is cleared, the request
// written, the pause waited, the reply read and compared. 0, 3 or 5.
ResultCode Transact(CPortSlot& slot, std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                    std::span<const std::uint8_t> expected);

// The 8-bit wrapping sum of the bytes: the last byte of every frame.
std::uint8_t Checksum8(std::span<const std::uint8_t> bytes);
