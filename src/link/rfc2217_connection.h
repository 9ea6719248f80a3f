#pragma once
// A port on an RFC 2217 server (Telnet COM Port Control), through gensio: the connection is
// made, the line set setting by setting with the value the server answers read back, and the
// server's buffers emptied. The port's descriptor is then one end of a local socket pair, whose
// other end a thread of the connection relays to the server and back (Telnet's escaping of the
// byte FFh included), so that the link and libmodbus read and write it as any other line.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "link/port_connection.h"
#include "link/server_connect.h"

struct Rfc2217Request {
    std::string name;          // the port's name, as the user gave it
    std::string hostAndPort;   // for messages
    std::vector<ServerAddress> addresses;
    std::uint16_t port = 0;
    int timeoutMs = 0;         // for connecting, and again for the settings
};

namespace gw {

// The lock is held as long as the port.
PortOpening OpenRfc2217Connection(const Rfc2217Request& request, const SerialLineSettings& settings,
                                  const std::atomic<bool>* stop, std::unique_ptr<CServerPortLock> lock);

} // namespace gw
