// A script as the frames of an animated GIF: the grid's cells alone (and, if asked, the panel's
// two lines), one frame for every script frame from frame 1 on that changes them, each lasting
// until the next in hundredths of a second, the running time rounded so that the GIF keeps to
// the song.
#pragma once

#include <cstdint>
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

struct GifFrame {
  std::vector<std::uint8_t> cells;  // cell digits, row by row
  std::string panel;                // the panel's two lines, as ASCII, "\n" between them
  std::int64_t delay;               // hundredths of a second
};

// The frames; with `panel`, a change of the panel's lines makes a frame too. Empty for a script
// with no frame after the header.
std::vector<GifFrame> gif_frames(const Script& script, const std::vector<FrameTime>& times,
                                 const ScreenGrid& grid, bool panel);

}  // namespace mosaiq::view
