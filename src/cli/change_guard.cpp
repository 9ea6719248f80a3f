#include "cli/change_guard.h"

#include "cli/exit_codes.h"

int LockForChange(CChangeLock& lock, const std::string& file, std::ostream& err)
{
    std::string holder;
    if (lock.Lock(file, kChangeLockWaitMilliseconds, &holder) != ChangeLockOutcome::Busy)
        return 0;
    err << file << ": " << holder << " is changing the file; try again once it is done\n";
    return kExitFileBusy;
}
