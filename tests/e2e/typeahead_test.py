#!/usr/bin/env python3
"""On a terminal, input typed before the overwrite question is discarded.

usage: typeahead_test.py PROGRAM
"y" is typed ahead into a pseudo-terminal before the program starts, then "n" is answered at
the prompt: the typed-ahead "y" must not decide, so the file is skipped (status 1).
"""

import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile


def main():
    program = os.path.abspath(sys.argv[1])
    root = tempfile.mkdtemp(prefix="mosaiq-tty-")
    try:
        with open(os.path.join(root, "a.wve"), "wb") as f:
            f.write(b"*p1,a\n")
        with open(os.path.join(root, "a.wrd"), "wb") as f:
            f.write(b"old")
        master, slave = pty.openpty()
        os.write(master, b"y\n")
        child = subprocess.Popen([program, "-i", "a"], cwd=root, stdin=slave, stdout=slave,
                                 stderr=slave)
        os.close(slave)
        seen = b""
        while b"(y/n) : " not in seen:
            ready, _, _ = select.select([master], [], [], 30)
            if not ready:
                print("FAIL no question within 30 s; saw", repr(seen))
                child.kill()
                return 1
            seen += os.read(master, 4096)
        os.write(master, b"n\n")
        status = child.wait(timeout=30)
        with open(os.path.join(root, "a.wrd"), "rb") as f:
            kept = f.read() == b"old"
        if status != 1 or not kept:
            print(f"FAIL status {status}, output kept: {kept} (the typed-ahead answer decided)")
            return 1
        print("typed-ahead input was discarded")
        return 0
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
