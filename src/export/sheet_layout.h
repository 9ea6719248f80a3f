#pragma once
// What the exported workbook holds, independent of the file format: the sheets "Order list",
// "PROFIBUS" and "Subnet", each a set of text cells. Row 1 of every sheet carries the column
// headings; the configuration's values start in row 2.

#include <string>
#include <vector>

class CDeviceConfig;

// One cell, addressed by the spreadsheet's 1-based row and column numbers.
struct SheetCell {
    int row = 0;
    int column = 0;
    std::string text;
};

struct SheetContent {
    std::string name;
    std::vector<SheetCell> cells;   // headings first, then the values row by row
};

inline constexpr int kHeadingRow = 1;
inline constexpr int kFirstValueRow = 2;

namespace gw {

// The three sheets in workbook order. "Order list": one row per Modbus command over all slave
// nodes (Modbus Master mode only), the running number in column 1 and the command's item values
// from column 2 on. "PROFIBUS": the fieldbus node's item values in row 2. "Subnet": the base items
// in columns 1-6 of row 2 and the current mode's items from column 7 on. Every value is the item's
// text as the model holds it.
std::vector<SheetContent> LayOutWorkbook(const CDeviceConfig& root);

} // namespace gw
