// The author's pictures on the grid: an animated or still GIF alone, one PNG or several (or a
// folder of them, in natural order), a PNG cut into frames with --sheet; every frame's cells and
// the delays a GIF gives them.
#pragma once

#include <string>
#include <vector>

#include "import/cell_grid.h"
#include "import/colour_matching.h"

namespace mosaiq {
class FileAccess;
}

namespace mosaiq::import {

struct PictureRequest {
  std::vector<std::string> inputs;  // files, or one folder
  GridRequest grid;
  int sheet_columns = 0, sheet_rows = 0;  // --sheet; 0: none
  ColourMatcher colours;
};

struct ImportedPictures {
  int width = 0, height = 0;  // the grid
  std::vector<CellPicture> pictures;
  std::vector<int> delays;         // hundredths of a second each; empty when none are given
  std::vector<std::string> files;  // the files read, in order
};

// The most bytes an input file may have.
constexpr std::size_t max_input_bytes = std::size_t{256} << 20;

// Reads the pictures; false, with the problem in words, when one cannot be read or used.
bool read_pictures(FileAccess& files, const PictureRequest& request, ImportedPictures& result,
                   std::string& problem);

}  // namespace mosaiq::import
