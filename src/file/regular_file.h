#pragma once
// Files this program reads and writes are regular files. A device, a FIFO or a socket in their
// place (or at the end of a symbolic link) is refused at once: it is never waited on, read from,
// written to or replaced.

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "model/outcome.h"

namespace gw {

// Why a file of this type cannot be used: "it is a folder, not a file", "not a regular file (a
// FIFO)", ...; empty for a regular file.
std::string NotARegularFile(mode_t type);

// The whole file at path, at most limit + 1 bytes of it (enough to tell that it is larger). A
// failure gives the reason (not naming the path) when it cannot be opened or read, or is not a
// regular file.
Outcome ReadRegularFile(const std::string& path, std::size_t limit, std::string& content);

} // namespace gw
