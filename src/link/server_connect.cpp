#include "link/server_connect.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kStopCheckMilliseconds = 50;
constexpr const char* kLockPrefix = "gateway-workbench.server-port.";

int MillisecondsLeft(ConnectDeadline deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<long long>(left, 1 << 30)) : 0;
}

std::string NumericText(const sockaddr* address, socklen_t length)
{
    char host[NI_MAXHOST] = {};
    if (::getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return "?";
    return host;
}

// One attempt on one address; the descriptor, or -1 with failure and detail set.
int ConnectOne(const ServerAddress& server, ConnectDeadline deadline, const std::atomic<bool>* stop,
               ConnectFailure& failure, std::string& detail)
{
    const int fd = ::socket(server.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        failure = ConnectFailure::Other;
        detail = std::strerror(errno);
        return -1;
    }
    const auto fail = [&](ConnectFailure why, int error) {
        failure = why;
        detail = error ? std::strerror(error) : "";
        ::close(fd);
        return -1;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&server.address), server.length) != 0 && errno != EINPROGRESS)
        return fail(errno == ECONNREFUSED ? ConnectFailure::Refused : ConnectFailure::Other, errno);
    for (;;) {
        if (stop && stop->load())
            return fail(ConnectFailure::Stopped, 0);
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return fail(ConnectFailure::TimedOut, 0);
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, stop ? std::min(left, kStopCheckMilliseconds) : left);
        if (ready < 0 && errno != EINTR)
            return fail(ConnectFailure::Other, errno);
        if (ready > 0)
            break;
    }
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    if (error != 0)
        return fail(error == ECONNREFUSED ? ConnectFailure::Refused : ConnectFailure::Other, error);
    // Frames are small and each waits for its answer: they go out at once.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    failure = ConnectFailure::None;
    return fd;
}

} // namespace

Outcome gw::ResolveServer(const std::string& host, std::uint16_t port, std::vector<ServerAddress>& addresses)
{
    addresses.clear();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (rc == EAI_NONAME || rc == EAI_ADDRFAMILY) {
        // Without a configured address of a family, its literal addresses are still good here
        // (a loopback-only host has ::1 but no global IPv6 address).
        hints.ai_flags = 0;
        rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    }
    if (rc != 0)
        return Failure("The server \"" + host + "\" cannot be found (" + ::gai_strerror(rc) + ").");
    for (const addrinfo* ai = found; ai; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET && ai->ai_family != AF_INET6)
            continue;
        ServerAddress server;
        std::memcpy(&server.address, ai->ai_addr, ai->ai_addrlen);
        server.length = ai->ai_addrlen;
        server.numeric = NumericText(ai->ai_addr, ai->ai_addrlen);
        const bool seen = std::any_of(addresses.begin(), addresses.end(),
                                      [&](const ServerAddress& a) { return a.numeric == server.numeric; });
        if (!seen)
            addresses.push_back(server);
    }
    ::freeaddrinfo(found);
    if (addresses.empty())
        return Failure("The server \"" + host + "\" has no IPv4 or IPv6 address.");
    return {};
}

CServerPortLock::~CServerPortLock()
{
    for (const int fd : m_sockets)
        ::close(fd);
}

bool CServerPortLock::Acquire(const std::vector<ServerAddress>& addresses, std::uint16_t port)
{
    for (const ServerAddress& server : addresses) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;   // no lock rather than no port
        sockaddr_un name{};
        name.sun_family = AF_UNIX;
        // An abstract name: it starts with a zero byte and is gone with the last descriptor.
        const std::string key = std::string(kLockPrefix) + server.numeric + "." + std::to_string(port);
        const std::size_t length = std::min(key.size(), sizeof name.sun_path - 1);
        std::memcpy(name.sun_path + 1, key.data(), length);
        const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&name), size) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EADDRINUSE)
                return false;
            continue;
        }
        m_sockets.push_back(fd);
    }
    return true;
}

int gw::ConnectToServer(const std::vector<ServerAddress>& addresses, ConnectDeadline deadline, const std::atomic<bool>* stop,
                        ConnectFailure& failure, std::string& detail)
{
    failure = ConnectFailure::Other;
    for (const ServerAddress& server : addresses) {
        const int fd = ConnectOne(server, deadline, stop, failure, detail);
        if (fd >= 0 || failure == ConnectFailure::Stopped || failure == ConnectFailure::TimedOut)
            return fd;
    }
    return -1;
}

std::string gw::ConnectFailureText(ConnectFailure failure, const std::string& hostAndPort, int timeoutMs,
                                   const std::string& detail)
{
    switch (failure) {
    case ConnectFailure::None:
        return {};
    case ConnectFailure::Refused:
        return hostAndPort + " refused the connection: is the server running, and does it serve this port?";
    case ConnectFailure::TimedOut: {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", timeoutMs / 1000.0);
        return hostAndPort + " did not answer within " + seconds + " s: is the server switched on and reachable?";
    }
    case ConnectFailure::Stopped:
        return "Connecting to " + hostAndPort + " was interrupted.";
    case ConnectFailure::Other:
        break;
    }
    return hostAndPort + " cannot be reached" + (detail.empty() ? "." : " (" + detail + ").");
}

void gw::IgnoreBrokenPipes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::signal(SIGPIPE, SIG_IGN);
    });
}
