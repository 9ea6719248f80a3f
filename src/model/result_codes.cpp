#include "model/result_codes.h"

#include "model/lang_strings.h"

std::int32_t ResultMessageId(ResultCode code)
{
    switch (code) {
    case 0: return 5002;
    case 1: return 5003;
    case 2: return 5004;
    case 3: return 5005;
    case 4: return 28;
    case 5: return 5006;
    case 6: return 5007;
    case 7: return 5008;
    case 8: return 5009;
    case 9: return 5010;
    case 10: return 5011;
    case 11: return 5012;
    case 13: return 5014;
    default: return 5001;
    }
}

std::string ResultMessage(ResultCode code)
{
    // Stopping a transfer is this program's own; the string table has no text for it.
    if (code == RESULT_STOPPED)
        return "The transfer was stopped";
    return GetLangString(ResultMessageId(code));
}

std::string MessageOnOneLine(const std::string& text)
{
    std::string line;
    for (const char c : text) {
        if (c != '\r')
            line += c == '\n' ? ' ' : c;
    }
    return line;
}
