#pragma once
// The Modbus request one configured command makes, and where its data lie in the input area.

#include <cstdint>
#include <string>

class CModbusCommand;

struct CommandRequest {
    int function = 0;        // Modbus function code: 1-4 read, 5, 6, 15, 16 write
    int start = 0;           // "Starting Address"
    int count = 0;           // "Number of Data" (1 for codes 5 and 6)
    // Read commands: the input-area byte at "Mapping Address(HEX)" and the first bit used there.
    int mapAddress = 0;
    int mapBit = 0;
    // "Byte Swap": how the module orders the command's bytes in its memory (0 as they come, 1
    // two-byte, 2 four-byte exchange), and the item's text.
    int byteSwap = 0;
    std::string byteSwapText;
    std::string fault;       // why the request cannot be sent; empty when it can

    bool IsRead() const { return function >= 1 && function <= 4; }
    bool IsBitFunction() const { return function == 1 || function == 2 || function == 5 || function == 15; }
    // Bytes the data take in the input area, counted as the automatic mapping counts them.
    int InputBytes() const;
};

namespace gw {

CommandRequest MakeRequest(const CModbusCommand& command);

} // namespace gw
