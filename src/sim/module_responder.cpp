#include "sim/module_responder.h"

#include <algorithm>

#include "link/serial_port.h"

namespace {

Bytes Ack(std::uint8_t code)
{
    const auto ack = gw::MakeAck(code);
    return Bytes(ack.begin(), ack.end());
}

// The payload length each request must carry; -1 for a command the module does not know.
int RequiredLength(std::uint8_t code, bool longSerial)
{
    switch (code) {
    case PROTO_CMD_READ_VERSION: return 0;
    case PROTO_CMD_WRITE_SERIAL: return longSerial ? static_cast<int>(kLongSerialBlock) : static_cast<int>(kShortSerialBlock);
    case PROTO_CMD_READ_SERIAL: return 1;
    case PROTO_CMD_WRITE_FRAMING: return static_cast<int>(kFramingBlock);
    case PROTO_CMD_READ_FRAMING: return 1;
    case PROTO_CMD_WRITE_BUS: return static_cast<int>(kBusBlock);
    case PROTO_CMD_READ_BUS: return 0;
    case PROTO_CMD_WRITE_COMMAND: return 1 + static_cast<int>(kCommandRecord);
    case PROTO_CMD_BEGIN_COMMANDS: return 3;
    case PROTO_CMD_READ_COMMAND_COUNT: return 1;
    case PROTO_CMD_READ_COMMAND_PAGE: return 2;
    case PROTO_CMD_WRITE_ADDR_MODE: return 3;
    case PROTO_CMD_READ_ADDR_MODE: return 0;
    case PROTO_CMD_BUS_PREFACE: return 1;
    default: return -1;
    }
}

} // namespace

CModuleResponder::Answer CModuleResponder::Handle(std::span<const std::uint8_t> frame)
{
    Answer answer;
    if (frame.size() < 3 || frame.size() != static_cast<std::size_t>(frame[1]) + 3) {
        answer.note = "frame length does not match its length byte";
        return answer;
    }
    if (frame.back() != gw::Checksum8(frame.first(frame.size() - 1))) {
        answer.note = "bad checksum";
        return answer;
    }
    const std::uint8_t code = frame[0];
    const int required = RequiredLength(code, LongSerialBlock());
    if (required < 0) {
        answer.note = "unknown command";
        return answer;
    }
    if (frame[1] != required) {
        answer.note = "payload of " + std::to_string(frame[1]) + " bytes, this command takes " + std::to_string(required);
        return answer;
    }

    ++m_requests;
    if (m_faults.dropAfter >= 0 && m_answered >= m_faults.dropAfter) {
        answer.dropLine = true;
        answer.note = "line dropped";
        return answer;
    }
    answer.reply = Respond(code, frame.subspan(2, frame[1]), answer.stateChanged, answer.note);
    if (!answer.reply)
        return answer;

    const bool faulty = m_requests > m_faults.after && (m_faults.onCommand < 0 || m_faults.onCommand == code);
    if (faulty) {
        if (m_faults.noAnswer) {
            answer.reply.reset();
            answer.note = "fault: no answer";
            return answer;
        }
        if (m_faults.badChecksum) {
            answer.reply->back() = static_cast<std::uint8_t>(answer.reply->back() + 1);
            answer.note = "fault: bad checksum";
        }
        if (m_faults.shortReply) {
            answer.reply->resize(std::max<std::size_t>(1, answer.reply->size() / 2));
            answer.note = "fault: short reply";
        }
    }
    ++m_answered;
    return answer;
}

std::optional<Bytes> CModuleResponder::Respond(std::uint8_t code, std::span<const std::uint8_t> p, bool& changed,
                                               std::string& note)
{
    ModuleState& s = m_state;
    switch (code) {
    case PROTO_CMD_READ_VERSION: {
        const std::uint8_t payload[8] = {m_identity.product, m_identity.major, m_identity.minor, 0, 0, 0, 0, 0};
        return gw::MakeFrame(code, payload);
    }
    case PROTO_CMD_WRITE_SERIAL:
        std::copy(p.begin(), p.end(), s.serial.begin());
        changed = true;
        return Ack(code);
    case PROTO_CMD_READ_SERIAL:
        return gw::MakeFrame(code, std::span<const std::uint8_t>(s.serial).first(LongSerialBlock() ? kLongSerialBlock
                                                                                               : kShortSerialBlock));
    case PROTO_CMD_WRITE_FRAMING:
        // The framing fields are the long part of the serial block.
        std::copy(p.begin() + 1, p.end(), s.serial.begin() + kShortSerialBlock);
        changed = true;
        return Ack(code);
    case PROTO_CMD_READ_FRAMING: {
        FramingBlock framing{};
        std::copy(s.serial.begin() + kShortSerialBlock, s.serial.end(), framing.begin() + 1);
        return gw::MakeFrame(code, framing);
    }
    case PROTO_CMD_WRITE_BUS:
        std::copy(p.begin(), p.end(), s.bus.begin());
        changed = true;
        return Ack(code);
    case PROTO_CMD_READ_BUS:
        return gw::MakeFrame(code, s.bus);
    case PROTO_CMD_BEGIN_COMMANDS:
        if (p[0] != 0x00 || p[1] != 0x55 || p[2] != 0xAA) {
            note = "command list not opened with 00 55 AA";
            return std::nullopt;
        }
        s.commands.clear();
        changed = true;
        return Ack(code);
    case PROTO_CMD_WRITE_COMMAND: {
        CommandRecord record{};
        std::copy(p.begin() + 1, p.end(), record.begin());
        if (record[0] != s.commands.size() || s.commands.size() >= 48) {
            note = "command record " + std::to_string(record[0]) + " out of sequence";
            return std::nullopt;
        }
        s.commands.push_back(record);
        changed = true;
        return Ack(code);
    }
    case PROTO_CMD_READ_COMMAND_COUNT: {
        const auto count = static_cast<unsigned>(s.commands.size());
        const std::uint8_t payload[3] = {0x00, static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count)};
        return gw::MakeFrame(code, payload);
    }
    case PROTO_CMD_READ_COMMAND_PAGE: {
        const std::size_t first = static_cast<std::size_t>(p[1]) * kRecordsPerPage;
        Bytes payload{p[1]};
        for (std::size_t i = first; i < s.commands.size() && i < first + kRecordsPerPage; ++i)
            payload.insert(payload.end(), s.commands[i].begin(), s.commands[i].end());
        return gw::MakeFrame(code, payload);
    }
    case PROTO_CMD_WRITE_ADDR_MODE:
        s.addressMode = p[2];
        changed = true;
        return Ack(code);
    case PROTO_CMD_READ_ADDR_MODE: {
        const std::uint8_t payload[3] = {0x00, 0x00, s.addressMode};
        return gw::MakeFrame(code, payload);
    }
    case PROTO_CMD_BUS_PREFACE:
        return Ack(code);
    default:
        return std::nullopt;
    }
}
