// The colours a cell digit names: bit 0 blue, bit 1 red, bit 2 green, '0' dark. On the
// player's screen a lit cell is drawn in the terminal colour ESC[3Nm whose bits run the other
// way (bit 0 red, bit 1 green, bit 2 blue); pictures of the screen (the viewer's page and GIF,
// the importer's colour matching) draw each in the RGB below.
#pragma once

#include <cstdint>

namespace mosaiq {

struct CellColour {
  const char* name;
  std::uint8_t red, green, blue;
};

// By cell digit. The viewer's page.css draws the same colours.
constexpr CellColour cell_colours[8] = {
    {"dark", 0x00, 0x00, 0x00},    {"blue", 0x44, 0x66, 0xff},  {"red", 0xff, 0x33, 0x33},
    {"magenta", 0xee, 0x33, 0xee}, {"green", 0x33, 0xee, 0x33}, {"cyan", 0x33, 0xee, 0xee},
    {"yellow", 0xee, 0xee, 0x33},  {"white", 0xee, 0xee, 0xee},
};

// The terminal colour number a cell digit is drawn in (blue to bit 2, red to bit 0, green to
// bit 1), and back.
constexpr int terminal_colour(int digit) {
  return (digit & 1) << 2 | (digit & 2) >> 1 | (digit & 4) >> 1;
}
constexpr int cell_digit(int terminal) {
  return (terminal & 4) >> 2 | (terminal & 1) << 1 | (terminal & 2) << 1;
}

static_assert(terminal_colour(1) == 4 && terminal_colour(2) == 1 && terminal_colour(4) == 2 &&
                  terminal_colour(6) == 3 && cell_digit(terminal_colour(5)) == 5 &&
                  cell_digit(terminal_colour(3)) == 3,
              "blue is ESC[34m, red ESC[31m, green ESC[32m, yellow ESC[33m");

}  // namespace mosaiq
