#pragma once
// The advisory lock (flock) that one read-modify-write of a configuration file holds from before
// it reads the file until after it has written it, so that two programs changing the same file
// at once cannot lose one change: the second waits for the first, or gives up and says who holds
// the file. Programs that take no lock are not stopped.

#include <string>

// How long a change waits for another program to finish its change of the same file.
inline constexpr int kChangeLockWaitMilliseconds = 5000;

enum class ChangeLockOutcome {
    Locked,    // held until the object goes
    NoFile,    // nothing to lock: the file does not exist (yet) or is no regular file
    Busy,      // another program held the lock for the whole wait
    Failed,    // the lock could not be taken for another reason
};

struct ChangeLockAttempt {
    ChangeLockOutcome outcome = ChangeLockOutcome::Locked;
    std::string why;   // on Busy: what holds the file ("process 1234 (gatewaycfg)"); on Failed: what went wrong
};

class CChangeLock {
public:
    CChangeLock() = default;
    ~CChangeLock() { Release(); }
    CChangeLock(const CChangeLock&) = delete;
    CChangeLock& operator=(const CChangeLock&) = delete;

    // Takes the lock of the file at path (a symbolic link leads to the file it names), waiting
    // up to waitMilliseconds while another program holds it.
    ChangeLockAttempt Lock(const std::string& path, int waitMilliseconds);
    void Release();

private:
    int m_fd = -1;
};
