// The WVE file an import writes: its mark, the song's line where it has one, the grid size where
// it is not the default, the
// patterns announced where they begin, and a frame record for every placed record, with its
// division and the song's measure and beat where the player shows it, then its rows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/cell_grid.h"
#include "import/import_timing.h"
#include "platform/file_marks.h"
#include "song/player_clock.h"

namespace mosaiq::import {

// A pattern announced from a position on: its number and its text, in Shift_JIS.
struct PatternMark {
  std::int32_t number;
  std::string text;
  std::int64_t position;  // in units; records from here on carry its number
};

struct Animation {
  int width, height;
  const std::vector<CellPicture>& pictures;
  const std::vector<PlacedRecord>& records;
  const std::vector<PatternMark>& patterns;  // in the order of their positions
  std::string song;                          // the song line's name; empty: none
};

// The file's text, lines ending in CR LF as WVE files do.
std::string wve_text(const Animation& animation, const MeasureMap& measures);

}  // namespace mosaiq::import
