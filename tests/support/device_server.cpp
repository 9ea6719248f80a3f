#include "support/device_server.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>

int FreeTcpPort(const std::string& address)
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

bool IsListening(int port)
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

Ser2net::Ser2net(const std::vector<ServedDevice>& devices, const std::string& scratch)
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
        scratch, RunOptions::Named("ser2net"));
    m_running = m_server->WaitUntil([this] {
        for (const int port : m_ports)
            if (!IsListening(port))
                return false;
        return true;
    });
}

void Ser2net::Stop()
{
    if (!m_server)
        return;
    m_server->Signal(SIGTERM);
    m_server->Finish();
    m_server.reset();
}

SilentListener::SilentListener() : m_port(FreeTcpPort())
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

SilentListener::~SilentListener()
{
    for (const int fd : m_fillers)
        ::close(fd);
    ::close(m_listener);
}
