#include "model/result_codes.h"

#include "model/lang_strings.h"

StringId gw::ResultMessageId(ResultCode code)
{
    switch (code) {
    case RESULT_OK: return MessageText::Succeeded;
    case 1: return MessageText::ResponseTimeout;
    case 2: return MessageText::ValidationError;
    case RESULT_REPLY_MISMATCH: return MessageText::UploadCheckError;
    case RESULT_PORT_NOT_OPENED: return MessageText::PortOpenFailed;
    case RESULT_SERIAL_IO: return MessageText::SerialReadFailed;
    case RESULT_EMPTY_ITEM: return MessageText::EmptyItem;
    case RESULT_ILLEGAL_CHAR: return MessageText::IllegalCharacter;
    case RESULT_OUT_OF_RANGE: return MessageText::OutOfRange;
    case RESULT_VERSION_MISMATCH: return MessageText::VersionMismatch;
    case RESULT_COMMAND_UPLOAD: return MessageText::CommandUploadError;
    case RESULT_MAPPING_CONFLICT: return MessageText::MappingConflict;
    case RESULT_MAPPING_OVERFLOW: return MessageText::MappingOverflow;
    default: return MessageText::UnknownError;
    }
}

std::string gw::ResultMessage(ResultCode code)
{
    // Stopping a transfer is this program's own; the string table has no text for it.
    if (code == RESULT_STOPPED)
        return "The transfer was stopped";
    return GetLangString(ResultMessageId(code));
}

std::string gw::MessageOnOneLine(const std::string& text)
{
    std::string line;
    for (const char c : text) {
        if (c != '\r')
            line += c == '\n' ? ' ' : c;
    }
    return line;
}
