#include "commission/reply_check.h"

#include <algorithm>

#include <modbus.h>

#include "commission/rtu_frame.h"
#include "model/hex_text.h"

namespace {

void Put16(std::vector<std::uint8_t>& frame, int value)
{
    frame.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

int Get16(std::span<const std::uint8_t> frame, std::size_t at)
{
    return frame[at] << 8 | frame[at + 1];
}

int DataBytes(const CommandRequest& request)
{
    return request.IsBitFunction() ? (request.count + 7) / 8 : 2 * request.count;
}

std::vector<std::uint16_t> Decode(const CommandRequest& request, std::span<const std::uint8_t> data)
{
    std::vector<std::uint16_t> values;
    if (!request.IsBitFunction()) {
        for (std::size_t i = 0; i + 1 < data.size(); i += 2)
            values.push_back(static_cast<std::uint16_t>(data[i] << 8 | data[i + 1]));
        return values;
    }
    for (int bit = 0; bit < request.count; ++bit)
        values.push_back(static_cast<std::uint16_t>((data[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1));
    return values;
}

ReplyCheck Refused(ReplyVerdict verdict, std::string detail)
{
    ReplyCheck check;
    check.verdict = verdict;
    check.detail = std::move(detail);
    return check;
}

// A write reply confirms the address and the value (5, 6) or the quantity (15, 16) it took.
ReplyCheck CheckWriteEcho(std::span<const std::uint8_t> requestFrame, const CommandRequest& request,
                          std::span<const std::uint8_t> reply)
{
    const int address = Get16(reply, 2), confirmed = Get16(reply, 4);
    if (address != Get16(requestFrame, 2))
        return Refused(ReplyVerdict::WrongEcho, "reply confirms address " + std::to_string(address) + ", not " +
                                                    std::to_string(Get16(requestFrame, 2)));
    if (confirmed != Get16(requestFrame, 4))
        return Refused(ReplyVerdict::WrongEcho, std::string("reply confirms ") +
                                                    (request.function <= 6 ? "value " : "quantity ") +
                                                    std::to_string(confirmed) + ", not " +
                                                    std::to_string(Get16(requestFrame, 4)));
    return {ReplyVerdict::Answer, 0, {}, {}};
}

} // namespace

std::vector<std::uint8_t> gw::BuildRequestFrame(int slave, const CommandRequest& request,
                                                std::span<const std::uint16_t> values)
{
    std::vector<std::uint8_t> frame{static_cast<std::uint8_t>(slave), static_cast<std::uint8_t>(request.function)};
    Put16(frame, request.start);
    switch (request.function) {
    case 5:
        Put16(frame, !values.empty() && values[0] ? 0xFF00 : 0x0000);
        break;
    case 6:
        Put16(frame, values.empty() ? 0 : values[0]);
        break;
    case 15: {
        Put16(frame, static_cast<int>(values.size()));
        frame.push_back(static_cast<std::uint8_t>((values.size() + 7) / 8));
        std::vector<std::uint8_t> bits((values.size() + 7) / 8);
        for (std::size_t i = 0; i < values.size(); ++i)
            if (values[i])
                bits[i / 8] = static_cast<std::uint8_t>(bits[i / 8] | 1u << (i % 8));
        frame.insert(frame.end(), bits.begin(), bits.end());
        break;
    }
    case 16:
        Put16(frame, static_cast<int>(values.size()));
        frame.push_back(static_cast<std::uint8_t>(2 * values.size()));
        for (const std::uint16_t value : values)
            Put16(frame, value);
        break;
    default:
        Put16(frame, request.count);
        break;
    }
    AppendCrc(frame);
    return frame;
}

ReplyCheck gw::CheckReply(std::span<const std::uint8_t> requestFrame, const CommandRequest& request,
                          std::span<const std::uint8_t> reply)
{
    const int length = ReplyLength(reply);
    if (length < 0 || reply.size() < static_cast<std::size_t>(length) || !HasValidCrc(reply.first(static_cast<std::size_t>(length)))) {
        // A frame of a known layout from our slave is damaged; anything else is noise.
        if (length > 0 && reply.size() >= static_cast<std::size_t>(length) && reply[0] == requestFrame[0])
            return Refused(ReplyVerdict::BadCrc, "CRC error in the reply");
        return Refused(ReplyVerdict::Garbled, "garbled reply (" + std::to_string(reply.size()) + " bytes: " + HexBytes(reply) + ")");
    }
    reply = reply.first(static_cast<std::size_t>(length));
    if (reply[0] != requestFrame[0])
        return Refused(ReplyVerdict::OtherSlave, "reply from slave " + std::to_string(reply[0]) + ", not " +
                                                     std::to_string(requestFrame[0]));
    if (reply[1] == (request.function | 0x80)) {
        ReplyCheck check;
        check.verdict = ReplyVerdict::Exception;
        check.exceptionCode = reply[2];
        check.detail = ExceptionName(reply[2]);
        return check;
    }
    if (reply[1] != request.function)
        return Refused(ReplyVerdict::WrongFunction, "reply with function " + std::to_string(reply[1] & 0x7F) +
                                                        ((reply[1] & 0x80) ? " (exception)" : "") + " to a function " +
                                                        std::to_string(request.function) + " request");
    if (!request.IsRead())
        return CheckWriteEcho(requestFrame, request, reply);
    if (reply[2] != DataBytes(request))
        return Refused(ReplyVerdict::WrongCount, "reply with " + std::to_string(reply[2]) + " data bytes, not " +
                                                     std::to_string(DataBytes(request)));
    ReplyCheck check;
    check.verdict = ReplyVerdict::Answer;
    check.values = Decode(request, reply.subspan(3, reply[2]));
    return check;
}

std::string gw::ExceptionName(int code)
{
    if (code >= EMBXILFUN - MODBUS_ENOBASE && code <= EMBXGTAR - MODBUS_ENOBASE && code != 9)
        return modbus_strerror(MODBUS_ENOBASE + code);
    return "exception " + std::to_string(code);
}

std::string gw::HexBytes(std::span<const std::uint8_t> bytes, std::size_t limit)
{
    std::string text = HexText(bytes.first(std::min(limit, bytes.size())));
    if (bytes.size() > limit)
        text += " ...";
    return text;
}
