"""The desktop's translation is whole: lupdate, run over the sources into a copy of the .ts file,
finds no text without a finished translation, and every translation keeps its source's
placeholders (%1, %n ...), mnemonic and shown key.
Usage: translations_test.py LUPDATE FILE.ts SOURCE_DIR...
"""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

lupdate, ts, *sources = sys.argv[1:]
with tempfile.TemporaryDirectory() as scratch:
    copy = f"{scratch}/copy.ts"
    shutil.copy(ts, copy)
    subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete", *sources, "-ts", copy],
                   check=True, capture_output=True)
    root = ET.parse(copy).getroot()

faults = []
for context in root.iter("context"):
    name = context.findtext("name")
    for message in context.iter("message"):
        source = message.findtext("source")
        translation = message.find("translation")
        texts = [form.text or "" for form in translation.iter("numerusform")] or [translation.text or ""]
        where = f"{name}: {source!r}"
        if translation.get("type") in ("unfinished", "vanished", "obsolete") or not all(texts):
            faults.append(f"{where}: no finished translation")
            continue
        for text in texts:
            for pattern, what in ((r"%(?:\d|n|v|m)", "placeholders"), (r"&(\w)", "mnemonic"), (r"\t.*$", "shown key")):
                found = [sorted(m.upper() for m in re.findall(pattern, t)) for t in (source, text)]
                if found[0] != found[1]:
                    faults.append(f"{where}: the translation {text!r} changes the {what}")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
