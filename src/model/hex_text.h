#pragma once
// Bytes as hexadecimal text, as traces, logs, state files and reports print them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace gw {

// Two upper-case digits: "0A".
std::string HexByte(std::uint8_t byte);

// Two upper-case digits a byte with the separator between them: "01 00 01"; empty for no bytes.
std::string HexText(std::span<const std::uint8_t> bytes, std::string_view separator = " ");

} // namespace gw
