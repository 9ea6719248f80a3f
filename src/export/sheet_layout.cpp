#include "export/sheet_layout.h"

#include <cstdint>

#include "model/device_config.h"
#include "model/lang_strings.h"

namespace {

constexpr int kCommandNumberColumn = 1;
constexpr int kFirstCommandItemColumn = 2;
constexpr int kFirstModeItemColumn = kSubnetBaseRows + 1;
constexpr int kHeadingPatternFunction = 2;   // "03 Read Holding Register"

// The heading and value of one item, in the given column.
void AddItemColumn(SheetContent& sheet, int column, const CParamItem& item)
{
    sheet.cells.push_back({kHeadingRow, column, item.label});
    sheet.cells.push_back({kFirstValueRow, column, item.value});
}

SheetContent OrderListSheet(const CSubnetNode& subnet)
{
    SheetContent sheet{gw::GetLangString(AppText::OrderListSheet), {}};
    // Every command carries the same ten labels; a fresh one gives the headings even when the
    // configuration holds no command.
    const CModbusCommand pattern("", kHeadingPatternFunction);
    sheet.cells.push_back({kHeadingRow, kCommandNumberColumn, "No."});
    for (int row = 0; row < pattern.GetItemCount(); ++row)
        sheet.cells.push_back({kHeadingRow, kFirstCommandItemColumn + row, pattern.GetItemAt(row)->label});

    // Slave nodes and their commands exist for the module only in Modbus Master mode.
    if (subnet.GetMode() != MODE_MODBUS_MASTER)
        return sheet;
    int number = 0;
    for (const auto& slave : subnet.Nodes()) {
        for (const auto& command : slave->Commands()) {
            const int row = kFirstValueRow + number;
            ++number;
            sheet.cells.push_back({row, kCommandNumberColumn, std::to_string(number)});
            int column = kFirstCommandItemColumn;
            for (const auto& item : command->Items())
                sheet.cells.push_back({row, column++, item->value});
        }
    }
    return sheet;
}

SheetContent FieldbusSheet(const CBusNode& bus)
{
    SheetContent sheet{gw::GetLangString(AppText::FieldbusName), {}};
    int column = 1;
    for (const auto& item : bus.Items())
        AddItemColumn(sheet, column++, *item);
    return sheet;
}

SheetContent SubnetSheet(const CSubnetNode& subnet)
{
    SheetContent sheet{gw::GetLangString(AppText::SubnetName), {}};
    // The base items are rows 0-5; a short list read from a file leaves its missing columns empty.
    for (int row = 0; row < kSubnetBaseRows; ++row) {
        if (const CParamItem* item = gw::ItemAt(subnet.Items(), row))
            AddItemColumn(sheet, 1 + row, *item);
    }
    // As in the property grid, only the two known modes add their list.
    const int mode = subnet.GetMode();
    if (mode != MODE_MODBUS_MASTER && mode != MODE_USER_CONFIG)
        return sheet;
    int column = kFirstModeItemColumn;
    for (const auto& item : subnet.CurrentModeItems())
        AddItemColumn(sheet, column++, *item);
    return sheet;
}

} // namespace

std::vector<SheetContent> gw::LayOutWorkbook(const CDeviceConfig& root)
{
    std::vector<SheetContent> sheets;
    sheets.push_back(OrderListSheet(root.Subnet()));
    sheets.push_back(FieldbusSheet(root.Bus()));
    sheets.push_back(SubnetSheet(root.Subnet()));
    return sheets;
}
