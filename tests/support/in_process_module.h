#pragma once
// The simulated module inside the test process: its responder served on a pseudo-terminal of
// its own by a thread, so that many transfers cost no process starts. With FastTimings the
// tool's side neither pauses nor waits long.

#include <atomic>
#include <sstream>
#include <string>
#include <thread>

#include "link/serial_port.h"
#include "sim/module_responder.h"
#include "sim/sim_server.h"

// Short limits and no pause before an acknowledgement is read.
inline LinkTimings FastTimings()
{
    LinkTimings t;
    t.readInterval = 20;
    t.readTotalConstant = 40;
    t.readTotalPerByte = 1;
    t.transactPause = 0;
    return t;
}

class InProcessModule {
public:
    explicit InProcessModule(SimIdentity identity, SimFaults faults = {}, ModuleState state = ModuleState::Factory())
        : m_responder(identity, faults, std::move(state))
    {
        m_ok = m_line.OpenPseudoTerminal().Ok();
        if (m_ok)
            m_thread = std::thread([this] { ServeLine(m_line, m_responder, {}, m_stop, m_log); });
    }
    ~InProcessModule()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    InProcessModule(const InProcessModule&) = delete;
    InProcessModule& operator=(const InProcessModule&) = delete;

    bool Ready() const { return m_ok; }
    const std::string& Path() const { return m_line.TerminalPath(); }
    // Requests answered so far; read it while no transfer runs.
    int RequestsSeen() const { return m_responder.RequestsSeen(); }

private:
    CSimLine m_line;
    CModuleResponder m_responder;
    std::atomic<bool> m_stop{false};
    std::ostringstream m_log;
    std::thread m_thread;
    bool m_ok = false;
};
