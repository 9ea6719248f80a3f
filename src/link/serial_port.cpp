#include "link/serial_port.h"

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

} // namespace

void CPortSlot::Close()
{
    if (m_state != State::Open)
        return;
    // Let the next program open the line again once the run is over.
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    m_state = State::Cleared;
}

void CPortSlot::Fail()
{
    Close();
    m_state = State::Cleared;
}

void CPortSlot::PlanExchanges(int planned)
{
    m_planned = planned;
    if (m_observer)
        m_observer->OnProgress(m_done, m_planned);
}

void CPortSlot::CountExchange()
{
    ++m_done;
    if (m_done > m_planned)
        m_planned = m_done;
    if (m_observer)
        m_observer->OnProgress(m_done, m_planned);
}

ResultCode OpenPort(CPortSlot& slot, const std::string& device)
{
    slot.Close();
    slot.m_state = CPortSlot::State::NotOpened;
    if (device.empty())
        return RESULT_PORT_NOT_OPENED;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return RESULT_PORT_NOT_OPENED;
    // Held by another program: the lock is refused (TIOCEXCL alone does not stop root).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return RESULT_PORT_NOT_OPENED;
    }
    slot.m_fd = fd;
    slot.m_state = CPortSlot::State::Open;
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || !ConfigureLine(fd)) {
        slot.Fail();
        return RESULT_PORT_NOT_OPENED;
    }
    tcflush(fd, TCIOFLUSH);
    return RESULT_OK;
}

ResultCode WriteFrame(CPortSlot& slot, std::span<const std::uint8_t> bytes)
{
    if (!slot.IsOpen() || bytes.empty()) {
        slot.Fail();
        return RESULT_SERIAL_IO;
    }
    const LinkTimings& t = slot.m_timings;
    const auto deadline = DeadlineAfter(t.writeTotalConstant, t.writeTotalPerByte, bytes.size());
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(slot.m_fd, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
        pollfd pfd{slot.m_fd, POLLOUT, 0};
        const int wait = MillisecondsLeft(deadline);
        if (wait == 0)
            break;
        const int ready = ::poll(&pfd, 1, wait);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)))
            break;
    }
    if (written != bytes.size()) {
        // A frame that did not go out whole is a failed write: the module would read garbage.
        slot.Fail();
        return RESULT_SERIAL_IO;
    }
    if (slot.m_observer)
        slot.m_observer->OnFrame(FrameDirection::ToModule, bytes);
    return RESULT_OK;
}

ResultCode ReadFrame(CPortSlot& slot, std::span<std::uint8_t> buffer, std::size_t* received)
{
    if (received)
        *received = 0;
    if (!slot.IsOpen() || buffer.empty()) {
        slot.Fail();
        return RESULT_SERIAL_IO;
    }
    const LinkTimings& t = slot.m_timings;
    const auto deadline = DeadlineAfter(t.readTotalConstant, t.readTotalPerByte, buffer.size());
    std::size_t got = 0;
    bool broken = false;
    while (got < buffer.size() && !broken) {
        int wait = MillisecondsLeft(deadline);
        if (got > 0)
            wait = std::min(wait, t.readInterval);
        if (wait == 0)
            break;
        pollfd pfd{slot.m_fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            broken = true;
            break;
        }
        if (ready == 0)
            break;   // a time-out ends the read
        if (pfd.revents & POLLNVAL) {
            broken = true;
            break;
        }
        const ssize_t n = ::read(slot.m_fd, buffer.data() + got, buffer.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            broken = true;   // the line has gone (the far end hung up)
        }
    }
    if (got == 0) {
        slot.Fail();
        return RESULT_SERIAL_IO;
    }
    if (received)
        *received = got;
    if (slot.m_observer)
        slot.m_observer->OnFrame(FrameDirection::FromModule, buffer.first(got));
    slot.CountExchange();
    return RESULT_OK;
}

ResultCode CompareReply(std::span<const std::uint8_t> received, std::span<const std::uint8_t> expected)
{
    if (received.size() < expected.size())
        return RESULT_REPLY_MISMATCH;
    return std::equal(expected.begin(), expected.end(), received.begin()) ? RESULT_OK : RESULT_REPLY_MISMATCH;
}

ResultCode Transact(CPortSlot& slot, std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                    std::span<const std::uint8_t> expected)
{
    std::fill(reply.begin(), reply.end(), std::uint8_t{0});
    if (const ResultCode code = WriteFrame(slot, request); code != RESULT_OK)
        return code;
    std::this_thread::sleep_for(std::chrono::milliseconds(slot.Timings().transactPause));
    if (const ResultCode code = ReadFrame(slot, reply); code != RESULT_OK)
        return code;
    return CompareReply(reply, expected.first(std::min(expected.size(), reply.size())));
}

std::uint8_t Checksum8(std::span<const std::uint8_t> bytes)
{
    std::uint8_t sum = 0;
    for (const std::uint8_t b : bytes)
        sum = static_cast<std::uint8_t>(sum + b);
    return sum;
}
