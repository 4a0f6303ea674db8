#include "view/glyph_text.h"

#include <string>

#include "platform/shift_jis.h"

namespace mosaiq::view {

namespace {

const std::string blank_text = " ";
const std::string no_text;
constexpr const char* replacement = "?";

}  // namespace

const char* const block_half = "\u2588";

bool is_block_glyph(const Cell& cell) {
  return (cell.kind == CellKind::wide_first || cell.kind == CellKind::wide_second) &&
         cell.lead == 0x81 && cell.trail == 0xa1;
}

const std::string& GlyphText::of(const Cell& cell) {
  switch (cell.kind) {
    case CellKind::blank: return blank_text;
    case CellKind::wide_second: return no_text;
    case CellKind::single:
    case CellKind::wide_first: break;
  }
  if (is_block_glyph(cell)) {
    static const std::string block_text = std::string(block_half) + block_half;
    return block_text;
  }
  const std::uint32_t key = cell.kind == CellKind::single ? cell.lead : cell.lead << 8 | cell.trail;
  auto found = known_.find(key);
  if (found != known_.end()) return found->second;
  std::string text;
  if (cell.kind == CellKind::single && cell.lead < 0x80) {
    text.assign(1, static_cast<char>(cell.lead));
  } else {
    const unsigned char bytes[2] = {cell.lead, cell.trail};
    if (!sjis_character_to_utf8(bytes, cell.kind == CellKind::single ? 1 : 2, text)) {
      // No Unicode character: keep the columns it takes.
      text = cell.kind == CellKind::single ? replacement : std::string(replacement) + replacement;
    }
  }
  return known_.emplace(key, std::move(text)).first->second;
}

std::string screen_text(const Screen& screen, GlyphText& glyphs, bool colours) {
  std::string text;
  for (int row = 0; row < screen_rows; ++row) {
    TerminalColour colour;
    for (int column = 0; column < screen_columns; ++column) {
      const Cell& cell = screen.cells[row * screen_columns + column];
      if (colours && (cell.kind == CellKind::single || cell.kind == CellKind::wide_first)) {
        colour.select(cell.colour, text);
      }
      text += glyphs.of(cell);
    }
    if (colour.used()) text += "\x1b[0m";
    text += '\n';
  }
  return text;
}

}  // namespace mosaiq::view
