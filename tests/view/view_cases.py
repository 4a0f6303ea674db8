#!/usr/bin/env python3
"""End-to-end checks of mosaiq-view: the shipped example converted by mosaiq and viewed frame by
frame; the timeline against songs built here in 4/4, 3/4 and 6/8 with tempo changes; WVE files
read straight; the page written safely; the terminal player in a pseudo-terminal; options and
statuses.

usage: view_cases.py --mosaiq PATH --view PATH [--browser]

With --browser it runs browser/browser_test.js instead, which drives the page in headless
Chromium through puppeteer-core (npm ci in tests/view/browser). Without Node.js, puppeteer-core
or Chromium it says so and exits with 77, CTest's "skipped"; under CI that is a failure.
"""

import argparse
import fcntl
import os
import pty
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
failures = []


def check(name, actual, expected):
    if actual != expected:
        failures.append(f"{name}:\n  expected {expected!r}\n  actual   {actual!r}")


def run(args, cwd, stdin=None, limits=None):
    command = (["prlimit"] + limits + ["--"] if limits else []) + args
    result = subprocess.run(command, cwd=cwd, capture_output=True, timeout=60,
                            input=stdin, stdin=None if stdin is not None else subprocess.DEVNULL)
    return result.returncode, result.stdout, result.stderr.decode("utf-8", "replace")


