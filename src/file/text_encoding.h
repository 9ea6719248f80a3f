#pragma once
// Conversion between the program's UTF-8 texts and the GB2312/GBK bytes of a configuration file.

#include <optional>
#include <string>
#include <string_view>

namespace gw {

// UTF-8 to GBK; none when the text holds a character that GBK cannot represent or is not UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);
// GBK to UTF-8; none when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

} // namespace gw
