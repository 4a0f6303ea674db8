// The studio's document: an author's file read and written back byte for byte, and every
// command changing exactly the lines it must (the stamps where the frames now show, the rows it
// painted), with the rest left as the author wrote it; undo and redo give back each version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "studio/document_edits.h"
#include "studio/edit_history.h"
#include "studio/studio_commands.h"
#include "studio/wve_document.h"

namespace mosaiq::studio {
namespace {

// An author's file: comments, an unknown directive, a record of three numbers, one keeping the
// division in force, Shift_JIS text, CR LF line ends, and lines after *end. 4/4 without a song:
// frame 1 shows at 2:2.
const std::string authors =
    "; my animation\r\n"
    "*nXY=2,1\r\n"
    "*p1,\x83\x43\x83\x93\x83\x67\x83\x8d\r\n"
    "*f1-2-2-0/1\r\n"
    "12\r\n"
    "*f1-2-3\r\n"
    "34\r\n"
    "*f1-2-4-0/0\r\n"
    "34\r\n"
    "; a comment\r\n"
    "*unknown directive\r\n"
    "*f1-3-1-0/2\r\n"
    "56\r\n"
    "*end\r\n"
    "after the end\r\n";

struct Edited {
  WveDocument document;
  MeasureMap measures{4, 4};
  TempoMap tempo{Song{}, 120};

