#include "convert/frame_painter.h"

#include <cstring>

#include "convert/converter_state.h"
#include "convert/frame_record.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

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

// The most one painted cell adds: a cursor-forward escape, then a cell text copied whole.
constexpr std::size_t cell_room = 2 + max_decimal_length + 1 + sizeof(CellText::bytes);
// The most a cursor-position line takes.
constexpr std::size_t position_room = 2 + 2 * max_decimal_length + 1 + 4;

// Writes one cell: "■" for a lit cell, after its colour escape when that colour is not the one
// selected; two spaces for a dark cell. Another character than '0' to '7' is lit without an
// escape and leaves its code minus '0' as the colour, which matches no digit.
inline char* paint_cell(char* at, std::int32_t& colour, unsigned char ch) {
  const unsigned digit = static_cast<unsigned>(ch) - '0';
  if (digit < 8) {
    const bool lit = digit != 0;
    const bool escape = lit && static_cast<std::int32_t>(digit) != colour;
    const CellText& text = cell_texts[digit][escape];
    std::memcpy(at, text.bytes, sizeof text.bytes);
    colour = lit ? static_cast<std::int32_t>(digit) : colour;
    return at + text.length;
  }
  colour = ch - '0';
  std::memcpy(at, "\x81\xa1", 2);
  return at + 2;
}

char* put_cursor_position(char* at, std::int64_t row, std::int64_t column) {
  std::memcpy(at, "\x1b[", 2);
  at += 2;
  at += format_decimal(row, at);
  *at++ = ';';
  at += format_decimal(column, at);
  std::memcpy(at, "H;\r\n", 4);
  return at + 4;
}

char* put_cursor_forward(char* at, std::int64_t columns) {
  std::memcpy(at, "\x1b[", 2);
  at += 2;
  at += format_decimal(columns, at);
  *at = 'C';
  return at + 1;
}

char* end_cell_line(WrdWriter& out, char* at) {
  at = out.ensure(at, 3);
  std::memcpy(at, ";\r\n", 3);
  return at + 3;
}

inline bool same_eight(const unsigned char* cells, const unsigned char* shown) {
  std::uint64_t a, b;
  std::memcpy(&a, cells, 8);
  std::memcpy(&b, shown, 8);
  return a == b;
}

// The index of the first cell from `from` on that differs between the frames, or count.
// Compares eight cells at a time, so long unchanged runs cost little.
inline std::int64_t next_change(const unsigned char* cells, const unsigned char* shown,
                                std::int64_t from, std::int64_t count) {
  std::int64_t c = from;
  while (c + 8 <= count && same_eight(cells + c, shown + c)) c += 8;
  while (c < count && cells[c] == shown[c]) ++c;
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

// Cells painted between two checks for room in the writer's buffer.
constexpr std::int64_t cells_per_block = 512;
static_assert(cells_per_block * cell_room + position_room + 3 < WrdWriter::capacity);

// Paints the changed cells of one row segment; the segment must hold at least one change.
// Cells '0' to '7' after a short gap take a path without branches, since whether a cell changed
// and which colour it has are as good as random in a busy animation.
void paint_row_changes(WrdWriter& out, std::int32_t& colour, const unsigned char* cells,
                       const unsigned char* shown, std::int64_t count, std::int64_t screen_row,
                       std::int64_t origin_col) {
  std::int64_t c = next_change(cells, shown, 0, count);
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
        const ForwardText& forward = forward_texts.gaps[gap];
        std::memcpy(at, forward.bytes, sizeof forward.bytes);
        at += forward.length & keep;
        const bool lit = digit != 0;
        const unsigned escape = lit & (static_cast<std::int32_t>(digit) != colour);
        const CellText& text = cell_texts[digit][escape];
        std::memcpy(at, text.bytes, sizeof text.bytes);
        at += text.length & keep;
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
  // Unchanged cells at the end of the row need no cursor move: the line just ends.
  out.commit(end_cell_line(out, at));
}

void paint_changes(ConverterState& state, std::int64_t filled, std::int64_t origin_col,
                   std::int64_t origin_row) {
  const unsigned char* cells = state.new_frame.get();
  const unsigned char* shown = state.shown_frame.get();
  const std::int64_t width = state.grid_width;
  std::int64_t row = 0;
  for (std::int64_t start = 0; start < filled; start += width, ++row) {
    const std::int64_t count = filled - start < width ? filled - start : width;
    if (std::memcmp(cells + start, shown + start, static_cast<std::size_t>(count)) == 0) continue;
    paint_row_changes(*state.output_file, state.current_colour, cells + start, shown + start, count,
                      origin_row + row, origin_col);
  }
}

void paint_whole_grid(ConverterState& state, std::int64_t origin_col, std::int64_t origin_row) {
  WrdWriter& out = *state.output_file;
  const unsigned char* cells = state.new_frame.get();
  const std::int64_t width = state.grid_width;
  std::int32_t colour = state.current_colour;
  for (std::int64_t row = 0; row < state.grid_height; ++row) {
    char* at = put_cursor_position(out.reserve(position_room), origin_row + row, origin_col);
    const unsigned char* row_cells = cells + row * width;
    for (std::int64_t c = 0; c < width; ++c) {
      at = out.ensure(at, cell_room);
      at = paint_cell(at, colour, row_cells[c]);
    }
    out.commit(end_cell_line(out, at));
  }
  state.current_colour = colour;
}

}  // namespace

