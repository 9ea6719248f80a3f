#include "link/tty_line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "link/uucp_lock.h"

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

// Raw binary 8N1 at 19200 bit/s. Software flow control is switched off because its XON and
// XOFF bytes occur in frames; the hardware flow-control setting of the port is kept.
bool ConfigureLine(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    const tcflag_t hardwareFlow = tio.c_cflag & CRTSCTS;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL | hardwareFlow;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, B19200) != 0 || cfsetospeed(&tio, B19200) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

class CTtyLine : public CPortLine {
public:
    CTtyLine(int fd, std::unique_ptr<CSerialLock> lock) : m_fd(fd), m_lock(std::move(lock)) {}
    ~CTtyLine() override
    {
        // Let the next program open the line again once the run is over; the lock file goes last.
        ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
    }
    CTtyLine(const CTtyLine&) = delete;
    CTtyLine& operator=(const CTtyLine&) = delete;

    bool Write(std::span<const std::uint8_t> bytes, const LinkTimings& t) override
    {
        const auto deadline = DeadlineAfter(t.writeTotalConstant, t.writeTotalPerByte, bytes.size());
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.data() + written, bytes.size() - written);
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
            const int ready = ::poll(&pfd, 1, wait);
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
        while (got < buffer.size()) {
            int wait = MillisecondsLeft(deadline);
            if (got > 0)
                wait = std::min(wait, t.readInterval);
            if (wait == 0)
                return ReadEnd::TimedOut;
            pollfd pfd{m_fd, POLLIN, 0};
            const int ready = ::poll(&pfd, 1, wait);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                return ReadEnd::HungUp;
            }
            if (ready == 0)
                return ReadEnd::TimedOut;
            if (pfd.revents & POLLNVAL)
                return ReadEnd::HungUp;
            // With POLLHUP the bytes still buffered are read first; the read after them fails.
            const ssize_t n = ::read(m_fd, buffer.data() + got, buffer.size() - got);
            if (n > 0)
                got += static_cast<std::size_t>(n);
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                return ReadEnd::HungUp;   // end of file, EIO: the far end closed, the device went away
        }
        return ReadEnd::Complete;
    }

    void Pause(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

private:
    int m_fd;
    std::unique_ptr<CSerialLock> m_lock;
};

} // namespace

TtyOpening OpenTtyLine(const std::string& device)
{
    TtyOpening opening;
    if (device.empty())
        return opening;
    // The lock file first: a port that a terminal program holds is not even opened.
    auto lock = std::make_unique<CSerialLock>();
    pid_t holder = 0;
    if (!lock->Acquire(device, holder)) {
        opening.refusal = "The port is in use by process " + std::to_string(holder) + ".";
        return opening;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return opening;
    // Held by another program: the lock is refused (TIOCEXCL alone does not stop root).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return opening;
    }
    auto line = std::make_unique<CTtyLine>(fd, std::move(lock));
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || !ConfigureLine(fd)) {
        opening.reached = true;
        return opening;   // the line closes the device and removes the lock as it goes
    }
    tcflush(fd, TCIOFLUSH);
    opening.line = std::move(line);
    return opening;
}
