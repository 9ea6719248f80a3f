// The wire format byte for byte: checksums, blocks, records and frame sequences, without a line.

#include <gtest/gtest.h>

#include "link/block_codec.h"
#include "link/download.h"
#include "link/protocol.h"
#include "link/serial_port.h"
#include "link_test_support.h"
#include "model/lang_strings.h"

namespace {

using link_test::SetText;

Bytes B(std::initializer_list<int> values)
{
    Bytes bytes;
    for (const int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

TEST(Checksum8, SumsAndWraps)
{
    const struct {
        Bytes bytes;
        int sum;
    } rows[] = {
        {B({}), 0x00},
        {B({0x61, 0x62, 0x63}), 0x26},
        {B({0x32, 0x01, 0x00}), 0x33},
        {B({0x07, 0x04, 0xFF, 0xFF, 0xFF, 0xFF}), 0x07},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Checksum8(row.bytes), row.sum);
}

TEST(CompareReply, FirstDifferenceOrShortReplyIs3)
{
    const Bytes ack = B({0x32, 0x00, 0x32});
    EXPECT_EQ(CompareReply(ack, ack), RESULT_OK);
    EXPECT_EQ(CompareReply(B({0x32, 0x00, 0x00}), ack), RESULT_REPLY_MISMATCH);   // a reply cut after two bytes
    EXPECT_EQ(CompareReply(B({0x32, 0x00}), ack), RESULT_REPLY_MISMATCH);
    EXPECT_EQ(CompareReply(B({}), B({})), RESULT_OK);
}

TEST(Frames, AcknowledgementAndFrameLayout)
{
    const auto ack = MakeAck(0x32);
    EXPECT_EQ(Bytes(ack.begin(), ack.end()), B({0x32, 0x00, 0x32}));
    EXPECT_EQ(MakeFrame(PROTO_CMD_READ_VERSION), B({0x01, 0x00, 0x01}));
    const std::uint8_t page[] = {0x00, 0x01};
    EXPECT_EQ(MakeFrame(PROTO_CMD_READ_COMMAND_PAGE, page), B({0x16, 0x02, 0x00, 0x01, 0x19}));
}

TEST(SerialBlock, DefaultModbusMasterShortFrame)
{
    CDeviceConfig root;
    const SerialBlock block = EncodeSerialBlock(root.Subnet());
    EXPECT_EQ(MakeFrame(PROTO_CMD_WRITE_SERIAL, std::span<const std::uint8_t>(block).first(kShortSerialBlock)),
              B({0x03, 0x0E, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00, 0x03, 0x00, 0x0A, 0x50}));
    // The User Config rows do not exist in this mode: FFh in payload bytes 14-23, 00h in 24.
    for (std::size_t i = 14; i <= 23; ++i)
        EXPECT_EQ(block[i], 0xFF) << "payload byte " << i;
    EXPECT_EQ(block[24], 0x00);
}

TEST(SerialBlock, EncodesEachRow)
{
    CDeviceConfig root;
    CSubnetNode& subnet = root.Subnet();
    SetText(subnet.GetItemAt(SUBNET_ROW_POLL_DELAY), "2340");
    SetText(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "60000");
    subnet.SetChoice(SUBNET_ROW_OUTPUT_MODE, 0);
    SetText(subnet.GetItemAt(SUBNET_ROW_SLAVE_ADDRESS), "99");
    SerialBlock block = EncodeSerialBlock(subnet);
    EXPECT_EQ(block[10], 0xEA);   // 234 tens of milliseconds
    EXPECT_EQ(block[8], 0xEA);
    EXPECT_EQ(block[9], 0x60);
    EXPECT_EQ(block[11], 0x01);   // Cyclic
    EXPECT_EQ(block[6], 0x00);    // the slave address is never sent
    SetText(subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE), "no such mode");
    SetText(subnet.GetItemAt(SUBNET_ROW_BAUD_RATE), "4800");
    block = EncodeSerialBlock(subnet);
    EXPECT_EQ(block[11], 0x00);
    EXPECT_EQ(block[2], 0xFF);    // not a choice: sent as FFh

    subnet.SetMode(MODE_USER_CONFIG);
    auto user = link_test::MakeConfig(MODE_USER_CONFIG, 0);
    block = EncodeSerialBlock(user->Subnet());
    EXPECT_EQ(block[1], 0x03);
    const Bytes tail(block.begin() + 14, block.end());
    EXPECT_EQ(tail, B({0x02, 0x01, 0x2C, 0xA0, 0x02, 0x03, 0x01, 0x09, 0xC4, 0x01, 0x00}));
    const FramingBlock framing = EncodeFramingBlock(user->Subnet());
    EXPECT_EQ(framing[0], 0x00);
    EXPECT_EQ(Bytes(framing.begin() + 1, framing.end()), tail);
}

TEST(BusBlock, AddressModeAndProbeTimeout)
{
    const struct {
        int addressMode;
        const char* timeout;
        Bytes payload;
    } rows[] = {
        {1, "Default Value", B({0xFF, 0xFF, 0xFF, 0xFF})},
        {1, "300", B({0x01, 0x00, 0x01, 0x2C})},
        {0, "Default Value", B({0x00, 0x00, 0x00, 0x00})},
        {0, "60000", B({0x00, 0x00, 0xEA, 0x60})},
        {-1, "300", B({0xFF, 0xFF, 0xFF, 0xFF})},
        {-1, "Default Value", B({0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const auto& row : rows) {
        CBusNode bus;
        if (row.addressMode < 0)
            SetText(bus.GetItemAt(BUS_ROW_ADDRESS_MODE), "typed");
        else
            bus.SetChoice(BUS_ROW_ADDRESS_MODE, row.addressMode);
        SetText(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT), row.timeout);
        const BusBlock block = EncodeBusBlock(bus);
        EXPECT_EQ(Bytes(block.begin(), block.end()), row.payload) << row.addressMode << " " << row.timeout;
    }
    CBusNode bus;
    bus.SetChoice(BUS_ROW_ADDRESS_MODE, 1);
    SetText(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT), "300");
    const BusBlock block = EncodeBusBlock(bus);
    EXPECT_EQ(MakeFrame(PROTO_CMD_WRITE_BUS, block), B({0x07, 0x04, 0x01, 0x00, 0x01, 0x2C, 0x39}));
}

TEST(CommandRecord, FirstHoldingRegisterCommand)
{
    int index = 0;
    GetFunctionByCode(3, &index);
    CModbusCommand command(GetFunctionByCode(3, &index), index);
    SetText(command.GetItemAt(CMD_ROW_START_ADDRESS), "0");
    SetText(command.GetItemAt(CMD_ROW_DATA_COUNT), "10");
    SetText(command.GetItemAt(CMD_ROW_MAP_ADDRESS), "0000H");
    const CommandRecord record = EncodeCommandRecord(command, 0, 1);
    Bytes payload{0x00};
    payload.insert(payload.end(), record.begin(), record.end());
    EXPECT_EQ(MakeFrame(PROTO_CMD_WRITE_COMMAND, payload),
              B({0x10, 0x0D, 0x00, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2B}));
}

TEST(CommandRecord, FieldEncodings)
{
    int index = 0;
    GetFunctionByCode(15, &index);
    CModbusCommand command(GetFunctionByCode(15, &index), index);
    SetText(command.GetItemAt(CMD_ROW_START_ADDRESS), "65535");
    SetText(command.GetItemAt(CMD_ROW_DATA_COUNT), "300");
    SetText(command.GetItemAt(CMD_ROW_MAP_ADDRESS), "400ah");
    SetText(command.GetItemAt(CMD_ROW_MAP_BIT), "7");
    command.SetChoice(CMD_ROW_SCAN_TYPE, 1);
    command.SetChoice(CMD_ROW_BYTE_SWAP, 2);
    const CommandRecord r = EncodeCommandRecord(command, 300, 258);
    EXPECT_EQ(Bytes(r.begin(), r.end()), B({0x2C, 0x02, 0x0F, 0xFF, 0xFF, 0x01, 0x2C, 0x40, 0x0A, 0x07, 0x01, 0x02}));

    const struct {
        const char* text;
        int number;
    } addresses[] = {{"400AH", 0x400A}, {"00A7H", 0x00A7}, {"4H", 4}, {"40F3", 0x40F3}, {"H", 0}, {"12345H", 0}};
    for (const auto& row : addresses)
        EXPECT_EQ(MappingAddressOf(row.text), row.number) << row.text;
}

TEST(PlanDownloadFrames, WholeDownloadsByModeAndHardware)
{
    using V = HardwareVersion;
    const std::uint8_t S = PROTO_CMD_WRITE_SERIAL, F = PROTO_CMD_WRITE_FRAMING, C = PROTO_CMD_WRITE_COMMAND,
                       L = PROTO_CMD_BEGIN_COMMANDS, P = PROTO_CMD_BUS_PREFACE, U = PROTO_CMD_WRITE_BUS,
                       A = PROTO_CMD_WRITE_ADDR_MODE;
    const struct {
        int mode;
        V version;
        int commands;
        std::vector<std::uint8_t> frames;
    } rows[] = {
        {MODE_MODBUS_MASTER, V{1, 9}, 2, {S, L, C, C, P, U}},
        {MODE_MODBUS_MASTER, V{2, 1}, 1, {S, L, C, P, U}},
        {MODE_MODBUS_MASTER, V{2, 0}, 2, {S, L, C, C, P, U}},
        {MODE_MODBUS_MASTER, V{2, 0}, -1, {S, L, P, U}},
        {MODE_USER_CONFIG, V{2, 0}, -1, {S, P, U}},
        {MODE_USER_CONFIG, V{2, 1}, -1, {S, F, A}},
        {MODE_MODBUS_MASTER, V{3, 0}, 5, {P, U}},
        {MODE_USER_CONFIG, V{3, 0}, -1, {A}},
        {MODE_USER_CONFIG, V{1, 0}, -1, {}},
        {2, V{1, 0}, -1, {S, A}},
        {2, V{2, 0}, -1, {S, P, U}},
        {2, V{2, 5}, -1, {A}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PlanDownloadFrames(row.mode, row.version, row.commands), row.frames)
            << "mode " << row.mode << " hardware " << int(row.version.major) << "." << int(row.version.minor);
}

TEST(ApplySerialBlock, ShortBlockSetsModeAndRows)
{
    CDeviceConfig root;
    CSubnetNode& subnet = root.Subnet();
    const std::string outputBefore = subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value;
    Bytes p = B({0x00, 0x00, 0x08, 0x01, 0x04, 0x01, 0x77, 0x01, 0xEA, 0x60, 0xFA, 0x00, 0x55, 0xFF});
    ApplySerialBlock(p, false, subnet);
    EXPECT_EQ(subnet.GetMode(), MODE_MODBUS_MASTER);
    EXPECT_EQ(subnet.GetBaudRate(), 8);
    EXPECT_EQ(subnet.GetCheckBit(), 4);
    EXPECT_EQ(subnet.GetStopBits(), 1);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, "60000");
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_POLL_DELAY)->value, "2500");
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value, outputBefore);   // code 0: unchanged
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_SCAN_RATE)->value, "255");
    // A code past the choices keeps the row's value.
    p[2] = 0x09;
    ApplySerialBlock(p, false, subnet);
    EXPECT_EQ(subnet.GetBaudRate(), 8);
    // Any protocol code but 0 is User Config.
    p[1] = 0x07;
    ApplySerialBlock(p, false, subnet);
    EXPECT_EQ(subnet.GetMode(), MODE_USER_CONFIG);
    EXPECT_EQ(subnet.GetRowCount(), 20);
}

