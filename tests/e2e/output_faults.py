#!/usr/bin/env python3
"""What the author's tools do when their output is no file, cannot be written, or the run is
cut short: a fifo or a device is refused at once (never opened, never blocking), a full
standard output is said, memory that runs out is one line, and an interrupted or killed write
leaves the old file or the whole new one and no temporary file. Names that hold control bytes
are shown escaped.

usage: output_faults.py --view PATH [--import PATH]
"""

import argparse
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

failures = []
skipped = []


def check(name, actual, expected):
    if actual != expected:
        failures.append(f"{name}:\n  expected {expected!r}\n  actual   {actual!r}")


def run(args, cwd, limits=None, stdout=None):
    command = (["prlimit"] + limits + ["--"] if limits else []) + args
    result = subprocess.run(command, cwd=cwd, timeout=30, stdin=subprocess.DEVNULL,
                            stdout=stdout if stdout is not None else subprocess.PIPE,
                            stderr=subprocess.PIPE)
    return result.returncode, result.stderr.decode("utf-8", "replace")


def write(work, name, data):
    with open(os.path.join(work, name), "wb") as f:
        f.write(data)


def script(frames, scale_rows=22):
    """A WRD script of `frames` frames, each lighting another cell of a 39 x 22 grid."""
    out = [b"@startup(400)\n@wmode(23);\n@wait(0);\n\n"]
    for k in range(frames):
        row, column = 4 + k % scale_rows, 2 + 2 * (k % 39)
        out.append(b"\x1b[%d;%dH\x1b[3%dm\x81\xa1;\n\n" % (row, column, 1 + k % 7))
    return b"".join(out)


def busy_script(frames):
    """A WRD script of `frames` frames, each painting the whole 39 x 22 grid in another colour:
    every GIF frame is a whole picture, and writing them takes a while."""
    out = [b"@startup(400)\n@wmode(23);\n@wait(0);\n\n"]
    for k in range(frames):
        colour = b"\x1b[3%dm" % (1 + k % 7)
        for row in range(4, 26):
            out.append(b"\x1b[%d;2H%s%s;\n" % (row, colour, b"\x81\xa1" * 39))
        out.append(b"\n")
    return b"".join(out)


def temporaries(work):
    return sorted(n for n in os.listdir(work) if ".tmp-" in n)


REFUSED = "it is not a regular file (a device, a fifo or a socket)"
NO_SONG = ("mosaiq-view: no song found (looked for s.mid); timing assumes 4/4 at 120 quarter "
           "notes a minute\n")


def outputs_that_are_no_files(options, work):
    write(work, "s.wrd", script(10))
    os.mkfifo(os.path.join(work, "fifo.html"))
    check("a fifo as the page: refused at once, not opened",
          run([options.view, "--html", "fifo.html", "--force", "s.wrd"], work),
          (2, f"mosaiq-view: will not write over fifo.html: {REFUSED}\n"))
    os.mkfifo(os.path.join(work, "s.mid"))
    check("a fifo beside the script is no song: never opened",
          run([options.view, "--list", "s.wrd"], work, stdout=subprocess.DEVNULL), (0, NO_SONG))
    os.remove(os.path.join(work, "s.mid"))
    if options.importer:
        write(work, "one.png", PNG)
        os.mkfifo(os.path.join(work, "fifo.wve"))
        check("a fifo as the importer's output",
              run([options.importer, "-o", "fifo.wve", "--bpm", "120", "--force", "one.png"], work),
              (2, f"mosaiq-import: will not write over fifo.wve: {REFUSED}\n"))
    if os.geteuid() != 0:
        skipped.append("a device as the output (making a device node needs root)")
        return
    os.mknod(os.path.join(work, "null.gif"), 0o666 | 0o020000, os.makedev(1, 3))
    check("a private /dev/null as the GIF: refused even with --force, as root",
          run([options.view, "--gif", "null.gif", "--force", "s.wrd"], work),
          (2, f"mosaiq-view: will not write over null.gif: {REFUSED}\n"))
    check("and it is still the device", os.path.exists(os.path.join(work, "null.gif")) and
          not os.path.isfile(os.path.join(work, "null.gif")), True)
    if options.importer:
        os.mknod(os.path.join(work, "null.wve"), 0o666 | 0o020000, os.makedev(1, 3))
        check("a private /dev/null as the importer's output",
              run([options.importer, "-o", "null.wve", "--bpm", "120", "--force", "one.png"], work),
              (2, f"mosaiq-import: will not write over null.wve: {REFUSED}\n"))


