#include "convert/converter_state.h"

#include <cstring>
#include <new>

#include "convert/status_panel.h"

namespace mosaiq {

void reset_for_file(ConverterState& state) {
  state.grid_width = default_grid_width;
  state.grid_height = default_grid_height;
  state.cell_count = default_grid_width * default_grid_height;
  state.beat_division = 1;
  state.current_colour = 0;
  reset_panel(state);
}

bool allocate_frames(ConverterState& state) {
  // One byte per cell and a zero byte after the cells.
  const std::size_t size = static_cast<std::size_t>(state.cell_count) + 1;
  state.new_frame.reset(new (std::nothrow) unsigned char[size]);
  state.shown_frame.reset(new (std::nothrow) unsigned char[size]);
  if (!state.new_frame || !state.shown_frame) {
    release_frames(state);
    return false;
  }
  // The screen starts dark. new_frame is filled by the row reader before anything reads it.
  std::memset(state.shown_frame.get(), '0', size - 1);
  state.shown_frame[size - 1] = 0;
  state.new_frame[size - 1] = 0;
  return true;
}

void release_frames(ConverterState& state) {
  state.new_frame.reset();
  state.shown_frame.reset();
}

}  // namespace mosaiq
