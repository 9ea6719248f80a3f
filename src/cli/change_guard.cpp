#include "cli/change_guard.h"

#include "cli/exit_codes.h"

int gw::LockForChange(CChangeLock& lock, const std::string& file, std::ostream& err)
{
    const ChangeLockAttempt attempt = lock.Lock(file, kChangeLockWaitMilliseconds);
    if (attempt.outcome != ChangeLockOutcome::Busy)
        return 0;
    err << file << ": " << attempt.why << " is changing the file; try again once it is done\n";
    return kExitFileBusy;
}
