// A script as a GIF's frames: the grid told by what the script draws, the frames that change it,
// and their hundredths of a second.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/wve_conversion.h"
#include "view/gif_frames.h"
#include "view/timeline.h"

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
  const std::vector<GifFrame> frames = gif_frames(script, times, {2, 1}, false);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].cells, (std::vector<std::uint8_t>{1, 0}));
  EXPECT_EQ(frames[1].cells, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(frames[2].cells, (std::vector<std::uint8_t>{7, 7}));
  EXPECT_EQ(frames[0].delay + frames[1].delay, 50)
      << "the two first frames end with the third's start";
  EXPECT_EQ(frames[0].delay, 17);
  EXPECT_EQ(frames[2].delay, 17);
  // With the panel, its lines as ASCII: a change of beat alone makes a frame.
  const std::vector<GifFrame> panel = gif_frames(script, times, {2, 1}, true);
  ASSERT_EQ(panel.size(), 4u);
  EXPECT_EQ(panel[0].panel, "Pattern 1 Intro\nMeasure 1 Beat 1");
}

}  // namespace
}  // namespace mosaiq::view
