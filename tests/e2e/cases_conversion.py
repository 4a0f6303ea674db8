"""Whole WRD scripts written by the built program, byte for byte."""

import os

from e2e import ANY, HEADER, Case, pattern, progress, wrd, wve

BLOCK = "■"

WORKED_3X2 = wve("This line is ignored", "*nXY=3,2", "*p1,Intro", "*f1-1-1", "120", "003",
                 "*f1-1-2-1/2", "120", "073", "*end")
WORKED_3X2_WRD = wrd(
    *HEADER, "ESC[1;1H;", "ESC[33mPattern      ESC[0K;", "ESC[1;9H;", "ESC[33m 1   ESC[0KIntro;",
    "ESC[37m;", "ESC[3;1H;", "Measure      Beat   ;", "ESC[3;9H 1;", "ESC[3;19H 1;",
    "ESC[14;37H;", f"ESC[34m{BLOCK}ESC[31m{BLOCK};", "ESC[15;41H;", f"ESC[35m{BLOCK};", "",
    "@wmode(11);", "ESC[37m;", "ESC[3;19H 2;", "ESC[15;39H;", f"{BLOCK};", "")

WORKED_4X2 = wve("*nXY=4,2", "*f1-1-1", "1100", "0077", "*f1-1-2-1/2", "1200", "1070",
                 "*f2-2-1-0/2", "1200", "1070")
WORKED_4X2_WRD = wrd(
    *HEADER, "ESC[1;1H;", "ESC[33mPattern      ESC[0K;", "ESC[1;9H;", "ESC[33m 1   ESC[0K;",
    "ESC[37m;", "ESC[3;1H;", "Measure      Beat   ;", "ESC[3;9H 1;", "ESC[3;19H 1;",
    "ESC[14;36H;", f"ESC[34m{BLOCK}{BLOCK};", "ESC[15;40H;", f"ESC[37m{BLOCK}{BLOCK};", "",
    "@wmode(11);", "ESC[3;19H 2;", "ESC[14;38H;", f"ESC[31m{BLOCK};", "ESC[15;36H;",
    f"ESC[34m{BLOCK}ESC[4C  ;", "",
    "ESC[1;9H;", "ESC[33m 2   ESC[0K;", "ESC[37m;", "ESC[3;9H 2;", "ESC[3;19H 1;", "")

LABEL = ("ESC[1;1H;", "ESC[33mPattern      ESC[0K;")


def check_example(root):
    """The example's script: the header, then one frame end (an empty line) per frame record."""
    with open(os.path.join(root, "demo.wrd"), "rb") as f:
        script = f.read()
    records = sum(1 for line in EXAMPLE_BYTES.split(b"\n") if line.startswith(b"*f"))
    problems = []
    if not script.startswith(wrd(*HEADER)):
        problems.append("demo.wrd does not start with the header")
    frame_ends = script.split(b"\r\n")[:-1].count(b"") - 1  # the header ends with one too
    if frame_ends != records:
        problems.append(f"demo.wrd ends {frame_ends} frames, not {records}")
    return problems


EXAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples",
                       "demo.wve")
with open(EXAMPLE, "rb") as f:
    EXAMPLE_BYTES = f.read()

