"""Hostile input: nothing crashes, nothing overruns, memory stays bounded, output stays exact.

Large inputs are generated in the scratch directory at test time.
"""

import os

from e2e import HEADER, Case, pattern, progress, wrd, wve

BLOCK = "■"
LABEL = ("ESC[1;1H;", "ESC[33mPattern      ESC[0K;")
MEASURE_BEAT = ("ESC[37m;", "ESC[3;1H;", "Measure      Beat   ;")


def values(measure, beat):
    return (f"ESC[3;9H{measure:>2};", f"ESC[3;19H{beat:>2};")


def generated(name, *parts, repeat=1):
    """A setup that writes the parts, `repeat` times over, into the named file."""
    def setup(root):
        with open(os.path.join(root, name), "wb") as f:
            for _ in range(repeat):
                for part in parts:
                    f.write(part)
    return setup


def hostile(name, wve_bytes=None, wrd_lines=None, setup=None, timeout=60, max_rss_mb=16,
            labels=(), expect_bytes=None, tags=()):
    """A case converting in.wve to in.wrd with an exactly known script. Generated (large) inputs
    are not run under Wine."""
    if setup is not None:
        tags = {"posix", *tags}
    files = {"in.wve": wve_bytes} if wve_bytes is not None else {}
    expected = expect_bytes if expect_bytes is not None else wrd(*HEADER, *wrd_lines)
    return Case(name, ["in"], files=files, setup=setup, stdout=progress("in.wve", "in.wrd"),
                expect={"in.wrd": expected},
                timeout=timeout, max_rss_mb=max_rss_mb, labels=labels, tags=tags)


MILLION = 1000000
FIRST_FRAME_1X1 = (*LABEL, *pattern(" 1", ""), *MEASURE_BEAT, *values(1, 1), "ESC[14;39H;",
                   f"ESC[34m{BLOCK};", "")
ONLY_F_FRAME = (*LABEL, *MEASURE_BEAT, "ESC[12;16H;", BLOCK * 10 + ";", "")


def wide_grid_script():
    return (*pattern(" 1", ""), *MEASURE_BEAT, *values(1, 1))


