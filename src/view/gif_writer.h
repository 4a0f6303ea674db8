// The GIF file of a script's frames, written as they come: each cell a square of pixels in the
// page's colours, the panel's lines above the grid if asked, looping forever. Its comment says it
// is mosaiq-view's and where the grid is (platform/file_marks.h).
#pragma once

#include <memory>
#include <string>

#include "convert/byte_streams.h"
#include "platform/file_marks.h"
#include "view/gif_frames.h"

namespace mosaiq::view {

struct GifLook {
  int scale = 8;       // pixels a cell, across and down
  bool panel = false;  // the panel's lines above the grid
};

// The most pixels a GIF has a side.
constexpr int largest_gif_side = 65535;

// Whether this build writes GIFs: giflib was found when it was made.
bool can_write_gifs();

// A GIF being written into a sink: the first frame whole, every later one as the rectangle it
// changes. Memory for one picture and the one before it, whatever the number of frames.
class GifWriter {
 public:
  virtual ~GifWriter() = default;
  // False, with problem() saying why, when it cannot be written.
  virtual bool frame(const GifFrame& frame) = 0;
  virtual bool finish() = 0;
  virtual const std::string& problem() const = 0;
};

// Starts a GIF of the area's cells; null, with the problem in words, when it cannot be started
// (a build without giflib, a picture larger than a GIF can be, a sink that refuses the start).
std::unique_ptr<GifWriter> start_gif(ByteSink& out, const GifArea& area, const GifLook& look,
                                     std::string& problem);

}  // namespace mosaiq::view
