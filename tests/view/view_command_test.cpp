#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../test_support.h"
#include "platform/output_rules.h"
#include "view/data_url.h"
#include "view/html_writer.h"
#include "view/render_cache.h"
#include "view/song_sound.h"
#include "view/view_command.h"

namespace mosaiq::view {
namespace {

const std::string script = "@startup(400)\r\n@wmode(23);\r\n@wait(0);\r\n\r\n\x1b[1;1HA;\r\n\r\n";
const std::string wve = "*nXY=1,1\n*f1-1-1\n1\n";
// A page as this program opens every page, and a file that only mentions the mark.
const std::string page = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n" +
                         std::string(page_mark) + "\nan older page";
const std::string mentions = "<!DOCTYPE html>\n<!-- like " + std::string(page_mark) + " -->\n";

struct Case {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  std::string out;  // "*": anything
  std::string err;
  const char* written = nullptr;  // the page that must hold a new page afterwards
  const char* holds = "";         // what that page must hold besides
};

const char* const usage =
    "usage: mosaiq-view [--watch] [--mute] [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --frame K|end [--plain] FILE\n"
    "       mosaiq-view --list [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --html OUT.html [--force] [--audio FILE | --no-audio] [--midi SONG.mid]\n"
    "                   [--bpm N] FILE\n"
    "       mosaiq-view --gif OUT.gif [--force] [--scale N] [--panel] [--midi SONG.mid]\n"
    "                   [--bpm N] FILE\n"
    "       (and --soundfont FILE.sf2 wherever a song is played)\n";

// Where no SoundFont is to be found (a build without FluidSynth has none to look for), the song
// is not heard, and one line says why.
std::string silent(const char* then) {
  return std::string("mosaiq-view: ") +
         (can_play_songs()
              ? "no SoundFont found (looked for /usr/share/sounds/sf3/default-GM.sf3 and "
                "/usr/share/sounds/sf2/default-GM.sf2): apt-get install fluid-soundfont-gm, or "
                "name one with --soundfont"
              : "this mosaiq-view was built without FluidSynth and libsndfile (apt-get install "
                "libfluidsynth-dev libsndfile1-dev, then build it again)") +
         then + "\n";
}

const Case cases[] = {
    {"version", {"--version"}, 0, "mosaiq-view " MOSAIQ_VERSION "\n", ""},
    {"bad usage is status 2",
     {"--fast", "s.wrd"},
     2,
     "",
     "mosaiq-view: unknown option '--fast'\n" + std::string(usage)},
    {"a list with the song's measures",
     {"--list", "s.wrd"},
     0,
     "frame\tstart\tsong_measure\tsong_beat\tpattern\tmeasure\tbeat\n0\t0.000\t1\t1\t\t\t\n"
     "1\t2.500\t2\t2\t\t\t\n",
     ""},
    {"a name without an extension is a WVE file's, and a tempo given needs no song",
     {"--list", "--bpm", "60", "t"},
     0,
     "*",
     ""},
    {"no song, nor a tempo: said after the run",
     {"--list", "t"},
     0,
     "*",
     "mosaiq-view: no song found (looked for t.mid); timing assumes 4/4 at 120 quarter notes a "
     "minute\n"},
    {"nor when the run fails",
     {"--frame", "9", "--bpm", "60", "t"},
     1,
     "",
     "mosaiq-view: frame 9 is past the end; t.wve has frames 0 to 1\n"},
    {"the song a WVE file names",
     {"--list", "lined.wve"},
     0,
     "frame\tstart\tsong_measure\tsong_beat\tpattern\tmeasure\tbeat\n0\t0.000\t1\t1\t\t\t\n"
     "1\t2.500\t2\t2\t1\t1\t1\n",
     "mosaiq-view: the song s.mid, as lined.wve names it\n"},
    {"--midi wins over it", {"--list", "--midi", "s.mid", "lined.wve"}, 0, "*", ""},
    {"a named song that is not there",
     {"--list", "lost.wve"},
     0,
     "*",
     "mosaiq-view: lost.wve names the song gone.mid in its song line, which is not there; timing "
     "assumes 4/4 at 120 quarter notes a minute\n"},
    {"a script on standard input", {"--frame", "end", "--plain", "-"}, 0, "*", ""},
    {"a frame past the end",
     {"--frame", "9", "s.wrd"},
     1,
     "",
     "mosaiq-view: frame 9 is past the end; s.wrd has frames 0 to 1\n"},
    {"a missing script",
     {"--list", "none.wrd"},
     2,
     "",
     "mosaiq-view: cannot read none.wrd: No such file or directory\n"},
    {"no terminal to play on", {"s.wrd"}, 1, "", "mosaiq-view: no terminal here\n"},
    {"a new page, silent without a SoundFont",
     {"--html", "new.html", "s.wrd"},
     0,
     "",
     silent("; the page is silent"),
     "new.html",
     "\"audio\":false"},
    {"a page with the song rendered",
     {"--html", "new.html", "--soundfont", "square.sf2", "s.wrd"},
     0,
     "",
     can_play_songs() ? "" : silent("; the page is silent"),
     "new.html",
     can_play_songs() ? "<audio id=\"audio\" preload=\"auto\" src=\"data:audio/ogg;base64,T2dnUw"
                      : ""},
    {"a page with an audio file of the author's",
     {"--html", "new.html", "--audio", "tone.wav", "s.wrd"},
     0,
     "",
     "",
     "new.html",
     "src=\"data:audio/wav;base64,UklGRiQAAABXQVZF"},
    {"a file that is not audio",
     {"--html", "new.html", "--audio", "notes.txt", "s.wrd"},
     2,
     "",
     "mosaiq-view: notes.txt is not audio a page can play (Ogg Vorbis, Ogg Opus, MP3, WAV or "
     "FLAC, told by its first bytes); no page written\n"},
    {"a missing audio file",
     {"--html", "new.html", "--audio", "none.ogg", "s.wrd"},
     2,
     "",
     "mosaiq-view: cannot read the audio file none.ogg: No such file or directory\n"},
    {"never over the audio file",
     {"--html", "tone.html", "--force", "--audio", "tone.wav", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over tone.html: it is the audio file tone.wav, under another "
     "name or through a link\n"},
    {"a silent page asked for",
     {"--html", "new.html", "--no-audio", "s.wrd"},
     0,
     "",
     "",
     "new.html"},
    {"a SoundFont named that is missing",
     {"--html", "new.html", "--soundfont", "none.sf2", "s.wrd"},
     can_play_songs() ? 2 : 0,
     "",
     can_play_songs()
         ? "mosaiq-view: cannot read the SoundFont none.sf2: No such file or directory\n"
         : silent("; the page is silent")},
    {"a SoundFont named that is not one",
     {"--html", "new.html", "--soundfont", "notes.txt", "s.wrd"},
     can_play_songs() ? 2 : 0,
     "",
     can_play_songs() ? "mosaiq-view: cannot use the SoundFont notes.txt: it is not a SoundFont\n"
                      : silent("; the page is silent")},
    {"played in the terminal without a SoundFont",
     {"--watch", "s.wrd"},
     0,
     "",
     can_play_songs() ? silent("; playing without sound") : ""},
    {"muted in the terminal", {"--mute", "s.wrd"}, 0, "", ""},
    {"a page over a page it wrote",
     {"--html", "old.html", "--no-audio", "s.wrd"},
     0,
     "",
     "",
     "old.html"},
    {"a page from a file named like a mark",
     {"--html", "p.html", "@DATA@.wve"},
     0,
     "",
     "mosaiq-view: no song found (looked for @DATA@.mid); timing assumes 4/4 at 120 quarter notes "
     "a minute\n",
     "p.html"},
    {"a page's name ends in .html or .htm",
     {"--html", "s.wrd", "s.wrd"},
     2,
     "",
     "mosaiq-view: --html wants a page's name, ending in .html or .htm, not 's.wrd'\n" +
         std::string(usage)},
    {"a GIF's in .gif",
     {"--gif", "s.png", "s.wrd"},
     2,
     "",
     "mosaiq-view: --gif wants a name ending in .gif, not 's.png'\n" + std::string(usage)},
    {"never over the script",
     {"--html", "s.wrd.html", "--midi", "s.mid", "s.wrd.html"},
     2,
     "",
     "mosaiq-view: will not write over s.wrd.html: it is the script\n"},
    {"never over the script through a link",
     {"--html", "link.html", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over link.html: it is the script s.wrd, under another name or "
     "through a link\n"},
    {"never over the song",
     {"--html", "song.html", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over song.html: it is the song s.mid, under another name or "
     "through a link\n"},
    {"never over a WVE file",
     {"--html", "t.html", "--force", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over t.html: it is a WVE file (through a link)\n"},
    {"never over another file",
     {"--html", "notes.html", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over notes.html, a file that exists and that this program did "
     "not write (--force writes over it)\n"},
    {"a file is a page only when it opens as one",
     {"--html", "mentions.html", "--no-audio", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over mentions.html, a file that exists and that this program "
     "did not write (--force writes over it)\n"},
    {"over another file with --force",
     {"--html", "notes.html", "--force", "--no-audio", "s.wrd"},
     0,
     "",
     "",
     "notes.html"},
    {"never over a device, even with --force",
     {"--html", "null.html", "--force", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over null.html: it is not a regular file (a device, a fifo or a "
     "socket)\n"},
    {"never over a folder",
     {"--gif", "art.gif", "--force", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over art.gif: it is a folder\n"},
};

// A terminal where q is pressed at once.
class QuitAtOnce : public Terminal {
 public:
  double now() override { return 0; }
  Input wait(double) override { return Input::quit; }
  void write(std::string_view) override {}
  int rows() override { return 25; }
};

TEST(ViewCommand, OptionsFilesAndExitStatus) {
  std::ifstream soundfont(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
  const std::string square{std::istreambuf_iterator<char>(soundfont), {}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryFiles files;
    files.files = {{"s.wrd", script},
                   {"s.mid", std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xe0", 14)},
                   {"t.wve", wve},
                   {"@DATA@.wve", wve},
                   {"old.html", page},
                   {"notes.txt", "notes"},
                   {"notes.html", "notes"},
                   {"mentions.html", mentions},
                   {"s.wrd.html", script},
                   {"lined.wve", "; song: s.mid\n" + wve},
                   {"lost.wve", "; song: gone.mid\n" + wve},
                   {"square.sf2", square},
                   {"tone.wav", std::string("RIFF\x24\0\0\0WAVEfmt ", 16)}};
    files.links["link.html"] = "s.wrd";
    files.links["tone.html"] = "tone.wav";
    files.links["song.html"] = "s.mid";
    files.links["t.html"] = "t.wve";
    files.devices.insert("null.html");
    files.folders.insert("art.gif");
    files.standard_input = script;
    testing::FakeConsole console;
    const PathSyntax syntax = testing::posix_paths;
    const bool terminal = std::string(c.name) != "no terminal to play on";
    ProgramSystem system{console, files, syntax};
    const TerminalOpener opener = [terminal](std::string& problem) {
      problem = "no terminal here";
      return terminal ? std::make_unique<QuitAtOnce>() : nullptr;
    };
    EXPECT_EQ(run_view(c.arguments, system, opener), c.status);
    if (c.status == 2 && c.arguments[0] == "--html") {
      EXPECT_EQ(files.files.count("new.html"), 0u) << "no page written";
    }
    if (c.out != "*") {
      EXPECT_EQ(console.out, c.out);
    }
    EXPECT_EQ(console.err, c.err);
    if (c.written == nullptr) continue;
    const std::string& written = files.files[c.written];
    EXPECT_LT(written.find(page_mark), mark_window) << "a page, marked as such";
    EXPECT_NE(written.find("id=\"script-data\">{\"frames\":"), std::string::npos);
    const std::string title = "<title>" + c.arguments.back() + "</title>";
    EXPECT_NE(written.find(title), std::string::npos) << "the script's name, nothing else";
    EXPECT_NE(written.find(c.holds), std::string::npos) << c.holds;
  }
}

TEST(ViewCommand, RenderingASongShowsHowFarItIsOnATerminalOnly) {
  if (!can_play_songs()) GTEST_SKIP() << "built without FluidSynth";
  std::ifstream soundfont(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
  testing::MemoryFiles files;
  files.files = {{"s.wrd", script},
                 {"s.mid", std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xe0", 14)},
                 {"square.sf2", {std::istreambuf_iterator<char>(soundfont), {}}}};
  testing::FakeConsole console;
  console.terminal = true;
  const PathSyntax syntax = testing::posix_paths;
  ProgramSystem system{console, files, syntax};
  EXPECT_EQ(run_view({"--html", "p.html", "--soundfont", "square.sf2", "s.wrd"}, system, nullptr),
            0);
  const std::string line = "\rmosaiq-view: rendering the song: ";
  EXPECT_EQ(console.err.substr(0, line.size()), line);
  const std::string end = "\rmosaiq-view: rendering the song: 100%\r\x1b[K";
  EXPECT_EQ(console.err.substr(console.err.size() - end.size()), end) << "and cleared at the end";
}

TEST(ViewCommand, ARenderedSongIsKeptForThePageWrittenAgain) {
  if (!can_play_songs()) GTEST_SKIP() << "built without FluidSynth";
  std::ifstream soundfont(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
  testing::MemoryFiles files;
  files.files = {
      {"s.wrd", script},
      {"s.mid", testing::midi_file(
                    1, 480, {{testing::tempo(0, 120)}, {testing::note(0), testing::note(9600)}})},
      {"square.sf2", {std::istreambuf_iterator<char>(soundfont), {}}}};
  testing::FakeConsole console;
  console.variables["HOME"] = "/home/u";
  ProgramSystem system{console, files, testing::posix_paths};
  const std::vector<std::string> page = {"--html", "p.html", "--soundfont", "square.sf2", "s.wrd"};
  const auto cached = [&] {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files.files) {
      if (name.rfind("/home/u/.cache/mosaiq/", 0) == 0) names.push_back(name);
    }
    return names;
  };
  ASSERT_EQ(run_view(page, system, nullptr), 0);
  ASSERT_EQ(cached().size(), 1u) << "rendered once, and kept";
  files.files[cached()[0]] = "OggS kept";  // what the page takes, if it takes what is kept
  ASSERT_EQ(run_view(page, system, nullptr), 0);
  EXPECT_NE(files.files["p.html"].find(data_url("audio/ogg", "OggS kept")), std::string::npos);
  std::vector<std::string> fresh = page;
  fresh.insert(fresh.begin(), "--no-cache");
  ASSERT_EQ(run_view(fresh, system, nullptr), 0);
  EXPECT_EQ(files.files["p.html"].find(data_url("audio/ogg", "OggS kept")), std::string::npos);
  const auto sound_size = [&] {
    const std::string& written = files.files["p.html"];
    const std::size_t from = written.find("data:audio/ogg;base64,");
    return written.find('"', from) - from;
  };
  const std::size_t whole = sound_size();
  std::vector<std::string> span = page;
  span.insert(span.begin(), {"--span", "animation"});
  ASSERT_EQ(run_view(span, system, nullptr), 0);
  EXPECT_EQ(cached().size(), 2u) << "another span, another rendering";
  EXPECT_LT(sound_size(), whole * 2 / 3) << "5 seconds of an 11-second song";
  RenderCache small(files, console, 10);
  small.keep("0123456789abcdef0123456789abcdef", "tiny");
  EXPECT_EQ(cached().size(), 1u) << "the oldest dropped first, to the bound";
}

TEST(ViewCommand, AFailedWriteOfWhatItPrintsIsAnError) {
  testing::MemoryFiles files;
  files.files["s.wrd"] = script;
  testing::FakeConsole console;
  console.writes_fail = true;
  const PathSyntax syntax = testing::posix_paths;
  ProgramSystem system{console, files, syntax};
  EXPECT_EQ(run_view({"--list", "s.wrd"}, system, nullptr), 2);
  EXPECT_EQ(run_view({"--version"}, system, nullptr), 2);
}

}  // namespace
}  // namespace mosaiq::view
