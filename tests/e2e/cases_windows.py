"""Windows only: the program splits its own command line and expands its own wildcards.

Each case hands the program an exact command line through the launcher (Wine would rebuild a
command line from separate arguments). Names that hold Japanese text are Shift_JIS on the command
line and on the console; Wine keeps them as UTF-8 in the Linux file system, so the files below are
named in UTF-8.
"""

from e2e import (CANNOT_OPEN_OUTPUT, HELP, NO_FILE, Case, make_dirs, progress, sjis, tagged_script,
                 tagged_source)


def windows(name, command_line, **fields):
    """A case run with the command line given as text; it is written in Shift_JIS."""
    return Case(name, [], command_line=sjis(command_line), tags={"windows"}, **fields)


A, B = {"a.wve": tagged_source("a")}, {"b.wve": tagged_source("b")}
AB = {**A, **B}

CASES = [
    # Splitting.
    windows("runs of blanks and tabs separate arguments", "mosaiq   a \t\t  b \t", files=AB,
            stdout=progress("a.wve", "a.wrd") + progress("b.wve", "b.wrd"),
            expect={"a.wrd": tagged_script("a"), "b.wrd": tagged_script("b")}),
    windows("a quoted stretch keeps its blanks, also in the middle of an argument",
            'mosaiq "a b" x" "y', files={"a b.wve": tagged_source("ab"), "x y.wve": tagged_source("xy")},
            stdout=progress("a b.wve", "a b.wrd") + progress("x y.wve", "x y.wrd"),
            expect={"a b.wrd": tagged_script("ab"), "x y.wrd": tagged_script("xy")}),
    windows("2n backslashes before a quote give n, and the quote still counts",
            'mosaiq "sub\\\\"x sub\\\\"y z"', files={"sub/x.wve": tagged_source("x"),
                                                      "sub/y z.wve": tagged_source("yz")},
            stdout=progress("sub\\x.wve", "sub\\x.wrd") + progress("sub\\y z.wve", "sub\\y z.wrd"),
            expect={"sub/x.wrd": tagged_script("x"), "sub/y z.wrd": tagged_script("yz")}),
    # A literal double quote cannot be part of a Windows name: the -o name that holds one makes
    # the output impossible to open, which shows the input after it was an argument of its own.
    windows("2n+1 backslashes before a quote give n and a literal quote",
            'mosaiq -o x\\"y a', files=A, status=2, stderr=CANNOT_OPEN_OUTPUT),
    windows("two quotes inside a quoted stretch give a quote and end the stretch",
            'mosaiq -o "x"" a', files=A, status=2, stderr=CANNOT_OPEN_OUTPUT),
    windows("backslashes not before a quote are literal", "mosaiq sub\\\\a",
            files={"sub/a.wve": tagged_source("a")}, stdout=progress("sub\\\\a.wve", "sub\\\\a.wrd"),
            expect={"sub/a.wrd": tagged_script("a")}),
    windows("a quoted program name runs to the next quote, without backslash rules",
            '"C:\\my tools\\mosaiq\\" a', files=A, stdout=progress("a.wve", "a.wrd"),
            expect={"a.wrd": tagged_script("a")}),
    windows("an unquoted program name runs to the next blank", 'mos"iq a', files=A,
            stdout=progress("a.wve", "a.wrd"), expect={"a.wrd": tagged_script("a")}),
    windows("a double-byte character whose second byte is 0x5C is one unit",
            'mosaiq "ソ" b', files={"ソ.wve": tagged_source("so"), **B},
            stdout=progress("ソ.wve", "ソ.wrd") + progress("b.wve", "b.wrd"),
            expect={"ソ.wrd": tagged_script("so"), "b.wrd": tagged_script("b")}),
    windows("0x5C inside a double-byte character does not separate a path component",
            "mosaiq a.ソ", files={"a.ソ": tagged_source("a")}, stdout=progress("a.ソ", "a.wrd"),
            expect={"a.wrd": tagged_script("a")}),

    # Wildcards.
    windows("matches are sorted without regard to case", "mosaiq *.wve",
            files={"B.wve": tagged_source("B"), "a.wve": tagged_source("a"), "c.txt": tagged_source("c")},
            stdout=progress("a.wve", "a.wrd") + progress("B.wve", "B.wrd"),
            expect={"a.wrd": tagged_script("a"), "B.wrd": tagged_script("B")}),
    windows("a quoted wildcard is not expanded", 'mosaiq "*.wve"', files=A, status=2,
            stderr=NO_FILE),
    windows("a wildcard quoted only in its middle is expanded", 'mosaiq a"*".wve', files=AB,
            stdout=progress("a.wve", "a.wrd"), expect={"a.wrd": tagged_script("a")}),
    windows("a directory that matches is handed on as a file argument", "mosaiq *.wve",
            files=A, setup=make_dirs("d.wve"), status=2, stdout=progress("a.wve", "a.wrd"),
            stderr=NO_FILE, expect={"a.wrd": tagged_script("a")}),
    windows("-o serves only the first match", "mosaiq -o out *.wve",
            files={**AB, "c.wve": tagged_source("c")},
            stdout=progress("a.wve", "out.wrd") + progress("b.wve", "b.wrd")
            + progress("c.wve", "c.wrd"),
            expect={"out.wrd": tagged_script("a"), "b.wrd": tagged_script("b"), "c.wrd": tagged_script("c")}),
    windows("a match whose name begins with - acts as an option", "mosaiq *.wve",
            files={**A, "-h.wve": tagged_source("h")}, stdout=HELP),
    windows("matches in a folder keep the folder part as written",
            "mosaiq sub\\*.wve sub/*.wve", files={"sub/a.wve": tagged_source("a")},
            stdout=progress("sub\\a.wve", "sub\\a.wrd") + progress("sub/a.wve", "sub/a.wrd"),
            expect={"sub/a.wrd": tagged_script("a")}),
    windows("? matches exactly one character", "mosaiq ?.wve",
            files={**AB, "ab.wve": tagged_source("ab")},
            stdout=progress("a.wve", "a.wrd") + progress("b.wve", "b.wrd"),
            expect={"a.wrd": tagged_script("a"), "b.wrd": tagged_script("b")}),
    windows("a pattern that matches nothing is passed on unchanged", "mosaiq a z*", files=A,
            status=2, stdout=progress("a.wve", "a.wrd"), stderr=NO_FILE,
            expect={"a.wrd": tagged_script("a")}),
    windows("double-byte names are found and sorted as units", "mosaiq *.wve",
            files={"ソ.wve": tagged_source("so"), "Ｂ.wve": tagged_source("B"), "ａ.wve": tagged_source("a")},
            stdout=progress("ａ.wve", "ａ.wrd") + progress("Ｂ.wve", "Ｂ.wrd")
            + progress("ソ.wve", "ソ.wrd"),
            expect={"ａ.wrd": tagged_script("a"), "Ｂ.wrd": tagged_script("B"), "ソ.wrd": tagged_script("so")}),
]
