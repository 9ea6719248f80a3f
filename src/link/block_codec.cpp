#include "link/block_codec.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "model/lang_strings.h"
#include "model/validation.h"

namespace {

std::uint8_t Low(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t High(int value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }
int Word(std::uint8_t high, std::uint8_t low) { return high * 256 + low; }

void SetEnableOf(CParamItem* item, bool enabled)
{
    if (item)
        item->SetEnable(enabled ? 1 : 0);
}

void SetValueOf(CParamItem* item, std::string text)
{
    if (item)
        item->value = std::move(text);
}

} // namespace

SerialBlock EncodeSerialBlock(const CSubnetNode& subnet)
{
    SerialBlock p{};
    p[0] = 0x00;
    p[1] = Low(subnet.GetProtocolCode());
    p[2] = Low(subnet.GetBaudRate());
    p[3] = Low(subnet.GetDataBits());
    p[4] = Low(subnet.GetCheckBit());
    p[5] = Low(subnet.GetStopBits());
    p[6] = 0x00;   // the subnet's own slave address is not sent
    p[7] = Low(subnet.GetTransmissionMode());
    const int timeout = subnet.GetResponseTimeout();
    p[8] = High(timeout);
    p[9] = Low(timeout);
    p[10] = Low(subnet.GetPollDelay());
    p[11] = Low(subnet.GetOutputMode());
    p[12] = 0x00;  // nor its output pulse
    p[13] = Low(subnet.GetScanRate());
    const FramingBlock framing = EncodeFramingBlock(subnet);
    std::copy(framing.begin() + 1, framing.end(), p.begin() + kShortSerialBlock);
    return p;
}

FramingBlock EncodeFramingBlock(const CSubnetNode& subnet)
{
    FramingBlock f{};
    f[0] = 0x00;
    f[1] = Low(subnet.GetFrameType());
    const int interval = subnet.GetCharInterval();
    f[2] = High(interval);
    f[3] = Low(interval);
    f[4] = Low(subnet.GetFrameLength());
    f[5] = Low(subnet.GetStartDelimiter());
    f[6] = Low(subnet.GetEndDelimiter());
    f[7] = Low(subnet.GetAutoSending());
    const int period = subnet.GetAutoSendingPeriod();
    f[8] = High(period);
    f[9] = Low(period);
    f[10] = Low(subnet.GetCrcCheck());
    f[11] = 0x00;
    return f;
}

BusBlock EncodeBusBlock(const CBusNode& bus)
{
    const int i3 = bus.GetChoiceIndex(BUS_ROW_ADDRESS_MODE);
    const int i4 = bus.GetChoiceIndex(BUS_ROW_PROBE_TIMEOUT);
    const int t = bus.GetIntValue(BUS_ROW_PROBE_TIMEOUT);
    if (i4 == 0 && i3 != 0)
        return {0xFF, 0xFF, 0xFF, 0xFF};
    if (i4 == 0)
        return {0x00, 0x00, High(t), Low(t)};
    if (i3 == -1)
        return {0xFF, 0xFF, 0xFF, 0xFF};
    return {Low(i3), 0x00, High(t), Low(t)};
}

std::uint16_t MappingAddressOf(const std::string& text)
{
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (const auto h = upper.rfind('H'); h != std::string::npos)
        upper.erase(h);
    return static_cast<std::uint16_t>(HexToNumber(upper));
}

CommandRecord EncodeCommandRecord(const CModbusCommand& command, int sequence, int slaveAddress)
{
    CommandRecord r{};
    r[0] = Low(sequence);
    r[1] = Low(slaveAddress);
    r[2] = Low(command.GetFunctionCode());
    const int start = command.GetIntValue(CMD_ROW_START_ADDRESS);
    r[3] = High(start);
    r[4] = Low(start);
    const int count = command.GetIntValue(CMD_ROW_DATA_COUNT);
    r[5] = High(count);
    r[6] = Low(count);
    const CParamItem* address = command.GetItemAt(CMD_ROW_MAP_ADDRESS);
    const std::uint16_t mapping = address ? MappingAddressOf(address->value) : 0xFFFF;
    r[7] = High(mapping);
    r[8] = Low(mapping);
    r[9] = Low(command.GetIntValue(CMD_ROW_MAP_BIT));
    r[10] = Low(command.GetChoiceIndex(CMD_ROW_SCAN_TYPE));
    r[11] = Low(command.GetChoiceIndex(CMD_ROW_BYTE_SWAP));
    return r;
}

void ApplySerialBlock(std::span<const std::uint8_t> p, bool longBlock, CSubnetNode& subnet)
{
    if (p.size() < (longBlock ? kLongSerialBlock : kShortSerialBlock))
        return;
    subnet.SetMode(p[1] == 0x00 ? MODE_MODBUS_MASTER : MODE_USER_CONFIG);
    subnet.SetChoice(SUBNET_ROW_BAUD_RATE, p[2]);
    subnet.SetChoice(SUBNET_ROW_DATA_BITS, p[3]);
    subnet.SetChoice(SUBNET_ROW_CHECK_BIT, p[4]);
    subnet.SetChoice(SUBNET_ROW_STOP_BITS, p[5]);
    subnet.SetChoice(SUBNET_ROW_TRANSMISSION, p[7]);
    subnet.SetIntValue(SUBNET_ROW_RESPONSE_TIMEOUT, Word(p[8], p[9]));
    subnet.SetIntValue(SUBNET_ROW_POLL_DELAY, p[10] * 10);
    subnet.SetChoice(SUBNET_ROW_OUTPUT_MODE, p[11] - 1);   // 0 is no output mode: the row keeps its value
    subnet.SetIntValue(SUBNET_ROW_SCAN_RATE, p[13]);
    if (!longBlock)
        return;

    const std::uint8_t frameType = p[14];
    subnet.SetChoice(SUBNET_ROW_FRAME_TYPE, frameType);
    const bool byLength = frameType == 1;
    const bool byDelimiter = frameType != 0 && frameType != 1;
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_CHAR_INTERVAL), true);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH), byLength);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_START_DELIMITER), byDelimiter);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_END_DELIMITER), byDelimiter);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_CRC_CHECK), !byDelimiter);
    subnet.SetIntValue(SUBNET_ROW_CHAR_INTERVAL, Word(p[15], p[16]));
    subnet.SetIntValue(SUBNET_ROW_FRAME_LENGTH, p[17]);
    subnet.SetIntValue(SUBNET_ROW_START_DELIMITER, p[18]);
    subnet.SetIntValue(SUBNET_ROW_END_DELIMITER, p[19]);
    subnet.SetChoice(SUBNET_ROW_AUTO_SEND, p[20]);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_AUTO_SEND_PERIOD), p[20] != 0);
    subnet.SetIntValue(SUBNET_ROW_AUTO_SEND_PERIOD, Word(p[21], p[22]));
    subnet.SetChoice(SUBNET_ROW_CRC_CHECK, p[23]);
}

