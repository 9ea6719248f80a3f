#pragma once
// gatewaycfg download / upload: one transfer run over a serial device, with a progress line
// on stderr and, on request, every frame in hex.

#include <ostream>
#include <string>

// What --port takes, wherever a port is taken.
inline constexpr const char* kPortHelp =
    "Serial device (/dev/ttyUSB0), transparent server socket://HOST:PORT or RFC 2217 server rfc2217://HOST:PORT";

struct TransferCommandOptions {
    std::string file;
    std::string port;
    bool trace = false;
    bool verify = false;   // download: read the module back and compare afterwards
    bool json = false;     // verify: the differences as JSON
};

namespace gw {

// Exit status: 0, the result code of the run (4 when the port cannot be opened), 65 when
// FILE cannot be read, 74 when the uploaded configuration cannot be written to FILE.
// All three stop at once on SIGINT, SIGTERM or SIGHUP: the port is closed and its lock file
// removed, "interrupted" is printed and the status is 130, 143 or 129.
int RunDownloadCommand(const TransferCommandOptions& options, std::ostream& out, std::ostream& err);
// Reads the module into memory and compares it with FILE as the module keeps it, for the
// hardware version the module reports. FILE is never written. 0 equal, 1 different, 65 FILE
// cannot be read, otherwise the transfer's result code.
int RunVerifyCommand(const TransferCommandOptions& options, std::ostream& out, std::ostream& err);
// Reads into FILE what the module holds. Items the module does not report keep the values
// FILE has, or the defaults when FILE does not exist yet. FILE is written only on success.
int RunUploadCommand(const TransferCommandOptions& options, std::ostream& out, std::ostream& err);

} // namespace gw
