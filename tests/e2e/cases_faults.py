"""Write failures at many points of a conversion: every one is reported, and the script keeps a
true prefix of the full result."""

import functools
import os
import subprocess
import tempfile

from e2e import ANY, WRITE_ERROR, Case, progress, wve


def big_input():
    """About 1.5 MB of script: frames that change every cell, in changing colours."""
    lines = ["*p1,faults"]
    for i in range(4000):
        lines.append(f"*f1-{i // 4 + 1}-{i % 4 + 1}-0/1")
        lines += [str(1 + (i + r) % 7) * 24 for r in range(5)]
    return wve(*lines)


BIG = big_input()


@functools.lru_cache(maxsize=None)
def full_script():
    """The script of an unhindered run of the same program."""
    with tempfile.TemporaryDirectory() as root:
        with open(os.path.join(root, "big.wve"), "wb") as f:
            f.write(BIG)
        subprocess.run([os.environ["E2E_PROGRAM"], "big"], cwd=root, check=True,
                       stdout=subprocess.DEVNULL)
        with open(os.path.join(root, "big.wrd"), "rb") as f:
            return f.read()


def prefix_of_length(limit):
    def check(root):
        with open(os.path.join(root, "big.wrd"), "rb") as f:
            written = f.read()
        full = full_script()
        problems = []
        if len(full) <= limit:
            problems.append(f"the full script ({len(full)} bytes) fits under the limit")
        if written != full[:limit]:
            problems.append(f"big.wrd ({len(written)} bytes) is not the first {limit} bytes")
        return problems
    return check


CASES = [
    Case(f"a file-size limit at {kib} KiB", ["big", "later"],
         files={"big.wve": BIG, "later.wve": wve("*p1,later")},
         limits=[f"--fsize={kib * 1024}"], status=2, stdout=progress("big.wve", "big.wrd"),
         stderr=WRITE_ERROR, expect={"big.wrd": ANY}, check=prefix_of_length(kib * 1024),
         tags={"posix"})
    for kib in (1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024)
]