void ApplyFramingBlock(std::span<const std::uint8_t> f, CSubnetNode& subnet)
{
    if (f.size() < kFramingBlock)
        return;
    subnet.SetChoice(SUBNET_ROW_FRAME_TYPE, f[1]);
    subnet.SetIntValue(SUBNET_ROW_CHAR_INTERVAL, Word(f[2], f[3]));
    subnet.SetIntValue(SUBNET_ROW_FRAME_LENGTH, f[4]);
    subnet.SetIntValue(SUBNET_ROW_START_DELIMITER, f[5]);
    subnet.SetIntValue(SUBNET_ROW_END_DELIMITER, f[6]);
    subnet.SetChoice(SUBNET_ROW_AUTO_SEND, f[7]);
    subnet.SetIntValue(SUBNET_ROW_AUTO_SEND_PERIOD, Word(f[8], f[9]));
    subnet.SetChoice(SUBNET_ROW_CRC_CHECK, f[10]);
}

void ApplyBusBlock(std::span<const std::uint8_t> b, CBusNode& bus)
{
    if (b.size() < kBusBlock)
        return;
    if (b[3] == 0xFF) {
        bus.SetChoice(BUS_ROW_ADDRESS_MODE, 1);    // "Probe Addr Automatically"
        bus.SetChoice(BUS_ROW_PROBE_TIMEOUT, 0);   // "Default Value"
        return;
    }
    bus.SetChoice(BUS_ROW_ADDRESS_MODE, b[0]);
    SetEnableOf(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT), b[0] != 0);
    if (b[2] == 0 && b[3] == 0)
        bus.SetChoice(BUS_ROW_PROBE_TIMEOUT, 0);
    else
        bus.SetIntValue(BUS_ROW_PROBE_TIMEOUT, Word(b[2], b[3]));
}

