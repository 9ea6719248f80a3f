#include "link/download.h"

#include <array>

#include "link/block_codec.h"
#include "link/protocol.h"
#include "mapping/usage_map.h"
#include "model/lang_strings.h"
#include "model/value_rules.h"

namespace {

bool IsVersion20(HardwareVersion v) { return v.major == 2 && v.minor == 0; }

ResultCode SendAndAck(CPortSlot& slot, std::uint8_t code, std::span<const std::uint8_t> payload)
{
    const Bytes request = gw::MakeFrame(code, payload);
    const auto expected = gw::MakeAck(code);
    std::array<std::uint8_t, kAckLength> reply{};
    return gw::Transact(slot, request, reply, expected);
}

ResultCode SendSerialBlock(CPortSlot& slot, const CSubnetNode& subnet, bool longBlock)
{
    const SerialBlock block = gw::EncodeSerialBlock(subnet);
    return SendAndAck(slot, PROTO_CMD_WRITE_SERIAL,
                      std::span<const std::uint8_t>(block).first(longBlock ? kLongSerialBlock : kShortSerialBlock));
}

ResultCode SendFramingBlock(CPortSlot& slot, const CSubnetNode& subnet)
{
    const FramingBlock block = gw::EncodeFramingBlock(subnet);
    return SendAndAck(slot, PROTO_CMD_WRITE_FRAMING, block);
}

ResultCode SendCommandList(CPortSlot& slot, const CSubnetNode& subnet)
{
    static constexpr std::uint8_t kBeginPayload[] = {0x00, 0x55, 0xAA};
    if (const ResultCode code = SendAndAck(slot, PROTO_CMD_BEGIN_COMMANDS, kBeginPayload); code != RESULT_OK)
        return code;
    // Only the first slave node is sent; the tree lets the subnet hold just one.
    const CSlaveNode* slave = subnet.GetNodeAt(0);
    if (!slave)
        return RESULT_OK;
    int sequence = 0;
    return gw::DownloadCommands(slot, *slave, sequence);
}

void Notify(CPortSlot& slot, const std::string& text)
{
    if (CLinkObserver* observer = slot.Observer())
        observer->ShowMessage(text);
}

} // namespace

ResultCode gw::ReadHardwareVersion(CPortSlot& slot, HardwareVersion& version)
{
    const Bytes request = gw::MakeFrame(PROTO_CMD_READ_VERSION);
    std::array<std::uint8_t, kVersionReplyLength> reply{};
    // The first answer only wakes the module up; the second one counts.
    for (int attempt = 0; attempt < 2; ++attempt) {
        reply.fill(0);
        if (const ResultCode code = WriteFrame(slot, request); code != RESULT_OK)
            return code;
        if (const ResultCode code = ReadFrame(slot, reply); code != RESULT_OK)
            return code;
    }
    if (reply[0] != PROTO_CMD_READ_VERSION || reply[10] != Checksum8(std::span(reply).first(10)))
        return RESULT_REPLY_MISMATCH;
    if (reply[2] != kProductCode)
        return RESULT_VERSION_MISMATCH;
    version.major = reply[3];
    version.minor = reply[4];
    if (const auto& expected = slot.ExpectedVersion();
        expected && (expected->major != version.major || expected->minor != version.minor)) {
        Notify(slot, "The module reports hardware " + HardwareVersionText(version) + ", not the " + HardwareVersionText(*expected) +
                         " expected.");
        return RESULT_VERSION_MISMATCH;
    }
    return RESULT_OK;
}

std::vector<std::uint8_t> gw::PlanDownloadFrames(int mode, HardwareVersion v, int commandCount)
{
    std::vector<std::uint8_t> frames;
    const auto commandList = [&] {
        frames.push_back(PROTO_CMD_BEGIN_COMMANDS);
        for (int i = 0; i < commandCount; ++i)
            frames.push_back(PROTO_CMD_WRITE_COMMAND);
    };
    if (v.major < 2) {
        if (mode == MODE_USER_CONFIG)
            return frames;   // refused before anything is sent
        frames.push_back(PROTO_CMD_WRITE_SERIAL);
        if (mode == MODE_MODBUS_MASTER)
            commandList();
    } else if (v.major == 2) {
        frames.push_back(PROTO_CMD_WRITE_SERIAL);
        if (mode == MODE_MODBUS_MASTER)
            commandList();
        else if (mode == MODE_USER_CONFIG && v.minor != 0)
            frames.push_back(PROTO_CMD_WRITE_FRAMING);
        else if (mode != MODE_USER_CONFIG && v.minor != 0)
            frames.pop_back();   // an unknown mode is sent on 2.0 only
    }
    if (mode == MODE_MODBUS_MASTER || IsVersion20(v)) {
        frames.push_back(PROTO_CMD_BUS_PREFACE);
        frames.push_back(PROTO_CMD_WRITE_BUS);
    } else {
        frames.push_back(PROTO_CMD_WRITE_ADDR_MODE);
    }
    return frames;
}

