#!/usr/bin/env python3
"""End-to-end checks of mosaiq-studio's server, run as the program is: what it lets in (the
token, the Host and Origin it answers to, the size of a request), what it writes (only what an
edit changed, never over another editor's work unless told, never two saves at once), and how
it stops (Ctrl+C: cleanly, the changes not saved kept in the autosave). With --browser it runs
the page's checks in headless Chromium instead.

usage: studio_cases.py --studio PATH --view PATH [--browser]
"""

import argparse
import http.client
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

failures = []


def check(name, actual, expected):
    if actual != expected:
        failures.append(f"{name}:\n  expected {expected!r}\n  actual   {actual!r}")


# An author's file: a comment, Shift_JIS text, a record of three numbers, CR LF line ends.
AUTHORS = (b"; the author's own\r\n*nXY=2,1\r\n*p1,\x83\x43\x83\x93\x83\x67\x83\x8d\r\n"
           b"*f1-2-2-0/1\r\n12\r\n*f1-2-3\r\n34\r\n*f1-2-4-0/1\r\n56\r\n*end\r\n")


class Studio:
    """The program serving a file, and requests to it."""

    def __init__(self, program, work, name="a.wve", extra=()):
        self.process = subprocess.Popen([program, "--no-browser", *extra, name], cwd=work,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        line = self.process.stdout.readline().decode()
        match = re.search(r"http://127\.0\.0\.1:(\d+)(/[0-9a-f]+/)", line)
        if not match:
            raise RuntimeError("no address: " + line + self.process.stderr.read().decode())
        self.port, self.path = int(match.group(1)), match.group(2)
        self.origin = f"http://127.0.0.1:{self.port}"

    def request(self, method, path, body=None, headers=None, host=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=20)
        sent = {"Host": host or f"127.0.0.1:{self.port}"}
        if method == "POST":
            sent["Origin"] = self.origin
            sent["Content-Type"] = "application/x-www-form-urlencoded"
        sent.update(headers or {})
        connection.putrequest(method, path, skip_host=True, skip_accept_encoding=True)
        for key, value in sent.items():
            if value is not None:
                connection.putheader(key, value)
        data = body if isinstance(body, bytes) else (body or "").encode()
        if method == "POST" and "Content-Length" not in sent:
            connection.putheader("Content-Length", str(len(data)))
        connection.endheaders()
        if data:
            try:
                connection.send(data)
            except OSError:
                pass
        response = connection.getresponse()
        content = response.read()
        connection.close()
        return response.status, content

    def post(self, what, fields):
        return self.request("POST", self.path + what, urllib.parse.urlencode(fields))

    def revision(self):
        status, body = self.request("GET", self.path + "state")
        return int(re.search(rb'"revision":(\d+)', body).group(1))

    def stop(self):
        self.process.send_signal(signal.SIGINT)
        out, err = self.process.communicate(timeout=30)
        return self.process.returncode, err.decode()


def guards(options, work):
    with open(os.path.join(work, "a.wve"), "wb") as f:
        f.write(AUTHORS)
    studio = Studio(options.studio, work)
    path, token = studio.path, studio.path.strip("/")
    cases = [
        ("the page, with the token", "GET", path, {}, None, 200, None),
        ("no token", "GET", "/", {}, None, 403, None),
        ("a wrong token", "GET", "/" + "0" * 32 + "/state", {}, None, 403, None),
        ("a foreign Host (a rebound name)", "GET", path + "state", {},
         "evil.example:%d" % studio.port, 421, None),
        ("a foreign Origin", "POST", path + "save", {"Origin": "http://evil.example"}, None, 403,
         None),
        ("a change with no Origin", "POST", path + "save", {"Origin": None}, None, 403, None),
        ("a path outside the file", "GET", path + "../../etc/passwd", {}, None, 404, None),
        ("the file itself is not served", "GET", path + "a.wve", {}, None, 404, None),
        ("a body larger than a command", "POST", path + "command",
         {"Content-Length": str(64 << 20)}, None, 413, None),
        ("a command that is none", "POST", path + "command", {}, None, 422,
         "base=1&command=none"),
        ("a command against no version", "POST", path + "command", {}, None, 409,
         "command=paint&frame=1&cells=00"),
    ]
    for name, method, target, headers, host, status, body in cases:
        got, _ = studio.request(method, target, body, headers=headers, host=host)
        check(f"{name}: {method} {target.replace(token, 'TOKEN')}", got, status)
    check("the server runs on after them", studio.request("GET", path + "state")[0], 200)
    check("and nothing was written", open(os.path.join(work, "a.wve"), "rb").read(), AUTHORS)
    check("stopped by Ctrl+C, nothing to keep", studio.stop(), (0, ""))
    check("nothing left beside the file", sorted(os.listdir(work)), ["a.wve"])


def saving(options, work):
    with open(os.path.join(work, "a.wve"), "wb") as f:
        f.write(AUTHORS)
    studio = Studio(options.studio, work)
    base = studio.revision()
    status, _ = studio.post("command", {"base": base, "command": "paint", "frame": 2, "cells": "70"})
    check("a paint", status, 200)
    # Two tabs on one version: the second is told, and changes nothing.
    status, body = studio.post("command", {"base": base, "command": "paint", "frame": 1, "cells": "00"})
    check("a command against a version no longer in hand", (status, b'"stale":true' in body), (409, True))
    status, _ = studio.post("command", {"base": base + 1, "command": "move", "frame": 3,
                                        "measure": 3, "beat": 1})
    check("a move", status, 200)
    # Saves at once from two tabs: one after the other, each whole.
    results = []
    threads = [threading.Thread(target=lambda: results.append(studio.post("save", {})[0]))
               for _ in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    check("two saves racing: both written, one after the other", sorted(results), [200, 200])
    saved = (b"; the author's own\r\n*nXY=2,1\r\n*p1,\x83\x43\x83\x93\x83\x67\x83\x8d\r\n"
             b"*f1-2-2-0/1\r\n12\r\n*f1-2-3\r\n70\r\n*f1-2-4-0/1\r\n70\r\n*f1-3-1-0/1\r\n56\r\n*end\r\n")
    check("only the rows painted and the stamps moved are written anew",
          open(os.path.join(work, "a.wve"), "rb").read(), saved)
    # Another editor writes the file: the studio's save does not go over it, unless told.
    time.sleep(0.05)
    with open(os.path.join(work, "a.wve"), "wb") as f:
        f.write(AUTHORS + b"; theirs\r\n")
    status, body = studio.request("GET", studio.path + "state")
    check("the page is told the file changed on disk", b'"diskChanged":true' in body, True)
    studio.post("command", {"base": studio.revision(), "command": "paint", "frame": 1, "cells": "11"})
    status, body = studio.post("save", {})
    check("a save over a file changed on disk", (status, body), (409, b'{"changedOnDisk":true}'))
    check("leaves theirs", open(os.path.join(work, "a.wve"), "rb").read(), AUTHORS + b"; theirs\r\n")
    check("saved anyway, when told", studio.post("save", {"anyway": "1"})[0], 200)
    check("mine is written", open(os.path.join(work, "a.wve"), "rb").read(),
          saved.replace(b"0/1\r\n12\r\n", b"0/1\r\n11\r\n"))
    # Stopped with changes not saved: they are kept beside the file, and said.
    studio.post("command", {"base": studio.revision(), "command": "paint", "frame": 1, "cells": "77"})
    status, err = studio.stop()
    check("stopped with changes not saved", (status, err),
          (0, "mosaiq-studio: a.wve has changes not saved: they are kept in a.wve.autosave "
              "(mosaiq-studio --recover a.wve takes them up)\n"))
    kept = open(os.path.join(work, "a.wve.autosave"), "rb").read()
    check("the autosave: its mark, then the file", kept.split(b"\r\n")[:5],
          [b"autosaved by mosaiq-studio", b"; the author's own", b"*nXY=2,1",
           b"*p1,\x83\x43\x83\x93\x83\x67\x83\x8d", b"*f1-2-2-0/1"])
    check("no temporary file left", sorted(os.listdir(work)), ["a.wve", "a.wve.autosave"])
    studio = Studio(options.studio, work, extra=("--recover",))
    status, body = studio.request("GET", studio.path + "state")
    check("--recover takes it up, not yet saved", b'"dirty":true' in body, True)
    studio.post("save", {})
    studio.stop()
    check("saved, the autosave goes", sorted(os.listdir(work)), ["a.wve"])


def usage(options, work):
    cases = [
        (["--port", "70000", "a.wve"], 2,
         "mosaiq-studio: --port wants a port number, 0 to 65535, not '70000'\n"),
        (["--grid", "40x2", "a.wve"], 2,
         "mosaiq-studio: --grid wants W x H cells, from 1x1 to 39x22, not '40x2'\n"),
        (["-"], 2, "mosaiq-studio: the studio edits a file, not standard input\n"),
    ]
    for arguments, status, first in cases:
        result = subprocess.run([options.studio, *arguments], cwd=work, capture_output=True,
                                stdin=subprocess.DEVNULL, timeout=30)
        check(f"mosaiq-studio {' '.join(arguments)}",
              (result.returncode, result.stderr.decode().split("usage:")[0]), (status, first))
    with open(os.path.join(work, "long.wve"), "wb") as f:
        f.write(b"*f1-2-2\n" + b"0" * 300 + b"\n")
    result = subprocess.run([options.studio, "--no-browser", "long.wve"], cwd=work,
                            capture_output=True, stdin=subprocess.DEVNULL, timeout=30)
    check("a file mosaiq reads in pieces", (result.returncode, result.stderr.decode()),
          (2, "mosaiq-studio: cannot edit long.wve: line 2 is longer than 253 bytes, and mosaiq "
              "reads it in pieces (mosaiq-check tells more)\n"))


def browser(options):
    node, chromium = shutil.which("node"), shutil.which("chromium")
    modules = os.path.join(ROOT, "tests", "view", "browser", "node_modules", "puppeteer-core")
    if not (node and chromium and os.path.isdir(modules)):
        print("the studio was not checked in a browser: node, chromium or puppeteer-core (npm ci "
              "in tests/view/browser) is missing")
        return 1 if os.environ.get("CI") else 77
    return subprocess.run([node, os.path.join(ROOT, "tests", "view", "browser", "studio_test.js"),
                           "--studio", options.studio, "--view", options.view, "--chromium",
                           chromium], timeout=600).returncode


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--studio", required=True)
    parser.add_argument("--view", required=True)
    parser.add_argument("--browser", action="store_true")
    options = parser.parse_args()
    options.studio, options.view = os.path.abspath(options.studio), os.path.abspath(options.view)
    if options.browser:
        return browser(options)
    for suite in (guards, saving, usage):
        with tempfile.TemporaryDirectory() as work:
            os.environ["XDG_CACHE_HOME"] = os.path.join(work, "cache")  # never the user's cache
            suite(options, work)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
