#pragma once
// Exit status of gatewaycfg: 0 on success, the system's result code when an operation fails
// with one (6 an empty item, 8 out of range, 11 a mapping conflict ...), and these otherwise.

inline constexpr int kExitRefused = 1;          // refused by a rule that has no result code
inline constexpr int kExitUsage = 64;           // bad usage: unknown node, item or argument
inline constexpr int kExitBadFile = 65;         // the configuration file cannot be read
inline constexpr int kExitCannotWrite = 74;     // the configuration file cannot be written
inline constexpr int kExitFileBusy = 75;        // another program is changing the file; try again
// A transfer ended by a signal exits 128 + the signal: 130 SIGINT, 143 SIGTERM, 129 SIGHUP.
