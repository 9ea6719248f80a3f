#include "model/validation.h"

#include <limits>

#include "model/lang_strings.h"

namespace {

bool IsHexDigitUpper(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

ResultCode gw::CheckDecimal(std::string_view text, std::int32_t min, std::int32_t max)
{
    if (text == GetLangString(ChoiceText::DefaultValue))
        return RESULT_OK;
    if (text.empty())
        return RESULT_EMPTY_ITEM;
    for (char c : text) {
        if (c < '0' || c > '9')
            return RESULT_ILLEGAL_CHAR;
    }
    // Digits only: accumulate in 64 bits and stop once the value is past any 32-bit range,
    // so a long digit string is simply out of range.
    std::int64_t number = 0;
    for (char c : text) {
        number = number * 10 + (c - '0');
        if (number > std::numeric_limits<std::int32_t>::max())
            return RESULT_OUT_OF_RANGE;
    }
    if (number < min || number > max)
        return RESULT_OUT_OF_RANGE;
    return RESULT_OK;
}

ResultCode gw::CheckHex(std::string_view text, std::uint32_t min, std::uint32_t max)
{
    if (text.size() > 4)
        return RESULT_OUT_OF_RANGE;
    for (char c : text) {
        if (!IsHexDigitUpper(c))
            return RESULT_ILLEGAL_CHAR;
    }
    const std::uint32_t number = HexToNumber(text);
    if (number < min || number > max)
        return RESULT_OUT_OF_RANGE;
    return RESULT_OK;
}

std::uint32_t gw::HexToNumber(std::string_view text)
{
    if (text.size() > 4)
        return 0;
    std::uint32_t sum = 0;
    std::uint32_t place = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        const char c = *it;
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        sum += digit * place;
        place *= 16;
    }
    return sum;
}

std::int32_t gw::LeadingInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t number = 0;
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > kLimit)
            number = kLimit;
    }
    if (negative)
        return static_cast<std::int32_t>(-number < std::numeric_limits<std::int32_t>::min()
                                             ? std::numeric_limits<std::int32_t>::min()
                                             : -number);
    return static_cast<std::int32_t>(number > std::numeric_limits<std::int32_t>::max()
                                         ? std::numeric_limits<std::int32_t>::max()
                                         : number);
}
