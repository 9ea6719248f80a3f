#pragma once
// The way to a serial device server: its name resolved to addresses (IPv6 and IPv4), a lock that
// keeps two runs of this program off one server port, and a TCP connection made within a time
// limit that a stop request cuts short.

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include <sys/socket.h>

#include "model/outcome.h"

struct ServerAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
    std::string numeric;   // "127.0.0.1", "::1"
};

namespace gw {

// The addresses of host, in the order the system prefers them; a failure says why there are none.
Outcome ResolveServer(const std::string& host, std::uint16_t port, std::vector<ServerAddress>& addresses);

} // namespace gw

// Held while a run uses a server port: one abstract local socket per address of the server, so
// that the lock needs no file, covers every name of the server and goes with the process.
class CServerPortLock {
public:
    CServerPortLock() = default;
    ~CServerPortLock();
    CServerPortLock(const CServerPortLock&) = delete;
    CServerPortLock& operator=(const CServerPortLock&) = delete;

    // False when another run holds any of the addresses at port.
    bool Acquire(const std::vector<ServerAddress>& addresses, std::uint16_t port);

private:
    std::vector<int> m_sockets;
};

using ConnectDeadline = std::chrono::steady_clock::time_point;

// Why a connection was not made.
enum class ConnectFailure { None, Refused, TimedOut, Stopped, Other };

namespace gw {

// Connects to the first address that takes the connection, trying each in turn by the deadline.
// The descriptor is non-blocking, with small writes sent at once; -1 on failure, with why and
// the system's words for it.
int ConnectToServer(const std::vector<ServerAddress>& addresses, ConnectDeadline deadline, const std::atomic<bool>* stop,
                    ConnectFailure& failure, std::string& detail);

// The sentence for a connection not made to hostAndPort within timeoutMs.
std::string ConnectFailureText(ConnectFailure failure, const std::string& hostAndPort, int timeoutMs,
                               const std::string& detail);

// Writing to a connection the server has closed must fail (EPIPE), not end the program.
void IgnoreBrokenPipes();

} // namespace gw
