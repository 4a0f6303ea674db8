// Converting one WVE input into one WRD script: the header and the directive loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert/converter_state.h"

namespace mosaiq {

class WveReader;
class WrdWriter;

enum class ConvertOutcome {
  converted,      // the input was read to its end, "*end" or a frame cut short
  read_error,     // the input could not be read; the script holds what was converted before
  write_error,    // the script could not be written whole
  out_of_memory,  // the frame buffers could not be had; the script holds what was written before
};

// Resets the per-file state, writes the header and converts every directive of the input. The
// output is flushed before returning and the frame buffers are released, whatever the outcome.
// Grids of more than `cell_limit` cells are not taken (a harness lowers it to bound its work);
// `grid_over_limit`, where given, says whether the file asked for one.
ConvertOutcome convert_wve(ConverterState& state, WveReader& input, WrdWriter& output,
                           std::int64_t cell_limit = max_cell_count,
                           bool* grid_over_limit = nullptr);

// How a conversion in memory is fed and bounded: the WVE text handed out in reads of at most
// `piece` bytes, grids of at most `cell_limit` cells, and a script of at most `script_limit`
// bytes, past which writing fails.
struct MemoryLimits {
  std::size_t piece = static_cast<std::size_t>(-1);
  std::int64_t cell_limit = max_cell_count;
  std::size_t script_limit = static_cast<std::size_t>(-1);
};

struct MemoryConversion {
  ConvertOutcome outcome;
  std::string script;
  std::int32_t grid_width;  // the grid the file's frames were painted on
  std::int32_t grid_height;
  bool grid_over_limit;  // its "*nXY=" asked for more cells than the limit
};

// Converts WVE text into the WRD script mosaiq writes for it.
MemoryConversion convert_in_memory(std::string_view wve, const MemoryLimits& limits = {});

}  // namespace mosaiq
