#include "cli/show_config.h"

#include <string>

#include "cli/node_selector.h"
#include "model/commit_rules.h"
#include "model/device_config.h"

namespace {

void PrintTree(const TreeEntries& entries, int depth, std::ostream& out)
{
    for (const TreeEntry& entry : entries) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << entry.text << '\n';
        PrintTree(entry.children, depth + 1, out);
    }
}

// Help texts and values may hold line breaks; a printed value stays on one line.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        line += text[i] == '\n' || text[i] == '\r' ? std::string("\\n") : std::string(1, text[i]);
    }
    return line;
}

void PrintItems(const std::string& heading, const TreeRecord& record, std::ostream& out)
{
    out << '\n' << "[" << heading << "] " << RecordName(record) << '\n';
    const int rows = RecordRowCount(record);
    for (int row = 0; row < rows; ++row) {
        const CParamItem* item = RecordItemAt(record, row);
        if (!item)
            continue;
        out << "  " << TrimTrailingBlanks(item->label) << " = " << OneLine(item->value);
        if (!item->OffersEditor())
            out << "  (read-only)";
        out << '\n';
    }
}

} // namespace

void ShowConfig(CDeviceConfig& root, std::ostream& out)
{
    PrintTree(root.BuildTree(), 0, out);
    PrintItems("profibus", TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus()), out);
    PrintItems("subnet", TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet()), out);
    const CSubnetNode& subnet = root.Subnet();
    for (int s = 0; s < subnet.GetNodeCount(); ++s) {
        CSlaveNode* slave = subnet.GetNodeAt(s);
        const std::string slaveName = s == 0 ? "slave" : "slave:" + std::to_string(s + 1);
        // Commands of the first slave node are the ones selected as command:N.
        const std::string prefix = s == 0 ? "" : slaveName + " ";
        PrintItems(slaveName, TreeRecord::ForSlave(slave), out);
        for (int c = 0; c < slave->GetCommandCount(); ++c)
            PrintItems(prefix + "command:" + std::to_string(c + 1),
                       TreeRecord::ForCommand(slave, slave->GetCommandAt(c)), out);
    }
}