TEST(ApplySerialBlock, LongBlockEnablesRowsByFrameType)
{
    struct Row {
        int frameType;
        bool interval, length, start, end, crc;
    };
    const Row rows[] = {
        {0, true, false, false, false, true},
        {1, true, true, false, false, true},
        {2, true, false, true, true, false},
        {9, true, false, true, true, false},
    };
    for (const Row& row : rows) {
        CDeviceConfig root;
        CSubnetNode& subnet = root.Subnet();
        Bytes p(kLongSerialBlock, 0);
        p[1] = 0x03;
        p[14] = static_cast<std::uint8_t>(row.frameType);
        p[20] = 0x00;
        ApplySerialBlock(p, true, subnet);
        const auto enabled = [&](int r) { return subnet.GetItemAt(r)->enable == 1; };
        EXPECT_EQ(enabled(SUBNET_ROW_CHAR_INTERVAL), row.interval) << row.frameType;
        EXPECT_EQ(enabled(SUBNET_ROW_FRAME_LENGTH), row.length) << row.frameType;
        EXPECT_EQ(enabled(SUBNET_ROW_START_DELIMITER), row.start) << row.frameType;
        EXPECT_EQ(enabled(SUBNET_ROW_END_DELIMITER), row.end) << row.frameType;
        EXPECT_EQ(enabled(SUBNET_ROW_CRC_CHECK), row.crc) << row.frameType;
        EXPECT_FALSE(enabled(SUBNET_ROW_AUTO_SEND_PERIOD));
    }
}

