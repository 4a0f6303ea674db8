#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "check/check_command.h"
#include "check/check_options.h"
#include "check/directive_suggestion.h"
#include "check/display_text.h"
#include "check/finding_writer.h"
#include "check/timing_analysis.h"
#include "check/wve_check.h"
#include "convert/directive_loop.h"
#include "convert/memory_streams.h"
#include "song/player_clock.h"
#include "test_support.h"

namespace mosaiq::check {
namespace {

std::string check_text(const std::string& wve, Format format = Format::text,
                       std::size_t chunk = static_cast<std::size_t>(-1)) {
  testing::FakeConsole console;
  Reporter reporter(console, "mosaiq-check");
  WriterSettings settings;
  settings.format = format;
  FindingWriter writer(reporter, settings);
  MemorySource source(wve, chunk);
  EXPECT_TRUE(check_source(source, "t.wve", CheckSettings{}, writer));
  writer.finish();
  return console.out;
}

// Frames painted in a script: every frame painted ends with an empty line, as the header does.
std::size_t painted_frames(const std::string& wrd) {
  std::size_t empty_lines = 0;
  for (std::size_t at = 0; (at = wrd.find("\r\n", at)) != std::string::npos; at += 2) {
    if (at == 0 || wrd.compare(at - 2, 2, "\r\n") == 0) ++empty_lines;
  }
  return empty_lines - 1;
}

// Messy WVE text: records of every shape, rows too long and short, directives among the rows,
// long lines, NULs, 0x1A, CRs, pattern texts, grid sizes.
std::string messy_file(std::uint32_t seed) {
  const auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  static const char* const pieces[] = {
      "*f1-1-1",  "*f2-3-4-1/2", "*f1-1",   "*f",   "*f9-9-9-0/5", "*f1-2-3-1", "*p1,text", "*cp2,",
      "*nXY=3,2", "*nXY=",       "*end",    "*END", " *f1-1-1",    "012",       "0123",     "01",
      "",         "7777777",     "*normal", "x\r",  "a\0b",        "*p3,\x81",  "1\x1a\x31"};
  std::string text =
      next(3) == 0 ? "*nXY=" + std::to_string(next(5)) + "," + std::to_string(next(4)) + "\n" : "";
  for (std::uint32_t lines = 20 + next(60); lines > 0; --lines) {
    const std::uint32_t pick = next(sizeof pieces / sizeof *pieces + 2);
    if (pick < sizeof pieces / sizeof *pieces) {
      text += std::string(pieces[pick], std::strlen(pieces[pick]) + (pick == 20 ? 2 : 0));
    } else {
      text += std::string(200 + next(120), static_cast<char>('0' + next(8)));
    }
    text += next(4) == 0 ? "\r\n" : "\n";
  }
  return text;
}

// Counts the frames the directive loop hands over, and those all of whose rows were read.
struct FrameCounter {
  const ConverterState& state;
  std::size_t frames = 0;
  std::size_t complete = 0;
  bool line(const WveLine&, LineKind) { return true; }
  bool frame_record(const WveLine&, const FrameRecord&) { return ++frames; }
  bool row_block(const RowBlock&) { return true; }
  void repeated_rows(const RowBlock&) {}
  void row(const WveLine&, std::int32_t) {}
  bool frame_end(const FrameRecord&, std::int32_t rows) {
    complete += rows == state.grid_height;
    return true;
  }
  void pattern(const WveLine&, const PatternScan&) {}
  void grid_size(const WveLine&, const GridScan&, bool) {}
};

TEST(DirectiveLoop, HandsOverTheFramesTheConverterPaints) {
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    const std::string wve = messy_file(seed);
    const MemoryConversion conversion = convert_in_memory(wve);
    for (std::size_t chunk : {std::size_t{1} << 20, std::size_t{7}}) {
      MemorySource source(wve, chunk);
      WveReader input(source);
      ConverterState state;
      DirectiveScope scope;
      FrameCounter counter{state};
      walk_directives(input, state, scope, counter);
      ASSERT_EQ(counter.complete, painted_frames(conversion.script)) << seed;
      ASSERT_LE(counter.frames - counter.complete, 1u) << seed;
    }
  }
}

TEST(Check, FindingsDoNotDependOnHowTheFileIsRead) {
  for (std::uint32_t seed = 500; seed <= 700; ++seed) {
    const std::string wve = messy_file(seed);
    EXPECT_EQ(check_text(wve, Format::json), check_text(wve, Format::json, 3)) << seed;
  }
}

TEST(Check, FramesCutShortAreFoundBeforeTheirRows) {
  // The record's finding goes before those of its rows, although it is known only at the end.
  const std::string checked = check_text("*nXY=2,3\n*f1-1-1\n123\n", Format::json);
  const std::size_t truncated = checked.find("truncated-frame");
  const std::size_t row = checked.find("row-length");
  ASSERT_NE(truncated, std::string::npos);
  ASSERT_NE(row, std::string::npos);
  EXPECT_LT(truncated, row);
}

struct CommandCase {
  const char* name;
  std::vector<std::string> arguments;
  bool terminal;
  const char* no_color;
  int status;
  std::string out;
  std::string err;
};

const std::string frame = "*f1-1-1\n" + ([] {
                            std::string rows;
                            for (int i = 0; i < 5; ++i) rows += std::string(24, '0') + "\n";
                            return rows;
                          }());
const std::string finding_text =
    "a.wve:1:1: warning: unknown directive \"*END\": the line is ignored; did you mean \"*end\"? "
    "[unknown-directive]\n*END\n^\n";
const std::string one = "1 warning in 1 file\n";

TEST(CheckCommand, OptionsFilesSongsAndExitStatus) {
  const CommandCase cases[] = {
      {"a finding", {"a"}, false, "", 1, finding_text, one},
      {"standard input", {"-"}, false, "", 1, "-" + finding_text.substr(5), one},
      {"nothing to find", {"clean.wve"}, false, "", 0, "", ""},
      {"a missing file, the others checked",
       {"none", "a.wve"},
       false,
       "",
       2,
       finding_text,
       "mosaiq-check: cannot read none.wve: No such file or directory\n" + one},
      {"colour on a terminal", {"a"}, true, "", 1, "*\x1b[1m", one},
      {"none with NO_COLOR", {"a"}, true, "1", 1, finding_text, one},
      {"the song beside it: frame 1 shows a measure and a quarter note on",
       {"--ignore=unknown-directive", "song"},
       false,
       "",
       1,
       "*song.wve:1:1: warning: frame stamped measure 1 beat 1 shows at the song's measure 2 beat "
       "2,"
       " 5 beats late: the player spends",
       one},
      {"the song its song line names, said",
       {"--ignore=unknown-directive", "lined"},
       false,
       "",
       1,
       "*lined.wve:2:1: warning: frame stamped measure 1 beat 1 shows at the song's measure 2 "
       "beat 2,",
       "mosaiq-check: the song tunes/song.mid, as lined.wve names it\n" + one},
      {"a song line naming a song that is not there: said once, checked without",
       {"missing"},
       false,
       "",
       0,
       "",
       "mosaiq-check: missing.wve names the song gone.mid in its song line, which is not there; "
       "timing assumes 4/4 at 120 quarter notes a minute\n"},
      {"a picture is no WVE file",
       {"walk.gif"},
       false,
       "",
       2,
       "",
       "mosaiq-check: walk.gif is a GIF picture, not a WVE file: mosaiq-import turns pictures "
       "into a WVE file\n"},
      {"nor is a script",
       {"demo.wrd"},
       false,
       "",
       2,
       "",
       "mosaiq-check: demo.wrd is a WRD script, not a WVE file: mosaiq-view shows it, and mosaiq "
       "writes it from a WVE file\n"},
      {"a song that cannot be used",
       {"--midi", "bad.mid", "clean"},
       false,
       "",
       2,
       "",
       "mosaiq-check: cannot use the song bad.mid: not a Standard MIDI File\n"},
      {"bad usage",
       {"--format=xml", "a"},
       false,
       "",
       2,
       "",
       "mosaiq-check: --format takes text or json, not 'xml'\n" + std::string(check_usage)},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryFiles files;
    files.files = {{"a.wve", "*END\n" + frame},
                   {"clean.wve", frame + "*end\n"},
                   {"song.wve", frame},
                   {"song.mid", testing::midi_file(0, 480, {{testing::tempo(0, 100)}})},
                   {"tunes/song.mid", testing::midi_file(0, 480, {{testing::tempo(0, 100)}})},
                   {"lined.wve", "; song: tunes/song.mid\n" + frame},
                   {"missing.wve", "; song: gone.mid\n" + frame + "*end\n"},
                   {"bad.mid", "nothing"},
                   {"walk.gif", "GIF89a\x02\x00\x01\x00"},
                   {"demo.wrd", "@startup(400)\r\n"}};
    files.standard_input = files.files["a.wve"];
    testing::FakeConsole console;
    console.terminal = c.terminal;
    if (*c.no_color != '\0') console.variables["NO_COLOR"] = c.no_color;
    ProgramSystem system{console, files, testing::posix_paths};
    EXPECT_EQ(run_check(c.arguments, system), c.status);
    if (c.out.rfind('*', 0) == 0) {
      EXPECT_EQ(console.out.rfind(c.out.substr(1), 0), 0u) << console.out;
    } else {
      EXPECT_EQ(console.out, c.out);
    }
    EXPECT_EQ(console.err, c.err);
  }
}

TEST(CheckCommand, FindingsThatCannotBeWrittenAreAnError) {
  testing::MemoryFiles files;
  files.files["a.wve"] = "*END\n";
  testing::FakeConsole console;
  console.writes_fail = true;
  ProgramSystem system{console, files, testing::posix_paths};
  EXPECT_EQ(run_check({"a"}, system), 2);
}

TEST(DisplayText, ConvertsShiftJisAndEscapesTheRest) {
  std::string shown, indent;
  append_display("a\x82\xa0\xb1\x81 \x1b\t", TextEncoding::utf8, shown, &indent);
  EXPECT_EQ(shown, "a\xe3\x81\x82\xef\xbd\xb1\\x81 \\x1b\t");
  EXPECT_EQ(indent, std::string(1 + 2 + 1 + 4 + 1 + 4, ' ') + "\t");
  shown.clear();
  append_display("a\x82\xa0\x81\x1b", TextEncoding::file_bytes, shown);
  EXPECT_EQ(shown, "a\x82\xa0\x81\\x1b") << "the file's own bytes, but for controls";
}

TEST(DirectiveSuggestion, NamesTheNearestDirective) {
  EXPECT_EQ(suggest_directive("*END"), "*end");
  EXPECT_EQ(suggest_directive("*F1-1-1"), "*f");
  EXPECT_EQ(suggest_directive("*NORMAL"), "*normal");
  EXPECT_EQ(suggest_directive("*nct=1"), "*nCT=");
  EXPECT_EQ(suggest_directive("*CP1,x"), "*cp");
  EXPECT_EQ(suggest_directive("*edn"), "*end");
  EXPECT_EQ(suggest_directive("*complx"), "*complex");
  EXPECT_EQ(suggest_directive("*xyz"), "");
  EXPECT_EQ(suggest_directive("*"), "");
}

}  // namespace
}  // namespace mosaiq::check

