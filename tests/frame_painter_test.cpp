#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "convert/frame_painter.h"
#include "convert/frame_record.h"
#include "convert/wrd_writer.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using testing::EngineFixture;
using testing::wrd_lines;

const std::string block = "\x81\xa1";  // the "■" glyph
const std::string blue = "\x1b[34m", red = "\x1b[31m", magenta = "\x1b[35m", white = "\x1b[37m";

// Paints frames on a grid of the given size, the panel's labels already written and pattern 1,
// measure 1, beat 1 shown, so records "*f1-1-1..." write only the frame's own lines.
struct Painter : EngineFixture {
  Painter(std::int32_t width, std::int32_t height, bool quiet_panel = true) {
    state.grid_width = width;
    state.grid_height = height;
    state.cell_count = width * height;
    EXPECT_TRUE(allocate_frames(state));
    if (quiet_panel) {
      state.panel.pattern_label_pending = state.panel.measure_beat_label_pending = false;
      state.panel.shown_pattern = state.panel.shown_measure = state.panel.shown_beat = 1;
    }
  }

  // The lines that painting the record with the rows writes. The rows are laid end to end and
  // cut at the grid's cells; fewer rows than the grid has stand for an input that ended inside
  // the frame, which leaves the cells unpainted.
  std::string paint(const std::string& record, const std::vector<std::string>& rows) {
    std::string cells;
    for (const std::string& row : rows) cells += row;
    if (cells.size() > static_cast<std::size_t>(state.cell_count)) cells.resize(state.cell_count);
    const std::size_t before = output().size();
    const std::int64_t origin_col = 40 - state.grid_width;
    const std::int64_t origin_row = (24 - state.grid_height) / 2 + 3;
    const FrameCells frame{reinterpret_cast<const unsigned char*>(cells.data()),
                           static_cast<std::int64_t>(cells.size()),
                           static_cast<std::int32_t>(rows.size())};
    const bool complete = frame.rows_read >= state.grid_height;
    EXPECT_EQ(
        paint_frame(state, parse_frame_record(record, state.panel), frame, origin_col, origin_row),
        complete);
    return output().substr(before);
  }
};

TEST(FramePainter, PaintsTheThreeFramesOfA4By2Grid) {
  Painter p(4, 2, false);
  EXPECT_EQ(p.paint("*f1-1-1", {"1100", "0077"}),
            wrd_lines({"\x1b[1;1H;", "\x1b[33mPattern      \x1b[0K;", "\x1b[1;9H;",
                       "\x1b[33m 1   \x1b[0K;", "\x1b[37m;", "\x1b[3;1H;", "Measure      Beat   ;",
                       "\x1b[3;9H 1;", "\x1b[3;19H 1;", "\x1b[14;36H;", blue + block + block + ";",
                       "\x1b[15;40H;", white + block + block + ";", ""}));
  EXPECT_EQ(p.paint("*f1-1-2-1/2", {"1200", "1070"}),
            wrd_lines({"@wmode(11);", "\x1b[3;19H 2;", "\x1b[14;38H;", red + block + ";",
                       "\x1b[15;36H;", blue + block + "\x1b[4C  ;", ""}));
  EXPECT_EQ(p.paint("*f2-2-1-0/2", {"1200", "1070"}),
            wrd_lines({"\x1b[1;9H;", "\x1b[33m 2   \x1b[0K;", "\x1b[37m;", "\x1b[3;9H 2;",
                       "\x1b[3;19H 1;", ""}));
}

TEST(FramePainter, FrameEqualToTheScreenWritesOnlyItsEmptyLine) {
  Painter p(3, 2);
  EXPECT_EQ(p.paint("*f1-1-1", {"000", "000"}), "\r\n");
  p.paint("*f1-1-1", {"123", "456"});
  EXPECT_EQ(p.paint("*f1-1-1-1/1", {"123", "456"}), "\r\n");
}

// One row of `width` cells with a changed cell at every odd column up to `changes` of them:
// each of those cells follows an unchanged one, so each costs one cursor jump.
std::string alternating_row(int width, int changes) {
  std::string row(static_cast<std::size_t>(width), '0');
  for (int i = 0; i < changes; ++i) row[static_cast<std::size_t>(2 * i + 1)] = '1';
  return row;
}

std::string alternating_cells(int changes) {
  std::string cells = blue + block;
  for (int i = 1; i < changes; ++i) cells += "\x1b[2C" + block;
  return cells + ";";
}

