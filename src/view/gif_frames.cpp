#include "view/gif_frames.h"

#include <algorithm>
#include <cmath>

#include "convert/cell_colours.h"
#include "convert/converter_state.h"
#include "view/glyph_text.h"

namespace mosaiq::view {

namespace {

const Cell& cell_at(const Screen& screen, std::int64_t row, std::int64_t column) {
  return screen.cells[(row - 1) * screen_columns + (column - 1)];
}

// The area's cells on a screen: a block glyph's colour as its digit, anything else dark.
std::vector<std::uint8_t> area_cells(const Screen& screen, const ScreenGrid& grid,
                                     const GifArea& area) {
  std::vector<std::uint8_t> cells;
  cells.reserve(static_cast<std::size_t>(area.columns) * static_cast<std::size_t>(area.rows));
  const std::int64_t left = grid_origin_col(grid.width), top = grid_origin_row(grid.height);
  for (int r = area.first_row; r < area.first_row + area.rows; ++r) {
    for (int c = area.first_column; c < area.first_column + area.columns; ++c) {
      const Cell& cell = cell_at(screen, top + r, left + 2 * c);
      cells.push_back(is_block_glyph(cell) ? static_cast<std::uint8_t>(cell_digit(cell.colour))
                                           : 0);
    }
  }
  return cells;
}

// A screen row as ASCII, double-byte characters as blanks, runs of blanks as one.
std::string row_text(const Screen& screen, int row) {
  std::string text;
  for (int column = 1; column <= screen_columns; ++column) {
    const Cell& cell = cell_at(screen, row, column);
    const char c = cell.kind == CellKind::single && cell.lead >= 0x20 && cell.lead < 0x7f
                       ? static_cast<char>(cell.lead)
                       : ' ';
    if (c != ' ' || (!text.empty() && text.back() != ' ')) text += c;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::int64_t hundredths(double seconds) { return std::llround(seconds * 100); }

// The cells range [first, first + count) of `cells` whose screen positions, starting at
// `origin` and `step` apart (each `size` wide), fall on the screen's [1, `extent`].
void on_screen(std::int64_t origin, int step, int size, int cells, int extent, int& first,
               int& count) {
  first = 0;
  while (first < cells && origin + static_cast<std::int64_t>(step) * first < 1) ++first;
  count = 0;
  while (first + count < cells &&
         origin + static_cast<std::int64_t>(step) * (first + count) + size - 1 <= extent) {
    ++count;
  }
}

// Frames on their way out: the last few are held back until no later one can change them (a
// frame too short gives way to the next; a frame like the one before joins it).
class FrameQueue {
 public:
  FrameQueue(const GifFrameTaker& take, GifFramesMade& made) : take_(take), made_(made) {}

  bool add(GifFrame frame, std::int64_t start) {
    if (!held_.empty() && start - held_.back().start < shortest_gif_delay) {
      held_.back().frame = std::move(frame);  // it takes the short one's place, and its start
    } else {
      held_.push_back({std::move(frame), start});
    }
    while (held_.size() >= 2 && same(held_[held_.size() - 2].frame, held_.back().frame)) {
      held_.pop_back();
    }
    while (held_.size() >= 3) {
      if (!emit(held_[1].start)) return false;
    }
    return true;
  }

  // The end of the last frame. A last frame too short takes the place of the one before it, so
  // that the animation still ends on it, at its time.
  bool finish(std::int64_t end) {
    if (held_.size() >= 2 && end - held_.back().start < shortest_gif_delay) {
      held_[held_.size() - 2].frame = std::move(held_.back().frame);
      held_.pop_back();
    }
    while (held_.size() >= 2) {
      if (!emit(held_[1].start)) return false;
    }
    return held_.empty() || emit(std::max(end, held_.front().start + shortest_gif_delay));
  }

 private:
  struct Held {
    GifFrame frame;
    std::int64_t start;
  };

  static bool same(const GifFrame& a, const GifFrame& b) {
    return a.cells == b.cells && a.panel == b.panel;
  }

  bool emit(std::int64_t until) {
    Held& first = held_.front();
    first.frame.delay = until - first.start;
    if (first.frame.delay > longest_gif_delay) {
      first.frame.delay = longest_gif_delay;
      ++made_.cut;
    }
    ++made_.frames;
    const bool taken = take_(first.frame);
    held_.erase(held_.begin());
    return taken;
  }

  const GifFrameTaker& take_;
  GifFramesMade& made_;
  std::vector<Held> held_;
};

}  // namespace

ScreenGrid grid_of(const Script& script) {
  std::int64_t top = screen_rows + 1, bottom = 0, left = screen_columns + 1, right = 0;
  for (const Frame& frame : script.frames) {
    for (const CellChange& change : frame.changes) {
      if (!is_block_glyph(change.cell)) continue;
      const std::int64_t row = change.index / screen_columns + 1,
                         column = change.index % screen_columns + 1;
      top = std::min(top, row);
      bottom = std::max(bottom, row);
      left = std::min(left, column);
      right = std::max(right, column);
    }
  }
  if (bottom == 0) return {default_grid_width, default_grid_height};
  ScreenGrid grid;
  for (int width = 1; width <= max_fitting_width && grid.width == 0; ++width) {
    const std::int64_t origin = grid_origin_col(width);
    if (origin <= left && origin + 2 * width - 1 >= right && (left - origin) % 2 == 0) {
      grid.width = width;
    }
  }
  if (grid.width == 0) grid.width = static_cast<int>(max_fitting_width);
  for (int height = 1; height <= max_fitting_height && grid.height == 0; ++height) {
    if (grid_origin_row(height) <= top && grid_origin_row(height) + height - 1 >= bottom) {
      grid.height = height;
    }
  }
  if (grid.height == 0) grid.height = static_cast<int>(max_fitting_height);
  return grid;
}

GifArea shown_area(const ScreenGrid& grid) {
  GifArea area;
  on_screen(grid_origin_col(grid.width), 2, 2, grid.width, screen_columns, area.first_column,
            area.columns);
  on_screen(grid_origin_row(grid.height), 1, 1, grid.height, screen_rows, area.first_row,
            area.rows);
  return area;
}

bool gif_frames(const Script& script, const std::vector<FrameTime>& times, const ScreenGrid& grid,
                bool panel, const GifFrameTaker& take, GifFramesMade* made) {
  GifFramesMade counted;
  GifFramesMade& result = made != nullptr ? *made : counted;
  result = {};
  if (script.frames.size() < 2) return true;
  const GifArea area = shown_area(grid);
  FrameQueue queue(take, result);
  Screen screen = screen_at(script, 0);
  for (std::size_t k = 1; k < script.frames.size(); ++k) {
    for (const CellChange& change : script.frames[k].changes)
      screen.cells[change.index] = change.cell;
    GifFrame frame{area_cells(screen, grid, area),
                   panel ? row_text(screen, 1) + "\n" + row_text(screen, 3) : "", 0};
    if (!queue.add(std::move(frame), hundredths(times[k].seconds - times[1].seconds))) {
      return false;
    }
  }
  return queue.finish(hundredths(times.back().seconds - times[1].seconds));
}

}  // namespace mosaiq::view
