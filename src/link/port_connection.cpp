#include "link/port_connection.h"

#include <chrono>

#include <termios.h>
#include <unistd.h>

#include "link/port_address.h"
#include "link/rfc2217_connection.h"
#include "link/server_connect.h"

namespace {

class CDeviceConnection : public CPortConnection {
public:
    explicit CDeviceConnection(std::unique_ptr<CSerialDevice> device)
        : CPortConnection(device->Path()), m_device(std::move(device))
    {
    }
    int Descriptor() const override { return m_device->Descriptor(); }
    bool IsSerialDevice() const override { return true; }

private:
    std::unique_ptr<CSerialDevice> m_device;
};

// A transparent server: the socket itself is the line.
class CRawTcpConnection : public CPortConnection {
public:
    CRawTcpConnection(std::string name, int fd, std::unique_ptr<CServerPortLock> lock)
        : CPortConnection(std::move(name)), m_lock(std::move(lock)), m_fd(fd)
    {
    }
    ~CRawTcpConnection() override { ::close(m_fd); }
    int Descriptor() const override { return m_fd; }

private:
    std::unique_ptr<CServerPortLock> m_lock;   // goes after the connection
    int m_fd;
};

PortOpening OpenDevice(const std::string& path, const SerialLineSettings& settings)
{
    PortOpening opening;
    std::unique_ptr<CSerialDevice> device;
    if (Outcome opened = gw::OpenSerialDevice(path, device); !opened) {
        opening.refusal = std::move(opened.message);
        return opening;
    }
    if (std::string refused = gw::ApplyLineSettings(device->Descriptor(), settings); !refused.empty()) {
        opening.reached = true;
        opening.refusal = path + ": the port refused " + refused + ".";
        opening.refusedSetting = std::move(refused);
        return opening;   // the device closes and its lock goes with it
    }
    // What waited on the line before it was opened answers nothing of ours.
    ::tcflush(device->Descriptor(), TCIOFLUSH);
    opening.port = std::make_unique<CDeviceConnection>(std::move(device));
    return opening;
}

PortOpening OpenServer(const std::string& name, const PortAddress& address, const SerialLineSettings& settings,
                       const std::atomic<bool>* stop)
{
    PortOpening opening;
    gw::IgnoreBrokenPipes();
    const std::string hostAndPort = gw::HostAndPort(address.host, address.port);
    std::vector<ServerAddress> addresses;
    if (Outcome resolved = gw::ResolveServer(address.host, address.port, addresses); !resolved) {
        opening.refusal = std::move(resolved.message);
        return opening;
    }
    auto lock = std::make_unique<CServerPortLock>();
    if (!lock->Acquire(addresses, address.port)) {
        opening.refusal = "Another run of this program is using " + hostAndPort + ".";
        return opening;
    }
    if (address.kind == PortKind::Rfc2217) {
        const Rfc2217Request request{name, hostAndPort, addresses, address.port, address.connectTimeoutMs};
        return gw::OpenRfc2217Connection(request, settings, stop, std::move(lock));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(address.connectTimeoutMs);
    ConnectFailure failure = ConnectFailure::None;
    std::string detail;
    const int fd = gw::ConnectToServer(addresses, deadline, stop, failure, detail);
    if (fd < 0) {
        opening.refusal = gw::ConnectFailureText(failure, hostAndPort, address.connectTimeoutMs, detail);
        return opening;
    }
    opening.port = std::make_unique<CRawTcpConnection>(name, fd, std::move(lock));
    return opening;
}

} // namespace

PortOpening gw::OpenPortConnection(const std::string& name, const SerialLineSettings& settings, const std::atomic<bool>* stop)
{
    PortAddress address;
    PortOpening opening;
    if (Outcome parsed = ParsePortAddress(name, address); !parsed) {
        opening.refusal = std::move(parsed.message);
        return opening;
    }
    if (address.kind == PortKind::Device)
        return OpenDevice(address.path, settings);
    return OpenServer(name, address, settings, stop);
}
