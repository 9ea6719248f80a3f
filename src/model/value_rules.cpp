#include "model/value_rules.h"

#include "model/commit_rules.h"
#include "model/device_config.h"
#include "model/lang_strings.h"

namespace {

std::string TrimmedLabel(std::string label)
{
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

void AddFault(std::vector<ValueFault>& faults, const TreeRecord& record, int row, const std::string& node,
              const CParamItem* item, std::string message)
{
    ValueFault fault;
    fault.record = record;
    fault.row = row;
    fault.node = node;
    if (item) {
        fault.label = item->label;
        fault.value = item->value;
    }
    fault.code = RESULT_OUT_OF_RANGE;
    fault.message = std::move(message);
    faults.push_back(std::move(fault));
}

// The mode number decides what the download sends; the protocol row must say the same.
void CheckMode(const CSubnetNode& subnet, const TreeRecord& record, std::vector<ValueFault>& faults)
{
    const int mode = subnet.GetMode();
    const CParamItem* protocol = subnet.GetItemAt(SUBNET_ROW_PROTOCOL);
    const std::string master = gw::GetLangString(ChoiceText::ModbusMaster), user = gw::GetLangString(ChoiceText::UserConfig);
    if (mode != MODE_MODBUS_MASTER && mode != MODE_USER_CONFIG) {
        AddFault(faults, record, SUBNET_ROW_PROTOCOL, "subnet", protocol,
                 "the file's protocol mode " + std::to_string(mode) + " is neither 0 (\"" + master + "\") nor 1 (\"" +
                     user + "\")");
        return;
    }
    const std::string& named = mode == MODE_MODBUS_MASTER ? master : user;
    if (protocol && protocol->value != named)
        AddFault(faults, record, SUBNET_ROW_PROTOCOL, "subnet", protocol,
                 "the file's protocol mode is " + std::to_string(mode) + " (\"" + named + "\")");
}

// The name of any function code of the table ("07 Read Exception Status"); empty for none.
std::string FunctionName(int code)
{
    std::string name;
    for (int index = 0; index < kFunctionCount; ++index) {
        if (gw::GetFunctionInfo(index, nullptr, &name) == code)
            return name;
    }
    return {};
}

// The function code a command sends is the one of its type, and one the module can poll with.
void CheckFunctionCode(const CModbusCommand& command, const TreeRecord& record, const std::string& node,
                       std::vector<ValueFault>& faults)
{
    const CParamItem* item = command.GetItemAt(CMD_ROW_FUNCTION_CODE);
    if (!item)
        return;
    const int code = command.GetFunctionCode();
    int index = kUnknownFunctionIndex;
    gw::GetFunctionByCode(code, &index);
    if (!gw::IsSupportedFunctionIndex(index)) {
        const std::string name = FunctionName(code);
        AddFault(faults, record, CMD_ROW_FUNCTION_CODE, node, item,
                 "function " + std::to_string(code) + (name.empty() ? "" : " (\"" + name + "\")") +
                     " cannot be configured; use 1, 2, 3, 4, 5, 6, 15 or 16");
    } else if (index != command.GetCommandType()) {
        std::string name;
        const int typeCode = gw::GetFunctionInfo(command.GetCommandType(), nullptr, &name);
        AddFault(faults, record, CMD_ROW_FUNCTION_CODE, node, item,
                 "the command is of function " + std::to_string(typeCode) + " (\"" + name + "\")");
    }
}

void CheckRecord(const CDeviceConfig& root, const TreeRecord& record, const std::string& node,
                 std::vector<ValueFault>& faults)
{
    const int rows = gw::RecordRowCount(record);
    for (int row = 0; row < rows; ++row) {
        const CParamItem* item = gw::RecordItemAt(record, row);
        if (!item)
            continue;
        const ValueVerdict verdict = gw::CheckItemText(root, record, row, *item, item->value);
        if (verdict.accepted())
            continue;
        ValueFault fault;
        fault.record = record;
        fault.row = row;
        fault.node = node;
        fault.label = item->label;
        fault.value = item->value;
        fault.code = verdict.code;
        fault.message = verdict.refusal == CommitRefusal::NotAChoice ? gw::NotAChoiceText(*item) : gw::ResultMessage(verdict.code);
        faults.push_back(std::move(fault));
    }
}

} // namespace

std::vector<ValueFault> gw::CheckItemValues(const CDeviceConfig& root)
{
    // Records point at mutable objects; the check only reads through them.
    auto& tree = const_cast<CDeviceConfig&>(root);
    std::vector<ValueFault> faults;
    CheckRecord(root, TreeRecord::ForNode(RECORD_FIELDBUS, &tree.Bus()), "profibus", faults);
    const TreeRecord subnet = TreeRecord::ForNode(RECORD_SUBNET, &tree.Subnet());
    CheckMode(root.Subnet(), subnet, faults);
    CheckRecord(root, subnet, "subnet", faults);
    if (root.Subnet().GetMode() != MODE_MODBUS_MASTER)
        return faults;
    CSlaveNode* slave = tree.Subnet().GetNodeAt(0);
    if (!slave)
        return faults;
    const TreeRecord slaveRecord = TreeRecord::ForSlave(slave);
    CheckRecord(root, slaveRecord, "slave:1", faults);
    // Only a file can bring more: the module would take the first 48 and refuse the next.
    if (slave->GetCommandCount() > kMaxCommandsPerSlave)
        AddFault(faults, slaveRecord, -1, "slave:1", nullptr,
                 gw::GetLangString(MessageText::TooManyCommands) + " (the node holds " + std::to_string(slave->GetCommandCount()) + ")");
    int number = 0;
    for (const auto& command : slave->Commands()) {
        const TreeRecord record = TreeRecord::ForCommand(slave, command.get());
        const std::string node = "command:" + std::to_string(++number);
        CheckFunctionCode(*command, record, node, faults);
        CheckRecord(root, record, node, faults);
    }
    return faults;
}

std::string gw::DescribeValueFault(const ValueFault& fault)
{
    if (fault.row < 0)   // the node as a whole
        return fault.node + ": " + fault.message;
    return fault.node + " / " + TrimmedLabel(fault.label) + " = \"" + fault.value + "\": " + fault.message;
}
