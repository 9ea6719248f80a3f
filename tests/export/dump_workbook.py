#!/usr/bin/env python3
"""Prints the cells of an .xlsx workbook, read with openpyxl.

For every sheet, in workbook order, a line "sheet<TAB>NAME", then one line
"ROW<TAB>COLUMN<TAB>TYPE<TAB>VALUE" for each cell that holds a value (1-based row and
column, openpyxl's data type: s string, n number, f formula, b boolean, d date).
Backslash, tab, CR and LF in names and values are written as \\\\, \\t, \\r and \\n.
"""
import sys

import openpyxl


def escape(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\r", "\\r").replace("\n", "\\n"))


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: dump_workbook.py WORKBOOK.xlsx\n")
        return 2
    sys.stdout.reconfigure(encoding="utf-8")
    workbook = openpyxl.load_workbook(sys.argv[1])
    for sheet in workbook.worksheets:
        print("sheet\t" + escape(sheet.title))
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None:
                    continue
                print("%d\t%d\t%s\t%s" % (cell.row, cell.column, cell.data_type, escape(str(cell.value))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