TEST(FramePainter, RepaintsWholeGridAboveTwentyJumpsWhenTheFlagAllows) {
  const int width = 45;
  {
    Painter p(width, 2);
    EXPECT_EQ(p.paint("*f1-1-1-1/1", {alternating_row(width, 20), std::string(45, '0')}),
              wrd_lines({"\x1b[14;-3H;", alternating_cells(20), ""}));
  }
  Painter p(width, 2);
  std::string row0, row1;
  for (char c : alternating_row(width, 21)) row0 += c == '1' ? block : "  ";
  for (int i = 0; i < width; ++i) row1 += "  ";
  EXPECT_EQ(p.paint("*f1-1-1-7/1", {alternating_row(width, 21), std::string(45, '0')}),
            wrd_lines({"\x1b[14;-5H;", "  " + blue + row0.substr(2) + ";", "\x1b[15;-5H;",
                       row1 + ";", ""}));
  EXPECT_EQ(p.state.shown_frame[3], '1');
}

TEST(FramePainter, NeverRepaintsWholeGridWithFlagZeroOrThreeFields) {
  const std::string expected = wrd_lines({"\x1b[14;-3H;", alternating_cells(22), ""});
  for (const char* record : {"*f1-1-1-0/1", "*f1-1-1", "*f1-1-1-0"}) {
    Painter p(45, 1);
    EXPECT_EQ(p.paint(record, {alternating_row(45, 22)}), expected) << record;
  }
}

TEST(FramePainter, CountsJumpsOnlyForChangesAfterAnUnchangedCell) {
  Painter p(6, 3);
  p.paint("*f1-1-1", {"000000", "000000", "000000"});
  std::string rows =
      "110110"
      "011111"
      "101010";
  const auto* cells = reinterpret_cast<const unsigned char*>(rows.data());
  // Row 0: column 3 (1). Row 1: column 1 (1). Row 2: columns 2 and 4 (2).
  EXPECT_EQ(count_cursor_jumps(p.state, cells, 18, repaint_threshold), 4);
  EXPECT_GT(count_cursor_jumps(p.state, cells, 18, 2), 2);
  EXPECT_EQ(count_cursor_jumps(p.state, cells, 6, repaint_threshold), 1)
      << "only the cells supplied";
}

TEST(FramePainter, CrossesGapsWithCursorForwardAndEndsRowsAtTheLastChange) {
  Painter p(8, 3);
  EXPECT_EQ(
      p.paint("*f1-1-1", {"11000101", "00000000", "00010000"}),
      wrd_lines({"\x1b[13;32H;", blue + block + block + "\x1b[6C" + block + "\x1b[2C" + block + ";",
                 "\x1b[15;38H;", block + ";", ""}));
  // Now clear two cells and light one: the dark cells are painted as two spaces.
  EXPECT_EQ(p.paint("*f1-1-1", {"01000100", "00000000", "00010000"}),
            wrd_lines({"\x1b[13;32H;", "  \x1b[12C  ;", ""}));
}

TEST(FramePainter, CarriesTheColourAcrossCellsRowsAndFrames) {
  Painter p(3, 2);
  EXPECT_EQ(p.paint("*f1-1-1", {"202", "200"}),
            wrd_lines({"\x1b[14;37H;", red + block + "\x1b[2C" + block + ";", "\x1b[15;37H;",
                       block + ";", ""}));
  // Red is still selected in the next frame; a dark cell between leaves it alone.
  EXPECT_EQ(p.paint("*f1-1-1", {"202", "220"}), wrd_lines({"\x1b[15;39H;", block + ";", ""}));
  EXPECT_EQ(p.paint("*f1-1-1", {"002", "220"}), wrd_lines({"\x1b[14;37H;", "  ;", ""}));
  EXPECT_EQ(p.state.current_colour, 2);
  // Panel output in between selects white, so red must be selected again.
  EXPECT_EQ(p.paint("*f1-1-2", {"022", "220"}),
            wrd_lines({white + ";", "\x1b[3;19H 2;", "\x1b[14;39H;", red + block + ";", ""}));
  // After the white escape a white cell needs none.
  EXPECT_EQ(p.paint("*f1-1-3", {"022", "227"}),
            wrd_lines({white + ";", "\x1b[3;19H 3;", "\x1b[15;41H;", block + ";", ""}));
}

