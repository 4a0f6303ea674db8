#include "convert/wve_conversion.h"

#include <cstdint>
#include <cstring>

#include "convert/converter_state.h"
#include "convert/directive_loop.h"
#include "convert/frame_painter.h"
#include "convert/row_bytes.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

namespace mosaiq {

namespace {

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
    while (row < count && same_bytes(block.data() + row * stride, cells + row * width, width))
      ++row;
    if (row == count) {
      if (block.size() <= StillRows::capacity) {
        std::memcpy(still.bytes, block.data(), block.size());
        still.length = block.size();
      }
      return count;
    }
    unsigned char* frame = state.new_frame.get();
    for (row = 0; row < count; ++row) {
      copy_bytes(frame + row * width, block.data() + row * stride, width);
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
      copy_bytes(state.new_frame.get() + filled, line.text.data(), static_cast<std::size_t>(take));
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
