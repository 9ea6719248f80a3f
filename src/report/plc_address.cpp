#include "report/plc_address.h"

std::optional<PlcAddressing> gw::ParsePlcAddressing(const std::string& text)
{
    if (text == "byte")
        return PlcAddressing::Byte;
    if (text == "word")
        return PlcAddressing::Word;
    return std::nullopt;
}

const char* gw::PlcAddressingKey(PlcAddressing addressing)
{
    return addressing == PlcAddressing::Word ? "word" : "byte";
}

std::string gw::PlcWordAddress(bool input, std::int64_t byte, PlcAddressing addressing, bool* wordNamed)
{
    const std::string prefix = input ? "%I" : "%Q";
    const bool named = addressing == PlcAddressing::Byte || byte % 2 == 0;
    if (wordNamed)
        *wordNamed = named;
    if (!named)
        return prefix + "B" + std::to_string(byte);
    return prefix + "W" + std::to_string(addressing == PlcAddressing::Word ? byte / 2 : byte);
}

std::string gw::PlcBitAddress(bool input, std::int64_t byte, int bit)
{
    return std::string(input ? "%IX" : "%QX") + std::to_string(byte) + "." + std::to_string(bit);
}
