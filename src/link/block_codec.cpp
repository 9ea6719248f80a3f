#include "link/block_codec.h"

#include <algorithm>
#include <array>

#include "model/lang_strings.h"

namespace {

std::uint8_t Low(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t High(int value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }
int Word(std::uint8_t high, std::uint8_t low) { return high * 256 + low; }

void SetEnableOf(CParamItem* item, bool enabled)
{
    if (item)
        item->SetEnable(enabled ? 1 : 0);
}

bool IsWordField(const WireField& field)
{
    return field.encoding == WireEncoding::Number16 || field.encoding == WireEncoding::MappingAddress;
}

// The fields of a table from a node's rows into a block, and back. Numbers go in big-endian,
// cut to the field's width. The block is a span: every block size shares one copy of the code.
template <typename Node>
void PutFields(std::span<const WireField> fields, const Node& node, std::span<std::uint8_t> block)
{
    for (const WireField& field : fields) {
        const int number = gw::WireValueOf(node.GetItemAt(field.row), field.encoding);
        if (IsWordField(field)) {
            block[field.offset] = High(number);
            block[field.offset + 1] = Low(number);
        } else {
            block[field.offset] = Low(number);
        }
    }
}

template <typename Node>
void TakeFields(std::span<const WireField> fields, std::span<const std::uint8_t> block, Node& node)
{
    for (const WireField& field : fields) {
        const int number = IsWordField(field) ? Word(block[field.offset], block[field.offset + 1]) : block[field.offset];
        gw::SetWireValue(node.GetItemAt(field.row), field.encoding, number);
    }
}

} // namespace

SerialBlock gw::EncodeSerialBlock(const CSubnetNode& subnet)
{
    SerialBlock p{};   // bytes 0, 6 (the subnet's slave address) and 12 (its output pulse) stay 00h
    p[1] = Low(subnet.GetProtocolCode());
    PutFields(SerialFields(), subnet, p);
    const FramingBlock framing = EncodeFramingBlock(subnet);
    std::copy(framing.begin() + 1, framing.end(), p.begin() + kShortSerialBlock);
    return p;
}

FramingBlock gw::EncodeFramingBlock(const CSubnetNode& subnet)
{
    FramingBlock f{};
    PutFields(FramingFields(), subnet, f);
    return f;
}

BusBlock gw::EncodeBusBlock(const CBusNode& bus)
{
    return BusBlockOf(bus);
}

CommandRecord gw::EncodeCommandRecord(const CModbusCommand& command, int sequence, int slaveAddress)
{
    CommandRecord r{};
    r[0] = Low(sequence);
    r[1] = Low(slaveAddress);
    PutFields(CommandRecordFields(), command, r);
    return r;
}

void gw::ApplySerialBlock(std::span<const std::uint8_t> p, bool longBlock, CSubnetNode& subnet)
{
    if (p.size() < (longBlock ? kLongSerialBlock : kShortSerialBlock))
        return;
    subnet.SetMode(p[1] == 0x00 ? MODE_MODBUS_MASTER : MODE_USER_CONFIG);
    TakeFields(SerialFields(), p, subnet);
    if (!longBlock)
        return;

    const std::uint8_t frameType = p[14];
    const bool byLength = frameType == 1;
    const bool byDelimiter = frameType != 0 && frameType != 1;
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_CHAR_INTERVAL), true);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_FRAME_LENGTH), byLength);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_START_DELIMITER), byDelimiter);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_END_DELIMITER), byDelimiter);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_CRC_CHECK), !byDelimiter);
    SetEnableOf(subnet.GetItemAt(SUBNET_ROW_AUTO_SEND_PERIOD), p[20] != 0);
    TakeFields(FramingFields(), p.subspan(kFramingInLongSerial), subnet);
}

void gw::ApplyFramingBlock(std::span<const std::uint8_t> f, CSubnetNode& subnet)
{
    if (f.size() < kFramingBlock)
        return;
    TakeFields(FramingFields(), f, subnet);
}

void gw::ApplyBusBlock(std::span<const std::uint8_t> b, CBusNode& bus)
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

void gw::ApplyAddressMode(std::uint8_t mode, CBusNode& bus)
{
    bus.SetChoice(BUS_ROW_ADDRESS_MODE, mode);
}

int gw::GetDataSize(const CModbusCommand& command)
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

DecodedCommand gw::DecodeCommandRecord(std::span<const std::uint8_t> r, CSlaveNode& slave)
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
    // Row 0 came with the function: a command is made for the code it carries.
    const auto fields = CommandRecordFields().subspan(1);
    for (const WireField& field : fields) {
        if (!command->GetItemAt(field.row)) {
            decoded.result = RESULT_COMMAND_UPLOAD;
            return decoded;
        }
    }
    TakeFields(fields, r, *command);
    command->SetIntValue(CMD_ROW_BYTE_COUNT, (GetDataSize(*command) + 7) / 8);
    decoded.command = std::move(command);
    return decoded;
}
