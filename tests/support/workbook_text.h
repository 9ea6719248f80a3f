#pragma once
// An .xlsx workbook as text, read back through openpyxl (tests/export/dump_workbook.py shows the
// form), independently of the library that wrote it.

#include <string>

std::string WorkbookText(const std::string& path);
