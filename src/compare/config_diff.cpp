#include "compare/config_diff.h"

#include <algorithm>

#include "model/lang_strings.h"
#include "model/modbus_command.h"

namespace {

class CDiffCollector {
public:
    CDiffCollector(std::vector<Difference>& out, bool includeSame) : m_out(out), m_includeSame(includeSame) {}

    // Row by row, as far as the longer list goes.
    template <typename Node>
    void Items(const Difference& where, const Node& left, const Node& right, int rows, bool commandItems = false)
    {
        for (int row = 0; row < rows; ++row)
            Item(where, row, left.GetItemAt(row), right.GetItemAt(row), commandItems);
    }

    void Item(Difference where, int row, const CParamItem* left, const CParamItem* right, bool commandItem)
    {
        if (!left && !right)
            return;
        const bool same = left && right && SameValue(*left, *right, commandItem && row == CMD_ROW_MAP_ADDRESS);
        if (same && !m_includeSame)
            return;
        m_out.push_back(gw::ItemDifference(std::move(where), row, left, right, same));
    }

    bool IncludeSame() const { return m_includeSame; }

    void Add(Difference difference) { m_out.push_back(std::move(difference)); }

    void Presence(Difference where, const std::string* left, const std::string* right)
    {
        if (left)
            where.left = *left;
        if (right)
            where.right = *right;
        where.kind = !right ? DiffKind::OnlyLeft : !left ? DiffKind::OnlyRight : DiffKind::Changed;
        m_out.push_back(std::move(where));
    }

private:
    // The same text, or the same mapping address however it is spelled ("1AH" and "001AH").
    static bool SameValue(const CParamItem& left, const CParamItem& right, bool mappingAddress)
    {
        if (left.value == right.value)
            return true;
        return mappingAddress && !left.value.empty() && !right.value.empty() &&
               gw::MappingAddressOf(left.value) == gw::MappingAddressOf(right.value);
    }

    std::vector<Difference>& m_out;
    bool m_includeSame;
};

template <typename Node>
int RowsOf(const Node& node)
{
    return static_cast<int>(node.Items().size());
}

std::string CommandPath(int slave, int command)
{
    const std::string path = "command:" + std::to_string(command + 1);
    return slave == 0 ? path : "slave:" + std::to_string(slave + 1) + " " + path;
}

void CompareCommands(const CSlaveNode* left, const CSlaveNode* right, int slave, CDiffCollector& collect)
{
    const int leftCount = left ? left->GetCommandCount() : 0;
    const int rightCount = right ? right->GetCommandCount() : 0;
    for (int c = 0; c < std::max(leftCount, rightCount); ++c) {
        const CModbusCommand* l = left ? left->GetCommandAt(c) : nullptr;
        const CModbusCommand* r = right ? right->GetCommandAt(c) : nullptr;
        Difference where{CommandPath(slave, c), "", {}, {}, DiffKind::Changed, DiffNodeKind::Command, slave, c, -1};
        if (!l || !r) {
            const std::string leftName = l ? l->GetName() : "", rightName = r ? r->GetName() : "";
            collect.Presence(where, l ? &leftName : nullptr, r ? &rightName : nullptr);
            continue;
        }
        collect.Items(where, *l, *r, std::max(RowsOf(*l), RowsOf(*r)), true);
    }
}

void CompareWhole(const CDeviceConfig& left, const CDeviceConfig& right, CDiffCollector& collect)
{
    const CBusNode& lb = left.Bus();
    const CBusNode& rb = right.Bus();
    collect.Items(Difference{"profibus", "", {}, {}, DiffKind::Changed, DiffNodeKind::Bus}, lb, rb,
                  std::max(lb.GetRowCount(), rb.GetRowCount()));

    const CSubnetNode& ls = left.Subnet();
    const CSubnetNode& rs = right.Subnet();
    const Difference subnet{"subnet", "", {}, {}, DiffKind::Changed, DiffNodeKind::Subnet};
    std::vector<Difference> subnetDiffs;
    CDiffCollector subnetCollect(subnetDiffs, collect.IncludeSame());
    subnetCollect.Items(subnet, ls, rs, std::max(ls.GetRowCount(), rs.GetRowCount()));
    // The protocol is what the mode number says; a file can bring a row 0 text that says otherwise.
    std::erase_if(subnetDiffs, [](const Difference& d) { return d.row == SUBNET_ROW_PROTOCOL; });
    const bool sameProtocol = ls.DescribeProtocol() == rs.DescribeProtocol();
    if (!sameProtocol || collect.IncludeSame())
        collect.Add(gw::ProtocolDifference(subnet, ls, rs, sameProtocol));
    for (Difference& d : subnetDiffs)
        collect.Add(std::move(d));

    for (int s = 0; s < std::max(ls.GetNodeCount(), rs.GetNodeCount()); ++s) {
        const CSlaveNode* l = ls.GetNodeAt(s);
        const CSlaveNode* r = rs.GetNodeAt(s);
        Difference where{"slave:" + std::to_string(s + 1), "", {}, {}, DiffKind::Changed, DiffNodeKind::Slave, s};
        if (!l || !r || l->GetName() != r->GetName()) {
            const std::string leftName = l ? l->GetName() : "", rightName = r ? r->GetName() : "";
            collect.Presence(where, l ? &leftName : nullptr, r ? &rightName : nullptr);
        }
        if (l && r)
            collect.Items(where, *l, *r, std::max(RowsOf(*l), RowsOf(*r)));
        CompareCommands(l, r, s, collect);
    }
}

} // namespace

Difference gw::ItemDifference(Difference where, int row, const CParamItem* left, const CParamItem* right, bool same)
{
    where.row = row;
    where.item = left ? left->label : right ? right->label : "";
    if (left)
        where.left = left->value;
    if (right)
        where.right = right->value;
    where.kind = same ? DiffKind::Same : !right ? DiffKind::OnlyLeft : !left ? DiffKind::OnlyRight : DiffKind::Changed;
    return where;
}

Difference gw::ProtocolDifference(Difference where, const CSubnetNode& left, const CSubnetNode& right, bool same)
{
    where = gw::ItemDifference(std::move(where), SUBNET_ROW_PROTOCOL, left.GetItemAt(SUBNET_ROW_PROTOCOL),
                           right.GetItemAt(SUBNET_ROW_PROTOCOL), same);
    if (where.item.empty())
        where.item = GetLangString(SubnetText::Protocol);
    where.left = left.DescribeProtocol();
    where.right = right.DescribeProtocol();
    where.kind = same ? DiffKind::Same : DiffKind::Changed;
    return where;
}

std::vector<Difference> gw::CompareConfigurations(const CDeviceConfig& left, const CDeviceConfig& right,
                                                  CompareScope scope, HardwareVersion version, bool includeSame)
{
    if (scope == CompareScope::Module)
        return CompareModuleScope(left, right, version, includeSame);
    std::vector<Difference> out;
    CDiffCollector collect(out, includeSame);
    CompareWhole(left, right, collect);
    return out;
}
