"""mosaiq-check: every check, its boundaries, both output forms, and the command line.

Each case runs the built mosaiq-check in a scratch directory over the file bytes given and
compares standard output, standard error and the status byte for byte.
"""

import json

from e2e import Case, sjis, wve

USAGE = (b"usage: mosaiq-check [--format text|json] [--midi SONG.mid | --beats-per-measure N] [--all]\n"
         b"                    [--ignore CHECK[,CHECK...]] [--color[=auto|always|never]] FILE...\n"
         b"       mosaiq-check -h | --help | --version\n")

ROW = "0" * 24  # a row of the default 24 x 5 grid
FRAME_ROWS = (ROW,) * 5


def finding(line, column, check, message, source, name="a.wve", source_column=1, caret=None):
    """A finding in the text form: the compiler's line, the source line, a caret under it."""
    source = source if isinstance(source, bytes) else sjis(source)
    shown = (b"..." if source_column > 1 else b"") + source
    indent = caret if caret is not None else (
        (b"   " if source_column > 1 else b"") + b" " * (column - source_column))
    return (f"{name}:{line}:{column}: warning: ".encode() + sjis(message) +
            f" [{check}]\n".encode() + shown + b"\n" + indent + b"^\n")


def as_json(*findings):
    """The JSON form of findings given as (file, line, column, check, message)."""
    if not findings:
        return b"[]\n"
    objects = [json.dumps({"file": f, "line": l, "column": c, "check": k, "message": m,
                           "notes": []}, ensure_ascii=False) for f, l, c, k, m in findings]
    return ("[\n  " + ",\n  ".join(objects) + "\n]\n").encode()


def summary(warnings, files):
    """The last line on standard error: how many warnings, in how many files."""
    return (f"{warnings} warning{'s' if warnings != 1 else ''} in {files} "
            f"file{'s' if files != 1 else ''}\n").encode()


def check(name, files, *findings, args=None, status=None, stderr=None, env=None, tags=()):
    """A case checking a.wve (or the files given); expects exactly the findings, in order, and
    the summary line after them. The cases are about other checks than no-frames: a file of
    them without a frame record leaves that check out."""
    if isinstance(files, bytes):
        files = {"a.wve": files}
    stdout = b"".join(findings)
    if status is None:
        status = 1 if findings else 0
    if stderr is None:
        names = {finding.split(b":", 1)[0] for finding in findings}
        stderr = summary(len(findings), len(names)) if findings else b""
    if args is None:
        args = ["a"]
    if not any(b"*f" in data for data in files.values()):
        args = ["--ignore=no-frames"] + args
    return Case(name, args, files=files, stdout=stdout, stderr=stderr, status=status, env=env,
                tags=tags)


def frame(record, rows=FRAME_ROWS):
    return (record, *rows)


CLEAN = wve("*nXY=24,5", "*p1,Intro", *frame("*f1-1-1"), *frame("*f1-1-2-1/2"),
            *frame("*f1-1-2-0/2"), *frame("*f1-1-3-0/4"), *frame("*f1-1-3-0/4"),
            *frame("*f1-1-3-0/4"), *frame("*f1-1-3-0/4"), *frame("*f1-1-4-0/1"),
            *frame("*f1-2-1"), "*end", "*END after the end is never read", end=b"\r\n")

FORGOTTEN_DIVISION = wve("*nXY=2,1", *[line for record in (
    "*f1-1-1-0/2", "*f1-1-1-0/2", "*f1-1-2-0/2", "*f1-1-2", "*f1-1-3-0/2", "*f1-1-3-0/2",
    "*f1-1-4-0/2", "*f1-1-4-0/2", "*f1-2-1-0/2") for line in (record, "11")])
FOUR_BEATS = [line for measure in range(1, 5) for beat in range(1, 5)
              for line in (f"*f1-{measure}-{beat}", "11")]

LONG_ROW = "row has 25 cells but the grid is 24 wide: every later cell of this frame shifts by one"

