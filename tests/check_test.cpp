#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "check/check_command.h"
#include "check/check_options.h"
#include "check/directive_suggestion.h"
#include "check/display_text.h"
#include "check/finding_writer.h"
#include "check/wve_check.h"
#include "convert/directive_loop.h"
#include "convert/memory_streams.h"
#include "platform/json_text.h"
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
  EXPECT_TRUE(check::check_text(wve, "t.wve", CheckSettings{}, writer, chunk));
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

const std::string finding_text =
    "a.wve:1:1: warning: unknown directive \"*END\": the line is ignored; did you mean \"*end\"? "
    "[unknown-directive]\n*END\n^\n";

TEST(CheckCommand, OptionsFilesAndExitStatus) {
  const CommandCase cases[] = {
      {"a finding", {"a"}, false, "", 1, finding_text, ""},
      {"standard input", {"-"}, false, "", 1, "-" + finding_text.substr(5), ""},
      {"nothing to find", {"clean.wve"}, false, "", 0, "", ""},
      {"a missing file, the others checked",
       {"none", "a.wve"},
       false,
       "",
       2,
       finding_text,
       "mosaiq-check: cannot read none.wve: No such file or directory\n"},
      {"colour on a terminal", {"a"}, true, "", 1, "*\x1b[1m", ""},
      {"none with NO_COLOR", {"a"}, true, "1", 1, finding_text, ""},
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
    files.files = {{"a.wve", "*END\n"}, {"clean.wve", "*end\n"}};
    files.standard_input = "*END\n";
    testing::FakeConsole console;
    console.terminal = c.terminal;
    if (*c.no_color != '\0') console.variables["NO_COLOR"] = c.no_color;
    EXPECT_EQ(run_check(c.arguments, console, files, testing::posix_paths), c.status);
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
  EXPECT_EQ(run_check({"a"}, console, files, testing::posix_paths), 2);
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

TEST(JsonText, StringsAreValidUtf8AndSafeInAPage) {
  EXPECT_EQ(json_string("a\"b\\c\n\xe3\x81\x82"), "\"a\\\"b\\\\c\\u000a\xe3\x81\x82\"");
  EXPECT_EQ(json_string("\x82\xa0\xc0\x80"), "\"\\\\x82\\\\xa0\\\\xc0\\\\x80\"");
  EXPECT_EQ(json_string("</script>&"), "\"\\u003c/script\\u003e\\u0026\"");
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
