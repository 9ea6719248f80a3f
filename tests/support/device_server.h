#pragma once
// Serial device servers for the length of a test: Debian's ser2net, started with a YAML file of
// its own, in front of devices (the simulators' pseudo-terminals), each served on a free TCP
// port of the loopback address, raw or with RFC 2217. And the way to a port nobody answers on.

#include <memory>
#include <string>
#include <vector>

#include "support/run_program.h"

// A free TCP port of address (127.0.0.1 or ::1), as the system hands one out.
int FreeTcpPort(const std::string& address = "127.0.0.1");

// True when something listens on TCP port (IPv4 or IPv6).
bool IsListening(int port);

struct ServedDevice {
    std::string device;
    bool rfc2217 = false;
    std::string address = "127.0.0.1";   // or ::1
};

class Ser2net {
public:
    Ser2net(const std::vector<ServedDevice>& devices, const std::string& scratch);
    // SIGTERM, so that ser2net removes its lock files.
    ~Ser2net() { Stop(); }
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    bool Running() const { return m_running; }
    // socket://127.0.0.1:PORT or rfc2217://[::1]:PORT for device i.
    const std::string& Url(std::size_t i) const { return m_urls[i]; }
    void Stop();

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
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int Port() const { return m_port; }

private:
    int m_port;
    int m_listener = -1;
    std::vector<int> m_fillers;
};
