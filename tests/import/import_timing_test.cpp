// Pictures placed in the song as frame records the player times.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "../test_support.h"
#include "import/import_timing.h"

namespace mosaiq::import {
namespace {

using mosaiq::testing::midi_file;
using mosaiq::testing::signature;
using mosaiq::testing::tempo;

Song song_of(const std::string& midi) {
  Song song;
  std::string problem, note;
  EXPECT_TRUE(read_midi(midi, song, problem, note)) << problem;
  return song;
}

struct Placed {
  std::vector<std::size_t> pictures;
  std::vector<std::int64_t> positions;
  std::vector<std::int32_t> divisions;
  std::size_t left_out = 0;
  std::string problem;
};

Placed place(const Song& song, const std::vector<int>& delays, std::size_t count,
             std::int64_t start = -1, int per_beat = 0, int repeat = 1, std::int64_t until = -1,
             double bpm = 0) {
  const MeasureMap measures(song);
  Placement placement;
  Placed placed;
  if (!place_pictures(delays, count, {song, bpm, measures, start, per_beat, repeat, until},
                      placement, placed.problem)) {
    return placed;
  }
  for (const PlacedRecord& record : placement.records) {
    placed.pictures.push_back(record.picture);
    placed.positions.push_back(record.position);
    placed.divisions.push_back(record.division);
  }
  placed.left_out = placement.left_out.size();
  return placed;
}

const std::size_t dark = dark_picture;

TEST(ImportTiming, RecordsOfDivisionsCutAtTheBeats) {
  const Song common = song_of(midi_file(1, 480, {{tempo(0, 120)}}));  // 4/4, half a second a beat
  // Frame 1 shows one measure and a quarter note in: 4 * 96 + 96 units.
  const struct {
    const char* name;
    Placed placed;
    std::vector<std::size_t> pictures;
    std::vector<std::int64_t> positions;
    std::vector<std::int32_t> divisions;
  } cases[] = {
      {"half a beat each", place(common, {}, 3, -1, 2), {0, 1, 2}, {480, 528, 576}, {2, 2, 2}},
      {"by the delays", place(common, {25, 25, 50}, 3), {0, 1, 2}, {480, 528, 576}, {2, 2, 1}},
      {"cut where a beat starts",
       place(common, {25, 75}, 2),
       {0, 1, 1},
       {480, 528, 576},
       {2, 2, 1}},
      {"the dark screen before --start",
       place(common, {}, 1, 768),
       {dark, dark, dark, 0},
       {480, 576, 672, 768},
       {1, 1, 1, 1}},
      {"played three times",
       place(common, {}, 2, -1, 4, 3),
       {0, 1, 0, 1, 0, 1},
       {480, 504, 528, 552, 576, 600},
       {4, 4, 4, 4, 4, 4}},
      // 30 hundredths: 57.6 units, so pictures at 480, 536 and 596 (the nearest steps), the
      // third cut at 624; each cut at the beat at 576 and into lengths a division gives.
      {"until a beat, the last picture cut there",
       place(common, {30}, 1, -1, 0, 1, 624),
       std::vector<std::size_t>(8, 0),
       {480, 528, 536, 568, 576, 592, 596, 620},
       {2, 12, 3, 12, 6, 24, 4, 24}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.placed.problem, "");
    EXPECT_EQ(c.placed.pictures, c.pictures);
    EXPECT_EQ(c.placed.positions, c.positions);
    EXPECT_EQ(c.placed.divisions, c.divisions);
  }
}

TEST(ImportTiming, TheRunningTimeIsRoundedNotEachDelay) {
  // 7 hundredths at 120: 13.44 units a picture, which no step is; each starts within half a
  // step of its exact time, however many came before.
  const Song common = song_of(midi_file(1, 480, {{tempo(0, 120)}}));
  const Placed placed = place(common, std::vector<int>(400, 7), 400);
  std::int64_t last = -1;
  for (std::size_t i = 0; i < placed.pictures.size(); ++i) {
    if (placed.pictures[i] == static_cast<std::size_t>(last)) continue;
    last = static_cast<std::int64_t>(placed.pictures[i]);
    const double exact = 480 + 13.44 * static_cast<double>(placed.pictures[i]);
    EXPECT_LE(std::abs(static_cast<double>(placed.positions[i]) - exact), 2.0)
        << "picture " << last;
  }
  // A change of tempo to 60 six quarter notes in (3 s): frame 1 shows at 2.5 s, and 1.5 s
  // later is one quarter note at 120 and one at 60 further.
  const Song slower = song_of(midi_file(1, 480, {{tempo(0, 120), tempo(2880, 60)}}));
  const Placed across = place(slower, {150, 100}, 2);
  EXPECT_EQ(across.positions.front(), 480);
  EXPECT_EQ(across.pictures.back(), 1u);
  std::int64_t second = 0;
  for (std::size_t i = 0; i < across.pictures.size(); ++i) {
    if (across.pictures[i] == 1) {
      second = across.positions[i];
      break;
    }
  }
  EXPECT_EQ(second, 480 + 2 * 96);
}

TEST(ImportTiming, SignaturesStepsAndWhatCannotBe) {
  // 6/8: a beat is an eighth, so a quarter's picture is cut in two.
  const Song six_eight = song_of(midi_file(1, 480, {{signature(6, 3), tempo(0, 120)}}));
  const Placed eighths = place(six_eight, {}, 2, -1, 1);
  EXPECT_EQ(eighths.positions, (std::vector<std::int64_t>{384, 432, 480, 528}));
  EXPECT_EQ(eighths.divisions, (std::vector<std::int32_t>{2, 2, 2, 2}));
  // At 250 a step is a hundredth: a picture of 5 takes 4 steps and 1.
  const Placed five = place(Song{}, {5}, 1, -1, 0, 1, -1, 250);
  EXPECT_EQ(five.divisions, (std::vector<std::int32_t>{6, 24}));
  // Shorter than a step: left out.
  const Placed short_one = place(Song{}, {1, 50}, 2);
  EXPECT_EQ(short_one.left_out, 1u);
  EXPECT_EQ(short_one.pictures.front(), 1u);
  EXPECT_EQ(place(Song{}, {}, 1, 96).problem,
            "--start 1:2 comes before the player can show a frame: 2:2 at the earliest");
}

}  // namespace
}  // namespace mosaiq::import
