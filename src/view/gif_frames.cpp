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

// The grid's cells on a screen: a block glyph's colour as its digit, anything else dark.
std::vector<std::uint8_t> grid_cells(const Screen& screen, const ScreenGrid& grid) {
  std::vector<std::uint8_t> cells;
  cells.reserve(static_cast<std::size_t>(grid.width) * static_cast<std::size_t>(grid.height));
  const std::int64_t left = grid_origin_col(grid.width), top = grid_origin_row(grid.height);
  for (std::int64_t row = top; row < top + grid.height; ++row) {
    for (std::int64_t column = left; column < left + 2 * grid.width; column += 2) {
      const bool on_screen =
          row >= 1 && row <= screen_rows && column >= 1 && column <= screen_columns;
      const Cell* cell = on_screen ? &cell_at(screen, row, column) : nullptr;
      cells.push_back(cell != nullptr && is_block_glyph(*cell)
                          ? static_cast<std::uint8_t>(cell_digit(cell->colour))
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

std::vector<GifFrame> gif_frames(const Script& script, const std::vector<FrameTime>& times,
                                 const ScreenGrid& grid, bool panel) {
  std::vector<GifFrame> frames;
  if (script.frames.size() < 2) return frames;
  std::vector<std::int64_t> starts;  // of the frames kept, in hundredths from frame 1
  Screen screen = screen_at(script, 0);
  for (std::size_t k = 1; k < script.frames.size(); ++k) {
    for (const CellChange& change : script.frames[k].changes)
      screen.cells[change.index] = change.cell;
    GifFrame frame{grid_cells(screen, grid),
                   panel ? row_text(screen, 1) + "\n" + row_text(screen, 3) : "", 0};
    const std::int64_t start = hundredths(times[k].seconds - times[1].seconds);
    if (!frames.empty() && starts.back() == start) {
      frames.pop_back();  // a frame shorter than a hundredth: the next one takes its place
      starts.pop_back();
    }
    const bool same =
        !frames.empty() && frames.back().cells == frame.cells && frames.back().panel == frame.panel;
    if (same) continue;
    frames.push_back(std::move(frame));
    starts.push_back(start);
  }
  const std::int64_t end = hundredths(times.back().seconds - times[1].seconds);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const std::int64_t next = i + 1 < frames.size() ? starts[i + 1] : end;
    frames[i].delay = std::max<std::int64_t>(next - starts[i], 1);
  }
  return frames;
}

}  // namespace mosaiq::view
