#pragma once
// The one reading of a port name, wherever a port is taken. A port is a serial device (a path
// such as /dev/ttyUSB0, or a pseudo-terminal), or a serial device server on the network in the
// URL forms that pyserial made common:
//   socket://HOST:PORT    a transparent server: bytes go as they are, the server keeps the line
//                         settings it was given
//   rfc2217://HOST:PORT   Telnet COM Port Control: the line is set through the connection
// HOST is a name, an IPv4 address or an IPv6 address in brackets (rfc2217://[::1]:4001).
// "?timeout=SECONDS" after either form sets how long connecting may take.

#include <cstdint>
#include <string>

#include "model/outcome.h"

inline constexpr int kDefaultConnectTimeoutMs = 5000;

enum class PortKind { Device, RawTcp, Rfc2217 };

struct PortAddress {
    PortKind kind = PortKind::Device;
    std::string path;          // a device: its path
    std::string host;          // a server: its name or address, without brackets
    std::uint16_t port = 0;
    int connectTimeoutMs = kDefaultConnectTimeoutMs;
};

// The scheme of each network form, with "://".
inline constexpr const char* kRawTcpScheme = "socket://";
inline constexpr const char* kRfc2217Scheme = "rfc2217://";

namespace gw {

// Reads name. A failure gives the fault as a sentence that names the port.
Outcome ParsePortAddress(const std::string& name, PortAddress& address);

// A network form's HOST:PORT, with an IPv6 address in brackets: "[::1]:4001".
std::string HostAndPort(const std::string& host, std::uint16_t port);

// The name of a server port in its canonical form: scheme, host and port (no time-out).
std::string NetworkPortName(PortKind kind, const std::string& hostAndPort);

} // namespace gw
