#!/usr/bin/env python3
"""Runs end-to-end cases against the built program and compares every byte.

usage: run_cases.py --program PATH [--sanitized] [--wine --launcher PATH] [--only SLUG] CASES.py ...
       run_cases.py --list [--sanitized] [--wine] CASES.py ...

With --wine the program is a Windows .exe run under Wine: cases tagged "posix" are left out, the
console's line ends are CR LF, and a case that gives an exact command line is started through the
launcher (a Windows program too). Peak memory is not bounded under Wine: it would measure Wine.
Each CASES.py defines CASES, a list of e2e.Case. Prints one line per failing case with what
differed, and exits 1 when any case failed. --list prints "slug|time limit|labels" per case (the
limit the run gives the program, in seconds), for registering each case as a test of its own.
"""

import argparse
import hashlib
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e  # noqa: E402

PLATFORM = "posix"
BITS = 64  # the program's, where it matters (a 32-bit address space)
PREFIX = []  # what runs the program: nothing, or Wine
# The locale of the program's run. Under Wine it chooses the ANSI code page: Japanese is 932.
LOCALE = "C"
LAUNCHER = None  # under Wine: starts the program with an exact command line


def windows_path(path):
    """A Linux path as Wine's drive Z: shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def japanese_locale_present():
    listed = subprocess.run(["locale", "-a"], stdout=subprocess.PIPE, text=True).stdout.split()
    return any(name.lower().replace("-", "") == "ja_jp.utf8" for name in listed)


def skipped(case):
    if "32-bit" in case.tags and BITS != 32:
        return True
    return PLATFORM not in case.tags and bool({"posix", "windows"} & case.tags)


def program_bits(program):
    """32 for a 32-bit Windows .exe, else 64: its PE header says which machine it is for."""
    try:
        with open(program, "rb") as f:
            head = f.read(4096)
        at = int.from_bytes(head[0x3C:0x40], "little")
        return 32 if head[at:at + 4] == b"PE\0\0" and head[at + 4:at + 6] == b"\x4c\x01" else 64
    except (OSError, ValueError):
        return 64


def console_text(data):
    """The console bytes as the platform's text mode writes them."""
    return data.replace(b"\n", b"\r\n") if PLATFORM == "windows" and data is not None else data


