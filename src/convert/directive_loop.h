// The directive loop: reads a WVE file line by line, recognises its directives, keeps the grid
// and the pattern they set, and hands every frame record with its rows to a visitor. The
// converter paints what it is handed; the checker examines it. Both see the same lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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
// cells than `cell_limit`, and sets the origin for the grid in force. Returns whether the
// converted values were taken.
bool apply_grid_size(ConverterState& state, DirectiveScope& scope, const GridScan& scan,
                     std::int64_t cell_limit);

enum class WalkEnd {
  input_ended,      // the input (or a read of it) ended
  end_directive,    // "*end"
  frame_cut_short,  // the input ended before all rows of a frame were read
  stopped,          // the visitor asked to stop
};

// A frame's rows written the usual way, taken at once: `count` rows of `width` bytes of text,
// one every `stride` bytes (the text and its line end, "\n" or "\r\n").
struct RowBlock {
  std::string_view bytes;
  std::size_t width;
  std::size_t stride;
  std::int32_t count;

  std::string_view row(std::int32_t index) const {
    return bytes.substr(static_cast<std::size_t>(index) * stride, width);
  }
};

// The last block of rows a visitor asked to remember: a frame whose rows repeat its bytes is
// handed over as a repeat, without a look at its rows.
class RepeatedRows {
 public:
  static constexpr std::size_t capacity = 4096;

  // The rows that follow in the input, as a block: a repeat of the remembered one (`repeat`
  // true), or one taken now. Empty when the rows are not all of the usual form.
  RowBlock take(WveReader& input, std::size_t width, std::int32_t count, bool& repeat) {
    repeat = length_ > 0 && input.skip_repeat({bytes_, length_});
    if (repeat) return RowBlock{{bytes_, length_}, width, stride_, count};
    length_ = 0;
    std::size_t stride = 0;
    const std::string_view block = input.take_rows(width, count, stride);
    return RowBlock{block, width, stride, count};
  }

  void remember(const RowBlock& block) {
    if (block.bytes.size() > capacity) return;
    std::memcpy(bytes_, block.bytes.data(), block.bytes.size());
    length_ = block.bytes.size();
    stride_ = block.stride;
  }

 private:
  char bytes_[capacity];
  std::size_t length_ = 0;  // 0: nothing to compare with
  std::size_t stride_ = 0;
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

// Reads the grid_height rows after a frame record and hands them to the visitor: as a block when
// they are written the usual way, else one by one. Returns how many were read.
template <class Visitor>
std::int32_t read_frame_rows(WveReader& input, const ConverterState& state, RepeatedRows& repeats,
                             Visitor& visitor) {
  const std::int32_t count = state.grid_height;
  bool repeat = false;
  const RowBlock block =
      repeats.take(input, static_cast<std::size_t>(state.grid_width), count, repeat);
  if (repeat) {
    visitor.repeated_rows(block);
  } else if (!block.bytes.empty()) {
    if (visitor.row_block(block)) repeats.remember(block);
  } else {
    return read_rows(input, state, 0, count, visitor);
  }
  return count;
}

// Reads the input to its end. The visitor is called with
//   bool line(const WveLine&, LineKind)            every line outside a frame's rows, first
//   bool frame_record(const WveLine&, const FrameRecord&)
//   then for the grid_height rows that follow, one of
//     bool row_block(const RowBlock&)              rows of the usual form, taken at once; true
//                                                  asks to remember them
//     void repeated_rows(const RowBlock&)          the same bytes as the last block remembered
//     void row(const WveLine&, std::int32_t index)  each row, when they are not all such
//   bool frame_end(const FrameRecord&, std::int32_t rows_read)
//   void pattern(const WveLine&, const PatternScan&)   after the scope took it
//   void grid_size(const WveLine&, const GridScan&, bool taken)
// and a false result ends the walk. Every line after a frame record counts as a row, whatever
// it holds, until grid_height of them are read. Grids of more than `cell_limit` cells are not
// taken (a harness lowers it to bound its own work).
template <class Visitor>
WalkEnd walk_directives(WveReader& input, ConverterState& state, DirectiveScope& scope,
                        Visitor& visitor, std::int64_t cell_limit = max_cell_count) {
  RepeatedRows repeats;
  WveLine line;
  while (input.next_line(line) == ReadStatus::line) {
    const LineKind kind = classify_line(line.text, scope.in_header);
    if (!visitor.line(line, kind)) return WalkEnd::stopped;
    if (ends_header(kind)) scope.in_header = false;
    switch (kind) {
      case LineKind::frame_record: {
        const FrameRecord record = parse_frame_record(line.text, state.panel);
        if (!visitor.frame_record(line, record)) return WalkEnd::stopped;
        const std::int32_t rows = read_frame_rows(input, state, repeats, visitor);
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
        visitor.grid_size(line, scan, apply_grid_size(state, scope, scan, cell_limit));
        break;
      }
      case LineKind::end: return WalkEnd::end_directive;
      default: break;
    }
  }
  return WalkEnd::input_ended;
}

}  // namespace mosaiq
