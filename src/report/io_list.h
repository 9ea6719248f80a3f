#pragma once
// The I/O list: where every Modbus datum lands in the module's two memory areas, as the PLC
// programmer needs it. The PROFIBUS master reads the input area as its input bytes and writes
// the output area as its output bytes; with a base the list names the PLC's own address.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/result_codes.h"
#include "report/plc_address.h"

class CDeviceConfig;

struct IoListOptions {
    bool bits = false;                       // one row per bit of coils and inputs
    std::optional<std::int64_t> inputBase;   // PLC byte address of input area offset 0
    std::optional<std::int64_t> outputBase;  // PLC byte address of output area offset 0
    PlcAddressing addressing = PlcAddressing::Byte;
};

enum class IoArea { Input, Output };
enum class IoUnit { Byte, Bit };

struct IoRow {
    int command = 0;            // from 1, in the order of the slave node's list
    std::string mnemonic;
    int slave = 0;              // "Slave Address"
    int function = 0;           // Modbus function code
    int start = 0;              // Modbus starting address (of this bit, in a row per bit)
    int count = 0;              // number of registers, coils or inputs (1 in a row per bit)
    IoArea area = IoArea::Input;
    std::int64_t offset = 0;    // byte offset within the area
    std::optional<int> bit;     // bit within that byte, for coils and inputs
    std::int64_t length = 0;    // in units
    IoUnit unit = IoUnit::Byte;
    std::string layout;         // how the data lie there, in the program's language
    std::string plcAddress;     // IEC 61131-3 direct address; empty without a base
};

// A byte that the data of two or more commands touch.
struct SharedByte {
    IoArea area = IoArea::Input;
    std::int64_t offset = 0;
    std::vector<int> commands;  // numbers from 1, ascending
};

struct IoList {
    std::vector<IoRow> rows;
    PlcAddressing addressing = PlcAddressing::Byte;
    std::optional<std::int64_t> inputBase;
    std::optional<std::int64_t> outputBase;
    std::int64_t inputBytes = 0;    // highest input byte used + 1: what the master must provide
    std::int64_t outputBytes = 0;
    std::vector<SharedByte> shared; // input area first, by offset
    std::vector<std::string> notes; // what the rows cannot say: overflows, words at odd bytes

    std::int64_t Bytes(IoArea area) const { return area == IoArea::Input ? inputBytes : outputBytes; }
};

struct IoListResult {
    ResultCode code = RESULT_OK;    // 6 an empty item, 7 or 8 a value no edit could store
    std::string message;            // names the command and the item
    IoList list;
};

namespace gw {

// The list of the commands the module is given (those of the subnet's first slave node).
// A command whose data run past the end of its area is listed and noted as an overflow; an
// empty item or a value that no edit could store refuses the whole list.
IoListResult BuildIoList(const CDeviceConfig& root, const IoListOptions& options);

// "input" or "output", "byte" or "bit": the names the CSV and JSON forms use.
const char* AreaKey(IoArea area);
const char* UnitKey(IoUnit unit);
// An offset as the list writes it in hexadecimal: 0x00, 0xF3, 0x1F4.
std::string OffsetHex(std::int64_t offset);

} // namespace gw
