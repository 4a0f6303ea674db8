// A script as the frames of an animated GIF: the grid's cells the player's screen shows (and, if
// asked, the panel's two lines), one frame for every script frame from frame 1 on that changes
// them, each lasting until the next in hundredths of a second, the running time rounded so that
// the GIF keeps to the song. Frames are handed on one at a time, as soon as their delay is
// known: the memory they take does not grow with their number.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "view/script_reader.h"
#include "view/timeline.h"

namespace mosaiq::view {

// The grid a script is drawn on: its size in cells.
struct ScreenGrid {
  int width = 0, height = 0;
};

// The grid of a script whose WVE file is not at hand, told by where it draws cells: the
// smallest centred grid that holds every cell it ever lights (24 x 5 where it lights none).
ScreenGrid grid_of(const Script& script);

// The cells of a grid that the player's screen shows: a grid that fits the screen whole, of a
// larger one the part on the screen.
struct GifArea {
  int first_column = 0, first_row = 0;  // the first cell shown, counted from 0
  int columns = 0, rows = 0;
};
GifArea shown_area(const ScreenGrid& grid);

struct GifFrame {
  std::vector<std::uint8_t> cells;  // cell digits of the area, row by row
  std::string panel;                // the panel's two lines, as ASCII, "\n" between them
  std::int64_t delay;               // hundredths of a second
};

// A frame is shown at least this long: browsers show a frame of 0 or 1 hundredth for about a
// tenth of a second, so a shorter one gives way to the next, which takes its start (a last one
// too short takes the place of the one before it). And at most as long as a GIF can say: a
// frame held longer is cut to it.
constexpr std::int64_t shortest_gif_delay = 2;
constexpr std::int64_t longest_gif_delay = 65535;

// How many frames were made, and how many of them were cut to the longest delay.
struct GifFramesMade {
  std::size_t frames = 0;
  std::size_t cut = 0;
};

// Hands every frame to `take`; with `panel`, a change of the panel's lines makes a frame too.
// Stops, answering false, as soon as `take` does. A script with no frame after the header makes
// none.
using GifFrameTaker = std::function<bool(const GifFrame& frame)>;
bool gif_frames(const Script& script, const std::vector<FrameTime>& times, const ScreenGrid& grid,
                bool panel, const GifFrameTaker& take, GifFramesMade* made = nullptr);

}  // namespace mosaiq::view