void ApplyAddressMode(std::uint8_t mode, CBusNode& bus)
{
    bus.SetChoice(BUS_ROW_ADDRESS_MODE, mode);
}

int GetDataSize(const CModbusCommand& command)
{
    const CParamItem* code = command.GetItemAt(CMD_ROW_FUNCTION_CODE);
    const int function = code ? command.GetFunctionCode() : 0;
    const int n = command.GetIntValue(CMD_ROW_DATA_COUNT);
    switch (function) {
    case 1:
    case 2:
    case 15: return n;
    case 5: return 1;
    default: return 16 * n;
    }
}

DecodedCommand DecodeCommandRecord(std::span<const std::uint8_t> r, CSlaveNode& slave)
{
    DecodedCommand decoded;
    if (r.size() < kCommandRecord) {
        decoded.result = RESULT_COMMAND_UPLOAD;
        return decoded;
    }
    if (CParamItem* address = slave.GetItemAt(SLAVE_ROW_ADDRESS))
        address->value = std::to_string(r[1]);
    slave.SetName("Node(" + std::to_string(r[1]) + ")");

    int index = kUnknownFunctionIndex;
    const std::string name = GetFunctionByCode(r[2], &index);
    if (!IsSupportedFunctionIndex(index)) {
        decoded.result = RESULT_COMMAND_UPLOAD;
        return decoded;
    }
    auto command = std::make_unique<CModbusCommand>(name, index);
    const int rows[] = {CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS, CMD_ROW_MAP_BIT,
                        CMD_ROW_BYTE_SWAP, CMD_ROW_SCAN_TYPE};
    for (const int row : rows) {
        if (!command->GetItemAt(row)) {
            decoded.result = RESULT_COMMAND_UPLOAD;
            return decoded;
        }
    }
    command->SetIntValue(CMD_ROW_START_ADDRESS, Word(r[3], r[4]));
    command->SetIntValue(CMD_ROW_DATA_COUNT, Word(r[5], r[6]));
    char mapping[8];
    std::snprintf(mapping, sizeof mapping, "%4.4XH", static_cast<unsigned>(Word(r[7], r[8])));
    SetValueOf(command->GetItemAt(CMD_ROW_MAP_ADDRESS), mapping);
    command->SetIntValue(CMD_ROW_MAP_BIT, r[9]);
    SetValueOf(command->GetItemAt(CMD_ROW_BYTE_SWAP), GetLangString(r[11] == 0 ? 52 : r[11] == 1 ? 53 : 54));
    SetValueOf(command->GetItemAt(CMD_ROW_SCAN_TYPE), GetLangString(r[10] == 0 ? 56 : 55));
    command->SetIntValue(CMD_ROW_BYTE_COUNT, (GetDataSize(*command) + 7) / 8);
    decoded.command = std::move(command);
    return decoded;
}
