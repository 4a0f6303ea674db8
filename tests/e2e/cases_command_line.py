"""The option and file loop, names, the overwrite question, fatal errors and exit statuses."""

import os

from e2e import (CANNOT_OPEN_OUTPUT, HELP, NO_FILE, SAME_FILE, WRITE_ERROR, Case, make_dirs,
                 progress, question, tagged_script, tagged_source, utf8, wve)


A, B, C = ({f"{t}.wve": tagged_source(t)} for t in "abc")
AB = {**A, **B}
ABC = {**AB, **C}
OLD = b"old bytes\r\n"


def link(target, name, hard=False):
    def setup(root):
        make = os.link if hard else os.symlink
        make(target if target.startswith("/") else os.path.join(root, target),
             os.path.join(root, name))
    return setup


CASES = [
    # Help text and when it is printed.
    Case("no arguments print the help", [], stdout=HELP),
    *[Case(f"{opt} prints the help and converts nothing after it", [opt, "a"], files=A,
           stdout=HELP) for opt in ("-h", "-H", "/h", "-help", "/HELP")],
    Case("files before -h are converted", ["a", "-h", "b"], files=AB,
         stdout=progress("a.wve", "a.wrd") + HELP, expect={"a.wrd": tagged_script("a")}),
    Case("an option as the last argument prints the help", ["a", "-i"], files=A,
         stdout=progress("a.wve", "a.wrd") + HELP, expect={"a.wrd": tagged_script("a")}),
    Case("a name after -o and no file prints the help", ["-o", "out"], files=A, stdout=HELP),
    Case("a lone -o at the end prints the help", ["a", "-o"], files=A,
         stdout=progress("a.wve", "a.wrd") + HELP, expect={"a.wrd": tagged_script("a")}),
    Case("/? alone prints the help", ["/?"], stdout=HELP),
    Case("a lone - at the end prints the help", ["-"], stdout=HELP),
    Case("help after a skipped file is still status 0", ["-i", "a", "-h"],
         files={**A, "a.wrd": OLD}, stdin=b"n\n", stdout=question("a.wrd") + HELP),

    # Options.
    Case("-o names the next file's output only", ["-o", "out", "a", "b"], files=AB,
         stdout=progress("a.wve", "out.wrd") + progress("b.wve", "b.wrd"),
         expect={"out.wrd": tagged_script("a"), "b.wrd": tagged_script("b")}),
    Case("-o then -i asks about the -o name", ["-o", "out", "-i", "a"],
         files={**A, "out.wrd": OLD}, stdin=b"y\n",
         stdout=question("out.wrd") + progress("a.wve", "out.wrd"),
         expect={"out.wrd": tagged_script("a")}),
    Case("of several -o the last wins", ["-o", "x", "-o", "y", "a"], files=A,
         stdout=progress("a.wve", "y.wrd"), expect={"y.wrd": tagged_script("a")}),
    Case("the name after -o is taken whatever it holds", ["-o", "-i", "a"],
         files={**A, "-i.wrd": OLD}, stdout=progress("a.wve", "-i.wrd"),
         expect={"-i.wrd": tagged_script("a")}),
    Case("unknown options are ignored", ["-x", "/z", "a"], files=A,
         stdout=progress("a.wve", "a.wrd"), expect={"a.wrd": tagged_script("a")}),
    *[Case(f"{opt} acts as -o", [opt, "out", "a"], files=A, stdout=progress("a.wve", "out.wrd"),
           expect={"out.wrd": tagged_script("a")}) for opt in ("-O", "/o", "-out")],
    Case("-o out.txt still writes out.wrd", ["-o", "out.txt", "a"], files=A,
         stdout=progress("a.wve", "out.wrd"), expect={"out.wrd": tagged_script("a")}),
    Case("a path from the root is a file name, not an option", ["{dir}/a"], files=A,
         stdout=None, expect={"a.wrd": tagged_script("a")}, tags={"posix"}),
    Case("an argument beginning with / is an option on Windows", ["/sub/a", "b"],
         files={"sub/a.wve": tagged_source("a"), **B}, stdout=progress("b.wve", "b.wrd"),
         expect={"b.wrd": tagged_script("b")}, tags={"windows"}),
    Case("names through folders", ["sub.d/a", "-o", "sub.d/o.x", "b"],
         files={"sub.d/a.wve": tagged_source("a"), **B},
         stdout=progress("sub.d/a.wve", "sub.d/a.wrd") + progress("b.wve", "sub.d/o.wrd"),
         expect={"sub.d/a.wrd": tagged_script("a"), "sub.d/o.wrd": tagged_script("b")}, tags={"posix"}),
    Case("names through folders, with backslashes", ["sub.d\\a", "-o", "sub.d\\o.x", "b"],
         files={"sub.d/a.wve": tagged_source("a"), **B},
         stdout=progress("sub.d\\a.wve", "sub.d\\a.wrd") + progress("b.wve", "sub.d\\o.wrd"),
         expect={"sub.d/a.wrd": tagged_script("a"), "sub.d/o.wrd": tagged_script("b")}, tags={"windows"}),
    # Only the backslash separates path components on Windows: the "." of a folder counts.
    Case("a slash does not separate path components", ["sub.d/a"],
         files={"sub.d/a.wve": tagged_source("a")}, status=2, stderr=NO_FILE, tags={"windows"}),
    Case("an explicit extension is kept for the input", ["a.txt", "c."],
         files={"a.txt": tagged_source("a"), "c.": tagged_source("c")},
         stdout=progress("a.txt", "a.wrd") + progress("c.", "c.wrd"),
         expect={"a.wrd": tagged_script("a"), "c.wrd": tagged_script("c")}, tags={"posix"}),
    # Windows drops the dot at the end of a name when it opens the file.
    Case("an explicit extension is kept for the input (Windows)", ["a.txt", "c."],
         files={"a.txt": tagged_source("a"), "c": tagged_source("c")},
         stdout=progress("a.txt", "a.wrd") + progress("c.", "c.wrd"),
         expect={"a.wrd": tagged_script("a"), "c.wrd": tagged_script("c")}, tags={"windows"}),
    Case("names longer than 255 bytes", [("d" * 200) + "/" + ("s" * 200)],
         files={("d" * 200) + "/" + ("s" * 200) + ".wve": tagged_source("a")},
         stdout=progress(("d" * 200) + "/" + ("s" * 200) + ".wve", ("d" * 200) + "/" + ("s" * 200) + ".wrd"),
         expect={("d" * 200) + "/" + ("s" * 200) + ".wrd": tagged_script("a")}, tags={"posix"}),
    Case("a name the file system refuses counts as missing", ["s" * 300], status=2,
         stderr=NO_FILE, tags={"posix"}),

    # The overwrite question.
    *[Case(f"answer {answer!r} overwrites", ["-i", "a"], files={**A, "a.wrd": OLD}, stdin=answer,
           stdout=question("a.wrd") + progress("a.wve", "a.wrd"), expect={"a.wrd": tagged_script("a")})
      for answer in (b"y\n", b"Y\n", b"yes\n", b"\n", b"x\n", b"maybe\n")],
    *[Case(f"answer {answer!r} skips", ["-i", "a"], files={**A, "a.wrd": OLD}, stdin=answer,
           status=1, stdout=question("a.wrd")) for answer in (b"n\n", b"N\n", b"no\n", b" n\n")],
    Case("end of input before an answer skips", ["-i", "a"], files={**A, "a.wrd": OLD}, stdin=b"",
         status=1, stdout=question("a.wrd") + b"\n"),
    Case("no standard input at all skips", ["-i", "a"], files={**A, "a.wrd": OLD}, stdin=None,
         status=1, stdout=question("a.wrd") + b"\n"),
    Case("the rest of yes is dropped before the next question", ["-i", "a", "b", "c"],
         files={**ABC, "a.wrd": OLD, "b.wrd": OLD, "c.wrd": OLD}, stdin=b"yes\nno\nY\n", status=1,
         stdout=question("a.wrd") + progress("a.wve", "a.wrd") + question("b.wrd")
         + question("c.wrd") + progress("c.wve", "c.wrd"),
         expect={"a.wrd": tagged_script("a"), "c.wrd": tagged_script("c")}),
    Case("-i and no output present: no question", ["-i", "a"], files=A,
         stdout=progress("a.wve", "a.wrd"), expect={"a.wrd": tagged_script("a")}),
    Case("without -i an existing output is replaced silently", ["a"], files={**A, "a.wrd": OLD},
         stdout=progress("a.wve", "a.wrd"), expect={"a.wrd": tagged_script("a")}),
    Case("-i stays in force for later files", ["-i", "a", "b"],
         files={**AB, "b.wrd": OLD}, stdin=b"n\n", status=1,
         stdout=progress("a.wve", "a.wrd") + question("b.wrd"), expect={"a.wrd": tagged_script("a")}),
    Case("question for a missing input, answered yes", ["-i", "z"], files={"z.wrd": OLD},
         stdin=b"y\n", status=2, stdout=question("z.wrd"), stderr=NO_FILE),
    Case("question for a missing input, answered no", ["-i", "z", "a"], files={**A, "z.wrd": OLD},
         stdin=b"n\n", status=1, stdout=question("z.wrd") + progress("a.wve", "a.wrd"),
         expect={"a.wrd": tagged_script("a")}),
    Case("an output that is a folder is not asked about", ["-i", "a"], files=A,
         setup=make_dirs("a.wrd"), status=2, stderr=CANNOT_OPEN_OUTPUT),

    # Statuses and fatal errors.
    Case("a skipped first file and a converted second give status 1", ["-i", "a", "b"],
         files={**AB, "a.wrd": OLD}, stdin=b"n\n", status=1,
         stdout=question("a.wrd") + progress("b.wve", "b.wrd"), expect={"b.wrd": tagged_script("b")}),
    Case("a missing input ends the run; later files are not looked at", ["a", "z", "b"],
         files=AB, status=2, stdout=progress("a.wve", "a.wrd"), stderr=NO_FILE,
         expect={"a.wrd": tagged_script("a")}),
    Case("a missing input creates no output", ["z"], status=2, stderr=NO_FILE),
    Case("a folder given as input counts as missing", ["d"], setup=make_dirs("d.wve"), status=2,
         stderr=NO_FILE),
    Case("an output in a missing folder cannot be opened", ["-o", "nowhere/out", "a", "b"],
         files=AB, status=2, stderr=CANNOT_OPEN_OUTPUT),
    Case("a failed write ends the run with status 2", ["-o", "full", "a", "b"], files=AB,
         setup=link("/dev/full", "full.wrd"), status=2, stdout=progress("a.wve", "full.wrd"),
         stderr=WRITE_ERROR, tags={"posix"}),
    Case("stdout and stderr keep the order of events", ["a", "z"], files=A, status=2,
         stdout=progress("a.wve", "a.wrd") + NO_FILE, tags={"merged"},
         expect={"a.wrd": tagged_script("a")}),
    Case("a standard output that cannot be written changes nothing", ["a"], files=A,
         stdout_file="/dev/full", expect={"a.wrd": tagged_script("a")}, tags={"posix"}),

    # The input is never destroyed.
    Case("an input named .wrd is its own output", ["a.wrd"], files={"a.wrd": tagged_source("a")},
         status=2, stderr=SAME_FILE),
    Case("-o naming the input", ["-o", "x", "x.wrd"], files={"x.wrd": tagged_source("x")}, status=2,
         stderr=SAME_FILE),
    Case("an output that is a hard link to the input", ["-o", "h", "a"], files=A,
         setup=link("a.wve", "h.wrd", hard=True), status=2, stderr=SAME_FILE),
    Case("an output that is a symbolic link to the input", ["-o", "s", "a"], files=A,
         setup=link("a.wve", "s.wrd"), status=2, stderr=SAME_FILE, tags={"posix"}),
    Case("the same-file check comes after the files before it", ["b", "a.wrd", "c"],
         files={**B, **C, "a.wrd": tagged_source("a")}, status=2, stdout=progress("b.wve", "b.wrd"),
         stderr=SAME_FILE, expect={"b.wrd": tagged_script("b")}),

    # The program's own Japanese texts follow the locale's codeset on POSIX; names and scripts
    # never do.
    Case("a UTF-8 locale shows the help in UTF-8", ["-h"], stdout=utf8(HELP),
         env={"LC_ALL": "C.UTF-8"}, tags={"posix"}),
    Case("a UTF-8 locale shows the messages in UTF-8", ["nosuch"], status=2,
         stderr=utf8(NO_FILE), env={"LC_ALL": "C.UTF-8"}, tags={"posix"}),
    Case("names and scripts stay as they are in a UTF-8 locale", ["\u30bd\u30f3\u30b0"],
         files={"\u30bd\u30f3\u30b0.wve": wve("*p1,\u66f2")},
         stdout=("\u30bd\u30f3\u30b0.wve ==> \u30bd\u30f3\u30b0.wrd\n").encode(),
         expect={"\u30bd\u30f3\u30b0.wrd": tagged_script("\u66f2")}, env={"LC_ALL": "C.UTF-8"},
         tags={"posix"}),
    Case("LANG alone chooses too", ["nosuch"], status=2, stderr=utf8(NO_FILE),
         env={"LC_ALL": "", "LC_CTYPE": "", "LANG": "C.UTF-8"}, tags={"posix"}),
    Case("a locale that is not UTF-8 keeps Shift_JIS", ["-h"], stdout=HELP, env={"LC_ALL": "C"}),
]