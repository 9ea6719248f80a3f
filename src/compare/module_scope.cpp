// The module scope: both sides seen through the encoder's table, so that two texts that go on
// the line as the same bytes are equal, and what the module does not keep never counts.

#include <algorithm>

#include "compare/config_diff.h"
#include "model/modbus_command.h"

namespace {

bool Wide(WireEncoding encoding)
{
    return encoding == WireEncoding::Number16 || encoding == WireEncoding::MappingAddress;
}

// The bytes the field goes on the line as.
int OnTheLine(const CParamItem* item, WireEncoding encoding)
{
    return gw::WireValueOf(item, encoding) & (Wide(encoding) ? 0xFFFF : 0xFF);
}

// Where the differences go, and whether the equal fields are listed as well.
struct Sink {
    std::vector<Difference>& out;
    bool includeSame;

    void Field(const Difference& where, int row, const CParamItem* left, const CParamItem* right, bool differs)
    {
        if (differs || includeSame)
            out.push_back(gw::ItemDifference(where, row, left, right, !differs));
    }
};

template <typename Node>
void CompareFields(std::span<const WireField> fields, const Node& left, const Node& right, const Difference& where,
                   Sink& sink)
{
    for (const WireField& field : fields) {
        const CParamItem* l = left.GetItemAt(field.row);
        const CParamItem* r = right.GetItemAt(field.row);
        sink.Field(where, field.row, l, r, OnTheLine(l, field.encoding) != OnTheLine(r, field.encoding));
    }
}

int CommandCount(const CSlaveNode* slave) { return slave ? slave->GetCommandCount() : 0; }

void CompareCommandList(const CSubnetNode& left, const CSubnetNode& right, Sink& sink)
{
    // Only the first slave node is sent, and only through its commands' records.
    const CSlaveNode* ls = left.GetNodeAt(0);
    const CSlaveNode* rs = right.GetNodeAt(0);
    const int leftCount = CommandCount(ls);
    const int rightCount = CommandCount(rs);
    if (leftCount > 0 && rightCount > 0) {
        const CParamItem* l = ls->GetItemAt(SLAVE_ROW_ADDRESS);
        const CParamItem* r = rs->GetItemAt(SLAVE_ROW_ADDRESS);
        sink.Field({"slave:1", "", {}, {}, DiffKind::Changed, DiffNodeKind::Slave, 0}, SLAVE_ROW_ADDRESS, l, r,
                   OnTheLine(l, WireEncoding::Number8) != OnTheLine(r, WireEncoding::Number8));
    }
    for (int c = 0; c < std::max(leftCount, rightCount); ++c) {
        const CModbusCommand* l = c < leftCount ? ls->GetCommandAt(c) : nullptr;
        const CModbusCommand* r = c < rightCount ? rs->GetCommandAt(c) : nullptr;
        Difference where{"command:" + std::to_string(c + 1), "", {}, {}, DiffKind::Changed, DiffNodeKind::Command, 0, c};
        if (l && r) {
            CompareFields(gw::CommandRecordFields(), *l, *r, where, sink);
            continue;
        }
        if (l)
            where.left = l->GetName();
        if (r)
            where.right = r->GetName();
        where.kind = l ? DiffKind::OnlyLeft : DiffKind::OnlyRight;
        sink.out.push_back(std::move(where));
    }
}

void CompareBus(const CBusNode& left, const CBusNode& right, bool wholeBlock, Sink& sink)
{
    const Difference where{"profibus", "", {}, {}, DiffKind::Changed, DiffNodeKind::Bus};
    const bool differs = wholeBlock ? gw::BusBlockOf(left) != gw::BusBlockOf(right)
                                    : OnTheLine(left.GetItemAt(BUS_ROW_ADDRESS_MODE), WireEncoding::Choice) !=
                                          OnTheLine(right.GetItemAt(BUS_ROW_ADDRESS_MODE), WireEncoding::Choice);
    // The block says which of its two rows differ only through their texts.
    const int last = wholeBlock ? BUS_ROW_PROBE_TIMEOUT : BUS_ROW_ADDRESS_MODE;
    for (int row = BUS_ROW_ADDRESS_MODE; row <= last; ++row) {
        const CParamItem* l = left.GetItemAt(row);
        const CParamItem* r = right.GetItemAt(row);
        sink.Field(where, row, l, r, differs && (!l || !r || l->value != r->value));
    }
}

} // namespace

std::vector<Difference> gw::CompareModuleScope(const CDeviceConfig& left, const CDeviceConfig& right,
                                               HardwareVersion version, bool includeSame)
{
    std::vector<Difference> out;
    Sink sink{out, includeSame};
    const CSubnetNode& ls = left.Subnet();
    const CSubnetNode& rs = right.Subnet();
    const ModuleBlocks kept = BlocksKept(ls.GetMode(), version);
    const Difference subnet{"subnet", "", {}, {}, DiffKind::Changed, DiffNodeKind::Subnet};
    if (kept.busBlock || kept.addressMode)
        CompareBus(left.Bus(), right.Bus(), kept.busBlock, sink);
    if (const bool differs = (ls.GetProtocolCode() & 0xFF) != (rs.GetProtocolCode() & 0xFF);
        kept.mode && (differs || includeSame))
        out.push_back(ProtocolDifference(subnet, ls, rs, !differs));
    if (kept.serial)
        CompareFields(SerialFields(), ls, rs, subnet, sink);
    if (kept.framing)
        CompareFields(FramingFields(), ls, rs, subnet, sink);
    if (kept.commands)
        CompareCommandList(ls, rs, sink);
    return out;
}

bool gw::ModuleKeeps(const Difference& d, int mode, HardwareVersion version)
{
    const ModuleBlocks kept = BlocksKept(mode, version);
    const auto inFields = [&](std::span<const WireField> fields) {
        return std::any_of(fields.begin(), fields.end(), [&](const WireField& f) { return f.row == d.row; });
    };
    switch (d.nodeKind) {
    case DiffNodeKind::Subnet:
        return (kept.mode && d.row == SUBNET_ROW_PROTOCOL) || (kept.serial && inFields(SerialFields())) ||
               (kept.framing && inFields(FramingFields()));
    case DiffNodeKind::Bus:
        return (kept.busBlock && (d.row == BUS_ROW_ADDRESS_MODE || d.row == BUS_ROW_PROBE_TIMEOUT)) ||
               (kept.addressMode && d.row == BUS_ROW_ADDRESS_MODE);
    case DiffNodeKind::Slave:
        // The first node's address goes in every command record; the node itself is not kept.
        return kept.commands && d.slave == 0 && d.row == SLAVE_ROW_ADDRESS;
    case DiffNodeKind::Command:
        return kept.commands && d.slave == 0 && (d.row < 0 || inFields(gw::CommandRecordFields()));
    }
    return false;
}
