#pragma once
// The module's side of the protocol: one request frame in, at most one reply out. Every frame
// is checked for its checksum and for the length its command must have; a frame that fails
// gets no answer, as on the real module. Faults can be injected to test the tool's handling.

#include <optional>
#include <string>

#include "sim/module_state.h"

struct SimFaults {
    bool noAnswer = false;      // stay silent
    bool badChecksum = false;   // answer with a wrong last byte
    bool shortReply = false;    // answer with only the first half of the reply
    int onCommand = -1;         // only requests with this command code (-1: every request)
    int after = 0;              // the first this many requests are answered normally
    int dropAfter = -1;         // after this many answered requests the line is dropped
};

struct SimIdentity {
    std::uint8_t product = 0x81;
    std::uint8_t major = 2;
    std::uint8_t minor = 1;
};

class CModuleResponder {
public:
    CModuleResponder(SimIdentity identity, SimFaults faults, ModuleState state)
        : m_identity(identity), m_faults(faults), m_state(std::move(state)) {}

    struct Answer {
        std::optional<Bytes> reply;   // none: stay silent
        bool stateChanged = false;    // a write was taken: the state file is due
        bool dropLine = false;        // hang up now
        std::string note;             // why a frame was refused, for the log
    };

    // One complete frame as it came off the line (code, length, payload, checksum).
    Answer Handle(std::span<const std::uint8_t> frame);

    const ModuleState& State() const { return m_state; }
    int RequestsSeen() const { return m_requests; }

private:
    std::optional<Bytes> Respond(std::uint8_t code, std::span<const std::uint8_t> payload, bool& changed,
                                 std::string& note);
    bool LongSerialBlock() const { return m_identity.major == 2 && m_identity.minor == 0; }

    SimIdentity m_identity;
    SimFaults m_faults;
    ModuleState m_state;
    int m_requests = 0;
    int m_answered = 0;
};
