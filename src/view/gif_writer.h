// The GIF file of a script's frames: each cell a square of pixels in the page's colours, the
// panel's lines above the grid if asked, looping forever.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_marks.h"
#include "view/gif_frames.h"

namespace mosaiq::view {

struct GifLook {
  int scale = 8;       // pixels a cell, across and down
  bool panel = false;  // the panel's lines above the grid
};

// Whether this build writes GIFs: giflib was found when it was made.
bool can_write_gifs();

// The GIF's bytes; false, with the problem in words, when it cannot be made.
bool write_gif(const std::vector<GifFrame>& frames, const ScreenGrid& grid, const GifLook& look,
               std::string& bytes, std::string& problem);

}  // namespace mosaiq::view