ResultCode gw::Download(CPortSlot& slot, const CDeviceConfig& root, bool* configurationSent)
{
    if (configurationSent)
        *configurationSent = false;
    if (const Outcome empty = root.CheckEmpty(); !empty) {
        Notify(slot, empty.message);
        return empty.code;
    }
    // Values that no edit could have stored are refused before the line is used, each named.
    if (const std::vector<ValueFault> faults = CheckItemValues(root); !faults.empty()) {
        for (const ValueFault& fault : faults)
            Notify(slot, DescribeValueFault(fault));
        return faults.front().code;
    }
    if (const ResultCode code = CheckMapping(root); code != RESULT_OK)
        return code;

    const CSubnetNode& subnet = root.Subnet();
    const CSlaveNode* slave = subnet.GetNodeAt(0);
    HardwareVersion version;
    if (const ResultCode code = ReadHardwareVersion(slot, version); code != RESULT_OK)
        return code;
    slot.SetTotalExchanges(slot.DoneExchanges() + static_cast<int>(PlanDownloadFrames(subnet.GetMode(), version,
                                                                                      slave ? slave->GetCommandCount() : -1).size()));
    // Every frame from here on is part of the configuration.
    const int versionFrames = slot.FramesWritten();
    ResultCode code = DownloadSerial(slot, subnet, version);
    if (code == RESULT_OK)
        code = DownloadBus(slot, root.Bus(), subnet.GetMode(), version);
    if (configurationSent)
        *configurationSent = slot.FramesWritten() > versionFrames;
    return code;
}

ResultCode gw::DownloadSerial(CPortSlot& slot, const CSubnetNode& subnet, HardwareVersion v)
{
    const int mode = subnet.GetMode();
    if (v.major > 2)
        return RESULT_OK;   // this hardware takes its serial side from elsewhere
    if (v.major < 2) {
        if (mode == MODE_USER_CONFIG) {
            Notify(slot, GetLangString(MessageText::UserConfigNotSupported));
            return RESULT_VERSION_MISMATCH;
        }
        if (const ResultCode code = SendSerialBlock(slot, subnet, false); code != RESULT_OK)
            return code;
        return mode == MODE_MODBUS_MASTER ? SendCommandList(slot, subnet) : RESULT_OK;
    }
    if (v.minor == 0) {
        if (const ResultCode code = SendSerialBlock(slot, subnet, true); code != RESULT_OK)
            return code;
        return mode == MODE_MODBUS_MASTER ? SendCommandList(slot, subnet) : RESULT_OK;
    }
    if (mode == MODE_MODBUS_MASTER) {
        if (const ResultCode code = SendSerialBlock(slot, subnet, false); code != RESULT_OK)
            return code;
        return SendCommandList(slot, subnet);
    }
    if (mode == MODE_USER_CONFIG) {
        if (const ResultCode code = SendSerialBlock(slot, subnet, false); code != RESULT_OK)
            return code;
        return SendFramingBlock(slot, subnet);
    }
    return RESULT_OK;
}

ResultCode gw::DownloadCommands(CPortSlot& slot, const CSlaveNode& slave, int& sequence)
{
    for (const auto& command : slave.Commands()) {
        if (!slave.GetItemAt(SLAVE_ROW_ADDRESS))
            return RESULT_EMPTY_ITEM;
        const int address = slave.GetIntValue(SLAVE_ROW_ADDRESS);
        if (const ResultCode code = DownloadCommand(slot, *command, sequence, address); code != RESULT_OK)
            return code;
    }
    return RESULT_OK;
}

ResultCode gw::DownloadCommand(CPortSlot& slot, const CModbusCommand& command, int& sequence, int slaveAddress)
{
    const CommandRecord record = EncodeCommandRecord(command, sequence, slaveAddress);
    std::array<std::uint8_t, 1 + kCommandRecord> payload{};
    std::copy(record.begin(), record.end(), payload.begin() + 1);
    const ResultCode code = SendAndAck(slot, PROTO_CMD_WRITE_COMMAND, payload);
    if (code == RESULT_OK)
        ++sequence;
    return code;
}

ResultCode gw::DownloadBus(CPortSlot& slot, const CBusNode& bus, int mode, HardwareVersion v)
{
    if (mode == MODE_MODBUS_MASTER || IsVersion20(v)) {
        static constexpr std::uint8_t kPreface[] = {0x00};
        if (const ResultCode code = SendAndAck(slot, PROTO_CMD_BUS_PREFACE, kPreface); code != RESULT_OK)
            return code;
        const BusBlock block = EncodeBusBlock(bus);
        return SendAndAck(slot, PROTO_CMD_WRITE_BUS, block);
    }
    const std::uint8_t payload[] = {0x00, 0x00, static_cast<std::uint8_t>(bus.GetChoiceIndex(BUS_ROW_ADDRESS_MODE) & 0xFF)};
    return SendAndAck(slot, PROTO_CMD_WRITE_ADDR_MODE, payload);
}
