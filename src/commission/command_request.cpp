#include "commission/command_request.h"

#include "mapping/usage_map.h"
#include "model/modbus_command.h"

namespace {

// Largest quantities one Modbus request can carry.
constexpr int kMaxReadBits = 2000;
constexpr int kMaxReadRegisters = 125;
constexpr int kMaxWriteBits = 1968;
constexpr int kMaxWriteRegisters = 123;

int MaxCount(int function)
{
    switch (function) {
    case 1: case 2: return kMaxReadBits;
    case 3: case 4: return kMaxReadRegisters;
    case 5: case 6: return 1;
    case 15: return kMaxWriteBits;
    default: return kMaxWriteRegisters;
    }
}

} // namespace

int CommandRequest::InputBytes() const
{
    if (!IsRead())
        return 0;
    return IsBitFunction() ? (count + mapBit + 7) / 8 : 2 * count;
}

CommandRequest gw::MakeRequest(const CModbusCommand& command)
{
    CommandRequest request;
    request.function = command.GetFunctionCode();
    request.start = command.GetIntValue(CMD_ROW_START_ADDRESS);
    request.count = request.function == 5 || request.function == 6 ? 1 : command.GetIntValue(CMD_ROW_DATA_COUNT);
    const CommandMapping mapping = GetMapping(command);
    request.mapAddress = static_cast<int>(mapping.startAddress);
    request.mapBit = request.IsBitFunction() ? static_cast<int>(mapping.bitOffset) : 0;
    request.byteSwap = command.GetChoiceIndex(CMD_ROW_BYTE_SWAP);
    if (const CParamItem* swap = command.GetItemAt(CMD_ROW_BYTE_SWAP))
        request.byteSwapText = swap->value;

    switch (request.function) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 15: case 16:
        break;
    default:
        request.fault = "function code " + std::to_string(request.function) + " cannot be sent";
        return request;
    }
    if (request.start < 0 || request.start > 0xFFFF)
        request.fault = "\"Starting Address\" " + std::to_string(request.start) + " is outside 0-65535";
    else if (request.count < 1 || request.count > MaxCount(request.function))
        request.fault = "\"Number of Data\" " + std::to_string(request.count) + " is outside 1-" +
                        std::to_string(MaxCount(request.function));
    else if (request.start + request.count - 1 > 0xFFFF)
        request.fault = "the data run past address 65535";
    else if (request.IsBitFunction() && (request.mapBit < 0 || request.mapBit > 7))
        request.fault = "\"Mapping Bit(0-7)\" " + std::to_string(request.mapBit) + " is outside 0-7";
    return request;
}
