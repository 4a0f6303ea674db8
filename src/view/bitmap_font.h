// A small bitmap font of printable ASCII for the panel's line in a GIF: five by seven pixels a
// character, drawn in cells of six by eight.
#pragma once

#include <cstdint>

namespace mosaiq::view {

constexpr int glyph_width = 5, glyph_height = 7;
constexpr int glyph_advance = 6, line_height = 8;

// Whether the pixel at (x, y) of the character's glyph is lit; never for a character outside
// printable ASCII (double-byte text shows as blanks).
bool glyph_pixel(char character, int x, int y);

}  // namespace mosaiq::view
