#pragma once
// The lock files that serial programs on Linux leave in /var/lock ("LCK..ttyUSB0", the holder's
// PID as ten ASCII characters and a newline), so that a port taken by a terminal program that
// does not lock the device itself is not opened under its feet.

#include <string>
#include <sys/types.h>

inline constexpr const char* kSerialLockDirectory = "/var/lock";

namespace gw {

// The lock file of a device: /dev/ttyUSB0 gives LCK..ttyUSB0, /dev/pts/3 gives LCK..pts_3. A
// symbolic link (such as /dev/serial/by-id/...) is followed to the device it names.
std::string LockFileName(const std::string& device);

} // namespace gw

// Our lock of one port; removed when the object goes.
class CSerialLock {
public:
    CSerialLock() = default;
    ~CSerialLock() { Release(); }
    CSerialLock(const CSerialLock&) = delete;
    CSerialLock& operator=(const CSerialLock&) = delete;

    // Takes the lock of device in directory. False when a living process other than this one
    // holds it (holder then gets its PID). A lock of a process that is gone is replaced; when
    // the directory cannot be written to, the port is taken without a lock of our own.
    bool Acquire(const std::string& device, pid_t& holder, const std::string& directory = kSerialLockDirectory);
    // Removes our lock file, if we made one.
    void Release();

private:
    std::string m_path;   // the lock file we made; empty when we hold none
};
