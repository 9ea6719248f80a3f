#include "file/change_lock.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr auto kRetry = std::chrono::milliseconds(20);

// The process that holds an flock on the file, as the kernel lists it in /proc/locks; 0 when
// none is found.
pid_t FlockHolder(const struct stat& file)
{
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, advisory, access, where;
        long pid = 0;
        if (!(fields >> number >> kind) || kind != "FLOCK" || !(fields >> advisory >> access >> pid >> where))
            continue;   // another kind of lock, or one that waits ("->")
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3 && inode == file.st_ino &&
            makedev(major, minor) == file.st_dev)
            return static_cast<pid_t>(pid);
    }
    return 0;
}

std::string ProcessName(pid_t pid)
{
    std::string name;
    std::ifstream(std::string("/proc/") + std::to_string(pid) + "/comm") >> name;
    return "process " + std::to_string(pid) + (name.empty() ? "" : " (" + name + ")");
}

} // namespace

ChangeLockAttempt CChangeLock::Lock(const std::string& path, int waitMilliseconds)
{
    Release();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        // Only a regular file is opened: a device or FIFO is refused by the reading, untouched.
        struct stat held {};
        if (::stat(path.c_str(), &held) != 0 || !S_ISREG(held.st_mode))
            return {ChangeLockOutcome::NoFile, {}};
        m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0 || ::fstat(m_fd, &held) != 0) {
            const int error = errno;
            Release();
            if (error == ENOENT)
                continue;   // gone meanwhile: look again
            return {ChangeLockOutcome::Failed, std::strerror(error)};
        }
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            // A save that replaced the file meanwhile left this lock on the old one: take it again.
            struct stat now {};
            if (::stat(path.c_str(), &now) == 0 && now.st_ino == held.st_ino && now.st_dev == held.st_dev)
                return {ChangeLockOutcome::Locked, {}};
            Release();
            continue;
        }
        const int error = errno;
        Release();
        if (error != EWOULDBLOCK)
            return {ChangeLockOutcome::Failed, std::strerror(error)};
        if (std::chrono::steady_clock::now() >= deadline) {
            const pid_t holder = FlockHolder(held);
            return {ChangeLockOutcome::Busy, holder > 0 ? ProcessName(holder) : "another program"};
        }
        std::this_thread::sleep_for(kRetry);
    }
}

void CChangeLock::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
