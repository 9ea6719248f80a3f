#pragma once
// The colours of the system, in the 0x00BBGGRR order of a colour value, and the legend of the
// memory map. The desktop program and the pictures that gatewaycfg draws take them from here,
// so that a printed map matches the screen.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::uint32_t kColourWhite = 0xFFFFFF;
inline constexpr std::uint32_t kColourReadOnlyGrey = 0xC8C8C8;   // red, green and blue 200

// Memory map: a bit no command uses, used once, used more than once, past the end of its area,
// and a bit of the selected command.
inline constexpr std::uint32_t kColourUnused = kColourWhite;
inline constexpr std::uint32_t kColourLegal = kColourReadOnlyGrey;
inline constexpr std::uint32_t kColourConflict = 0x0000FF;
inline constexpr std::uint32_t kColourOverflow = 0x00FFFF;
inline constexpr std::uint32_t kColourSelected = 0xC56A31;

struct LegendEntry {
    std::uint32_t colour;
    std::string_view label;
};

// The memory map's legend in its order; the last entry, the selected command, exists only where
// a command can be selected.
inline constexpr std::array<LegendEntry, 5> kMemoryMapLegend{{
    {kColourUnused, "Not use"},
    {kColourLegal, "Legal "},
    {kColourConflict, "Conflict"},
    {kColourOverflow, "Overflow"},
    {kColourSelected, "Selected Command"},
}};

namespace gw {

// A colour value as the web writes it: #RRGGBB.
inline std::string ColourHex(std::uint32_t colour)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (const int shift : {0, 8, 16}) {
        const unsigned byte = (colour >> shift) & 0xFF;
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

} // namespace gw
