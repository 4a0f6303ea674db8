// The directive loop: reads a WVE file line by line, recognises its directives, keeps the grid
// and the pattern they set, and hands every frame record with its rows to a visitor. The
// converter paints what it is handed; the checker examines it. Both see the same lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert/converter_state.h"
#include "convert/frame_record.h"
#include "convert/wve_directives.h"
#include "convert/wve_reader.h"

namespace mosaiq {

// What the loop keeps for the file in hand, besides the grid in ConverterState.
struct DirectiveScope {
  std::int64_t origin_col = grid_origin_col(default_grid_width);   // screen column of its left edge
  std::int64_t origin_row = grid_origin_row(default_grid_height);  // screen row of its top edge
  std::int32_t pattern_number = 1;
  std::size_t pattern_text_length = 0;
  char pattern_text[256] = {};
  bool in_header = true;  // "*nXY=" is honoured only before any other recognised directive

  std::string_view text() const { return {pattern_text, pattern_text_length}; }
};
static_assert(sizeof DirectiveScope::pattern_text >= WveReader::line_limit,
              "a pattern text is at most one line's text");

// Takes what a pattern announcement converted into the scope.
void apply_pattern(DirectiveScope& scope, const PatternScan& scan);

// Takes the grid size that "*nXY=" converted, unless a side is negative or the grid has more
// cells than state.cell_limit, and sets the origin for the grid in force. Returns whether the
// converted values were taken.
bool apply_grid_size(ConverterState& state, DirectiveScope& scope, const GridScan& scan);

enum class WalkEnd {
  input_ended,      // the input (or a read of it) ended
  end_directive,    // "*end"
  frame_cut_short,  // the input ended before all rows of a frame were read
  stopped,          // the visitor asked to stop
};

// Reads the next `count` lines as the rows first, first + 1, ... of a frame, whatever they hold,
// calling visitor.row(const WveLine&, std::int32_t index) for each. Returns how many were read:
// fewer than count when the input ended.
template <class Visitor>
std::int32_t read_rows(WveReader& input, const ConverterState& state, std::int32_t first,
                       std::int32_t count, Visitor& visitor) {
  const std::size_t width = static_cast<std::size_t>(state.grid_width);
  WveLine line;
  std::int32_t read = 0;
  while (read < count && input.next_row(line, width) == ReadStatus::line) {
    visitor.row(line, first + read++);
  }
  return read;
}

// Reads the input to its end. The visitor is called with
//   bool line(const WveLine&, LineKind)            every line outside a frame's rows, first
//   bool frame_record(const WveLine&, const FrameRecord&)
//   std::int32_t rows(WveReader&, std::int32_t count)   reads the grid_height rows that follow,
//                                                  with read_rows() or as fast as it can
//   bool frame_end(const FrameRecord&, std::int32_t rows_read)
//   void pattern(const WveLine&, const PatternScan&)   after the scope took it
//   void grid_size(const WveLine&, const GridScan&, bool taken)
// and a false result ends the walk. Every line after a frame record counts as a row, whatever
// it holds, until grid_height of them are read.
template <class Visitor>
WalkEnd walk_directives(WveReader& input, ConverterState& state, DirectiveScope& scope,
                        Visitor& visitor) {
  WveLine line;
  while (input.next_line(line) == ReadStatus::line) {
    const LineKind kind = classify_line(line.text, scope.in_header);
    if (!visitor.line(line, kind)) return WalkEnd::stopped;
    if (ends_header(kind)) scope.in_header = false;
    switch (kind) {
      case LineKind::frame_record: {
        const FrameRecord record = parse_frame_record(line.text, state);
        if (!visitor.frame_record(line, record)) return WalkEnd::stopped;
        const std::int32_t rows = visitor.rows(input, state.grid_height);
        if (!visitor.frame_end(record, rows)) return WalkEnd::stopped;
        if (rows < state.grid_height) return WalkEnd::frame_cut_short;
        break;
      }
      case LineKind::pattern: {
        const PatternScan scan = scan_pattern(line.text);
        apply_pattern(scope, scan);
        visitor.pattern(line, scan);
        break;
      }
      case LineKind::grid_size: {
        const GridScan scan = scan_grid_size(line.text);
        visitor.grid_size(line, scan, apply_grid_size(state, scope, scan));
        break;
      }
      case LineKind::end: return WalkEnd::end_directive;
      default: break;
    }
  }
  return WalkEnd::input_ended;
}

}  // namespace mosaiq
