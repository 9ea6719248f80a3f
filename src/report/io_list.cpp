#include "report/io_list.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/device_config.h"
#include "model/lang_strings.h"
#include "model/validation.h"
#include "model/value_rules.h"
#include "report/report_texts.h"

namespace {

std::string ValueAt(const CModbusCommand& command, int row)
{
    const CParamItem* item = command.GetItemAt(row);
    return item ? item->value : std::string();
}

std::string LabelAt(const CModbusCommand& command, int row)
{
    const CParamItem* item = command.GetItemAt(row);
    std::string label = item ? item->label : std::string();
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

// A well-formed address at or past the end of its area: the data overflow, which the list shows.
bool AddressPastAreaEnd(const ValueFault& fault, IoArea area)
{
    if (fault.row != CMD_ROW_MAP_ADDRESS || fault.code != RESULT_OUT_OF_RANGE)
        return false;
    std::string text = fault.value;
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (const auto h = text.rfind('H'); h != std::string::npos)
        text.erase(h);
    const std::uint32_t base = area == IoArea::Input ? 0 : kOutputAreaBase;
    return !text.empty() && gw::CheckHex(text, base + kAreaBytes, 0xFFFF) == RESULT_OK;
}

// The first reason the commands cannot be listed: an empty item, or a value that no edit could
// store in the rows that place the data.
Outcome CheckCommands(const CDeviceConfig& root, const CSlaveNode& slave)
{
    int number = 0;
    for (const auto& command : slave.Commands()) {
        ++number;
        if (const Outcome empty = command->CheckEmpty(); !empty)
            return gw::Failure("command:" + std::to_string(number) + ": " + gw::MessageOnOneLine(empty.message), empty.code);
    }
    for (const ValueFault& fault : gw::CheckItemValues(root)) {
        if (fault.record.type != RECORD_COMMAND || fault.row < CMD_ROW_START_ADDRESS || fault.row > CMD_ROW_MAP_BIT)
            continue;
        const int code = fault.record.command->GetFunctionCode();
        if (AddressPastAreaEnd(fault, code >= 1 && code <= 4 ? IoArea::Input : IoArea::Output))
            continue;
        return gw::Failure(gw::DescribeValueFault(fault), fault.code);
    }
    return {};
}

bool IsBitCode(int code)
{
    return code == 1 || code == 2 || code == 5 || code == 15;
}

class ListBuilder {
public:
    ListBuilder(const IoListOptions& options, IoList& list) : m_options(options), m_list(list) {}

    void Add(const CModbusCommand& command, int number, int slave)
    {
        const CommandMapping mapping = gw::GetMapping(command);
        IoRow row;
        row.command = number;
        row.mnemonic = ValueAt(command, CMD_ROW_MNEMONIC);
        row.slave = slave;
        row.function = command.GetFunctionCode();
        row.start = command.GetIntValue(CMD_ROW_START_ADDRESS);
        row.count = command.GetIntValue(CMD_ROW_DATA_COUNT);
        row.area = mapping.area == AREA_INPUT ? IoArea::Input : IoArea::Output;
        const std::int64_t offset =
            static_cast<std::int64_t>(mapping.startAddress) - (row.area == IoArea::Output ? kOutputAreaBase : 0);
        if (!IsBitCode(row.function)) {
            row.offset = offset;
            row.length = mapping.bitCount / 8;
            row.unit = IoUnit::Byte;
            row.layout = gw::ReportString(ReportText::LayoutWords,
                                      {LabelAt(command, CMD_ROW_BYTE_SWAP), ValueAt(command, CMD_ROW_BYTE_SWAP)});
            if (const auto base = Base(row.area)) {
                bool named = true;
                row.plcAddress = gw::PlcWordAddress(row.area == IoArea::Input, *base + offset, m_options.addressing, &named);
                if (!named)
                    m_list.notes.push_back(gw::ReportString(ReportText::OddWord, {std::to_string(number),
                                                                              std::to_string(*base + offset)}));
            }
            Occupy(row.area, offset * 8, mapping.bitCount, number);
            m_list.rows.push_back(std::move(row));
            return;
        }
        const std::int64_t firstBit = offset * 8 + mapping.bitOffset;
        row.unit = IoUnit::Bit;
        row.layout = gw::ReportString(ReportText::LayoutBits, {std::to_string(mapping.bitOffset)});
        Occupy(row.area, firstBit, mapping.bitCount, number);
        const bool perBit = m_options.bits && mapping.bitCount > 1;
        const std::int64_t rows = perBit ? mapping.bitCount : 1;
        for (std::int64_t i = 0; i < rows; ++i) {
            IoRow bitRow = row;
            const std::int64_t bit = firstBit + i;
            bitRow.offset = bit / 8;
            bitRow.bit = static_cast<int>(bit % 8);
            bitRow.length = perBit ? 1 : mapping.bitCount;
            if (perBit) {
                bitRow.start = row.start + static_cast<int>(i);
                bitRow.count = 1;
            }
            if (const auto base = Base(row.area))
                bitRow.plcAddress = gw::PlcBitAddress(row.area == IoArea::Input, *base + bitRow.offset, *bitRow.bit);
            m_list.rows.push_back(std::move(bitRow));
        }
    }

    void Finish()
    {
        for (const auto& [key, commands] : m_users) {
            if (commands.size() > 1)
                m_list.shared.push_back({key.first, key.second, commands});
        }
        for (const IoArea area : {IoArea::Input, IoArea::Output}) {
            if (m_list.Bytes(area) > static_cast<std::int64_t>(kAreaBytes))
                m_list.notes.push_back(gw::ReportString(ReportText::AreaOverflow,
                                                    {gw::GetLangString(area == IoArea::Input ? MessageText::InputOverflow : MessageText::OutputOverflow),
                                                     std::to_string(m_list.Bytes(area))}));
        }
    }

private:
    std::optional<std::int64_t> Base(IoArea area) const
    {
        return area == IoArea::Input ? m_options.inputBase : m_options.outputBase;
    }

    void Occupy(IoArea area, std::int64_t firstBit, std::int64_t bitCount, int number)
    {
        if (bitCount <= 0)
            return;
        const std::int64_t last = (firstBit + bitCount - 1) / 8;
        for (std::int64_t byte = firstBit / 8; byte <= last; ++byte) {
            std::vector<int>& users = m_users[{area, byte}];
            if (users.empty() || users.back() != number)
                users.push_back(number);
        }
        std::int64_t& needed = area == IoArea::Input ? m_list.inputBytes : m_list.outputBytes;
        needed = std::max(needed, last + 1);
    }

    const IoListOptions& m_options;
    IoList& m_list;
    std::map<std::pair<IoArea, std::int64_t>, std::vector<int>> m_users;
};

} // namespace

IoListResult gw::BuildIoList(const CDeviceConfig& root, const IoListOptions& options)
{
    IoListResult result;
    result.list.addressing = options.addressing;
    result.list.inputBase = options.inputBase;
    result.list.outputBase = options.outputBase;
    const CSubnetNode& subnet = root.Subnet();
    const CSlaveNode* slave = subnet.GetMode() == MODE_MODBUS_MASTER ? subnet.GetNodeAt(0) : nullptr;
    if (!slave)
        return result;
    if (Outcome checked = CheckCommands(root, *slave); !checked) {
        result.code = checked.code;
        result.message = std::move(checked.message);
        return result;
    }
    ListBuilder builder(options, result.list);
    int number = 0;
    for (const auto& command : slave->Commands())
        builder.Add(*command, ++number, slave->GetIntValue(SLAVE_ROW_ADDRESS));
    builder.Finish();
    return result;
}

const char* gw::AreaKey(IoArea area)
{
    return area == IoArea::Input ? "input" : "output";
}

const char* gw::UnitKey(IoUnit unit)
{
    return unit == IoUnit::Byte ? "byte" : "bit";
}

std::string gw::OffsetHex(std::int64_t offset)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%02llX", static_cast<unsigned long long>(offset));
    return text;
}
