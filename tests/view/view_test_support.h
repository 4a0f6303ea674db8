// Helpers shared by the viewer's unit tests: screens as text, and songs built from bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../test_support.h"
#include "convert/memory_streams.h"
#include "view/gif_frames.h"
#include "view/gif_writer.h"
#include "view/glyph_text.h"
#include "view/screen_model.h"

namespace mosaiq::view::testing {

inline const std::string block = "\x81\xa1";  // "■"

// The plain text of one screen row, 80 columns, without its trailing blanks.
inline std::string row_text(const Screen& screen, int row) {
  GlyphText glyphs;
  const std::string text = screen_text(screen, glyphs, false);
  std::size_t start = 0;
  for (int r = 1; r < row; ++r) start = text.find('\n', start) + 1;
  std::string line = text.substr(start, text.find('\n', start) - start);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

inline const Cell& cell(const Screen& screen, int row, int column) {
  return screen.cells[(row - 1) * screen_columns + (column - 1)];
}

// Every GIF frame of a script, at once.
inline std::vector<GifFrame> all_gif_frames(const Script& script,
                                            const std::vector<FrameTime>& times,
                                            const ScreenGrid& grid, bool panel) {
  std::vector<GifFrame> frames;
  gif_frames(script, times, grid, panel, [&](const GifFrame& frame) {
    frames.push_back(frame);
    return true;
  });
  return frames;
}

// The GIF of those frames; empty when it cannot be written.
inline std::string gif_bytes(const std::vector<GifFrame>& frames, const ScreenGrid& grid,
                             const GifLook& look) {
  MemorySink sink;
  std::string problem;
  const std::unique_ptr<GifWriter> writer = start_gif(sink, shown_area(grid), look, problem);
  if (!writer) return "";
  for (const GifFrame& frame : frames) {
    if (!writer->frame(frame)) return "";
  }
  return writer->finish() ? sink.bytes : "";
}

using mosaiq::testing::midi_file;
using mosaiq::testing::note;
using mosaiq::testing::signature;
using mosaiq::testing::tempo;

}  // namespace mosaiq::view::testing
