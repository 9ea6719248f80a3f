#pragma once
// A node's items as lines of text: the heading "[command:1] 03 Read Holding Register", then one
// line "  label = value" per item in row order, read-only items marked. gatewaycfg show prints
// every node this way; the workbench puts copied commands on the clipboard as such text.

#include <ostream>
#include <string>

#include "model/config_tree.h"

void PrintRecordItems(const std::string& heading, const TreeRecord& record, std::ostream& out);

// A label with its trailing blanks removed.
std::string TrimTrailingBlanks(std::string text);
// A value on one line: its line breaks written as \n.
std::string OneLineText(const std::string& text);
