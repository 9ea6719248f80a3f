#pragma once
// gatewaycfg's commands that read a configuration file and write it back hold its change lock
// from before the reading to after the writing.

#include <ostream>
#include <string>

#include "file/change_lock.h"

namespace gw {

// Takes the lock of file into lock: 0, or 75 (kExitFileBusy) after saying on err who holds it.
// A file that does not exist yet, or a lock that cannot be had for another reason, lets the
// command go on unlocked (its reading and writing report their own faults).
int LockForChange(CChangeLock& lock, const std::string& file, std::ostream& err);

} // namespace gw
