#include "link/serial_device.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

tcflag_t SizeOf(int dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

// The parity bits of c_cflag for a parity letter; Mark and Space are a fixed parity bit.
tcflag_t ParityFlags(char parity)
{
    switch (parity) {
    case 'O': return PARENB | PARODD;
    case 'E': return PARENB;
    case 'M': return PARENB | CMSPAR | PARODD;
    case 'S': return PARENB | CMSPAR;
    default: return 0;
    }
}

std::string Refused(const std::string& path, int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        return path + " does not exist (is the adapter plugged in?).";
    case EACCES:
    case EPERM:
        return "Permission to use " + path +
               " is refused. Serial ports belong to the group \"dialout\": join it with "
               "\"sudo usermod -aG dialout $USER\", then log in again.";
    case EBUSY:
        return "Another program holds " + path + ".";
    default:
        return path + ": " + std::strerror(error) + ".";
    }
}

} // namespace

CSerialDevice::~CSerialDevice()
{
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
}

Outcome gw::OpenSerialDevice(const std::string& path, std::unique_ptr<CSerialDevice>& opened)
{
    opened.reset();
    if (path.empty())
        return Failure("No serial port was given.");
    // A plain file or a folder is refused before a lock file is made in its name.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return Failure(Refused(path, errno));
    if (S_ISREG(st.st_mode))
        return Failure(path + " is a regular file, not a serial port.");
    if (S_ISDIR(st.st_mode))
        return Failure(path + " is a folder, not a serial port.");

    auto lock = std::make_unique<CSerialLock>();
    pid_t holder = 0;
    if (!lock->Acquire(path, holder))
        return Failure("The port is in use by process " + std::to_string(holder) + ".");
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failure(Refused(path, errno));
    // From here a refusal closes the device, and its lock goes with it.
    auto device = std::make_unique<CSerialDevice>(fd, path, std::move(lock));
    if (!::isatty(fd))
        return Failure(path + " is not a terminal, so not a serial port.");
    // Held by another program: its flock is refused (TIOCEXCL alone does not stop root).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return Failure(errno == EWOULDBLOCK ? "Another program holds " + path + "." : Refused(path, errno));
    if (::ioctl(fd, TIOCEXCL) != 0)
        return Failure(Refused(path, errno));
    opened = std::move(device);
    return {};
}

std::string gw::SerialParityName(char parity)
{
    switch (parity) {
    case 'N': return "None";
    case 'O': return "Odd";
    case 'E': return "Even";
    case 'M': return "Mark";
    case 'S': return "Space";
    default: return std::string("'") + parity + "'";
    }
}

LineSettingTexts gw::DescribeLineSettings(const SerialLineSettings& settings)
{
    return {std::to_string(settings.baud) + " bit/s", std::to_string(settings.dataBits) + " data bits",
            "parity " + SerialParityName(settings.parity),
            std::to_string(settings.stopBits) + (settings.stopBits == 1 ? " stop bit" : " stop bits")};
}

std::string gw::ApplyLineSettings(int fd, const SerialLineSettings& settings)
{
    const auto [speed, size, parity, stop] = DescribeLineSettings(settings);
    if (SpeedOf(settings.baud) == B0)
        return speed;
    if (settings.dataBits < 5 || settings.dataBits > 8)
        return size;
    if (settings.parity != 'N' && ParityFlags(settings.parity) == 0)
        return parity;
    if (settings.stopBits != 1 && settings.stopBits != 2)
        return stop;

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return std::string("its settings (they cannot be read: ") + std::strerror(errno) + ")";
    // XON and XOFF bytes occur in binary frames: software flow control stays off.
    const tcflag_t hardwareFlow = tio.c_cflag & CRTSCTS;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= SizeOf(settings.dataBits) | ParityFlags(settings.parity) | CREAD | CLOCAL | hardwareFlow;
    if (settings.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, SpeedOf(settings.baud));
    ::cfsetospeed(&tio, SpeedOf(settings.baud));
    // A port may take part of the settings and still succeed: what it holds now tells.
    ::tcsetattr(fd, TCSANOW, &tio);

    termios now{};
    if (::tcgetattr(fd, &now) != 0)
        return std::string("its settings (they cannot be read back: ") + std::strerror(errno) + ")";
    if (::cfgetospeed(&now) != SpeedOf(settings.baud))
        return speed;
    if ((now.c_cflag & CSIZE) != SizeOf(settings.dataBits))
        return size;
    if ((now.c_cflag & (PARENB | PARODD | CMSPAR)) != ParityFlags(settings.parity))
        return parity;
    if (((now.c_cflag & CSTOPB) != 0) != (settings.stopBits == 2))
        return stop;
    return {};
}
