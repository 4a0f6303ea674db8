#include "view/panel_values.h"

#include <string_view>

namespace mosaiq::view {

namespace {

const Cell& cell_at(const Screen& screen, int row, int column) {
  return screen.cells[(row - 1) * screen_columns + (column - 1)];
}

bool shows(const Screen& screen, int row, int column, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Cell& cell = cell_at(screen, row, column + static_cast<int>(i));
    if (cell.kind != CellKind::single || cell.lead != static_cast<unsigned char>(text[i])) {
      return false;
    }
  }
  return true;
}

// A number written "%2d" from `column` on: a blank may stand before one digit.
std::string value_at(const Screen& screen, int row, int column) {
  if (cell_at(screen, row, column).kind == CellKind::blank) ++column;
  std::string value;
  for (; column <= screen_columns; ++column) {
    const Cell& cell = cell_at(screen, row, column);
    if (cell.kind != CellKind::single || cell.lead == ' ') break;
    value += static_cast<char>(cell.lead);
  }
  return value;
}

}  // namespace

PanelValues read_panel(const Screen& screen) {
  PanelValues values;
  if (shows(screen, 1, 1, "Pattern")) values.pattern = value_at(screen, 1, 9);
  if (shows(screen, 3, 1, "Measure")) values.measure = value_at(screen, 3, 9);
  if (shows(screen, 3, 14, "Beat")) values.beat = value_at(screen, 3, 19);
  return values;
}

}  // namespace mosaiq::view
