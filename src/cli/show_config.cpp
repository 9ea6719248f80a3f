#include "cli/show_config.h"

#include <string>

#include "cli/node_selector.h"
#include "model/commit_rules.h"
#include "model/device_config.h"

namespace {

// Names, labels and values come from a file and may hold line breaks and other control
// characters; printed, each stays on its line and cannot pass for another: a line break reads
// \n, a tab \t, any other control character \xHH.
std::string OneLine(const std::string& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (c == '\n' || c == '\r')
            line += "\\n";
        else if (c == '\t')
            line += "\\t";
        else if (c < 0x20 || c == 0x7F)
            line += std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
        else
            line += static_cast<char>(c);
    }
    return line;
}

void PrintTree(const TreeEntries& entries, int depth, std::ostream& out)
{
    for (const TreeEntry& entry : entries) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << OneLine(entry.text) << '\n';
        PrintTree(entry.children, depth + 1, out);
    }
}

void PrintItems(const std::string& heading, const TreeRecord& record, std::ostream& out)
{
    out << '\n' << "[" << heading << "] " << OneLine(RecordName(record)) << '\n';
    const int rows = RecordRowCount(record);
    for (int row = 0; row < rows; ++row) {
        const CParamItem* item = RecordItemAt(record, row);
        if (!item)
            continue;
        // What the download goes by is the mode number, not the protocol row's text.
        const bool protocol = record.type == RECORD_SUBNET && row == SUBNET_ROW_PROTOCOL;
        const std::string value = protocol ? static_cast<const CSubnetNode*>(record.node)->DescribeProtocol() : item->value;
        out << "  " << OneLine(TrimTrailingBlanks(item->label)) << " = " << OneLine(value);
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
