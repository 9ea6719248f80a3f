#!/usr/bin/python3
"""Runs the example sessions of the README and the man pages as a reader would type them.

A session is a code block (indented by four spaces, or fenced) whose lines start with "$ ": each
such line is a command, the lines between are what it printed. The commands run in one scratch
folder per document, in order, with this build's programs first on PATH (a path before a program's
name, such as build/src/cli/gatewaycfg, is this build's program). A command that ends in "&" runs
in the background until the session ends or "kill %N" stops it; its first line of output (the
simulator's terminal) must come. Every other command must exit 0, or the status its comment
names ("# exit status 2: ..."), and the last one must exit 0: every session ends in success.
Usage: examples_test.py PROGRAM_DIR[:PROGRAM_DIR...] DOCUMENT...
"""
import os
import re
import signal
import subprocess
import sys
import tempfile

THIS_BUILD = re.compile(r"(?<![\w/.-])[\w./-]*/(gatewaycfg|gateway-sim|modbus-slave-sim)\b")


def sessions(text):
    """The commands of every session, continuation lines joined; prose or a fence ends a session."""
    found, current, fenced = [], [], False
    for line in text.splitlines():
        fenced ^= line.startswith("```")
        code, command = fenced or line.startswith("    "), line.strip()
        if code and current and current[-1].endswith("\\"):
            current[-1] = current[-1][:-1].rstrip() + " " + command
        elif code and command.startswith("$ "):
            current.append(command[2:])
        elif (line.startswith("```") or (command and not code)) and current:
            found.append(current)
            current = []
    return found + ([current] if current else [])


def run_session(commands, folder, env):
    """None, or what went wrong."""
    jobs = []
    try:
        for command in (THIS_BUILD.sub(r"\1", c) for c in commands):
            kill = re.fullmatch(r"kill((?: %\d+)+)", command)
            if kill:
                for number in kill.group(1).split():
                    os.killpg(jobs[int(number[1:]) - 1].pid, signal.SIGTERM)
                    jobs[int(number[1:]) - 1].wait(timeout=10)
            elif command.endswith("&"):
                jobs.append(subprocess.Popen(["bash", "-c", command[:-1]], cwd=folder, env=env, text=True,
                                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True))
                if not jobs[-1].stdout.readline():
                    return f"`{command}` printed nothing and ended with {jobs[-1].wait()}"
            else:
                expected = re.search(r"#\s*exit status (\d+)", command)
                run = subprocess.run(["bash", "-c", command], cwd=folder, env=env, capture_output=True, text=True,
                                     timeout=120)
                if run.returncode != (int(expected.group(1)) if expected else 0):
                    return f"`{command}` exited {run.returncode}\n{run.stdout}{run.stderr}"
        if re.search(r"#\s*exit status [1-9]", commands[-1]):
            return "it ends in a failure"
        return None
    finally:
        for job in jobs:
            if job.poll() is None:
                os.killpg(job.pid, signal.SIGTERM)
                job.wait(timeout=10)


def main():
    env = dict(os.environ, PATH=sys.argv[1] + os.pathsep + os.environ.get("PATH", ""), LC_ALL="C.UTF-8")
    failures, count = [], 0
    for document in sys.argv[2:]:
        with open(document, encoding="utf-8") as f:
            found = sessions(f.read())
        if not found:
            failures.append(f"{document}: no example session")
        with tempfile.TemporaryDirectory(prefix="examples-") as folder:
            for number, commands in enumerate(found, 1):
                count += 1
                failure = run_session(commands, folder, env)
                if failure:
                    failures.append(f"{os.path.basename(document)}, session {number}: {failure}")
    print("\n".join(failures + [f"{count} sessions, {len(failures)} failed"]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
