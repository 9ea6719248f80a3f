// The simulated module's own side: it answers only frames a module would take, keeps what it is
// sent, and keeps it in a state file that a later run reads back.

#include <gtest/gtest.h>

#include "link/serial_port.h"
#include "sim/module_responder.h"
#include "support/scratch_folder.h"

namespace {

Bytes CommandRecordFrame(std::uint8_t sequence)
{
    std::vector<std::uint8_t> payload(13, 0);
    payload[1] = sequence;   // the record itself starts with its sequence number
    payload[2] = 17;
    payload[3] = 3;
    return gw::MakeFrame(PROTO_CMD_WRITE_COMMAND, payload);
}

TEST(SimulatedModule, StaysSilentOnFramesAModuleRefuses)
{
    Bytes badChecksum = gw::MakeFrame(PROTO_CMD_READ_BUS), tooLong = gw::MakeFrame(PROTO_CMD_READ_BUS);
    badChecksum.back() ^= 0x01;
    tooLong[1] = 5;
    const std::tuple<Bytes, std::uint8_t, const char*> rows[] = {
        {{0x08, 0x00}, 1, "length"},
        {tooLong, 1, "length"},
        {badChecksum, 1, "checksum"},
        {gw::MakeFrame(0x7E), 1, "unknown"},
        {gw::MakeFrame(PROTO_CMD_WRITE_SERIAL, Bytes(kLongSerialBlock)), 1, "payload"},
        {gw::MakeFrame(PROTO_CMD_WRITE_SERIAL, Bytes(kShortSerialBlock)), 0, "payload"},
        {gw::MakeFrame(PROTO_CMD_BEGIN_COMMANDS, Bytes{0x00, 0x55, 0xAB}), 1, "00 55 AA"},
        {CommandRecordFrame(1), 1, "sequence"},
    };
    for (const auto& [frame, minor, note] : rows) {
        CModuleResponder module(SimIdentity{0x81, 2, minor}, {}, ModuleState::Factory());
        const CModuleResponder::Answer answer = module.Handle(frame);
        EXPECT_TRUE(!answer.reply && !answer.stateChanged) << note;
        EXPECT_NE(answer.note.find(note), std::string::npos) << answer.note;
    }
}

TEST(SimulatedModule, KeepsWhatItIsSentInItsStateFile)
{
    CModuleResponder module({}, {}, ModuleState::Factory());
    const auto ack = [](std::uint8_t code) { const auto a = gw::MakeAck(code); return Bytes(a.begin(), a.end()); };
    EXPECT_EQ(module.Handle(gw::MakeFrame(PROTO_CMD_WRITE_BUS, Bytes{0x01, 0x00, 0x04, 0xD2})).reply, ack(PROTO_CMD_WRITE_BUS));
    EXPECT_EQ(module.Handle(gw::MakeFrame(PROTO_CMD_BEGIN_COMMANDS, Bytes{0x00, 0x55, 0xAA})).reply, ack(PROTO_CMD_BEGIN_COMMANDS));
    for (std::uint8_t sequence = 0; sequence < 3; ++sequence)
        EXPECT_EQ(module.Handle(CommandRecordFrame(sequence)).reply, ack(PROTO_CMD_WRITE_COMMAND)) << int(sequence);
    EXPECT_FALSE(module.Handle(CommandRecordFrame(1)).reply) << "a repeated record is out of sequence";
    EXPECT_EQ(module.Handle(gw::MakeFrame(PROTO_CMD_READ_BUS)).reply, gw::MakeFrame(PROTO_CMD_READ_BUS, Bytes{0x01, 0x00, 0x04, 0xD2}));

    // The state file gives a later run what this one was sent; a damaged one is refused by line.
    ScratchFolder folder;
    ModuleState read;
    const Outcome saved = gw::SaveModuleState(folder / "state.txt", module.State());
    ASSERT_TRUE(saved) << saved.message;
    const Outcome loaded = gw::LoadModuleState(folder / "state.txt", read);
    ASSERT_TRUE(loaded) << loaded.message;
    EXPECT_EQ(std::make_tuple(read.serial, read.bus, read.addressMode, read.commands),
              std::make_tuple(module.State().serial, module.State().bus, module.State().addressMode, module.State().commands));
    for (const auto& [text, line] : {std::pair{"bus 01 00 04\n", "line 1"}, {"# by hand\n\naddress-mode 0G\n", "line 3"}}) {
        const Outcome parsed = gw::ParseModuleState(text, read);
        EXPECT_FALSE(parsed) << text;
        EXPECT_NE(parsed.message.find(line), std::string::npos) << parsed.message;
    }
}

} // namespace
