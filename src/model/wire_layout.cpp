#include "model/wire_layout.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "model/bus_node.h"
#include "model/item_list.h"
#include "model/modbus_command.h"
#include "model/subnet_node.h"
#include "model/validation.h"

namespace {

constexpr WireField kSerialFields[] = {
    {SUBNET_ROW_BAUD_RATE, 2, WireEncoding::Choice},
    {SUBNET_ROW_DATA_BITS, 3, WireEncoding::Choice},
    {SUBNET_ROW_CHECK_BIT, 4, WireEncoding::Choice},
    {SUBNET_ROW_STOP_BITS, 5, WireEncoding::Choice},
    {SUBNET_ROW_TRANSMISSION, 7, WireEncoding::Choice},
    {SUBNET_ROW_RESPONSE_TIMEOUT, 8, WireEncoding::Number16},
    {SUBNET_ROW_POLL_DELAY, 10, WireEncoding::NumberTens},
    {SUBNET_ROW_OUTPUT_MODE, 11, WireEncoding::ChoicePlusOne},
    {SUBNET_ROW_SCAN_RATE, 13, WireEncoding::Number8},
};

constexpr WireField kFramingFields[] = {
    {SUBNET_ROW_FRAME_TYPE, 1, WireEncoding::Choice},
    {SUBNET_ROW_CHAR_INTERVAL, 2, WireEncoding::Number16},
    {SUBNET_ROW_FRAME_LENGTH, 4, WireEncoding::Number8},
    {SUBNET_ROW_START_DELIMITER, 5, WireEncoding::Number8},
    {SUBNET_ROW_END_DELIMITER, 6, WireEncoding::Number8},
    {SUBNET_ROW_AUTO_SEND, 7, WireEncoding::Choice},
    {SUBNET_ROW_AUTO_SEND_PERIOD, 8, WireEncoding::Number16},
    {SUBNET_ROW_CRC_CHECK, 10, WireEncoding::Choice},
};

constexpr WireField kCommandRecordFields[] = {
    {CMD_ROW_FUNCTION_CODE, 2, WireEncoding::Number8},
    {CMD_ROW_START_ADDRESS, 3, WireEncoding::Number16},
    {CMD_ROW_DATA_COUNT, 5, WireEncoding::Number16},
    {CMD_ROW_MAP_ADDRESS, 7, WireEncoding::MappingAddress},
    {CMD_ROW_MAP_BIT, 9, WireEncoding::Number8},
    {CMD_ROW_SCAN_TYPE, 10, WireEncoding::ChoiceClamped},
    {CMD_ROW_BYTE_SWAP, 11, WireEncoding::ChoiceClamped},
};

bool ParseByte(std::string_view text, std::uint8_t& value)
{
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number > 255)
        return false;
    value = static_cast<std::uint8_t>(number);
    return true;
}

} // namespace

std::string gw::HardwareVersionText(HardwareVersion version)
{
    return std::to_string(version.major) + "." + std::to_string(version.minor);
}

bool gw::ParseHardwareVersion(const std::string& text, HardwareVersion& version)
{
    const std::string_view all(text);
    const std::size_t dot = all.find('.');
    HardwareVersion parsed;
    if (!ParseByte(all.substr(0, dot), parsed.major))
        return false;
    if (dot != std::string_view::npos && !ParseByte(all.substr(dot + 1), parsed.minor))
        return false;
    version = parsed;
    return true;
}

std::span<const WireField> gw::SerialFields() { return kSerialFields; }
std::span<const WireField> gw::FramingFields() { return kFramingFields; }
std::span<const WireField> gw::CommandRecordFields() { return kCommandRecordFields; }

ModuleBlocks gw::BlocksKept(int mode, HardwareVersion v)
{
    ModuleBlocks kept;
    const bool master = mode == MODE_MODBUS_MASTER;
    const bool user = mode == MODE_USER_CONFIG;
    if (v.major > 2) {
        // The serial side is not this tool's to read; the fieldbus side cannot be read back either.
        return kept;
    }
    if (v.major < 2 && !master && user)
        return kept;   // refused before anything is sent
    kept.mode = true;
    kept.serial = true;
    kept.commands = master;
    // 2.0 sends the User Config rows in its long serial block, 2.x the framing block after it.
    kept.framing = user && v.major == 2;
    const bool version20 = v.major == 2 && v.minor == 0;
    kept.busBlock = master;
    // User Config on 2.x: the address mode, except on 2.0, which is not asked for it.
    kept.addressMode = user && v.major == 2 && !version20;
    return kept;
}

std::array<std::uint8_t, 4> gw::BusBlockOf(const CBusNode& bus)
{
    const int i3 = bus.GetChoiceIndex(BUS_ROW_ADDRESS_MODE);
    const int i4 = bus.GetChoiceIndex(BUS_ROW_PROBE_TIMEOUT);
    const int t = bus.GetIntValue(BUS_ROW_PROBE_TIMEOUT);
    const auto high = static_cast<std::uint8_t>((t >> 8) & 0xFF);
    const auto low = static_cast<std::uint8_t>(t & 0xFF);
    if (i4 == 0 && i3 != 0)
        return {0xFF, 0xFF, 0xFF, 0xFF};
    if (i4 == 0)
        return {0x00, 0x00, high, low};
    if (i3 == -1)
        return {0xFF, 0xFF, 0xFF, 0xFF};
    return {static_cast<std::uint8_t>(i3 & 0xFF), 0x00, high, low};
}

int gw::WireValueOf(const CParamItem* item, WireEncoding encoding)
{
    if (!item)
        return encoding == WireEncoding::ChoicePlusOne ? 0 : -1;
    switch (encoding) {
    case WireEncoding::Choice:
    case WireEncoding::ChoiceClamped:
        return ChoiceIndexOf(item);
    case WireEncoding::ChoicePlusOne:
        return ChoiceIndexOf(item) + 1;
    case WireEncoding::Number8:
    case WireEncoding::Number16:
        return IntValueOf(item);
    case WireEncoding::NumberTens:
        return IntValueOf(item) / 10;
    case WireEncoding::MappingAddress:
        return MappingAddressOf(item->value);
    }
    return -1;
}

void gw::SetWireValue(CParamItem* item, WireEncoding encoding, int number)
{
    if (!item)
        return;
    switch (encoding) {
    case WireEncoding::Choice:
        SetChoiceOf(item, number);
        return;
    case WireEncoding::ChoicePlusOne:
        SetChoiceOf(item, number - 1);
        return;
    case WireEncoding::ChoiceClamped:
        if (!item->choices.empty())
            SetChoiceOf(item, std::min(number, static_cast<int>(item->choices.size()) - 1));
        return;
    case WireEncoding::Number8:
    case WireEncoding::Number16:
        SetIntValueOf(item, number);
        return;
    case WireEncoding::NumberTens:
        SetIntValueOf(item, number * 10);
        return;
    case WireEncoding::MappingAddress: {
        char text[8];
        std::snprintf(text, sizeof text, "%4.4XH", static_cast<unsigned>(number & 0xFFFF));
        item->value = text;
        return;
    }
    }
}

std::uint16_t gw::MappingAddressOf(const std::string& text)
{
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (const auto h = upper.rfind('H'); h != std::string::npos)
        upper.erase(h);
    return static_cast<std::uint16_t>(HexToNumber(upper));
}
