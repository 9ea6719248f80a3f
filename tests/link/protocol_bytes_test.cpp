// The wire format byte for byte: checksums, blocks, records and frame plans, without a line.

#include <gtest/gtest.h>

#include "link/block_codec.h"
#include "link/download.h"
#include "link/protocol.h"
#include "link/serial_port.h"
#include "model/lang_strings.h"
#include "support/config_builder.h"

namespace {

using test_config::SetValue;

Bytes B(std::initializer_list<int> values) { return Bytes(values.begin(), values.end()); }

TEST(WireBytes, ChecksumsRepliesAndFrames)
{
    const std::pair<Bytes, int> sums[] = {
        {B({}), 0x00}, {B({0x61, 0x62, 0x63}), 0x26}, {B({0x32, 0x01, 0x00}), 0x33}, {B({0x07, 0x04, 0xFF, 0xFF, 0xFF, 0xFF}), 0x07}};
    for (const auto& [bytes, sum] : sums)
        EXPECT_EQ(gw::Checksum8(bytes), sum);
    const Bytes ack = B({0x32, 0x00, 0x32});
    const std::tuple<Bytes, Bytes, ResultCode> compares[] = {{ack, ack, RESULT_OK}, {B({0x32, 0x00, 0x00}), ack, RESULT_REPLY_MISMATCH},
                                                              {B({0x32, 0x00}), ack, RESULT_REPLY_MISMATCH}, {B({}), B({}), RESULT_OK}};
    for (const auto& [got, want, code] : compares)
        EXPECT_EQ(gw::CompareReply(got, want), code);
    const auto made = gw::MakeAck(0x32);
    EXPECT_EQ(Bytes(made.begin(), made.end()), ack);
    EXPECT_EQ(gw::MakeFrame(PROTO_CMD_READ_VERSION), B({0x01, 0x00, 0x01}));
    const std::uint8_t page[] = {0x00, 0x01};
    EXPECT_EQ(gw::MakeFrame(PROTO_CMD_READ_COMMAND_PAGE, page), B({0x16, 0x02, 0x00, 0x01, 0x19}));
}

TEST(WireBytes, SerialBlockOfEachMode)
{
    CDeviceConfig root;
    CSubnetNode& subnet = root.Subnet();
    SerialBlock block = gw::EncodeSerialBlock(subnet);
    EXPECT_EQ(gw::MakeFrame(PROTO_CMD_WRITE_SERIAL, std::span<const std::uint8_t>(block).first(kShortSerialBlock)),
              B({0x03, 0x0E, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00, 0x03, 0x00, 0x0A, 0x50}));
    // The User Config rows do not exist in this mode: FFh in payload bytes 14-23, 00h in 24.
    EXPECT_EQ(Bytes(block.begin() + 14, block.end()), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));

    SetValue(subnet.GetItemAt(SUBNET_ROW_POLL_DELAY), "2340");
    SetValue(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "60000");
    subnet.SetChoice(SUBNET_ROW_OUTPUT_MODE, 0);
    SetValue(subnet.GetItemAt(SUBNET_ROW_SLAVE_ADDRESS), "99");
    block = gw::EncodeSerialBlock(subnet);
    // 234 tens of milliseconds, 60000 ms, Cyclic; the slave address is never sent.
    EXPECT_EQ(Bytes(block.begin() + 6, block.begin() + 12), B({0x00, 0x00, 0xEA, 0x60, 0xEA, 0x01}));
    SetValue(subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE), "no such mode");
    SetValue(subnet.GetItemAt(SUBNET_ROW_BAUD_RATE), "4800");
    block = gw::EncodeSerialBlock(subnet);
    EXPECT_EQ(block[11], 0x00);
    EXPECT_EQ(block[2], 0xFF);   // not a choice: sent as FFh

    auto user = test_config::MakeFilledConfig(MODE_USER_CONFIG, 0);
    block = gw::EncodeSerialBlock(user->Subnet());
    EXPECT_EQ(block[1], 0x03);
    const Bytes tail(block.begin() + 14, block.end());
    EXPECT_EQ(tail, B({0x02, 0x01, 0x2C, 0xA0, 0x02, 0x03, 0x01, 0x09, 0xC4, 0x01, 0x00}));
    const FramingBlock framing = gw::EncodeFramingBlock(user->Subnet());
    EXPECT_EQ(Bytes(framing.begin(), framing.end()), [&] { Bytes b{0x00}; b.insert(b.end(), tail.begin(), tail.end()); return b; }());
}