CASES = [
    hostile("a 50 MB line without a line end", setup=generated("in.wve", b"x" * (1 << 20), repeat=50),
            wrd_lines=()),
    hostile("a million empty lines", setup=generated("in.wve", b"\n" * MILLION), wrd_lines=()),
    hostile("a million frames", setup=generated("in.wve", b"*nXY=1,1\n", b"*f1-1-1\n1\n" * MILLION),
            expect_bytes=wrd(*HEADER, *FIRST_FRAME_1X1) + b"\r\n" * (MILLION - 1), timeout=120),
    hostile("a file of nothing but *f lines", setup=generated("in.wve", b"*f\n" * (6 * 100000)),
            expect_bytes=wrd(*HEADER, *ONLY_F_FRAME) + b"\r\n" * (100000 - 1)),
    hostile("rows far longer than the grid",
            wve("*nXY=3,2", "*f1-1-1", "120003" + "4" * 9994, "5" * 10000, "*p2,after"),
            wrd_lines=(*LABEL, *pattern(" 1", ""), *MEASURE_BEAT, *values(1, 1), "ESC[14;37H;",
                       f"ESC[34m{BLOCK}ESC[31m{BLOCK};", "ESC[15;41H;", f"ESC[35m{BLOCK};", "",
                       *pattern(" 2", "after"))),
    hostile("rows far shorter than the grid", wve("*nXY=40,3", "*f1-1-1", "1", "2", "3"),
            wrd_lines=(*LABEL, *pattern(" 1", ""), *MEASURE_BEAT, *values(1, 1), "ESC[13;0H;",
                       f"ESC[34m{BLOCK}ESC[31m{BLOCK}ESC[35m{BLOCK};", "")),
    hostile("a grid of 0 x N still reads N rows per frame",
            wve("*nXY=0,3", "*f0-0-0", "11", "*p2,row", "22", "*p3,directive"),
            wrd_lines=(*LABEL, *MEASURE_BEAT, "", *pattern(" 3", "directive"))),
    hostile("a grid of N x 0 reads no rows", wve("*nXY=7,0", "*f0-0-0", "*p3,directive"),
            wrd_lines=(*LABEL, *MEASURE_BEAT, "", *pattern(" 3", "directive"))),
    *[hostile(f"*nXY={size} is not taken", wve(f"*nXY={size}", "*f0-0-0", "1", "", "", "", ""),
              wrd_lines=(*LABEL, *MEASURE_BEAT, "ESC[12;16H;", f"ESC[34m{BLOCK};", ""))
      for size in ("2147483647,1", "99999999999", "-5,2", "2,-5", "46341,46341", "-1,-1")],
    hostile("*nXY=4294967296,3 wraps to a grid without cells",
            wve("*nXY=4294967296,3", "*f0-0-0", "1", "1", "1", "*p3,x"),
            wrd_lines=(*LABEL, *MEASURE_BEAT, "", *pattern(" 3", "x"))),
    hostile("numbers beyond 32 bits in every field",
            wve("*nXY=1,1", "*p99999999999,big",
                "*f4294967297-4294967298-99999999999-4294967296/4294967299", "1"),
            wrd_lines=(*LABEL, *pattern("1215752191", "big"), "@wmode(7);",
                       *pattern(" 1", ""), *MEASURE_BEAT, *values(2, 1215752191), "ESC[14;39H;",
                       f"ESC[34m{BLOCK};", "")),
    hostile("division 0, negative divisions and INT_MIN",
            wve("*nXY=1,1", "*f0-0-0-0/0", "0", "*f0-0-0-0/-1", "0", "*f0-0-0-0/-2147483648", "0",
                "*f0-0-0-0/0", "0", "*f0-0-0-0/2147483647", "0", "*f0-0-0-0/-24", "0"),
            wrd_lines=(*LABEL, *MEASURE_BEAT, "", "@wmode(-25);", "", "@wmode(-1);", "", "",
                       "@wmode(-1);", "", "@wmode(-2);", "")),
    hostile("NUL bytes and 0x1A inside lines",
            b"*p1,ab\0cd\n*p2,x\0*p3,hidden\n*p4,z\x1a*p5,after the end\n",
            wrd_lines=(*LABEL, *pattern(" 1", "ab"), *pattern(" 2", "x"), *pattern(" 4", "z"))),
    hostile("invalid Shift_JIS passes through unchanged", b"*p1,abc\x81\n*p2,\x81",
            expect_bytes=wrd(*HEADER, *LABEL) + b"\x1b[1;9H;\r\n\x1b[33m 1   \x1b[0Kabc\x81;\r\n"
            + b"\x1b[1;9H;\r\n\x1b[33m 2   \x1b[0K\x81;\r\n"),
    hostile("a pattern text of 300 bytes", wve("*p1," + "t" * 300),
            wrd_lines=(*LABEL, *pattern(" 1", "t" * 250))),
    hostile("a file of CR line ends is one line", b"*nXY=2,1\r*f1-1-1\r11\r*p5,x\r", wrd_lines=()),
    hostile("a grid 2147483600 cells wide", wve("*nXY=2147483600,1", "*f1-1-1", "01"),
            wrd_lines=(*LABEL, *wide_grid_script(), "ESC[14;-2147483558H;", f"ESC[34m{BLOCK};", ""),
            max_rss_mb=2200, timeout=120, tags={"posix"}),
]


def two_gigabyte_row(root):
    """A grid of 254 x 8454660 cells filled by one 2 GB line: every 254-byte piece is a row."""
    with open(os.path.join(root, "in.wve"), "wb") as f:
        f.write(b"*nXY=254,8454660\n*f1-1-1\n")
        zeros = b"0" * (254 << 12)
        for _ in range(8454660 >> 12):
            f.write(zeros)
        f.write(b"0" * (254 * (8454660 & 4095) - 1) + b"7")


CASES.append(hostile(
    "the last cell of a 2 GB row", setup=two_gigabyte_row, max_rss_mb=4200, timeout=600,
    labels=("large",),
    wrd_lines=(*LABEL, *wide_grid_script(), "ESC[4227344;292H;", f"{BLOCK};", "")))
