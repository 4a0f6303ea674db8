#include "view/screen_model.h"

#include <cstddef>

#include "view/escape_parser.h"

namespace mosaiq::view {

namespace {

bool on_screen(std::int64_t row, std::int64_t column) {
  return row >= 1 && row <= screen_rows && column >= 1 && column <= screen_columns;
}

Cell& cell_at(Screen& screen, std::int64_t row, std::int64_t column) {
  return screen.cells[(row - 1) * screen_columns + (column - 1)];
}

// Blanks the other half of a double-byte character that a write is about to cut in two.
void split_wide(Screen& screen, std::int64_t row, std::int64_t column) {
  Cell& cell = cell_at(screen, row, column);
  if (cell.kind == CellKind::wide_first && column < screen_columns) {
    cell_at(screen, row, column + 1) = Cell{};
  } else if (cell.kind == CellKind::wide_second && column > 1) {
    cell_at(screen, row, column - 1) = Cell{};
  }
}

// Writes a character of `width` columns at the cursor and moves past it. False when it does not
// fit on the screen (it is dropped).
bool put_character(Screen& screen, unsigned char lead, unsigned char trail, int width) {
  const std::int64_t row = screen.cursor_row, column = screen.cursor_column;
  if (screen.cursor_column < parameter_cap) screen.cursor_column += width;
  if (!on_screen(row, column) || !on_screen(row, column + width - 1)) return false;
  for (int i = 0; i < width; ++i) split_wide(screen, row, column + i);
  const std::uint8_t colour = static_cast<std::uint8_t>(screen.colour);
  if (width == 1) {
    // A space looks the same in every colour: it is kept as a blank cell.
    cell_at(screen, row, column) = lead == ' ' ? Cell{} : Cell{CellKind::single, colour, lead, 0};
  } else {
    cell_at(screen, row, column) = Cell{CellKind::wide_first, colour, lead, trail};
    cell_at(screen, row, column + 1) = Cell{CellKind::wide_second, colour, lead, trail};
  }
  return true;
}

// Applies the escape whose parameters and final byte follow "ESC [". Returns false for an escape
// the screen does not know.
bool apply_escape(Screen& screen, const std::int64_t* values, int count, char final_byte) {
  const auto value = [&](int i, std::int64_t fallback) {
    return i < count && values[i] >= 0 ? values[i] : fallback;
  };
  switch (final_byte) {
    case 'H':
      if (count > 2) return false;
      screen.cursor_row = value(0, 1);
      screen.cursor_column = value(1, 1);
      return true;
    case 'C':
      if (count > 1) return false;
      screen.cursor_column += value(0, 1) == 0 ? 1 : value(0, 1);
      if (screen.cursor_column > parameter_cap) screen.cursor_column = parameter_cap;
      return true;
    case 'K':
      if (count > 1 || value(0, 0) != 0) return false;
      if (screen.cursor_row >= 1 && screen.cursor_row <= screen_rows) {
        const std::int64_t from = screen.cursor_column < 1 ? 1 : screen.cursor_column;
        if (from <= screen_columns) split_wide(screen, screen.cursor_row, from);
        for (std::int64_t c = from; c <= screen_columns; ++c) {
          cell_at(screen, screen.cursor_row, c) = Cell{};
        }
      }
      return true;
    case 'm': {
      bool known = true;
      if (count == 0) screen.colour = white;
      for (int i = 0; i < count; ++i) {
        const std::int64_t v = value(i, 0);
        if (v == 0) {
          screen.colour = white;
        } else if (v >= 30 && v <= 37) {
          screen.colour = static_cast<int>(v - 30);
        } else {
          known = false;
        }
      }
      return known;
    }
    default: return false;
  }
}

// Applies one item of a line; false when the screen cannot show it.
bool apply_item(Screen& screen, const LineItem& item) {
  switch (item.kind) {
    case ItemKind::character: return put_character(screen, item.lead, item.trail, item.width);
    case ItemKind::sequence: return apply_escape(screen, item.values, item.count, item.final_byte);
    case ItemKind::passed_over: break;
  }
  return false;
}

// What an item the screen cannot show was, in a few words.
std::string describe(const LineItem& item) {
  switch (item.kind) {
    case ItemKind::character: return "text off the screen";
    case ItemKind::sequence: {
      std::string escape = "the escape ESC[";
      for (int i = 0; i < item.count; ++i) {
        if (i) escape += ';';
        if (item.values[i] >= 0) escape += std::to_string(item.values[i]);
      }
      return escape + item.final_byte + " it does not know";
    }
    case ItemKind::passed_over: break;
  }
  return "a byte no screen shows (a control byte, a broken double-byte character or escape)";
}

}  // namespace

std::int64_t apply_text_line(Screen& screen, std::string_view line, std::string* first) {
  const bool stays = !line.empty() && line.back() == ';';
  if (stays) line.remove_suffix(1);
  std::int64_t passed_over = 0;
  std::size_t at = 0;
  LineItem item;
  while (next_item(line, at, item)) {
    if (apply_item(screen, item)) continue;
    if (passed_over++ == 0 && first != nullptr) *first = describe(item);
  }
  if (!stays) {
    ++screen.cursor_row;
    screen.cursor_column = 1;
  }
  return passed_over;
}

}  // namespace mosaiq::view
