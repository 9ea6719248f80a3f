#include "commission/input_image.h"

#include <algorithm>

#include "model/hex_text.h"

std::vector<std::uint8_t> gw::PlaceValues(const CommandRequest& request, std::span<const std::uint16_t> values)
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

namespace {

// The bits of the command's byte i that its data take: all eight for registers; for coils and
// inputs those from the mapping bit on, up to the last value.
std::uint8_t DataBits(const CommandRequest& request, std::size_t i)
{
    if (!request.IsBitFunction())
        return 0xFF;
    const int first = i == 0 ? request.mapBit : 0;
    const int last = std::min(7, request.mapBit + request.count - 1 - 8 * static_cast<int>(i));
    std::uint8_t mask = 0;
    for (int bit = first; bit <= last; ++bit)
        mask = static_cast<std::uint8_t>(mask | 1u << bit);
    return mask;
}

} // namespace

void gw::AddToImage(InputImage& image, const CommandRequest& request, int number, std::span<const std::uint16_t> values)
{
    if (!request.IsRead() || request.mapAddress < 0)
        return;
    const std::vector<std::uint8_t> placed = PlaceValues(request, values);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(request.mapAddress) + i;
        if (at >= image.bytes.size())
            break;
        const std::uint8_t mask = DataBits(request, i);
        image.sharedBits[at] = static_cast<std::uint8_t>(image.sharedBits[at] | (image.usedBits[at] & mask));
        image.usedBits[at] = static_cast<std::uint8_t>(image.usedBits[at] | mask);
        image.owner[at] = number;
        if (values.empty())
            continue;
        image.known[at] = true;
        if (!request.IsBitFunction()) {
            image.bytes[at] = placed[i];
            continue;
        }
        // Bit data own only their bits: those in front of the mapping bit keep what they hold.
        image.bytes[at] = static_cast<std::uint8_t>((image.bytes[at] & ~mask) | (placed[i] & mask));
    }
}

std::string gw::ImageHex(const InputImage& image)
{
    return HexText(image.bytes, "");
}
