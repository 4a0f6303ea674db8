#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "convert/memory_streams.h"
#include "convert/wve_conversion.h"
#include "convert/wve_reader.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using testing::wrd_header;
using testing::wrd_lines;
using testing::wve_lines;

const std::string block = "\x81\xa1";

// The lines after the header, as the conversion of the text writes them.
std::string body(const std::string& wve, ConvertOutcome expected = ConvertOutcome::converted) {
  const MemoryConversion result = convert_in_memory(wve);
  EXPECT_EQ(result.outcome, expected);
  EXPECT_EQ(result.script.rfind(wrd_header, 0), 0u) << "every script starts with the header";
  return result.script.substr(std::string(wrd_header).size());
}

const std::string label_1 = wrd_lines({"\x1b[1;1H;", "\x1b[33mPattern      \x1b[0K;"});

std::string pattern_line(const std::string& number, const std::string& text) {
  return wrd_lines({"\x1b[1;9H;", "\x1b[33m" + number + "   \x1b[0K" + text + ";"});
}

const std::string worked_example =
    wve_lines({"This line is ignored", "*nXY=3,2", "*p1,Intro", "*f1-1-1", "120", "003",
               "*f1-1-2-1/2", "120", "073", "*end"});

// The worked example's bytes are the end-to-end cases' (cases_conversion.py); here, that the
// script does not depend on how the input arrives.
TEST(WveConversion, TheWorkedExampleReadInAnyPiecesGivesOneScript) {
  const MemoryConversion whole = convert_in_memory(worked_example);
  EXPECT_EQ(whole.outcome, ConvertOutcome::converted);
  EXPECT_NE(whole.script.find("Intro;"), std::string::npos);
  for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{7}}) {
    EXPECT_EQ(convert_in_memory(worked_example, MemoryLimits{chunk}).script, whole.script)
        << "read in pieces of " << chunk;
  }
}

TEST(WveConversion, EmptyInputGivesTheHeaderAlone) {
  EXPECT_EQ(body(""), "");
  EXPECT_EQ(body("just a comment\n\n  *p1,x\n"), "") << "a blank before '*' is no directive";
}

TEST(WveConversion, EndMarkerStopsTheConversion) {
  EXPECT_EQ(body(wve_lines({"*p1,a", "*end", "*p2,b"})), label_1 + pattern_line(" 1", "a"));
  EXPECT_EQ(body(wve_lines({"*endless", "*p2,b"})), "");
  EXPECT_EQ(body(wve_lines({"*END", "*p2,b"})), label_1 + pattern_line(" 2", "b"))
      << "directives are case-sensitive";
  EXPECT_EQ(body(wve_lines({"*F1-1-1", "*P3,x", "*End", "*p2,b"})),
            label_1 + pattern_line(" 2", "b"));
}

TEST(WveConversion, PatternDirectivesScanNumberAndText) {
  // *p7 and *p7, set only the number; *p,abc sets nothing; the panel is updated every time.
  EXPECT_EQ(body(wve_lines({"*p5,five", "*p7", "*p7,", "*p,abc", "*cp9,nine", "*cp"})),
            label_1 + pattern_line(" 5", "five") + pattern_line(" 7", "five") +
                pattern_line(" 7", "five") + pattern_line(" 7", "five") +
                pattern_line(" 9", "nine") + pattern_line(" 9", "nine"));
  EXPECT_EQ(body(wve_lines({"*p1"})), label_1 + pattern_line(" 1", ""))
      << "1 differs from the 0 shown at the start of a file";
  EXPECT_EQ(body(wve_lines({"*p -3, two  blanks "})),
            label_1 + pattern_line("-3", " two  blanks "));
  EXPECT_EQ(body("*p4,no line end"), label_1 + pattern_line(" 4", "no line end"));
}

TEST(WveConversion, PatternTextIsAtMostWhatOneReadHolds) {
  const std::string text(300, 't');
  // The line comes in pieces: "*p3," and 250 bytes, then 50 bytes that are no directive.
  EXPECT_EQ(body("*p3," + text + "\n"), label_1 + pattern_line(" 3", std::string(250, 't')));
}

