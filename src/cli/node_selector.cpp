#include "cli/node_selector.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "model/commit_rules.h"
#include "model/device_config.h"

namespace {

bool ParsePositive(const std::string& text, int* number)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, *number);
    return ec == std::errc() && ptr == end && *number >= 1;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

NodeSelection gw::SelectNode(CDeviceConfig& root, const std::string& selector)
{
    NodeSelection selection;
    const std::string name = Lower(selector);
    const auto colon = name.find(':');
    const std::string kind = name.substr(0, colon);
    const std::string index = colon == std::string::npos ? std::string() : name.substr(colon + 1);

    if (kind == "profibus" && index.empty()) {
        selection.record = TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus());
    } else if (kind == "subnet" && index.empty()) {
        selection.record = TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet());
    } else if (kind == "slave") {
        int n = 1;
        if (!index.empty() && !ParsePositive(index, &n)) {
            selection.error = "\"" + selector + "\": the slave number must be a whole number from 1";
        } else if (CSlaveNode* slave = root.Subnet().GetNodeAt(n - 1)) {
            selection.record = TreeRecord::ForSlave(slave);
        } else {
            selection.error = root.Subnet().GetNodeCount() == 0
                                  ? "the configuration has no slave node"
                                  : "there is no slave node " + std::to_string(n) + " (the configuration has " +
                                        std::to_string(root.Subnet().GetNodeCount()) + ")";
        }
    } else if (kind == "command") {
        int n = 0;
        CSlaveNode* slave = root.Subnet().GetNodeAt(0);
        if (!ParsePositive(index, &n)) {
            selection.error = "\"" + selector + "\": write command:N with N counted from 1";
        } else if (!slave || !slave->GetCommandAt(n - 1)) {
            const int count = slave ? slave->GetCommandCount() : 0;
            selection.error = "there is no command " + std::to_string(n) + " (the configuration has " +
                              std::to_string(count) + ")";
        } else {
            selection.record = TreeRecord::ForCommand(slave, slave->GetCommandAt(n - 1));
        }
    } else {
        selection.error = "unknown node \"" + selector + "\": use profibus, subnet, slave or command:N";
    }
    return selection;
}

int gw::FindRowByLabel(const TreeRecord& record, const std::string& label)
{
    const std::string wanted = TrimTrailingBlanks(label);
    const int rows = RecordRowCount(record);
    for (int row = 0; row < rows; ++row) {
        if (const CParamItem* item = RecordItemAt(record, row); item && TrimTrailingBlanks(item->label) == wanted)
            return row;
    }
    const std::string lowered = Lower(wanted);
    for (int row = 0; row < rows; ++row) {
        if (const CParamItem* item = RecordItemAt(record, row);
            item && Lower(TrimTrailingBlanks(item->label)) == lowered)
            return row;
    }
    return -1;
}
