#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/timeline.h"
#include "view_test_support.h"

namespace mosaiq::view {
namespace {

using namespace testing;

// A script of frames under the given modes: "@wmode(n)" before each frame that changes it.
Script frames_under(const std::vector<int>& modes) {
  std::string text = "@startup(400)\n@wmode(23);\n@wait(0);\n\n";
  int mode = 23;
  for (const int m : modes) {
    if (m != mode) text += "@wmode(" + std::to_string(m) + ");\n";
    mode = m;
    text += "\x1b[1;1HX;\n\n";
  }
  return read_script(text);
}

Song song_of(const std::string& bytes) {
  Song song;
  std::string problem, note;
  EXPECT_TRUE(read_midi(bytes, song, problem, note)) << problem;
  return song;
}

void expect_starts(const std::vector<FrameTime>& times, const std::vector<double>& expected) {
  ASSERT_EQ(times.size(), expected.size());
  for (std::size_t k = 0; k < times.size(); ++k) {
    EXPECT_NEAR(times[k].seconds, expected[k], 1e-9) << k;
  }
}

TEST(Timeline, WithoutASongFourFourAtOneHundredTwenty) {
  // One measure (2 s), then a quarter note for the header's frame: frame 1 at 2.5 s.
  expect_starts(frame_times(frames_under({23, 11, 11, 23}), Song{}, 0),
                {0, 2.5, 3.0, 3.25, 3.5, 4.0});
}

TEST(Timeline, SixEightTakesThreeQuarterNotesForItsMeasure) {
  const Song song = song_of(midi_file(1, 96, {{signature(6, 3), tempo(0, 90)}, {note(0)}}));
  const double quarter = 666666e-6;  // 60000000 / 90 microseconds, as the file holds it
  expect_starts(frame_times(frames_under({23, 5}), song, 0),
                {0, 4 * quarter, 5 * quarter, 5.25 * quarter});
}

TEST(Timeline, TwoFourAndTheLastTempoGoesOnPastTheSong) {
  const Song song = song_of(midi_file(0, 480, {{signature(2, 2), tempo(480, 240)}}));
  // A quarter note at 120 (0.5 s), then quarter notes of 0.25 s to the end and beyond it:
  // frame 1 at 2 + 1 quarter notes.
  expect_starts(frame_times(frames_under({23, 23, 23}), song, 0), {0, 1.0, 1.25, 1.5, 1.75});
}

TEST(Timeline, EveryFrameKnowsTheSongsMeasureAndBeat) {
  // 6/8: frame 1 after one measure (six eighths) and a quarter note: the song's 2:3.
  const Song song = song_of(midi_file(1, 96, {{signature(6, 3), tempo(0, 90)}, {note(0)}}));
  const std::vector<FrameTime> times = frame_times(frames_under({23, 11, 5}), song, 0);
  const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {
      {1, 1}, {2, 3}, {2, 5}, {2, 6}, {2, 6}};
  ASSERT_EQ(times.size(), expected.size());
  for (std::size_t k = 0; k < times.size(); ++k) {
    EXPECT_EQ(std::make_pair(times[k].song.measure, times[k].song.beat), expected[k]) << k;
  }
}

TEST(Timeline, ATempoGivenReplacesTheSongsButNotItsSignature) {
  const Song song = song_of(midi_file(0, 480, {{signature(3, 2), tempo(0, 200)}}));
  expect_starts(frame_times(frames_under({23, -5}), song, 60), {0, 4, 5, 5 + 1.0 / 24});
}

}  // namespace
}  // namespace mosaiq::view