TEST(WveConversion, GridSizeHonouredOnlyInTheHeader) {
  // One lit cell in the first row, and enough empty rows for any grid below.
  const std::string frame = wve_lines({"*f0-0-0", "1"}) + std::string(30, '\n');
  // The positioning line of the frame's one lit cell, which follows the measure/beat label.
  auto first_position = [](const std::string& wve) {
    const std::string out = body(wve);
    const std::string label = "Measure      Beat   ;\r\n";
    const std::size_t at = out.find(label);
    if (at == std::string::npos) return std::string("?");
    const std::size_t start = at + label.size();
    return out.substr(start, out.find("H;", start) + 1 - start);
  };
  EXPECT_EQ(first_position(frame), "\x1b[12;16H");
  EXPECT_EQ(first_position("*nXY=3,2\n" + frame), "\x1b[14;37H");
  EXPECT_EQ(first_position("comment\n\n*unknown\n*nXY=3,2\n" + frame), "\x1b[14;37H");
  EXPECT_EQ(first_position("*normal\n*nXY=3,2\n" + frame), "\x1b[12;16H");
  EXPECT_EQ(first_position("*p1,a\n*nXY=3,2\n" + frame), "\x1b[12;16H");
  EXPECT_EQ(first_position("*nXY=3,2\n*nXY=4,4\n" + frame), "\x1b[14;37H");
  EXPECT_EQ(first_position("*nXY=30\n" + frame), "\x1b[12;10H") << "width only: 30 x 5";
  EXPECT_EQ(first_position("*nXY=10,25\n" + frame), "\x1b[3;30H") << "(24-25)/2 truncates to 0";
  EXPECT_EQ(first_position("*nXY=x\n*nXY=3,2\n" + frame), "\x1b[12;16H");
  EXPECT_EQ(first_position("*nXY=-5,2\n" + frame), "\x1b[12;16H") << "negative: not taken";
  EXPECT_EQ(first_position("*nXY=3,-2\n" + frame), "\x1b[12;16H");
  EXPECT_EQ(first_position("*nXY=65536,65536\n" + frame), "\x1b[12;16H") << "too many cells";
}

TEST(WveConversion, FramesAfterAGridOfNoCellsPaintNothing) {
  // 0 x 2: two rows are still read per frame, so "*p2,b" is a row and "*p3,c" a directive.
  EXPECT_EQ(body(wve_lines({"*nXY=0,2", "*f0-0-0", "*p2,b", "x", "*p3,c"})),
            label_1 + wrd_lines({"\x1b[37m;", "\x1b[3;1H;", "Measure      Beat   ;", ""}) +
                pattern_line(" 3", "c"));
  // 2 x 0: no rows at all.
  EXPECT_EQ(body(wve_lines({"*nXY=2,0", "*f0-0-0", "*p3,c"})),
            label_1 + wrd_lines({"\x1b[37m;", "\x1b[3;1H;", "Measure      Beat   ;", ""}) +
                pattern_line(" 3", "c"));
}

TEST(WveConversion, ADirectiveLineAmongTheRowsIsARow) {
  // Grid 2 x 2, but only one row before the next record: the record is the second row.
  const std::string out = body(wve_lines({"*nXY=2,2", "*f1-1-1", "11", "*f1-1-2", "22", "22"}));
  EXPECT_NE(out.find(wrd_lines({"\x1b[15;38H;", block + block + ";"})), std::string::npos);
  EXPECT_EQ(out.find("\x1b[3;19H 2;"), std::string::npos) << "the second record was a row";
}

TEST(WveConversion, LongRowsArriveInPiecesThatEachCountAsARow) {
  // A line of exactly 254 cells is one row, and its line end alone the next (empty) row, so the
  // line of sevens is not part of this frame but a line of text after it.
  const std::string out =
      body(wve_lines({"*nXY=254,2", "*f1-1-1", std::string(254, '1'), std::string(254, '7')}));
  EXPECT_NE(out.find("\x1b[34m" + block), std::string::npos);
  EXPECT_EQ(out.find("\x1b[37m" + block), std::string::npos);
}

// Frames written the usual way (rows as wide as the grid, one kind of line end), repeated and
// changed, with odd rows among them, in LF and in CR LF.
std::string busy_animation(const std::string& line_end) {
  std::string text = "*nXY=24,5" + line_end;
  std::uint32_t seed = 5;
  std::string cells(120, '0');
  for (int frame = 0; frame < 12000; ++frame) {
    seed = seed * 1103515245u + 12345u;
    const unsigned kind = (seed >> 16) % 8;
    if (kind < 2) cells[(seed >> 8) % 120] = static_cast<char>('0' + (seed >> 20) % 8);
    text += "*f1-" + std::to_string(frame / 4 + 1) + "-" + std::to_string(frame % 4 + 1) +
            (kind == 3 ? "-1/2" : "") + line_end;
    for (int row = 0; row < 5; ++row) {
      std::string cells_of_row = cells.substr(row * 24, 24);
      if (kind == 4 && row == 2) cells_of_row.pop_back();  // a short row
      if (kind == 5 && row == 4) cells_of_row += "\r";     // a CR before the line end
      if (kind == 6 && row == 1) cells_of_row[3] = '\0';   // a NUL
      text += cells_of_row + (kind == 7 && row == 0 ? "\n" : line_end);
    }
  }
  return text;
}

