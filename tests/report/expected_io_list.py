r"""expected_io_list.py SHOW.txt LIST.csv LIST.json [--bits] [--input-base N] [--output-base N]
[--plc-addressing byte|word]

Works out the I/O list on its own from what "gatewaycfg show" prints (each command's function
code, starting address, number of data, mapping address and bit, byte swap, mnemonic, and the
slave address) and compares it with the CSV, read with Python's csv module, and the JSON.
Prints every difference; exit status 1 when there is one."""
import argparse
import csv
import json
import sys

from show_text import show_sections

HEADER = ["command", "mnemonic", "slave", "function", "start", "count", "area", "offset_hex", "offset",
          "bit", "length", "unit", "layout", "plc_address"]



def expected(show, args):
    items = {name: dict(pairs) for name, pairs in show_sections(show).items()}
    slave = int(items["slave"]["Slave Address"])
    rows, users = [], {}
    number = 0
    while "command:%d" % (number + 1) in items:
        number += 1
        c = items["command:%d" % number]
        code, start, count = int(c["Function Code"]), int(c["Starting Address"]), int(c["Number of Data"])
        area = "input" if code in (1, 2, 3, 4) else "output"
        address = int(c["Mapping Address(HEX)"].upper().rsplit("H", 1)[0] or "0", 16)
        offset = address - (0x4000 if area == "output" else 0)
        base = args.input_base if area == "input" else args.output_base
        letter = "I" if area == "input" else "Q"
        common = dict(command=number, mnemonic=c["Mnemonic"], slave=slave, function=code, area=area)
        if code in (1, 2, 5, 15):
            bits = 1 if code == 5 else count
            first = offset * 8 + int(c["Mapping Bit(0-7)"])
            touched = range(first // 8, (first + bits - 1) // 8 + 1)
            each = args.bits and bits > 1
            for i in range(bits if each else 1):
                byte, bit = (first + i) // 8, (first + i) % 8
                rows.append(dict(common, start=start + i if each else start, count=1 if each else count,
                                 offset=byte, bit=bit, length=1 if each else bits, unit="bit",
                                 layout="bits from bit %d upwards" % (first % 8),
                                 plc_address="" if base is None else "%%%sX%d.%d" % (letter, base + byte, bit)))
        else:
            length = 2 * count
            touched = range(offset, offset + length)
            plc = ""
            if base is not None:
                at = base + offset
                if args.plc_addressing == "word":
                    plc = "%%%sW%d" % (letter, at // 2) if at % 2 == 0 else "%%%sB%d" % (letter, at)
                else:
                    plc = "%%%sW%d" % (letter, at)
            rows.append(dict(common, start=start, count=count, offset=offset, bit="", length=length, unit="byte",
                             layout="16-bit words, high byte first; Byte Swap: " + c["Byte Swap"], plc_address=plc))
        for byte in touched:
            users.setdefault((area, byte), []).append(number)
    for row in rows:
        row["offset_hex"] = "0x%02X" % row["offset"]
    needed = {area: max([b + 1 for (a, b) in users if a == area], default=0) for area in ("input", "output")}
    shared = sorted(((a, b), u) for (a, b), u in users.items() if len(u) > 1)
    shared.sort(key=lambda s: (s[0][0] != "input", s[0][1]))
    return [{k: str(v) for k, v in row.items()} for row in rows], needed, shared


def main():
    parser = argparse.ArgumentParser()
    for name in ("show", "csv", "json"):
        parser.add_argument(name)
    parser.add_argument("--bits", action="store_true")
    parser.add_argument("--input-base", type=int)
    parser.add_argument("--output-base", type=int)
    parser.add_argument("--plc-addressing", default="byte")
    args = parser.parse_args()
    with open(args.show, encoding="utf-8") as f:
        rows, needed, shared = expected(f.read(), args)
    faults = []
    with open(args.csv, newline="", encoding="utf-8") as f:
        records = list(csv.reader(f))
    if not records or records[0] != HEADER:
        faults.append("header: %r" % (records[:1],))
    got = [dict(zip(HEADER, r)) for r in records[1:]]
    if any(len(r) != len(HEADER) for r in records):
        faults.append("a record has another number of fields than the header")
    for i in range(max(len(rows), len(got))):
        want, have = rows[i] if i < len(rows) else None, got[i] if i < len(got) else None
        if want != have:
            faults.append("row %d: expected %s\n        got      %s" % (i + 1, want, have))
    with open(args.json, encoding="utf-8") as f:
        document = json.load(f)
    listed = [{k: "" if v is None else str(v) for k, v in r.items()} for r in document["rows"]]
    if listed != got or [list(r) for r in document["rows"]][:1] not in ([HEADER], []):
        faults.append("JSON rows differ from the CSV rows")
    for area in ("input", "output"):
        if document[area + "_bytes"] != needed[area]:
            faults.append("%s bytes: expected %d, got %d" % (area, needed[area], document[area + "_bytes"]))
    listed_shared = [((s["area"], s["offset"]), s["commands"]) for s in document["shared_bytes"]]
    if listed_shared != shared:
        faults.append("shared bytes: expected %s, got %s" % (shared, listed_shared))
    print("\n".join(faults) if faults else "ok")
    sys.exit(1 if faults else 0)


main()