CASES = [
    check("a file that deserves nothing gets nothing", CLEAN),
    check("an empty file", b""),

    # row-length
    check("a row one cell too long shifts every later cell",
          wve(*frame("*f1-1-1", (ROW, ROW + "1", ROW, ROW, ROW))),
          finding(3, 25, "row-length", LONG_ROW, ROW + "1")),
    check("a row too short, and the last row too long and too short",
          wve(*frame("*f1-1-1", (ROW[:20], ROW, ROW, ROW, ROW + "12")),
              *frame("*f1-1-2", (ROW,) * 4 + (ROW[:23],))),
          finding(2, 21, "row-length", "row has 20 cells but the grid is 24 wide: the next row "
                  "fills its end, and every later cell of this frame shifts back by 4", ROW[:20]),
          finding(6, 25, "row-length", "row has 26 cells but the grid is 24 wide: its last 2 "
                  "cells are dropped", ROW + "12"),
          finding(12, 24, "row-length", "row has 23 cells but the grid is 24 wide: the frame's "
                  "last cell keeps what the screen shows", ROW[:23])),
    check("rows count bytes before CR LF, and a lone CR before it is a cell",
          wve(*frame("*f1-1-1", (ROW, ROW[:23] + "\r", ROW, ROW + "1", ROW)), end=b"\r\n"),
          finding(3, 24, "cell-value", 'cell "\\x0d" is not a colour digit from 0 to 7: it is '
                  "drawn lit, in the colour selected before it", ROW[:23] + "\\x0d"),
          finding(5, 25, "row-length", LONG_ROW, ROW + "1")),

    # truncated-frame and row-looks-like-directive
    check("a frame cut short by the end of the file",
          wve("*nXY=24,3", *frame("*f1-1-1", (ROW, ROW, ROW)), "*f1-1-2", ROW, ROW[:10] + "7"),
          finding(6, 1, "truncated-frame", "the file ends after 2 of the frame's 3 rows: its "
                  "panel is written but none of its cells is painted", "*f1-1-2"),
          finding(8, 12, "row-length", "row has 11 cells but the grid is 24 wide: the next row "
                  "fills its end, and every later cell of this frame shifts back by 13",
                  ROW[:10] + "7")),
    check("a frame record on the last line, without its line end",
          wve("*nXY=24,1", "*f1-1-1", ROW) + b"*f1-1-2",
          finding(4, 1, "truncated-frame", "the file ends after 0 of the frame's 1 row: its "
                  "panel is written but none of its cells is painted", "*f1-1-2")),
    check("a missing row makes the next record a row",
          wve("*nXY=24,2", "*f1-1-1", ROW, "*f1-1-2", ROW, ROW),
          finding(4, 1, "row-looks-like-directive", "a grid row begins with \"*\": a row is "
                  "probably missing before it, so this line is read as a row, not as a directive",
                  "*f1-1-2")
          + b"a.wve:2:1: note: this frame has 1 row before the line read as its next row; the "
            b"grid is 2 rows high\n"),

    check("a bad cell among frames that repeat each other is still found",
          wve("*nXY=3,2", *["*f1-1-1", "123", "456"] * 3, "*f1-1-1", "123", "458",
              *["*f1-1-1", "123", "456"] * 2),
          finding(13, 3, "cell-value", 'cell "8" is not a colour digit from 0 to 7: it is drawn '
                  "lit, in the colour selected before it", "458"),
          args=["--ignore", "timing", "a"]),

    # cell-value
    check("the first byte that is no colour digit, among the grid's cells only",
          wve("*nXY=4,2", "*f1-1-1", "0128", "07 0x"),
          finding(3, 4, "cell-value", 'cell "8" is not a colour digit from 0 to 7: it is drawn '
                  "lit, in the colour selected before it", "0128"),
          finding(4, 3, "cell-value", 'cell " " is not a colour digit from 0 to 7: it is drawn '
                  "lit, in the colour selected before it", "07 0x"),
          finding(4, 5, "row-length", "row has 5 cells but the grid is 4 wide: its last cell is "
                  "dropped", "07 0x")),

    # frame-record, division, division-drift
    check("frame records of 0, 1, 2 and 4 numbers",
          wve("*nXY=1,1", "*f", "0", "*f1", "0", "*f1-1", "0", "*f1-1-1-1", "0"),
          finding(2, 1, "frame-record", "frame record with 0 numbers, not 3 or 5: the pattern, "
                  "measure and beat keep the panel's values and the division is taken as 1 (the "
                  "form is *fP-M-B or *fP-M-B-F/D)", "*f"),
          finding(4, 1, "frame-record", "frame record with 1 number, not 3 or 5: the measure and "
                  "beat keep the panel's values and the division is taken as 1 (the form is "
                  "*fP-M-B or *fP-M-B-F/D)", "*f1"),
          finding(6, 1, "frame-record", "frame record with 2 numbers, not 3 or 5: the beat keeps "
                  "the panel's value and the division is taken as 1 (the form is *fP-M-B or "
                  "*fP-M-B-F/D)", "*f1-1"),
          finding(6, 1, "hidden-measure", "measure 1 comes with beat 0, the beat shown already: "
                  "the panel changes only when the beat does, so it keeps showing no measure",
                  "*f1-1"),
          finding(8, 1, "frame-record", "frame record with 4 numbers, not 3 or 5: the flag is "
                  "read, but without \"/D\" the division is taken as 1", "*f1-1-1-1")),
    check("divisions below 0 and above 24; 24 is fine, and 0 keeps the one in force",
          wve("*nXY=1,1", "*f1-1-1-0/24", "0", "*f1-1-2-0/0", "0", "*f1-1-3-0/-2", "0",
              "*f1-1-4-0/25", "0"),
          finding(4, 1, "timing", "frame stamped measure 1 beat 2 plays at measure 1 beat 1 + "
                  "1/24, 23/24 of a beat early: the frames before it last less than the stamps "
                  "say (4 beats a measure)", "*f1-1-2-0/0"),
          finding(6, 1, "division", "beat division -2 writes a negative @wmode, which a player "
                  "takes as @wmode(0), frames of 1/24 of a beat; 1 to 24 set a division",
                  "*f1-1-3-0/-2"),
          finding(8, 1, "division", "beat division 25 is above 24: every frame lasts 1/24 of a "
                  "beat, as under 24", "*f1-1-4-0/25")),
    check("a division that does not divide 24, where it comes in",
          wve("*nXY=1,1", *["*f1-1-1-0/5", "0"] * 5, "*f1-1-2-0/8", "0", "*f1-1-2-0/7", "0"),
          finding(2, 1, "division-drift", "beat division 5 does not divide 24: a frame lasts "
                  "4/24 of a beat, so 5 frames fill 20/24 of a beat and the animation drifts from "
                  "the song (4 or 6 divide 24)", "*f1-1-1-0/5"),
          finding(14, 1, "division-drift", "beat division 7 does not divide 24: a frame lasts "
                  "3/24 of a beat, so 7 frames fill 21/24 of a beat and the animation drifts from "
                  "the song (6 or 8 divide 24)", "*f1-1-2-0/7"),
          args=["--ignore", "timing", "a"]),

    # ignored-grid and grid-size, one file each, in one run
    check("grid sizes at the edges of the screen",
          {"w39.wve": wve("*nXY=39,22"), "w40.wve": wve("*nXY=40,5"), "h23.wve": wve("*nXY=24,23"),
           "h30.wve": wve("*nXY=24,30"), "w0.wve": wve("*nXY=0,3"), "only.wve": wve("*nXY=30"),
           "none.wve": wve("*nXY=x"), "minus.wve": wve("*nXY=-5,2")},
          finding(1, 1, "grid-size", "a grid 40 cells wide spans screen columns 0 to 79, off the "
                  "80-column screen: at most 39 cells fit", "*nXY=40,5", name="w40.wve"),
          finding(1, 1, "grid-size", "a grid 23 rows high spans screen rows 3 to 25, over the "
                  "panel's row 3: at most 22 rows fit below the panel", "*nXY=24,23",
                  name="h23.wve"),
          finding(1, 1, "grid-size", "a grid 30 rows high spans screen rows 0 to 29, over the "
                  "panel's row 3: at most 22 rows fit below the panel", "*nXY=24,30",
                  name="h30.wve"),
          finding(1, 1, "grid-size", "a grid 0 cells wide has no cells: nothing is painted",
                  "*nXY=0,3", name="w0.wve"),
          finding(1, 1, "grid-partial", "\"*nXY=\" sets the width alone (the form is *nXY=W,H): "
                  "the grid is 30 x 5, its height unchanged", "*nXY=30", name="only.wve"),
          finding(1, 1, "grid-size", "\"*nXY=\" with no number to read: the grid stays 24 x 5",
                  "*nXY=x", name="none.wve"),
          finding(1, 1, "grid-size", "a grid of -5 x 2 is not taken (a side below 0, or more "
                  "cells than can be held): the grid stays 24 x 5", "*nXY=-5,2", name="minus.wve"),
          args=["w39", "w40", "h23", "h30", "w0", "only", "none", "minus"]),
    check("a grid size after another directive, and a second one",
          {"late.wve": wve("", "comment", "*x", "*p1,x", "*nXY=10,5"),
           "second.wve": wve("*nXY=10,4", "*nXY=10,5")},
          finding(3, 1, "unknown-directive", 'unknown directive "*x": the line is ignored',
                  "*x", name="late.wve"),
          finding(5, 1, "ignored-grid", '"*nXY=" after another directive is ignored: the grid '
                  "stays 24 x 5 (it must come before any other directive)", "*nXY=10,5",
                  name="late.wve"),
          finding(2, 1, "ignored-grid", 'a second "*nXY=" is ignored: the grid stays 10 x 4',
                  "*nXY=10,5", name="second.wve"),
          args=["late", "second"]),

    # unknown-directive and indented-directive
    check("unknown directives with the nearest one",
          wve("*END", "*F1-1-1", "*nxy=3,3", "*edn", "*zzz", "*"),
          *(finding(line, 1, "unknown-directive", f'unknown directive "{word}": the line is '
                    f'ignored; did you mean "{meant}"?', source)
            for line, word, meant, source in ((1, "*END", "*end", "*END"),
                                              (2, "*F1-1-1", "*f", "*F1-1-1"),
                                              (3, "*nxy=3,3", "*nXY=", "*nxy=3,3"),
                                              (4, "*edn", "*end", "*edn"))),
          finding(5, 1, "unknown-directive", 'unknown directive "*zzz": the line is ignored',
                  "*zzz"),
          finding(6, 1, "unknown-directive", 'unknown directive "*": the line is ignored', "*")),
    check("directives after blanks are not directives",
          wve(" *p1,x", "\t*end", "  # a comment", "\t"),
          finding(1, 2, "indented-directive", 'a blank before "*": the line is not read as a '
                  "directive, which must begin the line", " *p1,x"),
          finding(2, 2, "indented-directive", 'a blank before "*": the line is not read as a '
                  "directive, which must begin the line", "\t*end", caret=b"\t")),
    check("no byte of a file reaches the terminal as a control",
          wve("*\x1b[2J\x07"),
          finding(1, 1, "unknown-directive", 'unknown directive "*\\x1b[2J\\x07": the line is '
                  "ignored", "*\\x1b[2J\\x07")),

    # long-line, nul-byte, after-eof-marker
    check("lines of 253 and 254 bytes, and a piece of a long line read as a directive",
          wve("x" * 253, "y" * 254, "z" * 254 + "*END", end=b"\r\n") + b"w" * 253 + b"\r\n",
          finding(2, 254, "long-line", "line longer than 253 bytes: it is read in pieces of 254 "
                  "bytes, each counting as a line of its own", "y" * 254),
          finding(3, 254, "long-line", "line longer than 253 bytes: it is read in pieces of 254 "
                  "bytes, each counting as a line of its own", "z" * 254),
          finding(3, 255, "unknown-directive", 'unknown directive "*END": the line is ignored; '
                  'did you mean "*end"?', "*END", source_column=255)),
    check("a NUL byte ends the text of its line",
          b"*p1,ab\0cd\n*p2,x\n",
          finding(1, 7, "nul-byte", "NUL byte: the rest of the line (of its 254-byte piece, when "
                  "longer) is dropped", "*p1,ab\\x00cd")),
    check("a 0x1A at the very end is normal",
          {"a.wve": b"*p1,x\n\x1a", "b.wve": b"*p1,x\n*end\n\x1ajunk"}, args=["a", "b"]),
    check("bytes after a 0x1A are never read",
          {"a.wve": b"*p1,x\n\x1ajunk", "b.wve": b"*p1,x\r\nab\x1a\n*p2,y"},
          finding(2, 1, "after-eof-marker", "the end-of-file byte 0x1A ends the input here: the "
                  "bytes after it are never read", "\\x1a"),
          finding(2, 3, "after-eof-marker", "the end-of-file byte 0x1A ends the input here: the "
                  "bytes after it are never read", "ab\\x1a", name="b.wve"),
          args=["a", "b"]),

    # shift-jis and pattern-text-width
    check("broken double-byte characters in pattern texts; whole ones are fine",
          wve(b"*p1,ab\x81 x", b"*p2,ab\x81", "*p3,日本語のテキスト", b"*cp4,\x82\xa0\x9f"),
          finding(1, 7, "shift-jis", "byte 0x81 begins a double-byte Shift_JIS character, but "
                  "0x20 cannot end one: the pattern text shows garbled", b"*p1,ab\x81 x"),
          finding(2, 7, "shift-jis", "byte 0x81 begins a double-byte Shift_JIS character, but "
                  "the text ends after it: the pattern text shows garbled", b"*p2,ab\x81"),
          finding(4, 8, "shift-jis", "byte 0x9F begins a double-byte Shift_JIS character, but "
                  "the text ends after it: the pattern text shows garbled",
                  b"*cp4,\x82\xa0\x9f")),
    check("pattern texts of 67 and 68 columns, a double-byte character two of them",
          wve("*p1," + "x" * 67, "*p2," + "x" * 68, "*p3," + "あ" * 33 + "x", "*p4," + "あ" * 34),
          finding(2, 5, "pattern-text-width", "pattern text 68 columns wide, but 67 fit on the "
                  "panel's row 1 after the pattern number: it runs past column 80",
                  "*p2," + "x" * 68),
          finding(4, 5, "pattern-text-width", "pattern text 68 columns wide, but 67 fit on the "
                  "panel's row 1 after the pattern number: it runs past column 80",
                  "*p4," + "あ" * 34)),

    # hidden-measure and timing
    check("a new measure with the beat shown already is never shown",
          wve("*nXY=1,1", "*f1-1-4", "0", "*f1-2-4", "0", "*f1-2-1", "0"),
          finding(4, 1, "hidden-measure", "measure 2 comes with beat 4, the beat shown already: "
                  "the panel changes only when the beat does, so it keeps showing measure 1",
                  "*f1-2-4"),
          args=["--ignore=timing", "a"]),
    check("the measure length is the largest beat stamped",
          wve("*nXY=1,1", "*f1-1-1", "0", "*f1-1-2", "0", "*f1-1-3", "0", "*f1-2-1", "0")),
    check("a larger beat after measure 1 changes the measure length of the whole file",
          wve("*nXY=1,1", "*f1-1-1", "0", "*f1-1-2", "0", "*f1-2-1", "0", "*f1-2-2", "0",
              "*f1-2-3", "0"),
          finding(6, 1, "timing", "frame stamped measure 2 beat 1 plays at measure 1 beat 3, 1 "
                  "beat early: the frames before it last less than the stamps say (3 beats a "
                  "measure)", "*f1-2-1")),
    check("a measure length given on the command line",
          wve("*nXY=1,1", "*f1-1-1", "0", "*f1-1-2", "0", "*f1-1-3", "0", "*f1-2-1", "0",
              "*f1-2-2", "0"),
          finding(8, 1, "timing", "frame stamped measure 2 beat 1 plays at measure 1 beat 4, 1 "
                  "beat early: the frames before it last less than the stamps say (4 beats a "
                  "measure)", "*f1-2-1"),
          args=["--beats-per-measure", "4", "a"]),
    check("one slip is reported once; stamps start the count again",
          wve("*nXY=1,1", "*f1-1-1-0/2", "0", "*f1-1-2-0/2", "0", "*f1-1-2-0/2", "0",
              "*f1-1-3-0/2", "0", "*f1-1-3-0/2", "0"),
          finding(4, 1, "timing", "frame stamped measure 1 beat 2 plays at measure 1 beat 1 + "
                  "12/24, 12/24 of a beat early: the frames before it last less than the stamps "
                  "say (3 beats a measure)", "*f1-1-2-0/2")),
    check("frames without a stamp take their time, a negative division starts afresh",
          wve("*nXY=1,1", "*f1-1-1-0/2", "0", "*f", "0", "*f1-1-2", "0", "*f1-1-4-0/-1", "0",
              "*f1-2-2", "0", "*f1-2-3", "0"),
          args=["--ignore", "frame-record,division,hidden-measure", "a"]),
    check("a record whose division is 0 keeps the division in force",
          wve("*nXY=1,1", "*f1-1-1-0/2", "0", "*f1-1-1-0/0", "0", "*f1-1-2-0/0", "0",
              "*f1-1-2-0/0", "0", "*f1-1-3", "0"),
          args=["--ignore", "division", "a"]),

    # one mistake, one finding: its cause as a note, its cascade folded
    Case("a division left out is named as the cause of the late frame, in both forms",
         ["--format=json", "a"], files={"a.wve": FORGOTTEN_DIVISION},
         stdout=("[\n  " + json.dumps({
             "file": "a.wve", "line": 12, "column": 1, "check": "timing",
             "message": "frame stamped measure 1 beat 3 plays at measure 1 beat 4, 1 beat late: the "
                        "frames before it last more than the stamps say, as a division changed "
                        "before it (4 beats a measure)",
             "notes": [{"file": "a.wve", "line": 8, "column": 1,
                        "message": "this record has three numbers, so it sets the division back "
                                   "to 1 (from 2): a frame lasts a quarter note from here, not 1/2 "
                                   "of a quarter note (\"-0/2\" at its end keeps it)"}]},
             ensure_ascii=False) + "\n]\n").encode(),
         stderr=summary(1, 1), status=1),
    Case("a misspelt grid line: one finding, and --all shows what follows from it",
         ["--all", "a"], files={"a.wve": wve("*nxy=2,1", *FOUR_BEATS)}, stdout=None,
         stderr=summary(53, 1), status=1),
    check("a misspelt grid line makes one finding", wve("*nxy=2,1", *FOUR_BEATS),
          finding(1, 1, "unknown-directive", 'unknown directive "*nxy=2,1": the line is ignored; '
                  'did you mean "*nXY="?', "*nxy=2,1")
          + b"a.wve:3:1: note: the grid stays 24 x 5, so 52 more findings follow from this line "
            b"(lines 3-33); --all shows them\n"),

    # output forms and the command line
    check("findings as one JSON array, always UTF-8",
          {"a.wve": wve("*END", "*終わり"), "b.wve": wve("*nXY=24,5")},
          as_json(("a.wve", 1, 1, "unknown-directive",
                   'unknown directive "*END": the line is ignored; did you mean "*end"?'),
                  ("a.wve", 2, 1, "unknown-directive",
                   'unknown directive "*終わり": the line is ignored')),
          args=["--format", "json", "a", "b"], stderr=summary(2, 1)),
    check("no finding in JSON is an empty array", CLEAN, as_json(), args=["--format=json", "a"],
          status=0, stderr=b""),
    check("quoted text in UTF-8 in a UTF-8 locale, the file's own bytes otherwise",
          {"a.wve": wve("*終わり", b"*\x81"), "b.wve": wve("*終わり")},
          finding(1, 1, "unknown-directive", 'unknown directive "*終わり": the line is ignored',
                  "*終わり".encode()).replace(sjis("*終わり"), "*終わり".encode()),
          finding(2, 1, "unknown-directive", 'unknown directive "*\\x81": the line is ignored',
                  b"*\\x81"),
          args=["a"], env={"LC_ALL": "C.UTF-8"}, tags={"posix"}),
    check("colour when asked for",
          wve("*END"),
          b"\x1b[1ma.wve:1:1:\x1b[0m \x1b[1;35mwarning:\x1b[0m unknown directive \"*END\": the "
          b"line is ignored; did you mean \"*end\"? [\x1b[1;35munknown-directive\x1b[0m]\n*END\n"
          b"\x1b[1;32m^\x1b[0m\n",
          args=["--color=always", "a"], env={"NO_COLOR": "1"}),
    check("no colour in a pipe, nor with NO_COLOR", wve("*END"),
          finding(1, 1, "unknown-directive", 'unknown directive "*END": the line is ignored; did '
                  'you mean "*end"?', "*END"),
          args=["--color=auto", "a"], env={"NO_COLOR": "1"}),
    check("several files, one of them missing",
          {"a.wve": wve("*END"), "c.txt": wve("*zzz")},
          finding(1, 1, "unknown-directive", 'unknown directive "*END": the line is ignored; did '
                  'you mean "*end"?', "*END"),
          finding(1, 1, "unknown-directive", 'unknown directive "*zzz": the line is ignored',
                  "*zzz", name="c.txt"),
          args=["a", "missing", "c.txt"], status=2,
          stderr=b"mosaiq-check: cannot read missing.wve: No such file or directory\n"
          + summary(2, 2), tags={"posix"}),
    check("a folder is not a file", {"dir/x.wve": b""}, args=["dir"], status=2,
          stderr=b"mosaiq-check: cannot read dir.wve: No such file or directory\n", tags={"posix"}),
    check("a folder named with its extension", {"d.wve/x": b""}, args=["d.wve"], status=2,
          stderr=b"mosaiq-check: cannot read d.wve: Is a directory\n", tags={"posix"}),
    check("checks left out with --ignore",
          wve("*END", "*nXY=1,1", " *p"),
          args=["--ignore", "unknown-directive", "--ignore=ignored-grid,indented-directive", "a"]),
    Case("an unknown check is bad usage", ["--ignore", "row-lenght", "a"], status=2,
         stderr=b"mosaiq-check: unknown check 'row-lenght'\n" + USAGE),
    Case("a measure length below 1 is bad usage", ["--beats-per-measure", "0", "a"], status=2,
         stderr=b"mosaiq-check: --beats-per-measure takes a number of beats from 1 up\n" + USAGE),
    Case("an unknown format is bad usage", ["--format", "xml", "a"], status=2,
         stderr=b"mosaiq-check: --format takes text or json, not 'xml'\n" + USAGE),
    Case("an unknown option is bad usage", ["--colour", "a"], status=2,
         stderr=b"mosaiq-check: unknown option '--colour'\n" + USAGE),
    Case("no file is bad usage", [], status=2, stderr=b"mosaiq-check: no file to check\n" + USAGE),
    Case("the version", ["--version"], stdout=b"mosaiq-check 1.26\n"),
    Case("-- ends the options", ["--ignore=no-frames", "--", "-x"], files={"-x.wve": wve("*END")},
         stdout=finding(1, 1, "unknown-directive", 'unknown directive "*END": the line is '
                        'ignored; did you mean "*end"?', "*END", name="-x.wve"), status=1,
         stderr=summary(1, 1)),
]