def load_cases(path):
    spec = importlib.util.spec_from_file_location(os.path.splitext(os.path.basename(path))[0], path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module.CASES


BIG = 16 << 20  # files above this size are compared by hash, not kept in memory


def digest(data_or_path):
    sha = hashlib.sha256()
    if isinstance(data_or_path, bytes):
        sha.update(data_or_path)
        return ("sha256", len(data_or_path), sha.hexdigest())
    size = 0
    with open(data_or_path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            sha.update(block)
            size += len(block)
    return ("sha256", size, sha.hexdigest())


def snapshot(root):
    """Every file and link under root: relative name -> bytes (a digest when big), or
    ("link", target)."""
    found = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root)
            if os.path.islink(path):
                found[relative] = ("link", os.readlink(path))
            elif os.path.isfile(path):
                if os.path.getsize(path) > BIG:
                    found[relative] = digest(path)
                else:
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


class Run:
    def __init__(self, status, stdout, stderr, max_rss_kb, timed_out):
        self.returncode = status
        self.stdout = stdout
        self.stderr = stderr
        self.max_rss_kb = max_rss_kb
        self.timed_out = timed_out


def run_measured(command, cwd, stdin_bytes, stdout_target, merged, timeout, measure, env=None):
    """Runs the command and returns its status, output and, when asked to measure, its peak
    resident memory. The peak is taken by GNU time: a child forked from this (large) process
    would count the memory this process had before the program started."""
    rss_file = None
    if measure:
        rss_file = tempfile.NamedTemporaryFile(prefix="mosaiq-rss-", delete=False)
        rss_file.close()
        command = ["/usr/bin/time", "-q", "-f", "%M", "-o", rss_file.name] + command
    child = subprocess.Popen(
        command, cwd=cwd, env={**os.environ, "LC_ALL": LOCALE, **(env or {})},
        stdin=subprocess.DEVNULL if stdin_bytes is None else subprocess.PIPE,
        stdout=stdout_target, stderr=subprocess.STDOUT if merged else subprocess.PIPE)
    collected = {}

    def drain(name, stream):
        collected[name] = stream.read()

    threads = []
    for name, stream in (("out", child.stdout), ("err", child.stderr)):
        if stream is not None:
            threads.append(threading.Thread(target=drain, args=(name, stream)))
    if stdin_bytes is not None:
        def feed():
            try:
                child.stdin.write(stdin_bytes)
                child.stdin.close()
            except BrokenPipeError:
                pass
        threads.append(threading.Thread(target=feed))
    for thread in threads:
        thread.start()
    timed_out = []
    timer = threading.Timer(timeout, lambda: (timed_out.append(True), child.kill()))
    timer.start()
    status = child.wait()
    timer.cancel()
    for thread in threads:
        thread.join()
    max_rss_kb = 0
    if rss_file:
        with open(rss_file.name) as f:
            text = f.read().split()
        os.unlink(rss_file.name)
        max_rss_kb = int(text[-1]) if text and text[-1].isdigit() else 0
    return Run(status, collected.get("out", b""), collected.get("err", b""), max_rss_kb,
               bool(timed_out))


# A sanitizer build runs this many times slower; its cases get this much more time. CTest's
# limits come from --list, so this is the one place the factor is set.
SANITIZER_TIME_FACTOR = 4


def time_limit(case, sanitized):
    return case.timeout * (SANITIZER_TIME_FACTOR if sanitized else 1)


def run_case(case, program, sanitized):
    if skipped(case):
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
        command = PREFIX + [program] + [a.replace("{dir}", root) for a in case.args]
        if case.command_line is not None:
            line_file = root + ".cmdline"
            with open(line_file, "wb") as f:
                f.write(case.command_line)
            command = PREFIX + [LAUNCHER, windows_path(program), line_file]
        if case.limits:
            command = ["prlimit"] + case.limits + ["--"] + command
        stdout_target = subprocess.PIPE
        if case.stdout_file:
            stdout_target = open(case.stdout_file, "wb")
        try:
            result = run_measured(command, root, case.stdin, stdout_target, "merged" in case.tags,
                                  time_limit(case, sanitized),
                                  case.max_rss_mb is not None and not PREFIX, case.env)
        finally:
            if case.stdout_file:
                stdout_target.close()
        if result.timed_out:
            return [f"did not end within {time_limit(case, sanitized)} s"]
        problems = []
        if case.max_rss_mb is not None and not PREFIX:
            bound_kb = (case.max_rss_mb + (1024 if sanitized else 0)) * 1024
            if result.max_rss_kb > bound_kb:
                problems.append(f"peak memory {result.max_rss_kb // 1024} MiB, bound {bound_kb // 1024} MiB")
        wanted = case.status if isinstance(case.status, (set, frozenset)) else {case.status}
        if case.status is not None and result.returncode not in wanted:
            problems.append(f"status {result.returncode}, expected {case.status}")
        want_out, want_err = console_text(case.stdout), console_text(case.stderr)
        if want_out is not None and not case.stdout_file and result.stdout != want_out:
            problems.append(f"stdout {show(result.stdout)}, expected {show(want_out)}"
                            + first_difference(result.stdout, want_out))
        if want_err is not None and "merged" not in case.tags and result.stderr != want_err:
            problems.append(f"stderr {show(result.stderr)}, expected {show(want_err)}")
        after = snapshot(root)
        for name in sorted(set(before) | set(after) | set(case.expect)):
            want = case.expect.get(name, before.get(name, e2e.ABSENT))
            got = after.get(name, e2e.ABSENT)
            if isinstance(got, tuple) and got[0] == "sha256" and isinstance(want, bytes):
                want = digest(want)
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
        if os.path.exists(root + ".cmdline"):
            os.unlink(root + ".cmdline")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--sanitized", action="store_true")
    parser.add_argument("--only")
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--launcher")
    parser.add_argument("cases", nargs="+")
    options = parser.parse_args()
    global PLATFORM, PREFIX, LAUNCHER, LOCALE
    if options.wine:
        PLATFORM, PREFIX, LOCALE = "windows", ["wine"], "ja_JP.UTF-8"
        LAUNCHER = options.launcher and os.path.abspath(options.launcher)
        if not options.list and not japanese_locale_present():
            print("the locale ja_JP.UTF-8 is missing (localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)")
            return 1
    if options.list:
        for path in options.cases:
            for case in load_cases(path):
                if not skipped(case):
                    limit = time_limit(case, options.sanitized)
                    print(f"{case.slug}|{limit}|{','.join(case.labels)}")
        return 0
    program = os.path.abspath(options.program)
    global BITS
    BITS = program_bits(program)
    os.environ["E2E_PROGRAM"] = program  # for checks that need a reference run
    failed = ran = left_out = 0
    for path in options.cases:
        for case in load_cases(path):
            if options.only and options.only != case.slug:
                continue
            problems = run_case(case, program, options.sanitized)
            if problems is None:
                left_out += 1
                continue
            ran += 1
            if problems:
                failed += 1
                print(f"FAIL {case.name}")
                for problem in problems:
                    print(f"  - {problem}")
    print(f"{ran - failed} of {ran} cases passed")
    if ran == 0 and left_out > 0 and not options.only:
        print(f"none of the {left_out} cases is for this program (its platform, its width)")
        return 0
    return 1 if failed or ran == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
