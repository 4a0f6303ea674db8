#include <gtest/gtest.h>

#include "view/script_reader.h"
#include "view_test_support.h"

namespace mosaiq::view {
namespace {

using testing::row_text;

TEST(ScriptReader, FramesEndAtEmptyLinesAndKeepOnlyTheirChanges) {
  const Script script = read_script(
      "@startup(400)\r\n@wmode(23);\r\n@wait(0);\r\n\r\n"
      "\x1b[1;1HA;\r\n\r\n"
      "@wmode(11);\n\x1b[1;2HB;\n\n"
      "\n"
      "\x1b[1;1HC;");  // cut short: the text still ends a frame
  ASSERT_EQ(script.frames.size(), 5u);
  EXPECT_TRUE(script.has_startup);
  EXPECT_TRUE(script.frames[0].changes.empty());
  ASSERT_EQ(script.frames[1].changes.size(), 1u);
  EXPECT_EQ(script.frames[1].changes[0].index, 0);
  EXPECT_EQ(script.frames[2].wmode, 11);
  EXPECT_EQ(script.frames[1].wmode, 23);
  EXPECT_TRUE(script.frames[3].changes.empty());
  EXPECT_EQ(row_text(screen_at(script, 2), 1), "AB");
  EXPECT_EQ(row_text(screen_at(script, 4), 1), "CB");
  EXPECT_EQ(script.passed_over, 0);
}

TEST(ScriptReader, ModesBelowZeroAreNotedAndOtherCommandsKeepTheMode) {
  const Script script = read_script("\n@wmode(-7);\n\n@wmode(x);\n\n");
  ASSERT_EQ(script.frames.size(), 3u);
  EXPECT_FALSE(script.has_startup);
  EXPECT_EQ(script.frames[2].wmode, -7);
  EXPECT_TRUE(script.negative_wmode);
  EXPECT_EQ(script.first_negative_wmode, -7);
}

TEST(PanelValues, ReadsThePanelAsTheScreenShowsIt) {
  const Script script = read_script(
      "@startup(400)\n\n"
      "\x1b[1;1H;\n\x1b[33mPattern      \x1b[0K;\n\x1b[1;9H;\n\x1b[33m12   \x1b[0KIntro;\n"
      "\x1b[37m;\n\x1b[3;1H;\nMeasure      Beat   ;\n\x1b[3;9H 7;\n\x1b[3;19H 3;\n\n"
      "\x1b[3;9H123;\n\x1b[3;19H-4;\n\n");
  ASSERT_EQ(script.frames.size(), 3u);
  EXPECT_EQ(script.frames[0].panel, (PanelValues{"", "", ""})) << "no panel yet";
  EXPECT_EQ(script.frames[1].panel, (PanelValues{"12", "7", "3"}));
  EXPECT_EQ(script.frames[2].panel, (PanelValues{"12", "123", "-4"}));
}

}  // namespace
}  // namespace mosaiq::view
