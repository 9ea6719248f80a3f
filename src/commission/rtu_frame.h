#pragma once
// Modbus RTU frames as they cross the line: the CRC that ends every frame, and how long a frame
// is by what its first bytes say. Master and slave both frame with these.

#include <cstdint>
#include <span>
#include <vector>

namespace gw {

// The CRC-16 of the bytes (polynomial A001h, start FFFFh); on the line low byte first.
std::uint16_t ModbusCrc(std::span<const std::uint8_t> bytes);
// Appends the CRC of the frame so far.
void AppendCrc(std::vector<std::uint8_t>& frame);
// At least four bytes, the last two the CRC of the others.
bool HasValidCrc(std::span<const std::uint8_t> frame);

// A frame's whole length by what its first bytes announce: > 0 when known, 0 when more bytes
// must come first, -1 when the function code gives no length (a frame the line's silence ends).
// A reply: read functions announce a byte count, writes echo six bytes, exceptions carry one.
int ReplyLength(std::span<const std::uint8_t> head);
// A request, as a slave frames it: the functions a slave is asked for with a fixed layout or a
// byte count.
int RequestLength(std::span<const std::uint8_t> head);

} // namespace gw
