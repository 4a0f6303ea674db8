// The player's clock: frame lengths, measures and beats, seconds, and a script's timeline.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "song/player_clock.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using namespace testing;

Song read(const std::string& bytes) {
  Song song;
  std::string problem, note;
  EXPECT_TRUE(read_midi(bytes, song, problem, note)) << problem;
  return song;
}

// 96 / (4 * d) - 1 with the quotient cut toward zero, also where 4 * d leaves 32 bits: every
// division near 0 and near each power of two, of either sign, against arithmetic that cannot
// overflow.
TEST(PlayerClock, ModeOfADivisionIsExactWhereFourTimesTheDivisionLeaves32Bits) {
  std::vector<std::int64_t> divisions;
  for (std::int64_t d = -100; d <= 100; ++d) divisions.push_back(d);
  for (int bit = 0; bit < 32; ++bit) {
    for (std::int64_t step = -2; step <= 2; ++step) {
      divisions.push_back((std::int64_t{1} << bit) + step);
      divisions.push_back(-(std::int64_t{1} << bit) + step);
    }
  }
  for (const std::int64_t d : divisions) {
    if (d == 0 || d < INT32_MIN || d > INT32_MAX) continue;
    const long double quotient = 96.0L / (4.0L * static_cast<long double>(d));
    EXPECT_EQ(wmode_of_division(static_cast<std::int32_t>(d)),
              static_cast<std::int64_t>(quotient) - 1)
        << d;
  }
  EXPECT_EQ(wmode_of_division(2147483647), -1);
  EXPECT_EQ(wmode_of_division(-2147483647 - 1), -1);
  EXPECT_EQ(wmode_of_division(-24), -2);
  EXPECT_EQ(wmode_of_division(-2), -13);
}

TEST(PlayerClock, AFrameLastsTheStepsItsModeGives) {
  const struct {
    std::int32_t division;
    std::int64_t steps;
    bool keeps_time;
  } cases[] = {
      {1, 24, true}, {2, 12, true},  {3, 8, true},   {4, 6, true},    {5, 4, false},
      {6, 4, true},  {7, 3, false},  {8, 3, true},   {12, 2, true},   {13, 1, false},
      {24, 1, true}, {25, 1, false}, {-1, 1, false}, {-30, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.division);
    EXPECT_EQ(frame_units(c.division), c.steps * units_per_step);
    EXPECT_EQ(keeps_time(c.division), c.keeps_time);
  }
  EXPECT_EQ(frame_units_of_wmode(-3), units_per_step) << "a negative mode plays as 0";
  for (const std::int32_t d : even_divisions) {
    EXPECT_EQ(division_of_steps(frame_units(d) / units_per_step), d);
  }
  EXPECT_EQ(frame_units(header_division), units_per_quarter) << "the header's frame";
  EXPECT_EQ(nearest_step(480, 481.9), 480);
  EXPECT_EQ(nearest_step(480, 482.1), 484) << "whole steps after frame 1";
  EXPECT_EQ(nearest_step(481, 470), 469);
  EXPECT_TRUE(falls_on_step(481, 489));
  EXPECT_FALSE(falls_on_step(481, 488));
}

std::string beat_text(const SongBeat& at) {
  return std::to_string(at.measure) + ":" + std::to_string(at.beat) + "+" + std::to_string(at.into);
}

TEST(PlayerClock, CountsMeasuresAndBeatsThroughTheSignatures) {
  // 3/4 for two measures, 6/8 from quarter note 6, then 2/4 half-way into a 6/8 measure.
  const Song song = read(midi_file(0, 480,
                                   {{signature(3, 2),
                                     {6 * 480, signature(6, 3).bytes},
                                     {480 + 480 / 2, signature(2, 2).bytes}}}));
  const MeasureMap map(song);
  EXPECT_EQ(startup_units(map), 3 * units_per_quarter);
  EXPECT_EQ(first_frame_position(map), 4 * units_per_quarter);
  EXPECT_EQ(beat_text(map.at(0)), "1:1+0");
  EXPECT_EQ(beat_text(map.at(5 * 96 + 10)), "2:3+10");
  EXPECT_EQ(beat_text(map.at(6 * 96)), "3:1+0") << "6/8 begins";
  EXPECT_EQ(beat_text(map.at(6 * 96 + 2 * 48 + 7)), "3:3+7") << "a beat is an eighth";
  EXPECT_EQ(beat_text(map.at(7 * 96 + 48)), "4:1+0") << "2/4 ends the 6/8 measure under way";
  EXPECT_EQ(beat_text(map.at(9 * 96 + 48)), "5:1+0");
  EXPECT_EQ(beat_text(map.at(-96)), "0:3+0") << "before the start, the first signature goes on";
  for (const std::int64_t position : {0, 250, 6 * 96, 7 * 96 + 48, 20 * 96 + 7}) {
    const SongBeat at = map.at(position);
    EXPECT_EQ(map.position(at.measure, at.beat) + at.into, position);
  }
  EXPECT_EQ(map.beat_units(3), 48);
  EXPECT_EQ(MeasureMap(5, 4).position(2, 1), 5 * 96) << "a constant signature";
  // Stamps far past any song (a checker's measure of a billion beats, found by fuzzing) are held
  // 2^60 units out, either way, not overflowed.
  const MeasureMap huge(1010101012, 4);
  EXPECT_EQ(huge.position(INT32_MAX, INT32_MAX), std::int64_t{1} << 60);
  EXPECT_EQ(huge.position(INT32_MIN, 1), -(std::int64_t{1} << 60));
}

