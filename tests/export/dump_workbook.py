r"""dump_workbook.py WORKBOOK.xlsx: every sheet, read with openpyxl, as "[NAME]" and one line per
row, the cells joined by "|" (empty ones at the end left out); a cell that is not text shows as
"TYPE:value"; backslash, "|", tab, CR and LF as \\, \|, \t, \r and \n."""
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
