#pragma once
// Text as a JSON string, for the programs' JSON output.

#include <string>

namespace gw {

// The text in double quotes, with quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text);

} // namespace gw
