#include "model/hex_text.h"

std::string gw::HexByte(std::uint8_t byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

std::string gw::HexText(std::span<const std::uint8_t> bytes, std::string_view separator)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            text += separator;
        text += HexByte(bytes[i]);
    }
    return text;
}
