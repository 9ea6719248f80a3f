#include "commission/rtu_frame.h"

namespace {

constexpr int kCrcBytes = 2;

// Bytes up to and with the byte count field, and what the count adds.
int CountedLength(std::span<const std::uint8_t> head, std::size_t countAt)
{
    if (head.size() <= countAt)
        return 0;
    return static_cast<int>(countAt) + 1 + head[countAt] + kCrcBytes;
}

} // namespace

std::uint16_t gw::ModbusCrc(std::span<const std::uint8_t> bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

void gw::AppendCrc(std::vector<std::uint8_t>& frame)
{
    const std::uint16_t crc = ModbusCrc(frame);
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

bool gw::HasValidCrc(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 4)
        return false;
    const std::uint16_t crc = ModbusCrc(frame.first(frame.size() - kCrcBytes));
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

int gw::ReplyLength(std::span<const std::uint8_t> head)
{
    if (head.size() < 2)
        return 0;
    const int function = head[1];
    if (function & 0x80)
        return 3 + kCrcBytes;
    switch (function) {
    case 1: case 2: case 3: case 4: return CountedLength(head, 2);
    case 5: case 6: case 15: case 16: return 6 + kCrcBytes;
    default: return -1;
    }
}

int gw::RequestLength(std::span<const std::uint8_t> head)
{
    if (head.size() < 2)
        return 0;
    switch (head[1]) {
    case 1: case 2: case 3: case 4: case 5: case 6: return 6 + kCrcBytes;
    case 15: case 16: return CountedLength(head, 6);
    default: return -1;
    }
}
