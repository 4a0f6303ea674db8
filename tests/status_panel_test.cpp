#include <gtest/gtest.h>

#include "convert/status_panel.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using testing::EngineFixture;
using testing::wrd_lines;

const std::string pattern_label = wrd_lines({"\x1b[1;1H;", "\x1b[33mPattern      \x1b[0K;"});
const std::string measure_beat_label = wrd_lines({"\x1b[3;1H;", "Measure      Beat   ;"});
const std::string white = wrd_lines({"\x1b[37m;"});

std::string pattern_value(const std::string& number_and_text) {
  return wrd_lines({"\x1b[1;9H;", "\x1b[33m" + number_and_text + ";"});
}

TEST(StatusPanel, PatternLabelOnceThenValuesAsNeeded) {
  EngineFixture f;
  show_pattern(f.state, 1, "Intro");
  show_pattern(f.state, 1, "");         // number shown, no text: nothing
  show_pattern(f.state, 1, "Verse A");  // number shown, a text: written again
  show_pattern(f.state, 12, "");        // another number: written, the text erased
  EXPECT_EQ(f.output(), pattern_label + pattern_value(" 1   \x1b[0KIntro") +
                            pattern_value(" 1   \x1b[0KVerse A") + pattern_value("12   \x1b[0K"));
  EXPECT_EQ(f.state.current_colour, 6);
  EXPECT_EQ(f.state.panel.shown_pattern, 12);
}

TEST(StatusPanel, PatternZeroAtTheStartWritesOnlyTheLabel) {
  EngineFixture f;
  show_pattern(f.state, 0, "");
  EXPECT_EQ(f.output(), pattern_label);
}

TEST(StatusPanel, PatternTextsAreWrittenUnchanged) {
  EngineFixture f;
  const std::string text = "\x83\x41\x83\x43  two  blanks \x95\x5c ";  // アイ, 表, blanks kept
  show_pattern(f.state, 3, text);
  EXPECT_EQ(f.output(), pattern_label + pattern_value(" 3   \x1b[0K" + text));
}

TEST(StatusPanel, WideAndNegativeNumbersTakeTheColumnsTheyNeed) {
  EngineFixture f;
  f.state.panel.pattern_label_pending = false;
  f.state.panel.measure_beat_label_pending = false;
  f.state.current_colour = 7;
  show_pattern(f.state, 100, "");
  show_pattern(f.state, -5, "");
  show_pattern(f.state, -2147483647 - 1, "");
  f.state.current_colour = 7;
  show_measure_beat(f.state, 1234, -3);
  show_measure_beat(f.state, -2147483647 - 1, 2147483647);
  EXPECT_EQ(f.output(), pattern_value("100   \x1b[0K") + pattern_value("-5   \x1b[0K") +
                            pattern_value("-2147483648   \x1b[0K") +
                            wrd_lines({"\x1b[3;9H1234;", "\x1b[3;19H-3;", "\x1b[3;9H-2147483648;",
                                       "\x1b[3;19H2147483647;"}));
}

TEST(StatusPanel, MeasureAndBeatWrittenWhenTheBeatChanges) {
  EngineFixture f;
  show_measure_beat(f.state, 1, 4);
  show_measure_beat(f.state, 2, 4);  // beat unchanged: the new measure is not written
  show_measure_beat(f.state, 2, 1);  // both differ from what is shown
  show_measure_beat(f.state, 2, 2);  // only the beat
  EXPECT_EQ(f.output(), white + measure_beat_label +
                            wrd_lines({"\x1b[3;9H 1;", "\x1b[3;19H 4;", "\x1b[3;9H 2;",
                                       "\x1b[3;19H 1;", "\x1b[3;19H 2;"}));
  EXPECT_EQ(f.state.panel.shown_measure, 2);
}

TEST(StatusPanel, BeatZeroAtTheStartWritesOnlyTheLabelLine) {
  EngineFixture f;
  show_measure_beat(f.state, 5, 0);
  EXPECT_EQ(f.output(), white + measure_beat_label);
  EXPECT_EQ(f.state.panel.shown_measure, 0);
}

TEST(StatusPanel, WhiteEscapeOnlyWhenAnotherColourIsSelected) {
  EngineFixture f;
  f.state.current_colour = 7;  // the last lit cell was white
  show_measure_beat(f.state, 1, 1);
  f.state.current_colour = 3;  // a magenta cell was painted since
  show_measure_beat(f.state, 1, 2);
  show_measure_beat(f.state, 1, 3);
  EXPECT_EQ(f.output(), measure_beat_label + wrd_lines({"\x1b[3;9H 1;", "\x1b[3;19H 1;"}) + white +
                            wrd_lines({"\x1b[3;19H 2;", "\x1b[3;19H 3;"}));
}

TEST(StatusPanel, ResetBringsBothLabelsBack) {
  EngineFixture f;
  show_pattern(f.state, 2, "x");
  show_measure_beat(f.state, 1, 1);
  f.output();
  f.sink.bytes.clear();
  reset_panel(f.state);
  show_pattern(f.state, 2, "");
  show_measure_beat(f.state, 1, 1);
  EXPECT_EQ(f.output(), pattern_label + pattern_value(" 2   \x1b[0K") + white + measure_beat_label +
                            wrd_lines({"\x1b[3;9H 1;", "\x1b[3;19H 1;"}));
}

}  // namespace
}  // namespace mosaiq