# Songs, byte by byte: a Standard MIDI File of one tempo track.
def quantity(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def song(numerator, power, tempos, division=480, form=1):
    """tempos: [(tick, quarter notes a minute)]. A second track holds a note, as songs do."""
    events = quantity(0) + bytes([0xFF, 0x58, 4, numerator, power, 24, 8])
    tick = 0
    for at, bpm in tempos:
        events += quantity(at - tick) + bytes([0xFF, 0x51, 3]) + (60000000 // bpm).to_bytes(3, "big")
        tick = at
    events += quantity(0) + b"\xff\x2f\x00"
    note = quantity(0) + b"\x90\x3c\x40" + quantity(division) + b"\x80\x3c\x40\x00\xff\x2f\x00"
    tracks = [events, note]
    header = b"MThd" + struct.pack(">IHHH", 6, form, len(tracks), division)
    return header + b"".join(b"MTrk" + struct.pack(">I", len(t)) + t for t in tracks)


def no_song(name):
    """What the viewer says once, after a run that went well, when it found no song beside the
    script and was given no tempo."""
    return (f"mosaiq-view: no song found (looked for {name}); timing assumes 4/4 at 120 quarter "
            "notes a minute\n")


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def convert_example(options, work):
    shutil.copy(os.path.join(ROOT, "examples", "demo.wve"), work)
    status, _, _ = run([options.mosaiq, "demo"], work)
    check("mosaiq converts the example", status, 0)


def frames_of_example(options, work):
    for k, plain in (("1", True), ("20", False), ("end", False)):
        args = [options.view, "--frame", k] + (["--plain"] if plain else []) + ["demo.wrd"]
        status, out, err = run(args, work)
        name = f"demo_frame_{k}{'_plain' if plain else ''}.txt"
        with open(os.path.join(HERE, "expected", name), "rb") as f:
            check(f"--frame {k}", (status, out, err), (0, f.read(), ""))


def wve_read_straight(options, work):
    for args in (["--frame", "20"], ["--frame", "end", "--plain"], ["--list"]):
        script = run([options.view] + args + ["demo.wrd"], work)
        check(f"{args} of the WVE file equal those of its script",
              run([options.view] + args + ["demo.wve"], work), script)
    shutil.copy(os.path.join(work, "demo.wve"), os.path.join(work, "LOUD.WVE"))
    check("the extension in any case", run([options.view, "--list", "LOUD.WVE"], work)[:2],
          run([options.view, "--list", "demo.wrd"], work)[:2])
    check("a name without an extension is the WVE file's",
          run([options.view, "--list", "demo"], work)[:2], run([options.view, "--list", "demo.wve"], work)[:2])
    with open(os.path.join(work, "demo.wrd"), "rb") as f:
        script = f.read()
    check("a script on standard input", run([options.view, "--list", "-"], work, stdin=script),
          (0, run([options.view, "--list", "demo.wrd"], work)[1],
           "mosaiq-view: no song found (standard input has no name to look beside); timing "
           "assumes 4/4 at 120 quarter notes a minute\n"))
    write(work, "notes.txt", b"*nXY=3,2\n*f1-1-1\n")
    check("neither a script nor a WVE file", run([options.view, "--frame", "0", "notes.txt"], work),
          (2, b"", "mosaiq-view: notes.txt does not look like a WRD script (it has no @startup "
                   "line); a WVE file is read as one when its name ends in .wve\n"))


def listed(out):
    """The --list table as rows of strings, without its header."""
    lines = out.decode().split("\n")
    check("the list's header", lines[0],
          "frame\tstart\tsong_measure\tsong_beat\tpattern\tmeasure\tbeat")
    return [line.split("\t") for line in lines[1:] if line]


def bars(out):
    """The song's measure:beat of every frame, from the --list table."""
    return [f"{row[2]}:{row[3]}" for row in listed(out)]


def timeline_with_songs(options, work):
    status, out, err = run([options.view, "--list", "demo.wrd"], work)
    rows = listed(out)
    check("no song: 4/4 at 120, and it says so", (status, rows[:3], err),
          (0, [["0", "0.000", "1", "1", "", "", ""], ["1", "2.500", "2", "2", "1", "1", "1"],
               ["2", "3.000", "2", "3", "1", "1", "2"]], no_song("demo.mid")))
    # After the header, six frames: four a beat long (@wmode(23)), two half a beat (@wmode(11)).
    write(work, "t.wve", b"*nXY=1,1\n*f1-1-1\n1\n*f1-1-2\n2\n*f1-1-3\n3\n*f1-1-4-0/2\n4\n"
                         b"*f1-1-4-0/2\n5\n*f1-2-1\n6\n")
    run([options.mosaiq, "t"], work)
    cases = (
        # 3/4 at 120, then 60 from quarter note 5: frame 1 at 3 + 1 quarter notes.
        ("3/4 with a tempo change", song(3, 2, [(0, 120), (2400, 60)]),
         ["0.000", "2.000", "2.500", "3.500", "4.500", "5.000", "5.500"],
         ["1:1", "2:2", "2:3", "3:1", "3:2", "3:2", "3:3"]),
        # 6/8: a measure of three quarter notes, a beat an eighth; 90, then 180 from quarter 4.
        ("6/8 with a tempo change", song(6, 3, [(0, 90), (1920, 180)]),
         ["0.000", "2.667", "3.000", "3.333", "3.667", "3.833", "4.000"],
         ["1:1", "2:3", "2:5", "3:1", "3:3", "3:4", "3:5"]),
        # 4/4 at 100, then 150 from quarter note 2, the song's division 96.
        ("4/4 with a tempo change", song(4, 2, [(0, 100), (192, 150)], division=96),
         ["0.000", "2.400", "2.800", "3.200", "3.600", "3.800", "4.000"],
         ["1:1", "2:2", "2:3", "2:4", "3:1", "3:1", "3:2"]),
    )
    for name, midi, starts, song_bars in cases:
        write(work, "t.mid", midi)
        status, out, err = run([options.view, "--list", "t.wrd"], work)
        check(f"{name}: the song beside the script", (status, [r[1] for r in listed(out)], err),
              (0, starts, ""))
        check(f"{name}: the song's measures and beats", bars(out), song_bars)
        os.rename(os.path.join(work, "t.mid"), os.path.join(work, "other.mid"))
        status, out, err = run([options.view, "--midi", "other.mid", "--list", "t.wve"], work)
        check(f"{name}: the song named", [r[1] for r in listed(out)], starts)
        os.remove(os.path.join(work, "other.mid"))
    write(work, "t.MID", song(3, 2, [(0, 120)]))
    status, out, _ = run([options.view, "--list", "t.wrd"], work)
    check("a song named .MID", [r[1] for r in listed(out)][1], "2.000")
    status, out, _ = run([options.view, "--list", "--bpm", "60", "t.wrd"], work)
    check("--bpm keeps the song's signature", [r[1] for r in listed(out)][:3], ["0.000", "4.000", "5.000"])
    status, out, _ = run([options.view, "--list", "--bpm", "140.06", "t.wrd"], work)
    check("--bpm takes a decimal tempo", [r[1] for r in listed(out)][1], f"{4 * 60 / 140.06:.3f}")
    os.remove(os.path.join(work, "t.MID"))
    check("the panel in the list", listed(run([options.view, "--list", "t.wrd"], work)[1])[5],
          ["5", "4.250", "3", "1", "1", "1", "4"])


def songs_refused(options, work):
    for name, midi, reason in (
            ("format 2", song(4, 2, [(0, 120)], form=2),
             "a MIDI file of format 2 (independent songs) has no one tempo map"),
            ("SMPTE timing", song(4, 2, [(0, 120)])[:12] + b"\xe7\x28" + song(4, 2, [(0, 120)])[14:],
             "a MIDI file timed in SMPTE frames, not in beats"),
            ("not a song", b"RIFF....WAVEfmt ", "not a Standard MIDI File")):
        write(work, "bad.mid", midi)
        check(f"a song of {name}", run([options.view, "--list", "--midi", "bad.mid", "t.wrd"], work),
              (2, b"", f"mosaiq-view: cannot use the song bad.mid: {reason}\n"))
    check("a song that is missing", run([options.view, "--list", "--midi", "none.mid", "t.wrd"], work),
          (2, b"", "mosaiq-view: cannot read the song none.mid: No such file or directory\n"))
    write(work, "extra.mid", song(4, 2, [(0, 120)]) + b"trailing bytes")
    status, out, err = run([options.view, "--list", "--midi", "extra.mid", "t.wrd"], work)
    check("a song with bytes after its last track is read as players read it",
          (status, [r[1] for r in listed(out)][1], err),
          (0, "2.500", "mosaiq-view: note: the song extra.mid: 14 bytes follow its last track; it is "
                       "read as players read it\n"))


def pages_written_safely(options, work):
    """What only real files show: links, a full disk, a file-size limit. The rules themselves are
    the unit tests' (view_command_test.cpp)."""
    os.symlink("demo.wrd", os.path.join(work, "link.html"))
    check("a page over its script through a link",
          run([options.view, "--html", "link.html", "demo.wrd"], work),
          (2, b"", "mosaiq-view: will not write over link.html: it is the "
                   "script demo.wrd, under another name or through a link\n"))
    check("the script is left whole", os.path.getsize(os.path.join(work, "demo.wrd")) > 1000, True)
    status, _, _ = run([options.view, "--html", "old.html", "demo.wve"], work)
    with open(os.path.join(work, "old.html"), "rb") as f:
        page = f.read()
    check("a page of the WVE file", (status, page.startswith(b"<!DOCTYPE html>")), (0, True))
    check("the page is a few times the script at most",
          len(page) < 3 * os.path.getsize(os.path.join(work, "demo.wrd")), True)
    status, _, err = run([options.view, "--html", "old.html", "demo.wrd"], work, limits=["--fsize=4096"])
    with open(os.path.join(work, "old.html"), "rb") as f:
        check("a failed write leaves the older page", (status, f.read() == page, err),
              (2, True, "mosaiq-view: cannot write old.html: File too large\n"))
    check("and nothing half written", sorted(n for n in os.listdir(work) if ".tmp" in n), [])
    check("unwritable page", run([options.view, "--html", "no/such/dir.html", "demo.wrd"], work),
          (2, b"", "mosaiq-view: cannot write no/such/dir.html: No such file or directory\n"))
    with open("/dev/full", "wb") as full:
        status = subprocess.run([options.view, "--list", "demo.wrd"], cwd=work, stdout=full,
                                stderr=subprocess.DEVNULL, timeout=60).returncode
    check("a list that cannot be written", status, 2)


def in_a_terminal(options, work, args, columns=80, rows=25, actions=(), environment=None):
    """Runs the viewer on a pseudo-terminal of the given size; returns its status and output.
    actions: (seconds after the start, bytes to type, a signal to send or a function to call)."""
    leader, follower = pty.openpty()
    fcntl.ioctl(follower, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))
    child = subprocess.Popen([options.view] + args, cwd=work, stdin=follower, stdout=follower,
                             stderr=subprocess.PIPE, env={**os.environ, **(environment or {})})
    os.close(follower)
    output, start, pending = b"", time.monotonic(), list(actions)
    while True:
        while pending and time.monotonic() - start >= pending[0][0]:
            action = pending.pop(0)[1]
            if isinstance(action, bytes):
                os.write(leader, action)
            elif callable(action):
                action()
            else:
                child.send_signal(action)
        ready, _, _ = select.select([leader], [], [], 0.02)
        if ready:
            try:
                data = os.read(leader, 65536)
            except OSError:
                data = b""
            if not data:
                break
            output += data
        elif child.poll() is not None and not pending:
            break
        if time.monotonic() - start > 30:
            child.kill()
            break
    status = child.wait()
    err = child.stderr.read().decode()
    os.close(leader)
    return status, output, err


def terminal_player(options, work):
    write(work, "short.wrd", b"@startup(400)\n@wmode(23);\n@wait(0);\n\n\x1b[1;1HA;\n\n"
                             b"\x1b[1;2HB;\n\n\x1b[1;3HC;\n\n")
    status, _, err = run([options.view, "short.wrd"], work)
    check("not a terminal", (status, err),
          (1, "mosaiq-view: standard output is not a terminal; use "
              "--frame K, --list or --html OUT.html\n"))
    status, _, err = in_a_terminal(options, work, ["short.wrd"], columns=79)
    check("a terminal too small", (status, err),
          (1, "mosaiq-view: the terminal is 79 x 25; the player's screen "
              "needs 80 x 25\n"))
    status, out, err = in_a_terminal(options, work, ["--bpm", "3000", "short.wrd"])
    check("played to the end, a tempo given: no song looked for", (status, err), (0, ""))
    check("every frame drawn", all(x in out for x in (b"A", b"B", b"C")), True)
    check("the cursor comes back, and no line end scrolls the panel away",
          out.endswith(b"\x1b[0m\x1b[?25h\x1b[25;1H"), True)
    status, out, _ = in_a_terminal(options, work, ["short.wrd"], rows=30, actions=[(0.5, b"q")])
    check("q quits before the end", (status, b"C" in out, out.endswith(b"\x1b[27;1H")), (0, False, True))
    check("a line under the screen tells the frame, its time and the song's measure and beat",
          b"\x1b[26;1H\x1b[0m\x1b[2Kframe 0/3  0:00.000  song 1:1" in out, True)
    status, out, _ = in_a_terminal(options, work, ["--bpm", "60", "short.wrd"],
                                   actions=[(0.3, signal.SIGTSTP), (0.8, signal.SIGCONT), (1.3, b"q")])
    check("Ctrl-Z gives the terminal back", b"\x1b[0m\x1b[?25h" in out[:out.rfind(b"\x1b[2J")], True)
    check("and the screen is drawn again on the way back", out.count(b"\x1b[2J") >= 2, True)
    check("the player stopped by a signal restores the terminal",
          in_a_terminal(options, work, ["short.wrd"], actions=[(0.3, signal.SIGINT)])[0], 130)


def watched_file(options, work):
    """--watch: the file rewritten while it plays is shown again, at the frame on screen."""
    write(work, "w.wve", b"*nXY=1,1\n*f1-1-1\n1\n*f1-1-2\n2\n")
    write(work, "w.mid", song(4, 2, [(0, 600)]))

    def rewrite():
        write(work, "w.wve", b"*nXY=1,1\n*f1-1-1\n1\n*f1-1-2\n7\n")

    status, out, err = in_a_terminal(options, work, ["--watch", "w.wve"], rows=26,
                                     actions=[(1.0, rewrite), (1.8, b"q")])
    after = out[out.find(b"frame 2/2"):]
    check("the last frame shown before the change", (status, err, b"\x1b[31m" in out), (0, "", True))
    check("the new cells shown after it, at the same frame",
          (b"\x1b[14;39H\x1b[37m\xe2\x96\x88\xe2\x96\x88" in after, after.count(b"frame 2/2") >= 2),
          (True, True))

    def break_it():
        os.remove(os.path.join(work, "w.wve"))
        os.mkdir(os.path.join(work, "w.wve"))

    status, out, err = in_a_terminal(options, work, ["--watch", "w.wve"], rows=26,
                                     actions=[(1.0, break_it), (1.8, b"q")])
    os.rmdir(os.path.join(work, "w.wve"))
    check("a file that cannot be read again leaves the last good one, and says why",
          (status, b"\x1b[26;1H\x1b[0m\x1b[2Kcannot read w.wve: Is a directory" in out), (0, True))


def wav_level(path):
    """The loudest sample of a 16-bit WAV file, 0 to 1; 0 when there is none."""
    import array
    import wave
    if not os.path.exists(path):
        return 0
    with wave.open(path, "rb") as f:
        samples = array.array("h", f.readframes(f.getnframes()))
    return max((abs(x) for x in samples), default=0) / 32768


def sound_of_the_song(options, work):
    """The song heard: through FluidSynth's file audio driver (it writes fluidsynth.wav where the
    player runs), muted, with no device, and rendered into the page, from a song FluidSynth's own
    reader would refuse."""
    if not options.sound:
        print("this mosaiq-view plays no song (built without FluidSynth): its sound is not checked")
        return
    write(work, "w.wve", b"*nXY=1,1\n*f1-1-1\n1\n*f1-1-2\n2\n")
    # A song FluidSynth's own reader refuses: running status after a meta event, an escape, a
    # tempo of 0 and a time signature of the wrong length.
    odd = song(4, 2, [(0, 600)])
    tempo_track = (quantity(0) + b"\xff\x51\x03\x00\x00\x00" + quantity(0) + b"\xff\x58\x02\x04\x02"
                   + quantity(0) + b"\xf7\x01\x00" + quantity(0) + b"\x90\x3c\x40"
                   + quantity(0) + b"\xff\x01\x01x" + quantity(480) + b"\x3c\x00" + quantity(0)
                   + b"\xff\x2f\x00")
    odd = (odd[:10] + struct.pack(">H", 3) + odd[12:] + b"MTrk" + struct.pack(">I", len(tempo_track))
           + tempo_track)
    write(work, "w.mid", odd)
    heard = os.path.join(work, "fluidsynth.wav")
    status, out, err = in_a_terminal(options, work, ["w.wve"], rows=26)
    check("played with its song, FluidSynth given it as the timeline reads it",
          (status, err, b"(no sound)" in out), (0, "", False))
    check("the song heard through the audio driver", wav_level(heard) > 0.005, True)
    os.remove(heard)
    status, out, err = in_a_terminal(options, work, ["--mute", "w.wve"], rows=26)
    check("--mute: nothing heard, and the line under the screen says so",
          (status, err, b"(muted)" in out, os.path.exists(heard)), (0, "", True, False))
    status, out, err = in_a_terminal(options, work, ["w.wve"], rows=26, environment={
        "MOSAIQ_AUDIO_DRIVER": "alsa", "ALSA_CONFIG_PATH": os.path.join(work, "no-such.conf")})
    check("no audio device: played without sound, and said once",
          (status, err, b"(no sound)" in out),
          (0, "mosaiq-view: no audio device opens; playing without sound\n", True))
    status, _, err = run([options.view, "--html", "w.html", "w.wve"], work)
    with open(os.path.join(work, "w.html"), "rb") as f:
        page = f.read()
    check("a page with the song's sound", (status, err, b'src="data:audio/ogg;base64,T2dnUw' in page),
          (0, "", True))


def scripts_it_cannot_fully_show(options, work):
    write(work, "odd.wrd", b"@startup(400)\r\n\r\n\x1b[1;1HA\x1b[5mB\x1b[2;1H\x81;\r\n\x1b[1;79HCDE;\r\n\r\n")
    status, out, err = run([options.view, "--frame", "1", "--plain", "odd.wrd"], work)
    lines = out.decode().split("\n")
    check("odd script status", status, 0)
    check("odd script row 1", lines[0], "AB" + " " * 76 + "CD")
    check("odd script count, and the first items named", err,
          "mosaiq-view: passed over 3 items the screen cannot show: line 3: the escape ESC[5m it "
          "does not know; line 4: text off the screen; ...\n")
    write(work, "slow.wrd", b"@startup(400)\n\n@wmode(-3);\n\x1b[1;1HA;\n\n")
    check("a negative mode is noted", run([options.view, "--list", "slow.wrd"], work),
          (0, b"frame\tstart\tsong_measure\tsong_beat\tpattern\tmeasure\tbeat\n"
              b"0\t0.000\t1\t1\t\t\t\n1\t2.500\t2\t2\t\t\t\n",
           "mosaiq-view: @wmode(-3) is played as @wmode(0)\n" + no_song("slow.mid")))


def options_and_statuses(options, work):
    status, out, err = run([options.view, "--help"], work)
    check("help", (status, out.startswith(b"mosaiq-view: shows a WRD script"), err), (0, True, ""))
    check("directory as script", run([options.view, "--frame", "0", "."], work),
          (2, b"", "mosaiq-view: cannot read .: Is a directory\n"))


SKIPPED = 77


def page_in_a_browser(options):
    node, chromium = shutil.which("node"), shutil.which("chromium")
    modules = os.path.join(HERE, "browser", "node_modules", "puppeteer-core")
    missing = [what for what, present in (("node", node), ("chromium", chromium),
                                          ("puppeteer-core (npm ci in tests/view/browser)",
                                           os.path.isdir(modules))) if not present]
    if missing:
        print("the page was not checked in a browser: missing " + ", ".join(missing))
        return 1 if os.environ.get("CI") else SKIPPED
    return subprocess.run([node, os.path.join(HERE, "browser", "browser_test.js"), "--view",
                           options.view, "--mosaiq", options.mosaiq, "--chromium", chromium,
                           "--sound", "ON" if options.sound else "OFF"],
                          timeout=600).returncode


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mosaiq", required=True)
    parser.add_argument("--view", required=True)
    parser.add_argument("--browser", action="store_true")
    parser.add_argument("--sound", default="ON", help="OFF: built without FluidSynth")
    options = parser.parse_args()
    options.sound = options.sound.upper() in ("ON", "1", "TRUE", "YES")
    # Songs are heard with the tests' SoundFont, through FluidSynth's file driver: nothing is
    # played aloud, and what is played is written where the test looks.
    os.environ["MOSAIQ_SOUNDFONT"] = os.path.join(ROOT, "tests", "data", "square.sf2")
    os.environ["MOSAIQ_AUDIO_DRIVER"] = "file"
    # Songs rendered for pages are kept where the tests look, never in the user's cache.
    cache = tempfile.mkdtemp(prefix="mosaiq-cache-")
    os.environ["XDG_CACHE_HOME"] = cache
    options.mosaiq, options.view = os.path.abspath(options.mosaiq), os.path.abspath(options.view)
    if options.browser:
        try:
            return page_in_a_browser(options)
        finally:
            shutil.rmtree(cache, ignore_errors=True)
    with tempfile.TemporaryDirectory() as work:
        convert_example(options, work)
        frames_of_example(options, work)
        wve_read_straight(options, work)
        timeline_with_songs(options, work)
        songs_refused(options, work)
        pages_written_safely(options, work)
        terminal_player(options, work)
        watched_file(options, work)
        sound_of_the_song(options, work)
        scripts_it_cannot_fully_show(options, work)
        options_and_statuses(options, work)
    shutil.rmtree(cache, ignore_errors=True)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
