"""Building blocks of the end-to-end cases: a case record and the bytes the program writes.

Japanese texts are written here as they read and turned into Shift_JIS by iconv's CP932, a
conversion independent of the program's own byte tables.
"""

import functools
import os
import subprocess

ABSENT = object()  # in `expect`: the file must not exist after the run
ANY = object()  # in `expect`: the file must exist; its bytes are checked by `check`


class Case:
    """One run of the program in a fresh scratch directory.

    files:   name -> bytes, created before the run (names may hold "/": folders are made).
    setup:   callable(dir) for what bytes cannot say: links, folders, special files.
    args:    the arguments after the program's name; "{dir}" stands for the scratch directory.
    stdin:   bytes fed to standard input (None: no input at all).
    expect:  name -> bytes or ABSENT. Every other file present before the run must be unchanged,
             and no file may appear that is not named here.
    stdout, stderr, status: exactly what the run must write and return; None skips the check.
             A set of statuses accepts any of them.
    tags:    "posix" / "windows" limit a case to one platform; "32-bit" to a 32-bit program;
             "plain" skips it in a sanitizer build; "merged" runs with standard error sent into
             standard output.
    limits:  arguments for prlimit, e.g. ["--as=1000000000"] (POSIX only).
    command_line: (Windows) the exact command line, bytes, handed to the program through the
             launcher instead of `args`; it begins with the program's name.
    check:   callable(dir) run after the program; returns a list of problems.
    max_rss_mb: a bound on the program's peak resident memory (a sanitizer build gets more).
    labels:  CTest labels of the case when it runs as a test of its own.
    env:     environment variables for the run, over the runner's own (LC_ALL=C).
    """

    def __init__(self, name, args, files=None, setup=None, stdin=None, status=0, stdout=b"",
                 stderr=b"", expect=None, tags=(), limits=None, stdout_file=None, check=None, timeout=60, max_rss_mb=None,
                 labels=(), command_line=None, env=None):
        self.name = name
        self.args = list(args)
        self.files = dict(files or {})
        self.setup = setup
        self.stdin = stdin
        self.status = status
        self.stdout = stdout
        self.stderr = stderr
        self.expect = dict(expect or {})
        self.tags = set(tags)
        self.limits = limits
        self.stdout_file = stdout_file
        self.check = check
        self.timeout = timeout
        self.max_rss_mb = max_rss_mb
        self.labels = list(labels)
        self.command_line = command_line
        self.env = dict(env or {})

    @property
    def slug(self):
        return "".join(c if c.isalnum() else "_" for c in self.name).strip("_")


@functools.lru_cache(maxsize=None)
def sjis(text):
    """The text in Shift_JIS, converted by iconv (ASCII is the same in both)."""
    if text.isascii():
        return text.encode("ascii")
    return subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], input=text.encode("utf-8"),
                          stdout=subprocess.PIPE, check=True).stdout


def console(*lines):
    """Console output: each line ended by "\\n" (the runner adapts line ends to the platform)."""
    return b"".join(sjis(line) + b"\n" for line in lines)


def utf8(text):
    """A console text as a UTF-8 locale shows it: the same text in UTF-8 instead of Shift_JIS."""
    return subprocess.run(["iconv", "-f", "CP932", "-t", "UTF-8"], input=text,
                          stdout=subprocess.PIPE, check=True).stdout


def wrd(*lines):
    """WRD script bytes: each line in Shift_JIS and ended by CR LF. "ESC" stands for 0x1B."""
    return b"".join(sjis(line.replace("ESC", "\x1b")) + b"\r\n" for line in lines)


def wve(*lines, end=b"\n"):
    """WVE input: each line (str or bytes) ended by `end`."""
    return b"".join((line if isinstance(line, bytes) else sjis(line)) + end for line in lines)


HEADER = ("@startup(400)", "@wmode(23);", "@wait(0);", "")


def pattern(number, text):
    """The panel's pattern line: the number as "%2d", then the pattern's text."""
    return ("ESC[1;9H;", f"ESC[33m{number}   ESC[0K{text};")


def tagged_source(tag):
    """A WVE file whose script shows which input it came from: pattern 1 with the tag."""
    return wve(f"*p1,{tag}")


def tagged_script(tag):
    """The script of tagged_source(tag)."""
    return wrd(*HEADER, "ESC[1;1H;", "ESC[33mPattern      ESC[0K;", *pattern(" 1", tag))


def make_dirs(*names):
    """A case's setup that makes these folders in the scratch directory."""
    return lambda root: [os.makedirs(os.path.join(root, n)) for n in names]

HELP = console(
    "",
    "mosaiq  Ver.1.26",
    "Copyright (C) 2026 The mosaiq Authors",
    "使用法 : mosaiq [<option>] <filename> ...",
    " <option>  -o file : 出力ファイル名を file に変更",
    "           -i      : 同名ファイル存在時に、上書きするかどうか尋ねる。",
    "           -h      : このヘルプを表示",
    "",
)

NO_FILE = console("ファイルがありません。")
CANNOT_OPEN_OUTPUT = console("出力ファイルをオープンできません。")
OUT_OF_MEMORY = console("メモリが足りません。")
WRITE_ERROR = console("ファイル書き込み中にエラーが発生しました。")
READ_ERROR = console("ファイル読み込み中にエラーが発生しました。")
SAME_FILE = console("入力ファイルと出力ファイルが同じです。")


def progress(input_name, output_name):
    return console(f"{input_name} ==> {output_name}")


def question(output_name):
    return sjis(f'"{output_name}" already exists. 0verwite? (y/n) : ')
