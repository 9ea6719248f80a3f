#pragma once
// The simulated slave's view of the line: bytes in, requests out. A request ends where its own
// first bytes say or, for a function of no known layout, where the line falls silent; a frame
// with a wrong CRC is dropped together with everything up to the next silence, so that the
// slave finds the start of the next request again.

#include <cstdint>
#include <span>
#include <vector>

class CRequestFramer {
public:
    // Takes bytes as they came; the whole requests among them go to frames.
    void Add(std::span<const std::uint8_t> bytes, std::vector<std::vector<std::uint8_t>>& frames);
    // The line fell silent: a whole frame of unknown layout goes to frames; what else is held
    // is dropped and counted in dropped.
    void Silence(std::vector<std::vector<std::uint8_t>>& frames, std::size_t& dropped);
    bool Holding() const { return !m_held.empty(); }

private:
    std::vector<std::uint8_t> m_held;
    bool m_discarding = false;   // a damaged frame: drop everything until the line falls silent
};
