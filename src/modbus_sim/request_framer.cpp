#include "modbus_sim/request_framer.h"

#include "commission/rtu_frame.h"

void CRequestFramer::Add(std::span<const std::uint8_t> bytes, std::vector<std::vector<std::uint8_t>>& frames)
{
    m_held.insert(m_held.end(), bytes.begin(), bytes.end());
    while (!m_discarding && !m_held.empty()) {
        const int length = gw::RequestLength(m_held);
        if (length <= 0 || m_held.size() < static_cast<std::size_t>(length))
            return;
        const auto end = m_held.begin() + length;
        if (!gw::HasValidCrc(std::span(m_held).first(static_cast<std::size_t>(length)))) {
            m_discarding = true;
            return;
        }
        frames.emplace_back(m_held.begin(), end);
        m_held.erase(m_held.begin(), end);
    }
}

void CRequestFramer::Silence(std::vector<std::vector<std::uint8_t>>& frames, std::size_t& dropped)
{
    dropped = 0;
    if (!m_discarding && gw::RequestLength(m_held) < 0 && gw::HasValidCrc(m_held))
        frames.push_back(m_held);
    else
        dropped = m_held.size();
    m_held.clear();
    m_discarding = false;
}
