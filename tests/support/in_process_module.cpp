#include "support/in_process_module.h"

InProcessModule::InProcessModule(SimIdentity identity, SimFaults faults, ModuleState state)
    : m_responder(identity, faults, std::move(state))
{
    m_ok = m_line.OpenPseudoTerminal().Ok();
    if (m_ok)
        m_thread = std::thread([this] { gw::ServeLine(m_line, m_responder, {}, m_stop, m_log); });
}

InProcessModule::~InProcessModule()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

ModuleState ModuleHoldingImpossibleValues()
{
    ModuleState module = ModuleState::Factory();
    module.serial[8] = 0;
    module.serial[9] = 0;
    module.commands.push_back({0, 17, 3, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0, 0, 0});
    return module;
}
