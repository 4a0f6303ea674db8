#include "convert/wve_conversion.h"

#include <cstdint>
#include <cstring>

#include "convert/converter_state.h"
#include "convert/directive_loop.h"
#include "convert/frame_painter.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

namespace mosaiq {

namespace {

// memcpy() for the short copies of grid rows, without a call.
inline void copy_cells(unsigned char* to, const char* from, std::size_t size) {
  if (size >= 16 && size <= 32) {
    std::memcpy(to, from, 16);
    std::memcpy(to + size - 16, from + size - 16, 16);
  } else if (size >= 8 && size < 16) {
    std::memcpy(to, from, 8);
    std::memcpy(to + size - 8, from + size - 8, 8);
  } else {
    std::memcpy(to, from, size);
  }
}

// Whether a row of the input repeats the cells on screen; memcmp() without a call for the short
// rows of most grids.
inline bool same_row(const char* row, const unsigned char* shown, std::size_t size) {
  if (size < 8 || size > 32) return std::memcmp(row, shown, size) == 0;
  std::uint64_t a, b, bits;
  std::memcpy(&a, row + size - 8, 8);
  std::memcpy(&b, shown + size - 8, 8);
  bits = a ^ b;
  for (std::size_t at = 0; at + 8 < size; at += 8) {
    std::memcpy(&a, row + at, 8);
    std::memcpy(&b, shown + at, 8);
    bits |= a ^ b;
  }
  return bits == 0;
}

void write_header(WrdWriter& out) {
  out.put("@startup(400)");
  out.end_line();
  out.put("@wmode(");
  out.put_decimal(wmode_value(1));
  out.put(");");
  out.end_line();
  out.put("@wait(0);");
  out.end_line();
  out.end_line();
}

// The rows of the last frame as they stood in the input, when they repeated the screen. A
// frame whose rows repeat them byte for byte repeats the screen too: a still picture held for
// many frames costs one comparison a frame.
struct StillRows {
  static constexpr std::size_t capacity = 4096;
  char bytes[capacity];
  std::size_t length = 0;  // 0: none to compare with
};

// Turns what the directive loop reads into script: rows go into new_frame, frames to the
// painter, pattern announcements to the panel.
struct Conversion {
  ConverterState& state;
  DirectiveScope& scope;
  WrdWriter& output;
  StillRows& still;
  const unsigned char* cells = nullptr;  // the current frame's cells
  std::int64_t filled = 0;               // how many of them its rows supplied
  bool out_of_memory = false;

  bool line(const WveLine&, LineKind) { return !output.failed(); }

  bool frame_record(const WveLine&, const FrameRecord&) {
    if (!state.new_frame && !allocate_frames(state)) {
      out_of_memory = true;
      return false;
    }
    return true;
  }

  // Rows written the usual way, each as wide as the grid, are taken as one block; a frame that
  // repeats the screen then needs no copy at all. Other rows are read one by one.
  std::int32_t rows(WveReader& input, std::int32_t count) {
    filled = state.cell_count;
    cells = state.shown_frame.get();
    if (still.length > 0 && input.skip_repeat({still.bytes, still.length})) return count;
    still.length = 0;
    const std::size_t width = static_cast<std::size_t>(state.grid_width);
    std::size_t stride = 0;
    const std::string_view block = input.take_rows(width, count, stride);
    if (block.empty()) {
      filled = 0;
      cells = state.new_frame.get();
      return read_rows(input, state, 0, count, *this);
    }
    std::int32_t row = 0;
    while (row < count && same_row(block.data() + row * stride, cells + row * width, width)) ++row;
    if (row == count) {
      if (block.size() <= StillRows::capacity) {
        std::memcpy(still.bytes, block.data(), block.size());
        still.length = block.size();
      }
      return count;
    }
    unsigned char* frame = state.new_frame.get();
    for (row = 0; row < count; ++row) {
      copy_cells(frame + row * width, block.data() + row * stride, width);
    }
    cells = frame;
    return count;
  }

  // The rows are laid end to end; what goes beyond the grid's cells is dropped.
  void row(const WveLine& line, std::int32_t) {
    const std::int64_t room = state.cell_count - filled;
    const std::int64_t size = static_cast<std::int64_t>(line.text.size());
    const std::int64_t take = size < room ? size : room;
    if (take > 0) {
      copy_cells(state.new_frame.get() + filled, line.text.data(), static_cast<std::size_t>(take));
      filled += take;
    }
  }

  bool frame_end(const FrameRecord& record, std::int32_t rows_read) {
    paint_frame(state, record, FrameCells{cells, filled, rows_read}, scope.origin_col,
                scope.origin_row);
    return true;
  }

  void pattern(const WveLine&, const PatternScan&) {
    show_pattern(state, scope.pattern_number, scope.text());
  }

  void grid_size(const WveLine&, const GridScan&, bool) {}
};

}  // namespace

ConvertOutcome convert_wve(ConverterState& state, WveReader& input, WrdWriter& output) {
  reset_for_file(state);
  state.output_file = &output;
  DirectiveScope scope;
  write_header(output);

  StillRows still;
  Conversion conversion{state, scope, output, still};
  walk_directives(input, state, scope, conversion);

  release_frames(state);
  const bool written = output.flush();
  state.output_file = nullptr;
  if (conversion.out_of_memory) return ConvertOutcome::out_of_memory;
  if (!written) return ConvertOutcome::write_error;
  if (input.failed()) return ConvertOutcome::read_error;
  return ConvertOutcome::converted;
}

}  // namespace mosaiq
