#!/usr/bin/env python3
"""Runs end-to-end cases against the built program and compares every byte.

usage: run_cases.py --program PATH [--sanitized] [--only NAME] CASES.py ...
Each CASES.py defines CASES, a list of e2e.Case. Prints one line per failing case with what
differed, and exits 1 when any case failed.
"""

import argparse
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e  # noqa: E402

PLATFORM = "posix"


def load_cases(path):
    spec = importlib.util.spec_from_file_location(os.path.splitext(os.path.basename(path))[0], path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module.CASES


def snapshot(root):
    """Every file and link under root: relative name -> bytes, or ("link", target)."""
    found = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root)
            if os.path.islink(path):
                found[relative] = ("link", os.readlink(path))
            elif os.path.isfile(path):
                with open(path, "rb") as f:
                    found[relative] = f.read()
    return found


def show(data, limit=600):
    if isinstance(data, bytes) and len(data) > limit:
        return repr(data[:limit]) + f"... ({len(data)} bytes)"
    return repr(data)


def first_difference(actual, expected):
    if not isinstance(actual, bytes) or not isinstance(expected, bytes):
        return ""
    at = next((i for i, (a, b) in enumerate(zip(actual, expected)) if a != b),
              min(len(actual), len(expected)))
    line = actual[:at].count(b"\n") + 1
    return (f" first difference at byte {at} (line {line}):\n      got      "
            f"{show(actual[max(0, at - 40):at + 60])}\n      expected {show(expected[max(0, at - 40):at + 60])}")


def run_case(case, program, sanitized):
    if PLATFORM not in case.tags and ({"posix", "windows"} & case.tags):
        return None
    if sanitized and "plain" in case.tags:
        return None
    root = tempfile.mkdtemp(prefix="mosaiq-e2e-")
    try:
        for name, data in case.files.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        if case.setup:
            case.setup(root)
        before = snapshot(root)
        command = [program] + [a.replace("{dir}", root) for a in case.args]
        if case.limits:
            command = ["prlimit"] + case.limits + ["--"] + command
        stdout_target = subprocess.PIPE
        if case.stdout_file:
            stdout_target = open(case.stdout_file, "wb")
        try:
            result = subprocess.run(
                command, cwd=root, timeout=case.timeout,
                input=case.stdin if case.stdin is not None else None,
                stdin=subprocess.DEVNULL if case.stdin is None else None,
                stdout=stdout_target,
                stderr=subprocess.STDOUT if "merged" in case.tags else subprocess.PIPE,
                env=dict(os.environ, LC_ALL="C"))
        except subprocess.TimeoutExpired:
            return [f"did not end within {case.timeout} s"]
        finally:
            if case.stdout_file:
                stdout_target.close()
        problems = []
        if case.status is not None and result.returncode != case.status:
            problems.append(f"status {result.returncode}, expected {case.status}")
        if case.stdout is not None and not case.stdout_file and result.stdout != case.stdout:
            problems.append(f"stdout {show(result.stdout)}, expected {show(case.stdout)}"
                            + first_difference(result.stdout, case.stdout))
        if case.stderr is not None and "merged" not in case.tags and result.stderr != case.stderr:
            problems.append(f"stderr {show(result.stderr)}, expected {show(case.stderr)}")
        after = snapshot(root)
        for name in sorted(set(before) | set(after) | set(case.expect)):
            want = case.expect.get(name, before.get(name, e2e.ABSENT))
            got = after.get(name, e2e.ABSENT)
            if got == want or (want is e2e.ANY and got is not e2e.ABSENT):
                continue
            if want is e2e.ABSENT:
                problems.append(f"file {name} should not exist")
            elif got is e2e.ABSENT:
                problems.append(f"file {name} is missing")
            else:
                problems.append(f"file {name}: {show(got)}, expected {show(want)}"
                                + first_difference(got, want))
        if case.check:
            problems += case.check(root)
        return problems
    finally:
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--sanitized", action="store_true")
    parser.add_argument("--only")
    parser.add_argument("cases", nargs="+")
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    failed = ran = 0
    for path in options.cases:
        for case in load_cases(path):
            if options.only and options.only != case.name:
                continue
            problems = run_case(case, program, options.sanitized)
            if problems is None:
                continue
            ran += 1
            if problems:
                failed += 1
                print(f"FAIL {case.name}")
                for problem in problems:
                    print(f"  - {problem}")
    print(f"{ran - failed} of {ran} cases passed")
    return 1 if failed or ran == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
