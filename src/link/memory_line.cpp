#include "link/memory_line.h"

#include <algorithm>

ReadEnd CMemoryLine::Read(std::span<std::uint8_t> buffer, const LinkTimings&, std::size_t& received)
{
    received = std::min(buffer.size(), m_replies.size() - m_next);
    std::copy_n(m_replies.begin() + static_cast<std::ptrdiff_t>(m_next), received, buffer.begin());
    m_next += received;
    return received == buffer.size() ? ReadEnd::Complete : ReadEnd::TimedOut;
}
