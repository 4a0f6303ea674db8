#include "convert/frame_painter.h"

#include <cstring>

#include "convert/converter_state.h"
#include "convert/frame_record.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

namespace mosaiq {

namespace {

// Foreground escapes of the colour digits 1 to 7 (bit 0 blue, bit 1 red, bit 2 green).
constexpr const char* colour_escapes[8] = {
    nullptr,    "\x1b[34m", "\x1b[31m", "\x1b[35m", "\x1b[32m", "\x1b[36m", "\x1b[33m", "\x1b[37m",
};

constexpr char block_glyph[] = "\x81\xa1";  // "■" in Shift_JIS

inline void paint_cell(WrdWriter& out, std::int32_t& colour, unsigned char ch) {
  if (ch == '0') {
    out.put("  ", 2);
    return;
  }
  const std::int32_t code = ch - '0';
  if (code != colour) {
    colour = code;
    if (code >= 1 && code <= 7) out.put(colour_escapes[code], 5);
  }
  out.put(block_glyph, 2);
}

void end_cell_line(WrdWriter& out) { out.put(";\r\n", 3); }

// Paints the changed cells of one row segment; the segment must hold at least one change.
void paint_row_changes(ConverterState& state, const unsigned char* cells,
                       const unsigned char* shown, std::int64_t count, std::int64_t screen_row,
                       std::int64_t origin_col) {
  WrdWriter& out = *state.output_file;
  std::int64_t c = 0;
  while (cells[c] == shown[c]) ++c;
  write_cursor_position(out, screen_row, origin_col + 2 * c);
  std::int64_t gap = 0;
  for (; c < count; ++c) {
    if (cells[c] == shown[c]) {
      ++gap;
      continue;
    }
    if (gap > 0) {
      write_cursor_forward(out, 2 * gap);
      gap = 0;
    }
    paint_cell(out, state.current_colour, cells[c]);
  }
  // Unchanged cells at the end of the row need no cursor move: the line just ends.
  end_cell_line(out);
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
    paint_row_changes(state, cells + start, shown + start, count, origin_row + row, origin_col);
  }
}

void paint_whole_grid(ConverterState& state, std::int64_t origin_col, std::int64_t origin_row) {
  WrdWriter& out = *state.output_file;
  const unsigned char* cells = state.new_frame.get();
  const std::int64_t width = state.grid_width;
  for (std::int64_t row = 0; row < state.grid_height; ++row) {
    write_cursor_position(out, origin_row + row, origin_col);
    const unsigned char* row_cells = cells + row * width;
    for (std::int64_t c = 0; c < width; ++c) paint_cell(out, state.current_colour, row_cells[c]);
    end_cell_line(out);
  }
}

}  // namespace

std::int64_t wmode_value(std::int32_t division) {
  return 96 / (4 * static_cast<std::int64_t>(division)) - 1;
}

void write_cursor_position(WrdWriter& out, std::int64_t row, std::int64_t column) {
  out.put("\x1b[", 2);
  out.put_decimal(row);
  out.put(";", 1);
  out.put_decimal(column);
  out.put("H;\r\n", 4);
}

void write_cursor_forward(WrdWriter& out, std::int64_t columns) {
  out.put("\x1b[", 2);
  out.put_decimal(columns);
  out.put("C", 1);
}

int read_frame_rows(ConverterState& state, unsigned char* buffer, std::int64_t& filled) {
  const std::int64_t capacity = state.cell_count;
  filled = 0;
  for (std::int32_t row = 0; row < state.grid_height; ++row) {
    std::string_view text;
    if (state.input_file->next_line(text) != ReadStatus::line) return 1;
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    const std::int64_t room = capacity - filled;
    const std::int64_t take =
        static_cast<std::int64_t>(text.size()) < room ? static_cast<std::int64_t>(text.size())
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
    bool left_changed = true;  // the first cell of a row has no left neighbour: never a jump
    for (std::int64_t c = start; c < start + count; ++c) {
      const bool changed = cells[c] != shown[c];
      if (changed && !left_changed && ++jumps > limit) return jumps;
      left_changed = changed;
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
    std::memcpy(cells + filled, shown + filled, static_cast<std::size_t>(state.cell_count - filled));
    paint_whole_grid(state, origin_col, origin_row);
  } else {
    paint_changes(state, filled, origin_col, origin_row);
  }
  out.end_line();
  std::memcpy(shown, cells, static_cast<std::size_t>(filled));
  return 0;
}

}  // namespace mosaiq
