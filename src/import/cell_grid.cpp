#include "import/cell_grid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "platform/file_marks.h"

namespace mosaiq::import {

namespace {

// The cell (from 0) each of `pixels` pixels falls in, when they are laid over `cells` cells
// starting at cell `offset`.
std::vector<int> cell_of_each(int pixels, int cells, int offset) {
  std::vector<int> cell(static_cast<std::size_t>(pixels), -1);
  for (int p = 0; p < pixels; ++p) {
    cell[static_cast<std::size_t>(p)] =
        offset + static_cast<int>(static_cast<std::int64_t>(p) * cells / pixels);
  }
  return cell;
}

// Each cell's pixel where a cell has none (a picture smaller than its grid): the pixel under
// its centre.
int pixel_of(int cell, int cells, int pixels) {
  return static_cast<int>((2 * static_cast<std::int64_t>(cell) + 1) * pixels / (2 * cells));
}

// The size of the blocks a picture is drawn in: the greatest common divisor of its width and
// height and of every column and row where a pixel differs from the one before it.
int block_size(const DigitCanvas& picture, const CropRectangle& crop) {
  int block = std::gcd(crop.width, crop.height);
  for (int y = 0; y < crop.height && block > 1; ++y) {
    const std::uint8_t* row =
        &picture.pixels[static_cast<std::size_t>(crop.y + y) * picture.width + crop.x];
    const std::uint8_t* above = y > 0 ? row - picture.width : nullptr;
    bool row_differs = false;
    for (int x = 0; x < crop.width; ++x) {
      if (x > 0 && row[x] != row[x - 1]) block = std::gcd(block, x);
      row_differs |= above != nullptr && row[x] != above[x];
    }
    if (row_differs) block = std::gcd(block, y);
  }
  return block;
}

}  // namespace

void CellGrid::drawn_by(const std::string& comment) {
  GridPicture drawn;
  if (!read_grid_gif_comment(comment, drawn)) return;
  drawn_cell_ = drawn.cell;
  drawn_top_ = drawn.top;
}

bool CellGrid::fit(const DigitCanvas& first, std::string& problem) {
  const int picture_width = first.width, picture_height = first.height;
  const bool drawn = drawn_cell_ > 0 && request_.width == 0 && request_.crop.width == 0 &&
                     picture_width % drawn_cell_ == 0 && picture_height > drawn_top_ &&
                     (picture_height - drawn_top_) % drawn_cell_ == 0 &&
                     picture_width / drawn_cell_ <= max_grid_width &&
                     (picture_height - drawn_top_) / drawn_cell_ <= max_grid_height;
  if (drawn) request_.crop = {0, drawn_top_, picture_width, picture_height - drawn_top_};
  crop_ =
      request_.crop.width > 0 ? request_.crop : CropRectangle{0, 0, picture_width, picture_height};
  if (crop_.x < 0 || crop_.y < 0 || crop_.height <= 0 ||
      static_cast<std::int64_t>(crop_.x) + crop_.width > picture_width ||
      static_cast<std::int64_t>(crop_.y) + crop_.height > picture_height) {
    problem = "--crop " + std::to_string(crop_.x) + "," + std::to_string(crop_.y) + "," +
              std::to_string(crop_.width) + "," + std::to_string(crop_.height) +
              " falls outside the picture, " + std::to_string(picture_width) + " x " +
              std::to_string(picture_height) + " pixels";
    return false;
  }
  const bool fits = !drawn && crop_.width <= max_grid_width && crop_.height <= max_grid_height;
  if (request_.width > 0) {
    width_ = request_.width;
    height_ = request_.height;
  } else if (fits) {
    width_ = crop_.width;
    height_ = crop_.height;
  } else if (drawn) {
    width_ = crop_.width / drawn_cell_;
    height_ = crop_.height / drawn_cell_;
  } else if (const int block = block_size(first, crop_);
             block > 1 && block < std::gcd(crop_.width, crop_.height) &&
             crop_.width / block <= max_grid_width && crop_.height / block <= max_grid_height) {
    width_ = crop_.width / block;
    height_ = crop_.height / block;
  } else {
    const double scale = std::max(static_cast<double>(crop_.width) / max_grid_width,
                                  static_cast<double>(crop_.height) / max_grid_height);
    width_ = std::clamp(static_cast<int>(std::lround(crop_.width / scale)), 1, max_grid_width);
    height_ = std::clamp(static_cast<int>(std::lround(crop_.height / scale)), 1, max_grid_height);
  }
  // The picture scaled into the grid, its proportions kept, centred.
  const double scale = std::max(static_cast<double>(crop_.width) / width_,
                                static_cast<double>(crop_.height) / height_);
  placed_width_ = std::clamp(static_cast<int>(std::lround(crop_.width / scale)), 1, width_);
  placed_height_ = std::clamp(static_cast<int>(std::lround(crop_.height / scale)), 1, height_);
  placed_x_ = (width_ - placed_width_) / 2;
  placed_y_ = (height_ - placed_height_) / 2;
  column_cell_ = cell_of_each(crop_.width, placed_width_, placed_x_);
  row_cell_ = cell_of_each(crop_.height, placed_height_, placed_y_);
  return true;
}

CellPicture CellGrid::cells(const DigitCanvas& picture) const {
  const auto cells = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  std::vector<std::array<std::uint32_t, 8>> counts(cells, std::array<std::uint32_t, 8>{});
  for (int y = 0; y < crop_.height; ++y) {
    const auto row = static_cast<std::size_t>(row_cell_[static_cast<std::size_t>(y)]) * width_;
    const std::uint8_t* pixels =
        &picture.pixels[static_cast<std::size_t>(crop_.y + y) * picture.width + crop_.x];
    for (int x = 0; x < crop_.width; ++x) {
      ++counts[row + static_cast<std::size_t>(column_cell_[static_cast<std::size_t>(x)])]
              [pixels[x] & 7];
    }
  }
  CellPicture result(cells, 0);
  for (int cy = 0; cy < height_; ++cy) {
    for (int cx = 0; cx < width_; ++cx) {
      const std::size_t cell = static_cast<std::size_t>(cy) * width_ + cx;
      const std::array<std::uint32_t, 8>& count = counts[cell];
      std::uint8_t best = 0;
      for (std::uint8_t digit = 1; digit < 8; ++digit) {
        const bool ties_dark = count[digit] == count[best] && best == 0 && count[digit] > 0;
        if (count[digit] > count[best] || ties_dark) best = digit;
      }
      const bool inside = cx >= placed_x_ && cx < placed_x_ + placed_width_ && cy >= placed_y_ &&
                          cy < placed_y_ + placed_height_;
      if (count[best] == 0 && inside) {
        // More cells than pixels: the cell shows the pixel under its centre.
        best = picture.at(crop_.x + pixel_of(cx - placed_x_, placed_width_, crop_.width),
                          crop_.y + pixel_of(cy - placed_y_, placed_height_, crop_.height));
      }
      result[cell] = best;
    }
  }
  return result;
}

}  // namespace mosaiq::import
