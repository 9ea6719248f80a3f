#include "model/value_rules.h"

#include "model/commit_rules.h"
#include "model/device_config.h"

namespace {

std::string TrimmedLabel(std::string label)
{
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

void CheckRecord(const CDeviceConfig& root, const TreeRecord& record, const std::string& node,
                 std::vector<ValueFault>& faults)
{
    const int rows = RecordRowCount(record);
    for (int row = 0; row < rows; ++row) {
        const CParamItem* item = RecordItemAt(record, row);
        if (!item)
            continue;
        const ValueVerdict verdict = CheckItemText(root, record, row, *item, item->value);
        if (verdict.accepted())
            continue;
        ValueFault fault;
        fault.record = record;
        fault.row = row;
        fault.node = node;
        fault.label = item->label;
        fault.value = item->value;
        fault.code = verdict.code;
        fault.message = verdict.refusal == CommitRefusal::NotAChoice ? NotAChoiceText(*item) : ResultMessage(verdict.code);
        faults.push_back(std::move(fault));
    }
}

} // namespace

std::vector<ValueFault> CheckItemValues(const CDeviceConfig& root)
{
    // Records point at mutable objects; the check only reads through them.
    auto& tree = const_cast<CDeviceConfig&>(root);
    std::vector<ValueFault> faults;
    CheckRecord(root, TreeRecord::ForNode(RECORD_FIELDBUS, &tree.Bus()), "profibus", faults);
    CheckRecord(root, TreeRecord::ForNode(RECORD_SUBNET, &tree.Subnet()), "subnet", faults);
    if (root.Subnet().GetMode() != MODE_MODBUS_MASTER)
        return faults;
    CSlaveNode* slave = tree.Subnet().GetNodeAt(0);
    if (!slave)
        return faults;
    CheckRecord(root, TreeRecord::ForSlave(slave), "slave:1", faults);
    int number = 0;
    for (const auto& command : slave->Commands())
        CheckRecord(root, TreeRecord::ForCommand(slave, command.get()), "command:" + std::to_string(++number), faults);
    return faults;
}

std::string DescribeValueFault(const ValueFault& fault)
{
    return fault.node + " / " + TrimmedLabel(fault.label) + " = \"" + fault.value + "\": " + fault.message;
}
