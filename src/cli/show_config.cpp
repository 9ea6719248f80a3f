#include "cli/show_config.h"

#include <string>

#include "model/device_config.h"
#include "model/item_text.h"

namespace {

void PrintTree(const TreeEntries& entries, int depth, std::ostream& out)
{
    for (const TreeEntry& entry : entries) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << gw::OneLineText(entry.text) << '\n';
        PrintTree(entry.children, depth + 1, out);
    }
}

} // namespace

void gw::ShowConfig(CDeviceConfig& root, std::ostream& out)
{
    PrintTree(root.BuildTree(), 0, out);
    out << '\n';
    PrintRecordItems("profibus", TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus()), out);
    out << '\n';
    PrintRecordItems("subnet", TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet()), out);
    const CSubnetNode& subnet = root.Subnet();
    for (int s = 0; s < subnet.GetNodeCount(); ++s) {
        CSlaveNode* slave = subnet.GetNodeAt(s);
        const std::string slaveName = s == 0 ? "slave" : "slave:" + std::to_string(s + 1);
        // Commands of the first slave node are the ones selected as command:N.
        const std::string prefix = s == 0 ? "" : slaveName + " ";
        out << '\n';
        PrintRecordItems(slaveName, TreeRecord::ForSlave(slave), out);
        for (int c = 0; c < slave->GetCommandCount(); ++c) {
            out << '\n';
            PrintRecordItems(prefix + "command:" + std::to_string(c + 1),
                             TreeRecord::ForCommand(slave, slave->GetCommandAt(c)), out);
        }
    }
}
