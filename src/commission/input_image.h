#pragma once
// The PROFIBUS input area as the read commands' replies fill it: 244 bytes, each tagged with
// the command whose data it holds.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "commission/command_request.h"

inline constexpr int kInputImageBytes = 244;

struct InputImage {
    std::array<std::uint8_t, kInputImageBytes> bytes{};
    std::array<int, kInputImageBytes> owner{};   // command number from 1; 0 for a byte no command holds
    std::array<bool, kInputImageBytes> known{};  // a reply's value lies in the byte
    std::array<std::uint8_t, kInputImageBytes> usedBits{};     // bits some command's data take
    std::array<std::uint8_t, kInputImageBytes> sharedBits{};   // bits two or more commands' data take
};

namespace gw {

// The bytes a read command's values occupy from its mapping address: registers high byte first;
// coils and inputs one bit each, from the mapping bit of the first byte upwards. Bits in front
// of the mapping bit are 0.
std::vector<std::uint8_t> PlaceValues(const CommandRequest& request, std::span<const std::uint16_t> values);

// Tags the command's bytes in the image and writes its values there (none when it failed:
// its bytes are then not known). Bytes past the end of the area are left out.
void AddToImage(InputImage& image, const CommandRequest& request, int number, std::span<const std::uint16_t> values);

// The image as 488 upper-case hex digits.
std::string ImageHex(const InputImage& image);

} // namespace gw
