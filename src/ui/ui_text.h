#pragma once
// The string table and the result messages as Qt strings (the table holds UTF-8).

#include <QString>
#include <cstdint>

#include "model/result_codes.h"
#include "model/string_ids.h"
#include "widgets/utf8_text.h"

// Text of a string-table id in the built language; empty for an unknown id.
QString LangText(StringId id);
// The message of a result code.
QString ResultText(ResultCode code);
