#include "link/connection_line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/port_connection.h"

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<long long>(left, 1 << 30)) : 0;
}

Clock::time_point DeadlineAfter(int constantMs, int perByteMs, std::size_t count)
{
    const long long total = static_cast<long long>(constantMs) + static_cast<long long>(perByteMs) * static_cast<long long>(count);
    return Clock::now() + std::chrono::milliseconds(total);
}

class CConnectionLine : public CPortLine {
public:
    explicit CConnectionLine(std::unique_ptr<CPortConnection> port) : m_port(std::move(port)), m_fd(m_port->Descriptor()) {}
    CConnectionLine(const CConnectionLine&) = delete;
    CConnectionLine& operator=(const CConnectionLine&) = delete;

    bool Write(std::span<const std::uint8_t> bytes, const LinkTimings& t) override
    {
        const auto deadline = DeadlineAfter(t.writeTotalConstant, t.writeTotalPerByte, bytes.size());
        std::size_t written = 0;
        while (written < bytes.size() && !StopRequested()) {
            const ssize_t n = Send(bytes.data() + written, bytes.size() - written);
            if (n > 0) {
                written += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                break;
            pollfd pfd{m_fd, POLLOUT, 0};
            const int wait = MillisecondsLeft(deadline);
            if (wait == 0)
                break;
            const int ready = ::poll(&pfd, 1, WaitSlice(wait));
            if (ready < 0 && errno != EINTR)
                break;
            if (ready > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)))
                break;
        }
        return written == bytes.size();
    }

    ReadEnd Read(std::span<std::uint8_t> buffer, const LinkTimings& t, std::size_t& got) override
    {
        const auto deadline = DeadlineAfter(t.readTotalConstant, t.readTotalPerByte, buffer.size());
        got = 0;
        auto lastByte = Clock::now();
        while (got < buffer.size()) {
            if (StopRequested())
                return ReadEnd::TimedOut;
            int wait = MillisecondsLeft(deadline);
            if (got > 0)
                wait = std::min(wait, MillisecondsLeft(lastByte + std::chrono::milliseconds(t.readInterval)));
            if (wait == 0)
                return ReadEnd::TimedOut;
            pollfd pfd{m_fd, POLLIN, 0};
            const int ready = ::poll(&pfd, 1, WaitSlice(wait));
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                return ReadEnd::HungUp;
            }
            if (ready == 0)
                continue;   // the limits are looked at again above
            if (pfd.revents & POLLNVAL)
                return ReadEnd::HungUp;
            // With POLLHUP the bytes still buffered are read first; the read after them fails.
            const ssize_t n = ::read(m_fd, buffer.data() + got, buffer.size() - got);
            if (n > 0) {
                got += static_cast<std::size_t>(n);
                lastByte = Clock::now();
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                return ReadEnd::HungUp;   // end of file, EIO: the far end closed, the device went away
        }
        return ReadEnd::Complete;
    }

    void Pause(int milliseconds) override
    {
        const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
        for (int left = MillisecondsLeft(end); left > 0 && !StopRequested(); left = MillisecondsLeft(end))
            std::this_thread::sleep_for(std::chrono::milliseconds(WaitSlice(left)));
    }

private:
    // A connection the server has closed fails the write (EPIPE) instead of raising SIGPIPE.
    ssize_t Send(const std::uint8_t* bytes, std::size_t count) const
    {
        return m_port->IsSerialDevice() ? ::write(m_fd, bytes, count) : ::send(m_fd, bytes, count, MSG_NOSIGNAL);
    }

    std::unique_ptr<CPortConnection> m_port;
    int m_fd;
};

} // namespace

LineOpening gw::OpenConnectionLine(const std::string& port, const std::atomic<bool>* stop)
{
    LineOpening opening;
    // The transfer line is always 19200 bit/s 8N1, whatever the subnet's items say.
    PortOpening held = OpenPortConnection(port, SerialLineSettings{}, stop);
    opening.reached = held.reached;
    opening.refusal = std::move(held.refusal);
    if (held.port)
        opening.line = std::make_unique<CConnectionLine>(std::move(held.port));
    return opening;
}
