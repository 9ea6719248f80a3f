#pragma once
// The one way every program here opens a serial device (or a pseudo-terminal): exclusively, with
// the lock file terminal programs keep in /var/lock, an flock that other programs honour and
// TIOCEXCL against those that do neither; and the one way a line's speed, data bits, parity and
// stop bits are set and read back.

#include <memory>
#include <string>

#include "link/uucp_lock.h"
#include "model/outcome.h"

// A serial device held by this program. Closing it (when the object goes) lets other programs
// open the line again; the lock file goes last.
class CSerialDevice {
public:
    CSerialDevice(int fd, std::string path, std::unique_ptr<CSerialLock> lock)
        : m_lock(std::move(lock)), m_fd(fd), m_path(std::move(path))
    {
    }
    ~CSerialDevice();
    CSerialDevice(const CSerialDevice&) = delete;
    CSerialDevice& operator=(const CSerialDevice&) = delete;

    // Open for reading and writing, non-blocking, not the controlling terminal.
    int Descriptor() const { return m_fd; }
    const std::string& Path() const { return m_path; }

private:
    std::unique_ptr<CSerialLock> m_lock;
    int m_fd;
    std::string m_path;
};

namespace gw {

// Takes the device at path: its lock file first (a port a terminal program holds is not even
// opened), then the device itself, into opened. When it cannot be had, opened is empty and the
// failure says why in a sentence for the user: the device does not exist, permission is refused
// (and how to join the "dialout" group), it is a regular file or no terminal at all, another
// program holds it, or the living process that holds its lock file.
Outcome OpenSerialDevice(const std::string& path, std::unique_ptr<CSerialDevice>& opened);

} // namespace gw

struct SerialLineSettings {
    int baud = 19200;
    int dataBits = 8;     // 5 to 8
    char parity = 'N';    // 'N' none, 'O' odd, 'E' even, 'M' mark, 'S' space
    int stopBits = 1;     // 1 or 2
};

namespace gw {

// "None", "Odd", "Even", "Mark" or "Space".
std::string SerialParityName(char parity);

} // namespace gw

// Each setting as the user reads it: "19200 bit/s", "8 data bits", "parity None", "1 stop bit".
struct LineSettingTexts {
    std::string speed, size, parity, stop;
};

namespace gw {

LineSettingTexts DescribeLineSettings(const SerialLineSettings& settings);

// Sets the line raw and binary (no echo, no line editing, no software flow control; the port's
// hardware flow control is kept), reads the settings back and returns the first one the port
// did not take, named ("parity Mark", "115200 bit/s"); empty when it took them all. Reads
// return at once with what has arrived.
std::string ApplyLineSettings(int fd, const SerialLineSettings& settings);

} // namespace gw
