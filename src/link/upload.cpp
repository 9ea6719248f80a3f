#include "link/upload.h"

#include <algorithm>
#include <array>

#include "link/block_codec.h"
#include "link/protocol.h"
#include "model/config_copy.h"

namespace {

bool ChecksumAt(std::span<const std::uint8_t> reply, std::size_t last)
{
    return reply[last] == gw::Checksum8(reply.first(last));
}

// A read request and its reply, read into a cleared buffer of the reply's full length.
ResultCode Ask(CPortSlot& slot, std::uint8_t code, std::span<const std::uint8_t> payload, std::span<std::uint8_t> reply)
{
    std::fill(reply.begin(), reply.end(), std::uint8_t{0});
    if (const ResultCode result = gw::WriteFrame(slot, gw::MakeFrame(code, payload)); result != RESULT_OK)
        return result;
    return gw::ReadFrame(slot, reply);
}

constexpr std::uint8_t kZero[] = {0x00};

ResultCode ReadSerial(CPortSlot& slot, CSubnetNode& subnet, bool longBlock)
{
    std::array<std::uint8_t, kLongSerialReplyLength> buffer{};
    const auto reply = std::span(buffer).first(longBlock ? kLongSerialReplyLength : kShortSerialReplyLength);
    if (const ResultCode code = Ask(slot, PROTO_CMD_READ_SERIAL, kZero, reply); code != RESULT_OK)
        return code;
    const bool valid = reply[0] == PROTO_CMD_READ_SERIAL &&
                       (longBlock ? ChecksumAt(reply, kLongSerialReplyLength - 1) : reply[1] == kShortSerialBlock);
    if (!valid)
        return RESULT_REPLY_MISMATCH;
    gw::ApplySerialBlock(reply.subspan(2), longBlock, subnet);
    return RESULT_OK;
}

ResultCode ReadFraming(CPortSlot& slot, CSubnetNode& subnet)
{
    std::array<std::uint8_t, kFramingReplyLength> reply{};
    if (const ResultCode code = Ask(slot, PROTO_CMD_READ_FRAMING, kZero, reply); code != RESULT_OK)
        return code;
    if (reply[0] != PROTO_CMD_READ_FRAMING || reply[1] != kFramingBlock)
        return RESULT_REPLY_MISMATCH;
    gw::ApplyFramingBlock(std::span(reply).subspan(2), subnet);
    return RESULT_OK;
}

// What is left to ask in User Config mode once the serial block has told the mode: the framing
// block (2.x but 2.0) and the address mode (all but 2.0).
int UserConfigExchangesAfterSerial(HardwareVersion v)
{
    const bool version20 = v.major == 2 && v.minor == 0;
    return (version20 ? 0 : 1) + (v.major == 2 && !version20 ? 1 : 0);
}

} // namespace

ResultCode gw::Upload(CPortSlot& slot, CDeviceConfig& root, HardwareVersion* reported)
{
    CDeviceConfig read;
    CopyConfiguration(root, read);

    HardwareVersion version;
    if (const ResultCode code = ReadHardwareVersion(slot, version); code != RESULT_OK)
        return code;
    if (reported)
        *reported = version;
    if (const ResultCode code = UploadSerial(slot, read.Subnet(), version); code != RESULT_OK)
        return code;
    if (const ResultCode code = UploadBus(slot, read.Bus(), read.Subnet().GetMode(), version); code != RESULT_OK)
        return code;
    root.TakeContentsFrom(read);
    return RESULT_OK;
}

ResultCode gw::UploadSerial(CPortSlot& slot, CSubnetNode& subnet, HardwareVersion v)
{
    subnet.RemoveAllNodes();
    // Hardware above 2.x keeps its serial side to itself: nothing this tool can read.
    if (v.major > 2)
        return RESULT_VERSION_MISMATCH;
    const bool longBlock = v.major == 2 && v.minor == 0;
    if (const ResultCode code = ReadSerial(slot, subnet, longBlock); code != RESULT_OK)
        return code;
    if (subnet.GetMode() == MODE_MODBUS_MASTER)
        return UploadCommands(slot, subnet);
    slot.SetTotalExchanges(slot.DoneExchanges() + UserConfigExchangesAfterSerial(v));
    if (v.major == 2 && v.minor != 0 && subnet.GetMode() == MODE_USER_CONFIG)
        return ReadFraming(slot, subnet);
    return RESULT_OK;
}

