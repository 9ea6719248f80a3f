#pragma once
// An .xlsx workbook being built with libxlsxwriter. Nothing reaches the disk before Close();
// a workbook destroyed without Close() is discarded.

#include <string>

#include "export/sheet_layout.h"
#include "model/outcome.h"

struct lxw_workbook;

class CXlsxWorkbook {
public:
    // Starts a workbook that Close() will write to path.
    explicit CXlsxWorkbook(const std::string& path);
    ~CXlsxWorkbook();
    CXlsxWorkbook(const CXlsxWorkbook&) = delete;
    CXlsxWorkbook& operator=(const CXlsxWorkbook&) = delete;

    // Appends a sheet with its cells, each written as a text string (an empty text leaves its
    // cell empty). A failure says what went wrong.
    Outcome AddSheet(const SheetContent& sheet);

    // Writes the file. A failure says what went wrong (the file may then be half-written). The
    // workbook is finished either way.
    Outcome Close();

private:
    lxw_workbook* m_workbook = nullptr;
};
