// mosaiq-import's runs: what it writes where, what it refuses and why, and that the checker
// finds nothing in anything it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../test_support.h"
#include "check/check_command.h"
#include "import/import_command.h"
#include "import/wve_text.h"
#include "picture_files.h"

namespace mosaiq::import {
namespace {

using mosaiq::testing::midi_file;
using mosaiq::testing::tempo;

const std::vector<std::uint32_t> screen = {0x000000, 0x4466ff, 0xff3333, 0xee33ee,
                                           0x33ee33, 0x33eeee, 0xeeee33, 0xeeeeee};

// Two frames of 2 x 1: blue and transparent, then red and white; 25 and 50 hundredths.
const std::string walk = testing::gif_file(
    2, 1, screen,
    {{0, 0, 2, 1, {1, 0}, DISPOSE_DO_NOT, 0, 25}, {0, 0, 2, 1, {2, 7}, DISPOSE_DO_NOT, -1, 50}});
const std::string song = midi_file(1, 480, {{tempo(0, 120)}});

const char* const usage =
    "usage: mosaiq-import [-o OUT.wve] [--midi SONG.mid | --bpm N] [OPTION]... PICTURE...\n"
    "       mosaiq-import --colors\n";

struct Case {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  std::string out;  // "*": anything
  std::string err;
  const char* written = nullptr;  // the file that must hold the result
  std::string holds = "";         // what it holds
};

// The walk as imported, its song named in a line of its own where it has one.
std::string walked(const std::string& song = "") {
  return "written by mosaiq-import\r\n" + (song.empty() ? "" : "; song: " + song + "\r\n") +
         "*nXY=2,1\r\n*f1-2-2-0/2\r\n10\r\n*f1-2-2-0/2\r\n27\r\n*f1-2-3-0/2\r\n27\r\n*end\r\n";
}

// The line every import ends with, for the walk.
std::string summary(const std::string& song) {
  return "mosaiq-import: 2 x 1 cells (1:1), 2 pictures in 3 frame records, from 2:2 to 2:3" +
         (song.empty() ? "" : " of " + song) + "\n";
}

const Case cases[] = {
    {"to standard output, the song named",
     {"--midi", "s.mid", "walk.gif"},
     0,
     walked(),
     summary("s.mid")},
    {"the song beside the output, named in the file",
     {"-o", "w.wve", "walk.gif"},
     0,
     "",
     summary("w.mid"),
     "w.wve",
     walked("w.mid")},
    {"the song the file names",
     {"-o", "named.wve", "walk.gif"},
     0,
     "",
     summary("songs/s.mid"),
     "named.wve",
     walked("songs/s.mid")},
    {"a tempo given needs no song",
     {"--bpm", "60", "walk.gif"},
     0,
     "*",
     "mosaiq-import: 2 x 1 cells (1:1), 2 pictures in 2 frame records, from 2:2 to 2:2\n"},
    {"no song, nor a tempo",
     {"walk.gif"},
     0,
     "*",
     summary("") +
         "mosaiq-import: no song found (the output has no name to look beside); timing assumes "
         "4/4 at 120 quarter notes a minute\n"},
    {"over a file it wrote",
     {"-o", "old.wve", "--midi", "s.mid", "walk.gif"},
     0,
     "",
     summary("s.mid"),
     "old.wve",
     walked("s.mid")},
    {"patterns, in Shift_JIS",
     {"--midi", "s.mid", "--pattern", "7,\xe3\x82\xa4\xe3\x83\xb3\xe3\x83\x88\xe3\x83\xad",
      "--pattern", "8,Out@2:3", "walk.gif"},
     0,
     "written by "
     "mosaiq-import\r\n*nXY=2,1\r\n*p7,\x83\x43\x83\x93\x83\x67\x83\x8d\r\n*f7-2-2-0/"
     "2\r\n10\r\n*f7-2-2-0/2\r\n27\r\n"
     "*p8,Out\r\n*f8-2-3-0/2\r\n27\r\n*end\r\n",
     summary("s.mid")},
    {"a picture too short to show",
     {"--midi", "s.mid", "short.gif"},
     1,
     "*",
     "mosaiq-import: 2 x 1 cells (1:1), 2 pictures in 1 frame record, from 2:2 to 2:3 of s.mid; "
     "picture 1 too short to show (under the player's step, 1/24 of a quarter note), left "
     "out\n"},
    {"the output's name ends in .wve",
     {"-o", "walk.gif", "--force", "--midi", "s.mid", "walk.gif"},
     2,
     "",
     "mosaiq-import: -o wants a WVE file's name, ending in .wve (or - for standard output), not "
     "'walk.gif'\n" +
         std::string(usage)},
    {"never over the picture",
     {"-o", "walk.wve", "--force", "--midi", "s.mid", "walk.gif"},
     2,
     "",
     "mosaiq-import: will not write over walk.wve: it is a picture walk.gif, under another name "
     "or through a link\n"},
    {"never over a WVE file of the author's",
     {"-o", "mine.wve", "--force", "--midi", "s.mid", "walk.gif"},
     2,
     "",
     "mosaiq-import: will not write over mine.wve: it is a WVE file\n"},
    {"the mark counts only as the first line",
     {"-o", "tuned.wve", "--force", "--midi", "s.mid", "walk.gif"},
     2,
     "",
     "mosaiq-import: will not write over tuned.wve: it is a WVE file\n"},
    {"never over a device",
     {"-o", "null.wve", "--force", "--midi", "s.mid", "walk.gif"},
     2,
     "",
     "mosaiq-import: will not write over null.wve: it is not a regular file (a device, a fifo or "
     "a socket)\n"},
    {"not a picture",
     {"--midi", "s.mid", "notes.txt"},
     2,
     "",
     "mosaiq-import: cannot use notes.txt: it is not a GIF or PNG file\n"},
    {"a missing picture",
     {"--midi", "s.mid", "none.gif"},
     2,
     "",
     "mosaiq-import: cannot read none.gif: No such file or directory\n"},
    {"a character with no Shift_JIS form",
     {"--midi", "s.mid", "--pattern", "2,ok\xf0\x9f\x8e\xb5", "walk.gif"},
     2,
     "",
     "mosaiq-import: --pattern 2: the character at byte 3 of its text has no Shift_JIS form\n"},
    {"a text wider than the panel",
     {"--midi", "s.mid", "--pattern", "2," + std::string(80, 'x'), "walk.gif"},
     2,
     "",
     "mosaiq-import: --pattern 2: its text is 80 columns wide; the panel shows 67\n"},
    {"a pattern no frame shows",
     {"--midi", "s.mid", "--pattern", "1,A", "--pattern", "2,B@9:1", "walk.gif"},
     2,
     "",
     "mosaiq-import: --pattern 2 begins at 9:1, where no frame shows it (another pattern begins "
     "there too, or the animation has ended)\n"},
    {"the first pattern after the start",
     {"--midi", "s.mid", "--pattern", "2,B@2:3", "walk.gif"},
     2,
     "",
     "mosaiq-import: the first pattern, --pattern 2, begins at 2:3, after the animation starts at "
     "2:2: give it no @M:B\n"},
    {"bad usage",
     {"--per-beat", "5", "walk.gif"},
     2,
     "",
     "mosaiq-import: --per-beat wants a number that divides 24 (1, 2, 3, 4, 6, 8, 12 or 24), not "
     "'5'\n" +
         std::string(usage)},
};

TEST(ImportCommand, WhatItWritesAndRefuses) {
  const std::string short_gif = testing::gif_file(
      2, 1, screen,
      {{0, 0, 2, 1, {1, 1}, DISPOSE_DO_NOT, -1, 1}, {0, 0, 2, 1, {2, 2}, DISPOSE_DO_NOT, -1, 50}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mosaiq::testing::MemoryFiles files;
    files.files = {{"walk.gif", walk},
                   {"short.gif", short_gif},
                   {"s.mid", song},
                   {"w.mid", song},
                   {"notes.txt", "notes"},
                   {"mine.wve", "*nXY=2,1\n"},
                   {"tuned.wve", "; tuned by hand after it was written by mosaiq-import\n"},
                   {"old.wve", std::string(import_mark) + "\r\nold\r\n"},
                   {"songs/s.mid", song},
                   {"named.wve", std::string(import_mark) + "\r\n; song: songs/s.mid\r\n"}};
    files.links["walk.wve"] = "walk.gif";
    files.devices.insert("null.wve");
    mosaiq::testing::FakeConsole console;
    console.utf8 = true;
    const PathSyntax syntax = mosaiq::testing::posix_paths;
    ProgramSystem system{console, files, syntax};
    EXPECT_EQ(run_import(c.arguments, system), c.status);
    if (c.out != "*") {
      EXPECT_EQ(console.out, c.out);
    }
    EXPECT_EQ(console.err, c.err);
    const std::string result = c.written != nullptr ? files.files[c.written] : console.out;
    if (c.written != nullptr) {
      EXPECT_EQ(result, c.holds);
    }
    if (c.status == 2) continue;
    // The checker finds nothing in it, with the same song (or the same measures).
    files.files["result.wve"] = result;
    mosaiq::testing::FakeConsole checker;
    const bool has_song =
        std::find(c.arguments.begin(), c.arguments.end(), "s.mid") != c.arguments.end() ||
        c.written != nullptr;
    const std::vector<std::string> check =
        has_song ? std::vector<std::string>{"--midi", "s.mid", "result.wve"}
                 : std::vector<std::string>{"--beats-per-measure", "4", "result.wve"};
    ProgramSystem checking{checker, files, syntax};
    EXPECT_EQ(check::run_check(check, checking), 0) << checker.out;
  }
}

TEST(ImportCommand, TheColoursTable) {
  mosaiq::testing::MemoryFiles files;
  mosaiq::testing::FakeConsole console;
  const PathSyntax syntax = mosaiq::testing::posix_paths;
  ProgramSystem system{console, files, syntax};
  EXPECT_EQ(run_import({"--colors"}, system), 0);
  const std::string start = "digit\tname\trgb\n0\tdark\t#000000\n1\tblue\t#4466ff\n";
  EXPECT_EQ(console.out.substr(0, start.size()), start);
}

}  // namespace
}  // namespace mosaiq::import