std::int64_t wmode_value(std::int32_t division) {
  return 96 / (4 * static_cast<std::int64_t>(division)) - 1;
}

void write_cursor_position(WrdWriter& out, std::int64_t row, std::int64_t column) {
  out.commit(put_cursor_position(out.reserve(position_room), row, column));
}

void write_cursor_forward(WrdWriter& out, std::int64_t columns) {
  out.commit(put_cursor_forward(out.reserve(cell_room), columns));
}

int read_frame_rows(ConverterState& state, unsigned char* buffer, std::int64_t& filled) {
  const std::int64_t capacity = state.cell_count;
  filled = 0;
  for (std::int32_t row = 0; row < state.grid_height; ++row) {
    std::string_view text;
    if (state.input_file->next_line(text) != ReadStatus::line) return 1;
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    const std::int64_t room = capacity - filled;
    const std::int64_t take = static_cast<std::int64_t>(text.size()) < room
                                  ? static_cast<std::int64_t>(text.size())
                                  : room;
    std::memcpy(buffer + filled, text.data(), static_cast<std::size_t>(take));
    filled += take;
  }
  return 0;
}

std::int64_t count_cursor_jumps(const ConverterState& state, std::int64_t filled,
                                std::int64_t limit) {
  const unsigned char* cells = state.new_frame.get();
  const unsigned char* shown = state.shown_frame.get();
  const std::int64_t width = state.grid_width;
  std::int64_t jumps = 0;
  for (std::int64_t start = 0; start < filled; start += width) {
    const std::int64_t count = filled - start < width ? filled - start : width;
    if (std::memcmp(cells + start, shown + start, static_cast<std::size_t>(count)) == 0) continue;
    // Every run of changed cells but one that starts the row costs a jump.
    std::int64_t c = next_change(cells + start, shown + start, 0, count);
    if (c > 0 && ++jumps > limit) return jumps;
    while (c < count) {
      while (c < count && cells[start + c] != shown[start + c]) ++c;
      c = next_change(cells + start, shown + start, c, count);
      if (c < count && ++jumps > limit) return jumps;
    }
  }
  return jumps;
}

int paint_frame(ConverterState& state, std::string_view line, std::int64_t origin_col,
                std::int64_t origin_row) {
  WrdWriter& out = *state.output_file;
  const FrameRecord record = parse_frame_record(line, state);
  if (record.beat_division != 0 && record.beat_division != state.beat_division) {
    state.beat_division = record.beat_division;
    out.put("@wmode(", 7);
    out.put_decimal(wmode_value(record.beat_division));
    out.put(");\r\n", 4);
  }
  show_pattern(state, record.pattern_number, {});
  show_measure_beat(state, record.measure, record.beat);

  unsigned char* cells = state.new_frame.get();
  unsigned char* shown = state.shown_frame.get();
  std::int64_t filled = 0;
  if (read_frame_rows(state, cells, filled) != 0) return 1;

  if (record.repaint_flag != 0 &&
      count_cursor_jumps(state, filled, repaint_threshold) > repaint_threshold) {
    // Cells the rows did not supply keep what the screen shows.
    std::memcpy(cells + filled, shown + filled,
                static_cast<std::size_t>(state.cell_count - filled));
    paint_whole_grid(state, origin_col, origin_row);
  } else {
    paint_changes(state, filled, origin_col, origin_row);
  }
  out.end_line();
  std::memcpy(shown, cells, static_cast<std::size_t>(filled));
  return 0;
}

}  // namespace mosaiq
