#pragma once
// What a port talks through: a serial device, or bytes held in memory that play back a module.
// The slot of a run owns one line and keeps the protocol's rules (whole frames, whole replies);
// a line only moves bytes within the time limits it is given.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

// Time limits of the line, in milliseconds.
struct LinkTimings {
    int readInterval = 500;       // longest gap between two bytes of a reply
    int readTotalConstant = 500;  // a read ends at this plus readTotalPerByte per requested byte
    int readTotalPerByte = 500;
    int writeTotalConstant = 500; // a write must be done by this plus writeTotalPerByte per byte
    int writeTotalPerByte = 500;
    int transactPause = 100;      // between a request and the reading of its acknowledgement
};

// Why a read stopped.
enum class ReadEnd {
    Complete,   // the buffer is full
    TimedOut,   // the time limits ended it (possibly with some bytes)
    HungUp,     // the far end closed or the device went away
};

class CPortLine {
public:
    virtual ~CPortLine() = default;
    // A flag that, once true, ends the current write, read or pause at once (a write then
    // answers false, a read TimedOut with what it has); none by default.
    void SetStopRequest(const std::atomic<bool>* stop) { m_stop = stop; }
    bool StopRequested() const { return m_stop && m_stop->load(); }
    // Writes all the bytes within the write limits; false when they did not all go out.
    virtual bool Write(std::span<const std::uint8_t> bytes, const LinkTimings& timings) = 0;
    // Reads into buffer until it is full, the read limits end the read or the line hangs up;
    // received gets the number of bytes read.
    virtual ReadEnd Read(std::span<std::uint8_t> buffer, const LinkTimings& timings, std::size_t& received) = 0;
    // The pause between a request and the reading of its acknowledgement.
    virtual void Pause(int milliseconds) = 0;

protected:
    // How long a line waits at most before it looks at the stop request again.
    static constexpr int kStopCheckMilliseconds = 20;
    // A wait of up to milliseconds, cut into slices when a stop request is watched.
    int WaitSlice(int milliseconds) const { return m_stop && milliseconds > kStopCheckMilliseconds ? kStopCheckMilliseconds : milliseconds; }

private:
    const std::atomic<bool>* m_stop = nullptr;
};
