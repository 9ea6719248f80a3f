#pragma once
// Serial device servers for the length of a test: Debian's ser2net, started with a YAML file of
// its own, in front of devices (the simulators' pseudo-terminals), each served on a free TCP
// port of the loopback address, raw or with RFC 2217. And the way to a port nobody answers on.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"

// A free TCP port of address (127.0.0.1 or ::1), as the system hands one out.
inline int FreeTcpPort(const std::string& address = "127.0.0.1")
{
    const bool v6 = address.find(':') != std::string::npos;
    const int fd = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_loopback;
        length = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof *a;
    }
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) == 0)
        port = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    ::close(fd);
    return port;
}

// True when something listens on TCP port (IPv4 or IPv6).
inline bool IsListening(int port)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, ":%04X ", port);
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            if (state == "0A" && (local + " ").find(hex) != std::string::npos)
                return true;
        }
    }
    return false;
}

struct ServedDevice {
    std::string device;
    bool rfc2217 = false;
    std::string address = "127.0.0.1";   // or ::1
};

class Ser2net {
public:
    Ser2net(const std::vector<ServedDevice>& devices, const std::string& scratch)
    {
        std::string yaml = "%YAML 1.1\n---\n";
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const ServedDevice& d = devices[i];
            m_ports.push_back(FreeTcpPort(d.address));
            m_urls.push_back(std::string(d.rfc2217 ? "rfc2217://" : "socket://") +
                             (d.address.find(':') != std::string::npos ? "[" + d.address + "]" : d.address) + ":" +
                             std::to_string(m_ports.back()));
            yaml += "connection: &port" + std::to_string(i) + "\n  accepter: " + (d.rfc2217 ? "telnet(rfc2217)," : "") +
                    "tcp," + d.address + "," + std::to_string(m_ports.back()) + "\n  connector: serialdev," + d.device +
                    ",19200n81,local\n";
        }
        WriteWholeFile(scratch + "/ser2net.yaml", yaml);
        m_server = std::make_unique<BackgroundProgram>(
            "/usr/sbin/ser2net", std::vector<std::string>{"-n", "-c", scratch + "/ser2net.yaml", "-P", scratch + "/ser2net.pid"},
            scratch, RunOptions{.workingDir = {}, .maxFileBytes = 0, .killAfterMicroseconds = -1, .asUser = -1, .name = "ser2net"});
        m_running = m_server->WaitUntil([this] {
            for (const int port : m_ports)
                if (!IsListening(port))
                    return false;
            return true;
        });
    }
    // SIGTERM, so that ser2net removes its lock files.
    ~Ser2net() { Stop(); }
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    bool Running() const { return m_running; }
    // socket://127.0.0.1:PORT or rfc2217://[::1]:PORT for device i.
    const std::string& Url(std::size_t i) const { return m_urls[i]; }
    void Stop()
    {
        if (!m_server)
            return;
        m_server->Signal(SIGTERM);
        m_server->Finish();
        m_server.reset();
    }

private:
    std::unique_ptr<BackgroundProgram> m_server;
    std::vector<int> m_ports;
    std::vector<std::string> m_urls;
    bool m_running = false;
};

// A listener that never accepts, with its queue full: a connection to it is never answered,
// as to a host that is switched off.
class SilentListener {
public:
    SilentListener() : m_port(FreeTcpPort())
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(m_port));
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 0);
        // Fill the queue: further attempts get no answer at all.
        for (int i = 0; i < 3; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            m_fillers.push_back(fd);
        }
    }
    ~SilentListener()
    {
        for (const int fd : m_fillers)
            ::close(fd);
        ::close(m_listener);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int Port() const { return m_port; }

private:
    int m_port;
    int m_listener = -1;
    std::vector<int> m_fillers;
};
