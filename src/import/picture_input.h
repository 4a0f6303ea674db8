// The author's pictures on the grid: an animated or still GIF alone, one PNG or several (or a
// folder of them, in natural order), a PNG cut into frames with --sheet (after --crop); every
// frame's cells and the delays a GIF gives them. The pictures are read twice: once to find
// their background and what they draw (so that the grid fits what is drawn), then to lay them
// on the grid, each frame costing what it changes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/cell_grid.h"
#include "import/colour_mapping.h"

namespace mosaiq {
class FileAccess;
}

namespace mosaiq::import {

struct PictureRequest {
  std::vector<std::string> inputs;  // files, or one folder
  GridRequest grid;
  int sheet_columns = 0, sheet_rows = 0;    // --sheet; 0: none
  ColourMapping colours;                    // with --map and --ink applied
  std::optional<std::uint32_t> background;  // --background; none: the border's colour, if any
  std::size_t keep_sources = 0;  // how many source frames to keep for a preview (0: none)
};

struct ImportedPictures {
  int width = 0, height = 0;  // the grid
  std::vector<CellPicture> pictures;
  std::vector<int> delays;         // hundredths of a second each; empty when none are given
  std::vector<std::string> files;  // the files read, in order
  std::string how;                 // how the pictures were laid on the grid, in words
  std::optional<std::uint32_t> background;  // the colour taken as the background, if any
  // The first frames as they were, the part of them the grid shows, for a preview; their
  // number is bounded, and so are their pixels.
  std::vector<RgbaPicture> sources;
};

// The most bytes an input file may have.
constexpr std::size_t max_input_bytes = std::size_t{256} << 20;

// Reads the pictures; false, with the problem in words, when one cannot be read or used.
bool read_pictures(FileAccess& files, const PictureRequest& request, ImportedPictures& result,
                   std::string& problem);

}  // namespace mosaiq::import
