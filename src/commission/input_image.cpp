#include "commission/input_image.h"

#include <cstdio>

std::vector<std::uint8_t> PlaceValues(const CommandRequest& request, std::span<const std::uint16_t> values)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max(request.InputBytes(), 0)));
    if (!request.IsBitFunction()) {
        for (std::size_t i = 0; i < values.size() && 2 * i + 1 < bytes.size(); ++i) {
            bytes[2 * i] = static_cast<std::uint8_t>(values[i] >> 8);
            bytes[2 * i + 1] = static_cast<std::uint8_t>(values[i] & 0xFF);
        }
        return bytes;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t bit = static_cast<std::size_t>(request.mapBit) + i;
        if (bit / 8 < bytes.size() && values[i])
            bytes[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    return bytes;
}

void AddToImage(InputImage& image, const CommandRequest& request, int number, std::span<const std::uint16_t> values)
{
    if (!request.IsRead() || request.mapAddress < 0)
        return;
    const std::vector<std::uint8_t> placed = PlaceValues(request, values);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(request.mapAddress) + i;
        if (at >= image.bytes.size())
            break;
        image.owner[at] = number;
        if (values.empty())
            continue;
        if (!request.IsBitFunction()) {
            image.bytes[at] = placed[i];
            continue;
        }
        // Bit data own only their bits: those in front of the mapping bit keep what they hold.
        const int first = i == 0 ? request.mapBit : 0;
        const int last = std::min(7, request.mapBit + static_cast<int>(values.size()) - 1 - 8 * static_cast<int>(i));
        for (int bit = first; bit <= last; ++bit) {
            const auto mask = static_cast<std::uint8_t>(1u << bit);
            image.bytes[at] = static_cast<std::uint8_t>((image.bytes[at] & ~mask) | (placed[i] & mask));
        }
    }
}

std::string ImageHex(const InputImage& image)
{
    std::string hex;
    char digits[3];
    for (const std::uint8_t byte : image.bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        hex += digits;
    }
    return hex;
}
