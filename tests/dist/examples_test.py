#!/usr/bin/python3
"""Runs the example sessions of the README and the man pages as a reader would type them.

A session is a code block (indented by four spaces, or fenced) whose lines start with "$ ": each
such line is a command, the lines between are what it printed. The commands run in one scratch
folder per document, in order, with this build's programs first on PATH (a path before a program's
name, such as build/src/cli/gatewaycfg, is this build's program). A command that ends in "&" runs
in the background until the session ends or "kill %N" stops it; its first line of output (the
simulator's terminal) must come. Every other command must exit 0, or the status its comment
names ("# exit status 2: ..."), and the last one must exit 0: every session ends in success. Usage: examples_test.py PROGRAM_DIR[:PROGRAM_DIR...] DOCUMENT...
"""
import os
import re
import signal
import subprocess
import sys
import tempfile

PROGRAMS = ("gatewaycfg", "gateway-sim", "modbus-slave-sim", "gateway-workbench")


def code_blocks(text):
    """The code blocks of a Markdown or scdoc text, each as its list of lines."""
    blocks, block, fenced = [], None, False
    previous_blank = True
    for line in text.splitlines():
        if line.startswith("```"):
            if fenced:
                blocks.append(block)
                block = None
            else:
                block = []
            fenced = not fenced
        elif fenced:
            block.append(line)
        elif line.startswith("    ") and (block is not None or previous_blank):
            if block is None:
                block = []
            block.append(line[4:])
        elif block is not None and line.strip() == "":
            block.append("")
        elif block is not None:
            blocks.append(block)
            block = None
        previous_blank = line.strip() == ""
    if block is not None:
        blocks.append(block)
    return blocks


def sessions(text):
    """The commands of every session, continuation lines joined."""
    found = []
    for block in code_blocks(text):
        lines = [line.strip() for line in block]
        if not lines or not lines[0].startswith("$ "):
            continue
        commands, joined = [], None
        for line in lines:
            if joined is not None:
                joined = joined + " " + line.rstrip("\\").strip()
                if not line.endswith("\\"):
                    commands.append(joined)
                    joined = None
            elif line.startswith("$ "):
                command = line[2:].strip()
                if command.endswith("\\"):
                    joined = command.rstrip("\\").strip()
                else:
                    commands.append(command)
        found.append(commands)
    return found


def this_build(command):
    pattern = r"(?<![\w/.-])[\w./-]*/(" + "|".join(re.escape(p) for p in PROGRAMS) + r")\b"
    return re.sub(pattern, r"\1", command)


def run_session(commands, folder, env, where):
    jobs = []
    try:
        for command in commands:
            command = this_build(command)
            kill = re.fullmatch(r"kill((?: %\d+)+)", command)
            if kill:
                for number in kill.group(1).split():
                    job = jobs[int(number[1:]) - 1]
                    os.killpg(job.pid, signal.SIGTERM)
                    job.wait(timeout=10)
                continue
            if command.endswith("&"):
                job = subprocess.Popen(["bash", "-c", command[:-1]], cwd=folder, env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, text=True, start_new_session=True)
                jobs.append(job)
                first = job.stdout.readline()
                if not first:
                    return f"{where}: `{command}` printed nothing and ended with {job.wait()}"
                continue
            expected = re.search(r"#\s*exit status (\d+)", command)
            expected = int(expected.group(1)) if expected else 0
            run = subprocess.run(["bash", "-c", command], cwd=folder, env=env, capture_output=True, text=True,
                                 timeout=120)
            if run.returncode != expected:
                return (f"{where}: `{command}` exited {run.returncode}\n--- stdout\n{run.stdout}"
                        f"--- stderr\n{run.stderr}")
        if commands and re.search(r"#\s*exit status [1-9]", commands[-1]):
            return f"{where}: the session ends in a failure"
        return None
    finally:
        for job in jobs:
            if job.poll() is None:
                os.killpg(job.pid, signal.SIGTERM)
                job.wait(timeout=10)


def main():
    program_dirs, documents = sys.argv[1], sys.argv[2:]
    env = dict(os.environ, PATH=program_dirs + os.pathsep + os.environ.get("PATH", ""), LANG="C.UTF-8",
               LC_ALL="C.UTF-8", QT_QPA_PLATFORM="offscreen")
    failures, count = [], 0
    for document in documents:
        with open(document, encoding="utf-8") as f:
            found = sessions(f.read())
        if not found:
            failures.append(f"{document}: no example session found")
        with tempfile.TemporaryDirectory(prefix="examples-") as folder:
            for number, commands in enumerate(found, 1):
                count += 1
                failure = run_session(commands, folder, env, f"{os.path.basename(document)} session {number}")
                if failure:
                    failures.append(failure)
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"{count} sessions, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
