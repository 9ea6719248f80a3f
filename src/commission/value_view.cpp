#include "commission/value_view.h"

#include <bit>
#include <charconv>
#include <cstdio>

namespace {

constexpr const char* kKindNames[] = {"unsigned", "signed", "hex", "binary", "int32", "uint32", "float"};
constexpr const char* kOrderNames[] = {"abcd", "cdab", "badc", "dcba"};

template <typename Enum, std::size_t N>
bool FindName(const std::string& text, const char* const (&names)[N], Enum& found)
{
    for (std::size_t i = 0; i < N; ++i)
        if (text == names[i]) {
            found = static_cast<Enum>(i);
            return true;
        }
    return false;
}

std::uint16_t SwapBytes(std::uint16_t word)
{
    return static_cast<std::uint16_t>(word << 8 | word >> 8);
}

// The 32-bit value of a register pair in the view's order.
std::uint32_t Combine(WordOrder order, std::uint16_t first, std::uint16_t second)
{
    switch (order) {
    case WordOrder::ABCD: return std::uint32_t{first} << 16 | second;
    case WordOrder::CDAB: return std::uint32_t{second} << 16 | first;
    case WordOrder::BADC: return std::uint32_t{SwapBytes(first)} << 16 | SwapBytes(second);
    case WordOrder::DCBA: return std::uint32_t{SwapBytes(second)} << 16 | SwapBytes(first);
    }
    return 0;
}

std::string FloatText(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string Single(ViewKind kind, std::uint16_t value)
{
    char text[24];
    switch (kind) {
    case ViewKind::Signed: return std::to_string(static_cast<std::int16_t>(value));
    case ViewKind::Hex:
        std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
        return text;
    case ViewKind::Binary:
        for (int bit = 15; bit >= 0; --bit)
            text[15 - bit] = (value >> bit) & 1 ? '1' : '0';
        return std::string(text, 16);
    default: return std::to_string(value);
    }
}

std::string Paired(ViewKind kind, std::uint32_t value)
{
    switch (kind) {
    case ViewKind::Int32: return std::to_string(static_cast<std::int32_t>(value));
    case ViewKind::Float: return FloatText(std::bit_cast<float>(value));
    default: return std::to_string(value);
    }
}

} // namespace

std::span<const char* const> gw::ValueKindNames() { return kKindNames; }
std::span<const char* const> gw::WordOrderNames() { return kOrderNames; }

Outcome gw::ParseValueView(const std::string& text, ValueView& view)
{
    const auto colon = text.find(':');
    ValueView parsed;
    if (!FindName(text.substr(0, colon), kKindNames, parsed.kind))
        return Failure("\"" + text + "\" is no view: unsigned, signed, hex, binary, int32, uint32 or float");
    if (colon != std::string::npos && (!parsed.IsPaired() || !FindName(text.substr(colon + 1), kOrderNames, parsed.order)))
        return Failure("\"" + text + "\": only int32, uint32 and float take an order, one of abcd, cdab, badc, dcba");
    view = parsed;
    return {};
}

std::string gw::ValueViewName(const ValueView& view)
{
    std::string name = kKindNames[static_cast<int>(view.kind)];
    if (view.IsPaired())
        name += std::string(":") + kOrderNames[static_cast<int>(view.order)];
    return name;
}

std::vector<std::string> gw::ReadThroughView(const ValueView& view, std::span<const std::uint16_t> registers)
{
    std::vector<std::string> texts;
    if (!view.IsPaired()) {
        for (const std::uint16_t value : registers)
            texts.push_back(Single(view.kind, value));
        return texts;
    }
    std::size_t i = 0;
    for (; i + 1 < registers.size(); i += 2)
        texts.push_back(Paired(view.kind, Combine(view.order, registers[i], registers[i + 1])));
    if (i < registers.size())
        texts.push_back("(odd register)");
    return texts;
}
