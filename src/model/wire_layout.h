#pragma once
// Where the module keeps a configuration: which blocks a module of a given hardware version
// takes and gives back in each mode, which rows each block carries at which byte, and how a
// row's value text becomes the number on the line. The link's encoder and decoder and the
// comparison with a module read this one table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "model/param_item.h"

struct HardwareVersion {
    std::uint8_t major = 0;   // V1
    std::uint8_t minor = 0;   // V2
};

namespace gw {

// "2.1", "1.3" or "2" (minor 0) into a version; false for anything else.
bool ParseHardwareVersion(const std::string& text, HardwareVersion& version);
// "2.1".
std::string HardwareVersionText(HardwareVersion version);

} // namespace gw

// How a row's value goes on the line.
enum class WireEncoding {
    Choice,          // the value's position among the choices; -1 (FFh) when it is none of them
    ChoicePlusOne,   // that position plus 1; 0 reads back as "no change"
    ChoiceClamped,   // sent as Choice; read back as the last choice for anything past the end
    Number8,         // the leading decimal number, low byte
    Number16,        // the leading decimal number, two bytes high first
    NumberTens,      // the leading decimal number divided by 10, one byte; read back times 10
    MappingAddress,  // the hex digits before the last H, two bytes; read back as "%4.4XH"
};

struct WireField {
    int row;              // the item's row in its node
    std::size_t offset;   // byte position in the block's payload (or in the command record)
    WireEncoding encoding;
};

namespace gw {

// The serial block's fields for rows 1-11 (payload bytes 2-13); byte 1 is the protocol code.
std::span<const WireField> SerialFields();
// The User Config fields (rows 12-19) by their framing-block byte; the long serial block
// carries the same fields at kFramingInLongSerial bytes further on.
std::span<const WireField> FramingFields();

} // namespace gw

inline constexpr std::size_t kFramingInLongSerial = 13;

namespace gw {

// A command record's fields from the command's rows; byte 0 is the sequence number and byte 1
// the slave node's address. Row 0 ("Function Code") is byte 2.
std::span<const WireField> CommandRecordFields();

} // namespace gw

// The bus block carries the fieldbus node's rows 3 and 4 together; the address-mode byte row 3.
class CBusNode;

namespace gw {

std::array<std::uint8_t, 4> BusBlockOf(const CBusNode& bus);

} // namespace gw

// What a module keeps of a configuration and gives back, for its hardware version and the
// configuration's mode: what the download sends and the upload also reads.
struct ModuleBlocks {
    bool mode = false;          // the protocol code
    bool serial = false;        // SerialFields
    bool framing = false;       // FramingFields (in the long serial block or the framing block)
    bool commands = false;      // the first slave node's commands with its address
    bool busBlock = false;      // fieldbus rows 3 and 4
    bool addressMode = false;   // fieldbus row 3 alone
};

namespace gw {

ModuleBlocks BlocksKept(int mode, HardwareVersion version);

// The number a row's value goes on the line as (before it is cut to 8 or 16 bits); -1 when
// there is no item.
int WireValueOf(const CParamItem* item, WireEncoding encoding);
// Writes a number that came off the line into the item; the item keeps its value where the
// encoding reads nothing (a choice out of range, ChoicePlusOne's 0).
void SetWireValue(CParamItem* item, WireEncoding encoding, int number);

// The 16-bit mapping address of a "Mapping Address(HEX)" text such as "400AH".
std::uint16_t MappingAddressOf(const std::string& text);

} // namespace gw