  explicit Edited(const std::string& text) { read(split_lines(text)); }
  // Read as the studio reads every version: the cells as the player's screen would give them,
  // here the rows themselves.
  void read(const Lines& lines) {
    document = read_document(lines, measures);
    for (FrameBlock& frame : document.frames) {
      for (const Line& row : frame.rows) {
        std::string cells = row->substr(0, row->find_first_of("\r\n"));
        cells.resize(static_cast<std::size_t>(document.width), '0');
        frame.cells += cells;
      }
    }
  }
  std::string text() const { return join_lines(document_lines(document, measures)); }
  bool run(const CommandFields& fields) {
    std::string what, problem;
    const bool done = apply_command(document, {measures, tempo}, fields, what, problem);
    last_problem = problem;
    if (done) read(document_lines(document, measures));
    return done;
  }
  std::string last_problem;
};

// The text with `from` replaced by `to`, once.
std::string with(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(WveDocument, ReadsAndWritesTheAuthorsFileAsItIs) {
  for (const std::string& text :
       {authors, std::string("*nXY=2,2\n*f1-2-2\n00\n00"), std::string(""),
        std::string("; only\r\n"), std::string("*nXY=2,2\n*f1-2-2-0/1\n00\n01")}) {
    SCOPED_TRACE(text);
    const Lines lines = split_lines(text);
    const Lines written = document_lines(read_document(lines, MeasureMap(4, 4)), MeasureMap(4, 4));
    EXPECT_EQ(join_lines(written), text);
  }
  const WveDocument document = read_document(split_lines(authors), MeasureMap(4, 4));
  ASSERT_EQ(document.frames.size(), 4u);
  EXPECT_EQ(document.width, 2);
  EXPECT_EQ(document.frames[2].division, 1);  // "/0" keeps the one in force
  EXPECT_EQ(document.frames[3].leading.size(), 2u);
  EXPECT_EQ(document.trailer.size(), 2u);
}

TEST(WveDocument, EditsTheFilesItCanReadWhole) {
  EXPECT_EQ(uneditable_reason(authors), "");
  EXPECT_EQ(uneditable_reason("*f1-2-2\n" + std::string(254, '0') + "\n"),
            "line 2 is longer than 253 bytes, and mosaiq reads it in pieces");
  EXPECT_EQ(uneditable_reason(std::string("*f1\n0\0\n", 7)), "line 2 holds a NUL byte");
  EXPECT_EQ(uneditable_reason("*end\n\x1a"), "");
  EXPECT_EQ(uneditable_reason("*f1\x1a\n*end\n"),
            "line 1 holds an end-of-file byte (0x1A) before the end of the file");
  EXPECT_EQ(uneditable_reason("*nXY=40,2\n"), "its grid of 40 x 2 cells does not fit the screen");
  EXPECT_EQ(uneditable_reason("*nXY=2,2\n*f1-2-2\n00\n"),
            "it ends before all the rows of its last frame");
}

TEST(DocumentEdits, PaintingRewritesOnlyThatFramesRows) {
  Edited edited(authors);
  ASSERT_TRUE(edited.run({{"command", "paint"}, {"frame", "2"}, {"cells", "70"}}));
  EXPECT_EQ(edited.text(), with(authors, "*f1-2-3\r\n34\r\n", "*f1-2-3\r\n70\r\n"));
  EXPECT_FALSE(edited.run({{"command", "paint"}, {"frame", "2"}, {"cells", "78"}}));
  EXPECT_EQ(edited.last_problem, "a cell is a colour digit, 0 to 7");
  EXPECT_FALSE(edited.run({{"command", "paint"}, {"frame", "5"}, {"cells", "00"}}));
  EXPECT_EQ(edited.last_problem, "frame wants a whole number from 1 to 4, not '5'");
}

TEST(DocumentEdits, AShorterFrameMovesTheRestAndKeepsTheirDivisions) {
  Edited edited(authors);
  // Frame 2 lasts an eighth note now: frame 3, whose record keeps the division in force, is
  // written with its own, and frames 3 and 4 get the stamps of where they now show.
  ASSERT_TRUE(edited.run({{"command", "division"}, {"frame", "2"}, {"division", "2"}}));
  std::string expected = with(authors, "*f1-2-3\r\n", "*f1-2-3-0/2\r\n");
  expected = with(expected, "*f1-2-4-0/0\r\n", "*f1-2-3-0/1\r\n");
  expected = with(expected, "*f1-3-1-0/2\r\n", "*f1-2-4-0/2\r\n");
  EXPECT_EQ(edited.text(), expected);
  // A record that keeps the division in force, still stamped right, is written anew when the
  // division before it changes.
  Edited kept("*nXY=1,1\n*f1-2-2-0/2\n1\n*f1-2-2-0/0\n2\n");
  ASSERT_TRUE(kept.run({{"command", "division"}, {"frame", "1"}, {"division", "4"}}));
  EXPECT_EQ(kept.text(), "*nXY=1,1\n*f1-2-2-0/4\n1\n*f1-2-2-0/2\n2\n");
}

TEST(DocumentEdits, MovingAFrameHoldsTheOneBeforeAndMovingBackUndoesIt) {
  Edited edited(authors);
  ASSERT_TRUE(edited.run({{"command", "move"}, {"frame", "4"}, {"measure", "3"}, {"beat", "3"}}));
  // Repeats of frame 3 hold the two beats; frame 4 shows at 3:3, with the lines before it.
  EXPECT_EQ(edited.text(), with(authors, "34\r\n; a comment\r\n*unknown directive\r\n*f1-3-1-0/2",
                                "34\r\n*f1-3-1-0/1\r\n34\r\n*f1-3-2-0/1\r\n34\r\n; a comment\r\n"
                                "*unknown directive\r\n*f1-3-3-0/2"));
  // 4.1 s at 120 is 8.2 quarter notes into the song: the nearest beat is 3:1.
  ASSERT_TRUE(edited.run({{"command", "move"}, {"frame", "6"}, {"seconds", "4.1"}}));
  EXPECT_EQ(edited.text(), authors);
  EXPECT_FALSE(edited.run({{"command", "move"}, {"frame", "2"}, {"measure", "2"}, {"beat", "2"}}));
  EXPECT_EQ(edited.last_problem,
            "frame 2 can move back only until the frame before it has a step of its own: to "
            "2:2 at the earliest");
  EXPECT_FALSE(edited.run({{"command", "move"}, {"frame", "1"}, {"measure", "1"}, {"beat", "1"}}));
  EXPECT_EQ(edited.last_problem, "frame 1 shows as early as the player shows a frame: at 2:2");
}

TEST(DocumentEdits, FramesInsertedDeletedAndPastedMoveTheRest) {
  Edited edited(authors);
  ASSERT_TRUE(edited.run({{"command", "insert"}, {"after", "1"}}));
  std::string expected = with(authors, "*f1-2-3\r\n", "*f1-2-3-0/1\r\n12\r\n*f1-2-4-0/1\r\n");
  expected = with(expected, "*f1-2-4-0/0", "*f1-3-1-0/1");
  expected = with(expected, "*f1-3-1-0/2", "*f1-3-2-0/2");
  EXPECT_EQ(edited.text(), expected);
  // Back where they were, the frames are stamped so again, their divisions written out.
  ASSERT_TRUE(edited.run({{"command", "delete"}, {"frame", "2"}}));
  EXPECT_EQ(edited.text(),
            with(with(authors, "*f1-2-3\r\n", "*f1-2-3-0/1\r\n"), "*f1-2-4-0/0", "*f1-2-4-0/1"));
  ASSERT_TRUE(edited.run({{"command", "paste"}, {"after", "4"}, {"frames", "4:11,24:22"}}));
  EXPECT_EQ(edited.text().substr(edited.text().find("56\r\n")),
            "56\r\n*f1-3-1-0/4\r\n11\r\n*f1-3-1-0/24\r\n22\r\n*end\r\nafter the end\r\n");
  EXPECT_FALSE(edited.run({{"command", "delete"}, {"frame", "1"}, {"count", "6"}}));
  EXPECT_EQ(edited.last_problem, "an animation keeps one frame at least");
}

TEST(DocumentEdits, PatternsAnnouncedCarryTheirNumberToTheNextAnnouncement) {
  Edited edited(authors);
  ASSERT_TRUE(
      edited.run({{"command", "pattern"}, {"frame", "3"}, {"number", "2"}, {"text", "Chorus"}}));
  std::string expected = with(authors, "*f1-2-4-0/0\r\n", "*p2,Chorus\r\n*f2-2-4-0/1\r\n");
  expected = with(expected, "*f1-3-1-0/2", "*f2-3-1-0/2");
  EXPECT_EQ(edited.text(), expected);
  ASSERT_EQ(announcements_at(edited.document, 2).size(), 1u);
  ASSERT_TRUE(edited.run({{"command", "unpattern"}, {"frame", "3"}}));
  EXPECT_EQ(edited.text(), with(authors, "*f1-2-4-0/0\r\n", "*f1-2-4-0/1\r\n"));
  EXPECT_FALSE(edited.run(
      {{"command", "pattern"}, {"frame", "1"}, {"number", "2"}, {"text", "\xf0\x9f\x8e\xb5"}}));
  EXPECT_EQ(edited.last_problem,
            "pattern 2: the character at byte 1 of its text has no Shift_JIS form");
  // Frames that would show a number never announced, while others are.
  Edited bare("*nXY=1,1\n*f1-2-2-0/1\n1\n*f1-2-3-0/1\n2\n");
  EXPECT_FALSE(bare.run({{"command", "pattern"}, {"frame", "2"}, {"number", "2"}, {"text", "B"}}));
  EXPECT_EQ(bare.last_problem,
            "announce a pattern at frame 1 first: the frames before frame 2 would show pattern 1 "
            "with no text");
  ASSERT_TRUE(bare.run({{"command", "pattern"}, {"frame", "1"}, {"number", "1"}, {"text", "A"}}));
  ASSERT_TRUE(bare.run({{"command", "pattern"}, {"frame", "2"}, {"number", "2"}, {"text", "B"}}));
  EXPECT_FALSE(bare.run({{"command", "unpattern"}, {"frame", "1"}}));
  EXPECT_EQ(bare.last_problem,
            "the first pattern stays while others follow (at frame 2): change its text instead");
}

TEST(DocumentEdits, ANewGridKeepsThePicturesWhereTheyWere) {
  // The default grid, 24 x 5: "*nXY=" goes before the first directive.
  const std::string row(24, '0'), middle = std::string(11, '0') + "12" + std::string(11, '0');
  Edited edited("; mark\n*p1,A\n*f1-2-2-0/1\n" + row + "\n" + row + "\n" + middle + "\n" + row +
                "\n" + row + "\n");
  ASSERT_TRUE(edited.run({{"command", "grid"}, {"width", "2"}, {"height", "1"}}));
  EXPECT_EQ(edited.text(), "; mark\n*nXY=2,1\n*p1,A\n*f1-2-2-0/1\n12\n");
  ASSERT_TRUE(edited.run({{"command", "grid"}, {"width", "4"}, {"height", "3"}}));
  EXPECT_EQ(edited.text(), "; mark\n*nXY=4,3\n*p1,A\n*f1-2-2-0/1\n0000\n0120\n0000\n");
  ASSERT_TRUE(edited.run({{"command", "grid"}, {"width", "1"}, {"height", "1"}}));
  EXPECT_EQ(edited.text(), "; mark\n*nXY=1,1\n*p1,A\n*f1-2-2-0/1\n2\n");
}

TEST(DocumentEdits, FramesPlacedInsideAFrameCutItAndReplaceWhatWasThere) {
  const MeasureMap measures(4, 4);
  const std::string two = "*nXY=2,1\n*f1-2-2-0/1\n11\n*f1-2-3-0/1\n22\n*end\n";
  {
    Edited edited(two);
    std::string problem;
    // An eighth note into frame 1: it is cut, the clip inserted, and the rest of it after.
    ASSERT_TRUE(place_frames(edited.document, measures, measures.position(2, 2) + 48,
                             {{"33", 2}, {"44", 2}}, false, problem))
        << problem;
    EXPECT_EQ(edited.text(),
              "*nXY=2,1\n*f1-2-2-0/2\n11\n*f1-2-2-0/2\n33\n*f1-2-3-0/2\n44\n*f1-2-3-0/2\n11\n"
              "*f1-2-4-0/1\n22\n*end\n");
  }
  {
    Edited edited(two);
    std::string problem;
    ASSERT_TRUE(place_frames(edited.document, measures, measures.position(2, 2) + 48,
                             {{"33", 2}, {"44", 2}}, true, problem));
    EXPECT_EQ(
        edited.text(),
        "*nXY=2,1\n*f1-2-2-0/2\n11\n*f1-2-2-0/2\n33\n*f1-2-3-0/2\n44\n*f1-2-3-0/2\n22\n*end\n");
    // Past the end: the screen dark until then.
    ASSERT_TRUE(place_frames(edited.document, measures, measures.position(3, 1), {{"55", 1}}, false,
                             problem));
    EXPECT_EQ(edited.text().substr(edited.text().find("*f1-2-3-0/2\n22")),
              "*f1-2-3-0/2\n22\n*f1-2-4-0/1\n00\n*f1-3-1-0/1\n55\n*end\n");
  }
}

TEST(EditHistory, UndoAndRedoGiveBackEveryVersion) {
  Edited edited(authors);
  EditHistory history;
  Lines lines = split_lines(authors);
  std::vector<std::string> versions = {authors};
  const std::vector<CommandFields> commands = {
      {{"command", "paint"}, {"frame", "1"}, {"cells", "77"}},
      {{"command", "insert"}, {"after", "4"}},
      {{"command", "division"}, {"frame", "2"}, {"division", "3"}},
  };
  for (const CommandFields& command : commands) {
    ASSERT_TRUE(edited.run(command));
    const Lines after = document_lines(edited.document, edited.measures);
    history.record(lines, after, command.at("command"));
    lines = after;
    versions.push_back(join_lines(lines));
  }
  history.record(lines, lines, "nothing");  // not kept
  for (std::size_t k = versions.size() - 1; k > 0; --k) {
    EXPECT_EQ(history.next_undo(), commands[k - 1].at("command"));
    ASSERT_TRUE(history.undo(lines));
    EXPECT_EQ(join_lines(lines), versions[k - 1]);
  }
  EXPECT_FALSE(history.undo(lines));
  ASSERT_TRUE(history.redo(lines));
  ASSERT_TRUE(history.redo(lines));
  EXPECT_EQ(join_lines(lines), versions[2]);
  history.record(lines, split_lines(authors), "another");
  EXPECT_FALSE(history.redo(lines));
}

}  // namespace
}  // namespace mosaiq::studio
