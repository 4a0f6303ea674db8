// The conversion engine's one state record.
#pragma once

#include <cstdint>
#include <memory>

#include "convert/status_panel.h"

namespace mosaiq {

class WrdWriter;

// A grid with more cells than this is not taken: the two frame buffers must stay addressable
// with a signed 32-bit cell count, and every cell index must fit one.
constexpr std::int64_t max_cell_count = 2147483646;

// The grid a file has until its header sets one.
constexpr std::int32_t default_grid_width = 24;
constexpr std::int32_t default_grid_height = 5;

// Where a grid stands on the 80 x 25 screen: centred across, below the three-line panel.
constexpr std::int64_t grid_origin_col(std::int64_t width) { return 40 - width; }
constexpr std::int64_t grid_origin_row(std::int64_t height) { return (24 - height) / 2 + 3; }

// The largest grid whose cells all fall on the screen below the panel's row 3.
constexpr std::int64_t max_fitting_width = 39;
constexpr std::int64_t max_fitting_height = 22;
static_assert(grid_origin_col(max_fitting_width) == 1 && grid_origin_col(max_fitting_width + 1) < 1,
              "the widest grid starts in column 1");
static_assert(grid_origin_row(max_fitting_height) == 4 &&
                  grid_origin_row(max_fitting_height) + max_fitting_height - 1 == 25 &&
                  grid_origin_row(max_fitting_height + 1) <= 3,
              "the highest grid fills rows 4 to 25");

struct ConverterState {
  // Grid geometry, set by "*nXY=" in a file's header.
  std::int32_t grid_width = default_grid_width;
  std::int32_t grid_height = default_grid_height;
  std::int32_t cell_count = default_grid_width * default_grid_height;

  // Beat division of the last frame record; the header's "@wmode(23);" is division 1.
  std::int32_t beat_division = 1;

  // Colour digit last selected in the output (1 blue ... 7 white), 0 when none yet in this file.
  // A lit cell of another character leaves its code minus '0' here, which matches no digit.
  std::int32_t current_colour = 0;

  // What the status panel shows, and its labels still to be written.
  PanelState panel;

  // Cells of the frame being read and of the frame on the player's screen, one byte per cell,
  // row-major. Allocated at a file's first frame record, released at the file's end.
  std::unique_ptr<unsigned char[]> new_frame;
  std::unique_ptr<unsigned char[]> shown_frame;

  // The WRD output of the file being converted.
  WrdWriter* output_file = nullptr;
};

// Applies the default grid; beat division 1; no colour selected; a fresh panel.
void reset_for_file(ConverterState& state);

// Allocates both frame buffers for the current cell_count, the screen's cells all '0'.
// Returns false, with both buffers released, when the memory cannot be had.
bool allocate_frames(ConverterState& state);

void release_frames(ConverterState& state);

}  // namespace mosaiq