TEST(PlayerClock, SecondsAndQuartersAlongTheTempoMapAreInverses) {
  // 120 quarter notes a minute, 60 from quarter note 2, 240 from quarter note 4.
  const Song song = read(midi_file(0, 480, {{tempo(0, 120), tempo(960, 60), tempo(960, 240)}}));
  const TempoMap map(song, 0);
  const struct {
    double quarters, seconds;
  } points[] = {{0, 0}, {1, 0.5}, {2, 1}, {3, 2}, {4, 3}, {6, 3.5}, {100, 27}, {-2, -1}};
  for (const auto& p : points) {
    SCOPED_TRACE(p.quarters);
    EXPECT_DOUBLE_EQ(map.seconds_at(p.quarters), p.seconds);
    EXPECT_DOUBLE_EQ(map.quarters_at(p.seconds), p.quarters);
  }
  EXPECT_DOUBLE_EQ(map.opening_bpm(), 120);
  const TempoMap constant(song, 150);
  EXPECT_DOUBLE_EQ(constant.seconds_at(5), 2);
  EXPECT_DOUBLE_EQ(constant.quarters_at(2), 5);
  EXPECT_DOUBLE_EQ(constant.opening_bpm(), 150);
}

TEST(PlayerClock, ATempoOfZeroIsNoChangeAndTheLaterOfTwoAtOneTickHolds) {
  // As the synthesiser plays it: the tempo of 0 at quarter note 1 passes unheard, 60 goes on.
  Song song;
  song.ticks_per_quarter = 100;
  song.tempo = {{0, 250000}, {0, 1000000}, {100, 0}, {300, 500000}};
  const TempoMap map(song, 0);
  EXPECT_DOUBLE_EQ(map.opening_bpm(), 60);
  EXPECT_DOUBLE_EQ(map.seconds_at(2), 2);
  EXPECT_DOUBLE_EQ(map.seconds_at(4), 3.5);
  EXPECT_DOUBLE_EQ(map.quarters_at(3.5), 4);
  EXPECT_TRUE(
      read(midi_file(0, 480, {{{0, std::string("\xff\x51\x03\x00\x00\x00", 6)}}})).tempo.empty())
      << "the song as read keeps no tempo of 0";
}

void expect_starts(const std::vector<FrameTime>& times, const std::vector<double>& expected) {
  ASSERT_EQ(times.size(), expected.size());
  for (std::size_t k = 0; k < times.size(); ++k) {
    EXPECT_NEAR(times[k].seconds, expected[k], 1e-9) << k;
  }
}

TEST(PlayerClock, FramesOfAScriptOneAfterAnother) {
  // Without a song, 4/4 at 120: one measure (2 s), then a quarter note for the header's frame.
  expect_starts(frame_times({23, 23, 11, 11, 23}, Song{}, 0), {0, 2.5, 3.0, 3.25, 3.5, 4.0});
  // 6/8 at 90: its measure is three quarter notes.
  const Song six_eight = read(midi_file(1, 96, {{signature(6, 3), tempo(0, 90)}, {note(0)}}));
  const double quarter = 666666e-6;  // 60000000 / 90 microseconds, as the file holds it
  const std::vector<FrameTime> times = frame_times({23, 23, 5, 11}, six_eight, 0);
  expect_starts(times, {0, 4 * quarter, 5 * quarter, 5.25 * quarter, 5.75 * quarter});
  const std::vector<std::string> bars = {"1:1+0", "2:3+0", "2:5+0", "2:5+24", "2:6+24"};
  for (std::size_t k = 0; k < times.size(); ++k) EXPECT_EQ(beat_text(times[k].song), bars[k]);
  // A constant tempo replaces the song's, not its signature; the last tempo goes on past the
  // song, and a negative mode plays as 0.
  const Song three_four = read(midi_file(0, 480, {{signature(3, 2), tempo(0, 200)}}));
  expect_starts(frame_times({23, 23, -5}, three_four, 60), {0, 4, 5, 5 + 1.0 / 24});
  const Song two_four = read(midi_file(0, 480, {{signature(2, 2), tempo(480, 240)}}));
  expect_starts(frame_times({23, 23, 23, 23}, two_four, 0), {0, 1.0, 1.25, 1.5, 1.75});
}

}  // namespace
}  // namespace mosaiq
