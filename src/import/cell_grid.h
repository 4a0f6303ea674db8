// The pictures laid on the grid. The part looked at is the crop (--crop), or the whole picture;
// its margins that no frame draws in are trimmed (unless --no-trim). What is left is taken 1:1
// when it fits the screen (39 x 22 cells at most); when it overflows by at most three columns or
// rows, the edge columns or rows with the least drawn in them are left out; a larger one is
// taken a cell for every N x N pixels, N the size of the blocks it is drawn in or else the
// smallest whole factor that fits. Each cell takes the colour most of its pixels have (a lit one
// before dark where they tie, so that thin lines stay). With --grid the grid has the size asked
// for, the picture scaled into it and centred; a GIF mosaiq-view drew is taken back cell for
// cell.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "convert/converter_state.h"
#include "import/rgba_picture.h"
#include "platform/file_marks.h"

namespace mosaiq::import {

// The most cells the screen has room for, across and down.
constexpr int max_grid_width = static_cast<int>(max_fitting_width);
constexpr int max_grid_height = static_cast<int>(max_fitting_height);

// How far a picture may overflow the screen and still be taken 1:1, its edges left out.
constexpr int most_edges_left_out = 3;

struct GridRequest {
  Rect crop;                  // --crop; empty: the whole picture
  int width = 0, height = 0;  // --grid; 0: from the pictures
  bool trim = true;           // --no-trim: false
};

// A grid's worth of cell digits, row by row.
using CellPicture = std::vector<std::uint8_t>;

// What the pictures draw, found in a first reading: the part of them looked at, the smallest
// rectangle holding every pixel any frame lights, how many pixels are lit column by column and
// row by row of the area (summed over the frames), and the first picture's digits.
struct DrawnPixels {
  Rect area;
  Rect drawn;
  std::vector<std::uint64_t> columns, rows;
  std::vector<std::uint8_t> first;  // the area's digits, row by row
};

class GridPlan {
 public:
  // Plans the grid; false, with the problem, when the crop falls outside the pictures. A GIF
  // mosaiq-view drew says where its cells are (`viewer` with a cell size of 0: none).
  bool make(const GridRequest& request, const DrawnPixels& drawn, const GridPicture& viewer,
            std::string& problem);

  int width() const { return width_; }
  int height() const { return height_; }
  // The part of the pictures the grid shows, in the pictures' pixels.
  const Rect& box() const { return box_; }
  // The cell a column or row of pixels of the box falls in; -1 where it is left out.
  int cell_column(int x) const { return column_cell_[static_cast<std::size_t>(x - box_.x)]; }
  int cell_row(int y) const { return row_cell_[static_cast<std::size_t>(y - box_.y)]; }
  // The pixel under a cell's centre, for a cell that no pixel falls in (a picture scaled up).
  int centre_x(int cell) const;
  int centre_y(int cell) const;
  // How the pictures were taken, in words: "1:1", "trimmed from 29 x 25 pixels", "row 23 left
  // out (the least drawn)", "a cell for every 3 x 3 pixels"...
  const std::string& how() const { return how_; }

 private:
  void take_whole(int across, int down);
  void take_scaled();
  void leave_out_edges(const DrawnPixels& drawn);

  Rect box_;
  int width_ = 0, height_ = 0;
  Rect placed_;  // where the box lies on the grid, in cells
  std::vector<int> column_cell_, row_cell_;
  std::string how_;
};

// The cells of the pictures as they change, counted pixel by pixel: a frame costs what it
// changes.
class CellCounter {
 public:
  explicit CellCounter(const GridPlan& plan);
  // A pixel of the box went from one digit to another.
  void change(int x, int y, std::uint8_t from, std::uint8_t to);
  // The cells now; `digit_at(x, y)` gives a pixel's digit for cells no pixel falls in.
  template <class DigitAt>
  CellPicture cells(const DigitAt& digit_at) const;

 private:
  const GridPlan& plan_;
  std::vector<std::array<std::uint32_t, 8>> counts_;
};

template <class DigitAt>
CellPicture CellCounter::cells(const DigitAt& digit_at) const {
  CellPicture result(counts_.size(), 0);
  for (std::size_t cell = 0; cell < counts_.size(); ++cell) {
    const std::array<std::uint32_t, 8>& count = counts_[cell];
    std::uint8_t best = 0;
    for (std::uint8_t digit = 1; digit < 8; ++digit) {
      const bool ties_dark = count[digit] == count[best] && best == 0 && count[digit] > 0;
      if (count[digit] > count[best] || ties_dark) best = digit;
    }
    const int cx = static_cast<int>(cell) % plan_.width(),
              cy = static_cast<int>(cell) / plan_.width();
    if (count[best] == 0 && plan_.centre_x(cx) >= 0 && plan_.centre_y(cy) >= 0) {
      best = digit_at(plan_.centre_x(cx), plan_.centre_y(cy));
    }
    result[cell] = best;
  }
  return result;
}

}  // namespace mosaiq::import
