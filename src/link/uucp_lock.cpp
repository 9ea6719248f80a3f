#include "link/uucp_lock.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The PID a lock file names; 0 when it names none. Besides the ten ASCII characters, the old
// binary form (a 4-byte integer) is still met.
pid_t ReadHolder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n == 4) {
        std::int32_t binary = 0;
        std::memcpy(&binary, text, sizeof binary);
        return binary > 0 ? static_cast<pid_t>(binary) : 0;
    }
    if (n <= 0)
        return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return pid > 0 && pid <= 0x7FFFFFFF ? static_cast<pid_t>(pid) : 0;
}

bool IsAlive(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// Writes our PID into a temporary file of the directory and links it to the lock name, so that
// the lock appears whole or not at all. 0, or the errno of the step that failed (EEXIST: the lock
// is there already). Each lock taken gets a temporary name of its own: threads of one process
// (a fleet run) take locks at the same time.
int CreateLock(const std::string& directory, const std::string& path)
{
    static std::atomic<unsigned> taken{0};
    const std::string temporary = directory + "/LTMP." + std::to_string(::getpid()) + "." + std::to_string(taken++);
    ::unlink(temporary.c_str());   // a left-over of an earlier process with our PID
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return errno;
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    const bool written = ::write(fd, text, static_cast<std::size_t>(length)) == length;
    ::close(fd);
    int error = written ? 0 : EIO;
    if (written && ::link(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    ::unlink(temporary.c_str());
    return error;
}

} // namespace

std::string gw::LockFileName(const std::string& device)
{
    std::error_code ec;
    std::string name = std::filesystem::weakly_canonical(device, ec).string();
    if (ec || name.empty())
        name = device;
    if (name.rfind("/dev/", 0) == 0)
        name.erase(0, 5);
    else if (const std::size_t slash = name.rfind('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    for (char& c : name)
        if (c == '/')
            c = '_';
    return "LCK.." + name;
}

bool CSerialLock::Acquire(const std::string& device, pid_t& holder, const std::string& directory)
{
    Release();
    holder = 0;
    const std::string path = directory + "/" + gw::LockFileName(device);
    // Two tries: the second after a lock of a process that is gone was removed.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int error = CreateLock(directory, path);
        if (error == 0) {
            m_path = path;
            return true;
        }
        const pid_t owner = ReadHolder(path);
        if (owner == ::getpid())
            return true;   // another port of this process: its own device lock settles it
        if (IsAlive(owner)) {
            holder = owner;
            return false;
        }
        if (error != EEXIST)
            return true;   // no lock directory we can write to: go on without a lock
        ::unlink(path.c_str());   // stale: its process is gone
    }
    return true;
}

void CSerialLock::Release()
{
    if (m_path.empty())
        return;
    // Only a lock that still names us is ours to remove.
    if (ReadHolder(m_path) == ::getpid())
        ::unlink(m_path.c_str());
    m_path.clear();
}