TEST(FramePainter, OtherCellCharactersAreLitWithoutAnEscape) {
  Painter p(4, 1);
  // '8' selects nothing, so the blue cell after it writes blue again although blue came before.
  EXPECT_EQ(p.paint("*f1-1-1", {"1881"}),
            wrd_lines({"\x1b[14;36H;", blue + block + block + block + blue + block + ";", ""}));
  EXPECT_EQ(p.paint("*f1-1-1", {"1**1"}), wrd_lines({"\x1b[14;38H;", block + block + ";", ""}));
  EXPECT_EQ(p.state.current_colour, '*' - '0');
}

TEST(FramePainter, ModeLineOnEveryChangeOfBeatDivision) {
  const std::pair<int, int> values[] = {{2, 11}, {3, 7},  {4, 5},   {5, 3},  {6, 3},   {8, 2},
                                        {12, 1}, {24, 0}, {25, -1}, {1, 23}, {-1, -25}};
  Painter p(1, 1);
  for (auto [division, mode] : values) {
    EXPECT_EQ(p.paint("*f1-1-1-0/" + std::to_string(division), {"0"}),
              wrd_lines({"@wmode(" + std::to_string(mode) + ");", ""}))
        << division;
  }
  EXPECT_EQ(p.paint("*f1-1-1-0/-1", {"0"}), "\r\n") << "the division in force: no mode line";
}

TEST(FramePainter, DivisionZeroKeepsTheDivisionInForce) {
  Painter p(1, 1);
  p.paint("*f1-1-1-0/3", {"0"});
  EXPECT_EQ(p.paint("*f1-1-1-0/0", {"0"}), "\r\n");
  EXPECT_EQ(p.state.beat_division, 3);
  // A record of three numbers is division 1 again.
  EXPECT_EQ(p.paint("*f1-1-1", {"0"}), wrd_lines({"@wmode(23);", ""}));
}

TEST(FramePainter, FieldsThatDoNotConvertChangeNothingOnThePanel) {
  Painter p(1, 1);
  p.state.panel.shown_pattern = 4;
  p.state.panel.shown_measure = 5;
  p.state.panel.shown_beat = 6;
  p.paint("*f1-1-1-0/2", {"0"});  // beat_division 2 now
  p.state.panel.shown_pattern = 4;
  p.state.panel.shown_measure = 5;
  p.state.panel.shown_beat = 6;
  // No number at all, one, two: the panel keeps its values; the division falls back to 1.
  EXPECT_EQ(p.paint("*f", {"0"}), wrd_lines({"@wmode(23);", ""}));
  EXPECT_EQ(p.paint("*f4", {"0"}), "\r\n");
  EXPECT_EQ(p.paint("*fx-9-9", {"0"}), "\r\n");
  EXPECT_EQ(p.paint("*f4-5", {"0"}), "\r\n");
  EXPECT_EQ(p.paint("*f4-7", {"0"}), "\r\n") << "the beat alone decides";
  EXPECT_EQ(p.paint("*f4-5-6-1/3", {"0"}), wrd_lines({"@wmode(7);", ""}));
  // Four numbers: the flag is read, the division falls back to 1.
  EXPECT_EQ(p.paint("*f4-5-6-1", {"0"}), wrd_lines({"@wmode(23);", ""}));
}

TEST(FramePainter, FlagReadFromFourNumbersPermitsTheRepaint) {
  Painter p(45, 1);
  const std::string out = p.paint("*f1-1-1-1", {alternating_row(45, 21)});
  EXPECT_EQ(out.rfind("\x1b[14;-5H;\r\n", 0), 0u) << "repainted from the left edge";
}

TEST(FramePainter, RowsAreLaidEndToEnd) {
  Painter even(4, 2), uneven(4, 2);
  const std::string expected = even.paint("*f1-1-1", {"1200", "0034"});
  EXPECT_EQ(uneven.paint("*f1-1-1", {"120", "00034"}), expected);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(uneven.state.shown_frame.get()), 8), "12000034");
}

TEST(FramePainter, CellsBeyondTheGridAreDropped) {
  Painter p(3, 2);
  EXPECT_EQ(p.paint("*f1-1-1", {"001777", "1234"}),
            wrd_lines({"\x1b[14;41H;", blue + block + ";", "\x1b[15;37H;",
                       white + block + block + block + ";", ""}));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p.state.shown_frame.get()), 6), "001777");
}

