#include "sim/sim_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool MakeRaw(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, B19200) != 0 || cfsetospeed(&tio, B19200) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

} // namespace

Outcome CSimLine::OpenPseudoTerminal()
{
    Close();
    m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)
        return Closed(std::string("cannot create a pseudo-terminal: ") + std::strerror(errno));
    char name[128];
    if (ptsname_r(m_fd, name, sizeof name) != 0)
        return Closed(std::string("cannot name the pseudo-terminal: ") + std::strerror(errno));
    m_terminalPath = name;
    m_keepOpen = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keepOpen < 0 || !MakeRaw(m_keepOpen))
        return Closed(m_terminalPath + ": " + std::strerror(errno));
    const int flags = fcntl(m_fd, F_GETFL);
    fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
    return {};
}

Outcome CSimLine::OpenDevice(const std::string& path, const SerialLineSettings& settings)
{
    Close();
    if (Outcome opened = gw::OpenSerialDevice(path, m_device); !opened)
        return opened;
    if (const std::string refused = gw::ApplyLineSettings(m_device->Descriptor(), settings); !refused.empty())
        return Closed(path + ": the port refused " + refused);
    m_fd = m_device->Descriptor();
    m_terminalPath = path;
    tcflush(m_fd, TCIOFLUSH);
    return {};
}

Outcome CSimLine::Closed(std::string message)
{
    Close();
    return gw::Failure(std::move(message));
}

void CSimLine::Close()
{
    if (m_keepOpen >= 0)
        ::close(m_keepOpen);
    if (m_device)
        m_device.reset();
    else if (m_fd >= 0)
        ::close(m_fd);
    m_keepOpen = -1;
    m_fd = -1;
}

bool CSimLine::Send(std::span<const std::uint8_t> bytes)
{
    const auto start = std::chrono::steady_clock::now();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        std::size_t chunk = bytes.size() - sent;
        if (m_wireTime) {
            // The byte leaves once the ones before it have taken their time on the wire.
            std::this_thread::sleep_until(start + kByteTime * static_cast<long long>(sent));
            chunk = 1;
        }
        const ssize_t n = ::write(m_fd, bytes.data() + sent, chunk);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd pfd{m_fd, POLLOUT, 0};
        if (::poll(&pfd, 1, 1000) <= 0)
            return false;
    }
    if (m_wireTime)
        std::this_thread::sleep_until(start + kByteTime * static_cast<long long>(bytes.size()));
    return true;
}
