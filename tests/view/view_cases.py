#!/usr/bin/env python3
"""End-to-end checks of mosaiq-view: the shipped example converted by mosaiq and viewed frame by
frame, scripts it cannot fully show, options and statuses. With --browser, the HTML page of the
example rendered by headless chromium must show the same cells and colours as --frame.

usage: view_cases.py --mosaiq PATH --view PATH [--browser]
"""

import argparse
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
USAGE = ("usage: mosaiq-view [--bpm N] FILE.wrd | --frame K|end [--plain] FILE.wrd | "
         "--html OUT.html FILE.wrd\n")
failures = []


def check(name, actual, expected):
    if actual != expected:
        failures.append(f"{name}:\n  expected {expected!r}\n  actual   {actual!r}")


def run(args, cwd):
    result = subprocess.run(args, cwd=cwd, capture_output=True, stdin=subprocess.DEVNULL,
                            timeout=60)
    return result.returncode, result.stdout, result.stderr.decode("utf-8", "replace")


def convert_example(options, work):
    shutil.copy(os.path.join(ROOT, "examples", "demo.wve"), work)
    status, _, _ = run([options.mosaiq, "demo"], work)
    check("mosaiq converts the example", status, 0)


def frames_of_example(options, work):
    for k, plain in (("1", True), ("20", False), ("end", False)):
        args = [options.view, "--frame", k] + (["--plain"] if plain else []) + ["demo.wrd"]
        status, out, err = run(args, work)
        name = f"demo_frame_{k}{'_plain' if plain else ''}.txt"
        with open(os.path.join(HERE, "expected", name), "rb") as f:
            check(f"--frame {k}", (status, out, err), (0, f.read(), ""))


def scripts_it_cannot_fully_show(options, work):
    with open(os.path.join(work, "odd.wrd"), "wb") as f:
        f.write(b"@startup(400)\r\n\r\n\x1b[1;1HA\x1b[5mB\x1b[2;1H\x81;\r\n\x1b[1;79HCDE;\r\n\r\n")
    status, out, err = run([options.view, "--frame", "1", "--plain", "odd.wrd"], work)
    lines = out.decode().split("\n")
    check("odd script status", status, 0)
    check("odd script row 1", lines[0], "AB" + " " * 76 + "CD")
    check("odd script count", err, "mosaiq-view: passed over 3 items the screen cannot show "
          "(unknown escapes, text off the screen, broken characters)\n")

    with open(os.path.join(work, "slow.wrd"), "wb") as f:
        f.write(b"\n@wmode(-3);\n\x1b[1;1HA;\n\n")
    status, out, err = run([options.view, "--bpm", "600000", "slow.wrd"], work)
    check("negative mode played", (status, err), (0, "mosaiq-view: @wmode(-3) is played as @wmode(0)\n"))
    check("playback restores the terminal", out.endswith(b"\x1b[25;1H\x1b[0m\x1b[?25h\n"), True)


def options_and_statuses(options, work):
    status, out, err = run([options.view, "--help"], work)
    check("help", (status, out.startswith(b"mosaiq-view: shows a WRD script"), err), (0, True, ""))
    check("unknown option", run([options.view, "--fast", "demo.wrd"], work),
          (1, b"", "mosaiq-view: unknown option '--fast'\n" + USAGE))
    check("no script", run([options.view], work), (1, b"", "mosaiq-view: no script given\n" + USAGE))
    check("bad tempo", run([options.view, "--bpm", "0", "demo.wrd"], work),
          (1, b"", "mosaiq-view: --bpm wants a tempo of 1 or more beats a minute, not '0'\n" + USAGE))
    check("frame past the end", run([options.view, "--frame", "44", "demo.wrd"], work),
          (1, b"", "mosaiq-view: frame 44 is past the end; demo.wrd has frames 0 to 43\n"))
    check("missing script", run([options.view, "--frame", "0", "nope.wrd"], work),
          (2, b"", "mosaiq-view: cannot read nope.wrd: No such file or directory\n"))
    check("directory as script", run([options.view, "--frame", "0", "."], work),
          (2, b"", "mosaiq-view: cannot read .: Is a directory\n"))
    check("unwritable page", run([options.view, "--html", "no/such/dir.html", "demo.wrd"], work),
          (2, b"", "mosaiq-view: cannot write no/such/dir.html: No such file or directory\n"))


def columns_of_frame_text(text):
    """{(row, column): (character, colour)} of the visible characters of --frame output."""
    cells = {}
    for row, line in enumerate(text.split("\n")[:25]):
        column, colour = 0, None
        for token in re.findall(r"\x1b\[(\d+)m|(.)", line):
            if token[0]:
                colour = int(token[0]) - 30 if token[0] != "0" else None
                continue
            ch = token[1]
            if ch != " ":
                cells[(row, column)] = (ch, colour)
            column += 2 if unicodedata.east_asian_width(ch) in "WF" else 1
    return cells


class ScreenParser(html.parser.HTMLParser):
    """{(row, column): (character, colour)} of the spans in the page's screen."""

    def __init__(self):
        super().__init__()
        self.cells, self.row, self.column, self.span = {}, -1, 0, None

    def handle_starttag(self, tag, attrs):
        classes = (dict(attrs).get("class") or "").split()
        if tag == "div" and "row" in classes:
            self.row, self.column = self.row + 1, 0
        elif tag == "span" and self.row >= 0 and self.row < 25 and self.column < 80:
            colour = next((int(c[1:]) for c in classes if re.fullmatch(r"c\d", c)), None)
            self.span = [self.row, self.column, "", colour]
            self.column += 1

    def handle_data(self, data):
        if self.span is not None:
            self.span[2] += data

    def handle_endtag(self, tag):
        if tag == "span" and self.span is not None:
            row, column, text, colour = self.span
            if text.strip():
                self.cells[(row, column)] = (text, colour)
            self.span = None


def page_in_a_browser(options, work):
    chromium = shutil.which("chromium")
    if not chromium:
        if os.environ.get("CI"):
            failures.append("chromium is not installed")
        else:
            print("chromium not found: the page was not checked in a browser")
        return
    status, _, _ = run([options.view, "--html", "demo.html", "demo.wrd"], work)
    check("page written", status, 0)
    with open(os.path.join(work, "demo.html"), encoding="utf-8") as f:
        check("page fetches nothing", re.search(r"https?:|src=", f.read()), None)
    for k in ("1", "20", "43"):
        profile = tempfile.mkdtemp(dir=work)
        dom = subprocess.run(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             f"--user-data-dir={profile}", "--dump-dom",
             f"file://{os.path.join(work, 'demo.html')}#frame={k}"],
            capture_output=True, timeout=120, stdin=subprocess.DEVNULL).stdout.decode("utf-8")
        parser = ScreenParser()
        parser.feed(dom)
        _, out, _ = run([options.view, "--frame", k, "demo.wrd"], work)
        expected = columns_of_frame_text(out.decode("utf-8"))
        check(f"page at frame {k} holds cells", len(expected) > 20, True)
        check(f"page at frame {k}", parser.cells, expected)
        check(f"page shows frame number {k}", f'<span id="frame">{k}</span>' in dom, True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mosaiq", required=True)
    parser.add_argument("--view", required=True)
    parser.add_argument("--browser", action="store_true")
    options = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        convert_example(options, work)
        if options.browser:
            page_in_a_browser(options, work)
        else:
            frames_of_example(options, work)
            scripts_it_cannot_fully_show(options, work)
            options_and_statuses(options, work)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
