#pragma once
// A line that plays back bytes held in memory as the module's replies, without waiting: each
// read takes the next bytes in order, and where they run out the module has fallen silent.
// Writes are taken and forgotten. It lets the protocol run on recorded or made-up replies.

#include <cstdint>
#include <span>
#include <vector>

#include "link/port_line.h"

class CMemoryLine : public CPortLine {
public:
    explicit CMemoryLine(std::span<const std::uint8_t> replies) : m_replies(replies.begin(), replies.end()) {}

    bool Write(std::span<const std::uint8_t>, const LinkTimings&) override { return true; }
    ReadEnd Read(std::span<std::uint8_t> buffer, const LinkTimings& timings, std::size_t& received) override;
    void Pause(int) override {}

private:
    std::vector<std::uint8_t> m_replies;
    std::size_t m_next = 0;
};
