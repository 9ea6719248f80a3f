#include "commission/frame_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace {

// Long waits are cut into slices, so that a raised stop flag is seen.
constexpr std::chrono::milliseconds kWaitSlice{100};

timespec Remaining(SteadyTime deadline)
{
    const auto left = std::clamp(deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero(),
                                 std::chrono::steady_clock::duration(kWaitSlice));
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

} // namespace

LineRead CFrameReader::Fill(SteadyTime deadline)
{
    for (;;) {
        if (m_stop && m_stop->load())
            return LineRead::Stopped;
        pollfd pfd{m_fd, POLLIN, 0};
        const timespec wait = Remaining(deadline);
        const int ready = ::ppoll(&pfd, 1, &wait, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            m_error = std::strerror(errno);
            return LineRead::HungUp;
        }
        if (ready == 0 && std::chrono::steady_clock::now() < deadline)
            continue;
        if (ready == 0)
            return LineRead::Nothing;
        std::uint8_t buffer[512];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0) {
            m_waiting.insert(m_waiting.end(), buffer, buffer + got);
            return LineRead::Frame;
        }
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        // End of file or an error such as EIO: the device or the far end went away.
        m_error = got == 0 || (pfd.revents & POLLHUP) ? "the line hung up" : "the line failed";
        if (got < 0)
            m_error += std::string(" (") + std::strerror(errno) + ")";
        return LineRead::HungUp;
    }
}

LineRead CFrameReader::ReadFrame(SteadyTime firstByteBy, std::chrono::microseconds gap, const FrameLength& lengthOf,
                                 std::vector<std::uint8_t>& frame)
{
    frame.clear();
    SteadyTime deadline = firstByteBy;
    for (;;) {
        // Hand out waiting bytes one at a time, so that the frame takes no byte past its end.
        while (!m_waiting.empty()) {
            const int length = frame.empty() ? 0 : lengthOf(frame);
            if (length > 0 && frame.size() >= static_cast<std::size_t>(length))
                return LineRead::Frame;
            frame.push_back(m_waiting.front());
            m_waiting.erase(m_waiting.begin());
            deadline = std::chrono::steady_clock::now() + gap;
        }
        if (!frame.empty()) {
            const int length = lengthOf(frame);
            if (length > 0 && frame.size() >= static_cast<std::size_t>(length))
                return LineRead::Frame;
        }
        const LineRead filled = Fill(deadline);
        if (filled == LineRead::HungUp || filled == LineRead::Stopped)
            return filled;
        if (filled == LineRead::Nothing)
            return frame.empty() ? LineRead::Nothing : LineRead::Silence;
    }
}

LineRead CFrameReader::DrainUntilQuiet(std::chrono::microseconds gap, SteadyTime giveUpAt, std::vector<std::uint8_t>& bytes)
{
    bytes = std::move(m_waiting);
    m_waiting.clear();
    for (;;) {
        const SteadyTime quietBy = std::chrono::steady_clock::now() + gap;
        const LineRead filled = Fill(std::min(quietBy, giveUpAt));
        bytes.insert(bytes.end(), m_waiting.begin(), m_waiting.end());
        m_waiting.clear();
        if (filled == LineRead::HungUp || filled == LineRead::Stopped)
            return filled;
        if (filled == LineRead::Nothing)
            return quietBy <= giveUpAt ? LineRead::Silence : LineRead::Frame;
        if (std::chrono::steady_clock::now() >= giveUpAt)
            return LineRead::Frame;
    }
}

LineRead CFrameReader::TakeWaiting(std::vector<std::uint8_t>& bytes)
{
    const LineRead filled = Fill(std::chrono::steady_clock::now());
    bytes = std::move(m_waiting);
    m_waiting.clear();
    return filled == LineRead::HungUp || filled == LineRead::Stopped ? filled : LineRead::Silence;
}
