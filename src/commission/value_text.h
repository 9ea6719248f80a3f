#pragma once
// Numbers as people write values for a Modbus slave: decimal, or hexadecimal after "0x". A
// leading zero is just a zero: "0100" is one hundred.

#include <cstdint>
#include <string>
#include <string_view>

namespace gw {

// The number in text (blanks around it allowed) when it is 0..max; false for anything else.
bool ParseValueText(std::string_view text, std::uint32_t max, std::uint32_t& value);

} // namespace gw
