#pragma once
// Reads an .xlsx workbook back through openpyxl (dump_workbook.py), independently of the
// library that wrote it.

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace export_test {

struct ReadCell {
    std::string type;   // openpyxl's data type: "s" for a string
    std::string text;
};

struct ReadSheet {
    std::string name;
    std::map<std::pair<int, int>, ReadCell> cells;   // by 1-based (row, column); only cells with a value

    // The text at (row, column), or the empty text for an empty cell.
    std::string Text(int row, int column) const;
    // The largest row number that holds a value, 0 for an empty sheet.
    int LastRow() const;
};

struct ReadWorkbook {
    bool ok = false;
    std::string error;              // why the workbook could not be read
    std::vector<ReadSheet> sheets;  // in workbook order

    const ReadSheet* Sheet(const std::string& name) const;
    std::vector<std::string> SheetNames() const;
};

ReadWorkbook ReadWorkbookFile(const std::string& path);

} // namespace export_test
