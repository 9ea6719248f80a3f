r"""check_report_html.py REPORT.html SHOW.txt LIST.csv [PROBE.json] [VERIFY.json]

Parses the report with html5lib, an HTML5 parser of its own, and looks in its tables for every
item value that "gatewaycfg show" prints, every command, every row of the I/O list's CSV, the
probe's outcomes and values and the verify result; and for the memory map's SVG. Prints what it
misses; exit status 1 when anything is missing."""
import csv
import json
import sys

import html5lib

from show_text import show_sections


def text(element):
    return "".join(element.itertext()).strip()


def table(document, ident):
    found = document.find(".//table[@id='%s']" % ident)
    return [[text(cell) for cell in row] for row in found.iter("tr")][1:] if found is not None else None



def main():
    report, show, listed = sys.argv[1:4]
    with open(report, "rb") as f:
        document = html5lib.parse(f, namespaceHTMLElements=False)
    with open(show, encoding="utf-8") as f:
        items = show_sections(f.read())
    missing = []
    for section, ident in (("profibus", "items-profibus"), ("subnet", "items-subnet"), ("slave", "items-slave-1")):
        rows = table(document, ident) or []
        for label, value in items[section]:
            if [label, value] not in rows:
                missing.append("%s: %s = %s" % (ident, label, value))
    commands = table(document, "commands") or []
    number = 0
    while "command:%d" % (number + 1) in items:
        number += 1
        values = [value for _, value in items["command:%d" % number]]
        if number > len(commands) or commands[number - 1][1:] != values:
            missing.append("command %d: %s" % (number, values))
    if len(commands) != number:
        missing.append("the command table has %d rows for %d commands" % (len(commands), number))
    with open(listed, newline="", encoding="utf-8") as f:
        records = list(csv.DictReader(f))
    io_rows = table(document, "iolist-table") or []
    for i, r in enumerate(records):
        want = [r["command"], r["mnemonic"], r["slave"], r["function"], r["start"], r["count"], r["area"],
                "%s (%s)" % (r["offset_hex"], r["offset"]), r["bit"], r["length"] + " " + r["unit"], r["layout"],
                r["plc_address"]]
        if i >= len(io_rows) or io_rows[i] != want:
            missing.append("I/O row %d: %s" % (i + 1, want))
    section = document.find(".//section[@id='memory-map']")
    svg = "{http://www.w3.org/2000/svg}"
    drawn = [] if section is None else [e for e in section.iter(svg + "svg")]
    if len(drawn) != 1 or len(list(drawn[0].iter(svg + "rect"))) < 4000:
        missing.append("the memory map's SVG")
    if len(sys.argv) > 4:
        with open(sys.argv[4], encoding="utf-8") as f:
            probe = json.load(f)
        rows = table(document, "probe-table") or []
        for i, c in enumerate(probe["commands"]):
            want = [str(c["command"]), c["status"], " ".join(str(v) for v in c["values"])]
            if i >= len(rows) or [rows[i][0], rows[i][5], rows[i][8]] != want:
                missing.append("probe row %d: %s" % (i + 1, want))
        dump = text(document.find(".//pre[@id='input-image']")).splitlines()
        if "".join("".join(line.split()[1:]) for line in dump) != probe["input_image"]:
            missing.append("the input image")
    if len(sys.argv) > 5:
        with open(sys.argv[5], encoding="utf-8") as f:
            verify = json.load(f)
        facts = table(document, "verify-facts") or []
        if [row[1] for row in facts] != [verify["date"], verify["hardware"]]:
            missing.append("verify date and hardware: %s" % facts)
        rows = table(document, "verify-table") or []
        want = [[d["node"], d["item"], d["left"] or "(missing)", d["right"] or "(missing)"] for d in verify["differences"]]
        if rows != want:
            missing.append("verify differences: %s" % want)
    print("\n".join(missing) if missing else "ok")
    sys.exit(1 if missing else 0)


main()
