#include "import/cell_grid.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

// The pixel under a cell's centre, when `pixels` are laid over `cells` cells.
int pixel_of(int cell, int cells, int pixels) {
  return static_cast<int>((2 * static_cast<std::int64_t>(cell) + 1) * pixels / (2 * cells));
}

std::string size_text(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// The size of the blocks the box is drawn in: the greatest common divisor of its width and
// height and of every column and row of it where a pixel differs from the one before it.
int block_size(const DrawnPixels& drawn, const Rect& box) {
  const Rect& area = drawn.area;
  const auto digit = [&](int x, int y) {
    return drawn.first[static_cast<std::size_t>(y - area.y) * area.width + (x - area.x)];
  };
  int block = std::gcd(box.width, box.height);
  for (int y = box.y; y < box.bottom() && block > 1; ++y) {
    bool row_differs = false;
    for (int x = box.x; x < box.right(); ++x) {
      if (x > box.x && digit(x, y) != digit(x - 1, y)) block = std::gcd(block, x - box.x);
      row_differs |= y > box.y && digit(x, y) != digit(x, y - 1);
    }
    if (row_differs) block = std::gcd(block, y - box.y);
  }
  return block;
}

bool fits(int across, int down) { return across <= max_grid_width && down <= max_grid_height; }

}  // namespace

bool GridPlan::make(const GridRequest& request, const DrawnPixels& drawn, const GridPicture& viewer,
                    std::string& problem) {
  const Rect& area = drawn.area;
  if (area.empty()) {
    problem = "the pictures have no pixels to take";
    return false;
  }
  box_ = area;
  how_.clear();
  const bool by_viewer = viewer.cell > 0 && request.width == 0 && request.crop.empty() &&
                         area.height > viewer.top && area.width % viewer.cell == 0 &&
                         (area.height - viewer.top) % viewer.cell == 0 &&
                         fits(area.width / viewer.cell, (area.height - viewer.top) / viewer.cell);
  if (by_viewer) {
    box_ = {area.x, area.y + viewer.top, area.width, area.height - viewer.top};
    take_whole(viewer.cell, viewer.cell);
    how_ = "cells of " + size_text(viewer.cell, viewer.cell) + " pixels, as mosaiq-view drew them";
    return true;
  }
  if (request.trim && !drawn.drawn.empty() &&
      (drawn.drawn.width != area.width || drawn.drawn.height != area.height)) {
    box_ = drawn.drawn;
    how_ = "trimmed from " + size_text(area.width, area.height) + " pixels to " +
           size_text(box_.width, box_.height);
  }
  const auto say = [this](const std::string& text) { how_ += (how_.empty() ? "" : ", ") + text; };
  if (request.width > 0) {
    width_ = request.width;
    height_ = request.height;
    take_scaled();
    say("scaled into the grid asked for");
  } else if (fits(box_.width, box_.height)) {
    take_whole(1, 1);
    say("1:1");
  } else if (fits(box_.width - most_edges_left_out, box_.height - most_edges_left_out)) {
    leave_out_edges(drawn);
    take_whole(1, 1);
  } else if (const int block = block_size(drawn, box_);
             block > 1 && fits(box_.width / block, box_.height / block)) {
    take_whole(block, block);
    say("a cell for every " + size_text(block, block) + " pixels, the blocks it is drawn in");
  } else {
    int factor = 2;
    while (!fits((box_.width + factor - 1) / factor, (box_.height + factor - 1) / factor)) ++factor;
    take_whole(factor, factor);
    say("reduced by " + std::to_string(factor) + ": a cell for every " + size_text(factor, factor) +
        " pixels");
  }
  return true;
}

// A cell for every `across` x `down` pixels of the box.
void GridPlan::take_whole(int across, int down) {
  width_ = (box_.width + across - 1) / across;
  height_ = (box_.height + down - 1) / down;
  placed_ = {0, 0, width_, height_};
  column_cell_.resize(static_cast<std::size_t>(box_.width));
  row_cell_.resize(static_cast<std::size_t>(box_.height));
  for (int x = 0; x < box_.width; ++x) column_cell_[static_cast<std::size_t>(x)] = x / across;
  for (int y = 0; y < box_.height; ++y) row_cell_[static_cast<std::size_t>(y)] = y / down;
}

