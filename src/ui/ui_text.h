#pragma once
// The string table and the result messages as Qt strings (the table holds UTF-8).

#include <QString>
#include <cstdint>

#include "model/result_codes.h"
#include "widgets/utf8_text.h"

// Text of a string-table id in the built language; empty for an unknown id.
QString LangText(std::int32_t id);
// The message of a result code.
QString ResultText(ResultCode code);
