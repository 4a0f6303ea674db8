// What a program may write over: never what the run reads, never anything but a regular file,
// a file it wrote only when its own opening says so, a WVE file of the author's never.
#include <gtest/gtest.h>

#include "platform/file_marks.h"
#include "platform/output_rules.h"
#include "test_support.h"

namespace mosaiq {
namespace {

bool opens_with_ours(std::string_view first) { return first.substr(0, 5) == "OURS\n"; }

TEST(OutputRules, WhatMayBeWrittenOver) {
  testing::MemoryFiles files;
  files.files = {{"in.wrd", "script"},      {"song.wve", "*nXY=2,1\n"},
                 {"ours.out", "OURS\nold"}, {"marked.wve", "OURS\n*nXY=2,1\n"},
                 {"late.out", "a\nOURS\n"}, {"other.out", "other"}};
  files.links = {{"to-input.out", "in.wrd"}, {"to-wve.out", "song.wve"}};
  files.devices.insert("null.out");
  files.folders.insert("dir.out");
  OutputRules rules{{{"in.wrd", "the script"}}, opens_with_ours, false};
  const struct {
    const char* name;
    bool force;
    const char* refusal;
  } cases[] = {
      {"new.out", false, ""},
      {"ours.out", false, ""},
      {"marked.wve", false, ""},  // a WVE file this program wrote
      {"in.wrd", true, "will not write over in.wrd: it is the script"},
      {"to-input.out", true,
       "will not write over to-input.out: it is the script in.wrd, under another name or through "
       "a link"},
      {"to-wve.out", true, "will not write over to-wve.out: it is a WVE file (through a link)"},
      {"song.wve", true, "will not write over song.wve: it is a WVE file"},
      {"late.out", false,
       "will not write over late.out, a file that exists and that this program did not write "
       "(--force writes over it)"},
      {"other.out", true, ""},
      {"null.out", true,
       "will not write over null.out: it is not a regular file (a device, a fifo or a socket)"},
      {"dir.out", true, "will not write over dir.out: it is a folder"},
  };
  for (const auto& c : cases) {
    rules.force = c.force;
    EXPECT_EQ(output_refusal(files, c.name, rules), c.refusal) << c.name;
  }
}

TEST(OutputRules, EachProgramKnowsItsFilesByTheirOpening) {
  EXPECT_TRUE(written_by_import("written by mosaiq-import\r\n*nXY=2,1"));
  EXPECT_TRUE(written_by_import("written by mosaiq-import\n"));
  EXPECT_FALSE(written_by_import("written by mosaiq-import, then tuned\r\n"));
  EXPECT_FALSE(written_by_import("; written by mosaiq-import\r\n"));
  EXPECT_FALSE(written_by_import("*nXY=2,1\r\nwritten by mosaiq-import\r\n"));
  const std::string gif_start =
      std::string("GIF89a\x10\0\x08\0\xf2\0\0", 13) + std::string(24, 'c');
  const std::string comment = grid_gif_comment({8, 0});
  const std::string gif = gif_start + "\x21\xfe" + static_cast<char>(comment.size()) + comment;
  EXPECT_TRUE(gif_written_by_view(gif));
  EXPECT_FALSE(gif_written_by_view(gif.substr(0, 40))) << "cut short";
  EXPECT_FALSE(gif_written_by_view("GIF89a" + gif.substr(6, 31) + "\x21\x01" + gif.substr(39)));
  GridPicture grid;
  EXPECT_TRUE(
      read_grid_gif_comment("written by mosaiq-view: cells of 4 x 4 pixels from row 22", grid));
  EXPECT_EQ(grid.cell, 4);
  EXPECT_EQ(grid.top, 22);
  EXPECT_FALSE(
      read_grid_gif_comment("written by mosaiq-view: cells of 4 x 5 pixels from row 2", grid));
  EXPECT_FALSE(
      read_grid_gif_comment("written by mosaiq-view: cells of 4 x 4 pixels from row 2!", grid));
}

TEST(OutputRules, NamesByTheirEndings) {
  EXPECT_TRUE(name_ends_in("a.HTML", {".html", ".htm"}));
  EXPECT_TRUE(name_ends_in("dir.x/a.htm", {".html", ".htm"}));
  EXPECT_FALSE(name_ends_in(".gif", {".gif"})) << "an ending alone is no name";
  EXPECT_FALSE(name_ends_in("a.gif.png", {".gif"}));
}

}  // namespace
}  // namespace mosaiq
