#pragma once
// The system's result codes: one code space shared by value checks, the serial link,
// the transfers and the mapping check. 0 is success; the first non-zero code ends an
// operation and travels up unchanged.

#include <cstdint>
#include <string>

#include "model/string_ids.h"

using ResultCode = std::uint32_t;

enum : ResultCode {
    RESULT_OK = 0,
    RESULT_REPLY_MISMATCH = 3,   // a reply that does not match the request, or a bad reply
    RESULT_PORT_NOT_OPENED = 4,
    RESULT_SERIAL_IO = 5,        // a serial write or read failed
    RESULT_EMPTY_ITEM = 6,
    RESULT_ILLEGAL_CHAR = 7,
    RESULT_OUT_OF_RANGE = 8,
    RESULT_VERSION_MISMATCH = 9,
    RESULT_COMMAND_UPLOAD = 10,
    RESULT_MAPPING_CONFLICT = 11,
    RESULT_MAPPING_OVERFLOW = 13,
    RESULT_STOPPED = 14,         // the user (or a signal) stopped a transfer
    RESULT_FAILED = 15,          // failed for the reason its message gives (a file, an argument, a port)
};

namespace gw {

// String id of the message for a result code ("Unknown error!" for codes without one,
// RESULT_STOPPED and RESULT_FAILED among them).
StringId ResultMessageId(ResultCode code);

// The message for a result code in the built language. The user interface and the
// command-line tool both show results through this text.
std::string ResultMessage(ResultCode code);

// A message with its CR LF line breaks turned into blanks, for a report of one line.
std::string MessageOnOneLine(const std::string& text);

} // namespace gw