TEST(WveConversion, RowsReadAsABlockOrOneByOneGiveTheSameScript) {
  for (const char* line_end : {"\n", "\r\n"}) {
    const std::string text = busy_animation(line_end);
    ASSERT_GT(text.size(), 2 * WveReader::capacity) << "blocks of rows span refills";
    const MemoryConversion whole = convert_in_memory(text);
    EXPECT_EQ(whole.outcome, ConvertOutcome::converted);
    for (std::size_t chunk : {1u, 7u, 4093u, 65536u}) {
      const MemoryConversion pieces = convert_in_memory(text, MemoryLimits{chunk});
      EXPECT_EQ(pieces.script, whole.script) << chunk;
    }
  }
}

TEST(WveConversion, StillFramesRepeatTheScreenUntilACellChanges) {
  const std::string rows_a = std::string(24, '1'), rows_b = std::string(23, '1') + "2";
  std::vector<std::string> lines = {"*nXY=24,1"};
  for (const std::string& row : {rows_a, rows_a, rows_a, rows_b, rows_a, rows_a}) {
    lines.push_back("*f1-1-1");
    lines.push_back(row);
  }
  const std::string out = body(wve_lines(lines));
  // Painted: the first frame, the change to 2, the change back; the still frames write only
  // their empty lines.
  const std::string first = wrd_lines({"\x1b[14;16H;",
                                       "\x1b[34m" +
                                           [&] {
                                             std::string row;
                                             for (int i = 0; i < 24; ++i) row += block;
                                             return row;
                                           }() +
                                           ";",
                                       ""});
  EXPECT_NE(
      out.find(first + "\r\n\r\n" + wrd_lines({"\x1b[14;62H;", "\x1b[31m" + block + ";", ""}) +
               wrd_lines({"\x1b[14;62H;", "\x1b[34m" + block + ";", ""}) + "\r\n"),
      std::string::npos)
      << out;
}

TEST(WveConversion, InputEndingInsideAFrameKeepsItsModeAndPanelLines) {
  EXPECT_EQ(body(wve_lines({"*nXY=1,2", "*f0-1-0-0/2", "1"})),
            wrd_lines({"@wmode(11);"}) + label_1 +
                wrd_lines({"\x1b[37m;", "\x1b[3;1H;", "Measure      Beat   ;"}));
}

TEST(WveConversion, EveryFileStartsAfresh) {
  ConverterState state;
  auto convert = [&state](const std::string& wve) {
    MemorySource source(wve);
    WveReader reader(source);
    MemorySink file;
    WrdWriter writer(file);
    EXPECT_EQ(convert_wve(state, reader, writer), ConvertOutcome::converted);
    EXPECT_FALSE(state.new_frame) << "frame buffers released at the end of the file";
    return file.bytes;
  };
  convert(wve_lines({"*nXY=1,1", "*p3,t", "*f3-1-1-0/2", "5"}));
  // Grid, division, colour, pattern number and text, and the panel all start again.
  const std::string second = wve_lines({"*p,x", "*p", "*f1-1-1", std::string(24, '5')});
  EXPECT_EQ(convert(second), convert_in_memory(second).script);
}

TEST(WveConversion, ReadAndWriteFailuresAreReported) {
  {
    MemorySource source(worked_example, 5, 40);
    WveReader reader(source);
    MemorySink sink;
    WrdWriter writer(sink);
    ConverterState state;
    EXPECT_EQ(convert_wve(state, reader, writer), ConvertOutcome::read_error);
    EXPECT_EQ(sink.bytes, wrd_header + label_1 + pattern_line(" 1", "Intro"))
        << "what was converted before the failure is kept";
  }
  const std::string whole = convert_in_memory(worked_example).script;
  for (std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{30}, whole.size() - 1}) {
    MemoryLimits limits;
    limits.script_limit = limit;
    const MemoryConversion cut = convert_in_memory(worked_example, limits);
    EXPECT_EQ(cut.outcome, ConvertOutcome::write_error) << limit;
    EXPECT_EQ(cut.script, whole.substr(0, limit));
  }
}

}  // namespace
}  // namespace mosaiq
