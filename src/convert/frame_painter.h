// The frame painter: brings the player's screen from the frame it shows to the next one.
#pragma once

#include <cstdint>
#include <string_view>

namespace mosaiq {

struct ConverterState;
struct WrdWriter;

// More cursor jumps than this let a record with a non-zero repaint flag repaint the whole grid.
constexpr std::int64_t repaint_threshold = 20;

// Paints one frame: the "@wmode" line when the beat division changes, the panel, then the
// changed cells (or the whole grid), then an empty line. Reads the frame's rows from the input
// itself. Returns 0, or 1 when the input ended before all rows were read; then the cells are
// not painted and the screen is left as it was. Requires both frame buffers.
int paint_frame(ConverterState& state, std::string_view line, std::int64_t origin_col,
                std::int64_t origin_row);

// Reads grid_height input lines into buffer, end to end with line ends removed. Characters
// beyond cell_count are dropped; filled gets the number of cells the rows supplied. Returns 0,
// or 1 when the input yields no further line.
int read_frame_rows(ConverterState& state, unsigned char* buffer, std::int64_t& filled);

// Counts the cursor jumps that painting the changes among the first `filled` cells needs: every
// changed cell whose left neighbour in the same row is unchanged. Stops counting above limit.
std::int64_t count_cursor_jumps(const ConverterState& state, std::int64_t filled,
                                std::int64_t limit);

// The "@wmode" value of a beat division c (not 0): 96 / (4c) - 1, truncated toward zero.
std::int64_t wmode_value(std::int32_t division);

// "\x1b[row;colH;" and its line end.
void write_cursor_position(WrdWriter& out, std::int64_t row, std::int64_t column);
// "\x1b[nC", inline in a line of cells.
void write_cursor_forward(WrdWriter& out, std::int64_t columns);

}  // namespace mosaiq
