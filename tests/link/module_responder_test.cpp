// The simulated module's side of the protocol: it answers only frames a module would take, and
// keeps what it was sent.

#include <gtest/gtest.h>

#include "link/protocol.h"
#include "link/serial_port.h"
#include "sim/module_responder.h"

namespace {

Bytes Frame(std::uint8_t code, std::vector<std::uint8_t> payload) { return MakeFrame(code, payload); }

Bytes CommandRecordFrame(std::uint8_t sequence)
{
    std::vector<std::uint8_t> payload(13, 0);
    payload[1] = sequence;   // the record itself starts with its sequence number
    payload[2] = 17;
    payload[3] = 3;
    return Frame(PROTO_CMD_WRITE_COMMAND, payload);
}

CModuleResponder Module(std::uint8_t major = 2, std::uint8_t minor = 1)
{
    SimIdentity identity;
    identity.major = major;
    identity.minor = minor;
    return CModuleResponder(identity, SimFaults{}, ModuleState::Factory());
}

TEST(ModuleResponder, StaysSilentOnFramesAModuleRefuses)
{
    Bytes badChecksum = Frame(PROTO_CMD_READ_BUS, {});
    badChecksum.back() ^= 0x01;
    Bytes lengthByteTooBig = Frame(PROTO_CMD_READ_BUS, {});
    lengthByteTooBig[1] = 5;
    struct Row {
        const char* name;
        Bytes frame;
        std::uint8_t major, minor;
        const char* note;
    };
    const Row rows[] = {
        {"too short", {0x08, 0x00}, 2, 1, "length"},
        {"length byte too big", lengthByteTooBig, 2, 1, "length"},
        {"bad checksum", badChecksum, 2, 1, "checksum"},
        {"unknown command", Frame(0x7E, {}), 2, 1, "unknown"},
        {"long serial block to 2.1", Frame(PROTO_CMD_WRITE_SERIAL, std::vector<std::uint8_t>(kLongSerialBlock)), 2, 1,
         "payload"},
        {"short serial block to 2.0", Frame(PROTO_CMD_WRITE_SERIAL, std::vector<std::uint8_t>(kShortSerialBlock)), 2, 0,
         "payload"},
        {"command list not opened", Frame(PROTO_CMD_BEGIN_COMMANDS, {0x00, 0x55, 0xAB}), 2, 1, "00 55 AA"},
        {"first record numbered 1", CommandRecordFrame(1), 2, 1, "sequence"},
    };
    for (const Row& row : rows) {
        CModuleResponder module = Module(row.major, row.minor);
        const CModuleResponder::Answer answer = module.Handle(row.frame);
        EXPECT_FALSE(answer.reply.has_value()) << row.name;
        EXPECT_FALSE(answer.stateChanged) << row.name;
        EXPECT_NE(answer.note.find(row.note), std::string::npos) << row.name << ": " << answer.note;
    }
}

TEST(ModuleResponder, AcknowledgesAndKeepsWhatItIsSent)
{
    CModuleResponder module = Module();
    const auto ack = [](std::uint8_t code) {
        const auto a = MakeAck(code);
        return Bytes(a.begin(), a.end());
    };
    EXPECT_EQ(module.Handle(Frame(PROTO_CMD_WRITE_BUS, {0x01, 0x00, 0x04, 0xD2})).reply, ack(PROTO_CMD_WRITE_BUS));
    EXPECT_EQ(module.State().bus, (BusBlock{0x01, 0x00, 0x04, 0xD2}));
    EXPECT_EQ(module.Handle(Frame(PROTO_CMD_BEGIN_COMMANDS, {0x00, 0x55, 0xAA})).reply, ack(PROTO_CMD_BEGIN_COMMANDS));
    for (std::uint8_t sequence = 0; sequence < 3; ++sequence) {
        const CModuleResponder::Answer answer = module.Handle(CommandRecordFrame(sequence));
        EXPECT_EQ(answer.reply, ack(PROTO_CMD_WRITE_COMMAND)) << int(sequence);
        EXPECT_TRUE(answer.stateChanged);
    }
    EXPECT_EQ(module.State().commands.size(), 3u);
    EXPECT_FALSE(module.Handle(CommandRecordFrame(1)).reply) << "a repeated record is out of sequence";

    // The bus block reads back as it was written, with a valid checksum.
    const Bytes bus = *module.Handle(Frame(PROTO_CMD_READ_BUS, {})).reply;
    EXPECT_EQ(bus, Frame(PROTO_CMD_READ_BUS, {0x01, 0x00, 0x04, 0xD2}));
    EXPECT_EQ(bus.back(), Checksum8(std::span(bus).first(bus.size() - 1)));
}

} // namespace
