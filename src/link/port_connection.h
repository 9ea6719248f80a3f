#pragma once
// A port held for one run, whatever its kind: a serial device, or a connection to a serial
// device server. Either way the program reads and writes one non-blocking descriptor, and the
// far end going away reads as the end of the file. The port is let go when the object goes.

#include <atomic>
#include <memory>
#include <string>

#include "link/serial_device.h"

class CPortConnection {
public:
    explicit CPortConnection(std::string name) : m_name(std::move(name)) {}
    virtual ~CPortConnection() = default;
    CPortConnection(const CPortConnection&) = delete;
    CPortConnection& operator=(const CPortConnection&) = delete;

    virtual int Descriptor() const = 0;
    // A serial device: the descriptor is a terminal, with modem lines and a driver of its own.
    virtual bool IsSerialDevice() const { return false; }
    // The port's name as it was given.
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
};

struct PortOpening {
    std::unique_ptr<CPortConnection> port;   // empty when the port could not be had or set up
    bool reached = false;                    // the port was had, but could not be set up
    std::string refusedSetting;              // the setting it would not take, named ("parity Mark")
    std::string refusal;                     // why there is no port, as a sentence for the user
};

namespace gw {

// Opens the port by name (see port_address.h) and sets its line to settings: a serial device
// through its driver, an RFC 2217 server through the connection (each setting read back); a
// transparent server keeps its own. Waiting bytes are thrown away. A server that is not reached
// within the connect time-out, or stop raised meanwhile, leaves no port. Two runs of this
// program do not share a server port: the second is refused while the first holds it.
PortOpening OpenPortConnection(const std::string& name, const SerialLineSettings& settings,
                               const std::atomic<bool>* stop = nullptr);

} // namespace gw
