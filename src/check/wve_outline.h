// A first quick reading of a WVE file, with the engine's reader and directive loop, that tells
// the checks before they begin what they could otherwise know only at the end: so the findings
// come out in order in one more reading.
#pragma once

#include <cstdint>

#include "convert/directive_loop.h"

namespace mosaiq::check {

struct WveOutline {
  // The largest beat number among the frame records of three or more numbers, at least 1: the
  // measure length when none is given.
  std::int64_t largest_beat = 1;
  // The record of a frame cut short by the end of the file, and how many of its rows were read;
  // -1 when no frame was cut short.
  std::int64_t cut_record = -1;
  std::int32_t cut_rows_read = 0;
  // Whether bytes follow the byte 0x1A that ended the input.
  bool bytes_after_end_marker = false;
  bool read_failed = false;
};

WveOutline outline_wve(ByteSource& source);

}  // namespace mosaiq::check