// The box scaled into the grid asked for, its proportions kept, centred.
void GridPlan::take_scaled() {
  const double scale = std::max(static_cast<double>(box_.width) / width_,
                                static_cast<double>(box_.height) / height_);
  placed_.width = std::clamp(static_cast<int>(std::lround(box_.width / scale)), 1, width_);
  placed_.height = std::clamp(static_cast<int>(std::lround(box_.height / scale)), 1, height_);
  placed_.x = (width_ - placed_.width) / 2;
  placed_.y = (height_ - placed_.height) / 2;
  column_cell_ = cell_of_each(box_.width, placed_.width, placed_.x);
  row_cell_ = cell_of_each(box_.height, placed_.height, placed_.y);
}

// The columns, then the rows, over the screen's room left out from the edges, the one with the
// least drawn in it first each time.
void GridPlan::leave_out_edges(const DrawnPixels& drawn) {
  std::vector<std::string> columns, rows;
  const auto lit_column = [&](int x) {
    return drawn.columns[static_cast<std::size_t>(x - drawn.area.x)];
  };
  const auto lit_row = [&](int y) {
    return drawn.rows[static_cast<std::size_t>(y - drawn.area.y)];
  };
  while (box_.width > max_grid_width) {
    const bool left = lit_column(box_.x) < lit_column(box_.right() - 1);
    columns.push_back(std::to_string(left ? box_.x + 1 : box_.right()));
    if (left) ++box_.x;
    --box_.width;
  }
  while (box_.height > max_grid_height) {
    const bool top = lit_row(box_.y) < lit_row(box_.bottom() - 1);
    rows.push_back(std::to_string(top ? box_.y + 1 : box_.bottom()));
    if (top) ++box_.y;
    --box_.height;
  }
  std::string text;
  const auto list = [&](const std::vector<std::string>& numbers, const char* one,
                        const char* more) {
    if (numbers.empty()) return;
    std::string joined;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      joined += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") + numbers[i];
    }
    text += (text.empty() ? "" : " and ") + std::string(numbers.size() == 1 ? one : more) + " " +
            joined;
  };
  list(columns, "column", "columns");
  list(rows, "row", "rows");
  how_ += (how_.empty() ? "" : ", ") + std::string("1:1 but ") + text +
          " of the picture left out (the least drawn)";
}

int GridPlan::centre_x(int cell) const {
  if (cell < placed_.x || cell >= placed_.right()) return -1;
  return box_.x + pixel_of(cell - placed_.x, placed_.width, box_.width);
}

int GridPlan::centre_y(int cell) const {
  if (cell < placed_.y || cell >= placed_.bottom()) return -1;
  return box_.y + pixel_of(cell - placed_.y, placed_.height, box_.height);
}

CellCounter::CellCounter(const GridPlan& plan)
    : plan_(plan),
      counts_(static_cast<std::size_t>(plan.width()) * static_cast<std::size_t>(plan.height()),
              std::array<std::uint32_t, 8>{}) {
  const Rect& box = plan.box();
  for (int y = box.y; y < box.bottom(); ++y) {
    for (int x = box.x; x < box.right(); ++x) change(x, y, 0xff, 0);  // every pixel dark at first
  }
}

void CellCounter::change(int x, int y, std::uint8_t from, std::uint8_t to) {
  const int column = plan_.cell_column(x), row = plan_.cell_row(y);
  if (column < 0 || row < 0) return;
  auto& count = counts_[static_cast<std::size_t>(row) * static_cast<std::size_t>(plan_.width()) +
                        static_cast<std::size_t>(column)];
  if (from < 8) --count[from];
  ++count[to & 7];
}

}  // namespace mosaiq::import
