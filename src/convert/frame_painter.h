// The frame painter: brings the player's screen from the frame it shows to the next one.
#pragma once

#include <cstdint>

namespace mosaiq {

struct ConverterState;
struct FrameRecord;

// More cursor jumps than this let a record with a non-zero repaint flag repaint the whole grid.
constexpr std::int64_t repaint_threshold = 20;

// What a frame's rows supplied: the rows laid end to end, line ends removed, cut at cell_count.
struct FrameCells {
  const unsigned char* cells;
  std::int64_t filled;     // how many cells the rows supplied; the others keep what is shown
  std::int32_t rows_read;  // fewer than grid_height when the input ended inside the frame
};

// Writes the "@wmode" line when the record changes the beat division and brings the panel up to
// date. Then, when all of the frame's rows were read, writes the changed cells (or the whole
// grid), then an empty line, and remembers the frame as the one on screen; when not, leaves the
// screen as it was. Returns whether the cells were painted. Requires both frame buffers.
bool paint_frame(ConverterState& state, const FrameRecord& record, const FrameCells& frame,
                 std::int64_t origin_col, std::int64_t origin_row);

// Counts the cursor jumps that painting the changes among the first `filled` cells needs: every
// changed cell whose left neighbour in the same row is unchanged. Counting may stop anywhere
// above limit: the count then says only that it is above.
std::int64_t count_cursor_jumps(const ConverterState& state, const unsigned char* cells,
                                std::int64_t filled, std::int64_t limit);

}  // namespace mosaiq
