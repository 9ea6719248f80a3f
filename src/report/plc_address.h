#pragma once
// IEC 61131-3 direct addresses of the PROFIBUS master's process image: %IB, %IW, %IX n.b for
// its inputs, %QB, %QW, %QX n.b for its outputs.

#include <cstdint>
#include <optional>
#include <string>

// How a PLC numbers its words: most by the first byte (%IW256 is bytes 256 and 257), some
// runtimes by the word's index (%IW128 is the same two bytes). Bytes and bits count alike in both.
enum class PlcAddressing { Byte, Word };

namespace gw {

// "byte" or "word"; none for anything else.
std::optional<PlcAddressing> ParsePlcAddressing(const std::string& text);
const char* PlcAddressingKey(PlcAddressing addressing);

// The word at byte: %IW / %QW. Under word addressing a word at an odd byte has no name; its
// first byte is named instead (%IB / %QB) and wordNamed is set false.
std::string PlcWordAddress(bool input, std::int64_t byte, PlcAddressing addressing, bool* wordNamed = nullptr);
// The bit at byte.bit: %IX / %QX.
std::string PlcBitAddress(bool input, std::int64_t byte, int bit);

} // namespace gw
