#pragma once
// Checks that an edited text is a number within a range.

#include <cstdint>
#include <string_view>

#include "model/result_codes.h"

namespace gw {

// Decimal text in min..max. The built language's "Default Value" passes as it stands.
// Returns 0, 6 (empty), 7 (a character other than 0-9) or 8 (out of range).
ResultCode CheckDecimal(std::string_view text, std::int32_t min, std::int32_t max);

// Hexadecimal text (digits 0-9, A-F, at most four) in min..max. An empty text reads 0.
// Returns 0, 7 (illegal character) or 8 (out of range, or longer than four characters).
ResultCode CheckHex(std::string_view text, std::uint32_t min, std::uint32_t max);

// Value of a hexadecimal text of at most four characters; upper and lower case digits count,
// any other character counts 0; a longer text gives 0.
std::uint32_t HexToNumber(std::string_view text);

// The leading decimal number of a text as the standard text-to-integer conversion reads it:
// optional blanks and sign, then digits up to the first other character; 0 when there are none.
// Saturates at the 32-bit limits instead of overflowing.
std::int32_t LeadingInt(std::string_view text);

} // namespace gw
