#!/usr/bin/env python3
"""End-to-end checks of mosaiq-import with the other programs: the author's loop (a GIF of the
example, imported with its song, checked, and drawn again as the same GIF, panel or not), and
what is refused leaves no file behind.

usage: import_cases.py --mosaiq PATH --view PATH --check PATH --import PATH
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "view"))
from view_cases import song  # noqa: E402  songs byte by byte, shared with the viewer's checks

failures = []


def check(name, actual, expected):
    if actual != expected:
        failures.append(f"{name}:\n  expected {expected!r}\n  actual   {actual!r}")


def run(args, cwd):
    result = subprocess.run(args, cwd=cwd, capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
    return result.returncode, result.stdout, result.stderr.decode("utf-8", "replace")


def read(work, name):
    with open(os.path.join(work, name), "rb") as f:
        return f.read()


def authors_loop(options, work):
    shutil.copy(os.path.join(ROOT, "examples", "demo.wve"), work)
    with open(os.path.join(work, "demo.mid"), "wb") as f:
        f.write(song(3, 2, [(0, 140), (4800, 100)]))
    check("the example as a GIF", run([options.view, "--gif", "plain.gif", "demo.wve"], work)[0], 0)
    check("and with its panel", run([options.view, "--gif", "panel.gif", "--panel", "demo.wve"], work)[0], 0)
    for name in ("plain.gif", "panel.gif"):
        status, _, err = run([options.importer, "-o", "back.wve", "--midi", "demo.mid", name], work)
        check(f"{name} imported again", (status, err),
              (0, "mosaiq-import: 24 x 5 cells (cells of 8 x 8 pixels, as mosaiq-view drew them), "
                  "43 pictures in 43 frame records, from 2:2 to 14:1 of demo.mid\n"))
        check(f"the checker finds nothing in it ({name})",
              run([options.check, "--midi", "demo.mid", "back.wve"], work), (0, b"", ""))
        run([options.view, "--gif", "again.gif", "--force", "--midi", "demo.mid", "back.wve"], work)
        check(f"its cells make the same GIF, byte for byte ({name})",
              read(work, "again.gif") == read(work, "plain.gif"), True)
    for time in ("first", "again"):
        check(f"another import replaces the file it wrote, and its contact sheet ({time})",
              run([options.importer, "-o", "back.wve", "--midi", "demo.mid", "--preview", "sheet.png",
                   "plain.gif"], work)[0], 0)
    sheet = read(work, "sheet.png")
    check("the contact sheet is a PNG that says who wrote it",
          (sheet[:8], b"tEXtSoftware\0mosaiq-import preview" in sheet[:100]),
          (b"\x89PNG\r\n\x1a\n", True))


def refusals_leave_nothing(options, work):
    for name in ("notes.txt", "mine.png"):
        with open(os.path.join(work, name), "w") as f:
            f.write("notes")
    before = sorted(os.listdir(work))
    for args, err in (
            (["-o", "new.wve", "--midi", "demo.mid", "notes.txt"],
             "mosaiq-import: cannot use notes.txt: it is not a GIF or PNG file\n"),
            (["-o", "demo.wve", "--midi", "demo.mid", "plain.gif"],
             "mosaiq-import: will not write over demo.wve: it is a WVE file\n"),
            (["-o", "new.wve", "--midi", "demo.mid", "--preview", "mine.png", "plain.gif"],
             "mosaiq-import: will not write over mine.png, a file that exists and that this "
             "program did not write (--force writes over it)\n"),
            (["-o", "new.wve", "--start", "5:1", "--until", "4:3", "plain.gif"],
             "mosaiq-import: --until 4:3 comes at or before --start 5:1: nothing would be shown\n"
             "usage: mosaiq-import [-o OUT.wve] [--midi SONG.mid | --bpm N] [OPTION]... PICTURE...\n"
             "       mosaiq-import --colors\n"),
            (["-o", "new.wve", "--midi", "demo.mid", "--grid", "40x2", "plain.gif"],
             "mosaiq-import: --grid wants W x H cells, from 1x1 to 39x22, not '40x2'\n"
             "usage: mosaiq-import [-o OUT.wve] [--midi SONG.mid | --bpm N] [OPTION]... PICTURE...\n"
             "       mosaiq-import --colors\n")):
        status, _, message = run([options.importer] + args, work)
        check(f"refused: {args}", (status, message), (2, err))
    check("and nothing was left behind", sorted(os.listdir(work)), before)
    with open(os.path.join(work, "notes.gif"), "w") as f:
        f.write("notes")
    status, _, err = run([options.view, "--gif", "notes.gif", "demo.wve"], work)
    check("a GIF never over a file it did not write", (status, err),
          (2, "mosaiq-view: will not write over notes.gif, a file that exists and that this program "
              "did not write (--force writes over it)\n"))


def main():
    parser = argparse.ArgumentParser()
    for name in ("--mosaiq", "--view", "--check", "--import"):
        parser.add_argument(name, required=True)
    options = parser.parse_args()
    options.importer = os.path.abspath(getattr(options, "import"))
    options.view, options.check = os.path.abspath(options.view), os.path.abspath(options.check)
    with tempfile.TemporaryDirectory() as work:
        os.environ["XDG_CACHE_HOME"] = os.path.join(work, "cache")  # never the user's cache
        authors_loop(options, work)
        refusals_leave_nothing(options, work)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
