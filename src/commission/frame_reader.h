#pragma once
// Reads Modbus RTU frames off a line: the first byte within a deadline, the following ones each
// within the gap after the one before, until the frame is as long as its first bytes say or
// the line falls silent. Bytes read past a frame wait for the next read.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

enum class LineRead {
    Frame,     // as many bytes as the frame announced
    Silence,   // bytes came, then the line stayed silent for the gap before the frame was whole
    Nothing,   // no byte by the deadline
    HungUp,    // the line is gone (error says why)
    Stopped,   // the stop flag was raised while waiting
};

using SteadyTime = std::chrono::steady_clock::time_point;

// A frame's whole length by its first bytes: > 0 known, 0 not yet, < 0 only silence ends it.
using FrameLength = std::function<int(std::span<const std::uint8_t>)>;

class CFrameReader {
public:
    explicit CFrameReader(int fd) : m_fd(fd) {}

    // A flag that, once raised, ends any wait within a tenth of a second (or at once when a
    // signal raised it).
    void SetStopFlag(const std::atomic<bool>* stop) { m_stop = stop; }

    LineRead ReadFrame(SteadyTime firstByteBy, std::chrono::microseconds gap, const FrameLength& lengthOf,
                       std::vector<std::uint8_t>& frame);
    // Everything that arrives until the line has been silent for gap, or until giveUpAt on a line
    // that never falls silent (Frame then; Silence when it fell silent).
    LineRead DrainUntilQuiet(std::chrono::microseconds gap, SteadyTime giveUpAt, std::vector<std::uint8_t>& bytes);
    // What has arrived already, without waiting.
    LineRead TakeWaiting(std::vector<std::uint8_t>& bytes);

    const std::string& Error() const { return m_error; }

private:
    // Waits until the line has bytes or the deadline passes, then reads what is there into
    // m_waiting. Nothing when the deadline passed first.
    LineRead Fill(SteadyTime deadline);

    int m_fd;
    const std::atomic<bool>* m_stop = nullptr;
    std::vector<std::uint8_t> m_waiting;   // read from the line, not handed out yet
    std::string m_error;
};