CASES = [
    Case("an empty input gives the four header lines", ["e"], files={"e.wve": b""},
         stdout=progress("e.wve", "e.wrd"), expect={"e.wrd": wrd(*HEADER)}),
    Case("the 3 x 2 worked example", ["song"], files={"song.wve": WORKED_3X2},
         stdout=progress("song.wve", "song.wrd"), expect={"song.wrd": WORKED_3X2_WRD}),
    Case("the 4 x 2 worked example, three frames", ["g"], files={"g.wve": WORKED_4X2},
         stdout=progress("g.wve", "g.wrd"), expect={"g.wrd": WORKED_4X2_WRD}),
    Case("CR LF input reads as LF input", ["song"],
         files={"song.wve": WORKED_3X2.replace(b"\n", b"\r\n")},
         stdout=progress("song.wve", "song.wrd"), expect={"song.wrd": WORKED_3X2_WRD}),
    Case("a file without *end and without a last line end", ["song"],
         files={"song.wve": WORKED_3X2[:-len(b"*end\n")].rstrip(b"\n")},
         stdout=progress("song.wve", "song.wrd"), expect={"song.wrd": WORKED_3X2_WRD}),
    Case("byte 0x1A ends the input", ["song"],
         files={"song.wve": WORKED_3X2.replace(b"*f1-1-2-1/2", b"\x1a*f1-1-2-1/2")},
         stdout=progress("song.wve", "song.wrd"),
         expect={"song.wrd": WORKED_3X2_WRD[:WORKED_3X2_WRD.index(b"@wmode(11)")]}),
    Case("lone CRs do not end lines", ["cr"], files={"cr.wve": b"*p1,a\r*p2,b\r"},
         stdout=progress("cr.wve", "cr.wrd"),
         expect={"cr.wrd": wrd(*HEADER, *LABEL, *pattern(" 1", "a\r*p2,b\r"))}),
    Case("lines of 253, 254 and 255 bytes", ["long"],
         files={"long.wve": wve("*p1," + "a" * 249, "*p2," + "b" * 250, "*p3," + "c" * 250 + "*p4,d")},
         stdout=progress("long.wve", "long.wrd"),
         expect={"long.wrd": wrd(*HEADER, *LABEL, *pattern(" 1", "a" * 249),
                                 *pattern(" 2", "b" * 250), *pattern(" 3", "c" * 250),
                                 *pattern(" 4", "d"))}),
    Case("pattern texts with double-byte characters and blanks", ["j"],
         files={"j.wve": wve("*p1,サビ　２ (full) ", "*cp12, x")},
         stdout=progress("j.wve", "j.wrd"),
         expect={"j.wrd": wrd(*HEADER, *LABEL, *pattern(" 1", "サビ　２ (full) "),
                              *pattern("12", " x"))}),
    Case("*endless ends the file; *END does not", ["e"],
         files={"e.wve": wve("*END", "*p5,x", "*endless", "*p6,y")},
         stdout=progress("e.wve", "e.wrd"), expect={"e.wrd": wrd(*HEADER, *LABEL, *pattern(" 5", "x"))}),
    Case("every file starts afresh", ["g", "h"],
         files={"g.wve": wve("*nXY=1,1", "*p7,seven", "*f7-1-1-0/3", "6"),
                "h.wve": wve("*p,x", "*f1-1-1", "6" + "0" * 23, *["0" * 24] * 4)},
         stdout=progress("g.wve", "g.wrd") + progress("h.wve", "h.wrd"),
         expect={"g.wrd": wrd(*HEADER, *LABEL, *pattern(" 7", "seven"), "@wmode(7);", "ESC[37m;",
                              "ESC[3;1H;", "Measure      Beat   ;", "ESC[3;9H 1;", "ESC[3;19H 1;",
                              "ESC[14;39H;", f"ESC[33m{BLOCK};", ""),
                 "h.wrd": wrd(*HEADER, *LABEL, *pattern(" 1", ""), "ESC[37m;", "ESC[3;1H;",
                              "Measure      Beat   ;", "ESC[3;9H 1;", "ESC[3;19H 1;",
                              "ESC[12;16H;", f"ESC[33m{BLOCK};", "")}),
    Case("input ending inside a frame keeps its mode and panel lines", ["cut"],
         files={"cut.wve": wve("*nXY=2,2", "*f0-3-2-0/4", "11")},
         stdout=progress("cut.wve", "cut.wrd"),
         expect={"cut.wrd": wrd(*HEADER, "@wmode(5);", *LABEL, "ESC[37m;", "ESC[3;1H;",
                                "Measure      Beat   ;", "ESC[3;9H 3;", "ESC[3;19H 2;")}),
    Case("the shipped example converts", ["-o", "demo", "demo"],
         files={"demo.wve": EXAMPLE_BYTES}, stdout=progress("demo.wve", "demo.wrd"),
         expect={"demo.wrd": ANY}, check=check_example),
]
