#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/screen_model.h"
#include "view/script_reader.h"
#include "view/terminal_player.h"

namespace mosaiq::view {
namespace {

const std::string block = "\x81\xa1";  // "■"

// The plain text of one screen row, 80 columns.
std::string row_text(const Screen& screen, int row) {
  GlyphText glyphs;
  const std::string text = screen_text(screen, glyphs, false);
  std::size_t start = 0;
  for (int r = 1; r < row; ++r) start = text.find('\n', start) + 1;
  return text.substr(start, text.find('\n', start) - start);
}

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

const Cell& cell(const Screen& screen, int row, int column) {
  return screen.cells[(row - 1) * screen_columns + (column - 1)];
}

TEST(ScreenModel, PositionsForwardsAndCarriesTheColour) {
  Screen screen;
  EXPECT_EQ(apply_text_line(screen, "\x1b[2;3H;"), 0);
  EXPECT_EQ(apply_text_line(screen, "\x1b[31m" + block + "\x1b[4C" + block + ";"), 0);
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1HAB;"), 0);
  EXPECT_EQ(trimmed(row_text(screen, 2)), "  \u2588\u2588    \u2588\u2588");
  EXPECT_EQ(trimmed(row_text(screen, 3)), "AB");
  EXPECT_EQ(cell(screen, 2, 3).kind, CellKind::wide_first);
  EXPECT_EQ(cell(screen, 2, 4).kind, CellKind::wide_second);
  EXPECT_EQ(cell(screen, 2, 9).colour, 1);
  EXPECT_EQ(cell(screen, 3, 1).colour, 1);  // the colour stays selected across lines
  apply_text_line(screen, "\x1b[37mC;");
  EXPECT_EQ(cell(screen, 3, 3).colour, white);
}

TEST(ScreenModel, LineWithoutSemicolonEndsTheRow) {
  Screen screen;
  apply_text_line(screen, "\x1b[5;10HX");
  apply_text_line(screen, "Y;");
  EXPECT_EQ(trimmed(row_text(screen, 6)), "Y");
}

TEST(ScreenModel, EraseToEndOfLineBlanksFromTheCursor) {
  Screen screen;
  apply_text_line(screen, "\x1b[1;1HPattern 12 Intro;");
  EXPECT_EQ(apply_text_line(screen, "\x1b[1;9H;"), 0);
  EXPECT_EQ(apply_text_line(screen, " 3   \x1b[0KOutro;"), 0);
  EXPECT_EQ(trimmed(row_text(screen, 1)), "Pattern  3   Outro");
  apply_text_line(screen, "\x1b[1;5H\x1b[K;");
  EXPECT_EQ(trimmed(row_text(screen, 1)), "Patt");
}

TEST(ScreenModel, DoubleByteCharactersTakeTwoColumnsAndCutOnesAreBlanked) {
  Screen screen;
  GlyphText glyphs;
  apply_text_line(screen, "\x1b[1;1H\x83\x70\x83\x5c;");  // "パソ": the second byte of ソ is 0x5C
  EXPECT_EQ(trimmed(row_text(screen, 1)), "\u30d1\u30bd");
  apply_text_line(screen, "\x1b[1;2HZ;");  // over the second half of パ
  EXPECT_EQ(trimmed(row_text(screen, 1)), " Z\u30bd");
  EXPECT_EQ(glyphs.of(cell(screen, 1, 3)), "\u30bd");
}

TEST(ScreenModel, CountsWhatItPassesOverAndDropsWritesOffTheScreen) {
  Screen screen;
  EXPECT_EQ(apply_text_line(screen, "\x1b[1;79H" + block + block + ";"), 1);   // beyond column 80
  EXPECT_EQ(apply_text_line(screen, "\x1b[26;1HX;"), 1);                       // below row 25
  // "-" ends the escape unfinished, and "-5HX" is text beyond column 80.
  EXPECT_EQ(apply_text_line(screen, "\x1b[1;-5HX;"), 5);
  EXPECT_EQ(apply_text_line(screen, "\x1b[10;1H\x1b[2J\x1b[1m\x1b(B;"), 3);  // unknown escapes
  EXPECT_EQ(trimmed(row_text(screen, 10)), "(B");
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1H\x81;"), 1);  // a lead byte at the end
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1H\x81\x0a\x7f;"), 3);
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1H\x1b[999999999999999999999CX\x1b[3;1H;"), 1);
  EXPECT_EQ(trimmed(row_text(screen, 1)), std::string(78, ' ') + "\u2588\u2588");
  EXPECT_EQ(trimmed(row_text(screen, 3)), "");
}

TEST(ScriptReader, FramesEndAtEmptyLinesAndKeepOnlyTheirChanges) {
  const Script script = read_script(
      "@startup(400)\r\n@wmode(23);\r\n@wait(0);\r\n\r\n"
      "\x1b[1;1HA;\r\n\r\n"
      "@wmode(11);\n\x1b[1;2HB;\n\n"
      "\n"
      "\x1b[1;1HC;");  // cut short: the text still ends a frame
  ASSERT_EQ(script.frames.size(), 5u);
  EXPECT_TRUE(script.frames[0].changes.empty());
  ASSERT_EQ(script.frames[1].changes.size(), 1u);
  EXPECT_EQ(script.frames[1].changes[0].index, 0);
  EXPECT_EQ(script.frames[2].wmode, 11);
  EXPECT_EQ(script.frames[1].wmode, 23);
  EXPECT_TRUE(script.frames[3].changes.empty());
  EXPECT_EQ(trimmed(row_text(screen_at(script, 2), 1)), "AB");
  EXPECT_EQ(trimmed(row_text(screen_at(script, 4), 1)), "CB");
  EXPECT_EQ(script.passed_over, 0);
}

TEST(ScriptReader, StepLengthFollowsTheModeAndTheTempo) {
  const Script script = read_script("\n@wmode(23);\n\n@wmode(11);\n\n@wmode(-7);\n\n@wmode(x);\n\n");
  ASSERT_EQ(script.frames.size(), 5u);
  EXPECT_DOUBLE_EQ(frame_seconds(script.frames[1], 120), 0.5);  // one frame per beat
  EXPECT_DOUBLE_EQ(frame_seconds(script.frames[2], 120), 0.25);
  EXPECT_DOUBLE_EQ(frame_seconds(script.frames[2], 60), 0.5);
  EXPECT_DOUBLE_EQ(frame_seconds(script.frames[3], 120), 0.5 / 24);  // below 0 plays as 0
  EXPECT_EQ(script.frames[4].wmode, -7);  // another command keeps the mode
  EXPECT_TRUE(script.negative_wmode);
  EXPECT_EQ(script.first_negative_wmode, -7);
}

class FakeClock : public Clock {
 public:
  double now() override { return time; }
  void sleep_until(double deadline, const volatile std::sig_atomic_t* stop) override {
    sleeps.push_back(deadline);
    time = deadline + 0.001;  // each frame takes a little time to draw
    if (++calls == stop_after) *const_cast<volatile std::sig_atomic_t*>(stop) = 1;
  }
  double time = 100;
  std::vector<double> sleeps;
  int calls = 0, stop_after = -1;
};

TEST(TerminalPlayer, WaitsForEachFrameFromTheStartAndDoesNotDrift) {
  const Script script = read_script("\n\x1b[1;1HA;\n\n@wmode(11);\n\n");
  FakeClock clock;
  std::ostringstream out;
  GlyphText glyphs;
  volatile std::sig_atomic_t stop = 0;
  play(script, 120, clock, out, glyphs, &stop);
  EXPECT_EQ(clock.sleeps, (std::vector<double>{100.5, 101.0, 101.25}));
  EXPECT_EQ(out.str(),
            "\x1b[?25l\x1b[0m\x1b[2J"
            "\x1b[1;1H\x1b[37mA"
            "\x1b[25;1H\x1b[0m\x1b[?25h\n");
}

TEST(TerminalPlayer, StopsOnRequestAndRestoresTheTerminal) {
  const Script script = read_script("\n\n\n\n\n");
  FakeClock clock;
  clock.stop_after = 2;
  std::ostringstream out;
  GlyphText glyphs;
  volatile std::sig_atomic_t stop = 0;
  play(script, 120, clock, out, glyphs, &stop);
  EXPECT_EQ(clock.sleeps.size(), 2u);
  EXPECT_EQ(out.str(), "\x1b[?25l\x1b[0m\x1b[2J\x1b[25;1H\x1b[0m\x1b[?25h\n");
}

TEST(HtmlWriter, StoresChangesOnlyAndFetchesNothing) {
  std::string script = "\n";
  for (int f = 0; f < 50; ++f) script += "\x1b[1;" + std::to_string(f + 1) + "H</script>&;\n\n";
  GlyphText glyphs;
  const std::string page = html_page(read_script(script), glyphs, "a<b");
  EXPECT_EQ(page.find("</script>&"), std::string::npos);  // texts cannot end the script element
  EXPECT_NE(page.find("<title>a&lt;b</title>"), std::string::npos);
  EXPECT_EQ(page.find("http"), std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos);
  EXPECT_LT(page.size(), 20000u);  // 51 frames of a few cells, not 51 copies of 2000
}

}  // namespace
}  // namespace mosaiq::view
