#pragma once
// The simulated module inside the test process: its responder served on a pseudo-terminal of
// its own by a thread, so that many transfers cost no process starts. With FastTimings
// (support/timings.h) the tool's side neither pauses nor waits long.

#include <atomic>
#include <sstream>
#include <string>
#include <thread>

#include "sim/module_responder.h"
#include "sim/module_state.h"
#include "sim/sim_server.h"
#include "support/timings.h"

class InProcessModule {
public:
    explicit InProcessModule(SimIdentity identity, SimFaults faults = {}, ModuleState state = ModuleState::Factory());
    ~InProcessModule();
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

// A module holding values that no edit would accept: a response time-out of 0 ms and a command
// 03 of 512 registers.
ModuleState ModuleHoldingImpossibleValues();
