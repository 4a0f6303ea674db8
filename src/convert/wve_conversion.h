// Converting one WVE input into one WRD script: the header and the directive loop.
#pragma once

namespace mosaiq {

struct ConverterState;
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
ConvertOutcome convert_wve(ConverterState& state, WveReader& input, WrdWriter& output);

}  // namespace mosaiq
