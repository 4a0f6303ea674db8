"""The fatal messages that need a particular machine state: memory and read failures."""

import os

from e2e import HEADER, OUT_OF_MEMORY, READ_ERROR, Case, progress, wrd, wve


def link_to_own_memory(root):
    # /proc/self/mem opens fine, but reading its first page fails: a real read error.
    os.symlink("/proc/self/mem", os.path.join(root, "m.wve"))


def out_of_memory(name, **fields):
    return Case(name, ["big", "a"],
                files={"big.wve": wve("*nXY=2147483646,1", "*p2,x", "*f1-1-1", "1"),
                       "a.wve": wve("*p1,a")},
                status=2, stdout=progress("big.wve", "big.wrd"), stderr=OUT_OF_MEMORY,
                expect={"big.wrd": wrd(*HEADER, "ESC[1;1H;", "ESC[33mPattern      ESC[0K;",
                                       "ESC[1;9H;", "ESC[33m 2   ESC[0Kx;")}, **fields)


CASES = [
    out_of_memory("frame buffers that cannot be allocated", limits=["--as=1500000000"],
                  tags={"posix", "plain"}),
    # Two buffers of 2 GiB do not fit in the address space of a 32-bit process.
    out_of_memory("frame buffers beyond a 32-bit address space", tags={"windows", "32-bit"}),
    Case("an input that cannot be read", ["m", "a"], files={"a.wve": wve("*p1,a")},
         setup=link_to_own_memory, status=2, stdout=progress("m.wve", "m.wrd"),
         stderr=READ_ERROR, expect={"m.wrd": wrd(*HEADER)}, tags={"posix"}),
]
