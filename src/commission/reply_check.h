#pragma once
// The request frame a command sends, and whether a frame that came back answers it: from the
// slave it went to, with its function, its byte count, and for a write the address and values
// it confirms.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "commission/command_request.h"

namespace gw {

// The whole request, CRC included. values: what a write command sends (coils as 0/1).
std::vector<std::uint8_t> BuildRequestFrame(int slave, const CommandRequest& request,
                                            std::span<const std::uint16_t> values);

} // namespace gw

enum class ReplyVerdict {
    Answer,          // the reply to the request; values holds what it brought
    Exception,       // the slave's exception reply; exceptionCode holds its code
    BadCrc,          // a frame of the slave's with a wrong CRC
    Garbled,         // bytes that are no frame at all
    OtherSlave,      // a whole frame from another slave address
    WrongFunction,   // a whole frame with another function code
    WrongCount,      // a read reply with another byte count
    WrongEcho,       // a write reply confirming another address, value or quantity
};

struct ReplyCheck {
    ReplyVerdict verdict = ReplyVerdict::Garbled;
    int exceptionCode = 0;
    std::string detail;                  // why it is no answer; empty for an answer
    std::vector<std::uint16_t> values;   // an answer's registers, or coils and inputs as 0/1
};

namespace gw {

// Judges a frame (as long as its own first bytes say, or all that came) against the request.
ReplyCheck CheckReply(std::span<const std::uint8_t> requestFrame, const CommandRequest& request,
                      std::span<const std::uint8_t> reply);

// True for an answer or an exception: the frame belongs to the request.
inline bool Belongs(const ReplyCheck& check)
{
    return check.verdict == ReplyVerdict::Answer || check.verdict == ReplyVerdict::Exception;
}

// The slave's exception code as Modbus names it: "Illegal function", ...
std::string ExceptionName(int code);

// Bytes as upper-case hex pairs separated by blanks, at most limit of them and then "...".
std::string HexBytes(std::span<const std::uint8_t> bytes, std::size_t limit = 16);

} // namespace gw
