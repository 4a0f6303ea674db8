#include <gtest/gtest.h>

#include <string>

#include "view/escape_parser.h"
#include "view/glyph_text.h"
#include "view/screen_model.h"
#include "view_test_support.h"

namespace mosaiq::view {
namespace {

using testing::block;
using testing::cell;
using testing::row_text;

TEST(EscapeParser, SplitsALineIntoCharactersAndSequences) {
  const std::string line = "A\x1b[12;;3H\x83\x70\x1b\x42\x81";
  std::size_t at = 0;
  LineItem item;
  ASSERT_TRUE(next_item(line, at, item));
  EXPECT_EQ(item.kind, ItemKind::character);
  EXPECT_EQ(item.lead, 'A');
  ASSERT_TRUE(next_item(line, at, item));
  EXPECT_EQ(item.kind, ItemKind::sequence);
  EXPECT_EQ(item.final_byte, 'H');
  ASSERT_EQ(item.count, 3);
  EXPECT_EQ(item.values[0], 12);
  EXPECT_EQ(item.values[1], -1) << "an empty parameter takes its default";
  ASSERT_TRUE(next_item(line, at, item));
  EXPECT_EQ(item.width, 2);
  ASSERT_TRUE(next_item(line, at, item));
  EXPECT_EQ(item.kind, ItemKind::passed_over) << "a bare ESC";
  ASSERT_TRUE(next_item(line, at, item));
  EXPECT_EQ(item.lead, 'B');
  ASSERT_TRUE(next_item(line, at, item));
  EXPECT_EQ(item.kind, ItemKind::passed_over) << "a lead byte at the end";
  EXPECT_FALSE(next_item(line, at, item));
}

TEST(ScreenModel, PositionsForwardsAndCarriesTheColour) {
  Screen screen;
  EXPECT_EQ(apply_text_line(screen, "\x1b[2;3H;"), 0);
  EXPECT_EQ(apply_text_line(screen, "\x1b[31m" + block + "\x1b[4C" + block + ";"), 0);
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1HAB;"), 0);
  EXPECT_EQ(row_text(screen, 2), "  \u2588\u2588    \u2588\u2588");
  EXPECT_EQ(row_text(screen, 3), "AB");
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
  EXPECT_EQ(row_text(screen, 6), "Y");
}

TEST(ScreenModel, EraseToEndOfLineBlanksFromTheCursor) {
  Screen screen;
  apply_text_line(screen, "\x1b[1;1HPattern 12 Intro;");
  EXPECT_EQ(apply_text_line(screen, "\x1b[1;9H;"), 0);
  EXPECT_EQ(apply_text_line(screen, " 3   \x1b[0KOutro;"), 0);
  EXPECT_EQ(row_text(screen, 1), "Pattern  3   Outro");
  apply_text_line(screen, "\x1b[1;5H\x1b[K;");
  EXPECT_EQ(row_text(screen, 1), "Patt");
}

TEST(ScreenModel, DoubleByteCharactersTakeTwoColumnsAndCutOnesAreBlanked) {
  Screen screen;
  GlyphText glyphs;
  apply_text_line(screen, "\x1b[1;1H\x83\x70\x83\x5c;");  // "パソ": the second byte of ソ is 0x5C
  EXPECT_EQ(row_text(screen, 1), "\u30d1\u30bd");
  apply_text_line(screen, "\x1b[1;2HZ;");  // over the second half of パ
  EXPECT_EQ(row_text(screen, 1), " Z\u30bd");
  EXPECT_EQ(glyphs.of(cell(screen, 1, 3)), "\u30bd");
}

TEST(ScreenModel, CountsWhatItPassesOverAndDropsWritesOffTheScreen) {
  Screen screen;
  EXPECT_EQ(apply_text_line(screen, "\x1b[1;79H" + block + block + ";"), 1);  // beyond column 80
  EXPECT_EQ(apply_text_line(screen, "\x1b[26;1HX;"), 1);                      // below row 25
  // "-" ends the escape unfinished, and "-5HX" is text beyond column 80.
  EXPECT_EQ(apply_text_line(screen, "\x1b[1;-5HX;"), 5);
  EXPECT_EQ(apply_text_line(screen, "\x1b[10;1H\x1b[2J\x1b[1m\x1b(B;"), 3);  // unknown escapes
  EXPECT_EQ(row_text(screen, 10), "(B");
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1H\x81;"), 1);  // a lead byte at the end
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1H\x81\x0a\x7f;"), 3);
  EXPECT_EQ(apply_text_line(screen, "\x1b[3;1H\x1b[999999999999999999999CX\x1b[3;1H;"), 1);
  EXPECT_EQ(row_text(screen, 1), std::string(78, ' ') + "\u2588\u2588");
  EXPECT_EQ(row_text(screen, 3), "");
}

}  // namespace
}  // namespace mosaiq::view
