"""Holds a program's --help against its man page and checks its --version.

Every sub-command and option that --help lists (and, recursively, the help of every sub-command)
must appear in bold (*name*) in the scdoc source of the man page; --version must print the
project version.
Usage: program_docs_test.py PROGRAM MAN_PAGE.scd VERSION
"""
import re
import subprocess
import sys

program, page, version = sys.argv[1:4]
bold = set(re.findall(r"\*([^*\s]+)\*", open(page, encoding="utf-8").read()))


def run(*args):
    return subprocess.run([program, *args], capture_output=True, text=True, timeout=60).stdout


def listed(args):
    """The sub-commands and options that `program args --help` lists, with their context."""
    text = run(*args, "--help")
    found = [(args, o) for o in re.findall(r"(?<![\w-])(--?[A-Za-z][\w-]*)", text)]
    subcommands = re.search(r"^Subcommands:\n((?:  .*\n)+)", text, re.M)
    for name in subcommands.group(1).split("\n") if subcommands else []:
        if name.strip():
            sub = name.split()[0]
            found += [(args, sub)] + listed(args + [sub])
    return found


missing = sorted({f"{' '.join(args) or '(top)'}: {name}" for args, name in listed([]) if name not in bold})
for entry in missing:
    print(f"{page}: not in the man page: {entry}")
shown = run("--version")
if version not in shown:
    print(f"{program} --version printed {shown!r}, not the version {version}")
sys.exit(1 if missing or version not in shown else 0)
