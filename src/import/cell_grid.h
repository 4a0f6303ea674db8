// A picture laid on the grid: cropped (--crop), then its own size when that fits the screen;
// else, where it is pixel art drawn in blocks of N x N pixels, one cell a block when that
// fits; else scaled to fit with its proportions kept. Each cell takes the colour most of its
// pixels have (a lit colour before dark where they tie, so that thin lines stay), so pixel art
// stays crisp. With --grid the grid has the size asked for, the picture scaled into it and
// centred.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/converter_state.h"
#include "import/digit_canvas.h"

namespace mosaiq::import {

// The most cells the screen has room for, across and down.
constexpr int max_grid_width = static_cast<int>(max_fitting_width);
constexpr int max_grid_height = static_cast<int>(max_fitting_height);

struct CropRectangle {
  int x = 0, y = 0, width = 0, height = 0;  // width 0: the whole picture
};

struct GridRequest {
  CropRectangle crop;
  int width = 0, height = 0;  // --grid; 0: from the picture
};

// A grid's worth of cell digits, row by row.
using CellPicture = std::vector<std::uint8_t>;

class CellGrid {
 public:
  explicit CellGrid(const GridRequest& request) : request_(request) {}

  // A GIF mosaiq-view wrote says in a comment where its grid is ("cells of N x N pixels from
  // row R"): without --grid and --crop, the grid is taken from there.
  void drawn_by(const std::string& comment);
  // Fits the grid to pictures like the first one; false, with the problem, when the crop
  // falls outside it.
  bool fit(const DigitCanvas& first, std::string& problem);
  int width() const { return width_; }
  int height() const { return height_; }

  // The cells of a picture of the size fitted.
  CellPicture cells(const DigitCanvas& picture) const;

 private:
  GridRequest request_;
  int drawn_cell_ = 0, drawn_top_ = 0;  // as a GIF's comment says it was drawn
  CropRectangle crop_;
  int width_ = 0, height_ = 0;                                              // the grid
  int placed_x_ = 0, placed_y_ = 0, placed_width_ = 0, placed_height_ = 0;  // the picture in it
  std::vector<int> column_cell_, row_cell_;  // the cell each pixel of the crop falls in; -1 none
};

}  // namespace mosaiq::import
