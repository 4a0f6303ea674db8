#include "convert/frame_painter.h"

#include <cstring>

#include "convert/converter_state.h"
#include "convert/frame_record.h"
#include "convert/row_bytes.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"
#include "song/player_clock.h"

namespace mosaiq {

namespace {

// What a cell of digit d writes, [d][0] with its colour already selected, [d][1] with the
// colour escape first. A dark cell is two spaces and never selects a colour.
struct CellText {
  char bytes[8];  // written whole, so that no cell needs a copy of variable length
  std::uint8_t length;
};
constexpr CellText cell_texts[8][2] = {
    {{"  ", 2}, {"  ", 2}},
    {{"\x81\xa1", 2}, {"\x1b[34m\x81\xa1", 7}},  // blue
    {{"\x81\xa1", 2}, {"\x1b[31m\x81\xa1", 7}},  // red
    {{"\x81\xa1", 2}, {"\x1b[35m\x81\xa1", 7}},  // magenta
    {{"\x81\xa1", 2}, {"\x1b[32m\x81\xa1", 7}},  // green
    {{"\x81\xa1", 2}, {"\x1b[36m\x81\xa1", 7}},  // cyan
    {{"\x81\xa1", 2}, {"\x1b[33m\x81\xa1", 7}},  // yellow
    {{"\x81\xa1", 2}, {"\x1b[37m\x81\xa1", 7}},  // white
};

// The length of cell_texts[d][escape]: two bytes of glyph or spaces, and the colour escape.
constexpr unsigned cell_length(unsigned escape) { return 2 + 5 * escape; }

// The most one painted cell adds: a cursor-forward escape, then a cell text copied whole.
constexpr std::size_t cell_room = cursor_forward_room + sizeof(CellText::bytes);
constexpr std::size_t position_room = cursor_position_room;

// Writes one cell: "■" for a lit cell, after its colour escape when that colour is not the one
// selected; two spaces for a dark cell. Another character than '0' to '7' is lit without an
// escape and leaves its code minus '0' as the colour, which matches no digit.
inline char* paint_cell(char* at, std::int32_t& colour, unsigned char ch) {
  const unsigned digit = static_cast<unsigned>(ch) - '0';
  if (digit < 8) {
    const bool lit = digit != 0;
    const unsigned escape = lit & (static_cast<std::int32_t>(digit) != colour);
    const CellText& text = cell_texts[digit][escape];
    std::memcpy(at, text.bytes, sizeof text.bytes);
    colour = lit ? static_cast<std::int32_t>(digit) : colour;
    return at + cell_length(escape);
  }
  colour = ch - '0';
  std::memcpy(at, "\x81\xa1", 2);
  return at + 2;
}

char* end_cell_line(WrdWriter& out, char* at) {
  at = out.ensure(at, 3);
  *at = ';';
  return WrdWriter::end_line(at + 1);
}

inline std::uint64_t differing_bits(const unsigned char* cells, const unsigned char* shown) {
  std::uint64_t a, b;
  std::memcpy(&a, cells, 8);
  std::memcpy(&b, shown, 8);
  return a ^ b;
}

// Which of the eight bytes a word was loaded from holds the first (or the last) set bit of
// `bits`, which must not be 0.
inline std::int64_t first_byte(std::uint64_t bits) {
  return (little_endian ? __builtin_ctzll(bits) : __builtin_clzll(bits)) / 8;
}
inline std::int64_t last_byte(std::uint64_t bits) {
  return 7 - (little_endian ? __builtin_clzll(bits) : __builtin_ctzll(bits)) / 8;
}

// The index of the first cell from `from` on that differs between the frames, or count.
// Compares eight cells at a time, so long unchanged runs cost little.
inline std::int64_t next_change(const unsigned char* cells, const unsigned char* shown,
                                std::int64_t from, std::int64_t count) {
  std::int64_t c = from;
  for (; c + 8 <= count; c += 8) {
    const std::uint64_t bits = differing_bits(cells + c, shown + c);
    if (bits != 0) return c + first_byte(bits);
  }
  while (c < count && cells[c] == shown[c]) ++c;
  return c;
}

// The index after the last cell before `count` that differs between the frames, or 0.
inline std::int64_t end_of_changes(const unsigned char* cells, const unsigned char* shown,
                                   std::int64_t count) {
  std::int64_t c = count;
  for (; c >= 8; c -= 8) {
    const std::uint64_t bits = differing_bits(cells + c - 8, shown + c - 8);
    if (bits != 0) return c - 8 + last_byte(bits) + 1;
  }
  while (c > 0 && cells[c - 1] == shown[c - 1]) --c;
  return c;
}

// Cursor-forward escapes for the gaps below short_gap cells, "\x1b[2C" to "\x1b[98C"; a gap of
// 0 writes nothing. Longer gaps are written by put_cursor_forward().
constexpr std::int64_t short_gap = 50;
struct ForwardText {
  char bytes[8];
  std::uint8_t length;
};
constexpr struct ForwardTexts {
  ForwardText gaps[short_gap] = {};
  constexpr ForwardTexts() {
    for (int gap = 1; gap < short_gap; ++gap) {
      ForwardText& text = gaps[gap];
      const int columns = 2 * gap;
      int length = 0;
      text.bytes[length++] = '\x1b';
      text.bytes[length++] = '[';
      if (columns >= 10) text.bytes[length++] = static_cast<char>('0' + columns / 10);
      text.bytes[length++] = static_cast<char>('0' + columns % 10);
      text.bytes[length++] = 'C';
      text.length = static_cast<std::uint8_t>(length);
    }
  }
} forward_texts;

// The length of forward_texts.gaps[gap]: none for no gap, "\x1b[nC" with one or two digits.
constexpr unsigned forward_length(std::int64_t gap) { return gap == 0 ? 0 : gap < 5 ? 4 : 5; }
static_assert(forward_length(4) == 4 && forward_length(5) == 5 &&
                  forward_length(short_gap - 1) == 5,
              "the cursor-forward texts of the short gaps");

// Cells painted between two checks for room in the writer's buffer.
constexpr std::int64_t cells_per_block = 512;
static_assert(cells_per_block * cell_room + position_room + 3 < WrdWriter::capacity);

// Paints the changed cells of one row segment; the segment must hold at least one change.
// Cells '0' to '7' after a short gap take a path without branches, since whether a cell changed
// and which colour it has are as good as random in a busy animation.
void paint_row_changes(WrdWriter& out, std::int32_t& selected, const unsigned char* cells,
                       const unsigned char* shown, std::int64_t count, std::int64_t screen_row,
                       std::int64_t origin_col) {
  // Kept in a register: written through `at`, the colour in memory would be reread every cell.
  std::int32_t colour = selected;
  std::int64_t c = next_change(cells, shown, 0, count);
  // Unchanged cells at the end of the row need no cursor move: the line just ends.
  count = end_of_changes(cells, shown, count);
  char* at = put_cursor_position(out.reserve(position_room), screen_row, origin_col + 2 * c);
  std::int64_t gap = 0;
  while (c < count) {
    at = out.ensure(at, static_cast<std::size_t>(cells_per_block) * cell_room);
    const std::int64_t block_end = count - c < cells_per_block ? count : c + cells_per_block;
    for (; c < block_end; ++c) {
      const unsigned char ch = cells[c];
      const unsigned digit = static_cast<unsigned>(ch) - '0';
      const bool changed = ch != shown[c];
      if (digit < 8 && gap < short_gap) {
        // All ones when the cell changed, else all zeros: the selections below are masks.
        const std::uint32_t keep = 0u - static_cast<std::uint32_t>(changed);
        // The lengths are computed, not loaded, so that `at` never waits for a table.
        const ForwardText& forward = forward_texts.gaps[gap];
        std::memcpy(at, forward.bytes, sizeof forward.bytes);
        at += forward_length(gap) & keep;
        const bool lit = digit != 0;
        const unsigned escape = lit & (static_cast<std::int32_t>(digit) != colour);
        const CellText& text = cell_texts[digit][escape];
        std::memcpy(at, text.bytes, sizeof text.bytes);
        at += cell_length(escape) & keep;
        const std::uint32_t recolour = keep & (0u - static_cast<std::uint32_t>(lit));
        colour ^=
            static_cast<std::int32_t>((static_cast<std::uint32_t>(colour) ^ digit) & recolour);
        gap = (gap + 1) & ~static_cast<std::int64_t>(static_cast<std::int32_t>(keep));
      } else if (!changed) {
        // A long unchanged run: cross it in one step. A trailing run needs no cursor move.
        const std::int64_t next = next_change(cells, shown, c, count);
        gap += next - c;
        c = next - 1;
      } else {
        if (gap > 0) at = put_cursor_forward(at, 2 * gap);
        gap = 0;
        at = paint_cell(at, colour, ch);
      }
    }
  }
  out.commit(end_cell_line(out, at));
  selected = colour;
}

void paint_changes(ConverterState& state, const unsigned char* cells, std::int64_t filled,
                   std::int64_t origin_col, std::int64_t origin_row) {
  const unsigned char* shown = state.shown_frame.get();
  if (std::memcmp(cells, shown, static_cast<std::size_t>(filled)) == 0) return;
  const std::int64_t width = state.grid_width;
  std::int64_t row = 0;
  for (std::int64_t start = 0; start < filled; start += width, ++row) {
    const std::int64_t count = filled - start < width ? filled - start : width;
    if (same_bytes(cells + start, shown + start, static_cast<std::size_t>(count))) continue;
    paint_row_changes(*state.output_file, state.current_colour, cells + start, shown + start, count,
                      origin_row + row, origin_col);
  }
}

// Writes `count` cells as they are, the dark ones as two spaces.
char* paint_cells(WrdWriter& out, char* at, std::int32_t& selected, const unsigned char* cells,
                  std::int64_t count) {
  std::int32_t colour = selected;
  for (std::int64_t c = 0; c < count;) {
    at = out.ensure(at, static_cast<std::size_t>(cells_per_block) * cell_room);
    const std::int64_t block_end = count - c < cells_per_block ? count : c + cells_per_block;
    for (; c < block_end; ++c) at = paint_cell(at, colour, cells[c]);
  }
  selected = colour;
  return at;
}

// Every cell of the grid, row by row: the cells the rows supplied, then what the screen shows.
void paint_whole_grid(ConverterState& state, const FrameCells& frame, std::int64_t origin_col,
                      std::int64_t origin_row) {
  WrdWriter& out = *state.output_file;
  const unsigned char* shown = state.shown_frame.get();
  const std::int64_t width = state.grid_width;
  std::int32_t colour = state.current_colour;
  for (std::int64_t row = 0; row < state.grid_height; ++row) {
    char* at = put_cursor_position(out.reserve(position_room), origin_row + row, origin_col);
    const std::int64_t start = row * width;
    const std::int64_t supplied =
        frame.filled <= start ? 0 : (frame.filled - start < width ? frame.filled - start : width);
    at = paint_cells(out, at, colour, frame.cells + start, supplied);
    at = paint_cells(out, at, colour, shown + start + supplied, width - supplied);
    out.commit(end_cell_line(out, at));
  }
  state.current_colour = colour;
}

void write_mode_line(WrdWriter& out, std::int32_t division) {
  out.put("@wmode(", 7);
  out.put_decimal(wmode_of_division(division));
  out.put(");", 2);
  out.end_line();
}

}  // namespace

std::int64_t count_cursor_jumps(const ConverterState& state, const unsigned char* cells,
                                std::int64_t filled, std::int64_t limit) {
  const unsigned char* shown = state.shown_frame.get();
  const std::int64_t width = state.grid_width;
  std::int64_t jumps = 0;
  for (std::int64_t start = 0; start < filled; start += width) {
    const std::int64_t count = filled - start < width ? filled - start : width;
    if (same_bytes(cells + start, shown + start, static_cast<std::size_t>(count))) continue;
    // Every run of changed cells costs a jump, but one that starts the row. Counted without a
    // branch per cell: in a busy animation whether a cell changed is as good as random.
    std::uint32_t before = 1;
    for (std::int64_t c = 0; c < count;) {
      const std::int64_t block_end = count - c < 64 ? count : c + 64;
      for (; c < block_end; ++c) {
        const std::uint32_t changed = cells[start + c] != shown[start + c];
        jumps += changed & (before ^ 1u);
        before = changed;
      }
      if (jumps > limit) return jumps;
    }
  }
  return jumps;
}

bool paint_frame(ConverterState& state, const FrameRecord& record, const FrameCells& frame,
                 std::int64_t origin_col, std::int64_t origin_row) {
  WrdWriter& out = *state.output_file;
  if (take_beat_division(state, record)) write_mode_line(out, record.beat_division);
  show_pattern(state, record.pattern_number, {});
  show_measure_beat(state, record.measure, record.beat);
  if (frame.rows_read < state.grid_height) return false;

  if (record.repaint_flag != 0 &&
      count_cursor_jumps(state, frame.cells, frame.filled, repaint_threshold) > repaint_threshold) {
    paint_whole_grid(state, frame, origin_col, origin_row);
  } else {
    paint_changes(state, frame.cells, frame.filled, origin_col, origin_row);
  }
  out.end_line();
  unsigned char* shown = state.shown_frame.get();
  if (frame.cells != shown) std::memcpy(shown, frame.cells, static_cast<std::size_t>(frame.filled));
  return true;
}

}  // namespace mosaiq