ResultCode gw::UploadCommands(CPortSlot& slot, CSubnetNode& subnet)
{
    std::array<std::uint8_t, kCommandCountReplyLength> countReply{};
    if (const ResultCode code = Ask(slot, PROTO_CMD_READ_COMMAND_COUNT, kZero, countReply); code != RESULT_OK)
        return code;
    if (countReply[0] != PROTO_CMD_READ_COMMAND_COUNT || !ChecksumAt(countReply, kCommandCountReplyLength - 1))
        return RESULT_REPLY_MISMATCH;
    const int count = countReply[3] * 256 + countReply[4];
    // A slave node holds at most 48 commands, so a module cannot hold more: a larger count is a
    // bad reply, not a reason to read thousands of pages.
    if (count > kMaxCommandsPerSlave)
        return RESULT_REPLY_MISMATCH;
    const int pages = (count + static_cast<int>(kRecordsPerPage) - 1) / static_cast<int>(kRecordsPerPage);
    slot.SetTotalExchanges(slot.DoneExchanges() + pages + 1);   // the pages, then the bus block
    if (count == 0)
        return RESULT_OK;

    auto created = std::make_unique<CSlaveNode>("Node(0)");
    CSlaveNode* slave = created.get();
    subnet.AttachNode(std::move(created));
    if (!slave->GetItemAt(SLAVE_ROW_ADDRESS))
        return RESULT_OK;

    int remaining = count;
    std::array<std::uint8_t, CommandPageReplyLength(kRecordsPerPage)> buffer{};
    for (int page = 0; page < pages; ++page) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(remaining), kRecordsPerPage);
        const auto reply = std::span(buffer).first(CommandPageReplyLength(n));
        const std::uint8_t request[] = {0x00, static_cast<std::uint8_t>(page)};
        if (const ResultCode code = Ask(slot, PROTO_CMD_READ_COMMAND_PAGE, request, reply); code != RESULT_OK)
            return code;
        for (std::size_t k = 0; k < n; ++k) {
            DecodedCommand decoded = DecodeCommandRecord(reply.subspan(3 + kCommandRecord * k, kCommandRecord), *slave);
            if (decoded.result != RESULT_OK)
                return decoded.result;
            slave->AttachCommand(std::move(decoded.command));
        }
        remaining -= static_cast<int>(n);
    }
    return RESULT_OK;
}

ResultCode gw::UploadBus(CPortSlot& slot, CBusNode& bus, int mode, HardwareVersion v)
{
    if (mode != MODE_MODBUS_MASTER) {
        if (v.major == 2 && v.minor == 0) {
            ApplyAddressMode(0, bus);   // "Set by I/O Port": this hardware is not asked
            return RESULT_OK;
        }
        std::array<std::uint8_t, kAddrModeReplyLength> reply{};
        if (const ResultCode code = Ask(slot, PROTO_CMD_READ_ADDR_MODE, {}, reply); code != RESULT_OK)
            return code;
        if (reply[0] != PROTO_CMD_READ_ADDR_MODE || !ChecksumAt(reply, kAddrModeReplyLength - 1))
            return RESULT_REPLY_MISMATCH;
        ApplyAddressMode(reply[4], bus);
        return RESULT_OK;
    }
    std::array<std::uint8_t, kBusReplyLength> reply{};
    if (const ResultCode code = Ask(slot, PROTO_CMD_READ_BUS, {}, reply); code != RESULT_OK)
        return code;
    if (reply[0] != PROTO_CMD_READ_BUS || !ChecksumAt(reply, kBusReplyLength - 1))
        return RESULT_REPLY_MISMATCH;
    ApplyBusBlock(std::span(reply).subspan(2, kBusBlock), bus);
    return RESULT_OK;
}
