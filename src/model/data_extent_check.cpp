#include "model/data_extent_check.h"

#include "model/device_config.h"

namespace {

constexpr int kLastAddress = 0xFFFF;

} // namespace

std::vector<ValueFault> gw::CheckDataPastLastAddress(const CDeviceConfig& root)
{
    std::vector<ValueFault> faults;
    CSlaveNode* slave = const_cast<CDeviceConfig&>(root).Subnet().GetNodeAt(0);
    if (root.Subnet().GetMode() != MODE_MODBUS_MASTER || !slave)
        return faults;
    int number = 0;
    for (const auto& command : slave->Commands()) {
        ++number;
        const int function = command->GetFunctionCode();
        const int start = command->GetIntValue(CMD_ROW_START_ADDRESS);
        const int count = function == 5 || function == 6 ? 1 : command->GetIntValue(CMD_ROW_DATA_COUNT);
        const CParamItem* item = command->GetItemAt(CMD_ROW_DATA_COUNT);
        if (!item || start < 0 || count < 1 || start + count - 1 <= kLastAddress)
            continue;
        ValueFault fault;
        fault.record = TreeRecord::ForCommand(slave, command.get());
        fault.row = CMD_ROW_DATA_COUNT;
        fault.node = "command:" + std::to_string(number);
        fault.label = item->label;
        fault.value = item->value;
        fault.code = RESULT_OUT_OF_RANGE;
        fault.message = "from \"Starting Address\" " + std::to_string(start) + " the data run past address 65535";
        faults.push_back(std::move(fault));
    }
    return faults;
}
