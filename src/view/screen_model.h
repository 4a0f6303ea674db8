// The player's 80 x 25 text screen, as the text lines of a script change it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mosaiq::view {

constexpr int screen_columns = 80;
constexpr int screen_rows = 25;
constexpr int white = 7;

enum class CellKind : std::uint8_t { blank, single, wide_first, wide_second };

// One column of the screen. A double-byte character fills two, both holding its bytes.
struct Cell {
  CellKind kind = CellKind::blank;
  std::uint8_t colour = white;  // 0 to 7: black, red, green, yellow, blue, magenta, cyan, white
  unsigned char lead = ' ';
  unsigned char trail = 0;
  bool operator==(const Cell& other) const {
    return kind == other.kind && colour == other.colour && lead == other.lead &&
           trail == other.trail;
  }
  bool operator!=(const Cell& other) const { return !(*this == other); }
};

struct Screen {
  Cell cells[screen_rows * screen_columns];
  // 1-based, and free to leave the screen: what is written off it is dropped.
  std::int64_t cursor_row = 1;
  std::int64_t cursor_column = 1;
  int colour = white;
};

// Applies one text line of the script (without its line end): a line ending in ";" leaves the
// cursor where the text ends, any other moves it to the start of the next row. Returns how many
// things were passed over: unknown escapes, text off the screen, broken double-byte characters;
// with `first`, says what the first of them was.
std::int64_t apply_text_line(Screen& screen, std::string_view line, std::string* first = nullptr);

}  // namespace mosaiq::view
