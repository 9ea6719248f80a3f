#pragma once
// The string table and the result messages as Qt strings (the table holds UTF-8).

#include <QString>
#include <cstdint>
#include <string>

#include "model/result_codes.h"
#include "model/string_ids.h"

// Text of a string-table id in the built language; empty for an unknown id.
QString LangText(StringId id);
// The message of a result code.
QString ResultText(ResultCode code);
// A UTF-8 model string as a Qt string, and back.
QString FromUtf8(const std::string& text);
std::string ToUtf8(const QString& text);
