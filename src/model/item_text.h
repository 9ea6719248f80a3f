#pragma once
// A node's items as lines of text: the heading "[command:1] 03 Read Holding Register", then one
// line "  label = value" per item in row order, read-only items marked. gatewaycfg show prints
// every node this way; the workbench puts copied commands on the clipboard as such text.

#include <ostream>
#include <string>

#include "model/config_tree.h"

namespace gw {

void PrintRecordItems(const std::string& heading, const TreeRecord& record, std::ostream& out);

// A label with its trailing blanks removed.
std::string TrimTrailingBlanks(std::string text);
// A text from a file on one line, so that it cannot pass for another line when printed: a line
// break reads \n, a tab \t, any other control character \xHH.
std::string OneLineText(const std::string& text);

} // namespace gw
