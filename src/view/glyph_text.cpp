#include "view/glyph_text.h"

#include <iconv.h>

#include <string>

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

GlyphText::GlyphText() {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  converter_ = cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
}

GlyphText::~GlyphText() {
  if (converter_) iconv_close(static_cast<iconv_t>(converter_));
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
    char in[2] = {static_cast<char>(cell.lead), static_cast<char>(cell.trail)};
    char out[16];
    char* in_at = in;
    char* out_at = out;
    std::size_t in_left = cell.kind == CellKind::single ? 1 : 2, out_left = sizeof out;
    if (converter_ &&
        iconv(static_cast<iconv_t>(converter_), &in_at, &in_left, &out_at, &out_left) !=
            static_cast<std::size_t>(-1) &&
        in_left == 0) {
      text.assign(out, static_cast<std::size_t>(out_at - out));
    } else {
      // No Unicode character: keep the columns it takes.
      text = cell.kind == CellKind::single ? replacement : std::string(replacement) + replacement;
    }
    if (converter_) iconv(static_cast<iconv_t>(converter_), nullptr, nullptr, nullptr, nullptr);
  }
  return known_.emplace(key, std::move(text)).first->second;
}

std::string colour_escape(int colour) { return "\x1b[3" + std::to_string(colour) + "m"; }

std::string screen_text(const Screen& screen, GlyphText& glyphs, bool colours) {
  std::string text;
  for (int row = 0; row < screen_rows; ++row) {
    int selected = -1;
    for (int column = 0; column < screen_columns; ++column) {
      const Cell& cell = screen.cells[row * screen_columns + column];
      if (colours && (cell.kind == CellKind::single || cell.kind == CellKind::wide_first) &&
          cell.colour != selected) {
        selected = cell.colour;
        text += colour_escape(selected);
      }
      text += glyphs.of(cell);
    }
    if (selected != -1) text += "\x1b[0m";
    text += '\n';
  }
  return text;
}

}  // namespace mosaiq::view