TEST(FramePainter, MissingCellsKeepWhatTheScreenShows) {
  Painter p(3, 2);
  p.paint("*f1-1-1", {"123", "456"});
  // Only three cells supplied: the rest count as unchanged.
  EXPECT_EQ(p.paint("*f1-1-1", {"12", "0"}), wrd_lines({"\x1b[14;41H;", "  ;", ""}));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p.state.shown_frame.get()), 6), "120456");
  EXPECT_EQ(p.paint("*f1-1-1", {"", ""}), "\r\n");
}

TEST(FramePainter, WholeGridRepaintShowsMissingCellsAsOnScreen) {
  Painter p(45, 2);
  p.paint("*f1-1-1", {std::string(45, '0'), std::string(44, '0') + "3"});
  const std::string out = p.paint("*f1-1-1-1/1", {alternating_row(45, 21), ""});
  std::string row1;
  for (int i = 0; i < 44; ++i) row1 += "  ";
  EXPECT_NE(out.find("\x1b[15;-5H;\r\n" + row1 + magenta + block + ";\r\n"), std::string::npos);
}

TEST(FramePainter, InputEndingInsideAFrameLeavesTheScreenAlone) {
  Painter p(2, 3);
  EXPECT_EQ(p.paint("*f1-1-2-0/2", {"11", "22"}),
            wrd_lines({"@wmode(11);", "\x1b[37m;", "\x1b[3;19H 2;"}));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p.state.shown_frame.get()), 6), "000000");
}

TEST(FramePainter, GridWithoutCellsPaintsOnlyTheEmptyLine) {
  Painter p(0, 3);
  EXPECT_EQ(p.paint("*f1-1-1", {"a", "b", "c"}), "\r\n");
}

// The changed cells of one frame as a plain cell-by-cell walk writes them, for comparing the
// painter's fast paths against: gaps of every length, runs longer than the painter's blocks.
std::string naive_changes(const std::string& cells, const std::string& shown, int width,
                          std::int64_t origin_col, std::int64_t origin_row, std::int32_t& colour) {
  std::string text;
  for (int start = 0; start < static_cast<int>(cells.size()); start += width) {
    int gap = -1;  // -1 until the row's first change
    std::string line;
    for (int c = 0; c < width; ++c) {
      const char ch = cells[start + c];
      if (ch == shown[start + c]) {
        if (gap >= 0) ++gap;
        continue;
      }
      if (gap < 0) {
        line = "\x1b[" + std::to_string(origin_row + start / width) + ";" +
               std::to_string(origin_col + 2 * c) + "H;\r\n";
      } else if (gap > 0) {
        line += "\x1b[" + std::to_string(2 * gap) + "C";
      }
      gap = 0;
      if (ch == '0') {
        line += "  ";
        continue;
      }
      if (ch >= '1' && ch <= '7' && ch - '0' != colour) {
        line += "\x1b[3" + std::string(1, "4152637"[ch - '1']) + "m";
      }
      colour = ch - '0';
      line += block;
    }
    if (gap >= 0) text += line + ";\r\n";
  }
  return text;
}

TEST(FramePainter, AgreesWithACellByCellWalkOnRandomFrames) {
  // Screen rows wider than a block of 512 cells. A WVE row holds at most 253 cells, so the
  // first three screen rows arrive as fourteen WVE rows laid end to end; the rest keep the screen.
  const int width = 1100, height = 15, painted = 3 * width;
  Painter p(width, height);
  std::string shown(width * height, '0');
  std::int32_t colour = p.state.current_colour;
  std::uint32_t seed = 12345;
  const auto next_random = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  const std::string alphabet = "012345678x";
  for (int frame = 0; frame < 60; ++frame) {
    // Changes grow sparser frame by frame, so gaps run from none to hundreds of cells.
    std::string cells = shown;
    const unsigned spread = 1 + frame * frame;
    for (int c = 0; c < painted; ++c) {
      if (next_random() % spread == 0) cells[c] = alphabet[next_random() % alphabet.size()];
    }
    std::vector<std::string> rows;
    for (int start = 0; start < painted; start += 253) rows.push_back(cells.substr(start, 253));
    rows.resize(height);
    const std::string expected =
        naive_changes(cells, shown, width, 40 - width, (24 - height) / 2 + 3, colour) + "\r\n";
    ASSERT_EQ(p.paint("*f1-1-1", rows), expected) << "frame " << frame;
    shown = cells;
  }
}

}  // namespace
}  // namespace mosaiq
