#include "link/protocol.h"

#include "link/serial_port.h"

Bytes gw::MakeFrame(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    Bytes frame;
    frame.reserve(payload.size() + 3);
    frame.push_back(code);
    frame.push_back(static_cast<std::uint8_t>(payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(Checksum8(frame));
    return frame;
}

std::array<std::uint8_t, kAckLength> gw::MakeAck(std::uint8_t code)
{
    return {code, 0x00, code};
}

std::string_view gw::CommandName(std::uint8_t code)
{
    switch (code) {
    case PROTO_CMD_READ_VERSION: return "READ_VERSION";
    case PROTO_CMD_WRITE_SERIAL: return "WRITE_SERIAL";
    case PROTO_CMD_READ_SERIAL: return "READ_SERIAL";
    case PROTO_CMD_WRITE_FRAMING: return "WRITE_FRAMING";
    case PROTO_CMD_READ_FRAMING: return "READ_FRAMING";
    case PROTO_CMD_WRITE_BUS: return "WRITE_BUS";
    case PROTO_CMD_READ_BUS: return "READ_BUS";
    case PROTO_CMD_WRITE_COMMAND: return "WRITE_COMMAND";
    case PROTO_CMD_BEGIN_COMMANDS: return "BEGIN_COMMANDS";
    case PROTO_CMD_READ_COMMAND_COUNT: return "READ_COMMAND_COUNT";
    case PROTO_CMD_READ_COMMAND_PAGE: return "READ_COMMAND_PAGE";
    case PROTO_CMD_WRITE_ADDR_MODE: return "WRITE_ADDR_MODE";
    case PROTO_CMD_READ_ADDR_MODE: return "READ_ADDR_MODE";
    case PROTO_CMD_BUS_PREFACE: return "BUS_PREFACE";
    default: return "UNKNOWN";
    }
}
