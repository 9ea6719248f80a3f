"""Every sub-command and option a program's --help lists (and, recursively, each sub-command's
--help) is in bold (*name*) in the scdoc source of its man page; --version prints the version.
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
    text = run(*args, "--help")
    found = [(args, o) for o in re.findall(r"(?<![\w-])(--?[A-Za-z][\w-]*)", text)]
    subcommands = re.search(r"^Subcommands:\n((?:  .*\n)+)", text, re.M)
    for sub in [line.split()[0] for line in subcommands.group(1).splitlines()] if subcommands else []:
        found += [(args, sub)] + listed(args + [sub])
    return found


missing = sorted({f"{' '.join(args) or '(top)'}: {name}" for args, name in listed([]) if name not in bold})
for entry in missing:
    print(f"{page}: not in the man page: {entry}")
shown = run("--version")
if version not in shown:
    print(f"{program} --version printed {shown!r}, not the version {version}")
sys.exit(1 if missing or version not in shown else 0)
