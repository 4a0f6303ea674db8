// The UTF-8 text of the screen's cells: Shift_JIS (code page 932) converted, the block glyph "■"
// of a lit cell shown as two full blocks.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "view/screen_model.h"

namespace mosaiq::view {

// Whether the cell holds (the first half of) the glyph "■" (Shift_JIS 0x81 0xA1) that a lit cell
// is drawn with. The viewer shows it as a block of colour, as a player's screen shows it, not as
// the small square of a font.
bool is_block_glyph(const Cell& cell);

// The text of one column of a block glyph.
extern const char* const block_half;  // "█"

// Remembers the text of every character it converted.
class GlyphText {
 public:
  // What the cell shows: " " for a blank, "" for the second half of a double-byte character.
  const std::string& of(const Cell& cell);

 private:
  std::unordered_map<std::uint32_t, std::string> known_;
};

// The colour a terminal writes in, as the escapes sent to it selected it: an escape is sent
// only where the colour changes.
class TerminalColour {
 public:
  // Appends the escape that selects colour 0 to 7, unless that colour is selected already.
  void select(int colour, std::string& out) {
    if (colour == selected_) return;
    selected_ = colour;
    out += "\x1b[3";
    out += static_cast<char>('0' + colour);
    out += 'm';
  }
  // Whether an escape was sent.
  bool used() const { return selected_ >= 0; }

 private:
  int selected_ = -1;
};

// The screen as 25 lines of 80 columns, with colour escapes (reset at the end of each line that
// used one) or without.
std::string screen_text(const Screen& screen, GlyphText& glyphs, bool colours);

}  // namespace mosaiq::view