TEST(WireBytes, BusBlockByAddressModeAndProbeTimeout)
{
    const std::tuple<int, const char*, Bytes> rows[] = {
        {1, "Default Value", B({0xFF, 0xFF, 0xFF, 0xFF})}, {1, "300", B({0x01, 0x00, 0x01, 0x2C})},
        {0, "Default Value", B({0x00, 0x00, 0x00, 0x00})}, {0, "60000", B({0x00, 0x00, 0xEA, 0x60})},
        {-1, "300", B({0xFF, 0xFF, 0xFF, 0xFF})},          {-1, "Default Value", B({0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const auto& [mode, timeout, payload] : rows) {
        CBusNode bus;
        if (mode < 0)
            SetValue(bus.GetItemAt(BUS_ROW_ADDRESS_MODE), "typed");
        else
            bus.SetChoice(BUS_ROW_ADDRESS_MODE, mode);
        SetValue(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT), timeout);
        const BusBlock block = gw::EncodeBusBlock(bus);
        EXPECT_EQ(Bytes(block.begin(), block.end()), payload) << mode << " " << timeout;
        if (mode == 1 && std::string(timeout) == "300") {
            EXPECT_EQ(gw::MakeFrame(PROTO_CMD_WRITE_BUS, block), B({0x07, 0x04, 0x01, 0x00, 0x01, 0x2C, 0x39}));
        }
    }
}

TEST(WireBytes, CommandRecords)
{
    auto root = test_config::MakeConfig({{3, "0", "10", "0000H"}, {15, "65535", "300", "400ah", "7"}});
    const auto& commands = root->Subnet().GetNodeAt(0)->Commands();
    commands[1]->SetChoice(CMD_ROW_SCAN_TYPE, 1);
    commands[1]->SetChoice(CMD_ROW_BYTE_SWAP, 2);
    Bytes payload{0x00};
    const CommandRecord first = gw::EncodeCommandRecord(*commands[0], 0, 1);
    payload.insert(payload.end(), first.begin(), first.end());
    EXPECT_EQ(gw::MakeFrame(PROTO_CMD_WRITE_COMMAND, payload),
              B({0x10, 0x0D, 0x00, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2B}));
    const CommandRecord r = gw::EncodeCommandRecord(*commands[1], 300, 258);
    EXPECT_EQ(Bytes(r.begin(), r.end()), B({0x2C, 0x02, 0x0F, 0xFF, 0xFF, 0x01, 0x2C, 0x40, 0x0A, 0x07, 0x01, 0x02}));
    const std::pair<const char*, int> addresses[] = {{"400AH", 0x400A}, {"00A7H", 0x00A7}, {"4H", 4}, {"40F3", 0x40F3}, {"H", 0}, {"12345H", 0}};
    for (const auto& [text, number] : addresses)
        EXPECT_EQ(gw::MappingAddressOf(text), number) << text;
}

TEST(WireBytes, DownloadFramePlanByModeAndHardware)
{
    const std::uint8_t S = PROTO_CMD_WRITE_SERIAL, F = PROTO_CMD_WRITE_FRAMING, C = PROTO_CMD_WRITE_COMMAND,
                       L = PROTO_CMD_BEGIN_COMMANDS, P = PROTO_CMD_BUS_PREFACE, U = PROTO_CMD_WRITE_BUS, A = PROTO_CMD_WRITE_ADDR_MODE;
    const std::tuple<int, HardwareVersion, int, std::vector<std::uint8_t>> rows[] = {
        {MODE_MODBUS_MASTER, {1, 9}, 2, {S, L, C, C, P, U}}, {MODE_MODBUS_MASTER, {2, 0}, -1, {S, L, P, U}},
        {MODE_USER_CONFIG, {2, 0}, -1, {S, P, U}},           {MODE_USER_CONFIG, {2, 1}, -1, {S, F, A}},
        {MODE_MODBUS_MASTER, {3, 0}, 5, {P, U}},             {MODE_USER_CONFIG, {3, 0}, -1, {A}},
        {MODE_USER_CONFIG, {1, 0}, -1, {}},                  {2, {1, 0}, -1, {S, A}},
        {2, {2, 0}, -1, {S, P, U}},                          {2, {2, 5}, -1, {A}},
    };
    for (const auto& [mode, version, commands, frames] : rows)
        EXPECT_EQ(gw::PlanDownloadFrames(mode, version, commands), frames) << mode << " " << int(version.major) << "." << int(version.minor);
}

TEST(WireBytes, SerialBlockReadBack)
{
    CDeviceConfig root;
    CSubnetNode& subnet = root.Subnet();
    const std::string outputBefore = subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value;
    Bytes p = B({0x00, 0x00, 0x08, 0x01, 0x04, 0x01, 0x77, 0x01, 0xEA, 0x60, 0xFA, 0x00, 0x55, 0xFF});
    gw::ApplySerialBlock(p, false, subnet);
    EXPECT_EQ(std::make_tuple(subnet.GetMode(), subnet.GetBaudRate(), subnet.GetCheckBit(), subnet.GetStopBits()),
              std::make_tuple(MODE_MODBUS_MASTER, 8, 4, 1));
    std::vector<std::string> values;
    for (const int row : {SUBNET_ROW_RESPONSE_TIMEOUT, SUBNET_ROW_POLL_DELAY, SUBNET_ROW_OUTPUT_MODE, SUBNET_ROW_SCAN_RATE})
        values.push_back(subnet.GetItemAt(row)->value);
    EXPECT_EQ(values, (std::vector<std::string>{"60000", "2500", outputBefore, "255"}));   // output code 0: unchanged
    p[2] = 0x09;   // past the choices: the row keeps its value
    gw::ApplySerialBlock(p, false, subnet);
    EXPECT_EQ(subnet.GetBaudRate(), 8);
    p[1] = 0x07;   // any protocol code but 0 is User Config
    gw::ApplySerialBlock(p, false, subnet);
    EXPECT_EQ(subnet.GetRowCount(), 20);

    // The long block enables rows by frame type: interval, length, start, end, CRC.
    const std::pair<int, std::vector<bool>> frameTypes[] = {
        {0, {true, false, false, false, true}}, {1, {true, true, false, false, true}},
        {2, {true, false, true, true, false}},  {9, {true, false, true, true, false}}};
    for (const auto& [frameType, enabled] : frameTypes) {
        CDeviceConfig user;
        Bytes block(kLongSerialBlock, 0);
        block[1] = 0x03;
        block[14] = static_cast<std::uint8_t>(frameType);
        gw::ApplySerialBlock(block, true, user.Subnet());
        std::vector<bool> got;
        for (const int row : {SUBNET_ROW_CHAR_INTERVAL, SUBNET_ROW_FRAME_LENGTH, SUBNET_ROW_START_DELIMITER,
                              SUBNET_ROW_END_DELIMITER, SUBNET_ROW_CRC_CHECK, SUBNET_ROW_AUTO_SEND_PERIOD})
            got.push_back(user.Subnet().GetItemAt(row)->enable == 1);
        std::vector<bool> want = enabled;
        want.push_back(false);
        EXPECT_EQ(got, want) << "frame type " << frameType;
    }
}

TEST(WireBytes, BusBlockReadBackLastByteFFMeansDefault)
{
    const std::string probe = gw::GetLangString(ChoiceText::ProbeAddress), byPort = gw::GetLangString(ChoiceText::SetByIoPort);
    const std::string byDefault = gw::GetLangString(ChoiceText::DefaultValue);
    const std::tuple<Bytes, std::string, std::string, bool> rows[] = {
        {B({0x00, 0x12, 0x34, 0xFF}), probe, byDefault, true},
        {B({0x01, 0x00, 0x01, 0x2C}), probe, "300", true},
        {B({0x00, 0x00, 0x00, 0x00}), byPort, byDefault, false},
        {B({0x00, 0x00, 0x02, 0x00}), byPort, "512", false},
    };
    for (const auto& [payload, mode, timeout, enabled] : rows) {
        CBusNode bus;
        gw::ApplyBusBlock(payload, bus);
        EXPECT_EQ(bus.GetItemAt(BUS_ROW_ADDRESS_MODE)->value, mode);
        EXPECT_EQ(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value, timeout);
        EXPECT_EQ(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT)->enable == 1, enabled) << timeout;
    }
}

TEST(WireBytes, CommandRecordReadBack)
{
    // start, count, mapping address, bit, bytes, swap, scan; none: the record is refused
    const std::string none = gw::GetLangString(ChoiceText::NonExchange), two = gw::GetLangString(ChoiceText::DoubleByteExchange),
                      four = gw::GetLangString(ChoiceText::FourByteExchange);
    const std::string fast = gw::GetLangString(ChoiceText::FastScan), slow = gw::GetLangString(ChoiceText::SlowScan);
    const std::pair<Bytes, std::vector<std::string>> rows[] = {
        {B({0, 5, 3, 0x01, 0x00, 0x00, 0x0A, 0x00, 0xA7, 0, 0, 0}), {"256", "10", "00A7H", "0", "20", none, fast}},
        {B({1, 5, 15, 0x00, 0x07, 0x00, 0x0B, 0x40, 0x01, 3, 1, 1}), {"7", "11", "4001H", "3", "2", two, slow}},
        {B({2, 5, 5, 0x00, 0x07, 0x00, 0x01, 0x40, 0x02, 0, 7, 9}), {"7", "1", "4002H", "0", "1", four, slow}},
        {B({3, 5, 7, 0, 0, 0, 1, 0, 0, 0, 0, 0}), {}},
        {B({3, 5, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}), {}},
    };
    for (const auto& [record, want] : rows) {
        CSlaveNode slave("Node(0)");
        const DecodedCommand decoded = gw::DecodeCommandRecord(record, slave);
        EXPECT_EQ(decoded.result, want.empty() ? RESULT_COMMAND_UPLOAD : RESULT_OK);
        EXPECT_EQ(slave.GetName() + " " + slave.GetItemAt(SLAVE_ROW_ADDRESS)->value, "Node(5) 5");
        std::vector<std::string> values;
        for (const int r : {CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS, CMD_ROW_MAP_BIT,
                            CMD_ROW_BYTE_COUNT, CMD_ROW_BYTE_SWAP, CMD_ROW_SCAN_TYPE})
            if (decoded.command)
                values.push_back(decoded.command->GetItemAt(r)->value);
        EXPECT_EQ(values, want);
    }
}

} // namespace
