"""Prints the cells of an .xlsx workbook read with openpyxl: for every sheet a line "[NAME]",
then one line per row, its cells joined by "|" and the empty ones at its end left out. A cell
that does not hold text shows as "TYPE:value"; backslash, "|", tab, CR and LF show as \\, \|,
\t, \r and \n. Usage: dump_workbook.py WORKBOOK.xlsx
"""
import sys

import openpyxl


def shown(cell):
    if cell.value is None:
        return ""
    text = str(cell.value)
    for plain, escaped in (("\\", "\\\\"), ("|", "\\|"), ("\t", "\\t"), ("\r", "\\r"), ("\n", "\\n")):
        text = text.replace(plain, escaped)
    return text if cell.data_type == "s" else cell.data_type + ":" + text


sys.stdout.reconfigure(encoding="utf-8")
for sheet in openpyxl.load_workbook(sys.argv[1]).worksheets:
    print("[" + sheet.title + "]")
    for row in sheet.iter_rows():
        cells = [shown(cell) for cell in row]
        while cells and not cells[-1]:
            cells.pop()
        print("|".join(cells))
