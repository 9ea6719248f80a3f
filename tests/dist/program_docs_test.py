"""Every sub-command and option a program's --help lists (and, recursively, each sub-command's
--help) is in bold (*name*) in the scdoc source of its man page; --version prints the program's
name and the version. Both answer with status 0 (the desktop program too, without a display).
Usage: program_docs_test.py PROGRAM MAN_PAGE.scd VERSION
"""
import os
import re
import subprocess
import sys

program, page, version = sys.argv[1:4]
bold = set(re.findall(r"\*([^*\s]+)\*", open(page, encoding="utf-8").read()))


failures = []


def run(*args):
    done = subprocess.run([program, *args], capture_output=True, text=True, timeout=60)
    if done.returncode != 0:
        failures.append(f"{program} {' '.join(args)} exited with {done.returncode}: {done.stderr[-300:]!r}")
    return done.stdout


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
name = os.path.basename(program)
if not shown.startswith(f"{name} {version}"):
    failures.append(f"{program} --version printed {shown!r}, not \"{name} {version}\"")
for failure in failures:
    print(failure)
sys.exit(1 if missing or failures else 0)
