// A script as a GIF's frames: the grid told by what the script draws, the frames that change it,
// and their hundredths of a second.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "convert/wve_conversion.h"
#include "view/gif_frames.h"
#include "view/timeline.h"
#include "view_test_support.h"

namespace mosaiq::view {
namespace {

Script script_of(const std::string& wve) { return read_script(convert_in_memory(wve).script); }

TEST(GifFrames, TheGridAScriptDrawsOn) {
  // Its corners lit at some time: the whole grid; one middle cell only: the smallest grid
  // centred there that holds it; nothing lit: the usual 24 x 5.
  const struct {
    const char* wve;
    ScreenGrid grid;
  } cases[] = {
      {"*nXY=5,3\n*f1-1-1\n10000\n00000\n00000\n*f1-1-2\n00000\n00000\n00006\n", {5, 3}},
      {"*nXY=5,3\n*f1-1-1\n00000\n00100\n00000\n", {1, 1}},
      {"*nXY=5,3\n*f1-1-1\n00000\n00000\n00000\n", {24, 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wve);
    const ScreenGrid grid = grid_of(script_of(c.wve));
    EXPECT_EQ(grid.width, c.grid.width);
    EXPECT_EQ(grid.height, c.grid.height);
  }
}

TEST(GifFrames, OneForEveryChangeInHundredthsOfTheRunningTime) {
  // At 120 a quarter note is 50 hundredths: frames of 1/3 of a quarter each, 16.67, so their
  // starts fall at 0, 17, 33 and 50 hundredths (the running time rounded), the third the
  // same as the second and folded into it.
  const Script script = script_of(
      "*nXY=2,1\n*p1,Intro\n*f1-1-1-0/3\n10\n*f1-1-2-0/3\n12\n*f1-1-3-0/3\n12\n*f1-1-4-0/3\n77\n");
  const std::vector<FrameTime> times = frame_times(script, Song{}, 0);
  const std::vector<GifFrame> frames = testing::all_gif_frames(script, times, {2, 1}, false);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].cells, (std::vector<std::uint8_t>{1, 0}));
  EXPECT_EQ(frames[1].cells, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(frames[2].cells, (std::vector<std::uint8_t>{7, 7}));
  EXPECT_EQ(frames[0].delay + frames[1].delay, 50)
      << "the two first frames end with the third's start";
  EXPECT_EQ(frames[0].delay, 17);
  EXPECT_EQ(frames[2].delay, 17);
  // With the panel, its lines as ASCII: a change of beat alone makes a frame.
  const std::vector<GifFrame> panel = testing::all_gif_frames(script, times, {2, 1}, true);
  ASSERT_EQ(panel.size(), 4u);
  EXPECT_EQ(panel[0].panel, "Pattern 1 Intro\nMeasure 1 Beat 1");
}

TEST(GifFrames, NoneShorterThanBrowsersShowNorLongerThanAGifSays) {
  // At 3000 quarter notes a minute a frame of division 24 lasts a twelfth of a hundredth: the
  // frames that would show shorter than 2 hundredths give way, the running time kept.
  std::string fast = "*nXY=1,1\n";
  for (int k = 0; k < 200; ++k) fast += "*f1-1-1-0/24\n" + std::to_string(1 + k % 7) + "\n";
  const Script script = script_of(fast);
  const std::vector<FrameTime> times = frame_times(script, Song{}, 3000);
  std::int64_t running = 0;
  for (const GifFrame& frame : testing::all_gif_frames(script, times, {1, 1}, false)) {
    EXPECT_GE(frame.delay, shortest_gif_delay);
    running += frame.delay;
  }
  EXPECT_EQ(running, std::llround((times.back().seconds - times[1].seconds) * 100));
  // A frame held for days is written once, for as long as a GIF frame can last.
  const Script held = read_script(
      "@startup(400)\n@wmode(23);\n\n@wmode(999999999);\n\x1b[14;39H\x1b[34m\x81\xa1;\n\n"
      "\x1b[14;39H\x1b[31m\x81\xa1;\n\n");
  GifFramesMade made;
  std::vector<std::int64_t> delays;
  gif_frames(
      held, frame_times(held, Song{}, 0), {1, 1}, false,
      [&](const GifFrame& frame) {
        delays.push_back(frame.delay);
        return true;
      },
      &made);
  EXPECT_EQ(delays, (std::vector<std::int64_t>{longest_gif_delay, longest_gif_delay}));
  EXPECT_EQ(made.cut, 2u);
}

TEST(GifFrames, OnlyTheCellsTheScreenShows) {
  const struct {
    ScreenGrid grid;
    int first_column, first_row, columns, rows;
  } cases[] = {
      {{24, 5}, 0, 0, 24, 5},      {{39, 22}, 0, 0, 39, 22},
      {{40, 1}, 1, 0, 39, 1},  // its first cell would start in column 0
      {{9000, 5}, 4481, 0, 39, 5}, {{3, 30000}, 0, 14986, 3, 25},
  };
  for (const auto& c : cases) {
    const GifArea area = shown_area(c.grid);
    EXPECT_EQ(std::vector<int>({area.first_column, area.first_row, area.columns, area.rows}),
              std::vector<int>({c.first_column, c.first_row, c.columns, c.rows}))
        << c.grid.width << " x " << c.grid.height;
  }
}

}  // namespace
}  // namespace mosaiq::view
