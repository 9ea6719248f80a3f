#pragma once
// The wire format between the tool and the gateway module. Every frame, in both directions, is
// command code, payload length L, L payload bytes and Checksum8 of all bytes before it. Numbers
// of more than one byte are big-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

enum ProtoCommand : std::uint8_t {
    PROTO_CMD_READ_VERSION = 0x01,
    PROTO_CMD_WRITE_SERIAL = 0x03,
    PROTO_CMD_READ_SERIAL = 0x04,
    PROTO_CMD_WRITE_FRAMING = 0x05,
    PROTO_CMD_READ_FRAMING = 0x06,
    PROTO_CMD_WRITE_BUS = 0x07,
    PROTO_CMD_READ_BUS = 0x08,
    PROTO_CMD_WRITE_COMMAND = 0x10,
    PROTO_CMD_BEGIN_COMMANDS = 0x14,
    PROTO_CMD_READ_COMMAND_COUNT = 0x15,
    PROTO_CMD_READ_COMMAND_PAGE = 0x16,
    PROTO_CMD_WRITE_ADDR_MODE = 0x30,
    PROTO_CMD_READ_ADDR_MODE = 0x31,
    PROTO_CMD_BUS_PREFACE = 0x32,
};

// The one product code the tool talks to.
inline constexpr std::uint8_t kProductCode = 0x81;

// Payload sizes of the parameter blocks.
inline constexpr std::size_t kShortSerialBlock = 14;
inline constexpr std::size_t kLongSerialBlock = 25;
inline constexpr std::size_t kFramingBlock = 12;
inline constexpr std::size_t kBusBlock = 4;
inline constexpr std::size_t kCommandRecord = 12;
inline constexpr std::size_t kRecordsPerPage = 6;

// Lengths of the module's replies.
inline constexpr std::size_t kAckLength = 3;
inline constexpr std::size_t kVersionReplyLength = 11;
inline constexpr std::size_t kShortSerialReplyLength = kShortSerialBlock + 3;
inline constexpr std::size_t kLongSerialReplyLength = kLongSerialBlock + 3;
inline constexpr std::size_t kFramingReplyLength = kFramingBlock + 3;
inline constexpr std::size_t kBusReplyLength = kBusBlock + 3;
inline constexpr std::size_t kAddrModeReplyLength = 6;
inline constexpr std::size_t kCommandCountReplyLength = 6;

namespace gw {

inline constexpr std::size_t CommandPageReplyLength(std::size_t records) { return kCommandRecord * records + 4; }

} // namespace gw

using SerialBlock = std::array<std::uint8_t, kLongSerialBlock>;
using FramingBlock = std::array<std::uint8_t, kFramingBlock>;
using BusBlock = std::array<std::uint8_t, kBusBlock>;
using CommandRecord = std::array<std::uint8_t, kCommandRecord>;

namespace gw {

// A whole frame: code, length, payload, checksum.
Bytes MakeFrame(std::uint8_t code, std::span<const std::uint8_t> payload = {});

// The acknowledgement of a write: code, 00h, code.
std::array<std::uint8_t, kAckLength> MakeAck(std::uint8_t code);

// "READ_VERSION" and so on; "UNKNOWN" for a code the protocol does not have.
std::string_view CommandName(std::uint8_t code);

} // namespace gw