def standard_output_full(options, work):
    with open("/dev/full", "wb") as full:
        for args in (["--list", "s.wrd"], ["--frame", "1", "s.wrd"]):
            status, err = run([options.view] + args, work, stdout=full)
            check(f"{args} to a full standard output", (status, err.splitlines()[-1]),
                  (2, "mosaiq-view: cannot write to standard output: No space left on device"))
        if options.importer:
            check("an import to a full standard output",
                  run([options.importer, "--bpm", "120", "one.png"], work, stdout=full)[0:2],
                  (2, "mosaiq-import: cannot write to standard output: No space left on device\n"))


def memory_runs_out(options, work):
    if options.sanitized:
        skipped.append("memory that runs out (a sanitized build reserves more address space than "
                       "any limit leaves it)")
        return
    write(work, "many.wrd", script(250000))
    status, _ = run([options.view, "--gif", "many.gif", "--bpm", "120", "many.wrd"], work)
    check("a GIF of many frames, with memory enough", status, 0)
    with open(os.path.join(work, "many.gif"), "rb") as f:
        before = f.read()
    status, err = run([options.view, "--gif", "many.gif", "--bpm", "120", "many.wrd"], work,
                      limits=["--as=60000000"])
    check("with too little memory: one line, status 2", (status, err),
          (2, "mosaiq-view: out of memory\n"))
    with open(os.path.join(work, "many.gif"), "rb") as f:
        check("the GIF before is left whole", f.read() == before, True)
    check("and no temporary file", temporaries(work), [])


def interrupted_writes(options, work):
    """SIGTERM, SIGINT, SIGHUP or SIGKILL at moments along a long write: the old GIF or the whole
    new one, and nothing else."""
    write(work, "long.wrd", busy_script(3000))
    status, _ = run([options.view, "--gif", "old.gif", "--scale", "16", "--bpm", "120",
                     "long.wrd"], work)
    with open(os.path.join(work, "old.gif"), "rb") as f:
        old = f.read()
    check("the long GIF written", (status, old[-1:]), (0, b";"))
    os.remove(os.path.join(work, "old.gif"))
    write(work, "old.gif", old)
    for number, (sig, delay) in enumerate([(signal.SIGTERM, 0.05), (signal.SIGINT, 0.3),
                                           (signal.SIGHUP, 0.6), (signal.SIGKILL, 0.2),
                                           (signal.SIGTERM, 1.0), (signal.SIGKILL, 0.8)]):
        child = subprocess.Popen([options.view, "--gif", "old.gif", "--scale", "16", "--bpm",
                                  "130", "long.wrd"], cwd=work, stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(delay)
        child.send_signal(sig)
        child.wait(timeout=30)
        with open(os.path.join(work, "old.gif"), "rb") as f:
            now = f.read()
        check(f"{signal.Signals(sig).name} after {delay} s: the old GIF or the whole new one",
              now == old or (now[:6] == b"GIF89a" and now[-1:] == b";"), True)
        check(f"{signal.Signals(sig).name} after {delay} s: no temporary file", temporaries(work), [])


def names_shown_safely(options, work):
    status, err = run([options.view, "--list", b"a\x1b[31mb\x9b\xc2\x9b.wrd"], work)
    check("a name with an escape, a byte that is no text and a C1 control", (status, err),
          (2, "mosaiq-view: cannot read a\\x1b[31mb\\x9b\\xc2\\x9b.wrd: No such file or "
              "directory\n"))


def png_of_one_blue_pixel():
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"\x00\x44\x66\xff")) + chunk(b"IEND", b""))


PNG = png_of_one_blue_pixel()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--view", required=True)
    parser.add_argument("--import", dest="importer", default="")
    parser.add_argument("--sanitized", action="store_true")
    options = parser.parse_args()
    options.view = os.path.abspath(options.view)
    options.importer = os.path.abspath(options.importer) if options.importer else ""
    os.environ["LC_ALL"] = "C.UTF-8"
    with tempfile.TemporaryDirectory() as work:
        os.environ["XDG_CACHE_HOME"] = os.path.join(work, ".cache")  # never the user's cache
        outputs_that_are_no_files(options, work)
        standard_output_full(options, work)
        memory_runs_out(options, work)
        interrupted_writes(options, work)
        names_shown_safely(options, work)
    for failure in failures:
        print("FAIL", failure)
    for reason in skipped:
        print("SKIPPED:", reason)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
