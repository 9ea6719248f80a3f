#pragma once
// The simulator's end of the line: the master side of a new pseudo-terminal pair, or a real
// serial device. Owns its descriptors.

#include <chrono>
#include <memory>
#include <span>
#include <string>

#include "link/protocol.h"
#include "link/serial_device.h"
#include "model/outcome.h"

class CSimLine {
public:
    CSimLine() = default;
    ~CSimLine() { Close(); }
    CSimLine(const CSimLine&) = delete;
    CSimLine& operator=(const CSimLine&) = delete;

    // A new pseudo-terminal pair; TerminalPath() is the end the tool opens.
    Outcome OpenPseudoTerminal();
    // A real serial device, held as every program here holds one and set raw to the settings
    // (19200 8N1 unless given).
    Outcome OpenDevice(const std::string& path, const SerialLineSettings& settings = {});
    void Close();

    const std::string& TerminalPath() const { return m_terminalPath; }
    int Descriptor() const { return m_fd; }

    // With wire time on, every byte takes as long as on a 19200 8N1 line (10 bits a byte).
    void SetWireTime(bool on) { m_wireTime = on; }
    bool WireTime() const { return m_wireTime; }
    static constexpr std::chrono::nanoseconds kByteTime{10'000'000'000LL / 19200};

    // Writes the bytes, paced by wire time when it is on; false when the line is gone.
    bool Send(std::span<const std::uint8_t> bytes);

private:
    // Closes what is open and fails with the message.
    Outcome Closed(std::string message);

    std::unique_ptr<CSerialDevice> m_device;   // a real device; m_fd is then its descriptor
    int m_fd = -1;
    int m_keepOpen = -1;   // our own hold on the terminal, so the master never sees a hang-up
    std::string m_terminalPath;
    bool m_wireTime = false;
};