namespace mosaiq::check {
namespace {

// The findings of a file, one line each, "LINE:COLUMN check", each note under its finding as
// "  LINE note".
std::vector<std::string> findings_of(const std::string& wve, const Song* song = nullptr) {
  testing::FakeConsole console;
  Reporter reporter(console, "mosaiq-check");
  FindingWriter writer(reporter, WriterSettings{});
  CheckSettings settings;
  settings.song = song;
  MemorySource source(wve);
  check_source(source, "t.wve", settings, writer);
  writer.finish();
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < console.out.size()) {
    const std::size_t end = console.out.find('\n', at);
    const std::string line = console.out.substr(at, end - at);
    at = end + 1;
    if (line.rfind("t.wve:", 0) != 0) continue;
    const std::size_t colon = line.find(": ", 6);
    const std::string place = line.substr(6, colon - 6);
    if (line.compare(colon, 8, ": note: ") == 0) {
      lines.push_back("  " + place.substr(0, place.find(':')) + " note");
    } else {
      lines.push_back(place + " " +
                      line.substr(line.rfind('[') + 1, line.size() - line.rfind('[') - 2));
    }
  }
  return lines;
}

// Frames of a 2 x 1 grid, one a record of each stamp given, every row "11".
std::string frames(const std::vector<std::string>& records) {
  std::string text;
  for (const std::string& record : records) text += record + "\n11\n";
  return text;
}

// Four measures of four beats, a frame a beat, the stamps right.
std::vector<std::string> four_measures() {
  std::vector<std::string> records;
  for (int measure = 1; measure <= 4; ++measure) {
    for (int beat = 1; beat <= 4; ++beat) {
      records.push_back("*f1-" + std::to_string(measure) + "-" + std::to_string(beat));
    }
  }
  return records;
}

std::vector<std::string> with(std::vector<std::string> records, std::size_t index,
                              const std::string& record) {
  records[index] = record;
  return records;
}

TEST(CheckFindings, OneMistakeMakesOneFindingThatNamesItsCause) {
  const std::string grid = "*nXY=2,1\n";
  const std::vector<std::string> halves = {"*f1-1-1-0/2", "*f1-1-1-0/2", "*f1-1-2-0/2",
                                           "*f1-1-2-0/2", "*f1-1-3-0/2", "*f1-1-3-0/2",
                                           "*f1-1-4-0/2", "*f1-1-4-0/2", "*f1-2-1-0/2"};
  const std::string sjis_star = "\x81\x96";
  const std::string sjis_one = "\x82\x50";
  const struct {
    const char* name;
    std::string wve;
    std::vector<std::string> expected;
  } cases[] = {
      {"a well-formed file", grid + frames(four_measures()), {}},
      {"a record without its division: the next frame is late because of it",
       grid + frames(with(halves, 3, "*f1-1-2")),
       {"12:1 timing", "  8 note"}},
      {"a wrong stamp alone",
       grid + frames(with(four_measures(), 2, "*f1-1-4")),
       {"6:1 timing", "  8 note"}},
      {"a typo beyond the measure leaves the measure length as most measures have it",
       grid + frames(with(four_measures(), 10, "*f1-3-5")),
       {"22:1 timing", "  24 note"}},
      {"a division of 0 keeps the one in force", grid + frames(with(halves, 1, "*f1-1-1-0/0")), {}},
      {"a lower-case grid line: the rows it leaves too short, once",
       "*nxy=2,1\n" + frames(four_measures()),
       {"1:1 unknown-directive", "  3 note"}},
      {"a byte-order mark before the grid line",
       "\xef\xbb\xbf" + grid + frames(four_measures()),
       {"1:1 byte-order-mark", "  3 note"}},
      {"a grid line whose height does not convert",
       "*nXY=2;1\n" + frames(four_measures()),
       {"1:1 grid-partial", "  4 note"}},
      {"a grid line without its height",
       "*nXY=2\n" + frames(four_measures()),
       {"1:1 grid-partial", "  4 note"}},
      {"pattern texts and a comment saved as UTF-8",
       grid + "*p1,イントロ\n" + frames({"*f1-1-1"}) + "*p2,サビ\n# 曲の頭\n" + frames({"*f2-1-2"}),
       {"2:5 utf8-text", "5:5 utf8-text", "6:1 utf8-text"}},
      {"announcements replaced before a frame shows them, and records after *end",
       grid + "*p1,A\n*p2,B\n*p3,C\n" + frames({"*f3-1-1"}) + "*end\n*p4,D\n" + frames({"*f4-1-2"}),
       {"2:1 pattern-overwritten", "7:1 after-end"}},
      {"a full-width star typed with the input method on",
       grid + frames({"*f1-1-1"}) + sjis_star + "f1-1-2\n11\n" + frames({"*f1-1-3"}),
       {"4:1 full-width", "6:1 timing", "  4 note"}},
      {"a row of full-width digits",
       grid + "*f1-1-1\n" + sjis_one + sjis_one + "\n",
       {"3:1 full-width"}},
      {"a pattern used but never announced, and one announced but never used",
       grid + "*p1,Intro\n" + frames({"*f2-1-1", "*f2-1-2"}),
       {"2:1 pattern-unused", "3:1 pattern-unannounced"}},
      {"an empty file", "", {"1:1 no-frames"}},
      {"a file with no frame", grid + "*p1,Intro\n", {"1:1 no-frames"}},
      {"a blank line among a frame's rows",
       "*nXY=2,3\n*f1-1-1\n11\n\n11\n11\n",
       {"4:1 row-length"}},
      {"a frame of empty rows, a hold",
       "*nXY=2,2\n*f1-1-1\n11\n11\n*f1-1-2\n\n\n",
       {"5:1 row-length"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(findings_of(c.wve), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace mosaiq::check

namespace mosaiq::check {
namespace {

// A random song and a WVE file stamped as the player shows its frames with that song: time
// signatures of 2/4, 3/4, 4/4 and 6/8 that change on bar lines, tempo changes, divisions that
// divide 24. One frame of a 2 x 1 grid on every record.
struct SongAndFile {
  Song song;
  std::vector<std::string> lines;
  std::vector<std::size_t> records;  // the index in `lines` of every frame record
  std::vector<int> divisions;        // the division of each
};

SongAndFile song_and_file(std::uint32_t seed) {
  const auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  static const int signatures[][2] = {{2, 2}, {3, 2}, {4, 2}, {6, 3}};
  std::vector<testing::MidiEvent> events;
  std::uint32_t tick = 0, last = 0;
  for (int change = 0; change < 3; ++change) {
    const auto& signature = signatures[next(4)];
    events.push_back({tick - last, testing::signature(signature[0], signature[1]).bytes});
    events.push_back(testing::tempo(0, 60 + next(120)));
    last = tick;
    const std::uint32_t measure = 480 * 4 * signature[0] >> signature[1];
    tick += measure * (1 + next(4));
  }
  SongAndFile made;
  std::string problem, note;
  EXPECT_TRUE(read_midi(testing::midi_file(0, 480, {events}), made.song, problem, note));
  const MeasureMap measures(made.song);
  static const int divisions[] = {1, 2, 3, 4, 6, 8, 12, 24};
  std::int64_t position = first_frame_position(measures);
  made.lines = {"*nXY=2,1", "*p1,Intro"};
  int division = 1;
  for (int frame = 0, count = 30 + static_cast<int>(next(50)); frame < count; ++frame) {
    if (position % units_per_quarter == 0 && next(4) == 0) division = divisions[next(8)];
    const SongBeat at = measures.at(position);
    made.records.push_back(made.lines.size());
    made.divisions.push_back(division);
    made.lines.push_back("*f1-" + std::to_string(at.measure) + "-" + std::to_string(at.beat) +
                         "-0/" + std::to_string(division));
    made.lines.push_back(next(2) ? "12" : "03");
    position += frame_units(division);
  }
  return made;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Plants a mistake of a kind at a record in the middle; returns the line (from 1) it stands on,
// 0 when this file has no record that kind fits.
std::size_t plant(SongAndFile& made, int kind, std::uint32_t pick) {
  const std::size_t middle = made.records.size() / 2;
  std::size_t record = middle + pick % (made.records.size() / 3);
  if (kind == 1) {  // a division left out where it is not 1: the frame lasts a quarter note
    while (record + 4 < made.records.size() && made.divisions[record] == 1) ++record;
    if (made.divisions[record] == 1 || record + 4 >= made.records.size()) return 0;
  }
  std::string& line = made.lines[made.records[record]];
  switch (kind) {
    case 0:
      line = line.substr(0, line.find('-', 4) + 1) + "9" + line.substr(line.find('-', 4) + 2);
      break;
    case 1: line = line.substr(0, line.rfind('-')); break;
    case 2: line[1] = 'F'; break;
    case 3: line = "\x81\x96" + line.substr(1); break;
    case 4: made.lines[made.records[record] + 1] = "1"; return made.records[record] + 2;
    default: made.lines[0] = "*nxy=2,1"; return 1;
  }
  return made.records[record] + 1;
}

struct Found {
  std::size_t first_line = 0;
  std::vector<std::size_t> note_lines;
  std::string text;
};

Found first_finding(const std::string& wve, const Song& song) {
  testing::FakeConsole console;
  Reporter reporter(console, "mosaiq-check");
  FindingWriter writer(reporter, WriterSettings{});
  CheckSettings settings;
  settings.song = &song;
  MemorySource source(wve);
  check_source(source, "t.wve", settings, writer);
  writer.finish();
  Found found;
  found.text = console.out;
  std::size_t at = 0;
  while (at < console.out.size()) {
    const std::size_t end = console.out.find('\n', at);
    const std::string line = console.out.substr(at, end - at);
    at = end + 1;
    if (line.rfind("t.wve:", 0) != 0) continue;
    const std::size_t number = std::stoul(line.substr(6));
    if (line.find(": note: ") != std::string::npos) {
      found.note_lines.push_back(number);
    } else if (found.first_line == 0) {
      found.first_line = number;
    } else {
      break;
    }
  }
  return found;
}

TEST(CheckWithASong, WellFormedFilesHaveNoFindingAndAPlantedMistakeIsFoundWhereItStands) {
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    SongAndFile made = song_and_file(seed);
    const Found clean = first_finding(joined(made.lines), made.song);
    ASSERT_EQ(clean.first_line, 0u) << seed << "\n" << clean.text;
    const int kind = static_cast<int>(seed % 6);
    const std::size_t planted = plant(made, kind, seed * 7);
    if (planted == 0) continue;
    const Found found = first_finding(joined(made.lines), made.song);
    const bool at_it = found.first_line == planted ||
                       std::count(found.note_lines.begin(), found.note_lines.end(), planted) > 0;
    EXPECT_TRUE(at_it) << "seed " << seed << ", mistake " << kind << " on line " << planted << "\n"
                       << found.text;
  }
}

}  // namespace
}  // namespace mosaiq::check
