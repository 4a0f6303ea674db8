#include "convert/wve_conversion.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "convert/converter_state.h"
#include "convert/directive_loop.h"
#include "convert/frame_painter.h"
#include "convert/memory_streams.h"
#include "convert/row_bytes.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"
#include "song/player_clock.h"

namespace mosaiq {

namespace {

void write_header(WrdWriter& out) {
  out.put("@startup(400)");
  out.end_line();
  out.put("@wmode(");
  out.put_decimal(wmode_of_division(header_division));
  out.put(");");
  out.end_line();
  out.put("@wait(0);");
  out.end_line();
  out.end_line();
}

// Turns what the directive loop reads into script: rows go into new_frame, frames to the
// painter, pattern announcements to the panel.
struct Conversion {
  ConverterState& state;
  DirectiveScope& scope;
  WrdWriter& output;
  const unsigned char* cells = nullptr;  // the current frame's cells
  std::int64_t filled = 0;               // how many of them its rows supplied
  bool out_of_memory = false;
  bool grid_over_limit = false;  // a "*nXY=" was not taken for its number of cells

  bool line(const WveLine&, LineKind) { return !output.failed(); }

  bool frame_record(const WveLine&, const FrameRecord&) {
    if (!state.new_frame && !allocate_frames(state)) {
      out_of_memory = true;
      return false;
    }
    filled = 0;
    cells = state.new_frame.get();
    return true;
  }

  // Rows the same as the screen's are remembered: a frame whose rows repeat them byte for byte
  // repeats the screen too, and a still picture held for many frames costs one comparison a
  // frame. Other rows are copied into new_frame.
  bool row_block(const RowBlock& block) {
    filled = state.cell_count;
    cells = state.shown_frame.get();
    std::int32_t row = 0;
    while (row < block.count && same_bytes(block.bytes.data() + row * block.stride,
                                           cells + row * block.width, block.width)) {
      ++row;
    }
    if (row == block.count) return true;
    unsigned char* frame = state.new_frame.get();
    for (row = 0; row < block.count; ++row) {
      copy_bytes(frame + row * block.width, block.bytes.data() + row * block.stride, block.width);
    }
    cells = frame;
    return false;
  }

  void repeated_rows(const RowBlock&) {
    filled = state.cell_count;
    cells = state.shown_frame.get();
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

  // A grid of no negative side that was not taken had too many cells.
  void grid_size(const WveLine&, const GridScan& scan, bool taken) {
    grid_over_limit |= !taken && (!scan.width_converted || scan.width >= 0) &&
                       (!scan.height_converted || scan.height >= 0);
  }
};

}  // namespace

ConvertOutcome convert_wve(ConverterState& state, WveReader& input, WrdWriter& output,
                           std::int64_t cell_limit, bool* grid_over_limit) {
  reset_for_file(state);
  state.output_file = &output;
  DirectiveScope scope;
  write_header(output);

  Conversion conversion{state, scope, output};
  walk_directives(input, state, scope, conversion, cell_limit);

  release_frames(state);
  if (grid_over_limit != nullptr) *grid_over_limit = conversion.grid_over_limit;
  const bool written = output.flush();
  state.output_file = nullptr;
  if (conversion.out_of_memory) return ConvertOutcome::out_of_memory;
  if (!written) return ConvertOutcome::write_error;
  if (input.failed()) return ConvertOutcome::read_error;
  return ConvertOutcome::converted;
}

MemoryConversion convert_in_memory(std::string_view wve, const MemoryLimits& limits) {
  MemorySource source(wve, limits.piece);
  MemorySink sink(limits.script_limit);
  // The reader and the writer hold large buffers each: they stay off the stack.
  auto reader = std::make_unique<WveReader>(source);
  auto writer = std::make_unique<WrdWriter>(sink);
  ConverterState state;
  bool over_limit = false;
  const ConvertOutcome outcome =
      convert_wve(state, *reader, *writer, limits.cell_limit, &over_limit);
  return {outcome, std::move(sink.bytes), state.grid_width, state.grid_height, over_limit};
}

}  // namespace mosaiq
