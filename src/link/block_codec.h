#pragma once
// Configuration items to protocol blocks and back. Encoding reads the items the way the
// download sends them (choice index, or the integer of the leading digits; -1 becomes FFh);
// decoding writes a block the module reported into the items.

#include <memory>

#include "link/protocol.h"
#include "model/bus_node.h"
#include "model/modbus_command.h"
#include "model/result_codes.h"
#include "model/slave_node.h"
#include "model/subnet_node.h"
#include "model/wire_layout.h"

namespace gw {

// The serial parameter block, all 25 bytes; the short block is its first 14.
SerialBlock EncodeSerialBlock(const CSubnetNode& subnet);
FramingBlock EncodeFramingBlock(const CSubnetNode& subnet);
BusBlock EncodeBusBlock(const CBusNode& bus);
CommandRecord EncodeCommandRecord(const CModbusCommand& command, int sequence, int slaveAddress);

// A serial block the module reported: the mode from the protocol code, then the rows it
// carries. With longBlock, the User Config rows and their enable flags too.
void ApplySerialBlock(std::span<const std::uint8_t> payload, bool longBlock, CSubnetNode& subnet);
void ApplyFramingBlock(std::span<const std::uint8_t> payload, CSubnetNode& subnet);
// The bus block of the Modbus Master mode, and the address-mode byte of User Config.
void ApplyBusBlock(std::span<const std::uint8_t> payload, CBusNode& bus);
void ApplyAddressMode(std::uint8_t mode, CBusNode& bus);

// Number of data bits a command moves: N for codes 1, 2 and 15, 1 for code 5, 16 N otherwise.
int GetDataSize(const CModbusCommand& command);

} // namespace gw

// A command record the module reported, as a new command; the slave address goes to the node.
// 10 for a function code the tool cannot configure or a command that lacks an item.
struct DecodedCommand {
    ResultCode result = RESULT_OK;
    std::unique_ptr<CModbusCommand> command;
};

namespace gw {

DecodedCommand DecodeCommandRecord(std::span<const std::uint8_t> record, CSlaveNode& slave);

} // namespace gw
