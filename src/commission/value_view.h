#pragma once
// How an engineer reads a command's registers: each one unsigned, signed, in hex or in binary,
// or two registers at a time as one 32-bit integer or float, in one of the four orders devices
// put the bytes of such a value in. Coils and inputs stay 0 and 1 whatever the view.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/outcome.h"

enum class ViewKind { Unsigned, Signed, Hex, Binary, Int32, Uint32, Float };

// The bytes A B C D of a 32-bit value (A the highest) as the two registers carry them:
// ABCD high word first, CDAB low word first, BADC and DCBA the same with each word's bytes swapped.
enum class WordOrder { ABCD, CDAB, BADC, DCBA };

struct ValueView {
    ViewKind kind = ViewKind::Unsigned;
    WordOrder order = WordOrder::ABCD;

    bool IsPaired() const { return kind == ViewKind::Int32 || kind == ViewKind::Uint32 || kind == ViewKind::Float; }
    bool operator==(const ValueView&) const = default;
};

namespace gw {

// "unsigned", "signed", "hex", "binary", or "int32", "uint32", "float" with an optional
// ":abcd", ":cdab", ":badc" or ":dcba" (abcd when none is given); a failure with a message otherwise.
Outcome ParseValueView(const std::string& text, ValueView& view);
// The view as ParseValueView takes it: "float:cdab".
std::string ValueViewName(const ValueView& view);
// Every kind's and order's name, in the order of the enums.
std::span<const char* const> ValueKindNames();
std::span<const char* const> WordOrderNames();

// The registers read through the view, one text per value: "65531", "-5", "0xFFFB",
// "1111111111111011", "25", "-1.5". A paired view leaves an odd last register as "(odd register)".
std::vector<std::string> ReadThroughView(const ValueView& view, std::span<const std::uint16_t> registers);

} // namespace gw