TEST(ApplyBusBlock, LastByteFFMeansProbeWithDefault)
{
    const struct {
        Bytes payload;
        std::string mode, timeout;
        bool timeoutEnabled;
    } rows[] = {
        {B({0x00, 0x12, 0x34, 0xFF}), GetLangString(81), GetLangString(86), true},
        {B({0x01, 0x00, 0x01, 0x2C}), GetLangString(81), "300", true},
        {B({0x00, 0x00, 0x00, 0x00}), GetLangString(82), GetLangString(86), false},
        {B({0x00, 0x00, 0x02, 0x00}), GetLangString(82), "512", false},
    };
    for (const auto& row : rows) {
        CBusNode bus;
        ApplyBusBlock(row.payload, bus);
        EXPECT_EQ(bus.GetItemAt(BUS_ROW_ADDRESS_MODE)->value, row.mode);
        EXPECT_EQ(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value, row.timeout);
        EXPECT_EQ(bus.GetItemAt(BUS_ROW_PROBE_TIMEOUT)->enable == 1, row.timeoutEnabled);
    }
}

TEST(DecodeCommandRecord, RecordToCommandItems)
{
    const struct {
        Bytes record;
        ResultCode result;
        std::vector<std::string> values;   // start, count, mapping address, bit, bytes, swap, scan
    } rows[] = {
        {B({0, 5, 3, 0x01, 0x00, 0x00, 0x0A, 0x00, 0xA7, 0, 0, 0}), RESULT_OK,
         {"256", "10", "00A7H", "0", "20", GetLangString(52), GetLangString(56)}},
        {B({1, 5, 15, 0x00, 0x07, 0x00, 0x0B, 0x40, 0x01, 3, 1, 1}), RESULT_OK,
         {"7", "11", "4001H", "3", "2", GetLangString(53), GetLangString(55)}},
        {B({2, 5, 5, 0x00, 0x07, 0x00, 0x01, 0x40, 0x02, 0, 7, 9}), RESULT_OK,
         {"7", "1", "4002H", "0", "1", GetLangString(54), GetLangString(55)}},
        {B({3, 5, 7, 0, 0, 0, 1, 0, 0, 0, 0, 0}), RESULT_COMMAND_UPLOAD, {}},
        {B({3, 5, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}), RESULT_COMMAND_UPLOAD, {}},
    };
    for (const auto& row : rows) {
        CSlaveNode slave("Node(0)");
        const DecodedCommand decoded = DecodeCommandRecord(row.record, slave);
        EXPECT_EQ(decoded.result, row.result);
        EXPECT_EQ(slave.GetName(), "Node(5)");
        EXPECT_EQ(slave.GetItemAt(SLAVE_ROW_ADDRESS)->value, "5");
        if (row.result != RESULT_OK) {
            EXPECT_EQ(decoded.command, nullptr);
            continue;
        }
        ASSERT_NE(decoded.command, nullptr);
        std::vector<std::string> values;
        for (const int r : {CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS, CMD_ROW_MAP_BIT,
                            CMD_ROW_BYTE_COUNT, CMD_ROW_BYTE_SWAP, CMD_ROW_SCAN_TYPE})
            values.push_back(decoded.command->GetItemAt(r)->value);
        EXPECT_EQ(values, row.values);
    }
}

} // namespace
